// The screens of the pattern operations in the TRACK and LOOP menus: they collect the tracks,
// loops, steps and distances, ask before anything is overwritten, and leave the change itself
// to the edit layer. Every operation ends in step edit with the whole screen drawn afresh.
#include <cstdlib>

#include "edit/edit.h"
#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// Names are padded to their slot width in prompts that change them, so the box keeps its size.
constexpr int kTrackNameShown = kTrackNameLen - 1;
constexpr int kLoopNameShown = kLoopNameLen - 1;
constexpr int kLastStep = MAX_STEPS - 1;

// One copy between two tracks of the current loop: its source list, the destination prompt
// and the question before the destination is overwritten.
struct TrackCopyScreen {
  int leaf;
  int to_state;
  int question;
  TrackCopy what;
};

const TrackCopyScreen kTrackCopies[] = {
    {kStateCopyTrig, kStateCopyTrigTo, kStateCopyTrigQuestion, TrackCopy::kTrig},
    {kStateCopyTrack, kStateCopyTrackTo, kStateCopyTrackQuestion, TrackCopy::kTrack},
    {kStateCopyGen, kStateCopyGenTo, kStateCopyGenQuestion, TrackCopy::kGen},
    {kStateCopyFx, kStateCopyFxTo, kStateCopyFxQuestion, TrackCopy::kFx},
    {kStateCopyEnv, kStateCopyEnvTo, kStateCopyEnvQuestion, TrackCopy::kEnv},
    {kStateCopyFreq, kStateCopyFreqTo, kStateCopyFreqQuestion, TrackCopy::kFreq},
};

// What the screens have collected so far.
struct PatternScreens {
  const TrackCopyScreen* copy = &kTrackCopies[0];
  int track = 0;       // the source track, or the track a loop copy or clear works on
  int to_track = 0;
  int loop = 0;        // the source loop
  int to_loop = 0;
  int first_step = 0;  // CLEAR TRACK
  int distance = 0;    // SHIFT TRACK
  NumberField field{"", 0, 0, 0, 0};
};

PatternScreens screens;

bool confirm_pressed() { return button_pressed(kBtnX) || button_pressed(kBtnDRt); }
bool back_pressed() { return button_pressed(kBtnO) || button_pressed(kBtnDLt); }

// A new prompt replaces a list or a prompt of another size: the sequencer screen is drawn
// again first, so nothing of the earlier box stays behind.
void next_screen(int state) {
  set_editor_state(state);
  redraw_sequencer_screen();
}

// The edit layer's answer: a sample that could not be copied is reported, anything else ends
// in step edit.
void finish(EditResult result) {
  if (result == EditResult::kLoadFailed)
    return show_message_state(kStateWavNotLoaded, "WAV NOT LOADED");
  return_to_step_edit();
}

