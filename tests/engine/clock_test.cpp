// Step timing: frame arithmetic, carry and swing.
#include <vector>

#include "engine/clock.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

using ClockTest = EngineTest;

std::vector<long> lengths(const std::vector<long>& fired) {
  std::vector<long> out;
  for (size_t i = 1; i < fired.size(); ++i) out.push_back(fired[i] - fired[i - 1]);
  return out;
}

TEST_F(ClockTest, StraightTempoStepsRepeatThreeShortOneLong) {
  const auto fired = step_frames(2757L * 20);
  ASSERT_GE(fired.size(), 13u);
  EXPECT_EQ(fired[0], 2757);
  const auto len = lengths(fired);
  for (size_t i = 0; i + 4 <= 12; i += 4) {
    EXPECT_EQ(len[i], 2757) << i;
    EXPECT_EQ(len[i + 1], 2757) << i;
    EXPECT_EQ(len[i + 2], 2758) << i;
    EXPECT_EQ(len[i + 3], 2757) << i;
  }
}

TEST_F(ClockTest, AverageStepIsIntervalPlusOneFrame) {
  const auto fired = step_frames(2757L * 401);
  const double average = static_cast<double>(fired.back() - fired.front()) / (fired.size() - 1);
  EXPECT_NEAR(average, 2757.25, 0.01);
}

TEST_F(ClockTest, SwingOneStepAlternatesShortFirstAfterReset) {
  song.swing_pct = 75.0f;
  song.swing_steps = 1;
  reset_playback();
  const auto len = lengths(step_frames(2757L * 30));
  ASSERT_GE(len.size(), 10u);
  // Plain interval 2756.25: 0.5x = 1378.125 and 1.5x = 4134.375, plus the carry frame.
  for (size_t i = 0; i < 10; ++i) {
    if (i % 2 == 0)
      EXPECT_NEAR(len[i], 1379, 1) << i;
    else
      EXPECT_NEAR(len[i], 4135, 1) << i;
  }
}

TEST_F(ClockTest, SwingGroupsFollowSwingSteps) {
  song.swing_pct = 60.0f;
  song.swing_steps = 4;
  reset_playback();
  const auto len = lengths(step_frames(2757L * 40));
  ASSERT_GE(len.size(), 19u);
  const auto is_long = [](long l) { return l > 2800; };
  // The counter starts at S-1, so the first group of long steps has three, then groups of four
  // alternate.
  std::vector<bool> pattern;
  for (size_t i = 0; i < 15; ++i) pattern.push_back(is_long(len[i]));
  EXPECT_EQ(pattern, (std::vector<bool>{true, true, true, false, false, false, false, true, true,
                                        true, true, false, false, false, false}));
}

TEST_F(ClockTest, TempoChangeTakesEffectFromTheNextStep) {
  auto fired = step_frames(2757);
  ASSERT_EQ(fired.size(), 1u);
  song.bpm = 60.0f;
  // The step already loaded keeps its length; the one after is twice as long.
  fired = step_frames(2757L + 5514L + 10);
  const auto len = lengths(fired);
  ASSERT_GE(fired.size(), 2u);
  EXPECT_LE(fired[0], 2758);
  EXPECT_NEAR(len[0], 5513.5, 1.0);
}

TEST_F(ClockTest, SeqlenSixteenWrapsStepPos) {
  song.track_count = 1;
  song.seqlen = 16;
  reset_play_cursor(0);
  const auto fired = step_frames(2758L * 16);
  ASSERT_EQ(fired.size(), 16u);
  EXPECT_EQ(transport.step_pos, 0);
}

TEST_F(ClockTest, SeqlenOneAlwaysPlaysStepZero) {
  song.seqlen = 1;
  step_frames(2758L * 5);
  EXPECT_EQ(transport.step_pos, 0);
}

TEST_F(ClockTest, ResetPlaybackRewindsWithoutTouchingCountdown) {
  step_frames(2757L * 3 + 100);
  const float countdown = transport.step_countdown;
  transport.song_pos = 7;
  reset_playback();
  EXPECT_EQ(transport.step_pos, 0);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.swing_counter, song.swing_steps - 1);
  EXPECT_EQ(transport.step_countdown, countdown);
}

}  // namespace
}  // namespace zorbel::test
