// The sequencer screen. (Placeholder until the grid is drawn.)
#include "ui/sequencer_screen.h"

namespace zorbel {

void redraw_sequencer_screen() {}
void redraw_grid() {}
void update_sequencer_screen() {}

}  // namespace zorbel
