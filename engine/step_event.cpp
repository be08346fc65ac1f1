// Step triggering: probability draw, parameter apply and voice start for each track.
#include "engine/step_event.h"

#include <atomic>

#include "engine/engine_hooks.h"
#include "engine/song.h"

namespace zorbel {

namespace {
float step_values[PARAM_SLOTS];  // the current step's value of every slot of one track
// Published once per step event; relaxed, as the reader only paints with it.
std::atomic<int> full_triggers{0};
}

void step_event() {
  const uint16_t seqlen = shared_load(song.seqlen);
  const int steps = seqlen > 0 ? seqlen : 1;
  const int pos = transport.step_pos % steps;
  const int loop = transport.current_loop;
  bool triggered = false;
  int full = 0;
  for (int t = 0; t < song.track_count; ++t) {
    const int count = song.param_count[t];
    for (int k = 0; k < count; ++k) {
      const float* row = song.param_slot[t][k].row;
      step_values[k] = row ? shared_load(row[pos]) : 0.0f;
    }
    const PlayCursor& cursor = transport.play_cursor[t];
    const float p = cursor.trig_row ? static_cast<float>(shared_load(cursor.trig_row[pos])) : 0.0f;
    if (p == 100.0f) ++full;
    // The draw is made for every track, sounding or not, so the random sequence does not
    // depend on the pattern.
    const float r = hooks.random_percent ? hooks.random_percent() : 100.0f;
    if (r < p && shared_load(song.loop_track_enable[loop][t]) != 0) {
      triggered = true;
      if (hooks.apply_step_params) hooks.apply_step_params(t, step_values);
      const bool legato = (shared_load(song.legato_steps[loop][t]) >> pos) & 1u;
      if (hooks.voice_start) hooks.voice_start(t, shared_load(cursor.vol_row[pos]), legato);
    }
  }
  full_triggers.store(full, std::memory_order_relaxed);
  transport.sounding_step = static_cast<uint16_t>(pos);
  transport.step_pos = static_cast<uint16_t>((pos + 1) % steps);
  if (triggered && hooks.update_derived) hooks.update_derived();
}

int last_full_trigger_count() { return full_triggers.load(std::memory_order_relaxed); }

}  // namespace zorbel
