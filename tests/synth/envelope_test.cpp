// The voice output module: DADSR and EXP envelopes, legato, pan, and the silent start.
#include <gtest/gtest.h>

#include <cmath>

#include "synth/voice_output.h"
#include "tests/support/engine_fixture.h"

namespace zorbel {
namespace {

class EnvelopeTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    voice_ = static_cast<VoiceOutput*>(kVoiceKind.pool_slot(0));
    voice_->synth = 0;  // no synth built: the restarts at the end of a delay do nothing
    kVoiceKind.init(voice_);
  }
  void dadsr(float attack, float decay, float decaymin, int32_t sustain, float release) {
    voice_->envtype = 0;
    voice_->attack = attack;
    voice_->decay = decay;
    voice_->decaymin = decaymin;
    voice_->sustain = sustain;
    voice_->release = release;
    kVoiceKind.derive(voice_);
  }
  // One block of constant input 1000; returns the right bus.
  const float* block() {
    for (float& x : input_) x = 1000.0f;
    voice_render(*voice_, input_, right_, left_);
    return right_;
  }
  VoiceOutput* voice_ = nullptr;
  float input_[kBlockFrames];
  float right_[kBlockFrames];
  float left_[kBlockFrames];
};

TEST_F(EnvelopeTest, SilentFromCreationUntilTheFirstStep) {
  for (int b = 0; b < 4; ++b) {
    block();
    for (int i = 0; i < kBlockFrames; ++i) ASSERT_EQ(right_[i], 0.0f);
  }
  voice_->envtype = 0;
  kVoiceKind.derive(voice_);
  block();
  for (float v : right_) EXPECT_EQ(v, 0.0f);
}

TEST_F(EnvelopeTest, AttackOfHalfASecondTakesAbout689ControlPeriods) {
  dadsr(0.5f, 10.0f, 0.999f, 0, 1.0f);
  voice_start(*voice_, 1.0f, false);
  int periods = 0;  // a block is 4 control periods; the first one is the delay
  while (voice_->stage <= kStageAttack && periods < 5000) {
    block();
    periods += 4;
  }
  EXPECT_GE(periods - 1, 689);
  EXPECT_LE(periods - 1, 689 + 4);
  EXPECT_NEAR(voice_->level, 1.0f, 1e-5f);  // reached 1.0, then a first tiny decay step
}

TEST_F(EnvelopeTest, DelayZeroGivesOneSilentPeriodThenSound) {
  dadsr(0.01f, 1.0f, 0.5f, 100, 1.0f);
  voice_start(*voice_, 1.0f, false);
  block();
  for (int i = 0; i < 32; ++i) EXPECT_EQ(right_[i], 0.0f) << i;
  EXPECT_GT(right_[32], 0.0f);
  EXPECT_EQ(voice_->stage, kStageAttack);
}

TEST_F(EnvelopeTest, DelayCountsControlPeriods) {
  dadsr(0.01f, 1.0f, 0.5f, 100, 1.0f);
  voice_->delay = 5;
  voice_start(*voice_, 1.0f, false);
  block();
  block();
  // Periods 1..6 (frames 0..191) are the delay; sound starts with period 7 at frame 192.
  EXPECT_EQ(right_[191 - 128], 0.0f);
  EXPECT_GT(right_[192 - 128], 0.0f);
}

TEST_F(EnvelopeTest, DecayToTheFloorSustainThenRelease) {
  dadsr(0.0001f, 0.01f, 0.5f, 10, 0.01f);
  voice_start(*voice_, 1.0f, false);
  int blocks = 0;
  while (voice_->stage != kStageSustain && blocks++ < 100) block();
  EXPECT_EQ(voice_->level, 0.5f);
  while (voice_->stage != kStageRelease && blocks++ < 200) block();
  EXPECT_LE(voice_->sustain_counter, 11);
  while (voice_->level > 0.0f && blocks++ < 400) block();
  EXPECT_EQ(voice_->level, 0.0f);
  block();
  for (float v : right_) EXPECT_EQ(v, 0.0f);
}

TEST_F(EnvelopeTest, DecayminZeroEndsTheReleaseAtOnce) {
  dadsr(0.0001f, 0.01f, 0.0f, 0, 5.0f);
  EXPECT_EQ(voice_->release_dec, 1.0f);
  voice_start(*voice_, 1.0f, false);
  int blocks = 0;
  while (voice_->stage != kStageSustain && blocks++ < 100) block();
  EXPECT_EQ(voice_->level, 0.0f);  // the decay still falls all the way
  voice_->stage = kStageRelease;
  voice_->level = 0.8f;
  block();
  EXPECT_EQ(voice_->level, 0.0f);
}

