// The two-operator FM engine, with the phase wraps and feedback choice BFM shares.
#pragma once

#include <cmath>
#include <cstdint>

#include "synth/mod_envelope.h"
#include "synth/module.h"
#include "synth/pitch_limits.h"

namespace zorbel {

extern const KindOps kFmKind;

// Phases count 0..44100 per cycle, so a phase increment per sample is a frequency in Hz.
constexpr float kPhaseCycle = 44100.0f;
// A hold counter value that makes the next sample read or advance whatever the hold count.
constexpr int32_t kHoldExpired = 8388607;

// The modulator's phase wrap: 44100 off while above a cycle (increments stay below one cycle, so
// once is enough; far-out values are brought in whole so the loop never spins).
inline float step_down_phase(float phase) {
  if (phase > kPhaseCycle) {
    phase -= kPhaseCycle;
    if (phase > kPhaseCycle) phase -= std::trunc(phase / kPhaseCycle) * kPhaseCycle;
  }
  return phase;
}

// The carrier's phase wrap: back into 0..44100 by whole cycles, whatever the modulation depth.
inline float wrap_carrier_phase(float phase) {
  if (phase > kPhaseCycle) {
    phase -= std::trunc(phase / kPhaseCycle) * kPhaseCycle;
  } else if (phase < 0.0f) {
    phase -= std::trunc(phase / kPhaseCycle - 1.0f) * kPhaseCycle;
  }
  return phase;
}

// FBTYPE: 0 "MM", 1 "MC", 2 "CM", 3 "CC" name the sources of feedback A (modulator position)
// and B (carrier position); other values read as "MM".
inline bool feedback_a_is_carrier(int fbtype) { return fbtype == 2 || fbtype == 3; }
inline bool feedback_b_is_carrier(int fbtype) { return fbtype == 1 || fbtype == 3; }

// Kind 2. Fields in parameter order (CARRWARP and CARRWARPWT act on the LFO and have no field).
struct FmEngine : ModuleBase {
  int16_t carrsh;           // carrier hold: its phase advances every CARRSH samples
  float carrfreq;           // Hz; the pitch glide's target
  float expmult;            // pitch-glide ratio per block
  float endoffset;          // pitch-glide end as a multiple of the pitch
  const float* carrwt;      // carrier wavetable row
  float modindex;
  ModEnvelope env;          // DELAY, ATTACK, DECAY, DECAYMIN, SUSTAIN, RELEASE
  int16_t modsh;            // modulator hold
  float modoffset;          // modulator frequency as a multiple of CARRFREQ
  const float* modwt;
  int16_t fbtype;
  float carrfb;
  float modfb;
  // Derived: carrier phase change per unit of modulator output.
  float depth;
  // Running state.
  float mod_phase;          // 0..44100
  float carr_phase;
  int32_t mod_hold;
  int32_t carr_hold;
  float mod_feedback;       // 16-bit scale, last sample's
  float carr_feedback;
};

}  // namespace zorbel
