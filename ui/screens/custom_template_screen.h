// The custom-template editor (state 74): the 16 synth slots of CUSTOM0..CUSTOM3 with their
// summed processor load, and building a new song from them.
#pragma once

namespace zorbel {

// NEW -> CUSTOMn: loads template n (0..3) from seq/custom.zbi and shows it for editing. A
// missing or damaged file is left alone and reported with "COULD NOT OPEN custom.zbi".
void open_custom_template_editor(int n);
// Shows template n for editing, already read into custom_template_list (the NEW list reads it
// itself, so it can report a bad file before leaving its question).
void show_custom_template_editor(int n);
// Registers the editor's state handler (register_preset_screens calls it).
void register_custom_template_screen();

}  // namespace zorbel