TEST_F(EnvelopeTest, ZeroTimesMeanOneSecond) {
  dadsr(0.0f, 0.0f, 0.5f, 0, 0.0f);
  EXPECT_EQ(voice_->attack, 1.0f);
  EXPECT_EQ(voice_->decay, 1.0f);
  EXPECT_EQ(voice_->release, 1.0f);
  EXPECT_FLOAT_EQ(voice_->attack_inc, 32.0f / 44100.0f);
}

TEST_F(EnvelopeTest, LegatoStepChangesOnlyTheVolume) {
  dadsr(0.1f, 1.0f, 0.5f, 0, 1.0f);
  voice_start(*voice_, 1.0f, false);
  for (int b = 0; b < 10; ++b) block();
  const float level = voice_->level;
  const int16_t stage = voice_->stage;
  const uint32_t counter = voice_->control_counter;
  voice_start(*voice_, 0.25f, true);
  EXPECT_EQ(voice_->level, level);
  EXPECT_EQ(voice_->stage, stage);
  EXPECT_EQ(voice_->control_counter, counter);
  EXPECT_EQ(voice_->volume, 0.25f);
  EXPECT_EQ(voice_->exp_volume, 0.25f);
}

TEST_F(EnvelopeTest, ExpmultOneIsSilent) {
  voice_->expmult = 1.0f;
  kVoiceKind.derive(voice_);
  voice_start(*voice_, 1.0f, false);
  for (int b = 0; b < 20; ++b) {
    block();
    for (float v : right_) ASSERT_EQ(v, 0.0f);
  }
}

TEST_F(EnvelopeTest, Expmult1003RisesToFullInAbout1950Updates) {
  voice_->expmult = 1.003f;
  kVoiceKind.derive(voice_);
  voice_start(*voice_, 1.0f, false);
  EXPECT_NEAR(voice_->exp_level, 0.003f, 1e-6f);
  int frames = 0;
  while (voice_->exp_level < 1.0f && frames < 100000) {
    block();
    frames += kBlockFrames;
  }
  const int updates = frames / 16;
  EXPECT_NEAR(updates, 1945, 15);
  EXPECT_EQ(voice_->exp_level, 1.0f);
  block();
  EXPECT_EQ(voice_->exp_level, 1.0f);
}

TEST_F(EnvelopeTest, ExpDecayUpdatesEvery16FramesFromTheFirst) {
  voice_->expmult = 0.5f;
  kVoiceKind.derive(voice_);
  voice_start(*voice_, 1.0f, false);
  block();
  EXPECT_FLOAT_EQ(right_[0], 1000.0f * 0.5f * 0.5f);   // updated on the first frame, pan 0.5
  EXPECT_FLOAT_EQ(right_[15], 1000.0f * 0.5f * 0.5f);
  EXPECT_FLOAT_EQ(right_[16], 1000.0f * 0.25f * 0.5f);
}

TEST_F(EnvelopeTest, ExpDelayIsSilentThenClearsTheBufferAndStarts) {
  voice_->expmult = 0.999f;
  voice_->exp_delay = 2;  // 64 frames
  kVoiceKind.derive(voice_);
  voice_start(*voice_, 1.0f, false);
  for (float& x : input_) x = 1000.0f;
  voice_render(*voice_, input_, right_, left_);
  for (int i = 0; i <= 64; ++i) EXPECT_EQ(right_[i], 0.0f) << i;
  // The rest of this block's buffer was cleared at the end of the delay.
  for (int i = 65; i < kBlockFrames; ++i) EXPECT_EQ(right_[i], 0.0f) << i;
  EXPECT_EQ(input_[100], 0.0f);
  block();
  EXPECT_GT(right_[0], 0.0f);
}

TEST_F(EnvelopeTest, PanSplitsBetweenTheBuses) {
  voice_->expmult = 0.9999f;
  voice_->exp_pan = 0.75f;
  kVoiceKind.derive(voice_);
  voice_start(*voice_, 0.5f, false);
  block();
  EXPECT_FLOAT_EQ(right_[3], 1000.0f * 0.9999f * 0.5f * 0.75f);
  EXPECT_FLOAT_EQ(left_[3], 1000.0f * 0.9999f * 0.5f * 0.25f);
}

}  // namespace
}  // namespace zorbel
