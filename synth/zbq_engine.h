// The pulse engine: two pulse oscillators of set widths, mixed.
#pragma once

#include "synth/module.h"

namespace zorbel {

extern const KindOps kZbqKind;

// Kind 5. Fields in parameter order (WARP and WARPWT act on the LFO and have no field).
struct ZbqEngine : ModuleBase {
  float freq1;      // Hz; the pitch glide's target
  float expmult;
  float endoffset;
  float pw1;        // share of oscillator 1's period spent high, 0.001..0.999
  float offset2;    // oscillator 2 frequency as a multiple of FREQ1
  float pw2;
  float mix;        // weight of oscillator 1
  // Derived half-periods in samples: [0] while high, [1] while low.
  float half1[2];
  float half2[2];
  // Running state: levels +-32768 and samples into the current half-period.
  float level1;
  float level2;
  float counter1;
  float counter2;
};

}  // namespace zorbel
