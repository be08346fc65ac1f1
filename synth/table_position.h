// Table positions for the engines and the wave shaper that never index outside a wavetable.
#pragma once

#include <cmath>

#include "synth/wavetables.h"

namespace zorbel {

// A position in table points brought into 0..128 by one wrap (+128 below 0, -128 above 128),
// which is all that in-range phases and feedback ever need. Anything further out (damaged
// parameters) is folded in whole, and NaN reads position 0.
inline float wrap_table_position(float p) {
  if (p < 0.0f) {
    p += 128.0f;
  } else if (p > 128.0f) {
    p -= 128.0f;
  }
  if (p >= 0.0f && p <= 128.0f) return p;
  if (!std::isfinite(p)) return 0.0f;
  p -= 128.0f * std::floor(p / 128.0f);
  return (p >= 0.0f && p <= 128.0f) ? p : 0.0f;
}

}  // namespace zorbel
