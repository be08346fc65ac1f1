// The wavetables: computed values, stored data, guard points and the interpolating read.
#include <gtest/gtest.h>

#include <cmath>

#include "synth/random_table.h"
#include "synth/wavetables.h"
#include "tests/support/engine_fixture.h"

namespace zorbel {
namespace {

enum { kSine2 = 1, kSiner3 = 5, kIsine = 7, kIsine2 = 8, kIsine3 = 9, kIsiner2 = 10, kTri = 13,
       kTri2 = 14, kTrir4 = 19, kSaw2 = 21, kSaw3 = 22, kSaw4 = 23, kSawr2 = 24, kSawr3 = 25,
       kSawr4 = 26, kNoise2 = 29, kNoiser4 = 34 };

using WavetableTest = test::EngineTest;

TEST_F(WavetableTest, SineUsesItsOwnStepConstant) {
  EXPECT_EQ(wavetables[kSine][0], 0.0f);
  for (int i = 1; i < 128; ++i)
    EXPECT_NEAR(wavetables[kSine][i], std::sin(i * 0.04908738515625) * 32768.0, 0.01) << i;
  EXPECT_EQ(wavetables[kSine][128], 0.0f);
}

TEST_F(WavetableTest, PowerFamiliesKeepTheSignAndUseExponent033) {
  for (int i = 1; i < 128; ++i) {
    const double s = wavetables[kSine][i];
    EXPECT_NEAR(wavetables[kSine2][i], std::copysign(s * s / 32768.0, s), 0.01) << i;
    const double root = std::copysign(std::pow(std::fabs(s) / 32768.0, 0.33) * 32768.0, s);
    EXPECT_NEAR(wavetables[kSiner3][i], root, 0.02) << i;
  }
  // 0.33 and 1/3 differ clearly at a tenth of the cycle.
  const double s = wavetables[kSine][10];
  EXPECT_GT(std::fabs(wavetables[kSiner3][10] - std::pow(s / 32768.0, 1.0 / 3.0) * 32768.0), 30.0);
  EXPECT_LT(wavetables[kSine2][100], 0.0f);
}

TEST_F(WavetableTest, SawRampJumpAndGuards) {
  const float* saw = wavetables[kSaw];
  EXPECT_EQ(saw[0], 0.0f);
  EXPECT_EQ(saw[1], 512.0f);
  EXPECT_EQ(saw[64], 32768.0f);
  EXPECT_EQ(saw[65], -32768.0f);
  EXPECT_EQ(saw[127], -1024.0f);
  EXPECT_EQ(saw[128], -512.0f);
  for (int t = kSaw2; t <= kSawr4; ++t) EXPECT_EQ(wavetables[t][65], -32768.0f) << t;
  EXPECT_EQ(wavetables[kSaw2][128], -8.0f);
  EXPECT_EQ(wavetables[kSaw3][128], -wavetables[kSaw3][1]);
  EXPECT_EQ(wavetables[kSaw4][128], -wavetables[kSaw4][1]);
  EXPECT_EQ(wavetables[kSawr2][128], 0.0f);
  EXPECT_EQ(wavetables[kSawr3][128], 0.0f);
  EXPECT_EQ(wavetables[kSawr4][128], 0.0f);
}

TEST_F(WavetableTest, TriangleAndSquareShapes) {
  const float* tri = wavetables[kTri];
  EXPECT_EQ(tri[32], 32768.0f);
  EXPECT_EQ(tri[33], 31744.0f);
  EXPECT_EQ(tri[96], -32768.0f);
  EXPECT_EQ(tri[127], -1024.0f);
  EXPECT_EQ(tri[128], 0.0f);
  EXPECT_EQ(wavetables[kTri2][96], -32768.0f);
  EXPECT_EQ(wavetables[kTrir4][128], wavetables[kTrir4][0]);
  const float* sq = wavetables[kSq];
  EXPECT_EQ(sq[0], 1.0f);
  EXPECT_EQ(sq[1], 32768.0f);
  EXPECT_EQ(sq[63], 32768.0f);
  EXPECT_EQ(sq[64], -32768.0f);
  EXPECT_EQ(sq[127], -32768.0f);
  EXPECT_EQ(sq[128], 1.0f);
}

TEST_F(WavetableTest, StoredTablesEntryForEntry) {
  // Spot values across the cycle, both ends (the guard repeats entry 0) and the peaks.
  EXPECT_EQ(wavetables[kIsine][0], -5696.0f);
  EXPECT_EQ(wavetables[kIsine][32], -17990.0f);
  EXPECT_EQ(wavetables[kIsine][70], 547.0f);
  EXPECT_EQ(wavetables[kIsine][96], 31160.0f);
  EXPECT_EQ(wavetables[kIsine][128], -5696.0f);
  EXPECT_EQ(wavetables[kIsine2][0], -5702.0f);
  EXPECT_EQ(wavetables[kIsine2][64], -5703.0f);
  EXPECT_EQ(wavetables[kIsine2][96], 31160.0f);
  EXPECT_EQ(wavetables[kIsine2][128], -5702.0f);
  EXPECT_EQ(wavetables[kIsine3][0], -5703.0f);
  EXPECT_EQ(wavetables[kIsine3][96], 31160.0f);
  EXPECT_EQ(wavetables[kIsine3][127], -5701.0f);
  EXPECT_EQ(wavetables[kIsine3][128], -5703.0f);
  // Plain and position-weighted sums over all 129 entries catch a lost, swapped or mistyped one.
  const long expected[3][2] = {{-5708, 57746980}, {-191366, 32881545}, {-282972, 20033882}};
  for (int t = 0; t < 3; ++t) {
    long sum = 0;
    long weighted = 0;
    for (int i = 0; i <= 128; ++i) {
      sum += static_cast<long>(wavetables[kIsine + t][i]);
      weighted += i * static_cast<long>(wavetables[kIsine + t][i]);
    }
    EXPECT_EQ(sum, expected[t][0]) << t;
    EXPECT_EQ(weighted, expected[t][1]) << t;
  }
  for (int i = 0; i < 128; ++i) {
    const double x = wavetables[kIsine][i];
    EXPECT_NEAR(wavetables[kIsiner2][i], std::copysign(std::sqrt(std::fabs(x) / 32768.0) * 32768.0, x), 0.02);
    EXPECT_EQ(wavetables[kIsine][i], std::round(wavetables[kIsine][i]));  // whole numbers
  }
  EXPECT_EQ(wavetables[kIsiner2][128], wavetables[kIsiner2][0]);
}

TEST_F(WavetableTest, NoiseTablesComeFromTheSeededRandomTable) {
  float first[129];
  seed_random_tables(test::kTestSeed);
  for (float& v : first) v = random_raw();
  for (int i = 0; i <= 128; ++i) EXPECT_EQ(wavetables[kNoise][i], first[i]) << i;
  EXPECT_EQ(wavetables[kNoise2][0], 0.0f);
  EXPECT_EQ(wavetables[kNoiser4][128], wavetables[kNoiser4][0]);
  const double x = wavetables[kNoise][5];
  EXPECT_NEAR(wavetables[kNoise2][5], std::copysign(x * x / 32768.0, x), 0.01);
}

TEST_F(WavetableTest, NamesAndRowsByNumber) {
  EXPECT_STREQ(wavetable_name(0), "SINE");
  EXPECT_STREQ(wavetable_name(20), "SAW");
  EXPECT_STREQ(wavetable_name(27), "SQ");
  EXPECT_STREQ(wavetable_name(34), "NOISER4");
  EXPECT_EQ(wavetable_row(20.9f), wavetables[20]);
  // Damaged numbers stay inside the tables.
  EXPECT_EQ(wavetable_row(-3.0f), wavetables[0]);
  EXPECT_EQ(wavetable_row(1e9f), wavetables[34]);
  EXPECT_EQ(wavetable_row(NAN), wavetables[0]);
  EXPECT_EQ(wavetable_number(wavetables[13]), 13);
  EXPECT_TRUE(table_is_periodic(26));
  EXPECT_FALSE(table_is_periodic(27));
}

TEST_F(WavetableTest, ReadInterpolatesAndAPhaseOf128ReadsTheGuard) {
  const float* saw = wavetables[kSaw];
  EXPECT_EQ(read_table(saw, 128.0f), -512.0f);
  EXPECT_EQ(read_table(saw, 127.5f), -768.0f);
  EXPECT_EQ(read_table(saw, 10.25f), 5248.0f);
  EXPECT_EQ(read_table(saw, 0.0f), 0.0f);
}

}  // namespace
}  // namespace zorbel
