// The combination filters of the previous and the current sample.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kPcfKind;

// Kind 11. Fields in parameter order.
struct PcfEffect : ModuleBase {
  int16_t filttype;  // 0 "MINDIFF", 1 "PC-XOR", 2 "PC-OR", 3 "PC-AND", 4 "PC-NOT", 5 "PC-RM"
  float control;     // weight of the previous sample
  float mix;
  float control_inv; // derived: 1 - CONTROL
  float limit;       // derived: CONTROL x 32768, 16-bit scale
  float mix_inv;
  float previous;    // running: the filter's last value before mixing
};

}  // namespace zorbel
