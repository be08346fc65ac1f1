// Helpers shared by the engine tests.
#include "tests/support/engine_fixture.h"

#include "engine/clock.h"

namespace zorbel::test {

std::vector<long> step_frames(long frames) {
  std::vector<long> fired;
  for (long f = 1; f <= frames; ++f) {
    const uint16_t before = transport.step_pos;
    const float countdown_before = transport.step_countdown;
    clock_tick();
    // A step event always reloads the countdown upward; step_pos alone misses seqlen 1.
    if (transport.step_pos != before || transport.step_countdown > countdown_before)
      fired.push_back(f);
  }
  return fired;
}

}  // namespace zorbel::test
