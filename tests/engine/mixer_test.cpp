// The mixer and the render cycle: gains, clamp, stereoize, record tap, pause.
#include <cstring>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/engine_hooks.h"
#include "engine/mixer.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

// Stands in for the synth render: every track outputs a constant on both buses.
float fake_right[MAX_TRACKS];
float fake_left[MAX_TRACKS];
void fake_render() {
  for (int t = 0; t < MAX_TRACKS; ++t)
    for (int i = 0; i < kBlockFrames; ++i) {
      buses.right[t][i] = fake_right[t];
      buses.left[t][i] = fake_left[t];
    }
}

class MixerTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    hooks.render_block = fake_render;
    for (int t = 0; t < MAX_TRACKS; ++t) fake_right[t] = fake_left[t] = 0.0f;
    out.assign(2 * kBufferFrames, -5.0f);
  }
  std::vector<float> out;
};

TEST_F(MixerTest, NoTracksGivesSilenceAndZeroRecord) {
  fake_right[0] = fake_left[0] = 1000.0f;  // ignored: no track in use
  render_buffer(out.data());
  for (float v : out) ASSERT_EQ(v, 0.0f);
  for (int i = 0; i < kBufferFrames; ++i) {
    ASSERT_EQ(buses.record_left[i], 0.0f);
    ASSERT_EQ(buses.record_right[i], 0.0f);
  }
}

TEST_F(MixerTest, FullScaleClampsTo0999) {
  song.track_count = 1;
  fake_right[0] = 32780.0f;
  fake_left[0] = -40000.0f;
  render_buffer(out.data());
  EXPECT_FLOAT_EQ(out[0], -0.999f);  // left first
  EXPECT_FLOAT_EQ(out[1], 0.999f);
}

TEST_F(MixerTest, StereoizeNegatesOnlyTheLeftChannel) {
  song.track_count = 2;
  fake_right[0] = fake_left[0] = 3278.0f;
  fake_right[1] = fake_left[1] = 1639.0f;
  song.stereoize[1] = -1.0f;
  render_buffer(out.data());
  EXPECT_FLOAT_EQ(out[0], (3278.0f - 1639.0f) / 32780.0f);
  EXPECT_FLOAT_EQ(out[1], (3278.0f + 1639.0f) / 32780.0f);
}

TEST_F(MixerTest, TrackVolumeMuteAndMasterVolume) {
  song.track_count = 2;
  fake_right[0] = fake_left[0] = 3278.0f;
  fake_right[1] = fake_left[1] = 3278.0f;
  song.track_vol[0] = 0.5f;
  song.loop_track_enable[0][1] = 0;  // track 1 muted in loop 0
  song.master_vol = 0.5f;
  render_buffer(out.data());
  EXPECT_FLOAT_EQ(out[1], 3278.0f * 0.5f / 32780.0f * 0.5f);
}

TEST_F(MixerTest, MasterVolumeZeroSilencesWhileTheClockRuns) {
  song.track_count = 1;
  fake_right[0] = fake_left[0] = 10000.0f;
  song.master_vol = 0.0f;
  for (int i = 0; i < 4; ++i) render_buffer(out.data());
  for (float v : out) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(transport.step_pos, 1);  // 4096 frames: one step event at frame 2757
}

TEST_F(MixerTest, RecordTapHoldsFinalMixOfEveryFrame) {
  song.track_count = 1;
  fake_right[0] = 16390.0f;
  fake_left[0] = -8195.0f;
  render_buffer(out.data());
  for (int i = 0; i < kBufferFrames; ++i) {
    ASSERT_EQ(buses.record_right[i], out[2 * i + 1]);
    ASSERT_EQ(buses.record_left[i], out[2 * i]);
  }
}

TEST_F(MixerTest, RecordFileGetsRightThenLeftAsTruncated16Bit) {
  song.track_count = 1;
  fake_right[0] = 16390.0f;  // 0.5 -> 16384
  fake_left[0] = -3278.0f;   // -0.1 -> -3276.8 -> -3276
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  set_record_file(file);
  transport.recording.store(true);
  render_buffer(out.data());
  transport.recording.store(false);
  set_record_file(nullptr);
  EXPECT_EQ(std::ftell(file), 4096);
  std::rewind(file);
  int16_t frame[2];
  ASSERT_EQ(std::fread(frame, sizeof frame, 1, file), 1u);
  EXPECT_EQ(frame[0], 16384);
  EXPECT_EQ(frame[1], -3276);
  std::fclose(file);
}

TEST_F(MixerTest, StoppedTransportLeavesOutputAndEngineUntouched) {
  song.track_count = 1;
  fake_right[0] = 10000.0f;
  set_transport_stopped(1);
  const float countdown = transport.step_countdown;
  EXPECT_FALSE(render_buffer(out.data()));
  for (float v : out) ASSERT_EQ(v, -5.0f);
  EXPECT_EQ(transport.step_countdown, countdown);
  EXPECT_EQ(transport.in_callback.load(), 0);
  EXPECT_TRUE(editor_link.redraw_transport.load());
}

TEST_F(MixerTest, StepsFireBeforeTheBlockTheyFallIn) {
  // The first step falls on frame 2757 = block 21, frame 69; its render starts at block 21.
  song.track_count = 1;
  song.step_trig[0][0][0] = 100;
  reset_play_cursor(0);
  static int first_block_with_step = -1;
  static int block = 0;
  first_block_with_step = -1;
  block = 0;
  hooks.render_block = [] {
    if (first_block_with_step < 0 && transport.step_pos == 1) first_block_with_step = block;
    ++block;
  };
  for (int i = 0; i < 3; ++i) render_buffer(out.data());
  EXPECT_EQ(first_block_with_step, 2756 / 128);
}

// A held callback renders nothing and takes no request; the play state is left alone, so
// holds nest and the callback can run on the holding thread itself.
TEST_F(MixerTest, PauseHoldsTheCallbackWithoutTouchingThePlayState) {
  std::vector<float> out(2 * kBufferFrames, 7.0f);
  const unsigned outer = pause_audio();
  const unsigned inner = pause_audio();
  EXPECT_EQ(outer, 0u);
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  transport.restart_requests.store(1);
  EXPECT_FALSE(render_buffer(out.data()));
  EXPECT_EQ(out[0], 7.0f);
  EXPECT_EQ(transport.restart_requests.load(), 1);
  resume_audio(inner);
  EXPECT_FALSE(render_buffer(out.data()));  // still held by the outer pause
  resume_audio(outer);
  EXPECT_TRUE(render_buffer(out.data()));
  EXPECT_EQ(transport.restart_requests.load(), 0);
  EXPECT_EQ(transport.in_callback.load(), 0);
}

}  // namespace
}  // namespace zorbel::test
