// The editor input dispatcher: acting ticks, Esc, the state's handler and the end-of-tick work.
#include "ui/screens/editor_input.h"

#include "ui/platform/input.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_edit.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

void editor_input() {
  if (!input_tick(view_settings.key_repeat_ms)) return;  // the tick also read the mouse
  if (button_pressed(kKeyEscape)) {
    input.quit = true;
    return;
  }
  dispatch_editor_state();
  editor_tick_done();
  end_editor_tick();
}

}  // namespace zorbel
