// The help page of the computer keyboard's own keys: key repeat, typed names and the Shift
// piano. A page of its own, drawn and left like the other help pages.
#include "engine/song.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

constexpr int kWidth = 37;
const char* const kLines[] = {
    "HELD KEYS REPEAT AFTER KEY REPEAT MS",
    "  (SYSTEM->CONTROL->KEY REPEAT)",
    "",
    "NAME FIELDS",
    "A-Z 0-9:   TYPE AT THE CURSOR",
    "BACKSPACE: DELETE BEFORE THE CURSOR",
    "DELETE:    DELETE AT THE CURSOR",
    "RETURN:    TAKE THE NAME",
    "",
    "STEP EDIT AND EDIT SYNTH, SHIFT HELD",
    "Z S X D C V G B H N J M: NOTES",
    "Q 2 W 3 E R 5 T 6 Y 7 U: OCTAVE UP",
    "D-UP/DN:   BASE OCTAVE +/-1",
    "D-LT/RT:   STEP -/+1 IN STEP EDIT",
    "",
    "A NOTE SETS THE STEP PITCH, MAKES A",
    "HIT ON AN EMPTY STEP AND MOVES ON",
};
constexpr int kLineCount = sizeof kLines / sizeof kLines[0];
char page[list_bytes(kWidth, kLineCount)];

void open_keyboard_help(int /*leaf_id*/) {
  fill_list(page, sizeof page, kWidth, kLines, kLineCount);
  set_editor_state(kStateHelpKeyboard);
  draw_menu(page, kListCentred, kNoHighlight);
}

}  // namespace

void register_keyboard_help() {
  set_leaf_action(kStateHelpKeyboard, open_keyboard_help);
  // Left with the same keys as every help page.
  set_state_handler(kStateHelpKeyboard, state_handler(kStateHelpFirst));
}

}  // namespace zorbel
