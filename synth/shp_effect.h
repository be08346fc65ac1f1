// The wave-shaping effect: cubic curves and the first quarter of shaped wavetables.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kShpKind;

// Kind 14. Fields in parameter order.
struct ShpEffect : ModuleBase {
  int16_t type;      // 0 "CUBE0", 1 "CUBE1", 2..14 a shaped sine or triangle table
  float mix;
  float mix_inv;     // derived
};

}  // namespace zorbel
