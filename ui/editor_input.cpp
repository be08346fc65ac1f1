// The editor input dispatcher: acting ticks, Esc, the state's handler and the end-of-tick work.
#include "ui/editor_input.h"

#include "ui/input.h"
#include "ui/state_table.h"
#include "ui/step_edit.h"

namespace zorbel {

void editor_input() {
  if (!input_tick()) return;  // the tick also read the mouse
  if (button_pressed(kKeyEscape)) {
    input.quit = true;
    return;
  }
  dispatch_editor_state();
  editor_tick_done();
  end_editor_tick();
}

}  // namespace zorbel
