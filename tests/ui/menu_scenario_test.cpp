// The menus as a person uses them in the running workstation: wrapping and going back, the
// EDIT SYNTH pages, the tempo, ABOUT and song order screens, the colour editor reaching the
// whole screen, EXIT ending the program, and a tour that keeps a picture of every screen.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "synth/synth_types.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/text_list.h"

namespace zorbel::test {
namespace {

class MenuScenario : public DriveTest {
 protected:
  // Item i of a centred menu of n items of width w, highlighted or not.
  static ::testing::AssertionResult item(int w, int n, int i, const std::string& text,
                                         bool highlighted) {
    const int colour = highlighted ? kSlotActiveMenuText : kSlotInactiveMenuText;
    return text_at(400 - 4 * w, 300 - 4 * n + 8 * i, text.c_str(), slot(colour));
  }
  // The text of a prompt, centred in its message box.
  static ::testing::AssertionResult prompt(const std::string& text) {
    const int n = static_cast<int>(text.size());
    return text_at(400 - 4 * n, 296, text.c_str(), slot(kSlotActiveMenuText));
  }
  static std::string track_name(int t) {
    std::string name(song.track_name[t], kTrackNameLen - 1);
    return name.substr(0, name.find_first_of(std::string(" \0", 2)));
  }
  static std::vector<uint16_t> screen() {
    std::vector<uint16_t> pixels;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) pixels.push_back(at(x, y));
    return pixels;
  }
  // Pixels of the sequencer screen in a colour: the console area down to its white frame.
  static int count(uint16_t colour) {
    int n = 0;
    for (int y = kConsoleY; y < kConsoleY + kConsoleHeight - 1; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x) n += at(x, y) == colour;
    return n;
  }
  void stop_transport() { run("press SELECT\n press D-DN\n press SELECT\n wait 0.1\n"); }
};

TEST_F(MenuScenario, WrapsGoesBackToTheRightPlaceAndShowsTheTrackPages) {
  stop_transport();
  run("press D-DN\n press D-DN\n");  // track 2 is the current track
  ASSERT_EQ(editor_link.cursor_track, 2);
  const std::vector<uint16_t> step_edit = screen();

  // Root (7 items of 6): D-UP from SYSTEM wraps to SYNTH.
  run(menu_path({}) + "press D-UP\n");
  EXPECT_TRUE(item(6, 7, 6, "SYNTH", true));
  EXPECT_TRUE(item(6, 7, 0, "SYSTEM", false));
  // SYSTEM (11 of 9): D-UP on NEW highlights EXIT, D-DN on EXIT highlights NEW.
  run("press D-DN\n press X\n press D-UP\n");
  EXPECT_EQ(editor_state(), kMenuSystem);
  EXPECT_TRUE(item(9, 11, 10, "EXIT", true));
  EXPECT_TRUE(item(9, 11, 0, "NEW", false));
  shot("drive_menu_system_wrapped");
  run("press D-DN\n");
  EXPECT_TRUE(item(9, 11, 0, "NEW", true));
  EXPECT_TRUE(item(9, 11, 10, "EXIT", false));

  // DISPLAY (O) and CONTROL (D-LT) go back to the root, not to SYSTEM, and the wider box they
  // leave behind is gone: outside the root's box the screen is step edit's again.
  for (const auto& [index, back] : {std::pair{6, "O"}, std::pair{7, "D-LT"}}) {
    run("press START\n" + menu_path({0, index}));
    EXPECT_EQ(editor_state(), index == 6 ? kMenuDisplay : kMenuControl);
    run(std::string("press ") + back + "\n");
    EXPECT_EQ(editor_state(), kMenuRoot);
    EXPECT_TRUE(item(6, 7, 0, "SYSTEM", true));
    int differing = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) {
        const bool in_root_box = x >= 368 && x < 432 && y >= 264 && y < 336;
        const bool in_scope = y >= kScopeY && y <= kScopeY + kScopeHeight && x < 260;
        // Redrawn under a menu, the grid shows no cursor until step edit is back.
        const bool in_cursor = x >= step_x(0) && x < step_x(1) && y >= track_y(2) &&
                               y <= track_y(2) + kCellHeight;
        if (!in_root_box && !in_scope && !in_cursor) differing += at(x, y) != step_edit[y * 800 + x];
      }
    EXPECT_EQ(differing, 0) << back;
  }

