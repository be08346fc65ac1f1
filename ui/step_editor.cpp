// The step editor's own state and its reset.
#include "ui/step_editor.h"

#include <cstring>

namespace zorbel {

StepEditor step_editor;

namespace {
constexpr float kSensitivityFactors[10] = {0.01f, 0.02f, 0.04f, 0.08f, 0.16f,
                                           0.32f, 0.64f, 1.0f,  2.0f,  4.0f};
}

void forget_drawn_screen() {
  DrawnScreen& d = step_editor.drawn;
  std::memset(&d, 0, sizeof d);
  // Values no real cursor, loop or step takes, so every comparison sees a change.
  d.cursor_step = 65;
  d.cursor_track = 17;
  d.loop = -1;
  d.cursor_fill = -1;
  d.copy_step = -1;
  d.copy_track = -1;
  d.play_step = 65;
  d.song_pos = -1;
  d.rep_count = -1;
  d.play_mode = -1;
  d.trig = d.vol = d.tvol = d.pan = -1;
  d.panel_state = -1;
  d.params_shown = true;  // cleared or rewritten by the next update
}

void request_all_panels() {
  step_editor.request_values = true;
  step_editor.request_params = true;
  step_editor.request_transport = true;
  step_editor.request_loop_lines = true;
  step_editor.request_mute_boxes = kMuteBoxAll;
}

void reset_step_editor() {
  std::memset(&step_editor, 0, sizeof step_editor);
  step_editor.grid_steps = kDefaultGridSteps;
  step_editor.apad_sensitivity = kDefaultApadSensitivity;
  step_editor.apad_always_jump8 = true;
  step_editor.copy.step = -1;
  step_editor.copy.track = -1;
  step_editor.copy.loop = -1;
  forget_drawn_screen();
  request_all_panels();
}

float apad_sensitivity_factor() {
  int level = step_editor.apad_sensitivity;
  if (level < 0) level = 0;
  if (level > 9) level = 9;
  return kSensitivityFactors[level];
}

}  // namespace zorbel
