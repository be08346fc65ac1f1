// The rotation engine: a 16-bit pattern rotated left at a rate, played as samples.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kRotKind;

// Kind 6. Fields in parameter order (WARP and WARPWT act on the LFO and have no field).
struct RotEngine : ModuleBase {
  float freq;        // Hz: 16 rotation steps per cycle; the pitch glide's target
  float expmult;
  float endoffset;
  int16_t dist;      // bits rotated per step (taken modulo 16)
  int16_t val;       // the pattern; rotating rewrites it
  // Derived: samples per rotation step.
  float step_length;
  // Running state: samples into the current step.
  float counter;
};

}  // namespace zorbel
