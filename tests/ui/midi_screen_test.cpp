// CONTROL > MIDI and what MIDI input shows: the three settings screens, a note from a MIDI
// keyboard in step edit, the followed tempo on the BPM panel and "MIDI CLOCK LOST".
#include "edit/midi_dispatch.h"
#include "engine/midi_backends.h"
#include "engine/midi_settings.h"
#include "tests/ui/menu_test_support.h"
#include "ui/screens/midi_screen.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/editor_state.h"

namespace zorbel::test {
namespace {

int settings_stored = 0;
void count_settings_stored() { ++settings_stored; }

class MidiScreenTest : public MenuScreenTest {
 protected:
  void SetUp() override {
    MenuScreenTest::SetUp();
    reset_midi_settings();
    reset_midi_dispatch();
    midi_input_queue().clear();
    settings_stored = 0;
    set_midi_settings_hook(count_settings_stored);
  }
  void TearDown() override {
    set_midi_settings_hook(nullptr);
    midi_input_queue().clear();
    reset_midi_dispatch();
    MenuScreenTest::TearDown();
  }
};

TEST_F(MidiScreenTest, SettingsScreensNotesTempoAndClockLost) {
  // CONTROL lists MIDI last; its three entries open prompts like the other settings.
  open_path({0, 7, 3});
  EXPECT_EQ(editor_state(), kMenuMidi);
  save_image("midi_menu");
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateMidiSync);
  expect_prompt("MIDI SYNC: OFF   ");
  press({kBtnDUp});
  expect_prompt("MIDI SYNC: SEND  ");
  press({kBtnDUp});
  expect_prompt("MIDI SYNC: FOLLOW");
  save_image("midi_sync");
  press({kBtnO});  // back without storing
  EXPECT_EQ(editor_state(), kMenuMidi);
  EXPECT_EQ(midi_settings.sync.load(), MidiSync::kOff);
  EXPECT_EQ(settings_stored, 0);
  press({kBtnX});
  press({kBtnDUp});
  press({kBtnX});  // stored, the menu closes
  EXPECT_EQ(midi_settings.sync.load(), MidiSync::kSend);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(settings_stored, 1);

  open_path({0, 7, 3, 1});
  EXPECT_EQ(editor_state(), kStateMidiNoteInput);
  expect_prompt("MIDI NOTE INPUT:  ON");
  press({kBtnDDn});
  expect_prompt("MIDI NOTE INPUT: OFF");
  press({kBtnDLt});  // back: nothing stored
  EXPECT_TRUE(midi_settings.note_input.load());
  EXPECT_EQ(editor_state(), kMenuMidi);
  press({kBtnDDn});
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateMidiChannelPlay);
  expect_prompt("MIDI CHANNEL PLAY: OFF");
  press({kBtnDUp});
  save_image("midi_channel_play");
  press({kBtnDRt});
  EXPECT_TRUE(midi_settings.channel_play.load());
  EXPECT_EQ(settings_stored, 2);
  midi_settings.channel_play.store(false);

  // A note from the MIDI keyboard in step edit: the grid shows the new hit, the cursor moves.
  set_transport_stopped(1);
  editor_link.cursor_track = 0;
  editor_link.cursor_step = 0;
  redraw_sequencer_screen();
  midi_input_queue().push(midi_event(0, kMidiNoteOn, 36, 100, 3));
  midi_frame(0);
  EXPECT_EQ(song.step_trig[transport.current_loop][0][0], 100);
  EXPECT_EQ(editor_link.cursor_step, 1);
  // In a menu the note is not entered.
  open_main_menu();
  midi_input_queue().push(midi_event(0, kMidiNoteOn, 36, 100, 3));
  midi_frame(0);
  EXPECT_EQ(editor_link.cursor_step, 1);
  close_menu();

  // FOLLOW: a clock at 96 BPM shows on the BPM panel; two silent seconds say so.
  midi_settings.sync.store(MidiSync::kFollow);
  const double period = 60.0 / (96.0 * kMidiPulsesPerBeat);
  for (int k = 0; k < 30; ++k) midi_input_queue().push(midi_event(k * period, kMidiClock));
  midi_frame(100);
  EXPECT_NEAR(transport.followed_bpm, 96.0f, 0.01f);
  update_sequencer_screen();
  save_image("midi_followed_tempo");
  midi_frame(100 + kMidiClockLostMs);
  EXPECT_EQ(editor_state(), kStateMessage18);
  save_image("midi_clock_lost");
  expect_prompt("MIDI CLOCK LOST");
  EXPECT_NEAR(transport.followed_bpm, 96.0f, 0.01f);
}

}  // namespace
}  // namespace zorbel::test
