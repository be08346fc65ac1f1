// The RD effect: reflects each sample about half of full scale (32768 - x, -32768 - x).
#include "synth/rd_effect.h"

namespace zorbel {

using enum ParamClass;

namespace {

RdEffect pool[kPoolSize];

ModuleBase* rd_pool_slot(int index) { return &pool[index]; }

void rd_derive(ModuleBase* m) {
  RdEffect& e = *static_cast<RdEffect*>(m);
  e.mix_inv = 1.0f - e.mix;
}

void rd_init(ModuleBase* m) {
  RdEffect& e = *static_cast<RdEffect*>(m);
  e.mix = 0.2f;
  rd_derive(m);
}

void rd_render(ModuleBase* m, float* buf) {
  const RdEffect& e = *static_cast<RdEffect*>(m);
  const float mix = e.mix, mix_inv = e.mix_inv;
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    // A sample of exactly 0 has no side to reflect to and stays 0.
    if (x > 0.0f) {
      buf[i] = mix * (32768.0f - x) + mix_inv * x;
    } else if (x < 0.0f) {
      buf[i] = mix * (-32768.0f - x) + mix_inv * x;
    }
  }
}

int rd_bind(ModuleBase* m, ParamDest* dests) {
  dests[0] = &static_cast<RdEffect*>(m)->mix;
  return 1;
}

const ParamInfo kRdParams[] = {
    {"MIX", kFloat, 0.2f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kRdKind = {
    kKindRd,   "RD",    0.5f,      rd_pool_slot, rd_init,
    rd_render, nullptr, rd_derive, nullptr,      nullptr,
    rd_bind,   nullptr, kRdParams, 1,
    KindRole::kEffect, 100, 5,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
