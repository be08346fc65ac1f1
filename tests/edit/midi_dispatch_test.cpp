// MIDI input on the main thread without a port: notes entered or played live, and a followed
// clock driving the tempo and the transport, losing it after two seconds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "edit/midi_dispatch.h"
#include "edit/note_entry.h"
#include "engine/audio_stream.h"
#include "engine/audition.h"
#include "engine/clock.h"
#include "engine/midi_settings.h"
#include "engine/song_templates.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

class MidiDispatchTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    build_startup_song();
    reset_midi_dispatch();
    reset_audition();
  }
  void TearDown() override {
    midi_settings.sync.store(MidiSync::kOff);
    midi_settings.note_input.store(true);
    midi_settings.channel_play.store(false);
    reset_midi_dispatch();
    reset_audition();
    EngineTest::TearDown();
  }
  MidiNews send(MidiEvent event, uint32_t now_ms = 0, int note_track = 0) {
    MidiNews news;
    dispatch_midi_event(event, now_ms, note_track, &news);
    return news;
  }
  static MidiEvent note(int channel, int number, int velocity) {
    return midi_event(0, static_cast<uint8_t>(kMidiNoteOn | channel), static_cast<uint8_t>(number),
                      static_cast<uint8_t>(velocity), 3);
  }
};

TEST_F(MidiDispatchTest, NotesGoIntoTheCursorStepOrPlayTheirChannelsTrack) {
  const int loop = transport.current_loop;
  editor_link.cursor_step = 4;
  // Full velocity is full volume on an empty step, and the cursor moves on.
  EXPECT_TRUE(send(note(0, 60, 127), 0, 2).notes_entered);
  EXPECT_EQ(song.step_trig[loop][2][4], 100);
  EXPECT_FLOAT_EQ(song.step_vol[loop][2][4], 1.0f);
  EXPECT_EQ(editor_link.cursor_step, 5);
  // On a hit the played velocity sets the volume; the keyboard's fixed velocity does not.
  song.step_trig[loop][2][5] = 70;
  song.step_vol[loop][2][5] = 0.3f;
  send(note(0, 62, 64), 0, 2);
  EXPECT_EQ(song.step_trig[loop][2][5], 70);
  EXPECT_NEAR(song.step_vol[loop][2][5], 64.0f / 127.0f, 1e-6);
  song.step_trig[loop][2][6] = 70;
  song.step_vol[loop][2][6] = 0.3f;
  edit_enter_note(2, 62, kNoteVelocityDefault);
  EXPECT_FLOAT_EQ(song.step_vol[loop][2][6], 0.3f);

  // Nothing goes in with velocity 0 (a note-off), where notes are not entered, or with NOTE
  // INPUT off; a message cut short is ignored.
  const int cursor = editor_link.cursor_step;
  EXPECT_FALSE(send(note(0, 60, 0), 0, 2).notes_entered);
  EXPECT_FALSE(send(note(0, 60, 100), 0, -1).notes_entered);
  midi_settings.note_input.store(false);
  EXPECT_FALSE(send(note(0, 60, 100), 0, 2).notes_entered);
  midi_settings.note_input.store(true);
  MidiEvent short_note = note(0, 60, 100);
  short_note.size = 2;
  EXPECT_FALSE(send(short_note, 0, 2).notes_entered);
  EXPECT_EQ(editor_link.cursor_step, cursor);

  // CHANNEL PLAY: channel 4 (0-based 3) sounds track 3 at once, even stopped, writing nothing.
  midi_settings.channel_play.store(true);
  set_transport_stopped(1);
  std::vector<uint8_t> trig_before(&song.step_trig[0][0][0], &song.step_trig[0][0][0] + sizeof song.step_trig);
  std::vector<float> out(2 * 1024, 0.0f);
  reset_audition();  // the notes entered above were heard
  EXPECT_FALSE(render_buffer(out.data()));  // stopped and nothing to hear
  EXPECT_FALSE(send(note(3, 48, 100), 0, 2).notes_entered);
  ASSERT_TRUE(render_buffer(out.data()));
  double energy = 0.0;
  for (float v : out) energy += std::fabs(v);
  EXPECT_GT(energy, 0.0);
  EXPECT_EQ(std::memcmp(trig_before.data(), song.step_trig, sizeof song.step_trig), 0);
  EXPECT_EQ(editor_link.cursor_step, cursor);
  // A channel without a track plays nothing.
  reset_audition();
  send(note(15, 48, 100), 0, 2);
  EXPECT_FALSE(audition_buffer_due());
}

