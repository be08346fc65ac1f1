// The pitch glide and the LFO, driven directly on a float pitch field.
#include <gtest/gtest.h>

#include <cmath>

#include "synth/lfo.h"
#include "synth/pitch_glide.h"
#include "synth/wavetables.h"
#include "tests/support/engine_fixture.h"

namespace zorbel {
namespace {

class GlideTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    glide_init(glide_, &pitch_, 480.0f, 50.0f);
  }
  PitchGlide glide_;
  float pitch_ = 0.0f;
};

TEST_F(GlideTest, FallsOnePercentPerBlockUntilBelowHalfThenHolds) {
  glide_.v = 440.0f;
  glide_step(glide_, 0.99f, 440.0f * 0.5f, false);
  EXPECT_EQ(pitch_, 440.0f);
  float previous = pitch_;
  int falling_blocks = 0;
  for (int b = 0; b < 200; ++b) {
    glide_block(glide_);
    if (pitch_ < previous) {
      EXPECT_NEAR(pitch_ / previous, 0.99, 1e-5) << "block " << b;
      ++falling_blocks;
    }
    previous = pitch_;
  }
  // 68 steps above one half; the 69th factor passes it and is what the glide then holds.
  EXPECT_EQ(falling_blocks, 69);
  const float held = pitch_;
  EXPECT_LT(held, 220.0f);
  EXPECT_GT(held, 220.0f * 0.99f * 0.99f);
  glide_block(glide_);
  EXPECT_EQ(pitch_, held);
}

TEST_F(GlideTest, RisingGlideStopsAboveItsEnd) {
  glide_.v = 100.0f;
  glide_step(glide_, 1.02f, 100.0f * 1.5f, false);
  for (int b = 0; b < 100; ++b) glide_block(glide_);
  EXPECT_GT(pitch_, 145.0f);
  EXPECT_LT(pitch_, 153.1f);
}

TEST_F(GlideTest, RatioOneWritesTheValueEveryBlock) {
  glide_.v = 300.0f;
  glide_step(glide_, 1.0f, 300.0f, false);
  glide_block(glide_);
  EXPECT_EQ(pitch_, 300.0f);
  glide_.v = 310.0f;  // the LFO moves the value
  glide_block(glide_);
  EXPECT_EQ(pitch_, 310.0f);
}

TEST_F(GlideTest, AnEndBehindTheStartMeansNoGlide) {
  glide_.v = 440.0f;
  glide_step(glide_, 0.99f, 880.0f, false);  // falling, but the end lies above
  glide_block(glide_);
  EXPECT_EQ(pitch_, 440.0f);
}

TEST_F(GlideTest, LegatoStepContinuesTheGlide) {
  glide_.v = 440.0f;
  glide_step(glide_, 0.99f, 100.0f, false);
  for (int b = 0; b < 10; ++b) glide_block(glide_);
  const float m = glide_.m;
  glide_step(glide_, 0.99f, 100.0f, true);
  EXPECT_EQ(glide_.m, m);
  glide_block(glide_);
  EXPECT_NEAR(pitch_, 440.0f * m * 0.99f, 0.01f);
  glide_step(glide_, 0.99f, 100.0f, false);
  EXPECT_EQ(glide_.m, 1.0f);
}

TEST_F(GlideTest, SixteenBitTargetIsTruncated) {
  int16_t hold = 0;
  glide_init(glide_, &hold, 7.9f, 0.0f);
  glide_block(glide_);
  EXPECT_EQ(hold, 7);
}

class LfoTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    lfo_init(lfo_, &target_);
  }
  Lfo lfo_;
  float target_ = 0.0f;
};

TEST_F(LfoTest, WritesTheCentreWhenDepthIsZero) {
  lfo_.centre = 220.0f;
  lfo_.increment = 100.0f;
  lfo_block(lfo_);
  EXPECT_EQ(target_, 220.0f);
  EXPECT_EQ(lfo_.last_output, 220.0f);
  EXPECT_EQ(lfo_.phase, 100.0f);
}

TEST_F(LfoTest, SwingsAroundTheCentreByTheTable) {
  lfo_.centre = 1000.0f;
  lfo_.depth = 32768.0f * 0.5f;  // half the table's swing
  lfo_.phase = 44100.0f / 4.0f;  // a quarter cycle: sine table point 32
  lfo_block(lfo_);
  EXPECT_NEAR(target_, 1000.0f + 0.5f * wavetables[kSine][32], 0.01f);
}

TEST_F(LfoTest, PhaseWrapsAndDividerSlowsIt) {
  lfo_.increment = 30000.0f;
  lfo_block(lfo_);
  lfo_block(lfo_);
  EXPECT_NEAR(lfo_.phase, 60000.0f - 44100.0f, 0.01f);
  lfo_.phase = 0.0f;
  lfo_.divider = 3;
  for (int b = 0; b < 6; ++b) lfo_block(lfo_);
  EXPECT_NEAR(lfo_.phase, 60000.0f - 44100.0f, 0.01f);
  // A rate far outside the editor's range still leaves a phase inside the cycle.
  lfo_.divider = 0;
  lfo_.increment = 1e12f;
  lfo_block(lfo_);
  EXPECT_GE(lfo_.phase, 0.0f);
  EXPECT_LE(lfo_.phase, 44100.0f);
  lfo_.increment = NAN;
  lfo_block(lfo_);
  EXPECT_GE(lfo_.phase, 0.0f);
  lfo_block(lfo_);
  EXPECT_TRUE(std::isfinite(target_));
}

TEST_F(LfoTest, AmountDrawsRateAndDepthAroundTheValue) {
  target_ = 440.0f;
  for (int i = 0; i < 50; ++i) {
    lfo_set_amount(lfo_, 0.5f, 0.1f);
    EXPECT_GE(lfo_.increment, 20.0f);
    EXPECT_LE(lfo_.increment, 60.0f);
    EXPECT_LE(std::fabs(lfo_.depth), 440.0f * 0.1f * 0.5f + 1e-3f);
  }
  lfo_set_amount(lfo_, 0.0f, 0.1f);
  EXPECT_EQ(lfo_.increment, 0.0f);
  EXPECT_EQ(lfo_.depth, 0.0f);
}

TEST_F(LfoTest, AnOverflowingPitchDoesNotLeaveTheLfoStuckOnNotANumber) {
  target_ = INFINITY;
  lfo_set_amount(lfo_, 1.0f, 0.1f);
  EXPECT_TRUE(std::isfinite(lfo_.depth));
  lfo_.centre = 300.0f;
  lfo_.depth = 3e38f;
  lfo_.phase = 11025.0f;
  lfo_.table = wavetables[kSine];
  lfo_block(lfo_);
  lfo_set_amount(lfo_, 1.0f, 0.1f);
  lfo_block(lfo_);
  EXPECT_TRUE(std::isfinite(target_));
}

}  // namespace
}  // namespace zorbel