// The keys of a question that guards an operation: yes carries it out, no leaves the song as
// it was and closes the menu, back returns to where the choice began.
void guard_question(void (*carry_out)(), void (*back)()) {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (question_answer()) return carry_out();
      return close_menu();
    case QuestionKey::kBack: return back();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

// Back from a screen after a synth list: the list again, its selection kept.
void back_to_list() { reopen_current_menu(); }

int cursor_track() { return editor_link.cursor_track; }
int cursor_step() { return editor_link.cursor_step; }
int listed_track() { return current_menu().selection; }

void start_field(const char* label, int value, int lo, int hi, int width) {
  screens.field = NumberField{label, value, lo, hi, width};
  show_number_field(screens.field);
}

// ---- Copies between tracks -------------------------------------------------------------------

const TrackCopyScreen& copy_of_state(int state) {
  for (const TrackCopyScreen& c : kTrackCopies)
    if (c.leaf == state || c.to_state == state || c.question == state) return c;
  return *screens.copy;
}

// The next track after `from` in direction (+1 or -1, wrapping) that can take the copy from
// source; `from` itself when there is none.
int next_destination(TrackCopy what, int source, int from, int direction) {
  const int count = song.track_count;
  for (int i = 1; i <= count; ++i) {
    const int t = ((from + direction * i) % count + count) % count;
    if (t != source && track_copy_allowed(what, source, t)) return t;
  }
  return from;
}

bool has_destination(TrackCopy what, int source) {
  return source >= 0 && source < song.track_count &&
         next_destination(what, source, source, 1) != source;
}

// COPY TRACK and COPY FREQ open only when some pair of synths can take the copy, at the
// current track if it can be a source, else at the first that can. The other copies open at
// the current track.
void open_track_copy(int leaf_id) {
  screens.copy = &copy_of_state(leaf_id);
  const TrackCopy what = screens.copy->what;
  int start = cursor_track();
  if (!has_destination(what, start)) {
    for (int t = 0; t < song.track_count; ++t)
      if (has_destination(what, t)) {
        start = t;
        break;
      }
  }
  const bool must_pair = what == TrackCopy::kTrack || what == TrackCopy::kFreq;
  if (must_pair && !has_destination(what, start)) return close_menu();
  open_synth_list_leaf(leaf_id);
  if (start == listed_track() || start < 0 || start >= song.track_count) return;
  current_menu().selection = static_cast<int16_t>(start);
  draw_menu_items(synth_name_list(), kListCentred, start);
}

void draw_track_destination() {
  show_prompt(PromptText("TO: ").add_padded(song.track_name[screens.to_track], kTrackNameShown).c_str());
}

void track_copy_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  screens.copy = &copy_of_state(editor_state());
  const TrackCopy what = screens.copy->what;
  // A synth that nothing can be copied to stays selected in the list.
  if (!has_destination(what, listed_track())) return;
  screens.track = listed_track();
  screens.to_track = next_destination(what, screens.track, screens.track, 1);
  next_screen(screens.copy->to_state);
  draw_track_destination();
}

void ask_track_copy() {
  const char* name = song.track_name[screens.to_track];
  if (copy_changes_freq_mode(screens.copy->what, screens.track, screens.to_track)) {
    // The copy switches the destination's frequency mode, which rewrites its pitch in every loop.
    next_screen(kStateCopyFreqModeWarning);
    return ask_question_below(
        {PromptText("CHANGING FREQMODE FOR ").add_trimmed(name).c_str(),
         " ALL FREQ DATA WILL BE LOST! "},
        "IS THIS OK?", false);
  }
  next_screen(screens.copy->question);
  ask_question(PromptText("OVERWRITE ").add_trimmed(name).add("?").c_str(), false);
}

void track_copy_to_input() {
  if (back_pressed()) return back_to_list();
  if (button_pressed(kBtnStart)) return close_menu();
  if (confirm_pressed()) return ask_track_copy();
  // Down the list of synths with D-DN, up with D-UP, as in the list before.
  const int direction = button_held(kBtnDDn) ? 1 : button_held(kBtnDUp) ? -1 : 0;
  if (direction == 0) return;
  const int next = next_destination(screens.copy->what, screens.track, screens.to_track, direction);
  if (next == screens.to_track) return;
  screens.to_track = next;
  draw_track_destination();
}

void carry_out_track_copy() {
  finish(copy_between_tracks(screens.copy->what, transport.current_loop, screens.track,
                             screens.to_track));
}

void track_copy_question_input() { guard_question(carry_out_track_copy, back_to_list); }

// ---- Copies between loops --------------------------------------------------------------------

// The loop `steps` loops on from `from` (wrapping round 0..99), never the source loop.
int step_loop(int from, int steps, int skip) {
  int loop = from;
  const int direction = steps > 0 ? 1 : -1;
  for (int i = 0; i < std::abs(steps); ++i) {
    loop = (loop + direction + MAX_LOOPS) % MAX_LOOPS;
    if (loop == skip) loop = (loop + direction + MAX_LOOPS) % MAX_LOOPS;
  }
  return loop;
}

void draw_loop_destination() {
  show_prompt(PromptText("TO LOOP: ").add_padded(song.loop_name[screens.to_loop], kLoopNameShown).c_str());
}

