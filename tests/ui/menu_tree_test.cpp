// The menu tree: every registered entry and leaf, the navigation keys, the EDIT SYNTH pages and
// the list drawer's geometry, highlight, marks and drop.
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "edit/edit.h"
#include "tests/support/temp_workdir.h"
#include "tests/ui/menu_test_support.h"
#include "ui/widgets/list_view.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/text_list.h"

namespace zorbel::test {
namespace {

using MenuTreeTest = MenuScreenTest;

bool has_children(const MenuEntry& e) {
  for (int16_t c : e.children)
    if (c != kNoEntry) return true;
  return false;
}

TEST_F(MenuTreeTest, EveryEntryLeadsSomewhereAndNoStateCrashes) {
  TempWorkdir dir;  // the file screens save and record what the keys ask for
  // Walk the tree from the root: every item's child exists, menus list as many items as they
  // have children, and every leaf either opens a screen with a handler or closes the menu.
  std::vector<int> pending{kMenuRoot};
  std::set<int> seen_menus, seen_leaves;
  while (!pending.empty()) {
    const int id = pending.back();
    pending.pop_back();
    if (!seen_menus.insert(id).second) continue;
    const MenuEntry& entry = menu_entry(id);
    ASSERT_TRUE(entry.registered) << id;
    const int n = count_list_entries(menu_items(entry));
    for (int i = 0; i < kMenuChildren; ++i) {
      const int child = entry.children[i];
      if (i >= n) {
        // The synth list has a child for every possible track; only the others stop here.
        if (entry.source != MenuItems::kSynthNames) {
          EXPECT_EQ(child, kNoEntry) << "entry " << id << " item " << i;
        }
        continue;
      }
      ASSERT_NE(child, kNoEntry) << "entry " << id << " item " << i;
      ASSERT_TRUE(menu_entry(child).registered) << child;
      EXPECT_TRUE(menu_entry(child).parent != kNoEntry) << child;
      if (has_children(menu_entry(child))) {
        EXPECT_NE(state_handler(child), nullptr) << "menu " << child;
        pending.push_back(child);
        continue;
      }
      seen_leaves.insert(child);
      // Select the leaf from its menu, as a user would.
      set_current_menu(id);
      current_menu().selection = static_cast<int16_t>(i);
      set_editor_state(id);
      menu_select();
      const int state = editor_state();
      // VISUALIZE hands the input to the visualizer's mode instead of an editor state.
      const bool visualizer = current_mode() == kModeVisualizer && state == kStateVisualizer;
      EXPECT_TRUE(state == kStateStepEdit || state_handler(state) != nullptr || visualizer)
          << "leaf " << child << " left state " << state << " without a handler";
      EXPECT_EQ(visualizer, child == kStateVisualizer) << child;
      set_mode(kModeEditor);
      input.quit = false;
    }
  }
  // 12 menus (CONTROL > MIDI among them), the EDIT SYNTH list and the pages of each of the
  // song's synths.
  EXPECT_EQ(seen_menus.size(), 13u + static_cast<size_t>(song.track_count));
  EXPECT_EQ(seen_leaves.size(), 63u);

  // Every state up to the last (and one past), entered cold, takes every button without harm.
  const int keys[] = {kBtnDUp, kBtnDDn, kBtnDLt, kBtnDRt, kBtnX,   kBtnO,   kBtnSq,
                      kBtnTri, kBtnLTr, kBtnRTr, kBtnAUp, kBtnADn, kBtnStart};
  for (int state = 0; state <= kStateLast + 1; ++state) {
    for (int key : keys) {
      set_current_menu(state);
      set_editor_state(state);
      tick({key, kBtnTri});
      set_editor_state(state);
      drag(5, kMouseLeft | kMouseRight, {key});
      set_editor_state(state);
      press({key});
      input.quit = false;
    }
  }
  EXPECT_TRUE(outside_untouched());
}

TEST_F(MenuTreeTest, NavigationWrapsGoesBackAndCloses) {
  open_main_menu();
  EXPECT_EQ(editor_state(), kMenuRoot);
  save_image("menu_root");
  // Root: W 6, n 7: frame at (368, 264), 64 x 72, items from (376, 272).
  EXPECT_EQ(at(368, 264), colour(kSlotMenuBackground));
  EXPECT_EQ(at(370, 266), colour(kSlotActiveMenuText));   // outer outline, inset 2
  EXPECT_EQ(at(372, 268), colour(kSlotActiveMenuText));   // inner outline, inset 4
  EXPECT_EQ(at(371, 268), colour(kSlotMenuBackground));
  EXPECT_FALSE(painted(367, 300));
  EXPECT_FALSE(painted(432, 300));
  EXPECT_TRUE(painted(431, 300));
  EXPECT_EQ(read_text(376, 272, 6, colour(kSlotActiveMenuText)), "SYSTEM");
  EXPECT_EQ(read_text(376, 280, 6, colour(kSlotInactiveMenuText)), "TEMPO ");
  EXPECT_EQ(read_text(376, 320, 6, colour(kSlotInactiveMenuText)), "SYNTH ");

  press({kBtnX});  // SYSTEM
  EXPECT_EQ(editor_state(), kMenuSystem);
  save_image("menu_system");
  // W 9, n 11: items from (364, 256).
  press({kBtnDUp});  // from NEW to EXIT
  EXPECT_EQ(current_menu().selection, 10);
  EXPECT_EQ(read_text(364, 336, 9, colour(kSlotActiveMenuText)), "EXIT     ");
  EXPECT_EQ(read_text(364, 256, 9, colour(kSlotInactiveMenuText)), "NEW      ");
  press({kBtnDDn});  // and back round to NEW
  EXPECT_EQ(current_menu().selection, 0);
  EXPECT_EQ(read_text(364, 256, 9, colour(kSlotActiveMenuText)), "NEW      ");
  // D-UP held keeps moving on every acting tick.
  tick({kBtnDUp});
  tick({kBtnDUp});
  tick({kBtnDUp});
  tick();
  EXPECT_EQ(current_menu().selection, 8);

  // DISPLAY and CONTROL go back to the root, not to SYSTEM.
  for (int item : {6, 7}) {
    open_path({0, item});
    EXPECT_EQ(editor_state(), item == 6 ? kMenuDisplay : kMenuControl);
    save_image(item == 6 ? "menu_display" : "menu_control");
    press({item == 6 ? kBtnO : kBtnDLt});
    EXPECT_EQ(editor_state(), kMenuRoot);
    EXPECT_EQ(current_menu().selection, 0);
  }
  // The rest of the menus, for a person to look at; O from each goes back to the root.
  const char* names[] = {"", "menu_tempo", "menu_track", "menu_loop", "menu_song",
                         "menu_config", "menu_synth"};
  for (int item = 1; item <= 6; ++item) {
    clear_surface();
    open_path({item});
    save_image(names[item]);
    press({kBtnO});
    EXPECT_EQ(editor_state(), kMenuRoot) << item;
  }
  clear_surface();
  open_path({0, 9});
  EXPECT_EQ(editor_state(), kMenuHelp);
  save_image("menu_help");
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuSystem);

