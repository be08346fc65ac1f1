// The DISPLAY menu's colour screens: loading and saving a colour preset, the colour editor with
// its swatches and confirmation, and going back to the built-in colours.
#include <cstdio>

#include "files/colour_scheme.h"
#include "files/file_replace.h"
#include "ui/widgets/colour_swatch.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

constexpr int kChannelStepPerDrag = 8;  // on the 8-bit scale of each channel

struct ColourEditor {
  int slot = 0;
};

ColourEditor editor;

const char* slot_names() { return kColourSlotNames[0]; }

// What a preset file operation that did not happen tells the user. The song and the colours
// on screen are unchanged in every case.
void report_colour_file(ColourFileStatus status, bool saving) {
  switch (status) {
    case ColourFileStatus::kDone: return close_menu();
    case ColourFileStatus::kMissing:
      return show_message_state(kStateCouldNotOpen, "COULD NOT OPEN COLORS.ZBC");
    case ColourFileStatus::kWriteFailed:
      std::fprintf(stderr, "zorbel: could not save COLORS.ZBC: %s\n",
                   last_replace_failure().empty() ? "not written" : last_replace_failure().c_str());
      return show_message_state(kStateMessage18, "COULD NOT SAVE COLORS.ZBC");
    default:
      return show_message_state(kStateMessage18, saving ? "COLOR FILE DAMAGED: NOT SAVED"
                                                        : "COLOR FILE DAMAGED: NOT LOADED");
  }
}

void open_preset_list(int leaf_id) {
  set_editor_state(leaf_id);
  draw_menu(menu_items(current_menu()), kListCentred, current_menu().selection);
}

void load_colours_input() {
  if (list_keys(menu_items(current_menu()), kListKeysAll)) return;
  if (!button_pressed(kBtnX) && !button_pressed(kBtnDRt)) return;
  report_colour_file(load_colour_preset(current_menu().selection), false);
}

void save_colours_input() {
  if (list_keys(menu_items(current_menu()), kListKeysAll)) return;
  if (!button_pressed(kBtnX) && !button_pressed(kBtnDRt)) return;
  report_colour_file(save_colour_preset(current_menu().selection), true);
}

void default_colours(int) {
  restore_default_colours();
  close_menu();
}

void draw_editor_items() {
  draw_menu_items(slot_names(), kListLowered, editor.slot);
  // The highlight row runs under the swatch column, so the swatches go on top afterwards.
  draw_colour_swatches();
}

void open_colour_editor(int) {
  begin_colour_editing();
  editor.slot = 0;
  set_editor_state(kStateSetColours);
  draw_menu(slot_names(), kListLowered, editor.slot);
  draw_colour_swatches();
}

void nudge_slot(ColourChannel channel, int direction) {
  uint16_t& colour = colour_scheme.working[editor.slot];
  colour = nudge_colour_channel(colour, channel, kChannelStepPerDrag * direction);
  draw_colour_swatch(editor.slot);
}

void colour_editor_input() {
  if (button_pressed(kBtnStart)) return close_menu();
  if (button_pressed(kBtnDLt)) return menu_back();
  if (button_pressed(kBtnTri)) {
    set_editor_state(kStateSetColoursConfirm);
    return ask_question("REALLY SET COLORS?", false);
  }
  if (button_held(kBtnDUp) || button_held(kBtnDDn)) {
    const int step = button_held(kBtnDUp) ? -1 : 1;
    editor.slot = (editor.slot + step + kColourSlotCount) % kColourSlotCount;
    return draw_editor_items();
  }
  if (button_pressed(kBtnLTr)) {
    colour_scheme.clipboard = colour_scheme.working[editor.slot];
    return;
  }
  if (button_pressed(kBtnRTr)) {
    colour_scheme.working[editor.slot] = colour_scheme.clipboard;
    return draw_colour_swatch(editor.slot);
  }
  if (!mouse_left_held()) return;
  const int pixels = mouse_drag_pixels();
  const int direction = (pixels > 0) - (pixels < 0);
  if (direction == 0) return;
  if (button_held(kBtnSq)) nudge_slot(kChannelRed, direction);
  if (button_held(kBtnX)) nudge_slot(kChannelGreen, direction);
  if (button_held(kBtnO)) nudge_slot(kChannelBlue, direction);
}

void colour_confirm_input() {
  switch (question_keys()) {
    case QuestionKey::kConfirmed:
      if (question_answer()) apply_working_colours();
      return close_menu();
    case QuestionKey::kClose: return close_menu();
    default: return;
  }
}

}  // namespace

void register_colour_menus() {
  set_leaf_action(kStateLoadColours, open_preset_list);
  set_state_handler(kStateLoadColours, load_colours_input);
  set_leaf_action(kStateSaveColours, open_preset_list);
  set_state_handler(kStateSaveColours, save_colours_input);
  set_leaf_action(kStateDefaultColours, default_colours);
  set_leaf_action(kStateSetColours, open_colour_editor);
  set_state_handler(kStateSetColours, colour_editor_input);
  set_state_handler(kStateSetColoursConfirm, colour_confirm_input);
}

}  // namespace zorbel
