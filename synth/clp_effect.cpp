// The CLP effect: clips samples beyond a threshold, or lifts samples short of it to it.
#include "synth/clp_effect.h"

#include "synth/param_value.h"

namespace zorbel {

using enum ParamClass;

namespace {

ClpEffect pool[kPoolSize];

ModuleBase* clp_pool_slot(int index) { return &pool[index]; }

void clp_derive(ModuleBase* m) {
  ClpEffect& e = *static_cast<ClpEffect*>(m);
  e.threshold = e.max * 32767.0f;
  e.mix_inv = 1.0f - e.mix;
}

void clp_init(ModuleBase* m) {
  ClpEffect& e = *static_cast<ClpEffect*>(m);
  e.type = 1;
  e.max = 0.5f;
  e.mix = 1.0f;
  clp_derive(m);
}

// Replaces by +-threshold (the sign of the sample; minus for 0) every sample whose truncated
// magnitude the test picks; other samples pass untouched.
template <typename Test>
void clip_block(float* buf, float t, float mix, float mix_inv, Test picks) {
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    const int64_t k = truncate_to_int32(x);
    const float a = static_cast<float>(k < 0 ? -k : k);
    if (picks(a)) buf[i] = mix * (x > 0.0f ? t : -t) + mix_inv * x;
  }
}

void clp_render(ModuleBase* m, float* buf) {
  const ClpEffect& e = *static_cast<ClpEffect*>(m);
  const float t = e.threshold;
  if (e.type == 0) {
    clip_block(buf, t, e.mix, e.mix_inv, [t](float a) { return a > t; });
  } else if (e.type == 1) {
    clip_block(buf, t, e.mix, e.mix_inv, [t](float a) { return a < t; });
  }
}

int clp_bind(ModuleBase* m, ParamDest* dests) {
  ClpEffect& e = *static_cast<ClpEffect*>(m);
  dests[0] = &e.type;
  dests[1] = &e.max;
  dests[2] = &e.mix;
  return 3;
}

const ParamInfo kClpParams[] = {
    {"TYPE", kClipMode, 1.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"MAX", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kClpKind = {
    kKindClp,   "CLP",   1.3f,       clp_pool_slot, clp_init,
    clp_render, nullptr, clp_derive, nullptr,       nullptr,
    clp_bind,   nullptr, kClpParams, 3,
    KindRole::kEffect, 130, 1,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
