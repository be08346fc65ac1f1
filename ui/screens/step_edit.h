// Step edit, the editor's resting state: the grid's cursor and every command on it.
#pragma once

namespace zorbel {

// Registers the handler of editor state 0.
void register_step_edit();
// End of an acting editor tick: remembers the cursor step and loop, against which the next
// tick tells whether the cursor moved.
void editor_tick_done();

}  // namespace zorbel