  // O and D-LT in the root close it; START closes from any depth.
  press({kBtnO});
  press({kBtnO});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_main_menu();
  press({kBtnDLt});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_path({5});
  press({kBtnStart});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // RECORD LOCATION and TAP TEMPO close at once.
  open_path({5, 4});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_path({1, 1});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // A leaf whose screen is not built yet closes too.
  set_leaf_action(kStateLoad, close_menu_until_built);
  open_path({0, 1});
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

TEST_F(MenuTreeTest, EditSynthListShowsTrackPagesAndReturnsToTheCurrentTrack) {
  int marks_cleared = 0;
  static int* cleared = &marks_cleared;
  param_editor_link.clear_step_marks = [] { ++*cleared; };
  editor_link.cursor_track = 2;
  open_path({6});
  EXPECT_EQ(marks_cleared, 1);  // START into the menu
  press({kBtnX});               // EDIT SYNTH
  EXPECT_EQ(marks_cleared, 2);  // selecting in SYNTH
  EXPECT_EQ(editor_state(), kMenuEditSynth);
  EXPECT_EQ(current_menu().selection, 2);
  save_image("menu_edit_synth");
  // 13 synth names of width 9: the highlighted one is track 2's.
  const int x = 400 - 36, y0 = 300 - 52;
  EXPECT_EQ(read_text(x, y0 + 16, 9, colour(kSlotActiveMenuText)),
            std::string(song.track_name[2], 9));

  // Track 7 (BAMSVF) has an effect: GEN, FX, ENV.
  for (int i = 0; i < 5; ++i) press({kBtnDDn});
  press({kBtnDRt});
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst + 7);
  EXPECT_EQ(count_list_entries(menu_items(current_menu())), 3);
  save_image("menu_gen_fx_env");
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuEditSynth);
  EXPECT_EQ(current_menu().selection, 2);  // the current track, not the first synth

