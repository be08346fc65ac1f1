// The KS engine: a delay line filled with noise at each note, averaged or differenced at random.
#include "synth/ks_engine.h"

#include <cmath>

#include "synth/pitch_limits.h"
#include "synth/lfo.h"
#include "synth/random_table.h"

namespace zorbel {

using enum ParamClass;

namespace {

// 1 / 32767: the unsigned random table to a probability.
constexpr float kRandomToUnit = 3.051851e-05f;

KsEngine pool[kPoolSize];

ModuleBase* ks_pool_slot(int index) { return &pool[index]; }

void ks_derive(ModuleBase* m) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  if (!(e.freq >= 3.0f)) e.freq = 3.0f;
  if (e.freq > 5512.0f) e.freq = 5512.0f;
  if (!std::isfinite(e.avefac)) e.avefac = 0.0f;
  // Below 8 Hz the period would not fit the line; such strings sound at 8 Hz.
  const int32_t length = static_cast<int32_t>(44100.0f / e.freq);
  e.length = length < kKsLineSize ? length : kKsLineSize;
  if (e.pos >= e.length) e.pos = 0;
}

void ks_reset(ModuleBase* m) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  for (float& v : e.line) v = 0.0f;
  e.pos = 0;
}

void ks_init(ModuleBase* m) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  e.filtprob = 1.0f;
  e.asprob1 = 0.5f;
  e.asprob2 = 0.5f;
  e.avefac = 0.55f;
  e.freq = 440.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.length = kKsLineSize;
  ks_reset(m);
}

void ks_restart(ModuleBase* m) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  for (float& v : e.line) v = random_raw();
  lfo_set_last_output(e.synth, 10000000.0f);
}

void ks_render(ModuleBase* m, float* buf) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  float* const line = e.line;
  const int32_t length = e.length > 0 ? e.length : 1;
  const float filtprob = e.filtprob, asprob1 = e.asprob1, asprob2 = e.asprob2;
  const float avefac = e.avefac;
  int32_t pos = e.pos < length ? e.pos : 0;
  for (int i = 0; i < kBlockFrames; ++i) {
    const float r = random_unsigned_raw() * kRandomToUnit;
    if (r <= filtprob) {
      const float a = line[pos];
      if (++pos >= length) pos = 0;
      const float b = line[pos];
      float y = r <= asprob1 ? (a + b) * avefac : (a - b) * avefac;
      if (r > asprob2) y = -y;
      if (y > 32768.0f) y = 32768.0f;
      if (y < -32768.0f) y = -32768.0f;
      line[pos] = y;
      buf[i] = y;
    } else {
      buf[i] = line[pos];
      if (++pos >= length) pos = 0;
    }
  }
  e.pos = pos;
}

int ks_bind(ModuleBase* m, ParamDest* dests) {
  KsEngine& e = *static_cast<KsEngine*>(m);
  const ParamDest list[] = {&e.filtprob, &e.asprob1,   &e.asprob2, &e.avefac, &e.freq,
                        &e.expmult,  &e.endoffset, nullptr,    nullptr};
  for (int q = 0; q < 9; ++q) dests[q] = list[q];
  return 9;
}

float* ks_pitch_field(ModuleBase* m) { return &static_cast<KsEngine*>(m)->freq; }

const ParamInfo kKsParams[] = {
    {"FILTPROB", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"ASPROB1", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"ASPROB2", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"AVEFAC", kFloat, 0.501f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"FREQ", kNotePitch, kMidiPitchDefault, 3.0f, 5512.0f, {1.0f, 10.0f, 20.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"WARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
};

}  // namespace

const KindOps kKsKind = {
    kKindKs,   "KS",       4.9f,      ks_pool_slot, ks_init,
    ks_render, ks_restart, ks_derive, ks_reset,     nullptr,
    ks_bind,   ks_pitch_field, kKsParams, 9,
    KindRole::kGenerator, 20, 3,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
