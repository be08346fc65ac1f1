// The audition of one step: posted by the main thread, played by the callback.
#include "engine/audition.h"

#include <atomic>
#include <bit>
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

// A live note: bit 63 set, loop in bits 51..57, step 45..50, velocity 38..44, slot 32..37 (63:
// none), the value's float bits in 0..31.
constexpr uint64_t kLivePosted = 1ull << 63;
constexpr uint64_t kNoSlot = 63;
constexpr float kVelocityFull = 127.0f;
std::atomic<uint64_t> live_notes[MAX_TRACKS];
std::atomic<uint32_t> live_tracks{0};  // bit t: track t has a live note waiting

void load_step_values(int track, int loop, int step) {
  const int count = song.param_count[track];
  for (int k = 0; k < count; ++k) {
    const float* lane = song.param_slot[track][k].lane;
    step_values[k] = lane ? shared_load(lane[loop * MAX_STEPS + step]) : 0.0f;
  }
}

void start_voice(int track, float volume) {
  if (hooks.apply_step_params) hooks.apply_step_params(track, step_values);
  if (hooks.voice_start) hooks.voice_start(track, volume, false);
  if (hooks.update_derived) hooks.update_derived();
}

void take_live_notes() {
  uint32_t tracks = live_tracks.exchange(0);
  while (tracks != 0) {
    const int track = std::countr_zero(tracks);
    tracks &= tracks - 1;
    const uint64_t note = live_notes[track].load();
    if ((note & kLivePosted) == 0 || track >= song.track_count) continue;
    const int loop = static_cast<int>((note >> 51) & 0x7F);
    const int step = static_cast<int>((note >> 45) & 0x3F);
    const int velocity = static_cast<int>((note >> 38) & 0x7F);
    const int slot = static_cast<int>((note >> 32) & 0x3F);
    load_step_values(track, loop, step);
    if (slot < song.param_count[track])
      step_values[slot] = std::bit_cast<float>(static_cast<uint32_t>(note & 0xFFFFFFFFu));
    start_voice(track, static_cast<float>(velocity) / kVelocityFull);
  }
}

}  // namespace

void post_live_note(int track, int loop, int step, int slot, float value, int velocity) {
  if (track < 0 || track >= MAX_TRACKS || loop < 0 || loop >= MAX_LOOPS || step < 0 ||
      step >= MAX_STEPS || velocity < 1 || velocity > 127)
    return;
  const uint64_t slot_bits = slot >= 0 && slot < PARAM_SLOTS ? static_cast<uint64_t>(slot) : kNoSlot;
  live_notes[track].store(kLivePosted | (static_cast<uint64_t>(loop) << 51) |
                          (static_cast<uint64_t>(step) << 45) |
                          (static_cast<uint64_t>(velocity) << 38) | (slot_bits << 32) |
                          std::bit_cast<uint32_t>(value));
  live_tracks.fetch_or(1u << track);
  blocks_left.store(kAuditionBuffers);
}

void post_audition(int track, int loop, int step) {
  if (track < 0 || track >= MAX_TRACKS || loop < 0 || loop >= MAX_LOOPS || step < 0 ||
      step >= MAX_STEPS)
    return;
  pending.store(kPosted | (static_cast<uint32_t>(track) << 16) |
                (static_cast<uint32_t>(loop) << 8) | static_cast<uint32_t>(step));
  blocks_left.store(kAuditionBuffers);
}

void take_audition() {
  take_live_notes();
  const uint32_t posted = pending.exchange(0);
  if ((posted & kPosted) == 0) return;
  const int track = static_cast<int>((posted >> 16) & 0xffu);
  const int loop = static_cast<int>((posted >> 8) & 0xffu);
  const int step = static_cast<int>(posted & 0xffu);
  if (track >= song.track_count) return;
  load_step_values(track, loop, step);
  start_voice(track, shared_load(song.step_vol[loop][track][step]));
}

bool audition_buffer_due() {
  int left = blocks_left.load();
  while (left > 0 && !blocks_left.compare_exchange_weak(left, left - 1)) {
  }
  return left > 0;
}

void reset_audition() {
  pending.store(0);
  live_tracks.store(0);
  for (auto& note : live_notes) note.store(0);
  blocks_left.store(0);
}

}  // namespace zorbel
