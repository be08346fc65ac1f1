// The audition of one step: posted by the main thread, played by the callback.
#include "engine/audition.h"

#include <atomic>
#include <cstdint>

#include "engine/engine_hooks.h"
#include "engine/song.h"

namespace zorbel {

namespace {

// One pending audition: bit 31 set, track in bits 16..23, loop in 8..15, step in 0..7.
constexpr uint32_t kPosted = 0x80000000u;
std::atomic<uint32_t> pending{0};
std::atomic<int> blocks_left{0};  // buffers a stopped transport still renders
float step_values[PARAM_SLOTS];  // audio thread only

}  // namespace

void post_audition(int track, int loop, int step) {
  if (track < 0 || track >= MAX_TRACKS || loop < 0 || loop >= MAX_LOOPS || step < 0 ||
      step >= MAX_STEPS)
    return;
  pending.store(kPosted | (static_cast<uint32_t>(track) << 16) |
                (static_cast<uint32_t>(loop) << 8) | static_cast<uint32_t>(step));
  blocks_left.store(kAuditionBuffers);
}

void take_audition() {
  const uint32_t posted = pending.exchange(0);
  if ((posted & kPosted) == 0) return;
  const int track = static_cast<int>((posted >> 16) & 0xffu);
  const int loop = static_cast<int>((posted >> 8) & 0xffu);
  const int step = static_cast<int>(posted & 0xffu);
  if (track >= song.track_count) return;
  const int count = song.param_count[track];
  for (int k = 0; k < count; ++k) {
    const float* lane = song.param_slot[track][k].lane;
    step_values[k] = lane ? shared_load(lane[loop * MAX_STEPS + step]) : 0.0f;
  }
  if (hooks.apply_step_params) hooks.apply_step_params(track, step_values);
  if (hooks.voice_start) hooks.voice_start(track, shared_load(song.step_vol[loop][track][step]), false);
  if (hooks.update_derived) hooks.update_derived();
}

bool audition_buffer_due() {
  int left = blocks_left.load();
  while (left > 0 && !blocks_left.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

void reset_audition() {
  pending.store(0);
  blocks_left.store(0);
}

}  // namespace zorbel
