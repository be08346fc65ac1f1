// The transport panels and the lines under the grid: song mode, play and stop, restart, tempo,
// master volume, loop changes (instant and queued) and the song position text.
#include <gtest/gtest.h>

#include "edit/edit.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {

using TransportScenario = DriveTest;

TEST_F(TransportScenario, PanelsWalkPlayStopTempoVolumeAndSongMode) {
  // SELECT opens PLAY/STOP; D-DN stops the transport and the panel says so.
  run("press SELECT\n");
  EXPECT_EQ(editor_state(), kStatePanelPlayStop);
  EXPECT_TRUE(text_at(kPlayStopX, kTransportY, "PLAY", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kSongLoopX, kTransportY, "LOOP", slot(kSlotInactiveText)));
  run("press D-DN\n wait 0.2\n");
  EXPECT_NE(transport.transport_stopped.load(), 0);
  EXPECT_TRUE(text_at(kPlayStopX, kTransportY, "STOP", slot(kSlotActiveText)));
  const uint16_t stopped_at = transport.step_pos;
  run("wait 0.5\n");
  EXPECT_EQ(transport.step_pos, stopped_at);
  run("press D-UP\n wait 0.5\n");
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  EXPECT_NE(transport.step_pos, stopped_at);

  // BPM: held D-UP adds 1 a tick, the mouse 0.2 a pixel with the right button.
  run("press D-RT\n hold D-UP\n tick 3\n release D-UP\n tick\n mouse right -5\n");
  EXPECT_EQ(editor_state(), kStatePanelBpm);
  EXPECT_NEAR(song.bpm, 124.0f, 1e-3);
  EXPECT_TRUE(text_at(kTempoX, kTransportY, "BPM: 124.00", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kPlayStopX, kTransportY, "PLAY", slot(kSlotInactiveText)));

  // VOL: A-DN takes 0.1 a tick; D-RT from VOL wraps round to SONG/LOOP.
  run("press D-RT\n press A-DN\n");
  EXPECT_NEAR(song.master_vol, 0.9f, 1e-5);
  EXPECT_TRUE(text_at(kMasterVolValueX, kTransportY, "90", slot(kSlotActiveText)));
  run("press D-RT\n press D-UP\n");
  EXPECT_EQ(editor_state(), kStatePanelSongLoop);
  EXPECT_EQ(transport.play_mode, 1);
  EXPECT_TRUE(text_at(kSongLoopX, kTransportY, "SONG", slot(kSlotActiveText)));
  EXPECT_TRUE(text_at(kLoopLabelX, kSongY, "MS:", slot(kSlotActiveText)));
  shot("transport_song_mode");

  // START does nothing while a song plays in song mode; SELECT goes back to step edit.
  run("press START\n");
  EXPECT_EQ(editor_state(), kStatePanelSongLoop);
  run("press SELECT\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(text_at(kSongLoopX, kTransportY, "SONG", slot(kSlotInactiveText)));

  // X in PLAY/STOP restarts at song position 0.
  run("wait 1\n press SELECT\n press X\n");
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_LE(transport.step_pos, 3);  // the press takes two ticks
}

TEST_F(TransportScenario, LoopChangesAndTheLinesUnderTheGrid) {
  // Instant loop switch: R-TR in step edit moves to loop 01 at once and the grid shows it.
  edit_step_trig(1, 0, 5, 100);
  run("press R-TR\n");
  EXPECT_EQ(transport.current_loop, 1);
  EXPECT_TRUE(text_at(kLoopValueX, kLoopY, "01", slot(kSlotActiveText)));
  EXPECT_EQ(cell_fill(0, 5), slot(kSlotTriggeredStep));
  EXPECT_TRUE(text_at(kLoopValueX, kSongY, "XXX.XX", slot(kSlotInactiveText)));

  // Queued: the loop that will play is shown in the inactive colour until the loop ends.
  transport_set_instant_switch(false);
  run("press SELECT\n press R-TR\n press R-TR\n");
  EXPECT_EQ(transport.current_loop, 1);
  EXPECT_TRUE(text_at(kLoopValueX, kLoopY, "03", slot(kSlotInactiveText)));
  shot("transport_pending_loop");
  run("wait 4.5\n");
  EXPECT_EQ(transport.current_loop, 3);
  EXPECT_TRUE(text_at(kLoopValueX, kLoopY, "03", slot(kSlotActiveText)));

  // The song line in song mode, and tempo texts with one and three whole digits.
  struct Case {
    int pos, reps;
    float bpm;
    const char *pos_text, *reps_text, *tempo;
  };
  transport.play_mode = 1;
  for (const Case& c : {Case{123, 12, 7.5f, "123", "12", "BPM:   7.50"},
                        Case{4, 10, 120.5f, "004", "10", "BPM: 120.50"}}) {
    transport.song_pos = static_cast<uint16_t>(c.pos);
    transport.rep_count = static_cast<uint16_t>(c.reps);
    edit_bpm(c.bpm);
    redraw_sequencer_screen();
    EXPECT_TRUE(text_at(kLoopValueX, kSongY, c.pos_text, slot(kSlotActiveText)));
    EXPECT_TRUE(text_at(kSongDotX, kSongY, ".", slot(kSlotActiveText)));
    EXPECT_TRUE(text_at(kRepCountX, kSongY, c.reps_text, slot(kSlotActiveText)));
    EXPECT_TRUE(text_at(kTempoX, kTransportY, c.tempo, slot(kSlotInactiveText)));
  }
  shot("transport_song_line");
}

}  // namespace
}  // namespace zorbel::test
