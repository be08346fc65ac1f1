// Loudness metering over libebur128.
#include "files/loudness_meter.h"

#include <ebur128.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace zorbel {

namespace {
ebur128_state* meter_state(void* state) { return static_cast<ebur128_state*>(state); }
}  // namespace

LoudnessMeter::LoudnessMeter() : state_(ebur128_init(2, 44100, EBUR128_MODE_I)) {}

LoudnessMeter::~LoudnessMeter() {
  if (!state_) return;
  ebur128_state* state = meter_state(state_);
  ebur128_destroy(&state);
}

void LoudnessMeter::add(const int16_t* frames, long frames_count) {
  for (long i = 0; i < 2 * frames_count; ++i) {
    const int magnitude = std::abs(static_cast<int>(frames[i]));
    if (magnitude > peak_) peak_ = magnitude;
  }
  if (state_) ebur128_add_frames_short(meter_state(state_), frames, static_cast<std::size_t>(frames_count));
}

double LoudnessMeter::integrated_lufs() const {
  double lufs = -std::numeric_limits<double>::infinity();
  if (!state_ || ebur128_loudness_global(meter_state(state_), &lufs) != EBUR128_SUCCESS)
    return -std::numeric_limits<double>::infinity();
  return lufs;
}

double to_dbfs(double level) {
  return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

}  // namespace zorbel