// The destination loop starts at the one after the source.
void choose_loop_destination(int state) {
  screens.loop = transport.current_loop;
  screens.to_loop = step_loop(screens.loop, 1, screens.loop);
  next_screen(state);
  draw_loop_destination();
}

// D-UP (or a drag up) to the next loop, D-DN to the one before; true when handled.
bool loop_destination_keys() {
  const int direction = value_keys_direction();
  if (direction == 0) return false;
  screens.to_loop = step_loop(screens.to_loop, direction, screens.loop);
  draw_loop_destination();
  return true;
}

void ask_loop_overwrite(int state) {
  next_screen(state);
  ask_question(PromptText("OVERWRITE LOOP ").add_trimmed(song.loop_name[screens.to_loop]).add("?").c_str(),
               false);
}

void open_copy_loop(int) {
  next_screen(kStateCopyLoopQuestion);
  show_prompt(PromptText("COPY LOOP ").add_trimmed(song.loop_name[transport.current_loop]).add("...").c_str());
}

void copy_loop_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed()) choose_loop_destination(kStateCopyLoopTo);
}

void copy_loop_to_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed()) return ask_loop_overwrite(kStateCopyLoopOverwrite);
  loop_destination_keys();
}

void carry_out_copy_loop() { finish(copy_loop(screens.loop, screens.to_loop)); }
void copy_loop_question_input() { guard_question(carry_out_copy_loop, menu_back); }

void track_to_loop_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  screens.track = listed_track();
  choose_loop_destination(kStateCopyTrackToLoopTo);
}

void track_to_loop_to_input() {
  if (back_pressed()) return back_to_list();
  if (button_pressed(kBtnStart)) return close_menu();
  if (confirm_pressed()) return ask_loop_overwrite(kStateCopyTrackToLoopQuestion);
  loop_destination_keys();
}

void carry_out_track_to_loop() {
  finish(copy_track_to_loop(screens.track, screens.loop, screens.to_loop));
}
void track_to_loop_question_input() { guard_question(carry_out_track_to_loop, back_to_list); }

void track_to_all_loops_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  screens.track = listed_track();
  screens.loop = transport.current_loop;
  next_screen(kStateCopyTrackToAllLoopsQuestion);
  ask_question("TO ALL LOOPS?", true);
}

void carry_out_track_to_all_loops() {
  finish(copy_track_to_all_loops(screens.track, screens.loop));
}
void track_to_all_loops_question_input() {
  guard_question(carry_out_track_to_all_loops, back_to_list);
}

// ---- CLEAR TRACK and CLEAR LOOP (in the loop the menu was opened on) -------------------------

void clear_track_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!confirm_pressed()) return;
  screens.track = listed_track();
  next_screen(kStateClearTrackFirst);
  start_field("FIRST STEP: ", 0, 0, kLastStep, 2);
}

// The keys of a step or distance prompt reached from a list: back to the list, START closes.
bool field_after_list_keys() {
  if (back_pressed()) {
    back_to_list();
    return true;
  }
  if (button_pressed(kBtnStart)) {
    close_menu();
    return true;
  }
  return false;
}

void clear_first_input() {
  if (field_after_list_keys()) return;
  if (confirm_pressed()) {
    screens.first_step = screens.field.value;
    next_screen(kStateClearTrackLast);
    // The last step can be the first one but not before it.
    return start_field("LAST STEP: ", kLastStep, screens.first_step, kLastStep, 2);
  }
  number_field_keys(screens.field);
}

void clear_last_input() {
  if (field_after_list_keys()) return;
  if (confirm_pressed()) {
    next_screen(kStateClearTrackQuestion);
    return ask_question(PromptText("CLEAR ").add_trimmed(song.track_name[screens.track]).add("?").c_str(),
                        false);
  }
  number_field_keys(screens.field);
}

void carry_out_clear_track() {
  finish(clear_steps(menu_loop(), screens.track, screens.first_step, screens.field.value));
}
void clear_track_question_input() { guard_question(carry_out_clear_track, back_to_list); }