  // SYNTH > EDIT SYNTH opens at the current track; a synth with an effect has GEN, FX, ENV.
  run("press START\n" + menu_path({6, 0}));
  const int n = song.track_count;
  ASSERT_EQ(editor_state(), kMenuEditSynth);
  EXPECT_TRUE(item(9, n, 2, track_name(2), true));
  ASSERT_GE(type_effect_kind(song.synth_type[7]), 0);
  ASSERT_LT(type_effect_kind(song.synth_type[0]), 0);
  run("hold D-DN\n tick 5\n release D-DN\n tick\n press X\n");
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst + 7);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(item(3, 3, i, i == 0 ? "GEN" : i == 1 ? "FX" : "ENV", i == 0));
  shot("drive_menu_gen_fx_env");
  // O: back to the list with the current track highlighted, not the synth just visited.
  run("press O\n");
  EXPECT_EQ(editor_state(), kMenuEditSynth);
  EXPECT_TRUE(item(9, n, 2, track_name(2), true));
  EXPECT_TRUE(item(9, n, 7, track_name(7), false));
  // A synth without an effect: GEN and ENV only, in a box of two rows, and ENV is the
  // envelope page's item.
  run("press D-UP\n press D-UP\n press D-RT\n");
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst);
  EXPECT_TRUE(item(3, 2, 0, "GEN", true));
  EXPECT_TRUE(item(3, 2, 1, "ENV", false));
  EXPECT_EQ(at(380, 284), slot(kSlotMenuBackground));
  EXPECT_NE(at(380, 316), slot(kSlotMenuBackground));
  shot("drive_menu_gen_env");
  run("press D-DN\n press X\n");
  EXPECT_EQ(current_menu().id, kStateEnvPageLeaf);
  if (editor_state() != kStateStepEdit) close_menu();
}

