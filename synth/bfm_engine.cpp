// The BFM engine: a two-oscillator modulator with envelope and feedback driving a carrier pair.
#include "synth/bfm_engine.h"

#include "synth/pitch_limits.h"
#include "synth/table_position.h"
#include "synth/wavetables.h"

namespace zorbel {

using enum ParamClass;

namespace {

enum Osc { kM1 = 0, kM2 = 1, kC1 = 2, kC2 = 3 };

BfmEngine pool[kPoolSize];

ModuleBase* bfm_pool_slot(int index) { return &pool[index]; }

void bfm_derive(ModuleBase* m) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  e.cfreq1 = clamp_frequency(e.cfreq1);
  e.coffset = limit_offset(e.cfreq1, e.coffset);
  e.mfreq1 = limit_offset(e.cfreq1, e.mfreq1);
  e.m1_inc = e.mfreq1 * e.cfreq1;
  e.moffset = limit_offset(e.m1_inc, e.moffset);
  e.m2_inc = e.m1_inc * e.moffset;
  const float index = std::isfinite(e.modindex) ? e.modindex : 0.0f;
  e.depth = index * e.cfreq1 * e.mfreq1 / 32768.0f;
  mod_envelope_derive(e.env);
}

void bfm_reset(ModuleBase* m) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  for (int k = 0; k < 4; ++k) {
    e.phase[k] = 0.0f;
    e.hold[k] = kHoldExpired;
    e.held[k] = 0.0f;
  }
  e.mod_feedback = 0.0f;
  e.carr_feedback = 0.0f;
  mod_envelope_reset(e.env);
}

void bfm_init(ModuleBase* m) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  e.fmparams = 0;
  e.csh1 = 0;
  e.cfreq1 = 0.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.cwt1 = wavetables[kSine];
  e.csh2 = 0;
  e.coffset = 1.0f;
  e.cwt2 = wavetables[kSine];
  e.coscsync = 0;
  e.coscmix = 0.5f;
  e.cringmix = 0.0f;
  e.modindex = 1.0f;
  e.fbtype = 0;
  e.carrfb = 0.0f;
  e.modfb = 0.0f;
  e.msh1 = 0;
  e.mfreq1 = 2.0f;
  e.mwt1 = wavetables[kSine];
  e.msh2 = 0;
  e.moffset = 1.0f;
  e.mwt2 = wavetables[kSine];
  e.moscsync = 0;
  e.moscmix = 0.5f;
  e.mringmix = 0.0f;
  e.env = ModEnvelope{};
  bfm_reset(m);
  bfm_derive(m);
}

void bfm_restart(ModuleBase* m) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  const float* const tables[4] = {e.mwt1, e.mwt2, e.cwt1, e.cwt2};
  for (int k = 0; k < 4; ++k) {
    e.hold[k] = kHoldExpired;
    if (table_is_periodic(wavetable_number(tables[k]))) e.phase[k] = 0.0f;
  }
  mod_envelope_restart(e.env);
}

// Hold rule of a paired oscillator: a new table value only when the counter reaches the hold.
inline float held_read(const float* table, float position, int32_t& counter, int32_t hold,
                       float& held) {
  if (++counter >= hold) {
    held = read_table(table, position);
    counter = 0;
  }
  return held;
}

// kFeedback false: both feedback gains and both stored feedback signals are 0, so every source
// is 0 and the loop carries no dependency from one sample's output to the next sample's reads.
template <bool kFeedback>
void bfm_run(BfmEngine& e, float* buf) {
  const float* const mwt1 = e.mwt1;
  const float* const mwt2 = e.mwt2;
  const float* const cwt1 = e.cwt1;
  const float* const cwt2 = e.cwt2;
  const bool a_is_carrier = feedback_a_is_carrier(e.fbtype);
  const bool b_is_carrier = feedback_b_is_carrier(e.fbtype);
  const int32_t msh1 = e.msh1, msh2 = e.msh2, csh1 = e.csh1, csh2 = e.csh2;
  const bool msync = e.moscsync == 1, csync = e.coscsync == 1;
  const float m1_inc = e.m1_inc, m2_inc = e.m2_inc;
  const float cfreq = e.cfreq1, coffset = e.coffset, depth = e.depth;
  const float mmix = e.moscmix, mmix_inv = 1.0f - e.moscmix;
  const float mring = e.mringmix, mring_inv = 1.0f - e.mringmix;
  const float cmix = e.coscmix, cmix_inv = 1.0f - e.coscmix;
  const float cring = e.cringmix, cring_inv = 1.0f - e.cringmix;
  const float mod_fb_gain = e.modfb * 0.4f;
  const float carr_fb_gain = e.carrfb * 0.4f;
  float p_m1 = e.phase[kM1], p_m2 = e.phase[kM2], p_c1 = e.phase[kC1], p_c2 = e.phase[kC2];
  float mod_fb = e.mod_feedback, carr_fb = e.carr_feedback;
  // Local copies: buf may alias any float of the instance, which would force reloads.
  int32_t hold[4] = {e.hold[0], e.hold[1], e.hold[2], e.hold[3]};
  float held[4] = {e.held[0], e.held[1], e.held[2], e.held[3]};
  ModEnvelope env = e.env;
  for (int i = 0; i < kBlockFrames; ++i) {
    // Both positions of a pair come from the phases before this sample's advance.
    const float source_a = kFeedback ? (a_is_carrier ? carr_fb : mod_fb) : 0.0f;
    const float m1 = held_read(mwt1, wrap_table_position((source_a + p_m1) * kHzToTablePoints),
                               hold[kM1], msh1, held[kM1]);
    const float m2 = held_read(mwt2, wrap_table_position((source_a + p_m2) * kHzToTablePoints),
                               hold[kM2], msh2, held[kM2]);
    p_m1 += m1_inc;
    if (p_m1 > kPhaseCycle) {
      p_m1 = step_down_phase(p_m1);
      if (msync) p_m2 = 0.0f;
    }
    p_m2 = step_down_phase(p_m2 + m2_inc);
    float mod = mring_inv * (mmix * m1 + mmix_inv * m2) + mring * m1 * m2 / 32768.0f;
    mod_fb = mod * mod_fb_gain;
    mod *= mod_envelope_tick(env);

    const float inc = depth * mod + cfreq;
    const float source_b = kFeedback ? (b_is_carrier ? carr_fb : mod_fb) : 0.0f;
    const float c1 = held_read(cwt1, wrap_table_position((source_b + p_c1) * kHzToTablePoints),
                               hold[kC1], csh1, held[kC1]);
    const float c2 = held_read(cwt2, wrap_table_position((source_b + p_c2) * kHzToTablePoints),
                               hold[kC2], csh2, held[kC2]);
    p_c1 += inc;
    if (p_c1 > kPhaseCycle) {
      if (csync) p_c2 = 0.0f;
    }
    p_c1 = wrap_carrier_phase(p_c1);
    p_c2 = wrap_carrier_phase(p_c2 + inc * coffset);
    const float out = cring_inv * (cmix * c1 + cmix_inv * c2) + cring * c1 * c2 / 32768.0f;
    buf[i] = out;
    carr_fb = out * carr_fb_gain;
  }
  for (int k = 0; k < 4; ++k) {
    e.hold[k] = hold[k];
    e.held[k] = held[k];
  }
  e.env = env;
  e.phase[kM1] = p_m1;
  e.phase[kM2] = p_m2;
  e.phase[kC1] = p_c1;
  e.phase[kC2] = p_c2;
  e.mod_feedback = mod_fb;
  e.carr_feedback = carr_fb;
}

