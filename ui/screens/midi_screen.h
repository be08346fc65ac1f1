// CONTROL > MIDI: the SYNC, NOTE INPUT and CHANNEL PLAY settings, and what MIDI input shows.
#pragma once

#include <cstdint>

namespace zorbel {

// Registers the three settings screens (register_menu_screens calls it).
void register_midi_screens();
// Called after the user stores a MIDI setting, so the program can keep it. Null for none.
void set_midi_settings_hook(void (*hook)());

// Once a frame: the MIDI messages that arrived act (notes go into the cursor track in step edit
// and on its parameter pages), and the screen follows: the entered note, the followed tempo,
// "MIDI CLOCK LOST".
void midi_frame(uint32_t now_ms);

}  // namespace zorbel
