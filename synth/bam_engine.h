// The BAM generator: two table oscillators with sample-and-hold, sync, mix and ring product.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

struct BamEngine : ModuleBase {
  // Parameters, in list order.
  int16_t sh1;           // oscillator 1 hold in samples (0 or 1: every sample)
  float freq1;           // Hz, 0..22050
  float expmult;         // pitch-glide ratio per block
  float endoffset;       // pitch-glide end as a multiple of freq1
  const float* wt1;      // oscillator 1 wavetable row
  int16_t sh2;
  float offset;          // oscillator 2 frequency as a multiple of freq1, 0..4
  const float* wt2;
  int16_t oscsync;       // 1: oscillator 1 wrapping resets oscillator 2's phase
  float oscmix;          // weight of oscillator 1
  float ringmix;         // weight of the ring product
  float warp;            // pitch LFO amount (acts on the synth's LFO)
  float warp_table;      // pitch LFO wavetable (acts on the synth's LFO)
  // Running state.
  float phase1, phase2;  // table points, 0..128
  float inc1, inc2;      // table points per sample
  int32_t hold1, hold2;  // samples since the held value was read
  float held1, held2;
  float oscmix_rest;     // 1 - oscmix
  float ringmix_rest;    // 1 - ringmix
};

extern const KindOps kBamKind;

}  // namespace zorbel
