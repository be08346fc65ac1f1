// What the menus need from the synth parameter editor; the editor fills these in when it starts.
#pragma once

namespace zorbel {

// Every hook may be null while the parameter editor is not built: no marks, page group 0.
struct ParamEditorLink {
  // Forgets the step marks of the parameter pages (START into the menu, SYNTH selected).
  void (*clear_step_marks)() = nullptr;
  // Whether the editor marks list row `row` (drawn in the interpolate colour).
  bool (*row_marked)(int row) = nullptr;
  // The page group on screen; 2 is the GEN page of an FM synth, whose lists drop 12 pixels.
  int (*page_group)() = nullptr;
};

extern ParamEditorLink param_editor_link;

void clear_param_step_marks();

}  // namespace zorbel
