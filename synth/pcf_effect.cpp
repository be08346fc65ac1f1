// The PCF effect: filters that combine the previous filter value with the current sample.
#include "synth/pcf_effect.h"

#include "synth/param_value.h"

namespace zorbel {

using enum ParamClass;

namespace {

PcfEffect pool[kPoolSize];

ModuleBase* pcf_pool_slot(int index) { return &pool[index]; }

void pcf_derive(ModuleBase* m) {
  PcfEffect& e = *static_cast<PcfEffect*>(m);
  e.control_inv = 1.0f - e.control;
  e.limit = e.control * 32768.0f;
  e.mix_inv = 1.0f - e.mix;
}

void pcf_reset(ModuleBase* m) { static_cast<PcfEffect*>(m)->previous = 0.0f; }

void pcf_init(ModuleBase* m) {
  PcfEffect& e = *static_cast<PcfEffect*>(m);
  e.filttype = 0;
  e.control = 0.5f;
  e.mix = 1.0f;
  pcf_reset(m);
  pcf_derive(m);
}

// The low 16 bits of a truncated value, unsigned.
inline int32_t low16(float v) {
  return static_cast<int32_t>(static_cast<uint32_t>(truncate_to_int32(v)) & 0xFFFFu);
}

// Runs g(previous, x) over the block: previous follows g, the buffer gets the mix.
template <typename Filter>
void filter_block(PcfEffect& e, float* buf, Filter g) {
  const float mix = e.mix, mix_inv = e.mix_inv;
  float p = e.previous;
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    const float y = g(p, x);
    p = y;
    buf[i] = mix * y + mix_inv * x;
  }
  e.previous = p;
}

void pcf_render(ModuleBase* m, float* buf) {
  PcfEffect& e = *static_cast<PcfEffect*>(m);
  const float ctl = e.control, ctl_inv = e.control_inv, limit = e.limit;
  switch (e.filttype) {
    case 0:  // "MINDIFF": a step smaller than the limit is widened to it
      filter_block(e, buf, [limit](float p, float x) {
        const float d = x - p;
        if ((d < 0.0f ? -d : d) >= limit) return x;
        return d >= 0.0f ? p + limit : p - limit;
      });
      break;
    case 1:  // "PC-XOR": high and low bytes swapped between previous and current
      filter_block(e, buf, [ctl, ctl_inv](float p, float x) {
        const int32_t up = low16(p), ux = low16(x);
        const float y = static_cast<float>((up & 0xFF00) + (ux & 0x00FF)) * ctl +
                        static_cast<float>((up & 0x00FF) + (ux & 0xFF00)) * ctl_inv;
        return y > 32768.0f ? 32768.0f : y;
      });
      break;
    case 2:  // "PC-OR"
      filter_block(e, buf, [ctl, ctl_inv](float p, float x) {
        return static_cast<float>(low16(p * ctl) | low16(ctl_inv * x));
      });
      break;
    case 3:  // "PC-AND": a slew limit of 2 % of the limit per sample
      filter_block(e, buf, [slew = 0.02f * limit](float p, float x) {
        const float d = x - p;
        if ((d < 0.0f ? -d : d) <= slew) return x;
        return d > 0.0f ? p + slew : p - slew;
      });
      break;
    case 4:  // "PC-NOT": the complements, summed as 32-bit integers
      filter_block(e, buf, [ctl, ctl_inv](float p, float x) {
        return static_cast<float>(~low16(p * ctl) + ~low16(ctl_inv * x));
      });
      break;
    case 5:  // "PC-RM"
      filter_block(e, buf, [ctl, ctl_inv](float p, float x) {
        return static_cast<float>(low16(p) ^ 0x5555) * ctl +
               static_cast<float>(low16(x) ^ 0xAAAA) * ctl_inv;
      });
      break;
    default:  // no such filter: the sample passes
      break;
  }
}

int pcf_bind(ModuleBase* m, ParamDest* dests) {
  PcfEffect& e = *static_cast<PcfEffect*>(m);
  dests[0] = &e.filttype;
  dests[1] = &e.control;
  dests[2] = &e.mix;
  return 3;
}

const ParamInfo kPcfParams[] = {
    {"FILTTYPE", kDecimateMode, 0.0f, 0.0f, 5.0f, {1.0f, 1.0f, 1.0f}},
    {"CONTROL", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kPcfKind = {
    kKindPcf,   "PCF",   1.6f,       pcf_pool_slot, pcf_init,
    pcf_render, nullptr, pcf_derive, pcf_reset,     nullptr,
    pcf_bind,   nullptr, kPcfParams, 3,
    KindRole::kEffect, 110, 4,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
