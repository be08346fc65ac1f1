// The MIDI clock without a port: the pulses and transport messages the audio side stamps to
// rendered frames, the song position they name and set, and the tempo of an incoming clock.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/clock.h"
#include "engine/midi_clock_out.h"
#include "engine/midi_pulse_scheduler.h"
#include "engine/midi_settings.h"
#include "engine/midi_tempo_follower.h"
#include "engine/mixer.h"
#include "engine/song_position.h"
#include "engine/transport_requests.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

struct Heard {
  long frame;
  MidiEvent event;
};

// What the audio side does for a buffer, with the clock alone (no synths): the buffer's MIDI
// with absolute frames, and the frames at which step events fired.
class ClockOutRun {
 public:
  void buffers(int count, bool running = true) {
    for (int b = 0; b < count; ++b) {
      midi_clock_buffer_begin();
      take_play_requests();
      take_block_requests();
      for (int block = 0; block < kBlocksPerBuffer && running; ++block) {
        midi_clock_block(block);
        for (int f = 0; f < kBlockFrames; ++f) {
          const float before = transport.step_countdown;
          clock_tick();
          if (transport.step_countdown > before) steps.push_back(frame_ + block * kBlockFrames + f);
        }
      }
      midi_clock_buffer_end(running);
      const MidiEvent* events = nullptr;
      const int n = take_rendered_midi(&events);
      for (int i = 0; i < n; ++i) heard.push_back({frame_ + std::lround(events[i].time), events[i]});
      frame_ += kBufferFrames;
    }
  }
  std::vector<long> pulses_from(size_t first) const {
    std::vector<long> frames;
    for (size_t i = first; i < heard.size(); ++i)
      if (heard[i].event.bytes[0] == kMidiClock) frames.push_back(heard[i].frame);
    return frames;
  }
  std::vector<uint8_t> statuses_from(size_t first) const {
    std::vector<uint8_t> s;
    for (size_t i = first; i < heard.size(); ++i)
      if (heard[i].event.bytes[0] != kMidiClock) s.push_back(heard[i].event.bytes[0]);
    return s;
  }
  std::vector<Heard> heard;
  std::vector<long> steps;

 private:
  long frame_ = 0;
};

// The largest distance of the frames from a straight line through the first and the last.
double off_line(const std::vector<long>& frames) {
  const double spacing = static_cast<double>(frames.back() - frames.front()) / (frames.size() - 1);
  double worst = 0.0;
  for (size_t k = 0; k < frames.size(); ++k)
    worst = std::max(worst, std::fabs(frames[k] - (frames.front() + k * spacing)));
  return worst;
}

class MidiClockOutTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_midi_clock_out();
    midi_settings.sync.store(MidiSync::kSend);
  }
  void TearDown() override {
    midi_settings.sync.store(MidiSync::kOff);
    reset_midi_clock_out();
    EngineTest::TearDown();
  }
};

