// The bit-mask effect: OR, AND, XOR or NOT of each sample's 16 bits.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kMskKind;

// Kind 8. Fields in parameter order.
struct MskEffect : ModuleBase {
  int16_t type;      // 0 "OR", 1 "AND", 2 "XOR", 3 and above "NOT"
  int16_t maskval;   // 16-bit pattern
  float mix;         // weight of the masked sample
  float mix_inv;     // derived: 1 - MIX
};

}  // namespace zorbel
