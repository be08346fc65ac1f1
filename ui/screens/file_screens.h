// The song-file screens of the SYSTEM and LOOP menus: LOAD, SAVE, SAVE AS, the overwrite
// question, RENAME LOOP, RECORD and NEW.
#pragma once

namespace zorbel {

// Installs the leaf actions and state handlers of these screens (register_all_screens).
void register_file_screens();

// NEW -> CUSTOMn, answered Y: custom_template_list already holds template n (0..3) read from
// custom.zbi. The template editor installs its opener here; it enters its state
// (kStateCustomTemplate) and draws the template. Without one the menu just closes.
using CustomTemplateEditorOpen = void (*)(int template_number);
void set_custom_template_editor(CustomTemplateEditorOpen open);

// A running recording's share of the frame: renders for a slice of it and moves the progress
// bar, then puts up the closing line (or the failure) once every buffer is done. False, doing
// nothing, when no recording is on screen.
bool serve_recording();

}  // namespace zorbel
