// A BAM synth heard through the whole render path: step, glide, envelope, voice, mixer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "synth/bam_engine.h"
#include "synth/lfo.h"
#include "engine/synth_tracks.h"
#include "synth/voice_output.h"
#include "synth/wavetables.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

enum BamParam { kSh1, kFreq1, kExpmult, kEndoffset, kWttype1, kSh2, kOffset, kWttype2 };
constexpr int kVoiceFirst = 13;  // a plain BAM's voice block follows its 13 generator params

class BamRenderTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    build_synth(0, 0);
    sort_registry();
    song.track_count = 1;
    reset_play_cursor(0);
  }
  // Every loop's value of parameter q.
  void set_lane(int q, float v) {
    for (int i = 0; i < kLaneLength; ++i) song.param_slot[0][q].lane[i] = v;
  }
  void hit(int step, float volume) {
    song.step_trig[0][0][step] = 100;
    song.step_vol[0][0][step] = volume;
  }
  // Renders `buffers` device buffers and returns the left channel.
  std::vector<float> render_left(int buffers) {
    std::vector<float> out(2 * kBufferFrames);
    std::vector<float> left;
    for (int b = 0; b < buffers; ++b) {
      render_buffer(out.data());
      for (int i = 0; i < kBufferFrames; ++i) left.push_back(out[2 * i]);
    }
    return left;
  }
  BamEngine& bam() { return *static_cast<BamEngine*>(synth_modules[0].generator); }
};

TEST_F(BamRenderTest, Note69WithSineTablesSoundsAt440Hz) {
  set_lane(kFreq1, 69.0f);
  set_lane(kWttype1, 0.0f);
  set_lane(kWttype2, 0.0f);
  hit(0, 1.0f);
  const std::vector<float> left = render_left(20);
  ASSERT_TRUE(test::all_finite(left.data(), static_cast<int>(left.size())));
  // Skip the first block, in which the note starts.
  const double hz = test::zero_crossing_frequency(left.data() + 256, static_cast<int>(left.size()) - 256);
  EXPECT_NEAR(hz, 440.0, 0.5);
  EXPECT_GT(test::rms(left.data(), 4096), 0.05);
}

TEST_F(BamRenderTest, GlideFallsOnePercentPerBlockThenHolds) {
  set_lane(kFreq1, 69.0f);
  set_lane(kExpmult, 0.99f);
  set_lane(kEndoffset, 0.5f);
  hit(0, 1.0f);
  // Step 0 falls at frame 2757, in the third buffer; step 1 would come two buffers later.
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < 3; ++b) render_buffer(out.data());
  ASSERT_EQ(transport.step_pos, 1);
  transport.transport_stopped.store(1);  // no further steps; the blocks are run by hand
  std::vector<float> pitch{bam().freq1};
  for (int b = 0; b < 80; ++b) {
    block_step();
    pitch.push_back(bam().freq1);
  }
  int falls = 0;
  for (size_t i = 1; i < pitch.size(); ++i)
    if (pitch[i] < pitch[i - 1]) {
      EXPECT_NEAR(pitch[i] / pitch[i - 1], 0.99, 1e-4) << i;
      ++falls;
    }
  EXPECT_LT(pitch.back(), 220.0f);
  EXPECT_GT(pitch.back(), 215.0f);
  EXPECT_EQ(pitch[pitch.size() - 1], pitch[pitch.size() - 2]);
  EXPECT_GT(falls, 50);
}

TEST_F(BamRenderTest, LegatoStepChangesOnlyTheVolume) {
  set_lane(kFreq1, 60.0f);
  set_lane(kVoiceFirst + 0, 0.0f);   // DADSR
  set_lane(kVoiceFirst + 2, 0.2f);   // ATTACK
  hit(0, 1.0f);
  hit(1, 0.3f);
  song.legato_steps[0][0] = 1u << 1;
  VoiceOutput& voice = *static_cast<VoiceOutput*>(synth_modules[0].voice);
  std::vector<float> out(2 * kBufferFrames);
  // Step 1 fires at frame 5512; stop in the buffer before it.
  for (int b = 0; b < 5; ++b) render_buffer(out.data());
  ASSERT_EQ(transport.step_pos, 1);
  const float phase_before = bam().phase1;
  render_buffer(out.data());
  ASSERT_EQ(transport.step_pos, 2);
  EXPECT_EQ(voice.volume, 0.3f);
  EXPECT_EQ(voice.stage, kStageAttack);  // still rising from the first step
  EXPECT_GT(voice.level, 0.2f);
  EXPECT_NE(phase_before, 0.0f);
}

TEST_F(BamRenderTest, NonLegatoStepRestartsTheGenerator) {
  set_lane(kFreq1, 60.0f);
  set_lane(kWttype1, 0.0f);
  float values[PARAM_SLOTS];
  for (int k = 0; k < song.param_count[0]; ++k) values[k] = song.param_slot[0][k].lane[0];
  apply_step_params(0, values);
  update_derived();
  float buf[kBlockFrames];
  kBamKind.render(synth_modules[0].generator, buf);
  ASSERT_GT(bam().phase1, 0.0f);
  song.legato_steps[0][0] = 1;  // step 0 legato: the phase runs on
  apply_step_params(0, values);
  EXPECT_GT(bam().phase1, 0.0f);
  song.legato_steps[0][0] = 0;
  apply_step_params(0, values);
  EXPECT_EQ(bam().phase1, 0.0f);
}

