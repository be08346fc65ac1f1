// The SVF effect: a state-variable filter whose frequency may follow the synth's pitch.
#include "synth/svf_effect.h"

#include "synth/float4.h"
#include "synth/sequencer_link.h"

namespace zorbel {

using enum ParamClass;

namespace {

SvfEffect pool[kPoolSize];

ModuleBase* svf_pool_slot(int index) { return &pool[index]; }

// FREQ and RES outside 0..1 make the filter unstable, and NaN would stick in its state.
float unit_range(float v) {
  if (!(v >= 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

void svf_derive(ModuleBase* m) {
  SvfEffect& e = *static_cast<SvfEffect*>(m);
  if (sequencer_link.track_filter) sequencer_link.track_filter(e);
  e.freq = unit_range(e.freq);
  e.res = unit_range(e.res);
  e.mix_inv = 1.0f - e.mix;
}

void svf_reset(ModuleBase* m) {
  SvfEffect& e = *static_cast<SvfEffect*>(m);
  e.high = 0.0f;
  e.band = 0.0f;
  e.low = 0.0f;
  e.notch = 0.0f;
}

void svf_init(ModuleBase* m) {
  SvfEffect& e = *static_cast<SvfEffect*>(m);
  e.freqtrack = 0;
  e.offset = 1.0f;
  e.res = 0.25f;
  e.freq = 0.25f;
  e.type = 1;
  e.mix = 1.0f;
  e.mix_inv = 0.0f;
  // No tracking here: the synth's parameter slots are bound only after its modules exist.
  svf_reset(m);
}

// Which output TYPE takes; anything but 0, 1 and 2 is the notch.
enum SvfOutput { kSvfHigh = 0, kSvfBand = 1, kSvfLow = 2, kSvfNotch = 3 };

// The filter with its output chosen once per block. The notch sum only feeds the output, so
// the other types form it once, from the block's last state. The recurrence runs first; the
// clamp to full scale and the dry mix then go four frames at a time.
template <SvfOutput kOutput>
void svf_run(SvfEffect& e, float* buf) {
  const float f = e.freq, r = e.res, mix = e.mix, mix_inv = e.mix_inv;
  float h = e.high, b = e.band, l = e.low, n = e.notch;
  float y[kBlockFrames];
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    h = x - r * b + l;
    b = b + f * h;
    l = l - f * b;
    if constexpr (kOutput == kSvfNotch) n = (h + l) * 0.5f;
    y[i] = kOutput == kSvfHigh ? h : kOutput == kSvfBand ? b : kOutput == kSvfLow ? l : n;
  }
  if constexpr (kOutput != kSvfNotch) n = (h + l) * 0.5f;
  e.high = h;
  e.band = b;
  e.low = l;
  e.notch = n;
  // mix * clamped + mix_inv * dry, each frame.
  const Float4 wet_gain = splat4(mix), dry_gain = splat4(mix_inv);
  for (int i = 0; i < kBlockFrames; i += 4)
    store4(buf + i, add4(mul4(wet_gain, clamp4(load4(y + i), -32768.0f, 32768.0f)),
                         mul4(dry_gain, load4(buf + i))));
}

void svf_render(ModuleBase* m, float* buf) {
  SvfEffect& e = *static_cast<SvfEffect*>(m);
  switch (e.type) {
    case kSvfHigh: svf_run<kSvfHigh>(e, buf); break;
    case kSvfBand: svf_run<kSvfBand>(e, buf); break;
    case kSvfLow: svf_run<kSvfLow>(e, buf); break;
    default: svf_run<kSvfNotch>(e, buf); break;
  }
}

int svf_bind(ModuleBase* m, ParamDest* dests) {
  SvfEffect& e = *static_cast<SvfEffect*>(m);
  const ParamDest list[] = {&e.freqtrack, &e.offset, &e.res, &e.freq, &e.type, &e.mix};
  for (int q = 0; q < 6; ++q) dests[q] = list[q];
  return 6;
}

const ParamInfo kSvfParams[] = {
    {"FREQTRACK", kOnOff, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"OFFSET", kFloat, 1.0f, 0.0f, 4.0f, {0.001f, 0.01f, 0.01f}},
    {"RES", kFilterRes, 0.25f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"FREQ", kFilterFreq, 0.25f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"TYPE", kFilterMode, 1.0f, 0.0f, 3.0f, {1.0f, 1.0f, 1.0f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kSvfKind = {
    kKindSvf,   "SVF",   2.3f,       svf_pool_slot, svf_init,
    svf_render, nullptr, svf_derive, svf_reset,     nullptr,
    svf_bind,   nullptr, kSvfParams, 6,
    KindRole::kEffect, 90, 7,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