TEST_F(MidiClockOutTest, PulsesKeepToStepsThroughTempoSwingAndTransport) {
  ClockOutRun run;
  // SEND chosen while playing: the listeners learn the position and continue.
  run.buffers(1);
  EXPECT_EQ(run.statuses_from(0), (std::vector<uint8_t>{kMidiSongPosition, kMidiContinue}));

  // A restart from the top: Start, then every third pulse on a step, within a frame.
  post_restart();
  const size_t restart = run.heard.size();
  run.steps.clear();
  run.buffers(120);  // 2.8 s
  EXPECT_EQ(run.statuses_from(restart), std::vector<uint8_t>{kMidiStart});
  std::vector<long> pulses = run.pulses_from(restart);
  ASSERT_GE(run.steps.size(), 40u);
  ASSERT_GE(pulses.size(), 3 * run.steps.size());
  for (size_t s = 0; s < run.steps.size(); ++s) EXPECT_LE(std::labs(pulses[3 * s] - run.steps[s]), 1) << s;
  // At 120 BPM a step lasts 2757.25 frames on average, so a pulse 919.08.
  const double spacing = static_cast<double>(pulses.back() - pulses.front()) / (pulses.size() - 1);
  EXPECT_NEAR(spacing, (step_interval() + 1.0) / 3.0, 0.01);
  EXPECT_LE(off_line(pulses), 1.0);

  // A new tempo takes effect from the next step; the pulses stay on the steps.
  song.bpm = 133.0f;
  size_t from = run.heard.size();
  run.steps.clear();
  run.buffers(100);
  pulses = run.pulses_from(from);
  // The first step after the change may still carry pulses of the old spacing.
  size_t matched = 0;
  for (size_t s = 1; s < run.steps.size(); ++s)
    for (long p : pulses)
      if (std::labs(p - run.steps[s]) <= 1) {
        ++matched;
        break;
      }
  EXPECT_EQ(matched, run.steps.size() - 1);

  // Swing moves the steps but not the pulses: they stay evenly spaced.
  song.bpm = 120.0f;
  song.swing_pct = 75.0f;
  from = run.heard.size();
  run.buffers(100);
  pulses = run.pulses_from(from);
  EXPECT_LE(off_line(std::vector<long>(pulses.begin() + 3, pulses.end())), 1.0);

  // Stop; a jump while stopped is said at once; play continues from there.
  post_play_set(true);
  from = run.heard.size();
  run.buffers(2, false);
  EXPECT_EQ(run.statuses_from(from), std::vector<uint8_t>{kMidiStop});
  EXPECT_TRUE(run.pulses_from(from).empty());
  song.seqlen = 16;
  transport.step_pos = 10;
  reset_playback();  // TRI in the editor: back to step 0, a jump
  from = run.heard.size();
  run.buffers(1, false);
  ASSERT_EQ(run.statuses_from(from), std::vector<uint8_t>{kMidiSongPosition});
  EXPECT_EQ(run.heard[from].event.bytes[1], 0);
  post_play_set(false);
  from = run.heard.size();
  run.buffers(1);
  EXPECT_EQ(run.statuses_from(from), (std::vector<uint8_t>{kMidiSongPosition, kMidiContinue}));

  // A jump in the song list while playing: Stop, the new position, Continue.
  transport.play_mode = kPlaySong;
  song.song_list[0] = 0;
  song.song_list[1] = 1;
  song.song_list[2] = SONG_RESTART;
  song.song_reps[0] = 2;
  post_loop_change(1);
  from = run.heard.size();
  run.buffers(1);
  ASSERT_EQ(run.statuses_from(from), (std::vector<uint8_t>{kMidiStop, kMidiSongPosition, kMidiContinue}));
  // Position 1 begins after loop 0 played twice: 32 steps, 16 sixteenths, and the steps since.
  const MidiEvent& spp = run.heard[from + 1].event;
  EXPECT_EQ(spp.bytes[0], kMidiSongPosition);
  EXPECT_GE(spp.bytes[1] | (spp.bytes[2] << 7), 16);
  EXPECT_LE(spp.bytes[1] | (spp.bytes[2] << 7), 24);

  // SEND turned off: one Stop, then silence.
  midi_settings.sync.store(MidiSync::kOff);
  from = run.heard.size();
  run.buffers(3);
  EXPECT_EQ(run.statuses_from(from), std::vector<uint8_t>{kMidiStop});
  EXPECT_TRUE(run.pulses_from(from).empty());
}