TEST_F(MenuScenario, TempoAboutAndSongOrderKeepTheirLimits) {
  // BPM from 998.5: held D-UP stops at 999; a long coarse drag down and A-DN stop at 1.
  edit_bpm(998.5f);
  run(menu_path({1, 0}));
  EXPECT_TRUE(prompt("BPM: 998.50"));
  run("hold D-UP\n tick 3\n release D-UP\n tick\n");
  EXPECT_EQ(song.bpm, 999.0f);
  EXPECT_TRUE(prompt("BPM: 999.00"));
  run("mouse right 6000\n hold A-DN\n tick 2\n release A-DN\n tick\n");
  EXPECT_EQ(song.bpm, 1.0f);
  EXPECT_TRUE(prompt("BPM:   1.00"));
  // X keeps it: the transport panel shows the new tempo.
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(text_at(kTempoX, kTransportY, "BPM:   1.00", slot(kSlotInactiveText)));
  edit_bpm(120.0f);

  // ABOUT for a song whose synths cost more than the whole budget: the load line says 99.9.
  ASSERT_EQ(edit_new_song(1), EditResult::kOk);
  run(menu_path({0, 8}));
  EXPECT_EQ(editor_state(), kStateAbout);
  EXPECT_TRUE(text_at(280, 280, "          ZORBEL 3.00", slot(kSlotActiveMenuText)));
  EXPECT_TRUE(text_at(280, 328, "                   99.9% LOAD ", slot(kSlotActiveMenuText)));
  shot("drive_about_overload");
  run("press O\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // The song order list at position 0: loop numbers only, 0 down to 99 and 99 up to 0.
  run(menu_path({4, 0}));
  ASSERT_EQ(editor_state(), kStateSongOrder);
  const auto line = [](const char* text) { return text_at(304, 292, text, slot(kSlotActiveMenuText)); };
  EXPECT_TRUE(line("000: LOOP 00     REPS 01"));
  run("hold L-TR A-DN\n tick\n");
  EXPECT_EQ(song.song_list[0], 99);
  EXPECT_TRUE(line("000: LOOP 99     REPS 01"));
  for (int i = 0; i < 100; ++i) {
    run("tick\n");
    ASSERT_GE(song.song_list[0], 0) << i;
  }
  EXPECT_EQ(song.song_list[0], 99);
  run("release A-DN\n hold A-UP\n tick\n release all\n tick\n");
  EXPECT_EQ(song.song_list[0], 0);
  // REPS climb to 99 and no further.
  run("hold R-TR A-UP\n tick 110\n release all\n tick\n");
  EXPECT_EQ(song.song_reps[0], 99);
  EXPECT_TRUE(line("000: LOOP 00     REPS 99"));
  // One position on, 0 down is HALT.
  run("press D-DN\n hold L-TR A-DN\n tick\n release all\n tick\n");
  EXPECT_EQ(song.song_list[1], SONG_HALT);
  EXPECT_TRUE(line("001: HALT               "));
  shot("drive_song_order_limits");
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

TEST_F(MenuScenario, SetColorsReachesTheWholeScreenAndDefaultColorsComesBack) {
  stop_transport();
  const uint16_t old_background = slot(kSlotBackground);
  const uint16_t old_names = slot(kSlotTrackName);
  const int old_background_pixels = count(old_background);
  // SET COLORS: red of BACKGROUND up with SQ and drags, green of TRACKNAME down with X.
  run(menu_path({0, 6, 2}));
  ASSERT_EQ(editor_state(), kStateSetColours);
  run("hold SQ\n mouse left -3\n mouse left -3\n mouse left -3\n release SQ\n tick\n"
      "press D-DN\n hold X\n mouse left 3\n mouse left 3\n release X\n tick\n");
  EXPECT_EQ(slot(kSlotBackground), old_background) << "nothing changes before the question";
  run("press TRI\n");
  EXPECT_TRUE(prompt("REALLY SET COLORS? N"));
  run("press D-UP\n");
  EXPECT_TRUE(prompt("REALLY SET COLORS? Y"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  const uint16_t background = slot(kSlotBackground);
  const uint16_t names = slot(kSlotTrackName);
  EXPECT_NE(background, old_background);
  EXPECT_NE(names, old_names);
  // The whole screen is drawn again in the new colours: no pixel of the old background is
  // left, the new one stands where it stood, and every track name is in its new colour.
  EXPECT_EQ(count(old_background), 0);
  EXPECT_EQ(count(background), old_background_pixels);
  for (int t = 0; t < song.track_count; ++t)
    EXPECT_TRUE(text_at(kTrackNameX, track_y(t), track_name(t).c_str(), names)) << t;
  shot("drive_set_colors_applied");
  // They stay for what is drawn later: a menu over the grid, the grid after it.
  run(menu_path({0}) + "press START\n");
  EXPECT_EQ(count(old_background), 0);

  // DEFAULT COLORS: the built-in scheme, on the whole screen at once.
  run(menu_path({0, 6, 3}));
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(0, std::memcmp(colour_scheme.active, kBuiltInColours, sizeof kBuiltInColours));
  EXPECT_EQ(count(background), 0);
  EXPECT_EQ(count(old_background), old_background_pixels);
  EXPECT_TRUE(text_at(kTrackNameX, track_y(0), track_name(0).c_str(), old_names));
}

TEST_F(MenuScenario, ExitYesEndsTheRunAndNoOnlyCloses) {
  // N closes the menu and the program goes on.
  run(menu_path({0}) + "press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateExitQuestion);
  EXPECT_TRUE(prompt("EXIT? Y"));
  run("press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FALSE(input.quit);
  // Y ends the run: nothing after it happens.
  run(menu_path({0}) + "press D-UP\n press X\n press X\n shot never.bmp\n");
  EXPECT_TRUE(input.quit);
  EXPECT_FALSE(std::ifstream("never.bmp").good());

  // The program itself ends through its shutdown with status 0.
  std::ofstream("exit.txt") << menu_path({0}) << "press D-UP\n press X\n press X\n"
                            << "shot never.bmp\n";
  const std::string command = std::string(ZORBEL_BINARY_DIR) + "/zorbel-drive exit.txt";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  EXPECT_FALSE(std::ifstream("never.bmp").good());
}

}  // namespace
}  // namespace zorbel::test

namespace zorbel::test {
namespace {

// A picture of every menu and of every help and settings screen, reached with the keys, for a
// person to look at: build/screens/tour_<item>_<item>....bmp.
class ScreenTour : public MenuScenario {
 protected:
  static std::string list_entry(const char* list, int i) {
    return list + i * (std::strlen(list) + 1);
  }
  static std::string file_name(const std::string& item) {
    std::string name;
    for (char c : item.substr(0, item.find_last_not_of(' ') + 1))
      name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_';
    return name;
  }
  // Leaves whose screens belong here, and a key that shows their second screen.
  static const char* second_screen(int leaf) {
    switch (leaf) {
      case kStateStereoize:
      case kStateHumanize:
      case kStateDelSynth: return "press X\n";
      case kStateSetColours: return "press TRI\n";
      default: return nullptr;
    }
  }
  static bool shown_here(int leaf) {
    const int leaves[] = {kStateSongOrder,   kStateStereoize,   kStateHumanize,   kStateLoopJump,
                          kStateApadScalar,  kStateApadNav,     kStateKeyRepeat,  kStateGridStep,
                          kStateLoadColours, kStateSaveColours, kStateSetColours, kStateAbout,
                          kStateBpm,         kStateSwing,       kStateSwingSteps, kStateSeqlen,
                          kStateAddSynth,    kStateDelSynth,    kStateExit,
                          kStateHelpKeyboard, kStateMidiSync, kStateMidiNoteInput,
                          kStateMidiChannelPlay};
    return std::find(std::begin(leaves), std::end(leaves), leaf) != std::end(leaves) ||
           (leaf >= kStateHelpFirst && leaf <= kStateHelpLast);
  }
  void back_to_step_edit() {
    if (editor_state() != kStateStepEdit) close_menu();
  }
  void visit(int id, std::vector<int> path, const std::string& name) {
    const MenuEntry& entry = menu_entry(id);
    const char* items = menu_items(entry);
    const int n = count_list_entries(items);
    for (int i = 0; i < n && i < kMenuChildren; ++i) {
      const int child = entry.children[i];
      // Two synths' pages stand for all: one with an effect, one without.
      if (id == kMenuEditSynth && i != 0 && i != 7) continue;
      std::vector<int> child_path = path;
      child_path.push_back(i);
      const std::string child_name = name + "_" + file_name(list_entry(items, i));
      const bool menu = std::any_of(std::begin(menu_entry(child).children),
                                    std::end(menu_entry(child).children),
                                    [](int16_t c) { return c != kNoEntry; });
      if (!menu && !shown_here(child)) continue;
      run(menu_path_of(child_path));
      EXPECT_NE(editor_state(), kStateStepEdit) << child_name;
      EXPECT_NE(state_handler(editor_state()), nullptr) << child_name;
      shot(child_name);
      ++shots_;
      if (!menu && second_screen(child)) {
        run(second_screen(child));
        EXPECT_NE(editor_state(), kStateStepEdit) << child_name;
        shot(child_name + "_next");
        ++shots_;
      }
      back_to_step_edit();
      if (menu) visit(child, child_path, child_name);
    }
  }
  static std::string menu_path_of(const std::vector<int>& items) {
    std::string keys = "press START\n";
    for (int index : items) {
      if (index > 0) keys += "hold D-DN\n tick " + std::to_string(index) + "\n release D-DN\n tick\n";
      keys += "press X\n";
    }
    return keys;
  }
  int shots_ = 0;
};

TEST_F(ScreenTour, EveryMenuAndScreenOfTheTree) {
  run("press START\n");
  shot("tour_root");
  back_to_step_edit();
  visit(kMenuRoot, {}, "tour");
  // 12 menus, 2 synths' pages, 33 leaf screens and 4 second screens.
  EXPECT_EQ(shots_, 12 + 2 + 33 + 4);
  // The messages of DEL SYNTH and ADD SYNTH at their limits.
  while (song.track_count > 1) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  run(menu_path({6, 2}));
  EXPECT_TRUE(prompt("CAN NOT DELETE LAST SYNTH"));
  shot("tour_message_last_synth");
  back_to_step_edit();
  while (song.track_count < MAX_TRACKS) ASSERT_EQ(edit_add_synth(32), EditResult::kOk);
  run(menu_path({6, 1}));
  EXPECT_TRUE(prompt("CANNOT ADD: MAX SYNTHS IN SONG"));
  shot("tour_message_max_synths");
}

}  // namespace
}  // namespace zorbel::test
