// Step triggering with the real random table: hit rates and the random positions each event uses.
#include "engine/engine_hooks.h"
#include "engine/step_event.h"
#include "engine/synth_tracks.h"
#include "synth/random_table.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

void (*real_voice_start)(int, float, bool) = nullptr;
int voice_starts = 0;

class StepOddsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (int t = 0; t < 3; ++t) build_synth(t, 0);  // BAM
    sort_registry();
    song.track_count = 3;
    for (int t = 0; t < 3; ++t) reset_play_cursor(t);
    real_voice_start = hooks.voice_start;
    voice_starts = 0;
    hooks.voice_start = [](int t, float v, bool legato) {
      if (t == 0) ++voice_starts;
      real_voice_start(t, v, legato);
    };
  }
};

TEST_F(StepOddsTest, TrigFiftySoundsInAboutHalfThePasses) {
  for (int s = 0; s < MAX_STEPS; ++s) song.step_trig[0][0][s] = 50;
  constexpr int kEvents = 6400;
  for (int i = 0; i < kEvents; ++i) step_event();
  const double rate = static_cast<double>(voice_starts) / kEvents;
  EXPECT_GT(rate, 0.45);
  EXPECT_LT(rate, 0.55);
}

TEST_F(StepOddsTest, TrigZeroNeverAndHundredAlways) {
  for (int s = 0; s < MAX_STEPS; ++s) song.step_trig[0][0][s] = 0;
  for (int i = 0; i < 2000; ++i) step_event();
  EXPECT_EQ(voice_starts, 0);
  for (int s = 0; s < MAX_STEPS; ++s) song.step_trig[0][0][s] = 100;
  for (int i = 0; i < 2000; ++i) step_event();
  EXPECT_EQ(voice_starts, 2000);
}

TEST_F(StepOddsTest, EveryEventUsesTwoRandomPositionsPerSilentTrack) {
  const int before = random_read_position();
  step_event();
  EXPECT_EQ(random_read_position(), (before + 6) % kRandomTableSize);
}

}  // namespace
}  // namespace zorbel::test