TEST(MidiPulseScheduler, AnchorsFreeRunsAndIsPulledOntoSteps) {
  PulseScheduler pulses;
  double out[16];
  EXPECT_EQ(pulses.block(128, 300.0, 10.0, true, out, 16), 0);  // not anchored: silent
  pulses.anchor(-3.0);
  ASSERT_EQ(pulses.block(128, 300.0, 500.0, false, out, 16), 2);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], 100.0);
  // Next block: the pulse at 200 is frame 72 here; a step at 74 pulls the step's pulse (index
  // 0, due at 300 - 128 = 172) only when near; this one is index 2, left alone.
  ASSERT_EQ(pulses.block(128, 300.0, 74.0, true, out, 16), 1);
  EXPECT_EQ(out[0], 72.0);
  // The step's pulse is due at 44; a step falling at 46 takes it there.
  ASSERT_EQ(pulses.block(128, 300.0, 46.0, true, out, 16), 1);
  EXPECT_EQ(out[0], 46.0);
  // Capacity: the extra pulses are dropped, the train goes on.
  PulseScheduler fast;
  fast.anchor(0.0);
  EXPECT_EQ(fast.block(128, 3.0, 0.0, true, out, 16), 16);
  EXPECT_EQ(fast.block(128, 3.0, 500.0, false, out, 16), 16);
  EXPECT_NEAR(out[0], 0.0, 1e-9);  // 128 frames is 128 pulses: the next block starts on one
}

TEST(SongPosition, CountsAndLocatesInLoopAndSongModes) {
  init_engine(kTestSeed);
  song.seqlen = 16;
  transport.play_mode = kPlayLoop;
  locate_playback(21);
  EXPECT_EQ(transport.step_pos, 5);
  EXPECT_EQ(transport.step_countdown, 0.0f);  // the step plays at the next frame
  EXPECT_EQ(song_position_steps(), 5);

  transport.play_mode = kPlaySong;
  const int16_t list[] = {3, 5, 7, SONG_HALT};
  for (int p = 0; p < 4; ++p) song.song_list[p] = list[p];
  song.song_reps[0] = 2;
  song.song_reps[1] = 0;  // plays once
  song.song_reps[2] = 1;
  locate_playback(2 * 16 + 16 + 3);
  EXPECT_EQ(transport.song_pos, 2);
  EXPECT_EQ(transport.current_loop, 7);
  EXPECT_EQ(transport.rep_count, 0);
  EXPECT_EQ(transport.step_pos, 3);
  EXPECT_EQ(song_position_steps(), 51);
  locate_playback(16 + 9);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.rep_count, 1);
  EXPECT_EQ(transport.current_loop, 3);
  EXPECT_EQ(song_position_steps(), 25);
  // Past the end of the list: the last loop, its last repetition, the step within it.
  locate_playback(1000);
  EXPECT_EQ(transport.song_pos, 2);
  EXPECT_EQ(transport.step_pos, (1000 - 48) % 16);
  init_engine(kTestSeed);
}

TEST(MidiTempoFollower, SmoothsJitterAndStartsAfreshAfterAGap) {
  TempoFollower follower;
  EXPECT_EQ(follower.bpm(), 0.0);
  follower.pulse(1.0);
  EXPECT_EQ(follower.bpm(), 0.0);
  // 120 BPM with up to 1 ms of random jitter on every pulse: within 0.05 BPM after a beat.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> jitter(-0.001, 0.001);
  const double period = 60.0 / (120.0 * 24);
  double t = 2.0;
  for (int k = 0; k < 48; ++k) follower.pulse(t + k * period + jitter(random));
  EXPECT_NEAR(follower.bpm(), 120.0, 0.05);
  // The clock stops and comes back at 90: the old pulses do not count.
  t += 48 * period + 1.0;
  const double slower = 60.0 / (90.0 * 24);
  for (int k = 0; k < 3; ++k) follower.pulse(t + k * slower);
  EXPECT_NEAR(follower.bpm(), 90.0, 1e-6);
  // A pulse stamped before the last one starts the measure again rather than going negative.
  follower.pulse(t);
  EXPECT_NEAR(follower.bpm(), 90.0, 1e-6);
  follower.restart();
  EXPECT_NEAR(follower.bpm(), 90.0, 1e-6);  // the tempo stays until new pulses say otherwise
}

}  // namespace
}  // namespace zorbel::test
