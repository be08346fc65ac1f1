// The decimation effect: sample-rate and level reduction.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kDecKind;

// Kind 10. Fields in parameter order.
struct DecEffect : ModuleBase {
  int16_t samphold;  // samples each quantised value is held
  float nquants;     // number of levels across the 16-bit range
  float mix;
  float quantum;     // derived: 65536 / (levels - 1), 16-bit scale
  float mix_inv;
  int16_t counter;   // running: samples since the last new value
  float held;        // running: the last output taken
};

}  // namespace zorbel
