// The DEC effect: takes a quantised value every SAMPHOLD samples and holds it in between.
#include "synth/dec_effect.h"

#include <cmath>

namespace zorbel {

using enum ParamClass;

namespace {

DecEffect pool[kPoolSize];

ModuleBase* dec_pool_slot(int index) { return &pool[index]; }

void dec_derive(ModuleBase* m) {
  DecEffect& e = *static_cast<DecEffect*>(m);
  // Fewer than two levels has no quantum (one level would divide by zero): two levels then.
  const float levels = e.nquants >= 2.0f ? e.nquants : 2.0f;
  e.quantum = 65536.0f / (levels - 1.0f);
  e.mix_inv = 1.0f - e.mix;
}

void dec_reset(ModuleBase* m) {
  DecEffect& e = *static_cast<DecEffect*>(m);
  e.counter = 0;
  e.held = 0.0f;
}

void dec_init(ModuleBase* m) {
  DecEffect& e = *static_cast<DecEffect*>(m);
  e.samphold = 5;
  e.nquants = 32.0f;
  e.mix = 1.0f;
  dec_reset(m);
  dec_derive(m);
}

void dec_render(ModuleBase* m, float* buf) {
  DecEffect& e = *static_cast<DecEffect*>(m);
  const int16_t samphold = e.samphold;
  const float q = e.quantum, mix = e.mix, mix_inv = e.mix_inv;
  int16_t counter = e.counter;
  float held = e.held;
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    if (++counter < samphold) {
      buf[i] = mix * held + mix_inv * x;
      continue;
    }
    counter = 0;
    // Nearest level, counted from -32768 in quanta; an exact half rounds down.
    const float t = (x + 32768.0f) / q;
    float n = std::floor(t);
    if (t - n > 0.5f) n += 1.0f;
    held = mix * (n * q - 32768.0f) + mix_inv * x;
    buf[i] = held;
  }
  e.counter = counter;
  e.held = held;
}

int dec_bind(ModuleBase* m, ParamDest* dests) {
  DecEffect& e = *static_cast<DecEffect*>(m);
  dests[0] = &e.samphold;
  dests[1] = &e.nquants;
  dests[2] = &e.mix;
  return 3;
}

// NQUANTS is stored through an unsigned 16-bit value, so its range stops at 65535.
const ParamInfo kDecParams[] = {
    {"SAMPHOLD", kHoldCount, 5.0f, 0.0f, 2000.0f, {1.0f, 5.0f, 10.0f}},
    {"NQUANTS", kQuantLevels, 32.0f, 2.0f, 65535.0f, {1.0f, 16.0f, 256.0f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kDecKind = {
    kKindDec,   "DEC",   2.3f,       dec_pool_slot, dec_init,
    dec_render, nullptr, dec_derive, dec_reset,     nullptr,
    dec_bind,   nullptr, kDecParams, 3,
    KindRole::kEffect, 120, 2,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
