// The step editor's own state and its reset.
#include "ui/screens/step_editor.h"

#include <cstring>

namespace zorbel {

StepEditor step_editor;

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
  step_editor.copy.step = -1;
  step_editor.copy.track = -1;
  step_editor.copy.loop = -1;
  forget_drawn_screen();
  request_all_panels();
}

}  // namespace zorbel
