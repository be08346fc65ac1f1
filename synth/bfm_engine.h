// The paired-oscillator FM engine: two-oscillator mixes as modulator and as carrier.
#pragma once

#include <cstdint>

#include "synth/fm_engine.h"

namespace zorbel {

extern const KindOps kBfmKind;

// Kind 1. Fields in parameter order (CWARP and CWARPWT act on the LFO and have no field).
struct BfmEngine : ModuleBase {
  int16_t fmparams;         // the editor's page selector; no effect on the sound
  int16_t csh1;             // carrier oscillator 1 hold: a new table value every CSH1 samples
  float cfreq1;             // Hz; the pitch glide's target
  float expmult;
  float endoffset;
  const float* cwt1;
  int16_t csh2;
  float coffset;            // carrier oscillator 2 frequency as a multiple of oscillator 1's
  const float* cwt2;
  int16_t coscsync;         // 1: carrier oscillator 1 wrapping restarts oscillator 2
  float coscmix;            // weight of carrier oscillator 1
  float cringmix;           // weight of the carrier ring product
  float modindex;
  int16_t fbtype;
  float carrfb;
  float modfb;
  int16_t msh1;
  float mfreq1;             // modulator oscillator 1 frequency as a multiple of CFREQ1
  const float* mwt1;
  int16_t msh2;
  float moffset;            // modulator oscillator 2 frequency as a multiple of oscillator 1's
  const float* mwt2;
  int16_t moscsync;
  float moscmix;
  float mringmix;
  ModEnvelope env;          // DELAY, ATTACK, DECAY, DECAYMIN, SUSTAIN, RELEASE
  // Derived: modulator phase increments (Hz) and carrier phase change per unit of modulator.
  float m1_inc;
  float m2_inc;
  float depth;
  // Running state: phases 0..44100, hold counters and held values of M1, M2, C1, C2.
  float phase[4];
  int32_t hold[4];
  float held[4];
  float mod_feedback;
  float carr_feedback;
};

}  // namespace zorbel
