// Undo and redo from the keys: Ctrl+Z / Ctrl+Y anywhere, SELECT+L-TR / SELECT+R-TR in the step
// editor, the message naming what was undone, and the view moved to where it was.
#include "ui/screens/undo_keys.h"

#include <cstdio>

#include "edit/edit.h"
#include "edit/undo_journal.h"
#include "files/colour_scheme.h"
#include "ui/draw/message_box.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

// The message stays this many frames, about a second at the loop's pace.
constexpr int kMessageFrames = 150;

struct UndoMessage {
  char text[kUndoNameLen + 16] = {};
  int frames_left = 0;
};
UndoMessage message;

void carry_out(int request) {
  const bool redo = request == kHistoryRedo;
  const UndoStep step = redo ? redo_change() : undo_change();
  std::snprintf(message.text, sizeof message.text, "%s: %s", redo ? "REDO" : "UNDO",
                step.done ? step.name : "NOTHING");
  message.frames_left = kMessageFrames;
  // The change was made elsewhere: the view goes there.
  if (step.done) {
    if (step.loop >= 0) transport_show_loop(step.loop);
    if (step.track >= 0 && step.track < song.track_count) editor_link.cursor_track = step.track;
  }
  request_all_panels();
  editor_link.redraw_screen.store(true);
}

void after_draw() {
  const int request = input.history_request;
  input.history_request = kHistoryNone;
  if (request != kHistoryNone) carry_out(request);
  if (message.frames_left <= 0) return;
  show_message(message.text, colour_scheme.active[kSlotActiveMenuText]);
  if (--message.frames_left == 0) {
    request_all_panels();
    editor_link.redraw_screen.store(true);
  }
}

}  // namespace

bool undo_combination() {
  if (!button_held(kBtnSelect)) return false;
  int request = kHistoryNone;
  if (button_pressed(kBtnLTr)) request = kHistoryUndo;
  if (button_pressed(kBtnRTr)) request = kHistoryRedo;
  if (request == kHistoryNone) return false;
  input.history_request = request;
  // SELECT pressed first opened the transport panel: the combination goes back to the grid.
  set_editor_state(kStateStepEdit);
  return true;
}

void register_undo_keys() { set_after_draw_hook(after_draw); }

}  // namespace zorbel
