// The FM modulator envelope's derived rates, note start and note-off.
#include "synth/mod_envelope.h"

namespace zorbel {

namespace {

// Level change per control period for a stage lasting one second (32 / 44100).
constexpr float kControlPeriodSeconds = 0.00072562357f;

float seconds_or_one(float s) { return s > 0.0f ? s : 1.0f; }

}  // namespace

void mod_envelope_derive(ModEnvelope& env) {
  const float attack = seconds_or_one(env.attack);
  const float decay = seconds_or_one(env.decay);
  const float release = seconds_or_one(env.release);
  env.attack_inc = (1.0f / attack) * kControlPeriodSeconds;
  env.decay_dec = (1.0f - env.decaymin) * (1.0f / decay) * kControlPeriodSeconds;
  env.release_dec =
      env.decaymin == 0.0f ? 1.0f : (1.0f / release) * kControlPeriodSeconds * env.decaymin;
}

void mod_envelope_restart(ModEnvelope& env) {
  env.control_counter = 0;
  env.delay_counter = 0;
  env.sustain_counter = 0;
  if (env.attack_inc > 0.05f) {
    env.stage = kStageDecay;
    env.level = 1.0f;
  } else {
    env.stage = kStageDelay;
    env.level = 0.0f;
  }
}

void mod_envelope_reset(ModEnvelope& env) {
  env.control_counter = 0;
  env.delay_counter = 0;
  env.sustain_counter = 0;
  env.stage = kStageRelease;
  env.level = 0.0f;
}

}  // namespace zorbel