  // Track 0 (BAM) has none: GEN, ENV, and ENV leads to the envelope page's leaf.
  press({kBtnDUp});
  press({kBtnDUp});
  press({kBtnX});
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst);
  const MenuEntry& pages = current_menu();
  EXPECT_EQ(count_list_entries(menu_items(pages)), 2);
  EXPECT_EQ(pages.children[1], kStateEnvPageLeaf);
  save_image("menu_gen_env");
  EXPECT_EQ(read_text(400 - 12, 300 - 8 + 8, 3, colour(kSlotInactiveMenuText)), "ENV");
}

TEST_F(MenuTreeTest, ListDrawerHighlightMarksAndDrops) {
  char list[list_bytes(5, 3)];
  const char* lines[] = {"ALPHA", "BETA", "GAMMA"};
  ASSERT_TRUE(fill_list(list, sizeof list, 5, lines, 3));
  EXPECT_FALSE(fill_list(list, sizeof list - 1, 5, lines, 3));  // does not fit: refused
  EXPECT_EQ(count_list_entries(list), 3);

  // W 5, n 3: frame at (372, 280), items at (380, 288 + 8i).
  draw_menu(list, kListCentred, kNoHighlight);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(read_text(380, 288 + 8 * i, 5, colour(kSlotActiveMenuText)),
              std::string(lines[i]) + std::string(5 - std::strlen(lines[i]), ' '));
  // Lowered: everything 16 pixels down.
  clear_surface();
  draw_menu(list, kListLowered, 1);
  EXPECT_FALSE(painted(372, 295));
  EXPECT_EQ(at(372, 296), colour(kSlotMenuBackground));
  EXPECT_EQ(read_text(380, 312, 5, colour(kSlotActiveMenuText)), "BETA ");
  EXPECT_EQ(read_text(380, 304, 5, colour(kSlotInactiveMenuText)), "ALPHA");

  // A row the parameter editor marks is highlighted in the interpolate colour, and on the GEN
  // page of an FM synth (page group 2) the whole list sits 12 pixels lower.
  param_editor_link.row_marked = [](int row) { return row == 2; };
  param_editor_link.page_group = [] { return 2; };
  colour_scheme.active[kSlotInterpolateText] = 0x07E0;
  set_editor_state(kStateGenPage);
  clear_surface();
  draw_menu(list, kListCentred, 2);
  EXPECT_FALSE(painted(372, 291));
  EXPECT_EQ(at(372, 292), colour(kSlotMenuBackground));
  EXPECT_EQ(read_text(380, 316, 5, 0x07E0), "GAMMA");
  set_editor_state(kStateStepEdit);  // elsewhere the page group does not move lists
  clear_surface();
  draw_menu(list, kListCentred, 0);
  EXPECT_EQ(at(372, 280), colour(kSlotMenuBackground));
  EXPECT_TRUE(outside_untouched());
}

TEST_F(MenuTreeTest, WaitMarkShowsWhileAStructuralEditWaitsForTheCallback) {
  // A callback that is still running when the pause begins makes the wait draw "DUM".
  transport.in_callback.store(1);
  static int waits = 0;
  waits = 0;
  set_pause_wait_hook([] {
    if (++waits == 3) transport.in_callback.store(0);
  });
  resume_audio(pause_audio());
  EXPECT_EQ(waits, 3);
  register_all_screens();  // installs the mark
  transport.in_callback.store(1);
  // The "callback" ends a little after the pause has begun waiting for it.
  std::thread finish([] {
    while (transport.audio_paused.load() == 0) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    transport.in_callback.store(0);
  });
  EXPECT_EQ(edit_delete_last_synth(), EditResult::kOk);
  finish.join();
  EXPECT_EQ(read_text(100, 10, 3, colour(kSlotActiveText)), "DUM");
}

}  // namespace
}  // namespace zorbel::test