TEST_F(MidiDispatchTest, FollowedClockDrivesTempoAndTransportAndIsLostAfterTwoSeconds) {
  // Not following: clock and transport messages change nothing.
  set_transport_stopped(1);
  send(midi_event(0, kMidiStart));
  for (int k = 0; k < 10; ++k) send(midi_event(k * 0.025, kMidiClock));
  MidiNews news;
  check_followed_clock(0, &news);
  EXPECT_NE(get_transport_stopped(), 0);
  EXPECT_EQ(transport.followed_bpm, 0.0f);

  // Start and a clock at 100 BPM (25 ms a pulse): from the top at once, at 100 BPM.
  midi_settings.sync.store(MidiSync::kFollow);
  transport.step_pos = 9;
  send(midi_event(10.0, kMidiStart));
  EXPECT_EQ(get_transport_stopped(), 0);
  EXPECT_EQ(transport.step_pos, 0);
  EXPECT_EQ(transport.step_countdown, 0.0f);
  const double period = 60.0 / (100.0 * kMidiPulsesPerBeat);
  uint32_t now = 1000;
  for (int k = 0; k < 30; ++k, now += 25) send(midi_event(10.0 + k * period, kMidiClock), now);
  news = MidiNews{};
  check_followed_clock(now, &news);
  EXPECT_TRUE(news.tempo_changed);
  EXPECT_NEAR(transport.followed_bpm, 100.0f, 0.01f);
  EXPECT_NEAR(playing_bpm(), 100.0f, 0.01f);
  EXPECT_EQ(song.bpm, 120.0f);  // the song keeps its own tempo
  // Steps as long as the followed clock's, the frame each step runs over included.
  EXPECT_NEAR(step_interval() + 1.0f, 44100.0f * 60.0f / (100.0f * 8.0f), 0.01f);
  const std::vector<long> steps = step_frames(200000);
  ASSERT_GE(steps.size(), 50u);
  EXPECT_NEAR(static_cast<double>(steps.back() - steps.front()) / (steps.size() - 1), 3307.5, 0.05);

  // Song position 5 (sixteenths) is step 10; Stop and Continue.
  send(midi_event(11.0, kMidiSongPosition, 5, 0, 3));
  EXPECT_EQ(transport.step_pos, 10);
  send(midi_event(11.1, kMidiStop));
  EXPECT_NE(get_transport_stopped(), 0);
  send(midi_event(11.2, kMidiContinue));
  EXPECT_EQ(get_transport_stopped(), 0);

  // Silence: lost after two seconds, said once, the tempo kept.
  const uint32_t last = now - 25;
  news = MidiNews{};
  check_followed_clock(last + kMidiClockLostMs - 1, &news);
  EXPECT_FALSE(news.clock_lost);
  check_followed_clock(last + kMidiClockLostMs, &news);
  EXPECT_TRUE(news.clock_lost);
  news = MidiNews{};
  check_followed_clock(last + 2 * kMidiClockLostMs, &news);
  EXPECT_FALSE(news.clock_lost);
  EXPECT_NEAR(playing_bpm(), 100.0f, 0.01f);
  // The clock back at 140 BPM: followed again, and lost again later.
  const double faster = 60.0 / (140.0 * kMidiPulsesPerBeat);
  now = 10000;
  for (int k = 0; k < 30; ++k, now += 18) send(midi_event(30.0 + k * faster, kMidiClock), now);
  check_followed_clock(now, &news);
  EXPECT_NEAR(playing_bpm(), 140.0f, 0.01f);
  news = MidiNews{};
  check_followed_clock(now + kMidiClockLostMs, &news);
  EXPECT_TRUE(news.clock_lost);

  // SYNC no longer FOLLOW: the song's own tempo plays again.
  midi_settings.sync.store(MidiSync::kSend);
  check_followed_clock(now, &news);
  EXPECT_EQ(transport.followed_bpm, 0.0f);
  EXPECT_EQ(playing_bpm(), 120.0f);
}

}  // namespace
}  // namespace zorbel::test
