// The DADSR envelope of an FM modulator, stepped every 32 samples.
#pragma once

#include <cstdint>

#include "synth/envelope_stage.h"

namespace zorbel {

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
  int16_t stage = kStageRelease;  // an EnvelopeStage
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
    case kStageDelay:
      if (env.delay < ++env.delay_counter) env.stage = kStageAttack;
      break;
    case kStageAttack:
      env.level += env.attack_inc;
      if (env.level >= 1.0f) {
        env.level = 1.0f;
        env.stage = kStageDecay;
      }
      break;
    case kStageDecay:
      env.level -= env.decay_dec;
      if (env.level <= env.decaymin) {
        env.level = env.decaymin;
        env.stage = kStageSustain;
      }
      break;
    case kStageSustain:
      if (env.sustain <= ++env.sustain_counter) env.stage = kStageRelease;
      break;
    default:
      env.level -= env.release_dec;
      if (env.level < 0.0f) env.level = 0.0f;
      break;
  }
  return env.level;
}

// Ticks the envelope through `frames` samples, calling stretch(from, to, level) for each run of
// samples at one level: a run's first tick may step the envelope, the ticks after it only count
// until the next control period. The same levels as mod_envelope_tick, sample by sample.
template <typename Stretch>
inline void mod_envelope_stretches(ModEnvelope& env, int frames, Stretch&& stretch) {
  int i = 0;
  while (i < frames) {
    const float level = mod_envelope_tick(env);
    const int counting = env.control_counter < 31 ? 31 - env.control_counter : 0;
    const int end = i + 1 + counting < frames ? i + 1 + counting : frames;
    env.control_counter += end - i - 1;
    stretch(i, end, level);
    i = end;
  }
}

}  // namespace zorbel
