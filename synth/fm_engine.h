// The two-operator FM engine, and the modulator envelope and phase wraps the paired FM engine
// shares with it.
#pragma once

#include <cmath>
#include <cstdint>

#include "synth/module.h"
#include "synth/pitch_limits.h"

namespace zorbel {

extern const KindOps kFmKind;

// Phases count 0..44100 per cycle, so a phase increment per sample is a frequency in Hz.
constexpr float kPhaseCycle = 44100.0f;
// A hold counter value that makes the next sample read or advance whatever the hold count.
constexpr int32_t kHoldExpired = 8388607;

// DADSR envelope of an FM modulator: the voice envelope's stage rules, stepped once per control
// period of 32 samples; stages 5 and above behave as release.
struct ModEnvelope {
  int32_t delay = 0;       // control periods before the attack
  float attack = 1.0f;     // seconds; 0 (or less) means 1
  float decay = 1.0f;      // seconds; 0 (or less) means 1
  float decaymin = 0.5f;   // level at which the decay stops
  int32_t sustain = 0;     // control periods held at decaymin
  float release = 2.0f;    // seconds; 0 (or less) means 1
  // Derived: level change per control period.
  float attack_inc = 0.0f;
  float decay_dec = 0.0f;
  float release_dec = 1.0f;
  // Running state.
  float level = 0.0f;
  int32_t control_counter = 0;  // samples into the current control period
  int16_t stage = 4;            // 0 delay, 1 attack, 2 decay, 3 sustain, 4 release
  int32_t delay_counter = 0;    // control periods
  int32_t sustain_counter = 0;  // control periods
};

void mod_envelope_derive(ModEnvelope& env);
// Note start: delay stage at level 0, or straight into the decay at full level when the attack
// is shorter than 20 control periods.
void mod_envelope_restart(ModEnvelope& env);
// Note-off: released to level 0.
void mod_envelope_reset(ModEnvelope& env);

// One sample: returns the level the modulator is scaled by.
inline float mod_envelope_tick(ModEnvelope& env) {
  if (++env.control_counter < 32) return env.level;
  env.control_counter = 0;
  switch (env.stage) {
    case 0:
      if (env.delay < ++env.delay_counter) env.stage = 1;
      break;
    case 1:
      env.level += env.attack_inc;
      if (env.level >= 1.0f) {
        env.level = 1.0f;
        env.stage = 2;
      }
      break;
    case 2:
      env.level -= env.decay_dec;
      if (env.level <= env.decaymin) {
        env.level = env.decaymin;
        env.stage = 3;
      }
      break;
    case 3:
      if (env.sustain <= ++env.sustain_counter) env.stage = 4;
      break;
    default:
      env.level -= env.release_dec;
      if (env.level < 0.0f) env.level = 0.0f;
      break;
  }
  return env.level;
}

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