TEST_F(BamRenderTest, EachClassWritesItsFieldType) {
  float values[PARAM_SLOTS];
  for (int k = 0; k < song.param_count[0]; ++k) values[k] = song.param_slot[0][k].def;
  values[kFreq1] = 69.7f;
  values[kWttype1] = 27.0f;
  values[kSh1] = 12.9f;
  values[11] = 0.5f;  // WARP
  values[12] = 13.0f; // WARPWT
  values[kVoiceFirst + 1] = 40000.0f;  // DELAY: a 16-bit count in a 32-bit field
  values[kVoiceFirst + 5] = 7.0f;      // SUSTAIN
  values[kVoiceFirst + 10] = 1.01f;    // EXPMULT
  apply_step_params(0, values);
  const Lfo& lfo = *static_cast<const Lfo*>(synth_modules[0].lfo);
  const VoiceOutput& voice = *static_cast<const VoiceOutput*>(synth_modules[0].voice);
  EXPECT_FLOAT_EQ(bam().freq1, 440.0f);
  EXPECT_FLOAT_EQ(lfo.centre, 440.0f);
  EXPECT_EQ(bam().wt1, wavetables[27]);
  EXPECT_EQ(bam().sh1, 12);
  EXPECT_EQ(lfo.table, wavetables[13]);
  EXPECT_GE(lfo.increment, 20.0f);
  EXPECT_LE(lfo.increment, 60.0f);
  EXPECT_EQ(voice.delay, 40000);
  EXPECT_EQ(voice.sustain, 7);
  EXPECT_FLOAT_EQ(voice.expmult, 1.01f);
}

TEST_F(BamRenderTest, HumanizeAddsUpToAThousandPeriodsTimesTheAmount) {
  float values[PARAM_SLOTS];
  for (int k = 0; k < song.param_count[0]; ++k) values[k] = song.param_slot[0][k].def;
  values[kVoiceFirst + 5] = 100.0f;  // SUSTAIN
  song.humanize[0] = 0.5f;
  const VoiceOutput& voice = *static_cast<const VoiceOutput*>(synth_modules[0].voice);
  bool varied = false;
  for (int i = 0; i < 50; ++i) {
    apply_step_params(0, values);
    EXPECT_GE(voice.sustain, 100);
    EXPECT_LE(voice.sustain, 600);
    varied |= voice.sustain != 100;
  }
  EXPECT_TRUE(varied);
}

TEST_F(BamRenderTest, DamagedValuesLeaveTheFieldsUsable) {
  float values[PARAM_SLOTS];
  for (int k = 0; k < song.param_count[0]; ++k) values[k] = song.param_slot[0][k].def;
  values[kFreq1] = NAN;
  values[kWttype1] = 1e30f;
  values[kSh1] = -1e30f;
  values[kOffset] = INFINITY;
  values[kExpmult] = NAN;
  apply_step_params(0, values);
  update_derived();
  EXPECT_EQ(bam().wt1, wavetables[34]);
  hit(0, 1.0f);
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < 4; ++b) {
    render_buffer(out.data());
    ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
  }
}

TEST_F(BamRenderTest, TransportResetSilencesTheVoiceAndClearsPhases) {
  set_lane(kFreq1, 60.0f);
  hit(0, 1.0f);
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < 4; ++b) render_buffer(out.data());
  ASSERT_GT(test::rms(out.data(), 2 * kBufferFrames), 0.01);
  reset_modules();
  const VoiceOutput& voice = *static_cast<const VoiceOutput*>(synth_modules[0].voice);
  EXPECT_EQ(voice.stage, kStageRelease);
  EXPECT_EQ(voice.level, 0.0f);
  EXPECT_EQ(voice.exp_level, 0.0f);
  EXPECT_EQ(bam().phase1, 0.0f);
  EXPECT_EQ(synth_buffer[0][5], 0.0f);
  song.step_trig[0][0][0] = 0;
  render_buffer(out.data());
  for (float v : out) ASSERT_EQ(v, 0.0f);
}

TEST_F(BamRenderTest, SameSeedRendersBitForBit) {
  set_lane(kFreq1, 57.0f);
  set_lane(11, 0.4f);  // WARP: the random table drives the LFO
  for (int s = 0; s < 64; s += 3) hit(s, 0.8f);
  const std::vector<float> first = render_left(12);
  init_engine(test::kTestSeed);
  SetUp();
  set_lane(kFreq1, 57.0f);
  set_lane(11, 0.4f);
  for (int s = 0; s < 64; s += 3) hit(s, 0.8f);
  const std::vector<float> second = render_left(12);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_EQ(0, std::memcmp(first.data(), second.data(), first.size() * sizeof(float)));
}

}  // namespace
}  // namespace zorbel
