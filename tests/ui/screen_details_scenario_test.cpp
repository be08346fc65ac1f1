// Details a person meets on the way through the screens: the legato word under SHIFT TRACK, the
// help page's shortcut to the synth pages, the TVOL/PAN light and the playback mark around the
// transport panels, prompts and questions that leave nothing of the box before them, a preset
// preview that X takes on to the load, the colour editor's list and the console's last row.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "files/preset_file.h"
#include "tests/ui/drive_test_support.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {

class ScreenDetailsScenario : public DriveTest {
 protected:
  // The one-line prompt of the message box, centred.
  static ::testing::AssertionResult prompt_shows(const std::string& text,
                                                 int colour_slot = kSlotActiveMenuText) {
    return text_at(400 - 4 * static_cast<int>(text.size()), 296, text.c_str(), slot(colour_slot));
  }
  // True when every pixel of the rectangle shows colour.
  static ::testing::AssertionResult area_is(int x, int y, int width, int height, uint16_t colour) {
    for (int py = y; py < y + height; ++py)
      for (int px = x; px < x + width; ++px)
        if (at(px, py) != colour)
          return ::testing::AssertionFailure() << "pixel (" << px << ", " << py << ") is 0x"
                                               << std::hex << at(px, py);
    return ::testing::AssertionSuccess();
  }
  static uint64_t bit(int step) { return uint64_t{1} << step; }
  // The playback mark stands over this step and nowhere else on the bar.
  static ::testing::AssertionResult mark_on(int step) {
    for (int s = 0; s < MAX_STEPS; ++s) {
      const bool lit = at(step_x(s) + 1, kBarY) == slot(kSlotSequencerTic);
      if (lit != (s == step))
        return ::testing::AssertionFailure() << "step " << s << (lit ? " is" : " is not") << " marked";
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(ScreenDetailsScenario, ShiftMovesTheWholeLegatoWordAndTriLrOpensTheSynthPages) {
  // Sixteen steps. Track 0: legato hits at 1 and at 20, beyond the played length.
  edit_seqlen(16);
  for (int s : {1, 20}) {
    edit_step_trig(0, 0, s, 100);
    edit_step_vol(0, 0, s, 0.5f);
    edit_step_legato(0, 0, s, true);
  }
  // TRACK > SHIFT TRACK from the cursor at step 0: +2, hits not kept. The word moves as a whole,
  // the bit at 20 with it, though the hit at 20 stays where it is.
  const std::string shift = "press START\n press D-DN\n press D-DN\n press X\n press D-UP\n"
                            "press D-UP\n press X\n";
  run(shift + "press D-UP\n press X\n press D-DN\n press X\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(song.legato_steps[0][0], bit(3) | bit(22));
  EXPECT_EQ(song.step_trig[0][0][3], 100);
  EXPECT_EQ(song.step_trig[0][0][1], 0);
  EXPECT_EQ(song.step_trig[0][0][20], 100);
  EXPECT_EQ(cell_fill(0, 3), slot(kSlotControlStep));  // a legato hit
  EXPECT_EQ(cell_fill(0, 1), slot(kSlotBackground));

  // Track 1: hits at 3 and 8 and a legato bit on the empty step 5; +3 keeping the hits. The
  // kept word lies under the moved one, so 8 is legato now and 11 is not.
  edit_step_trig(0, 1, 3, 100);
  edit_step_trig(0, 1, 8, 100);
  edit_step_legato(0, 1, 5, true);
  run("press D-DN\n" + shift + "press D-UP\n press D-UP\n press X\n press X\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(song.legato_steps[0][1], bit(5) | bit(8));
  for (int s : {3, 6, 8, 11}) EXPECT_EQ(song.step_trig[0][1][s], 100) << s;
  EXPECT_EQ(cell_fill(1, 8), slot(kSlotControlStep));
  EXPECT_EQ(cell_fill(1, 11), slot(kSlotTriggeredStep));
  EXPECT_EQ(cell_fill(1, 6), slot(kSlotTriggeredStep));
  shot("details_shift_legato");

  // TRI+L-TR+R-TR, as MORE SEQUENCER says, opens the cursor track's pages like 8+9+0; TRI alone
  // with one trigger does not, and the loop stays where it was.
  run("hold TRI L-TR\n tick 2\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  run("hold R-TR\n tick\n release all\n tick\n");
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst + 1);
  EXPECT_EQ(transport.current_loop.load(), 0);
  shot("details_tri_lr_pages");
  run("press START\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  run("hold 8 9 0\n tick\n release all\n tick\n");
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst + 1);
}

TEST_F(ScreenDetailsScenario, TransportPanelsLightTvolUnderOAndARestartMarksTheFirstStep) {
  // O held in the BPM panel lights TVOL/PAN as it does in step edit; X does not light TRIG/VOL.
  run("press SELECT\n press D-RT\n");
  ASSERT_EQ(editor_state(), kStatePanelBpm);
  run("hold O X\n tick\n");
  EXPECT_TRUE(text_at(kPanelLabelX, kTvolY, "TVOL", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPanelLabelX, kPanY, "PAN", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPanelLabelX, kTrigY, "TRIG", slot(kSlotInactiveText)));
  shot("details_o_in_bpm_panel");
  run("release all\n tick\n");
  EXPECT_TRUE(text_at(kPanelLabelX, kTvolY, "TVOL", slot(kSlotInactiveText)));

  // Stopped, then restarted with X in PLAY/STOP: nothing has played, so the mark stands on
  // step 0, in the panel and back in step edit.
  run("press D-LT\n press D-DN\n wait 0.3\n");
  ASSERT_EQ(editor_state(), kStatePanelPlayStop);
  ASSERT_NE(transport.transport_stopped.load(), 0);
  run("press X\n wait 0.2\n");
  EXPECT_NE(transport.transport_stopped.load(), 0);
  EXPECT_TRUE(mark_on(0));
  run("press SELECT\n wait 0.2\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(mark_on(0));
  shot("details_restart_stopped");

  // Played for a while and stopped: the mark stays on the step that sounded last, one behind
  // the step to come.
  run("press SELECT\n press D-UP\n wait 0.6\n press D-DN\n press SELECT\n wait 0.2\n");
  ASSERT_NE(transport.transport_stopped.load(), 0);
  const int length = song.seqlen;
  EXPECT_GT(transport.step_pos, 2);
  EXPECT_EQ(transport.sounding_step.load(), (transport.step_pos + length - 1) % length);
  EXPECT_TRUE(mark_on(transport.sounding_step));
}

TEST_F(ScreenDetailsScenario, PromptsLeaveNothingOfTheBoxBeforeThemAndXLoadsAPreview) {
  // SWING from 10.0 to 9.8: the value keeps its width, so the box does too and covers the old.
  edit_swing(10.0f);
  run("press START\n press D-DN\n press X\n press D-DN\n press D-DN\n press X\n");
  ASSERT_EQ(editor_state(), kStateSwing);
  EXPECT_TRUE(prompt_shows("SWING:  10.0"));
  run("hold D-DN\n tick 2\n release all\n tick\n");
  EXPECT_NEAR(song.swing_pct, 9.8f, 1e-4);
  EXPECT_TRUE(prompt_shows("SWING:   9.8"));
  // The frame's columns are those of the one box; where a narrower box would stand is plain.
  const uint16_t frame = slot(kSlotActiveMenuText);
  for (int x : {346, 348, 451, 453}) EXPECT_EQ(at(x, 300), frame) << x;
  for (int x : {350, 449}) EXPECT_EQ(at(x, 300), slot(kSlotMenuBackground)) << x;
  shot("details_swing_below_ten");
  run("press X\n");

  // NEW > CUSTOM1 without seq/custom.zbi: the question closes and the message stands alone on
  // the grid; the strip the wider question box covered left of the message is grid again.
  run("press START\n press X\n press X\n");
  ASSERT_EQ(editor_state(), kStateNew);
  run("press D-UP\n press D-UP\n press D-UP\n press X\n press D-UP\n");
  EXPECT_TRUE(prompt_shows("RESET ZORBEL, GET PRESET CUSTOM1? Y"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN CUSTOM.ZBI"));
  // Left and right of the message, where the question's box stood, the grid is as a redraw
  // of the sequencer screen leaves it.
  const int strips[][2] = {{252, 292}, {508, 548}};
  std::vector<uint16_t> beside;
  for (const auto& strip : strips)
    for (int y = 286; y < 316; ++y)
      for (int x = strip[0]; x < strip[1]; ++x) beside.push_back(at(x, y));
  shot("details_no_custom_template");
  run("press X\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  size_t i = 0;
  for (const auto& strip : strips)
    for (int y = 286; y < 316; ++y)
      for (int x = strip[0]; x < strip[1]; ++x, ++i)
        ASSERT_EQ(beside[i], at(x, y)) << "(" << x << ", " << y << ")";

  // LOAD PRESET: X while a preview plays ends it and goes on to the pitch question, as D-RT
  // does; the loop holds its own values again.
  ASSERT_TRUE(make_preset_file(song.synth_type[0], "MINE"));
  const float before = song.param_slot[0][0].lane[5];
  run("press START\n press D-UP\n press X\n press D-DN\n press D-DN\n press D-DN\n press D-DN\n"
      "press X\n press X\n press X\n");
  ASSERT_EQ(editor_state(), kStateLoadPresetChoose);
  EXPECT_TRUE(prompt_shows("LOAD PRESET: PRESET00"));
  run("press R-TR\n");
  ASSERT_TRUE(preset_preview_on());
  run("press X\n");
  EXPECT_FALSE(preset_preview_on());
  EXPECT_FLOAT_EQ(song.param_slot[0][0].lane[5], before);
  const bool asks_pitch = song.freq_mode[0] != kFreqNone;
  EXPECT_EQ(editor_state(), asks_pitch ? kStateLoadPresetFreq : kStateLoadPresetRange);
  EXPECT_TRUE(prompt_shows(asks_pitch ? "OVERWRITE FREQ DATA? NO "
                                      : "LOAD TO STEP, LOOP, OR SONG? STEP"));
  shot("details_preview_then_x");
}

TEST_F(ScreenDetailsScenario, ColourListIs25WideAndTheConsoleBottomRowTakesTheBackground) {
  // SET COLORS: the names at x 300 in a box from x 292, with room between swatch and frame.
  run("press START\n press X\n press D-UP\n press D-UP\n press D-UP\n press D-UP\n press D-UP\n"
      "press X\n press D-DN\n press D-DN\n press X\n");
  ASSERT_EQ(editor_state(), kStateSetColours);
  const int first_row = 237 - 1;  // the first name's row sits one above its swatch
  EXPECT_TRUE(text_at(300, first_row, "BACKGROUND", slot(kSlotActiveMenuText)));
  EXPECT_TRUE(text_at(300, first_row + 8 * 7, "SEQUENCER BOX OFFSET", slot(kSlotInactiveMenuText)));
  const uint16_t frame = slot(kSlotActiveMenuText);
  for (int row = 0; row < kColourSlotCount; ++row) {
    const int y = 237 + 8 * row + 3;
    // The box's two frame lines at 294 and 296 on the left, 503 and 505 on the right; the
    // swatch ends at 499 with three pixels of menu background before the frame.
    for (int x : {294, 296, 499, 503, 505}) EXPECT_EQ(at(x, y), frame) << row << " " << x;
    for (int x : {298, 500, 501, 502}) EXPECT_EQ(at(x, y), slot(kSlotMenuBackground)) << row << " " << x;
  }
  shot("details_set_colors");
  run("press START\n");

  // COLOR PRESET 1 has a background of its own: the full redraw paints the console's last row
  // inside the frame with it, as it does after the visualizer.
  std::filesystem::copy_file(std::filesystem::path(ZORBEL_SOURCE_DIR) / "seq" / "colors.zbc",
                             "seq/colors.zbc");
  run("press START\n press X\n press D-UP\n press D-UP\n press D-UP\n press D-UP\n press D-UP\n"
      "press X\n press X\n press D-DN\n press X\n");
  ASSERT_EQ(editor_state(), kStateStepEdit);
  const uint16_t background = slot(kSlotBackground);
  ASSERT_NE(background, 0u);
  const int last_row = kConsoleY + kConsoleHeight - 1;
  EXPECT_TRUE(area_is(kConsoleX + 1, last_row, kConsoleWidth - 2, 1, background));
  EXPECT_EQ(at(kConsoleX, last_row), 0xFFFF);
  EXPECT_EQ(at(kConsoleX + kConsoleWidth - 1, last_row), 0xFFFF);
  shot("details_colour_preset1");
  run("press START\n press X\n press D-DN\n press D-DN\n press D-DN\n press D-DN\n press D-DN\n"
      "press X\n wait 0.5\n");
  ASSERT_EQ(current_mode(), kModeVisualizer);
  run("press O\n tick\n");
  ASSERT_EQ(current_mode(), kModeEditor);
  EXPECT_TRUE(area_is(kConsoleX + 1, last_row, kConsoleWidth - 2, 1, background));
}

}  // namespace
}  // namespace zorbel::test
