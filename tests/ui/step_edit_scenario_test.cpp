// Step edit as a person uses it: hits, their values, copies of earlier hits, legato, clearing,
// copy and paste, mutes, and the cursor moving over the grid.
#include <gtest/gtest.h>

#include "edit/edit.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/view_settings.h"

namespace zorbel::test {
namespace {

using StepEditScenario = DriveTest;

float param_at(int track, int slot, int step) {
  return song.param_slot[track][slot].lane[transport.current_loop * MAX_STEPS + step];
}

constexpr int kFreqSlot = 1;  // BAM's FREQ1, the first quick parameter

TEST_F(StepEditScenario, HitsCopiesLegatoAndClearOnAnEmptyTrack) {
  // X on an empty step of an empty track: a default hit, shown in the panel while X is held.
  run("hold X\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][0], 100);
  EXPECT_FLOAT_EQ(song.step_vol[0][0][0], 0.5f);
  EXPECT_TRUE(text_at(kPanelValueX, kTrigY, "100", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPanelValueX, kVolY, "50", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPanelLabelX, kTrigY, "TRIG", slot(kSlotActiveText)));

  // With X still held, the APAD brings it to TRIG 60 and VOL 0.3; TRI+A-UP raises the pitch.
  run("hold A-DN\n tick 8\n release A-DN\n hold A-LT\n tick 4\n release all\n tick\n"
      "hold TRI A-UP\n tick 2\n release all\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][0], 60);
  EXPECT_NEAR(song.step_vol[0][0][0], 0.3f, 1e-6);
  EXPECT_FLOAT_EQ(param_at(0, kFreqSlot, 0), 482.0f);
  EXPECT_TRUE(text_at(kPanelValueX, kTrigY, "60", slot(kSlotInactiveText)));
  EXPECT_TRUE(text_at(kPanelValueX, kVolY, "30", slot(kSlotInactiveText)));
  EXPECT_TRUE(text_at(kParamNameX, kParamFirstY, "FREQ", slot(kSlotInactiveText)));
  EXPECT_TRUE(text_at(kParamValueX, kParamFirstY, " 482.000", slot(kSlotInactiveText)));
  EXPECT_EQ(cell_fill(0, 0), slot(kSlotTriggeredStep));

  // Three steps on, X copies the nearest earlier hit, parameters included; X+D-UP makes it legato.
  run("press D-RT\n press D-RT\n press D-RT\n hold X\n tick\n press D-UP\n release all\n tick\n");
  EXPECT_EQ(editor_link.cursor_step, 3);
  EXPECT_EQ(song.step_trig[0][0][3], 60);
  EXPECT_NEAR(song.step_vol[0][0][3], 0.3f, 1e-6);
  EXPECT_FLOAT_EQ(param_at(0, kFreqSlot, 3), 482.0f);
  EXPECT_EQ((song.legato_steps[0][0] >> 3) & 1u, 1u);
  EXPECT_EQ(cell_fill(0, 3), slot(kSlotControlStep));
  EXPECT_EQ(cell_frame(0, 3), slot(kSlotActiveStep));
  EXPECT_EQ(cell_frame(0, 0), slot(kSlotSequencerBox));
  EXPECT_TRUE(text_at(kCursorValueX, kCursorStepY, "3", slot(kSlotActiveText)));
  shot("step_edit_hits");

  // X+L-TR clears the step; X still held from that combination does not bring it back, the
  // next press of X does.
  run("hold X L-TR\n tick\n release L-TR\n tick 3\n");
  EXPECT_EQ(song.step_trig[0][0][3], 0);
  EXPECT_EQ(cell_fill(0, 3), slot(kSlotBackground));
  run("release X\n tick\n press X\n");
  EXPECT_EQ(song.step_trig[0][0][3], 60);

  // X+R-TR makes a full hit whatever was there.
  run("press D-RT\n hold X R-TR\n tick\n release all\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][4], 100);
  EXPECT_FLOAT_EQ(song.step_vol[0][0][4], 0.5f);

  // A drag with X: the left button moves TRIG, the right button VOL, 1 and 0.01 a pixel.
  run("hold X\n tick\n mouse left -5\n mouse right 10\n release X\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][4], 100);  // already at the top
  EXPECT_NEAR(song.step_vol[0][0][4], 0.4f, 1e-5);
  run("hold X\n mouse left 30\n release X\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][4], 70);
}

TEST_F(StepEditScenario, CopyPasteMutesAndTrackVolume) {
  edit_step_trig(0, 0, 2, 60);
  edit_step_vol(0, 0, 2, 0.3f);
  edit_param(0, kFreqSlot, 0, 2, 300.0f);
  // O+L-TR twice on the same step selects and then unselects the copy.
  run("press D-RT\n press D-RT\n hold O\n tick\n press L-TR\n");
  EXPECT_TRUE(step_editor.copy.selected);
  run("press L-TR\n");
  EXPECT_FALSE(step_editor.copy.selected);
  run("press L-TR\n release O\n tick\n press D-RT\n press D-RT\n");
  EXPECT_EQ(cell_frame(0, 2), slot(kSlotSequencerCopy));

  // Paste onto step 4 of the same track: values, trigger and volume.
  run("hold O\n tick\n press R-TR\n release O\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][4], 60);
  EXPECT_NEAR(song.step_vol[0][0][4], 0.3f, 1e-6);
  EXPECT_FLOAT_EQ(param_at(0, kFreqSlot, 4), 300.0f);

  // Refused onto another synth type (track 3 is NSVF) and onto another frequency mode.
  run("press D-DN\n press D-DN\n press D-DN\n hold O\n tick\n press R-TR\n release O\n tick\n");
  EXPECT_EQ(editor_link.cursor_track, 3);
  EXPECT_EQ(song.step_trig[0][3][4], 0);
  ASSERT_EQ(song.synth_type[1], song.synth_type[0]);
  edit_set_freq_mode(1);
  run("press D-UP\n press D-UP\n hold O\n tick\n press R-TR\n release O\n tick\n");
  EXPECT_EQ(editor_link.cursor_track, 1);
  EXPECT_EQ(song.step_trig[0][1][4], 0);

  // Mutes: SQ toggles the cursor track, SQ+L-TR solos it, SQ+R-TR lets every track play.
  run("press SQ\n");
  EXPECT_EQ(song.loop_track_enable[0][1], 0);
  EXPECT_EQ(at(kMuteBoxX + 2, track_y(1) + 2), slot(kSlotMuteOn));
  run("press SQ\n hold SQ L-TR\n tick\n release all\n tick\n");
  for (int t = 0; t < song.track_count; ++t) EXPECT_EQ(song.loop_track_enable[0][t], t == 1);
  EXPECT_EQ(at(kMuteBoxX + 2, track_y(0) + 2), slot(kSlotMuteOn));
  EXPECT_EQ(at(kMuteBoxX + 2, track_y(1) + 2), slot(kSlotMuteOff));
  shot("step_edit_solo");
  run("hold SQ R-TR\n tick\n release all\n tick\n");
  for (int t = 0; t < song.track_count; ++t) EXPECT_EQ(song.loop_track_enable[0][t], 1);

  // O with the APAD: track volume and the step's pan; O+R-TR spreads the pan over the loop.
  run("hold O A-DN\n tick 3\n release A-DN\n hold A-LT\n tick 5\n release all\n tick\n");
  EXPECT_NEAR(song.track_vol[1], 0.97f, 1e-5);
  EXPECT_TRUE(text_at(kPanelValueX, kTvolY, "97", slot(kSlotInactiveText)));
  EXPECT_TRUE(text_at(kPanelValueX, kPanY, "40", slot(kSlotInactiveText)));
  const int pan = song.param_count[1] - 1;  // the EXP pan of the BAM sounds
  EXPECT_NEAR(param_at(1, pan, 4), 0.4f, 1e-5);
  EXPECT_NEAR(param_at(1, pan, 9), 0.5f, 1e-5);
  step_editor.copy.selected = false;
  run("hold O R-TR\n tick\n release all\n tick\n");
  EXPECT_NEAR(param_at(1, pan, 9), 0.4f, 1e-5);
}

TEST_F(StepEditScenario, NavigationWrapsJumpsAndTellsPressFromHold) {
  edit_seqlen(12);
  // START opens the main menu while the song is stopped; START again closes it.
  run("press START\n");
  EXPECT_EQ(editor_state(), kMenuRoot);
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // D-LT from step 0 wraps to 11, D-RT from 11 back to 0; D-UP from track 0 wraps to the last.
  run("press D-LT\n");
  EXPECT_EQ(editor_link.cursor_step, 11);
  run("press D-RT\n press D-UP\n");
  EXPECT_EQ(editor_link.cursor_step, 0);
  EXPECT_EQ(editor_link.cursor_track, song.track_count - 1);
  // Held keys repeat on every acting tick; navigation waits while a face button is held.
  run("hold D-RT\n tick 3\n release D-RT\n tick\n hold O D-RT\n tick 3\n release all\n tick\n");
  EXPECT_EQ(editor_link.cursor_step, 3);

  // ALWAYS JUMP 8 on: A-RT from 9 would reach 16, past SEQLEN 12, so it lands on 0; A-LT from 0
  // goes to the last group that plays.
  run("hold D-RT\n tick 6\n release D-RT\n tick\n press A-RT\n");
  EXPECT_EQ(editor_link.cursor_step, 0);
  run("press A-LT\n");
  EXPECT_EQ(editor_link.cursor_step, 8);
  run("press D-LT\n");
  EXPECT_EQ(editor_link.cursor_step, 7);
  redraw_sequencer_screen();
  EXPECT_EQ(cell_frame(0, 12), slot(kSlotInactiveSeqBox));
  EXPECT_EQ(cell_frame(0, 11), slot(kSlotSequencerBox));
  shot("step_edit_seqlen12");

  // With all 64 steps: A-LT from 13 goes to 8, from 8 to 0, from 0 to 56.
  edit_seqlen(64);
  editor_link.cursor_step = 13;
  run("press A-LT\n");
  EXPECT_EQ(editor_link.cursor_step, 8);
  run("press A-LT\n press A-LT\n");
  EXPECT_EQ(editor_link.cursor_step, 56);

  // ALWAYS JUMP 8 off: to the next hit inside the group, else to the next group.
  view_settings.apad_always_jump8 = false;
  const int t = editor_link.cursor_track;
  edit_step_trig(0, t, 5, 100);
  edit_step_trig(0, t, 6, 100);
  editor_link.cursor_step = 2;
  run("press A-RT\n");
  EXPECT_EQ(editor_link.cursor_step, 5);
  run("press A-RT\n press A-RT\n");
  EXPECT_EQ(editor_link.cursor_step, 8);
  run("press A-LT\n");  // back to the nearest hit of the group before
  EXPECT_EQ(editor_link.cursor_step, 6);

  // SQ held across ticks is one press: the mute toggles once, and again after a release.
  run("hold SQ\n tick 4\n");
  EXPECT_EQ(song.loop_track_enable[0][t], 0);
  run("release SQ\n tick\n hold SQ\n tick\n release SQ\n tick\n");
  EXPECT_EQ(song.loop_track_enable[0][t], 1);
}

}  // namespace
}  // namespace zorbel::test

namespace zorbel::test {
namespace {

TEST_F(StepEditScenario, FullRedrawPutsEveryPartWhereTheLayoutSays) {
  // Distinct shading colours, so the groups of GRID STEPS show.
  colour_scheme.active[kSlotSequencerBoxOffset] = 0x07FF;
  view_settings.grid_steps = 3;
  edit_step_trig(0, 1, 63, 100);
  edit_seqlen(40);
  edit_step_trig(0, 2, 10, 100);
  edit_step_legato(0, 2, 10, true);
  edit_track_enable(0, 4, false);
  run("wait 0.3\n");
  redraw_sequencer_screen();
  shot("sequencer_layout");

  // Console frame: white outline over columns 160..639 and rows 164..436.
  EXPECT_EQ(at(160, 164), 0xFFFF);
  EXPECT_EQ(at(639, 300), 0xFFFF);
  EXPECT_EQ(at(400, 436), 0xFFFF);
  EXPECT_EQ(at(161, 165), slot(kSlotBackground));
  // Oscilloscope frame and its trace band inside it.
  EXPECT_EQ(at(kScopeX, kScopeY), slot(kSlotOscilliscope));
  EXPECT_EQ(at(kScopeX + kScopeWidth - 1, kScopeY + 20), slot(kSlotOscilliscope));
  EXPECT_EQ(at(kScopeX + 40, kScopeY + kScopeHeight), slot(kSlotOscilliscope));
  // Texts.
  EXPECT_TRUE(text_at(kTrackNameX, track_y(0), "BAM1", slot(kSlotTrackName)));
  EXPECT_TRUE(text_at(kFileLabelX, kFileY, "FILE:", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kFileNameX, kFileY, "-------------", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPanelLabelX, kTvolY, "TVOL", slot(kSlotInactiveText)));
  EXPECT_TRUE(text_at(kCursorLabelX, kCursorTrackY, "Y:", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kLoopLabelX, kLoopY, "LP:", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kMasterVolLabelX, kTransportY, "VOL:", slot(kSlotInactiveText)));
  // Cells: shading by groups of 3, the out-of-length frame, a hit beyond the length, legato.
  EXPECT_EQ(cell_frame(1, 2), slot(kSlotSequencerBox));
  EXPECT_EQ(cell_frame(1, 3), slot(kSlotSequencerBoxOffset));
  EXPECT_EQ(cell_frame(1, 6), slot(kSlotSequencerBox));
  EXPECT_EQ(cell_frame(15, 39), slot(kSlotSequencerBoxOffset));  // rows below the last track too
  EXPECT_EQ(cell_frame(1, 40), slot(kSlotInactiveSeqBox));
  EXPECT_EQ(cell_fill(1, 63), slot(kSlotInactiveTrigStep));
  EXPECT_EQ(cell_fill(2, 10), slot(kSlotControlStep));
  EXPECT_EQ(cell_frame(0, 0), slot(kSlotActiveStep));
  // The cell outline ends one row below its fill; the next row of cells does not touch it.
  EXPECT_EQ(at(step_x(6), track_y(1) + kCellHeight), slot(kSlotSequencerBox));
  EXPECT_EQ(at(step_x(6), track_y(1) + kCellHeight + 1), slot(kSlotBackground));
  // Mute boxes: the muted track in MUTE ON, only for tracks that exist.
  EXPECT_EQ(at(kMuteBoxX + 1, track_y(4) + 1), slot(kSlotMuteOn));
  EXPECT_EQ(at(kMuteBoxX + 1, track_y(3) + 1), slot(kSlotMuteOff));
  EXPECT_EQ(at(kMuteBoxX, track_y(3)), slot(kSlotSequencerBox));
  EXPECT_EQ(at(kMuteBoxX, track_y(14)), slot(kSlotBackground));
  // The playback mark over the step that sounds, the rest of the bar clear.
  const int playing = (transport.step_pos + 39) % 40;
  EXPECT_EQ(at(step_x(playing) + 2, kBarY + 1), slot(kSlotSequencerTic));
  EXPECT_EQ(at(step_x((playing + 20) % 40), kBarY), slot(kSlotBackground));
}

}  // namespace
}  // namespace zorbel::test
