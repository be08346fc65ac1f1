// Step edit (editor state 0): cursor, mutes, hits, volumes, pan, quick parameters, copy and
// paste, loop change, and the ways into the panels and menus.
#include "ui/screens/step_edit.h"

#include "edit/edit.h"
#include "engine/song.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "ui/platform/input.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/param_modifier.h"
#include "ui/screens/quick_params.h"
#include "ui/screens/screen_links.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/view_settings.h"
#include "ui/screens/visualizer.h"

namespace zorbel {

namespace {

constexpr int kGroupSteps = 8;
constexpr int kGroups = MAX_STEPS / kGroupSteps;

int length() { return song.seqlen >= 1 && song.seqlen <= MAX_STEPS ? song.seqlen : MAX_STEPS; }
int loop() { return transport.current_loop; }
int cursor_step() { return editor_link.cursor_step; }
int cursor_track() { return editor_link.cursor_track; }
bool has_track() { return cursor_track() >= 0 && cursor_track() < song.track_count; }
uint8_t trig_at(int step) { return song.step_trig[loop()][cursor_track()][step]; }

// ---- Navigation ----

void move_track(int delta) {
  if (song.track_count <= 0) return;
  editor_link.cursor_track = ((cursor_track() + delta) % song.track_count + song.track_count) %
                             song.track_count;
}

void move_step(int delta) {
  const int n = length();
  editor_link.cursor_step = ((cursor_step() + delta) % n + n) % n;
}

// A-RT: to the next group of 8, or (ALWAYS JUMP 8 off) to the next hit inside this group.
int jump_right(int step) {
  const int group = step >> 3;
  int target = kGroupSteps * (group + 1);
  if (!view_settings.apad_always_jump8 && has_track()) {
    const int group_end = kGroupSteps * group + kGroupSteps - 1;
    for (int s = (step + 1) % MAX_STEPS; s != 0 && s <= group_end; ++s)
      if (trig_at(s) != 0) {
        target = s;
        break;
      }
  } else if (group == kGroups - 1) {
    target = 0;
  }
  return target >= length() ? 0 : target;
}

// A-LT: to the start of this group (or of the previous one from a group's first step), or
// (ALWAYS JUMP 8 off) back to the nearest hit inside the group.
int jump_left(int step) {
  int target;
  if (view_settings.apad_always_jump8) {
    if (step % kGroupSteps != 0)
      target = step - step % kGroupSteps;
    else
      target = step == 0 ? MAX_STEPS - kGroupSteps : step - kGroupSteps;
  } else {
    const int from = step == 0 ? MAX_STEPS - 1 : step - 1;
    const int group_start = from - from % kGroupSteps;
    target = group_start;
    for (int s = from; s > group_start; --s)
      if (has_track() && trig_at(s) != 0) {
        target = s;
        break;
      }
  }
  if (target >= length()) target = (length() - 1) / kGroupSteps * kGroupSteps;
  return target < 0 ? 0 : target;
}

// D-pad and APAD navigation, repeating while held. True when a key acted.
bool navigate() {
  if (!no_face_button_held()) return false;
  bool acted = false;
  if (button_held(kBtnDRt)) move_step(1), acted = true;
  if (button_held(kBtnDLt)) move_step(-1), acted = true;
  if (button_held(kBtnDUp) || button_held(kBtnAUp)) move_track(-1), acted = true;
  if (button_held(kBtnDDn) || button_held(kBtnADn)) move_track(1), acted = true;
  if (button_held(kBtnARt)) editor_link.cursor_step = jump_right(cursor_step()), acted = true;
  if (button_held(kBtnALt)) editor_link.cursor_step = jump_left(cursor_step()), acted = true;
  return acted;
}

// ---- Mutes ----

bool mute_commands() {
  if (!has_track()) return false;
  if (button_held(kBtnSq) && button_held(kBtnLTr)) {
    edit_solo(loop(), cursor_track());
    step_editor.request_mute_boxes = kMuteBoxAll;
  } else if (button_held(kBtnSq) && button_held(kBtnRTr)) {
    edit_unmute_all(loop());
    step_editor.request_mute_boxes = kMuteBoxAll;
  } else if (button_pressed(kBtnSq)) {
    const bool plays = song.loop_track_enable[loop()][cursor_track()] != 0;
    edit_track_enable(loop(), cursor_track(), !plays);
    step_editor.request_mute_boxes = kMuteBoxCursor;
    return true;
  }
  return false;
}

// ---- TVOL/PAN (O held) ----

void tvol_pan_editor() {
  if (!has_track()) return;
  const int t = cursor_track();
  const int s = cursor_step();
  const int pan_slot = step_pan_slot(t, loop(), s);
  if (pan_slot >= 0) {
    float pan = param_value(t, pan_slot, loop(), s);
    if (button_held(kBtnARt)) pan += 0.02f;
    if (button_held(kBtnALt)) pan -= 0.02f;
    if (mouse_right_held()) {
      for (int px = mouse_drag_pixels(); px < 0 && pan > 0.01f; ++px) pan -= 0.01f;
      for (int px = mouse_drag_pixels(); px > 0 && pan < 0.99f; --px) pan += 0.01f;
    }
    pan = pan < 0.0f ? 0.0f : (pan > 1.0f ? 1.0f : pan);
    if (button_held(kBtnRTr) && !step_editor.copy.selected)
      edit_param_steps(t, pan_slot, loop(), 0, MAX_STEPS - 1, pan);
    else if (pan != param_value(t, pan_slot, loop(), s))
      edit_param(t, pan_slot, loop(), s, pan);
  }
  float vol = song.track_vol[t];
  const float before = vol;
  if (button_held(kBtnAUp)) {
    vol += 0.01f;
  } else if (button_held(kBtnADn)) {
    vol = vol - 0.01f < 0.0f ? 0.0f : vol - 0.01f;
  } else if (mouse_left_held()) {
    for (int px = mouse_drag_pixels(); px < 0 && vol > 0.01f; ++px) vol -= 0.003f;
    for (int px = mouse_drag_pixels(); px > 0 && vol < 9.99f; --px) vol += 0.003f;
  }
  if (vol != before) edit_track_vol(t, vol);
  step_editor.request_values = true;
}

// ---- Hits ----

// Takes the cursor step into editing: an empty step becomes a default hit on an empty track,
// or a copy of the nearest hit before it (wrapping) with its parameter values.
void take_step_into_editing() {
  const int t = cursor_track();
  const int s = cursor_step();
  const int l = loop();
  if ((song.hit_marks[l][t] >> s) & 1u) return;
  if (song.step_trig[l][t][s] == 0) {
    int source = -1;
    for (int i = 1; i < length(); ++i) {
      const int candidate = ((s - i) % length() + length()) % length();
      if (song.step_trig[l][t][candidate] != 0) {
        source = candidate;
        break;
      }
    }
    if (source < 0) {
      edit_step_trig(l, t, s, 100);
      edit_step_vol(l, t, s, 0.5f);
    } else {
      edit_step_trig(l, t, s, song.step_trig[l][t][source]);
      edit_step_vol(l, t, s, song.step_vol[l][t][source]);
      edit_step_legato(l, t, s, (song.legato_steps[l][t] >> source) & 1u);
      for (int k = 0; k < song.param_count[t]; ++k)
        edit_param(t, k, l, s, param_value(t, k, l, source));
    }
  }
  edit_hit_mark(l, t, s, true);
  request_all_panels();
}

void x_step_editor() {
  if (!has_track()) return;
  take_step_into_editing();
  const int t = cursor_track();
  const int s = cursor_step();
  const int l = loop();
  if (button_pressed(kBtnDUp) || button_pressed(kBtnDDn))
    edit_step_legato(l, t, s, !((song.legato_steps[l][t] >> s) & 1u));

  int trig = song.step_trig[l][t][s];
  if (button_held(kBtnAUp) && trig <= 95) trig += 5;
  if (button_held(kBtnADn) && trig >= 5) trig -= 5;
  if (mouse_left_held()) {
    for (int px = mouse_drag_pixels(); px < 0 && trig > 0; ++px) --trig;
    for (int px = mouse_drag_pixels(); px > 0 && trig < 100; --px) ++trig;
  }
  if (trig != song.step_trig[l][t][s]) edit_step_trig(l, t, s, trig);

  float vol = song.step_vol[l][t][s];
  if (button_held(kBtnARt)) vol = vol + 0.05f > 1.0f ? 1.0f : vol + 0.05f;
  if (button_held(kBtnALt)) vol = vol <= 0.05f ? 0.0f : vol - 0.05f;
  if (button_held(kBtnDRt)) vol = vol + 0.01f > 1.0f ? 1.0f : vol + 0.01f;
  if (button_held(kBtnDLt) && vol >= 0.01f) vol -= 0.01f;
  if (mouse_right_held()) {
    for (int px = mouse_drag_pixels(); px < 0 && vol > 0.01f; ++px) vol -= 0.01f;
    for (int px = mouse_drag_pixels(); px > 0 && vol < 1.0f; --px) vol += 0.01f;
  }
  if (vol != song.step_vol[l][t][s]) edit_step_vol(l, t, s, vol);
  step_editor.request_values = true;
}

void clear_cursor_step() {
  if (!has_track()) return;
  edit_step_trig(loop(), cursor_track(), cursor_step(), 0);
  edit_step_vol(loop(), cursor_track(), cursor_step(), 0.0f);
  edit_clear_hit_marks(loop(), cursor_track());
  step_editor.x_waits_for_release = true;
  request_all_panels();
}

void full_hit() {
  if (!has_track()) return;
  edit_step_trig(loop(), cursor_track(), cursor_step(), 100);
  edit_step_vol(loop(), cursor_track(), cursor_step(), 0.5f);
  request_all_panels();
}

void loop_change(int direction) {
  transport_loop_change(direction);
  step_editor.request_loop_lines = true;
  step_editor.request_transport = true;
}

// ---- TRI quick edit ----

void tri_quick_edit() {
  if (!has_track()) return;
  const int t = cursor_track();
  QuickParam first, second;
  if (!quick_param(t, 0, &first) || !quick_param(t, 1, &second)) return;
  const int drag = mouse_drag_pixels();
  auto change = [&](const QuickParam& q, int direction) {
    if (q.slot >= 0) modify_parameter(kStateStepEdit, t, q.slot, direction, kSourceApad);
  };
  if (button_held(kBtnAUp)) change(first, 3);
  if (button_held(kBtnADn)) change(first, -3);
  if (mouse_left_held())
    for (int px = 0; px < (drag < 0 ? -drag : drag); ++px) change(first, drag > 0 ? 2 : -2);
  if (button_held(kBtnARt)) change(second, 3);
  if (button_held(kBtnALt)) change(second, -3);
  if (mouse_right_held())
    for (int px = 0; px < (drag < 0 ? -drag : drag); ++px) change(second, drag > 0 ? 2 : -2);
  step_editor.request_params = true;
}

// ---- Copy and paste ----

void toggle_copy() {
  CopySource& c = step_editor.copy;
  const int t = cursor_track();
  const int s = cursor_step();
  if (c.selected && c.step == s && c.track == t && c.loop == loop()) {
    c.selected = false;
    return;
  }
  c.selected = true;
  c.step = s;
  c.track = t;
  c.loop = loop();
  c.value_count = song.param_count[t];
  for (int k = 0; k < c.value_count && k < PARAM_SLOTS; ++k)
    c.values[k] = param_value(t, k, loop(), s);
}

bool paste_allowed() {
  const CopySource& c = step_editor.copy;
  return c.selected && c.track >= 0 && c.track < song.track_count &&
         song.synth_type[c.track] == song.synth_type[cursor_track()] &&
         song.freq_mode[c.track] == song.freq_mode[cursor_track()];
}

void paste() {
  const CopySource& c = step_editor.copy;
  const int t = cursor_track();
  const int s = cursor_step();
  if (type_engine_kind(song.synth_type[t]) == kKindWav && screen_links.load_pasted_sample) {
    if (c.value_count > 0 && screen_links.load_pasted_sample(t, c.values[0]) != kWavLoaded)
      return;  // the loader said why
  }
  for (int k = 0; k < c.value_count && k < song.param_count[t]; ++k)
    edit_param(t, k, loop(), s, c.values[k]);
  edit_step_trig(loop(), t, s, song.step_trig[c.loop][c.track][c.step]);
  edit_step_vol(loop(), t, s, song.step_vol[c.loop][c.track][c.step]);
  request_all_panels();
}

// 8+9+0: the GEN/FX/ENV choice of the track's synth (GEN and ENV without an effect), with the
// parameter pages' step marks cleared.
void open_track_pages(int track) {
  clear_param_step_marks();
  register_track_pages(track, type_effect_kind(song.synth_type[track]) >= 0);
  set_current_menu(kMenuTrackPageFirst + track);
  open_menu(true);
}

// 8+9+0 held together, or TRI+L-TR+R-TR (the help page's shortcut, which a gamepad has) with
// one of the three just pressed, so holding them on from a page does not open it again.
bool track_pages_keys() {
  if (button_held(kKey8) && button_held(kKey9) && button_held(kKey0)) return true;
  const int combo[] = {kBtnTri, kBtnLTr, kBtnRTr};
  bool all_held = true, one_pressed = false;
  for (int b : combo) {
    all_held = all_held && button_held(b);
    one_pressed = one_pressed || button_pressed(b);
  }
  return all_held && one_pressed;
}

bool song_playing() {
  return transport.play_mode == kPlaySong && transport.transport_stopped.load() == 0;
}

// ---- The handler ----

void step_edit_input() {
  StepEditor& e = step_editor;
  // The marks of X follow the cursor: a newly visited step is taken into editing afresh.
  if (cursor_step() != e.tick_cursor_step && has_track())
    edit_clear_hit_marks(loop(), cursor_track());
  if (!button_held(kBtnX)) e.x_waits_for_release = false;

  if (button_pressed(kBtnSelect)) {
    set_editor_state(kStatePanelPlayStop);
    e.request_transport = true;
  } else if (!navigate() && !mute_commands()) {
    const bool o = button_held(kBtnO);
    const bool x = button_held(kBtnX);
    const bool l_tr = button_held(kBtnLTr);
    const bool r_tr = button_held(kBtnRTr);
    if (o) tvol_pan_editor();
    if (r_tr && no_face_button_held()) {
      loop_change(1);
    } else if (l_tr && no_face_button_held()) {
      loop_change(-1);
    } else if (x && l_tr) {
      clear_cursor_step();
    } else if (x && r_tr) {
      full_hit();
    } else if (x && !e.x_waits_for_release) {
      x_step_editor();
    }
    if (button_held(kBtnTri)) tri_quick_edit();
    if (o && button_pressed(kBtnLTr) && has_track()) {
      toggle_copy();
    } else if (o && button_pressed(kBtnRTr) && has_track() && paste_allowed()) {
      paste();
    }
    if (track_pages_keys() && !song_playing() && has_track()) open_track_pages(cursor_track());
    if (button_pressed(kBtnTri)) e.request_params = true;
    if (e.tri_was_held && !button_held(kBtnTri)) e.request_params = true;
    if (button_pressed(kBtnStart) && editor_state() == kStateStepEdit) {
      if (song_playing()) {
        enter_visualizer();
      } else {
        open_main_menu();  // clears the parameter pages' step marks too
      }
    }
  }
  e.tri_was_held = button_held(kBtnTri);
}

}  // namespace

void editor_tick_done() {
  step_editor.tick_cursor_step = editor_link.cursor_step;
  step_editor.tick_loop = transport.current_loop;
}

void register_step_edit() {
  set_state_handler(kStateStepEdit, step_edit_input);
  set_background_redraw(redraw_sequencer_screen);
}

}  // namespace zorbel
