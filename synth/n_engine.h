// The noise engine: random values held for a number of samples.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kNKind;

// Kind 3. Fields in parameter order. The pitch glide drives SAMPHOLD, so the engine has no float
// pitch field.
struct NEngine : ModuleBase {
  int16_t samphold;   // a new random value once the counter passes this many samples
  float expmult;
  float endoffset;
  // Running state.
  int32_t counter;
  float held;         // 16-bit scale
};

}  // namespace zorbel
