// The settings screens: tempo, swing, lengths, APAD, key repeat, grid step, loop jump, stereoize,
// humanize and EXIT. Each shows one prompt, changes its value live or on X, and goes back or closes.
#include <algorithm>
#include <cmath>

#include "edit/edit.h"
#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

namespace {

// Ranges and steps of the values edited here.
constexpr float kBpmMin = 1.0f, kBpmMax = 999.0f;
constexpr float kBpmFinePerPixel = 0.002f, kBpmCoarsePerPixel = 0.2f;
constexpr float kSwingMin = 1.0f, kSwingMax = 99.0f, kSwingCentre = 50.0f;
constexpr float kSwingStep = 0.1f, kSwingPerPixel = 0.02f;
constexpr int kLengthMin = 1, kLengthMax = MAX_STEPS;
constexpr int kGridStepsDefault = 4;
constexpr int kHumanizeThousandths = 1000;      // the value moves in thousandths, 0..1
constexpr int kHumanizeDragThousandths = 3;     // per drag event
constexpr int kHumanizeTextLength = 19;         // "HUMANIZE PCT: 100.0"

// What the screen being edited holds until it stores or discards it.
struct SettingsScreen {
  float entry_bpm = 0.0f;  // restored by O
  int value = 0;           // the working copy of an integer setting
  bool flag = false;       // the working copy of an on/off setting
  int track = 0;           // STEREOIZE and HUMANIZE: the chosen synth
};

SettingsScreen screen;

bool pressed_any(std::initializer_list<int> keys) {
  return std::any_of(keys.begin(), keys.end(), [](int k) { return button_pressed(k); });
}

// ---- BPM ----

void draw_bpm() { show_prompt(PromptText("BPM: ").add_fixed(song.bpm, 3, 2).c_str()); }

void open_bpm(int) {
  screen.entry_bpm = song.bpm;
  set_editor_state(kStateBpm);
  draw_bpm();
}

void bpm_input() {
  if (pressed_any({kBtnStart, kBtnX, kBtnDRt})) return close_menu();
  if (pressed_any({kBtnO, kBtnDLt})) {
    edit_bpm(screen.entry_bpm);
    return menu_back();
  }
  float delta = static_cast<float>(dpad_direction());
  if (button_held(kBtnAUp)) delta += 1.0f;
  if (button_held(kBtnADn)) delta -= 1.0f;
  if (mouse_left_held()) delta += kBpmFinePerPixel * mouse_drag_pixels();
  if (mouse_right_held()) delta += kBpmCoarsePerPixel * mouse_drag_pixels();
  const float next = std::clamp(song.bpm + delta, kBpmMin, kBpmMax);
  if (next == song.bpm) return;
  edit_bpm(next);
  draw_bpm();
}

// ---- SWING ----

// Two places before the point, so going below 10 keeps the box's width and covers the old one.
void draw_swing() { show_prompt(PromptText("SWING:  ").add_fixed(song.swing_pct, 2, 1).c_str()); }

void open_swing(int) {
  set_editor_state(kStateSwing);
  draw_swing();
}

void swing_input() {
  if (pressed_any({kBtnX, kBtnDRt, kBtnStart})) return close_menu();
  if (pressed_any({kBtnO, kBtnDLt})) return menu_back();
  float next = song.swing_pct + kSwingStep * static_cast<float>(dpad_direction());
  if (mouse_left_held()) next += kSwingPerPixel * mouse_drag_pixels();
  if (button_held(kBtnSq)) next = kSwingCentre;
  next = std::clamp(next, kSwingMin, kSwingMax);
  if (next == song.swing_pct) return;
  edit_swing(next);
  draw_swing();
}

// ---- Integer settings: SWING STEPS, SEQLEN, APAD SCALAR, GRID STEP ----

// Moves the working value by the held D-pad and the drag direction, within lo..hi; true when
// it changed.
bool step_value(int lo, int hi, bool with_drag) {
  int next = screen.value + dpad_direction() + (with_drag ? left_drag_direction() : 0);
  next = std::clamp(next, lo, hi);
  if (next == screen.value) return false;
  screen.value = next;
  return true;
}

void draw_swing_steps() { show_number_prompt("SWING STEPS: ", screen.value, 2); }

void open_swing_steps(int) {
  screen.value = song.swing_steps;
  set_editor_state(kStateSwingSteps);
  draw_swing_steps();
}

// The sequencer starts again from the top with the new timing, and runs.
void restart_transport() {
  transport_restart();
  transport_set_stopped(false);
}

void swing_steps_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_any({kBtnX, kBtnDRt})) {
    edit_swing_steps(screen.value);
    restart_transport();
    return close_menu();
  }
  if (step_value(kLengthMin, kLengthMax, true)) draw_swing_steps();
}

