// Registration of every screen's state handlers, once at user-interface start-up.
#include <initializer_list>

#include "ui/screens/file_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/screens/param_page.h"
#include "ui/screens/preset_screens.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_edit.h"
#include "ui/screens/transport_panels.h"
#include "ui/screens/visualizer.h"

namespace zorbel {

void register_all_screens() {
  for (int state : {kStateMessage18, kStateCouldNotOpen, kStateCannotAdd, kStateMaxSynths,
                    kStateLastSynth, kStateNoMemoryForWav, kStateWavNotLoaded})
    set_state_handler(state, message_state_input);
  // Each screen family registers its states here.
  register_step_edit();
  register_transport_panels();
  register_visualizer();
  register_menu_screens();
  register_param_pages();
  register_file_screens();
  register_preset_screens();
}

}  // namespace zorbel
