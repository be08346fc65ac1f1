// The preset screens of the SYNTH menu and the custom-template editor: their registration.
#pragma once

namespace zorbel {

// Installs MAKE PRESET FILE, LOAD PRESET, SAVE PRESET and the custom-template editor (state 74).
void register_preset_screens();

}  // namespace zorbel
