// The BFM engine: a two-oscillator modulator with envelope and feedback driving a carrier pair.
#include "synth/bfm_engine.h"

#include "synth/phase_positions.h"
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

// One oscillator pair's mix for every sample of the block, from its readings stored as pairs
// (first, second): ring_inv * (mix * first + mix_inv * second) + ring * first * second / 32768.
void mix_pairs(const float* pairs, float* out, float mix, float ring) {
  const Float4 mix4 = splat4(mix);
  const float mix_inv = 1.0f - mix;
  const Float4 mix_inv4 = splat4(mix_inv);
  const Float4 ring4 = splat4(ring);
  const float ring_inv = 1.0f - ring;
  const Float4 ring_inv4 = splat4(ring_inv);
  const Float4 scale = splat4(32768.0f);
  for (int i = 0; i < kBlockFrames; i += 4) {
    const Float4 a = load4(pairs + 2 * i), b = load4(pairs + 2 * i + 4);
    const Float4 first = even_lanes(a, b), second = odd_lanes(a, b);
    store4(out + i, add4(mul4(ring_inv4, add4(mul4(mix4, first), mul4(mix_inv4, second))),
                         div4(mul4(mul4(ring4, first), second), scale)));
  }
}

// One sample's advance of the modulator pair's phases, as bfm_run makes it.
inline void step_modulators(float& p_m1, float& p_m2, float m1_inc, float m2_inc, bool msync) {
  p_m1 += m1_inc;
  if (p_m1 > kPhaseCycle) {
    p_m1 = step_down_phase(p_m1);
    if (msync) p_m2 = 0.0f;
  }
  p_m2 = step_down_phase(p_m2 + m2_inc);
}

// One sample's advance of the carrier pair's phases, as bfm_run makes it.
inline void step_carriers(float& p_c1, float& p_c2, float c1_inc, float c2_inc, bool csync) {
  p_c1 += c1_inc;
  if (p_c1 > kPhaseCycle) {
    if (csync) p_c2 = 0.0f;
  }
  p_c1 = wrap_carrier_phase(p_c1);
  p_c2 = wrap_carrier_phase(p_c2 + c2_inc);
}

// The readings of one oscillator pair through the block, stored as pairs (first, second), two
// samples per four-lane read: the phases of samples i and i + 1 in lanes 0-1 and 2-3. incs holds
// each sample's two increments, one pair per sample, and one pair more. While the phases of the
// next two samples stay inside the table without a wrap, they are the plain sums; otherwise
// `step` advances them one sample at a time. Returns the phases after the block in lanes 0-1.
template <bool kSameIncs, typename Step>
Float4 read_pair_block(const float* const tables[4], float p1, float p2, const float* incs,
                       float* pairs, Step step) {
  float q1 = p1, q2 = p2;
  step(q1, q2, 0);
  Float4 phase = float4(p1, p2, q1, q2);
  Float4 pos = table_positions(phase);
  for (int i = 0; i < kBlockFrames; i += 2) {
    store4(pairs + 2 * i, read_tables4(tables, pos));
    // Increments of samples i + 1 and i + 2.
    const Float4 add = kSameIncs ? load4(incs) : load4(incs + 2 * (i + 1));
    const Float4 next = add4(upper_pair(phase), add);
    const Float4 ahead = lower_pairs(next, add4(next, upper_pair(add)));
    if (!any_outside(ahead, kLastPhaseInTable)) {
      phase = ahead;  // no wrap, no sync, and every position stays inside the table
      pos = scale4(phase, kHzToTablePoints);
      continue;
    }
    float a1 = lane2(phase), a2 = lane3(phase);
    step(a1, a2, i + 1);
    float b1 = a1, b2 = a2;
    step(b1, b2, i + 2);
    phase = float4(a1, a2, b1, b2);
    pos = table_positions(phase);
  }
  return phase;
}

