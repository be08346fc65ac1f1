// Step triggering logic: who sounds, what is applied, and how the random draws are spent.
#include <vector>

#include "engine/engine_hooks.h"
#include "engine/freq_mode.h"
#include "engine/step_event.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

struct Recorded {
  int track;
  float volume;
  bool legato;
  float first_value;
};
std::vector<Recorded> starts;
std::vector<int> applied;
float next_draw = 0.0f;
int draws = 0;
int derived_updates = 0;

class StepEventTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    starts.clear();
    applied.clear();
    draws = 0;
    derived_updates = 0;
    next_draw = 50.0f;
    hooks.random_percent = [] {
      ++draws;
      return next_draw;
    };
    hooks.apply_step_params = [](int t, const float* values) {
      applied.push_back(t);
      last_values = values[0];
    };
    hooks.voice_start = [](int t, float v, bool legato) {
      starts.push_back({t, v, legato, last_values});
    };
    hooks.update_derived = [] { ++derived_updates; };
    song.track_count = 3;
    for (int t = 0; t < 3; ++t) {
      reset_play_cursor(t);
      song.param_count[t] = 1;
      song.param_slot[t][0].lane = lanes[t];
      song.param_slot[t][0].row = lanes[t];
      for (int i = 0; i < kLaneLength; ++i) lanes[t][i] = static_cast<float>(t * 1000 + i);
    }
  }
  void TearDown() override {
    for (int t = 0; t < 3; ++t) song.param_slot[t][0] = ParamSlot{};
    EngineTest::TearDown();
  }
  static inline float last_values = 0.0f;
  float lanes[3][kLaneLength];
};

TEST_F(StepEventTest, TriggerProbabilityAgainstTheDraw) {
  song.step_trig[0][0][0] = 51;   // 50 < 51: sounds
  song.step_trig[0][1][0] = 50;   // 50 < 50 fails
  song.step_trig[0][2][0] = 200;  // above 100 always sounds
  step_event();
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].track, 0);
  EXPECT_EQ(starts[1].track, 2);
  EXPECT_EQ(draws, 3);  // one draw per track, sounding or not
  EXPECT_EQ(derived_updates, 1);
}

TEST_F(StepEventTest, TrigZeroNeverAndHundredAlmostAlways) {
  song.step_trig[0][0][0] = 0;
  song.step_trig[0][1][0] = 100;
  next_draw = 0.0f;
  step_event();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].track, 1);
  starts.clear();
  transport.step_pos = 0;
  next_draw = 100.0f;  // only a draw of exactly 100 misses TRIG 100
  step_event();
  EXPECT_TRUE(starts.empty());
  EXPECT_EQ(derived_updates, 1);
}

TEST_F(StepEventTest, DisabledTrackNeitherSoundsNorApplies) {
  song.step_trig[0][1][0] = 100;
  song.loop_track_enable[0][1] = 0;
  step_event();
  EXPECT_TRUE(starts.empty());
  EXPECT_TRUE(applied.empty());
  EXPECT_EQ(draws, 3);
}

TEST_F(StepEventTest, AppliesTheCurrentStepsValuesVolumeAndLegato) {
  transport.current_loop = 2;
  for (int t = 0; t < 3; ++t) {
    reset_play_cursor(t);
    song.param_slot[t][0].row = lanes[t] + 2 * 64;
  }
  transport.step_pos = 5;
  song.step_trig[2][1][5] = 100;
  song.step_vol[2][1][5] = 0.25f;
  song.legato_steps[2][1] = 1ull << 5;
  next_draw = 10.0f;
  step_event();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].track, 1);
  EXPECT_FLOAT_EQ(starts[0].volume, 0.25f);
  EXPECT_TRUE(starts[0].legato);
  EXPECT_FLOAT_EQ(starts[0].first_value, 1000.0f + 2 * 64 + 5);
  EXPECT_EQ(transport.step_pos, 6);
}

TEST_F(StepEventTest, TrackWithoutParametersStillSounds) {
  song.param_count[0] = 0;
  song.step_trig[0][0][0] = 100;
  step_event();
  ASSERT_EQ(starts.size(), 1u);
}

TEST_F(StepEventTest, NoTracksDrawsNothing) {
  song.track_count = 0;
  step_event();
  EXPECT_EQ(draws, 0);
  EXPECT_EQ(transport.step_pos, 1);
}

TEST_F(StepEventTest, FreqModeSwitchRewritesPitchLanesOnly) {
  song.freq_mode[0] = 0;
  song.param_slot[0][0].cls = ParamClass::kHzPitch;
  set_freq_mode(0);
  EXPECT_EQ(song.freq_mode[0], 1);
  EXPECT_EQ(song.param_slot[0][0].cls, ParamClass::kNotePitch);
  EXPECT_FLOAT_EQ(song.param_slot[0][0].def, 52.0f);
  EXPECT_FLOAT_EQ(lanes[0][0], 0.0f);
  EXPECT_FLOAT_EQ(lanes[0][kLaneLength - 1], 0.0f);
  set_freq_mode(0);
  EXPECT_EQ(song.freq_mode[0], 0);
  EXPECT_EQ(song.param_slot[0][0].cls, ParamClass::kHzPitch);
  EXPECT_FLOAT_EQ(song.param_slot[0][0].def, 200.0f);
  EXPECT_FLOAT_EQ(lanes[0][77], 0.02f);
  // A non-pitch parameter and a track without pitch are untouched.
  song.param_slot[1][0].cls = ParamClass::kFloat;
  song.freq_mode[1] = 1;
  set_freq_mode(1);
  EXPECT_FLOAT_EQ(lanes[1][3], 1003.0f);
  song.freq_mode[2] = 3;
  song.param_slot[2][0].cls = ParamClass::kNotePitch;
  set_freq_mode(2);
  EXPECT_EQ(song.freq_mode[2], 3);
  EXPECT_FLOAT_EQ(lanes[2][3], 2003.0f);
}

}  // namespace
}  // namespace zorbel::test
