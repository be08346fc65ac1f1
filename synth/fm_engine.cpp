// The FM engine: a table modulator with hold, envelope and feedback driving a table carrier.
#include "synth/fm_engine.h"

#include "synth/phase_positions.h"
#include "synth/pitch_limits.h"
#include "synth/table_position.h"
#include "synth/wavetables.h"

namespace zorbel {

using enum ParamClass;

namespace {

FmEngine pool[kPoolSize];

ModuleBase* fm_pool_slot(int index) { return &pool[index]; }

void fm_derive(ModuleBase* m) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  e.carrfreq = clamp_frequency(e.carrfreq);
  e.modoffset = limit_offset(e.carrfreq, e.modoffset);
  const float index = std::isfinite(e.modindex) ? e.modindex : 0.0f;
  e.depth = index * e.carrfreq * e.modoffset / 32768.0f;
  mod_envelope_derive(e.env);
}

void fm_reset(ModuleBase* m) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  e.mod_phase = 0.0f;
  e.carr_phase = 0.0f;
  e.mod_hold = kHoldExpired;
  e.carr_hold = kHoldExpired;
  e.mod_feedback = 0.0f;
  e.carr_feedback = 0.0f;
  mod_envelope_reset(e.env);
}

void fm_init(ModuleBase* m) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  e.carrsh = 0;
  e.carrfreq = 0.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.carrwt = wavetables[kSine];
  e.modindex = 1.0f;
  e.env = ModEnvelope{};
  e.modsh = 0;
  e.modoffset = 2.0f;
  e.modwt = wavetables[kSine];
  e.fbtype = 0;
  e.carrfb = 0.0f;
  e.modfb = 0.0f;
  fm_reset(m);
  fm_derive(m);
}

void fm_restart(ModuleBase* m) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  e.mod_hold = kHoldExpired;
  e.carr_hold = kHoldExpired;
  if (table_is_periodic(wavetable_number(e.modwt))) e.mod_phase = 0.0f;
  if (table_is_periodic(wavetable_number(e.carrwt))) e.carr_phase = 0.0f;
  mod_envelope_restart(e.env);
}

// kFeedback false: both feedback gains and both stored feedback signals are 0, so every source
// is 0 and the loop carries no dependency from one sample's output to the next sample's reads.
template <bool kFeedback>
void fm_run(FmEngine& e, float* buf) {
  const float* const carr_table = e.carrwt;
  const float* const mod_table = e.modwt;
  const bool a_is_carrier = feedback_a_is_carrier(e.fbtype);
  const bool b_is_carrier = feedback_b_is_carrier(e.fbtype);
  const int32_t modsh = e.modsh;
  const int32_t carrsh = e.carrsh;
  const float mod_inc = e.carrfreq * e.modoffset;
  const float carr_inc = e.carrfreq;
  const float depth = e.depth;
  const float mod_fb_gain = e.modfb * 0.4f;
  const float carr_fb_gain = e.carrfb * 0.4f;
  float mod_phase = e.mod_phase;
  float carr_phase = e.carr_phase;
  int32_t mod_hold = e.mod_hold;
  int32_t carr_hold = e.carr_hold;
  float mod_fb = e.mod_feedback;
  float carr_fb = e.carr_feedback;
  ModEnvelope env = e.env;  // a local copy: buf may alias the instance's floats
  for (int i = 0; i < kBlockFrames; ++i) {
    // The modulator is read every sample; its hold only slows its phase.
    const float source_a = kFeedback ? (a_is_carrier ? carr_fb : mod_fb) : 0.0f;
    float mod = read_table(
        mod_table, wrap_table_position((source_a + mod_phase) * kHzToTablePoints));
    if (++mod_hold >= modsh) {
      mod_hold = 0;
      mod_phase = step_down_phase(mod_phase + mod_inc);
    }
    mod_fb = mod * mod_fb_gain;
    mod *= mod_envelope_tick(env);
    const float source_b = kFeedback ? (b_is_carrier ? carr_fb : mod_fb) : 0.0f;
    const float out = read_table(
        carr_table, wrap_table_position((source_b + carr_phase) * kHzToTablePoints));
    if (++carr_hold >= carrsh) {
      carr_hold = 0;
      carr_phase = wrap_carrier_phase(carr_phase + mod * depth + carr_inc);
    }
    buf[i] = out;
    carr_fb = out * carr_fb_gain;
  }
  e.env = env;
  e.mod_phase = mod_phase;
  e.carr_phase = carr_phase;
  e.mod_hold = mod_hold;
  e.carr_hold = carr_hold;
  e.mod_feedback = mod_fb;
  e.carr_feedback = carr_fb;
}

// The readings of one oscillator through the block into out, four samples per four-lane read.
// sum(p, i) is sample i's advance of phase p before its wrap, wrap(p) the wrap: while the next
// four sums stay inside the table they need no wrap, otherwise each is wrapped in turn. Returns
// the phase after the block.
template <typename Sum, typename Wrap>
float read_block(const float* table, float phase, float* out, Sum sum, Wrap wrap) {
  const float* const tables[4] = {table, table, table, table};
  const float p1 = wrap(sum(phase, 0)), p2 = wrap(sum(p1, 1)), p3 = wrap(sum(p2, 2));
  Float4 phases = float4(phase, p1, p2, p3);
  Float4 pos = table_positions(phases);
  for (int i = 0; i < kBlockFrames; i += 4) {
    store4(out + i, read_tables4(tables, pos));
    const float last = lane3(phases);
    const float a = sum(last, i + 3), b = sum(a, i + 4), c = sum(b, i + 5), d = sum(c, i + 6);
    phases = float4(a, b, c, d);
    if (any_outside(phases, kLastPhaseInTable)) {
      const float wa = wrap(sum(last, i + 3)), wb = wrap(sum(wa, i + 4));
      const float wc = wrap(sum(wb, i + 5)), wd = wrap(sum(wc, i + 6));
      phases = float4(wa, wb, wc, wd);
      pos = table_positions(phases);
      continue;
    }
    pos = scale4(phases, kHzToTablePoints);  // no wrap, every position inside the table
  }
  return lane0(phases);
}