void draw_seqlen() { show_number_prompt("SEQLEN: ", screen.value, 2); }

void open_seqlen(int) {
  screen.value = song.seqlen;
  set_editor_state(kStateSeqlen);
  draw_seqlen();
}

void seqlen_input() {
  if (pressed_any({kBtnX, kBtnDRt})) {
    if (screen.value != song.seqlen) {
      edit_seqlen(screen.value);
      restart_transport();
    }
    return close_menu();
  }
  if (pressed_any({kBtnO, kBtnDLt})) return menu_back();
  if (button_pressed(kBtnStart)) return close_menu();
  if (step_value(kLengthMin, kLengthMax, true)) draw_seqlen();
}

void draw_apad_scalar() { show_number_prompt("APAD SENSITVITY: ", screen.value, 0); }

void open_apad_scalar(int) {
  screen.value = view_settings.apad_sensitivity;
  set_editor_state(kStateApadScalar);
  draw_apad_scalar();
}

void apad_scalar_input() {
  if (button_pressed(kBtnX)) {
    view_settings.apad_sensitivity = screen.value;
    return close_menu();
  }
  if (pressed_any({kBtnStart, kBtnO})) return close_menu();
  if (button_pressed(kBtnDLt)) return menu_back();
  if (step_value(0, kApadSensitivityMax, false)) draw_apad_scalar();
}

void draw_grid_step() { show_number_prompt("GRID STEPS: ", screen.value, 2); }

void open_grid_step(int) {
  screen.value = view_settings.grid_steps;
  set_editor_state(kStateGridStep);
  draw_grid_step();
}

void grid_step_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_any({kBtnX, kBtnDRt})) {
    view_settings.grid_steps = screen.value;
    return close_menu();
  }
  if (button_pressed(kBtnSq)) {
    screen.value = view_settings.grid_steps = kGridStepsDefault;
    return draw_grid_step();
  }
  if (step_value(kGridStepsMin, kGridStepsMax, false)) draw_grid_step();
}

// KEY REPEAT: the working value counts steps of 50 ms.
void draw_key_repeat() {
  show_number_prompt("KEY REPEAT MS: ", screen.value * kKeyRepeatStepMs, 4);
}

void open_key_repeat(int) {
  screen.value = view_settings.key_repeat_ms / kKeyRepeatStepMs;
  set_editor_state(kStateKeyRepeat);
  draw_key_repeat();
}

void key_repeat_input() {
  if (button_pressed(kBtnX)) {
    view_settings.key_repeat_ms = screen.value * kKeyRepeatStepMs;
    key_repeat_stored();
    return close_menu();
  }
  if (pressed_any({kBtnStart, kBtnO})) return close_menu();
  if (button_pressed(kBtnDLt)) return menu_back();
  if (step_value(0, kKeyRepeatMaxMs / kKeyRepeatStepMs, false)) draw_key_repeat();
}

// ---- On/off settings: APAD NAV, LOOP JUMP ----

bool toggle_pressed() { return pressed_any({kBtnDUp, kBtnDDn}); }

void draw_apad_nav() { show_on_off_prompt("APAD ALWAYS JUMP 8:", view_settings.apad_always_jump8); }

void open_apad_nav(int) {
  set_editor_state(kStateApadNav);
  draw_apad_nav();
}

void apad_nav_input() {
  if (pressed_any({kBtnStart, kBtnX, kBtnDRt})) return close_menu();
  if (pressed_any({kBtnO, kBtnDLt})) return menu_back();
  if (!toggle_pressed()) return;
  view_settings.apad_always_jump8 = !view_settings.apad_always_jump8;
  draw_apad_nav();
}

void draw_loop_jump() { show_on_off_prompt("INSTANT LOOP SWITCH:", screen.flag); }

void open_loop_jump(int) {
  set_current_menu(kStateLoopJumpValue);
  screen.flag = transport.instant_loop_switch != 0;
  set_editor_state(kStateLoopJumpValue);
  draw_loop_jump();
}

void loop_jump_input() {
  if (list_keys(nullptr, kListKeysPrompt)) return;
  if (pressed_any({kBtnX, kBtnDRt})) {
    transport_set_instant_switch(screen.flag);
    return close_menu();
  }
  if (!toggle_pressed()) return;
  screen.flag = !screen.flag;
  draw_loop_jump();
}

