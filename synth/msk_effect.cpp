// The MSK effect: a bit operation of each sample's integer value with a 16-bit mask.
#include "synth/msk_effect.h"

#include "synth/param_value.h"

namespace zorbel {

using enum ParamClass;

namespace {

MskEffect pool[kPoolSize];

ModuleBase* msk_pool_slot(int index) { return &pool[index]; }

void msk_derive(ModuleBase* m) {
  MskEffect& e = *static_cast<MskEffect*>(m);
  e.mix_inv = 1.0f - e.mix;
}

void msk_init(ModuleBase* m) {
  MskEffect& e = *static_cast<MskEffect*>(m);
  e.type = 0;
  e.maskval = 21845;
  e.mix = 1.0f;
  msk_derive(m);
}

// The low 16 bits of op(sample), read as a signed 16-bit value, mixed with the input.
template <typename Op>
void mask_block(float* buf, float mix, float mix_inv, Op op) {
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    const int32_t bits = op(truncate_to_int32(x));
    const float y = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(bits)));
    buf[i] = mix * y + mix_inv * x;
  }
}

void msk_render(ModuleBase* m, float* buf) {
  const MskEffect& e = *static_cast<MskEffect*>(m);
  const int32_t mask = static_cast<uint16_t>(e.maskval);
  switch (e.type) {
    case 0:
      mask_block(buf, e.mix, e.mix_inv, [mask](int32_t k) { return k | mask; });
      break;
    case 1:
      mask_block(buf, e.mix, e.mix_inv, [mask](int32_t k) { return k & mask; });
      break;
    case 2:
      mask_block(buf, e.mix, e.mix_inv, [mask](int32_t k) { return k ^ mask; });
      break;
    default:
      mask_block(buf, e.mix, e.mix_inv, [](int32_t k) { return ~k; });
      break;
  }
}

int msk_bind(ModuleBase* m, ParamDest* dests) {
  MskEffect& e = *static_cast<MskEffect*>(m);
  dests[0] = &e.type;
  dests[1] = &e.maskval;
  dests[2] = &e.mix;
  return 3;
}

const ParamInfo kMskParams[] = {
    {"TYPE", kMaskOp, 0.0f, 0.0f, 3.0f, {1.0f, 1.0f, 1.0f}},
    {"MASKVAL", kHexWord, 21845.0f, 0.0f, 65535.0f, {1.0f, 16.0f, 256.0f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kMskKind = {
    kKindMsk,   "MSK",   1.0f,       msk_pool_slot, msk_init,
    msk_render, nullptr, msk_derive, nullptr,       nullptr,
    msk_bind,   nullptr, kMskParams, 3,
    KindRole::kEffect, 140, 3,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
