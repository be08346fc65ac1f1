// Undo and redo from the keys, and the message that names what was undone.
#pragma once

namespace zorbel {

// The step editor's and the transport panel's SELECT+L-TR (undo) and SELECT+R-TR (redo); true
// when it took the keys of this tick.
bool undo_combination();
// Makes every frame carry out Ctrl+Z / Ctrl+Y and show the message.
void register_undo_keys();

}  // namespace zorbel