// ---- STEREOIZE and HUMANIZE: a synth list, then the synth's value ----

int chosen_track() { return current_menu().selection; }

void draw_stereoize() {
  const bool on = song.stereoize[screen.track] < 0.0f;
  PromptText label("STEREOIZE ");
  label.add_trimmed(song.track_name[screen.track]).add(":");
  show_on_off_prompt(label.c_str(), on);
}

void stereoize_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!pressed_any({kBtnX, kBtnDRt})) return;
  screen.track = chosen_track();
  set_editor_state(kStateStereoizeValue);
  draw_stereoize();
}

void stereoize_value_input() {
  if (pressed_any({kBtnX, kBtnDRt, kBtnStart})) return close_menu();
  if (pressed_any({kBtnO, kBtnDLt})) return reopen_current_menu();
  if (!toggle_pressed()) return;
  edit_stereoize(screen.track, !(song.stereoize[screen.track] < 0.0f));
  draw_stereoize();
}

// The value in thousandths, so steps of 0.001 add up without drifting.
int humanize_thousandths() {
  return static_cast<int>(std::lround(song.humanize[screen.track] * kHumanizeThousandths));
}

void draw_humanize() {
  // Thousandths of the fraction are tenths of a percent.
  const float pct = static_cast<float>(humanize_thousandths()) / 10.0f;
  // Blank-padded on the right to the width of 100.0, so the box never narrows and every
  // value covers the one before it.
  PromptText text("HUMANIZE PCT: ");
  text.add_fixed(pct, 2, 1);
  show_prompt(text.add_padded("", kHumanizeTextLength - text.length()).c_str());
}

void humanize_list_input() {
  if (list_keys(synth_name_list(), kListKeysAll)) return;
  if (!pressed_any({kBtnX, kBtnDRt})) return;
  screen.track = chosen_track();
  set_editor_state(kStateHumanizeValue);
  draw_humanize();
}

void humanize_value_input() {
  if (pressed_any({kBtnX, kBtnDRt, kBtnStart})) return close_menu();
  if (pressed_any({kBtnO, kBtnDLt})) return reopen_current_menu();
  const int now = humanize_thousandths();
  const int next = std::clamp(
      now + dpad_direction() + kHumanizeDragThousandths * left_drag_direction(), 0,
      kHumanizeThousandths);
  if (next == now) return;
  edit_humanize(screen.track, static_cast<float>(next) / kHumanizeThousandths);
  draw_humanize();
}

// ---- EXIT ----

void open_exit(int) {
  set_editor_state(kStateExitQuestion);
  ask_question("EXIT?", true);
}

void exit_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (question_answer()) {
        input.quit = true;
        return;
      }
      return close_menu();
    case QuestionKey::kBack: return menu_back();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

void leaf_closes_menu(int) { close_menu(); }

const ScreenEntry kScreens[] = {
    {kStateBpm, open_bpm, kStateBpm, bpm_input},
    {kStateSwing, open_swing, kStateSwing, swing_input},
    {kStateSwingSteps, open_swing_steps, kStateSwingSteps, swing_steps_input},
    {kStateSeqlen, open_seqlen, kStateSeqlen, seqlen_input},
    {kStateApadScalar, open_apad_scalar, kStateApadScalar, apad_scalar_input},
    {kStateApadNav, open_apad_nav, kStateApadNav, apad_nav_input},
    {kStateKeyRepeat, open_key_repeat, kStateKeyRepeat, key_repeat_input},
    {kStateGridStep, open_grid_step, kStateGridStep, grid_step_input},
    {kStateLoopJump, open_loop_jump, kStateLoopJumpValue, loop_jump_input},
    {kStateStereoize, open_synth_list_leaf, kStateStereoize, stereoize_list_input},
    {kStateHumanize, open_synth_list_leaf, kStateHumanize, humanize_list_input},
    {kStateExit, open_exit, kStateExitQuestion, exit_input},
};

}  // namespace

void register_settings_screens() {
  register_screens(kScreens);
  set_state_handler(kStateStereoizeValue, stereoize_value_input);
  set_state_handler(kStateHumanizeValue, humanize_value_input);
  // TAP TEMPO and RECORD LOCATION only close the menu: the tempo is set with BPM, and
  // recordings always go to the sample folder.
  set_leaf_action(kStateTapTempo, leaf_closes_menu);
  set_leaf_action(kStateRecordLocation, leaf_closes_menu);
}

}  // namespace zorbel
