// The pattern operations as a person reaches them: through the TRACK and LOOP menus, their
// prompts and questions, and the grid that shows the result afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "edit/edit.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {

class PatternOpsScenario : public DriveTest {
 protected:
  // The one-line prompt in the message box, centred at y 296.
  static ::testing::AssertionResult prompt_shows(const std::string& text) {
    return text_at(400 - 4 * static_cast<int>(text.size()), 296, text.c_str(),
                   slot(kSlotActiveMenuText));
  }
  // Line `row` of a box of `rows` lines that are `width` characters wide.
  static ::testing::AssertionResult box_line(int row, int rows, int width, const std::string& text) {
    return text_at(400 - 4 * width, 300 - 4 * rows + 8 * row, text.c_str(),
                   slot(kSlotActiveMenuText));
  }
  static std::string name(int track) {
    std::string n = song.track_name[track];
    while (!n.empty() && n.back() == ' ') n.pop_back();
    return n;
  }
  static std::string padded(int track) {
    std::string n = song.track_name[track];
    n.resize(kTrackNameLen - 1, ' ');
    return n;
  }
  static uint16_t hit_colour(int step) {
    return slot(step < song.seqlen ? kSlotTriggeredStep : kSlotInactiveTrigStep);
  }
  // From step edit into the TRACK (2) or LOOP (3) menu.
  void open_menu_item(int menu, const std::string& moves) {
    ASSERT_EQ(editor_state(), kStateStepEdit);
    std::string script = "press START\n";
    for (int i = 0; i < menu; ++i) script += "press D-DN\n";
    run(script + "press X\n" + moves + "press X\n");
  }
  static bool hit(int loop, int track, int step) { return song.step_trig[loop][track][step] != 0; }
};

