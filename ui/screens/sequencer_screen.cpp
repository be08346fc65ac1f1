// The sequencer screen: the grid of the current loop, its panels, and their redraws.
#include "ui/screens/sequencer_screen.h"
#include "ui/screens/file_screens.h"

#include <cstdio>
#include <cstring>

#include "engine/clock.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "files/colour_scheme.h"
#include "ui/draw/draw.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/draw/number_text.h"
#include "ui/draw/plot_wave.h"
#include "ui/screens/quick_params.h"
#include "ui/draw/screen.h"
#include "ui/screens/sequencer_layout.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_editor.h"
#include "ui/draw/text.h"
#include "ui/widgets/value_text.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

namespace {

constexpr uint16_t kWhite = 0xFFFF;

uint16_t slot(int s) { return colour_scheme.active[s]; }

int sequence_length() { return song.seqlen >= 1 && song.seqlen <= MAX_STEPS ? song.seqlen : MAX_STEPS; }

int shown_loop() {
  const int loop = transport.current_loop;
  return loop >= 0 && loop < MAX_LOOPS ? loop : 0;
}

int clamp_step(int s) { return s < 0 ? 0 : (s >= MAX_STEPS ? MAX_STEPS - 1 : s); }
int clamp_track(int t) { return t < 0 ? 0 : (t >= MAX_TRACKS ? MAX_TRACKS - 1 : t); }

// The states that show the grid with its cursor.
bool grid_state(int state) {
  return state == kStateStepEdit || state == kStatePanelSongLoop || state == kStatePanelPlayStop;
}

bool transport_panel_state(int state) {
  return state >= kStatePanelSongLoop && state <= kStatePanelVol;
}

// A value shown "x 100": the float error of a sum of 0.01 steps must not show 49 for 0.5.
int percent(float v) {
  const float scaled = v * 100.0f;
  return static_cast<int>(scaled + (scaled < 0.0f ? -0.001f : 0.001f));
}

void draw_number(int x, int y, uint16_t colour, int value) {
  char text[kIntTextCapacity];
  draw_text(x, y, colour, int_to_text(value, text, 10));
}

// ---- Cells ----

uint16_t cell_frame_colour(int step) {
  if (step >= sequence_length()) return slot(kSlotInactiveSeqBox);
  const int group = view_settings.grid_steps >= 1 ? view_settings.grid_steps : 1;
  return ((step / group) & 1) ? slot(kSlotSequencerBoxOffset) : slot(kSlotSequencerBox);
}

uint16_t cell_fill_colour(int loop, int track, int step) {
  const bool triggered = song.step_trig[loop][track][step] != 0;
  if (step >= sequence_length())
    return triggered ? slot(kSlotInactiveTrigStep) : slot(kSlotBackground);
  if (!triggered) return slot(kSlotBackground);
  const bool legato = (song.legato_steps[loop][track] >> step) & 1u;
  return legato ? slot(kSlotControlStep) : slot(kSlotTriggeredStep);
}

void draw_cell_frame(int track, int step, uint16_t colour) {
  draw_rect(step_x(step), track_y(track), kCellWidth, kCellHeight, colour);
}

void draw_cell_fill(int loop, int track, int step) {
  fill_rect(step_x(step) + 1, track_y(track) + 1, kCellFillWidth, kCellFillHeight,
            cell_fill_colour(loop, track, step));
}

void draw_cell(int loop, int track, int step) {
  draw_cell_frame(track, step, cell_frame_colour(step));
  draw_cell_fill(loop, track, step);
}

void draw_cells(int first_step, int last_step) {
  const int loop = shown_loop();
  for (int t = 0; t < MAX_TRACKS; ++t)
    for (int s = first_step; s < last_step; ++s) draw_cell(loop, t, s);
}

void draw_track_names() {
  for (int t = 0; t < song.track_count && t < MAX_TRACKS; ++t) {
    const char* name = song.track_name[t];
    if (name[0] != '\0' && std::strcmp(name, "~") != 0)
      draw_text(kTrackNameX, track_y(t), slot(kSlotTrackName), name);
  }
}

void draw_mute_box(int track) {
  if (track < 0 || track >= song.track_count) return;
  draw_rect(kMuteBoxX, track_y(track), kMuteBoxSize, kMuteBoxSize, slot(kSlotSequencerBox));
  const bool plays = song.loop_track_enable[shown_loop()][track] != 0;
  fill_rect(kMuteBoxX + 1, track_y(track) + 1, kMuteFillWidth, kMuteFillHeight,
            plays ? slot(kSlotMuteOff) : slot(kSlotMuteOn));
}

void draw_all_mute_boxes() {
  for (int t = 0; t < song.track_count; ++t) draw_mute_box(t);
}

// ---- Texts and panels ----

void draw_cursor_labels() {
  draw_text(kCursorLabelX, kCursorStepY, slot(kSlotActiveText), "X:");
  draw_text(kCursorLabelX, kCursorTrackY, slot(kSlotActiveText), "Y:");
}

void draw_cursor_numbers() {
  fill_rect(kCursorValueX, kCursorStepY, kNumberFieldWidth, kFieldHeight, slot(kSlotBackground));
  fill_rect(kCursorValueX, kCursorTrackY, kNumberFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_number(kCursorValueX, kCursorStepY, slot(kSlotActiveText), editor_link.cursor_step);
  draw_number(kCursorValueX, kCursorTrackY, slot(kSlotActiveText), editor_link.cursor_track);
}

// The values the TRIG/VOL and TVOL/PAN panels show for the cursor step.
struct StepPanelValues {
  int trig;
  int vol;
  int tvol;
  int pan;
};

StepPanelValues step_panel_values() {
  const int loop = shown_loop();
  const int t = clamp_track(editor_link.cursor_track);
  const int s = clamp_step(editor_link.cursor_step);
  StepPanelValues v{song.step_trig[loop][t][s], percent(song.step_vol[loop][t][s]),
                    percent(song.track_vol[t]), 0};
  const int pan = step_pan_slot(t, loop, s);
  if (pan >= 0 && song.param_slot[t][pan].lane)
    v.pan = percent(song.param_slot[t][pan].lane[loop * MAX_STEPS + s]);
  return v;
}

// One of the two-line value panels at the right: labels and values on rows y and y + 10.
void draw_value_pair(int y, const char* first_label, int first, const char* second_label,
                     int second, bool active) {
  const uint16_t c = active ? slot(kSlotActiveText) : slot(kSlotInactiveText);
  const int second_y = y + kFieldHeight;
  draw_text(kPanelLabelX, y, c, first_label);
  draw_text(kPanelLabelX, second_y, c, second_label);
  fill_rect(kPanelValueX, y, kPanelValueWidth, kPanelValueHeight, slot(kSlotBackground));
  draw_number(kPanelValueX, y, c, first);
  draw_number(kPanelValueX, second_y, c, second);
}

void draw_trig_panel(const StepPanelValues& v, bool active) {
  draw_value_pair(kTrigY, "TRIG", v.trig, "VOL", v.vol, active);
}

void draw_tvol_panel(const StepPanelValues& v, bool active) {
  draw_value_pair(kTvolY, "TVOL", v.tvol, "PAN", v.pan, active);
}

void draw_value_panels(bool trig_active, bool tvol_active) {
  const StepPanelValues v = step_panel_values();
  draw_trig_panel(v, trig_active);
  draw_tvol_panel(v, tvol_active);
  DrawnScreen& d = step_editor.drawn;
  d.trig = v.trig;
  d.vol = v.vol;
  d.tvol = v.tvol;
  d.pan = v.pan;
  d.trig_active = trig_active;
  d.tvol_active = tvol_active;
}

// A loop's name, or "" for a damaged number.
const char* loop_name(int loop) { return loop >= 0 && loop < MAX_LOOPS ? song.loop_name[loop] : ""; }

void draw_loop_lines() {
  const bool song_mode = transport.play_mode == kPlaySong;
  const uint16_t active = slot(kSlotActiveText);
  const uint16_t inactive = slot(kSlotInactiveText);
  fill_rect(kLoopValueX, kLoopY, kLoopNameFieldWidth, kFieldHeight, slot(kSlotBackground));
  fill_rect(kLoopValueX, kSongY, kSongPosFieldWidth, kFieldHeight, slot(kSlotBackground));
  fill_rect(kRepCountX, kSongY, kRepFieldWidth, kFieldHeight, slot(kSlotBackground));
  if (!song_mode) {
    draw_text(kLoopLabelX, kLoopY, active, "LP:");
    draw_text(kLoopValueX, kLoopY, active, loop_name(shown_loop()));
    draw_text(kLoopLabelX, kSongY, inactive, "MS:");
    draw_text(kLoopValueX, kSongY, inactive, "XXX.XX");
    return;
  }
  const int song_pos = transport.song_pos;
  const int pos = song_pos < SONG_LENGTH ? song_pos : 0;
  draw_text(kLoopLabelX, kLoopY, active, "LP: ");
  draw_text(kLoopValueX, kLoopY, active, loop_name(song.song_list[pos]));
  draw_text(kLoopLabelX, kSongY, active, "MS:");
  char text[8];
  std::snprintf(text, sizeof text, "%03d", pos % 1000);
  draw_text(kLoopValueX, kSongY, active, text);
  draw_text(kSongDotX, kSongY, active, ".");
  std::snprintf(text, sizeof text, "%02d", transport.rep_count % 100);
  draw_text(kRepCountX, kSongY, active, text);
}

bool loop_change_pending() {
  return transport.loop_up_requests.load() != transport.loop_down_requests.load();
}

void draw_pending_loop_text() {
  const int up = transport.loop_up_requests.load();
  const int down = transport.loop_down_requests.load();
  const int next = ((shown_loop() + up - down) % MAX_LOOPS + MAX_LOOPS) % MAX_LOOPS;
  fill_rect(kLoopValueX, kLoopY, kLoopNameFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_text(kLoopValueX, kLoopY, slot(kSlotInactiveText), song.loop_name[next]);
}

void draw_transport_panels(int state) {
  auto colour = [&](int panel) {
    return state == panel ? slot(kSlotActiveText) : slot(kSlotInactiveText);
  };
  fill_rect(kSongLoopX, kTransportY, kModeFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_text(kSongLoopX, kTransportY, colour(kStatePanelSongLoop),
            transport.play_mode == kPlaySong ? "SONG" : "LOOP");
  fill_rect(kPlayStopX, kTransportY, kModeFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_text(kPlayStopX, kTransportY, colour(kStatePanelPlayStop),
            transport.transport_stopped.load() == 0 ? "PLAY" : "STOP");
  char tempo[kTempoTextCapacity];
  fill_rect(kTempoValueClearX, kTransportY, kTempoFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_text(kTempoX, kTransportY, colour(kStatePanelBpm), tempo_text(playing_bpm(), tempo));
  draw_text(kMasterVolLabelX, kTransportY, colour(kStatePanelVol), "VOL:");
  fill_rect(kMasterVolValueX, kTransportY, kMasterVolFieldWidth, kFieldHeight,
            slot(kSlotBackground));
  draw_number(kMasterVolValueX, kTransportY, colour(kStatePanelVol), percent(song.master_vol));
}

void draw_file_name() {
  const uint16_t c = slot(kSlotActiveText);
  draw_text(kFileLabelX, kFileY, c, "FILE:");
  if (std::strcmp(editor_link.song_name, kNoSongName) == 0) {
    draw_text(kFileNameX, kFileY, c, "-------------");
    return;
  }
  char text[sizeof editor_link.song_name + 8];
  std::snprintf(text, sizeof text, "%s.SEQ", editor_link.song_name);
  draw_text(kFileNameX, kFileY, c, text);
}

void draw_console_frame() { draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kWhite); }

// ---- Per-frame parts ----

void update_cursor_and_copy_marker(bool cursor_moved) {
  StepEditor& e = step_editor;
  DrawnScreen& d = e.drawn;
  const int loop = shown_loop();
  const int step = clamp_step(editor_link.cursor_step);
  const int track = clamp_track(editor_link.cursor_track);
  // Only what changed is drawn, so an idle grid draws nothing and no frame needs showing.
  const uint16_t fill = cell_fill_colour(loop, track, step);
  if (cursor_moved || d.cursor_fill != fill) {
    draw_cell_fill(loop, track, step);
    d.cursor_fill = fill;
  }
  if (cursor_moved && d.cursor_step < MAX_STEPS && d.cursor_track < MAX_TRACKS)
    draw_cell_frame(d.cursor_track, d.cursor_step, cell_frame_colour(d.cursor_step));
  const bool marker_wanted = e.copy.selected && e.copy.loop == loop;
  const bool marker_moved = d.copy_step != e.copy.step || d.copy_track != e.copy.track;
  bool marker_drawn = false;
  if (d.copy_step >= 0 && (!marker_wanted || marker_moved || cursor_moved)) {
    draw_cell_frame(d.copy_track, d.copy_step, cell_frame_colour(d.copy_step));
    d.copy_step = d.copy_track = -1;
    marker_drawn = true;
  }
  if (marker_wanted && d.copy_step < 0) {
    draw_cell_frame(e.copy.track, e.copy.step, slot(kSlotSequencerCopy));
    d.copy_step = e.copy.step;
    d.copy_track = e.copy.track;
    marker_drawn = true;
  }
  if (cursor_moved || marker_drawn) draw_cell_frame(track, step, slot(kSlotActiveStep));
}

// The step that sounds now (the clock has already moved step_pos on to the next one); after a
// rewind, before anything has played, the first step.
int playing_step() { return transport.sounding_step % sequence_length(); }

void update_playback_bar(int state) {
  const int step = playing_step();
  DrawnScreen& d = step_editor.drawn;
  if (step == d.play_step) return;
  fill_rect(kBarX, kBarY, kBarWidth, kBarHeight, slot(kSlotBackground));
  fill_rect(step_x(step), kBarY, kBarMarkWidth, kBarHeight, slot(kSlotSequencerTic));
  // While PLAY/STOP is open the bar is redrawn every frame.
  d.play_step = state == kStatePanelPlayStop ? 65 : step;
}

void draw_param_line(int line, const char* name, const char* text, uint16_t colour) {
  const int y = line == 0 ? kParamFirstY : kParamSecondY;
  DrawnScreen& d = step_editor.drawn;
  fill_rect(kParamNameX, y, kParamValueX - kParamNameX, kFieldHeight, slot(kSlotBackground));
  draw_text(kParamNameX, y, colour, name);
  fill_rect(kParamValueX, y, kParamFieldWidth, kFieldHeight, slot(kSlotBackground));
  draw_text(kParamValueX, y, colour, text);
  std::snprintf(d.param_name[line], sizeof d.param_name[line], "%s", name);
  std::snprintf(d.param_text[line], sizeof d.param_text[line], "%s", text);
}

void update_param_panel(bool moved, bool active) {
  StepEditor& e = step_editor;
  DrawnScreen& d = e.drawn;
  const int loop = shown_loop();
  const int track = clamp_track(editor_link.cursor_track);
  const int step = clamp_step(editor_link.cursor_step);
  const bool has_trigger = track < song.track_count && song.step_trig[loop][track][step] != 0;
  if (!has_trigger) {
    if (d.params_shown) {
      fill_rect(kParamNameX, kParamFirstY, kParamFieldWidth, 2 * kFieldHeight,
                slot(kSlotBackground));
      fill_rect(kParamValueX, kParamFirstY, kParamFieldWidth, 2 * kFieldHeight,
                slot(kSlotBackground));
      d.params_shown = false;
      d.param_name[0][0] = d.param_name[1][0] = '\0';
    }
    e.request_params = false;
    return;
  }
  const uint16_t colour = active ? slot(kSlotActiveText) : slot(kSlotInactiveText);
  for (int line = 0; line < 2; ++line) {
    QuickParam q;
    char text[kValueTextCapacity] = "";
    if (!quick_param(track, line, &q)) q = QuickParam{-1, "", kGeneralNumberClass};
    if (q.slot >= 0 && song.param_slot[track][q.slot].lane)
      value_text(q.text_class, song.param_slot[track][q.slot].lane[loop * MAX_STEPS + step],
                 text, ValueTextUse::kQuickPanel);
    const bool changed = std::strcmp(text, d.param_text[line]) != 0 ||
                         std::strcmp(q.name, d.param_name[line]) != 0;
    if (changed || moved || e.request_params || !d.params_shown || active != d.params_active)
      draw_param_line(line, q.name, text, colour);
  }
  d.params_shown = true;
  d.params_active = active;
  e.request_params = false;
}

void update_scope() {
  DrawnScreen& d = step_editor.drawn;
  const float* samples = buses.record_right;
  // A trace of unchanged samples would draw the same pixels again.
  if (d.scope_valid && std::memcmp(d.scope, samples, sizeof d.scope) == 0) return;
  replot_history(kTraceErasePoints, slot(kSlotBackground));
  plot_wave(kTraceLeft, kTraceRight, kTraceTop, kTraceBottom, slot(kSlotOscilliscope), samples);
  std::memcpy(d.scope, samples, sizeof d.scope);
  d.scope_valid = true;
}

// Redraws that the engine asked for: loop changes, transport flags, a replaced song.
void serve_engine_requests(int state) {
  StepEditor& e = step_editor;
  if (editor_link.redraw_transport.exchange(false)) e.request_transport = true;
  if (editor_link.redraw_loop_readout.exchange(false)) e.request_loop_lines = true;
  // Whole-grid redraws wait while a menu or page covers the grid; returning to step edit
  // redraws everything anyway.
  if (!grid_state(state) && !transport_panel_state(state)) return;
  if (editor_link.redraw_screen.load()) {
    redraw_sequencer_screen();
  } else if (editor_link.redraw_grid.load()) {
    redraw_grid();
  }
}

void draw_static_screen() {
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth - 1, kConsoleHeight - 1, slot(kSlotBackground));
  // The frame's bottom edge lies one row below the console, so its last row inside the frame
  // is cleared as well: nothing a visualizer or a box left there stays, in any background.
  fill_rect(kConsoleX + 1, kConsoleY + kConsoleHeight - 1, kConsoleWidth - 2, 1,
            slot(kSlotBackground));
  draw_console_frame();
  draw_cells(0, sequence_length());
  draw_track_names();
  draw_cells(sequence_length(), MAX_STEPS);
  draw_all_mute_boxes();
  draw_rect(kScopeX, kScopeY, kScopeWidth, kScopeHeight, slot(kSlotOscilliscope));
  draw_cursor_labels();
  draw_value_panels(false, false);
  draw_cursor_numbers();
  draw_loop_lines();
  draw_transport_panels(editor_state());
  draw_file_name();
}

// Runs the update with every part marked as not yet drawn.
void update_everything() {
  forget_drawn_screen();
  request_all_panels();
  // The plot history still holds the last trace, which the cleared area no longer shows.
  draw_state.plot_history_count = 0;
  update_sequencer_screen();
}

}  // namespace

char* tempo_text(float bpm, char* buffer) {
  if (!(bpm == bpm) || bpm < 0.0f) bpm = 0.0f;
  if (bpm > 9999.0f) bpm = 9999.0f;
  const int whole = static_cast<int>(bpm);
  // The slack keeps a tempo meant as 60.05 (stored as 60.049999) from reading 60.04.
  int hundredths = static_cast<int>((bpm - static_cast<float>(whole)) * 100.0f + 0.001f);
  if (hundredths < 0) hundredths = 0;
  if (hundredths > 99) hundredths = 99;
  const char* pad = whole < 10 ? "  " : (whole < 100 ? " " : "");
  std::snprintf(buffer, kTempoTextCapacity, "BPM: %s%d.%02d", pad, whole, hundredths);
  return buffer;
}

void redraw_sequencer_screen() {
  editor_link.redraw_screen.store(false);
  editor_link.redraw_grid.store(false);
  for (int pass = 0; pass < 2; ++pass) {
    draw_static_screen();
    update_everything();
  }
}

void redraw_grid() {
  editor_link.redraw_grid.store(false);
  draw_console_frame();
  draw_cells(0, MAX_STEPS);
  draw_all_mute_boxes();
  step_editor.drawn.copy_step = step_editor.drawn.copy_track = -1;
  const StepPanelValues v = step_panel_values();
  draw_trig_panel(v, false);
  draw_tvol_panel(v, false);
  draw_loop_lines();
  DrawnScreen& d = step_editor.drawn;
  // The cursor frame and the panels are drawn afresh by the update.
  d.cursor_step = 65;
  d.cursor_track = 17;
  d.trig = -1;
  step_editor.request_loop_lines = true;
  step_editor.request_transport = true;
  update_sequencer_screen();
}

void update_sequencer_screen() {
  if (!draw_state.surface) return;
  if (serve_recording()) return;  // the progress box is all that changes meanwhile
  const int state = editor_state();
  serve_engine_requests(state);
  StepEditor& e = step_editor;
  DrawnScreen& d = e.drawn;
  const int loop = shown_loop();
  const bool moved =
      editor_link.cursor_step != d.cursor_step || editor_link.cursor_track != d.cursor_track;
  const bool loop_changed = loop != d.loop;

  // 1. Cursor cell and copy-source marker.
  if (grid_state(state)) update_cursor_and_copy_marker(moved || loop_changed);

  // 2. Mute boxes.
  if (e.request_mute_boxes == kMuteBoxCursor) draw_mute_box(editor_link.cursor_track);
  if (e.request_mute_boxes == kMuteBoxAll) draw_all_mute_boxes();
  e.request_mute_boxes = kMuteBoxNone;

  // 3. Playback bar.
  update_playback_bar(state);

  // 4. Loop and song lines, and a loop change still to come.
  if (e.request_loop_lines || loop_changed || d.song_pos != transport.song_pos ||
      d.rep_count != transport.rep_count || d.play_mode != transport.play_mode) {
    draw_loop_lines();
    d.song_pos = transport.song_pos;
    d.rep_count = transport.rep_count;
    d.play_mode = transport.play_mode;
    e.request_loop_lines = false;
  }
  if (loop_change_pending()) draw_pending_loop_text();

  // 5. Transport panels, when what they show has changed.
  const int panel = transport_panel_state(state) ? state : kStateStepEdit;
  const int stopped = transport.transport_stopped.load() != 0;
  if (e.request_transport || panel != d.panel_state || transport.play_mode != d.panel_mode ||
      stopped != d.panel_stopped || playing_bpm() != d.panel_bpm ||
      song.master_vol != d.panel_master_vol) {
    draw_transport_panels(state);
    d.panel_state = panel;
    d.panel_mode = transport.play_mode;
    d.panel_stopped = stopped;
    d.panel_bpm = playing_bpm();
    d.panel_master_vol = song.master_vol;
    e.request_transport = false;
  }

  // 6. TRIG/VOL and TVOL/PAN.
  // X lights its panel only in step edit; O lights TVOL/PAN wherever the grid shows, the
  // transport panels included.
  const bool in_step_edit = state == kStateStepEdit;
  // Under Shift the letter keys are notes: H, J and Y do not make X, O and TRI active.
  const bool console_keys = !shift_held();
  const bool trig_active = console_keys && in_step_edit && button_held(kBtnX);
  const bool tvol_active =
      console_keys && (in_step_edit || transport_panel_state(state)) && button_held(kBtnO);
  const StepPanelValues v = step_panel_values();
  if (moved || loop_changed || e.request_values || v.trig != d.trig || v.vol != d.vol ||
      v.tvol != d.tvol || v.pan != d.pan || trig_active != d.trig_active ||
      tvol_active != d.tvol_active) {
    draw_value_panels(trig_active, tvol_active);
    e.request_values = false;
  }

  // 7. Quick parameter panel.
  update_param_panel(moved || loop_changed, console_keys && button_held(kBtnTri));

  // 8. Oscilloscope.
  update_scope();

  // 9. Cursor position.
  if (moved) draw_cursor_numbers();

  // 10. The piano keys' base octave while Shift makes the letter rows a piano.
  const bool piano = shift_held() && (in_step_edit || (state >= kStateGenPage && state <= kStateEnvPage));
  const int octave = piano ? view_settings.piano_octave + 1 : 0;
  if (octave != d.octave_shown) {
    fill_rect(kOctaveX, kOctaveY, kOctaveFieldWidth, kFieldHeight, slot(kSlotBackground));
    if (piano) {
      char digits[12];
      draw_text(kOctaveX, kOctaveY, slot(kSlotActiveText), "OCTAVE");
      draw_text(kOctaveX + 56, kOctaveY, slot(kSlotActiveText),
                int_to_text(view_settings.piano_octave, digits, 10));
    }
    d.octave_shown = octave;
  }
  d.cursor_step = editor_link.cursor_step;
  d.cursor_track = editor_link.cursor_track;
  d.loop = loop;
}

}  // namespace zorbel
