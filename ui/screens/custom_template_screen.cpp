// The custom-template editor: a template's synth slots typed in with TRI and the APAD, its load
// shown as it grows, and X saving the template and building the song from it within the budget.
#include "ui/screens/custom_template_screen.h"

#include <cstdio>
#include <string>

#include "edit/edit.h"
#include "engine/song_templates.h"
#include "files/custom_template_file.h"
#include "files/platform_dir.h"
#include "engine/synth_tracks.h"
#include "ui/widgets/editor_state.h"
#include "ui/screens/file_screens.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/widgets/prompt.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

constexpr int kLineWidth = 12;  // "00:  -------"
constexpr int kLoadLine = kCustomTemplateSynths;      // the line after the 16 slots
constexpr int kLineCount = kCustomTemplateSynths + 1;
constexpr int kLastSlot = kCustomTemplateSynths - 1;
constexpr int kEmpty = -1;

struct TemplateEditor {
  int n = 0;        // the template, 0..3
  int cursor = 0;   // the slot being edited
  char lines[list_bytes(kLineWidth, kLineCount)] = {};
};

TemplateEditor editor;

int16_t& slot(int i) { return custom_template_list[i]; }

void build_lines() {
  for (int i = 0; i < kCustomTemplateSynths; ++i) {
    PromptText line;
    line.add_int(i, 2, '0').add(":  ");
    line.add(slot(i) >= 0 && slot(i) < kTypeCount ? type_name_from_code(slot(i)) : "-------");
    write_list_entry(editor.lines, kLineWidth, i, line.c_str());
  }
  const int tenths = custom_template_cost_tenths(custom_template_list);
  write_list_entry(editor.lines, kLineWidth, kLoadLine,
                   PromptText("LD:  ").add_int(tenths / 10).add(".").add_int(tenths % 10).c_str());
  end_list(editor.lines, kLineWidth, kLineCount);
}

// The whole box each time: a line's text changes in place, so its row is drawn afresh.
void draw_editor() {
  build_lines();
  draw_menu(editor.lines, kListCentred, editor.cursor);
}

// D-DN: the next slot, but never past the first empty one; after slot 15 comes slot 0.
int next_slot(int i) {
  if (slot(i) == kEmpty) return i;
  return i == kLastSlot ? 0 : i + 1;
}

// D-UP: the previous slot; from slot 0 the one after the last filled slot.
int previous_slot(int i) {
  if (i > 0) return i - 1;
  int last = kEmpty;
  for (int k = 0; k < kCustomTemplateSynths; ++k)
    if (slot(k) != kEmpty) last = k;
  return last < kLastSlot ? last + 1 : kLastSlot;
}

// TRI with A-DN steps the type up, with A-UP down; an empty slot starts at 0 or 63.
int stepped_type(int type, int step) {
  if (type == kEmpty) return step > 0 ? 0 : kTypeCount - 1;
  return (type + step + kTypeCount) % kTypeCount;
}

void build() {
  if (custom_template_cost_tenths(custom_template_list) > kCostBudgetTenths) return;
  std::string reason;
  const EditResult result = edit_build_custom_template(editor.n, &reason);
  switch (result) {
    case EditResult::kOk: return return_to_step_edit();
    case EditResult::kBadArgument: return;  // no synth yet
    case EditResult::kSaveFailed:
      std::fprintf(stderr, "could not save %s: %s\n", kCustomTemplateFile, reason.c_str());
      return show_message_state(kStateMessage18,
                                PromptText("COULD NOT SAVE ").add(kCustomTemplateFile).c_str());
    default: return show_message_state(kStateMessage18, edit_result_text(result));
  }
}

void template_editor_input() {
  if (button_pressed(kBtnO) || button_pressed(kBtnDLt) || button_pressed(kBtnStart))
    return return_to_step_edit();
  if (button_pressed(kBtnX)) return build();
  const int before_cursor = editor.cursor;
  const int before_type = slot(editor.cursor);
  if (button_held(kBtnTri)) {
    const int step = button_held(kBtnADn) ? 1 : (button_held(kBtnAUp) ? -1 : 0);
    if (step != 0) slot(editor.cursor) = static_cast<int16_t>(stepped_type(slot(editor.cursor), step));
  } else if (button_held(kBtnDDn)) {
    editor.cursor = next_slot(editor.cursor);
  } else if (button_held(kBtnDUp)) {
    editor.cursor = previous_slot(editor.cursor);
  } else if (button_pressed(kBtnSq)) {
    const bool last_filled = editor.cursor == kLastSlot || slot(editor.cursor + 1) == kEmpty;
    if (editor.cursor != 0 && last_filled) slot(editor.cursor) = kEmpty;
  }
  if (editor.cursor != before_cursor || slot(editor.cursor) != before_type) draw_editor();
}

}  // namespace

void open_custom_template_editor(int n) {
  std::string reason;
  if (n < 0 || n >= kCustomTemplateCount || !load_custom_template(n, &reason)) {
    std::fprintf(stderr, "zorbel: could not open %s%s: %s\n", kSongFolder, kCustomTemplateFile,
                 reason.c_str());
    return show_message_state(kStateCouldNotOpen,
                              PromptText("COULD NOT OPEN ").add(kCustomTemplateFile).c_str());
  }
  show_custom_template_editor(n);
}

void show_custom_template_editor(int n) {
  editor.n = n;
  editor.cursor = 0;
  set_editor_state(kStateCustomTemplate);
  // The NEW question's wide box goes first.
  redraw_sequencer_screen();
  draw_editor();
}

void register_custom_template_screen() {
  set_state_handler(kStateCustomTemplate, template_editor_input);
  // CUSTOM0..3 of the NEW list open the editor.
  set_custom_template_editor(show_custom_template_editor);
}

}  // namespace zorbel
