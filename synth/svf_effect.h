// The state-variable filter effect, with optional tracking of the synth's pitch.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kSvfKind;

// Kind 13. Fields in parameter order.
struct SvfEffect : ModuleBase {
  int16_t freqtrack; // "OFF"/"ON": FREQ follows the synth's pitch times OFFSET
  float offset;      // tracking multiple of the pitch
  float res;         // damping
  float freq;        // 0..1, 1.0 at 5512.5 Hz
  int16_t type;      // 0 "HIGH", 1 "BAND", 2 "LOW", 3 and above "NOTCH"
  float mix;
  float mix_inv;     // derived
  // Running state, 16-bit scale: high, band, negated low and notch outputs.
  float high;
  float band;
  float low;
  float notch;
};

}  // namespace zorbel
