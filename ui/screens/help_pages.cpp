// The help pages and the ABOUT box: their texts as data, and the keys that leave them.
#include <initializer_list>

#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/state_table.h"

namespace zorbel {

namespace {

struct HelpPage {
  int width;
  std::initializer_list<const char*> lines;  // "" is an empty row
};

const HelpPage kHelpPages[] = {
    // 40 BASICS
    {40,
     {"SELECT HELP TOPICS TO LEARN ABOUT ZORBEL", "    MORE DETAILED INFO IN ZORBEL DOC", "",
      "    OTHER PLACES TO FIND ZORBEL HELP", "", "    README.MD WITH THE ZORBEL SOURCES",
      "    THE ZORBEL PROJECT ISSUE TRACKER"}},
    // 41 ABBREVIATIONS
    {25,
     {"D-: DIGITAL PAD (DPAD)", "A-: ANALOG PAD (APAD)", "UP: PAD UP", "DN: PAD DOWN",
      "LT: PAD LEFT", "RT: PAD RIGHT", "", "EXAMPLE: A-LT = APAD LEFT", "",
      "TRI: TRIANGLE BUTTON", "SQ:  SQUARE BUTTON", "", "L-TR: LEFT TRIGGER",
      "R-TR: RIGHT TRIGGER", "", "+: USE CONTROLS TOGETHER"}},
    // 42 SEQUENCER
    {32,
     {"DPAD:   STEP +/-1 TRACK +/-1", "APAD:   STEP +/-8 TRACK +/-1", "L/R-TR: LOOP +/-1", "",
      "X:    TRIGGER/SELECT TRIG/VOL", "O:    SELECT TVOL/PAN", "TRI:  SELECT SYNTH PARAMS", "",
      "X+D-UP/DN:    SET RETRIGGER MODE", "X/O/TRI+APAD: MOD PARAMS",
      "X/O/TRI+DPAD: MOD PARAMS", "  +L/R-TR:    CHANGE MOD RATE", "              (TRI ONLY)",
      "", "SQ:     TOGGLE TRACK MUTE", "SELECT: START TRANSPORT", "START:  ENTER MENU MODE"}},
    // 43 MORE SEQUENCER
    {35,
     {"TRI+L+R-TRIG: GO TO GEN/FX/ENV MENU", "O+L-TRIG:     COPY SELECTED STEP",
      "O+R-TRIG:     PASTE SELECTED STEP", "O+R-TRIG:     MOD PAN FOR ALL STEPS",
      "              IF COPY NOT SELECTED"}},
    // 44 MENU NAVIGATION
    {25,
     {"D-DN:  NEXT OPTION", "D-UP:  PREV OPTION", "D-RT:  SEL OPTION", "D-LT:  PREV MENU",
      "X:     SEL OPTION", "O:     PREV MENU", "START: RETURN TO STEPEDIT"}},
    // 45 NEW->CUSTOM
    {36,
     {"D-DN:   NEXT TRACK", "D-UP:   PREV TRACK", "TRI", " +D-DN: NEXT SYNTH",
      " +D-UP: PREV SYNTH", " +A-DN: NEXT SYNTH", " +A-UP: PREV SYNTH", "",
      "SQ: DELETE SYNTH (ONLY LAST IN LIST)", "", "O: CANCEL CUSTOM",
      "X: LOAD CUSTOM (LD MUST BE < 100.0)"}},
    // 46 SONG->SEQUENCE
    {32,
     {"D-DN:    NEXT LOOP", "D-UP:    PREV LOOP", "SQ+D-DN: JUMP TEN LOOPS DOWN",
      "SQ+D-UP: JUMP TEN LOOPS UP", "", "TRI+D-UP: DEL SELECTED LOOP STEP",
      "TRI+D-DN: INSERT LOOP STEP", "", "L-TR+D-UP/DN: MOD LOOP NUMBER",
      "L-TR+A-UP/DN: MOD LOOP NUMBER", "R-TR+D-UP/DN: MOD LOOP REPS",
      "R-TR+A-UP/DN: MOD LOOP REPS", "", "X: PLAY SELECTED LOOP"}},
    // 47 EDIT SYNTH
    {39,
     {"D-DN:    NEXT PARAM", "D-UP:    PREV PARAM", "A-LT/RT: PREV/NEXT TRIGGERED HIT", "",
      "A-UP/DN: MOD SYNTH PARAM", "D-UP/DN: MOD SYNTH PARAM (+L/R-TR ONLY)",
      " +L-TR:  SLOW MOD SYNTH PARAM", " +R-TR:  FAST MOD SYNTH PARAM",
      "  +TRI:  SYNC ALL LOOP PARAMS", "  +O:    KEEP PARAM DIFFERENCE", "",
      "SELECT: SET INTERPOLATE POINTS", "X:      SET RANDOM POINTS",
      "D-RT:   SET/CLEAR LATCHED STEPS", "", "SQ: RESET PARAM TO DEFAULT",
      "X:  LOAD WAV FILE (WAV SYNTH ONLY)"}},
    // 48 VISUALIZER
    {39,
     {"X:       START/STOP SEQUENCER", "TRI:     RESET SEQUENCER", "SQ:      RESET SCREEN",
      "O/START: EXIT VISUALIZER", "", "D-UP/DN: CHANGE CIRCLE DRAW MODE",
      "A-PAD:   CHANGE PROBABILITIES LINE DRAW"}},
    // 49 MISC
    {37,
     {"PRESETS", "", "L-TRIG: PREVIEW PRESET KEEP FREQ", "R-TRIG: PREVIEW PRESET OVERWRITE FREQ",
      "", "SET COLORS", "", "SQ+A-UP/DN: SET RED HUE", "x+A-UP/DN:  SET GREEN HUE",
      "O+A-UP/DN:  SET BLUE HUE", "L-TRIG:     COPY CURRENT COLOR",
      "R-TRIG:     PASTE CURRENT COLOR"}},
};
constexpr int kHelpPageCount = kStateHelpLast - kStateHelpFirst + 1;
static_assert(sizeof kHelpPages / sizeof kHelpPages[0] == kHelpPageCount);

// The longest page: 17 rows of 39 characters and the end row.
constexpr int kHelpListBytes = list_bytes(40, 17);
char help_list[kHelpListBytes];

constexpr int kAboutWidth = 30;
constexpr int kAboutLines = 9;
constexpr int kAboutLoadLine = 8;
char about_lines[list_bytes(kAboutWidth, kAboutLines)];
// The load line shows at most this, in tenths of a percent.
constexpr int kLoadShownTenthsMax = 999;

void open_help_page(int id) {
  const HelpPage& page = kHelpPages[id - kStateHelpFirst];
  fill_list(help_list, kHelpListBytes, page.width, page.lines.begin(),
            static_cast<int>(page.lines.size()));
  set_editor_state(id);
  draw_menu(help_list, kListCentred, kNoHighlight);
}

void help_page_input() {
  if (button_pressed(kBtnDLt) || button_pressed(kBtnDRt) || button_pressed(kBtnO) ||
      button_pressed(kBtnX))
    menu_back();
  else if (button_pressed(kBtnStart))
    close_menu();
}

void open_about(int /*leaf_id*/) {
  set_editor_state(kStateAbout);
  draw_menu(about_list(), kListCentred, kNoHighlight);
}

}  // namespace

const char* about_list() {
  int tenths = 0;
  for (int t = 0; t < song.track_count && t < MAX_TRACKS; ++t)
    tenths += synth_cost_tenths(song.synth_type[t]);
  PromptText load;
  if (tenths > kLoadShownTenthsMax)
    load.add_padded("", 19).add("99.9");
  else
    load.add_padded("", 10).add_int(tenths / 10).add(".").add_int(tenths % 10);
  load.add("% LOAD");
  const char* lines[kAboutLines] = {"", "", "          ZORBEL 3.00", "           JUN-20-08",
                                    "    MANUAL: README.MD", "    ISSUES: PROJECT TRACKER",
                                    "", "", ""};
  lines[kAboutLoadLine] = load.c_str();
  fill_list(about_lines, sizeof about_lines, kAboutWidth, lines, kAboutLines);
  return about_lines;
}

void register_help_screens() {
  for (int id = kStateHelpFirst; id <= kStateHelpLast; ++id) {
    set_leaf_action(id, open_help_page);
    set_state_handler(id, help_page_input);
  }
  set_leaf_action(kStateAbout, open_about);
  // ABOUT leaves like a message: D-LT, D-RT, O, X or START back to step edit.
  set_state_handler(kStateAbout, message_state_input);
}

}  // namespace zorbel