void open_clear_loop(int) {
  next_screen(kStateClearLoop);
  ask_question(PromptText("CLEAR LOOP ").add_trimmed(song.loop_name[menu_loop()]).add("?").c_str(),
               false);
}

void carry_out_clear_loop() { finish(clear_loop(menu_loop())); }
void clear_loop_input() { guard_question(carry_out_clear_loop, menu_back); }

// ---- FILL TRACK and SHIFT TRACK (from the cursor step of the cursor track) ------------------

void open_fill(int) {
  next_screen(kStateFillTrack);
  start_field("FILL STEP: ", 1, 1, MAX_STEPS, 2);
}

void fill_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed())
    return finish(fill_track(menu_loop(), cursor_track(), cursor_step(), screens.field.value));
  number_field_keys(screens.field);
}

void open_shift(int) {
  next_screen(kStateShiftTrack);
  start_field("SHIFT STEP: ", 1, -MAX_STEPS, MAX_STEPS, 3);
}

void shift_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (confirm_pressed()) {
    screens.distance = screens.field.value;
    next_screen(kStateShiftKeepQuestion);
    return ask_question("KEEP ORIGINAL HITS IN PLACE?", true);
  }
  number_field_keys(screens.field);
}

// Both answers shift; back returns to the distance as it was.
void shift_keep_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      return finish(shift_track(transport.current_loop, cursor_track(), cursor_step(),
                                screens.distance, question_answer()));
    case QuestionKey::kBack:
      next_screen(kStateShiftTrack);
      screens.field = NumberField{"SHIFT STEP: ", screens.distance, -MAX_STEPS, MAX_STEPS, 3};
      return show_number_field(screens.field);
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

const ScreenEntry kScreens[] = {
    {kStateCopyLoop, open_copy_loop, kStateCopyLoopQuestion, copy_loop_input},
    {kNoEntry, nullptr, kStateCopyLoopTo, copy_loop_to_input},
    {kNoEntry, nullptr, kStateCopyLoopOverwrite, copy_loop_question_input},
    {kStateCopyTrackToLoop, open_synth_list_leaf, kStateCopyTrackToLoop, track_to_loop_list_input},
    {kNoEntry, nullptr, kStateCopyTrackToLoopTo, track_to_loop_to_input},
    {kNoEntry, nullptr, kStateCopyTrackToLoopQuestion, track_to_loop_question_input},
    {kStateCopyTrackToAllLoops, open_synth_list_leaf, kStateCopyTrackToAllLoops,
     track_to_all_loops_list_input},
    {kNoEntry, nullptr, kStateCopyTrackToAllLoopsQuestion, track_to_all_loops_question_input},
    {kStateClearTrack, open_synth_list_leaf, kStateClearTrack, clear_track_list_input},
    {kNoEntry, nullptr, kStateClearTrackFirst, clear_first_input},
    {kNoEntry, nullptr, kStateClearTrackLast, clear_last_input},
    {kNoEntry, nullptr, kStateClearTrackQuestion, clear_track_question_input},
    {kStateClearLoop, open_clear_loop, kStateClearLoop, clear_loop_input},
    {kStateFillTrack, open_fill, kStateFillTrack, fill_input},
    {kStateShiftTrack, open_shift, kStateShiftTrack, shift_input},
    {kNoEntry, nullptr, kStateShiftKeepQuestion, shift_keep_input},
    {kNoEntry, nullptr, kStateCopyFreqModeWarning, track_copy_question_input},
};

}  // namespace

void register_pattern_screens() {
  for (const TrackCopyScreen& c : kTrackCopies) {
    set_leaf_action(c.leaf, open_track_copy);
    set_state_handler(c.leaf, track_copy_list_input);
    set_state_handler(c.to_state, track_copy_to_input);
    set_state_handler(c.question, track_copy_question_input);
  }
  register_screens(kScreens);
}

}  // namespace zorbel