// The common case of fm_run<false> with both holds at 0 or 1 (a hold counter never falls below
// 0, so both phases advance every sample). Without feedback nothing of the carrier reaches the
// modulator, so the block runs in passes: the modulator's readings, their envelope and depth,
// then the carrier. Each pass carries only its phase from sample to sample, so the samples
// overlap; the same sums in the same order.
void fm_run_unheld(FmEngine& e, float* buf) {
  const float mod_inc = e.carrfreq * e.modoffset;
  const float carr_inc = e.carrfreq;
  const float depth = e.depth;
  float mod[kBlockFrames];        // the modulator's readings, before the envelope
  float shift[kBlockFrames + 3];  // the carrier's phase change by the modulator

  // Positions come from the phases before each sample's advance (no feedback adds to them).
  e.mod_phase = read_block(
      e.modwt, e.mod_phase, mod, [&](float p, int) { return p + mod_inc; },
      [](float p) { return step_down_phase(p); });

  mod_envelope_stretches(e.env, kBlockFrames, [&](int from, int to, float level) {
    const Float4 level4 = splat4(level);
    const Float4 depth4 = splat4(depth);
    int i = from;
    for (; i + 4 <= to; i += 4) store4(shift + i, mul4(mul4(load4(mod + i), level4), depth4));
    for (; i < to; ++i) shift[i] = mod[i] * level * depth;
  });
  // Past the block: only phases that are never used.
  shift[kBlockFrames] = shift[kBlockFrames + 1] = shift[kBlockFrames + 2] = 0.0f;

  e.carr_phase = read_block(
      e.carrwt, e.carr_phase, buf, [&](float p, int i) { return p + shift[i] + carr_inc; },
      [](float p) { return wrap_carrier_phase(p); });

  e.mod_hold = 0;
  e.carr_hold = 0;
  // Gains of 0 (or -0): what the loop of fm_run<false> leaves, a signed zero (or a NaN).
  e.mod_feedback = mod[kBlockFrames - 1] * (e.modfb * 0.4f);
  e.carr_feedback = buf[kBlockFrames - 1] * (e.carrfb * 0.4f);
}

void fm_render(ModuleBase* m, float* buf) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  if (e.modfb != 0.0f || e.carrfb != 0.0f || e.mod_feedback != 0.0f || e.carr_feedback != 0.0f) {
    fm_run<true>(e, buf);
  } else if (e.modsh <= 1 && e.carrsh <= 1) {
    fm_run_unheld(e, buf);
  } else {
    fm_run<false>(e, buf);
  }
}

int fm_bind(ModuleBase* m, ParamDest* dests) {
  FmEngine& e = *static_cast<FmEngine*>(m);
  const ParamDest list[] = {&e.carrsh,      &e.carrfreq,    &e.expmult,    &e.endoffset,
                        &e.carrwt,      nullptr,        nullptr,       &e.modindex,
                        &e.env.delay,   &e.env.attack,  &e.env.decay,  &e.env.decaymin,
                        &e.env.sustain, &e.env.release, &e.modsh,      &e.modoffset,
                        &e.modwt,       &e.fbtype,      &e.carrfb,     &e.modfb};
  for (int q = 0; q < 20; ++q) dests[q] = list[q];
  return 20;
}

float* fm_pitch_field(ModuleBase* m) { return &static_cast<FmEngine*>(m)->carrfreq; }

// Hold counts are 16-bit fields, so their range stops at 32767 samples.
const ParamInfo kFmParams[] = {
    {"CARRSH", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"CARRFREQ", kNotePitch, kMidiPitchDefault, 0.0f, 22050.0f, {1.0f, 10.0f, 100.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"CARRWT", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"CARRWARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"CARRWARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"MODINDEX", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"ATTACK", kAttack, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAY", kDecay, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAYMIN", kDecayMin, 0.5f, 0.0001f, 0.999f, {0.0001f, 0.001f, 0.005f}},
    {"SUSTAIN", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"RELEASE", kRelease, 2.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"MODSH", kHoldCount, 0.0f, 0.0f, 32767.0f, {1.0f, 10.0f, 100.0f}},
    {"MODOFFSET", kFloat, 2.0f, 0.0f, 10.0f, {0.001f, 0.01f, 0.05f}},
    {"MODWT", kWavetable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"FBTYPE", kFeedbackRouting, 0.0f, 0.0f, 3.0f, {1.0f, 1.0f, 1.0f}},
    {"CARRFB", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MODFB", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kFmKind = {
    kKindFm,   "FM",       6.5f,           fm_pool_slot, fm_init,
    fm_render, fm_restart, fm_derive,      fm_reset,     nullptr,
    fm_bind,   fm_pitch_field, kFmParams,  20,
    KindRole::kGenerator, 70, 2,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