// The common case of bfm_run<false> with every hold at 0 or 1 (a hold counter never falls below
// 0, so each sample reads all four tables). Without feedback nothing of the carrier reaches the
// modulator, so the block runs in passes: the modulator pair's readings, its mix and envelope
// into the carrier's increments, the carrier pair's readings, its mix. Each pass carries only
// its phases from sample to sample, so the samples overlap; the same sums in the same order.
void bfm_run_unheld(BfmEngine& e, float* buf) {
  const bool msync = e.moscsync == 1, csync = e.coscsync == 1;
  const float m1_inc = e.m1_inc, m2_inc = e.m2_inc;
  const float cfreq = e.cfreq1, coffset = e.coffset, depth = e.depth;
  const float* const modulators[4] = {e.mwt1, e.mwt2, e.mwt1, e.mwt2};
  const float* const carriers[4] = {e.cwt1, e.cwt2, e.cwt1, e.cwt2};
  float pairs[2 * kBlockFrames];     // one pair's readings, sample by sample
  float mod[kBlockFrames];           // the modulator mix, before the envelope
  float incs[2 * kBlockFrames + 2];  // the carriers' increments, pair by pair

  // Positions come from the phases before each sample's advance (no feedback adds to them).
  const float m_incs[4] = {m1_inc, m2_inc, m1_inc, m2_inc};
  Float4 phase = read_pair_block<true>(modulators, e.phase[kM1], e.phase[kM2], m_incs, pairs,
                                       [&](float& p1, float& p2, int) {
                                         step_modulators(p1, p2, m1_inc, m2_inc, msync);
                                       });
  e.phase[kM1] = lane0(phase);
  e.phase[kM2] = lane1(phase);
  e.held[kM1] = pairs[2 * kBlockFrames - 2];
  e.held[kM2] = pairs[2 * kBlockFrames - 1];
  mix_pairs(pairs, mod, e.moscmix, e.mringmix);

  // inc = depth * (mod * level) + cfreq for carrier 1, inc * coffset for carrier 2.
  mod_envelope_stretches(e.env, kBlockFrames, [&](int from, int to, float level) {
    const Float4 level4 = splat4(level);
    const Float4 depth4 = splat4(depth);
    const Float4 cfreq4 = splat4(cfreq);
    const Float4 coffset4 = splat4(coffset);
    int i = from;
    for (; i + 4 <= to; i += 4) {
      const Float4 inc = add4(mul4(depth4, mul4(load4(mod + i), level4)), cfreq4);
      const Float4 inc2 = mul4(inc, coffset4);
      store4(incs + 2 * i, interleave_low(inc, inc2));
      store4(incs + 2 * i + 4, interleave_high(inc, inc2));
    }
    for (; i < to; ++i) {
      incs[2 * i] = depth * (mod[i] * level) + cfreq;
      incs[2 * i + 1] = incs[2 * i] * coffset;
    }
  });
  // The pair past the block only feeds a phase that is never used.
  incs[2 * kBlockFrames] = incs[2 * kBlockFrames + 1] = 0.0f;

  phase = read_pair_block<false>(carriers, e.phase[kC1], e.phase[kC2], incs, pairs,
                                 [&](float& p1, float& p2, int i) {
                                   step_carriers(p1, p2, incs[2 * i], incs[2 * i + 1], csync);
                                 });
  e.phase[kC1] = lane0(phase);
  e.phase[kC2] = lane1(phase);
  e.held[kC1] = pairs[2 * kBlockFrames - 2];
  e.held[kC2] = pairs[2 * kBlockFrames - 1];
  mix_pairs(pairs, buf, e.coscmix, e.cringmix);

  for (int k = 0; k < 4; ++k) e.hold[k] = 0;
  // Gains of 0 (or -0): what the loop of bfm_run<false> leaves, a signed zero (or a NaN).
  e.mod_feedback = mod[kBlockFrames - 1] * (e.modfb * 0.4f);
  e.carr_feedback = buf[kBlockFrames - 1] * (e.carrfb * 0.4f);
}

void bfm_render(ModuleBase* m, float* buf) {
  BfmEngine& e = *static_cast<BfmEngine*>(m);
  if (e.modfb != 0.0f || e.carrfb != 0.0f || e.mod_feedback != 0.0f || e.carr_feedback != 0.0f) {
    bfm_run<true>(e, buf);
  } else if (e.msh1 <= 1 && e.msh2 <= 1 && e.csh1 <= 1 && e.csh2 <= 1) {
    bfm_run_unheld(e, buf);
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
