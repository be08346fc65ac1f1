// The plucked-string engine: a noise-filled delay line averaged at random.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kKsKind;

// Entries of every string's delay line: the length for the lowest pitch it can hold (8 Hz).
constexpr int kKsLineSize = 5513;

// Kind 4. Fields in parameter order (WARP and WARPWT act on the LFO and have no field).
struct KsEngine : ModuleBase {
  float filtprob;   // chance (0..1) that a sample is filtered rather than passed on
  float asprob1;    // chance of averaging (sum) rather than differencing
  float asprob2;    // chance of keeping the sign
  float avefac;     // gain of the averaging
  float freq;       // Hz; the pitch glide's target
  float expmult;
  float endoffset;
  // Derived: the string length in line entries, 8..5513.
  int32_t length;
  // Running state.
  int32_t pos;      // 0..length-1 while playing
  float line[kKsLineSize];
};

}  // namespace zorbel
