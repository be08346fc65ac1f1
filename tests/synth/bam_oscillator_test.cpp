// The BAM generator driven directly: table reads at the wrap, sync, hold, offset limit, restart.
#include <gtest/gtest.h>

#include <cmath>

#include "synth/bam_engine.h"
#include "synth/wavetables.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

class BamOscillatorTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    bam_ = static_cast<BamEngine*>(kBamKind.pool_slot(0));
    kBamKind.init(bam_);
  }
  void render() { kBamKind.render(bam_, buf_); }
  BamEngine* bam_ = nullptr;
  float buf_[kBlockFrames] = {};
};

TEST_F(BamOscillatorTest, APhaseOfExactly128ReadsTheGuardEntry) {
  bam_->wt1 = wavetables[kSaw];
  bam_->freq1 = 10.0f;
  kBamKind.derive(bam_);
  bam_->phase1 = 128.0f;
  render();
  EXPECT_EQ(buf_[0], -512.0f);
  // Then it wraps: the next reading is near the start of the cycle.
  EXPECT_LT(std::fabs(buf_[1]), 100.0f);
}

TEST_F(BamOscillatorTest, SyncResetsOscillator2OnlyOnTheWrapSampleAfterItsReading) {
  bam_->wt1 = wavetables[kSaw];
  bam_->wt2 = wavetables[kSaw];
  bam_->oscmix = 0.0f;  // hear oscillator 2 alone
  bam_->oscsync = 1;
  kBamKind.derive(bam_);
  bam_->inc1 = 1.0f;
  bam_->inc2 = 2.0f;
  bam_->phase1 = 126.5f;  // wraps on the second sample
  bam_->phase2 = 10.0f;
  render();
  EXPECT_EQ(buf_[0], 5120.0f);  // phase 10
  EXPECT_EQ(buf_[1], 6144.0f);  // phase 12: the wrap sample still reads the old phase
  EXPECT_EQ(buf_[2], 1024.0f);  // phase 0 + 2 after the reset
  EXPECT_EQ(buf_[3], 2048.0f);

  kBamKind.init(bam_);
  bam_->wt2 = wavetables[kSaw];
  bam_->oscmix = 0.0f;
  bam_->oscsync = 0;
  kBamKind.derive(bam_);
  bam_->inc1 = 1.0f;
  bam_->inc2 = 2.0f;
  bam_->phase1 = 126.5f;
  bam_->phase2 = 10.0f;
  render();
  EXPECT_EQ(buf_[2], 7168.0f);  // without sync oscillator 2 runs on
}

TEST_F(BamOscillatorTest, HoldOf100GivesTreadsOf100Samples) {
  bam_->wt1 = wavetables[kSine];
  bam_->freq1 = 50.0f;
  bam_->sh1 = 100;
  kBamKind.derive(bam_);
  float out[6 * kBlockFrames];
  for (int b = 0; b < 6; ++b) {
    render();
    std::copy(buf_, buf_ + kBlockFrames, out + b * kBlockFrames);
  }
  int last_change = 0;
  int treads = 0;
  for (int i = 1; i < 6 * kBlockFrames; ++i) {
    if (out[i] != out[i - 1]) {
      if (last_change > 0) {
        EXPECT_EQ(i - last_change, 100) << "change at " << i;
        ++treads;
      }
      last_change = i;
    }
  }
  EXPECT_GE(treads, 5);
  EXPECT_EQ(out[0], 0.0f);     // the first sample reads the table at phase 0
  EXPECT_NE(out[100], out[99]);
}

TEST_F(BamOscillatorTest, DerivedFieldsClampFrequencyAndOffset) {
  bam_->freq1 = 10000.0f;
  bam_->offset = 3.0f;
  kBamKind.derive(bam_);
  EXPECT_FLOAT_EQ(bam_->offset, 2.0f);
  EXPECT_FLOAT_EQ(bam_->inc1, 10000.0f * kHzToTablePoints);
  EXPECT_FLOAT_EQ(bam_->inc2, 2.0f * bam_->inc1);

  bam_->freq1 = 30000.0f;
  kBamKind.derive(bam_);
  EXPECT_EQ(bam_->freq1, 22050.0f);
  bam_->freq1 = NAN;
  bam_->offset = -2.0f;
  kBamKind.derive(bam_);
  EXPECT_EQ(bam_->freq1, 0.0f);
  EXPECT_EQ(bam_->offset, 0.0f);
}

TEST_F(BamOscillatorTest, MixAndRingWeights) {
  bam_->wt1 = wavetables[kSq];
  bam_->wt2 = wavetables[kSq];
  bam_->freq1 = 100.0f;
  bam_->offset = 1.0f;
  bam_->oscmix = 0.25f;
  bam_->ringmix = 0.5f;
  kBamKind.derive(bam_);
  bam_->phase1 = bam_->phase2 = 10.0f;
  render();
  // Both read 32768: 0.5 * (0.25 + 0.75) * 32768 + 0.5 * 32768 * 32768 / 32768.
  EXPECT_FLOAT_EQ(buf_[0], 32768.0f);
  bam_->phase2 = 70.0f;  // oscillator 2 now reads -32768
  render();
  EXPECT_FLOAT_EQ(buf_[0], 0.5f * (0.25f * 32768.0f - 0.75f * 32768.0f) - 0.5f * 32768.0f);
}

TEST_F(BamOscillatorTest, RestartResetsOnlyPeriodicTables) {
  bam_->wt1 = wavetables[kSine];
  bam_->wt2 = wavetables[kSq];
  bam_->freq1 = 300.0f;
  bam_->offset = 1.0f;
  kBamKind.derive(bam_);
  render();
  const float phase2 = bam_->phase2;
  ASSERT_GT(bam_->phase1, 0.0f);
  kBamKind.restart(bam_);
  EXPECT_EQ(bam_->phase1, 0.0f);
  EXPECT_EQ(bam_->phase2, phase2);
}

TEST_F(BamOscillatorTest, EveryTableAtEveryPitchStaysFiniteAndInRange) {
  for (int table = 0; table < kWavetableCount; table += 3) {
    for (float hz : {0.0f, 27.5f, 1000.0f, 22050.0f}) {
      kBamKind.init(bam_);
      bam_->wt1 = bam_->wt2 = wavetables[table];
      bam_->freq1 = hz;
      bam_->offset = 4.0f;
      bam_->oscmix = 0.5f;
      bam_->ringmix = 0.5f;
      kBamKind.derive(bam_);
      for (int b = 0; b < 20; ++b) {
        render();
        ASSERT_TRUE(test::all_finite(buf_, kBlockFrames));
        for (float v : buf_) ASSERT_LE(std::fabs(v), 32769.0f);
        ASSERT_GE(bam_->phase1, 0.0f);
        ASSERT_LE(bam_->phase1, 128.0f);
        ASSERT_LE(bam_->phase2, 128.0f);
      }
    }
  }
}

}  // namespace
}  // namespace zorbel