void bfm_render(ModuleBase* m, float* buf) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  if (e.modfb != 0.0f || e.carrfb != 0.0f || e.mod_feedback != 0.0f || e.carr_feedback != 0.0f) {
    bfm_run<true>(e, buf);
  } else {
    bfm_run<false>(e, buf);
  }
}

int bfm_bind(ModuleBase* m, ParamDest* dests) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  const ParamDest list[] = {
      &e.fmparams,    &e.csh1,      &e.cfreq1,    &e.expmult,    &e.endoffset, &e.cwt1,
      &e.csh2,        &e.coffset,   &e.cwt2,      &e.coscsync,   &e.coscmix,   &e.cringmix,
      nullptr,        nullptr,      &e.modindex,  &e.fbtype,     &e.carrfb,    &e.modfb,
      &e.msh1,        &e.mfreq1,    &e.mwt1,      &e.msh2,       &e.moffset,   &e.mwt2,
      &e.moscsync,    &e.moscmix,   &e.mringmix,  &e.env.delay,  &e.env.attack, &e.env.decay,
      &e.env.decaymin, &e.env.sustain, &e.env.release};
  for (int q = 0; q < 33; ++q) dests[q] = list[q];
  return 33;
}

float* bfm_pitch_field(ModuleBase* m) { return &static_cast<BfmEngine*>(m)->cfreq1; }

// Hold counts are 16-bit fields, so their range stops at 32767 samples.
const ParamInfo kBfmParams[] = {
    {"FMPARAMS", kFmView, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"CSH1", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"CFREQ1", kNotePitch, kMidiPitchDefault, 0.0f, 127.0f, {1.0f, 1.0f, 1.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"CWTTYPE1", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"CSH2", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"COFFSET", kFloat, 1.0f, 0.0f, 4.0f, {0.001f, 0.01f, 0.01f}},
    {"CWTTYPE2", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"COSCSYNC", kOnOff, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"COSCMIX", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"CRINGMIX", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"CWARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"CWARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"MODINDEX", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"FBTYPE", kFeedbackRouting, 0.0f, 0.0f, 3.0f, {1.0f, 1.0f, 1.0f}},
    {"CARRFB", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MODFB", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MSH1", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"MFREQ1", kFloat, 2.0f, 0.0f, 10.0f, {0.001f, 0.01f, 0.05f}},
    {"MWTTYPE1", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"MSH2", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"MOFFSET", kFloat, 1.0f, 0.0f, 4.0f, {0.001f, 0.01f, 0.01f}},
    {"MWTTYPE2", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"MOSCSYNC", kOnOff, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"MOSCMIX", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MRINGMIX", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"ATTACK", kAttack, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAY", kDecay, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAYMIN", kDecayMin, 0.5f, 0.0001f, 0.999f, {0.0001f, 0.001f, 0.005f}},
    {"SUSTAIN", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"RELEASE", kRelease, 2.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
};

}  // namespace

const KindOps kBfmKind = {
    kKindBfm,   "BFM",       9.8f,      bfm_pool_slot,   bfm_init,
    bfm_render, bfm_restart, bfm_derive, bfm_reset,      nullptr,
    bfm_bind,   bfm_pitch_field, kBfmParams, 33,
    KindRole::kGenerator, 60, 1,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