TEST_F(PatternOpsScenario, FillShiftAndClearARangeFromTheTrackMenu) {
  // A hit at step 0 of track 0, and the transport stopped.
  run("press X\n");
  transport_set_stopped(true);
  run("wait 0.1\n");
  ASSERT_NE(transport.transport_stopped.load(), 0);

  // FILL TRACK is the last item: D-UP wraps to it. The distance moves with D-UP/D-DN and a drag.
  open_menu_item(2, "press D-UP\n");
  ASSERT_EQ(editor_state(), kStateFillTrack);
  EXPECT_TRUE(prompt_shows("FILL STEP:  1"));
  shot("pattern_fill_prompt");
  run("press D-DN\n");  // 1 is the least
  EXPECT_TRUE(prompt_shows("FILL STEP:  1"));
  run("press D-UP\n press D-UP\n press D-UP\n mouse left -4\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("FILL STEP:  4"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  for (int s = 0; s < MAX_STEPS; ++s) EXPECT_EQ(hit(0, 0, s), s % 4 == 0) << s;
  EXPECT_EQ(transport.transport_stopped.load(), 0);  // a fill leaves the transport running
  EXPECT_EQ(cell_fill(0, 8), hit_colour(8));
  EXPECT_EQ(cell_fill(0, 9), slot(kSlotBackground));
  shot("pattern_after_fill4");

  // SHIFT +2 without keeping, from the cursor at step 0: every hit moves two steps later.
  open_menu_item(2, "press D-UP\n press D-UP\n");
  ASSERT_EQ(editor_state(), kStateShiftTrack);
  EXPECT_TRUE(prompt_shows("SHIFT STEP:   1"));
  run("press D-UP\n press X\n");
  ASSERT_EQ(editor_state(), kStateShiftKeepQuestion);
  EXPECT_TRUE(prompt_shows("KEEP ORIGINAL HITS IN PLACE? Y"));
  shot("pattern_shift_keep_question");
  // Back returns to the distance as it was.
  run("press O\n");
  EXPECT_TRUE(prompt_shows("SHIFT STEP:   2"));
  run("press X\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("KEEP ORIGINAL HITS IN PLACE? N"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  const int length = song.seqlen;
  for (int s = 0; s < length; ++s) EXPECT_EQ(hit(0, 0, s), s >= 2 && s % 4 == 2) << s;
  EXPECT_EQ(cell_fill(0, 0), slot(kSlotBackground));
  EXPECT_EQ(cell_fill(0, 2), hit_colour(2));

  // SHIFT -2 keeping the hits, from step 10: the hits up to the cursor are copied earlier too.
  run("hold D-RT\n tick 10\n release D-RT\n tick\n");
  ASSERT_EQ(editor_link.cursor_step, 10);
  open_menu_item(2, "press D-UP\n press D-UP\n");
  run("press D-DN\n press D-DN\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("SHIFT STEP:  -2"));
  run("press X\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  for (int s = 0; s <= 10; ++s) EXPECT_EQ(hit(0, 0, s), s % 2 == 0) << s;
  EXPECT_TRUE(hit(0, 0, 14));
  EXPECT_FALSE(hit(0, 0, 12));
  EXPECT_EQ(cell_fill(0, 4), hit_colour(4));

  // CLEAR TRACK over steps 4..10: the track's list, both ends, then the question.
  edit_step_legato(0, 0, 14, true);
  open_menu_item(2, "press D-UP\n press D-UP\n press D-UP\n");
  ASSERT_EQ(editor_state(), kStateClearTrack);
  const char* list = synth_name_list();
  EXPECT_TRUE(text_at(menu_item_x(list), menu_item_y(list, kListCentred, 0), padded(0).c_str(),
                      slot(kSlotActiveMenuText)));
  run("press X\n");
  EXPECT_TRUE(prompt_shows("FIRST STEP:  0"));
  run("hold D-UP\n tick 4\n release D-UP\n tick\n press X\n");
  EXPECT_TRUE(prompt_shows("LAST STEP: 63"));
  run("hold D-DN\n tick 60\n release D-DN\n tick\n");
  EXPECT_TRUE(prompt_shows("LAST STEP:  4"));  // not below the first step
  run("hold D-UP\n tick 6\n release D-UP\n tick\n press X\n");
  EXPECT_TRUE(prompt_shows("CLEAR " + name(0) + "? N"));
  shot("pattern_clear_track_question");
  // N leaves the track as it was.
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(hit(0, 0, 6));
  open_menu_item(2, "press D-UP\n press D-UP\n press D-UP\n");
  run("press X\n hold D-UP\n tick 4\n release D-UP\n tick\n press X\n"
      "hold D-DN\n tick 53\n release D-DN\n tick\n press X\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  for (int s = 0; s < 16; ++s) EXPECT_EQ(hit(0, 0, s), s == 0 || s == 2 || s == 14) << s;
  EXPECT_EQ(song.legato_steps[0][0], 0u);  // the whole track's legato goes
  EXPECT_EQ(cell_fill(0, 6), slot(kSlotBackground));
  EXPECT_EQ(cell_fill(0, 14), hit_colour(14));
  shot("pattern_after_clear_track");
}

TEST_F(PatternOpsScenario, LoopCopiesCarryMutesOnlyForTheWholeLoopAndClearAsks) {
  edit_step_trig(0, 0, 0, 100);
  edit_step_trig(0, 1, 3, 80);
  edit_track_enable(0, 2, false);
  edit_step_trig(2, 3, 7, 100);  // overwritten by the copy

  // COPY LOOP 00 to loop 02.
  open_menu_item(3, "press D-DN\n");
  ASSERT_EQ(editor_state(), kStateCopyLoopQuestion);
  EXPECT_TRUE(prompt_shows("COPY LOOP 00..."));
  run("press X\n");
  EXPECT_TRUE(prompt_shows("TO LOOP: 01    "));
  run("press D-DN\n");  // round past the source to 99
  EXPECT_TRUE(prompt_shows("TO LOOP: 99    "));
  run("press D-UP\n press D-UP\n mouse left -3\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("TO LOOP: 02    "));
  shot("pattern_copy_loop_to");
  run("press X\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE LOOP 02? N"));
  run("press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(hit(2, 0, 0));
  EXPECT_EQ(song.step_trig[2][1][3], 80);
  EXPECT_FALSE(hit(2, 3, 7));
  EXPECT_EQ(song.loop_track_enable[2][2], 0);

  // The grid of loop 02 shows the copy and the muted track.
  run("press R-TR\n wait 0.05\n press R-TR\n wait 0.05\n");
  ASSERT_EQ(transport.current_loop.load(), 2);
  EXPECT_EQ(cell_fill(0, 0), hit_colour(0));
  EXPECT_EQ(cell_fill(1, 3), hit_colour(3));
  EXPECT_EQ(cell_fill(3, 7), slot(kSlotBackground));
  EXPECT_EQ(at(kMuteBoxX + 2, track_y(2) + 2), slot(kSlotMuteOn));
  shot("pattern_loop02_after_copy");

  // COPY TRACK TO LOOP: track 1 of loop 02 to loop 03, whose mute stays as it was.
  edit_step_trig(2, 1, 9, 100);
  edit_track_enable(2, 1, false);
  open_menu_item(3, "");
  ASSERT_EQ(editor_state(), kStateCopyTrackToLoop);
  run("press D-DN\n press X\n");
  EXPECT_TRUE(prompt_shows("TO LOOP: 03    "));
  run("press X\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE LOOP 03? N"));
  run("press O\n");  // back to the list, the track still selected
  EXPECT_EQ(editor_state(), kStateCopyTrackToLoop);
  EXPECT_EQ(current_menu().selection, 1);
  run("press X\n press X\n press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(hit(3, 1, 9));
  EXPECT_EQ(song.step_trig[3][1][3], 80);
  EXPECT_FALSE(hit(3, 0, 0));                 // only that track
  EXPECT_EQ(song.loop_track_enable[3][1], 1);  // the mute is not copied

  // COPY TRACK TO ALL LOOPS: track 0 of loop 02 everywhere; the question starts on Y.
  open_menu_item(3, "press D-DN\n press D-DN\n");
  ASSERT_EQ(editor_state(), kStateCopyTrackToAllLoops);
  run("press X\n");
  EXPECT_TRUE(prompt_shows("TO ALL LOOPS? Y"));
  shot("pattern_to_all_loops_question");
  run("press X\n");
  for (int l : {0, 1, 3, 50, 99}) EXPECT_TRUE(hit(l, 0, 0)) << l;
  EXPECT_FALSE(hit(50, 1, 3));

  // CLEAR LOOP 02: N changes nothing, Y empties every track of it.
  open_menu_item(3, "press D-UP\n press D-UP\n");
  ASSERT_EQ(editor_state(), kStateClearLoop);
  EXPECT_TRUE(prompt_shows("CLEAR LOOP 02? N"));
  shot("pattern_clear_loop_question");
  run("press X\n");
  EXPECT_TRUE(hit(2, 0, 0));
  open_menu_item(3, "press D-UP\n press D-UP\n");
  run("press D-DN\n press X\n");
  for (int t = 0; t < song.track_count; ++t)
    for (int s = 0; s < MAX_STEPS; ++s) EXPECT_FALSE(hit(2, t, s)) << t << " " << s;
  EXPECT_TRUE(hit(3, 1, 9));
  EXPECT_EQ(cell_fill(0, 0), slot(kSlotBackground));
  EXPECT_EQ(cell_fill(1, 9), slot(kSlotBackground));
}

TEST_F(PatternOpsScenario, TrackCopiesAskFirstWarnOfFreqModeAndCloseWhenNothingFits) {
  // COPY TRIG from track 0 to track 1: TO: moves over the synths, then the question.
  edit_step_trig(0, 0, 1, 100);
  edit_step_trig(0, 0, 5, 90);
  edit_step_legato(0, 0, 5, true);
  open_menu_item(2, "");
  ASSERT_EQ(editor_state(), kStateCopyTrig);
  run("press X\n");
  EXPECT_TRUE(prompt_shows("TO: " + padded(1)));
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("TO: " + padded(2)));
  run("press D-UP\n");
  shot("pattern_copy_trig_to");
  run("press X\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE " + name(1) + "? N"));
  run("press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(song.step_trig[0][1][5], 90);
  EXPECT_EQ(cell_fill(1, 1), hit_colour(1));
  EXPECT_EQ(cell_fill(1, 5), slot(kSlotControlStep));
  EXPECT_EQ(cell_fill(2, 1), slot(kSlotBackground));

  // COPY TRACK onto a synth of the same type in the other frequency mode: the warning first.
  ASSERT_EQ(song.synth_type[0], song.synth_type[1]);
  ASSERT_EQ(edit_set_freq_mode(1), EditResult::kOk);
  ASSERT_NE(song.freq_mode[0], song.freq_mode[1]);
  const int mode_before = song.freq_mode[1];
  edit_step_trig(0, 0, 20, 100);
  open_menu_item(2, "press D-DN\n");
  ASSERT_EQ(editor_state(), kStateCopyTrack);
  run("press X\n");
  EXPECT_TRUE(prompt_shows("TO: " + padded(1)));
  run("press X\n");
  ASSERT_EQ(editor_state(), kStateCopyFreqModeWarning);
  const std::string first = "CHANGING FREQMODE FOR " + name(1);
  const int width = std::max<int>(static_cast<int>(first.size()), 29);
  EXPECT_TRUE(box_line(0, 3, width, first));
  EXPECT_TRUE(box_line(1, 3, width, " ALL FREQ DATA WILL BE LOST! "));
  EXPECT_TRUE(box_line(2, 3, width, "IS THIS OK? N"));
  shot("pattern_freqmode_question");
  run("press X\n");  // N: nothing changes
  EXPECT_EQ(song.freq_mode[1], mode_before);
  EXPECT_FALSE(hit(0, 1, 20));
  open_menu_item(2, "press D-DN\n");
  run("press X\n press X\n press D-DN\n");
  EXPECT_TRUE(box_line(2, 3, width, "IS THIS OK? Y"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(song.freq_mode[1], song.freq_mode[0]);
  EXPECT_TRUE(hit(0, 1, 20));
  EXPECT_EQ(cell_fill(1, 20), hit_colour(20));

  // COPY FX opens at the first synth that has an effect to copy (NSVF1), not at the cursor's
  // BAM1; from a synth without an effect X goes nowhere.
  open_menu_item(2, "press D-DN\n press D-DN\n press D-DN\n");
  ASSERT_EQ(editor_state(), kStateCopyFx);
  EXPECT_EQ(current_menu().selection, 3);
  ASSERT_FALSE(track_copy_allowed(TrackCopy::kFx, 0, 1));
  run("press D-UP\n press D-UP\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateCopyFx);
  run("press D-DN\n press D-DN\n press D-DN\n press X\n");
  EXPECT_TRUE(prompt_shows("TO: " + padded(4)));
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // Down to a BAM and a noise synth: no two of one type, and only one with a frequency mode.
  for (int t = song.track_count - 1; t >= 1; --t)
    if (t != 3) {
      ASSERT_EQ(edit_delete_synth(t), EditResult::kOk);
    }
  ASSERT_EQ(song.track_count, 2);
  ASSERT_NE(song.synth_type[0], song.synth_type[1]);
  ASSERT_FALSE(track_copy_allowed(TrackCopy::kFreq, 1, 1));
  open_menu_item(2, "press D-DN\n");  // COPY TRACK
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_menu_item(2, "hold D-DN\n tick 5\n release D-DN\n tick\n");  // COPY FREQ
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // COPY TRIG still works between the two.
  open_menu_item(2, "");
  EXPECT_EQ(editor_state(), kStateCopyTrig);
  run("press X\n");
  EXPECT_TRUE(prompt_shows("TO: " + padded(1)));
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

}  // namespace
}  // namespace zorbel::test
