// The editor's own settings and the parameter editor's hooks, one instance each.
#include "ui/widgets/view_settings.h"

#include "ui/widgets/param_editor_link.h"

namespace zorbel {

ViewSettings view_settings;
ParamEditorLink param_editor_link;

void reset_view_settings() { view_settings = ViewSettings{}; }

namespace {
void (*key_repeat_hook)() = nullptr;
}  // namespace

void set_key_repeat_stored_hook(void (*hook)()) { key_repeat_hook = hook; }

void key_repeat_stored() {
  if (key_repeat_hook) key_repeat_hook();
}

void clear_param_step_marks() {
  if (param_editor_link.clear_step_marks) param_editor_link.clear_step_marks();
}

}  // namespace zorbel
