// The clipping effect: limits samples above, or lifts samples below, a threshold.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kClpKind;

// Kind 9. Fields in parameter order.
struct ClpEffect : ModuleBase {
  int16_t type;      // 0 "UNDER": clip above the threshold; 1 "OVER": lift below it
  float max;         // threshold as a share of full scale
  float mix;
  float threshold;   // derived: MAX x 32767, 16-bit scale
  float mix_inv;
};

}  // namespace zorbel
