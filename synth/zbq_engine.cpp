// The ZBQ engine: two pulse oscillators counting out their high and low half-periods.
#include "synth/zbq_engine.h"

#include "synth/pitch_limits.h"
#include "synth/pitch_limits.h"

namespace zorbel {

using enum ParamClass;

namespace {

constexpr float kPulseLevel = 32768.0f;
constexpr float kLowestFrequency = 0.01f;  // Hz; a stopped pulse would never change level

ZbqEngine pool[kPoolSize];

ModuleBase* zbq_pool_slot(int index) { return &pool[index]; }

float clamp_width(float pw) {
  if (!(pw >= 0.001f)) return 0.001f;
  return pw > 0.999f ? 0.999f : pw;
}

void zbq_derive(ModuleBase* m) {
  ZbqEngine& e = *static_cast<ZbqEngine*>(m);
  float f1 = e.freq1 < 0.0f ? -e.freq1 : e.freq1;
  f1 = clamp_frequency(f1);
  if (f1 == 0.0f) f1 = kLowestFrequency;
  e.freq1 = f1;
  e.offset2 = limit_offset(f1, e.offset2);
  float f2 = f1 * e.offset2;
  if (f2 < kLowestFrequency) f2 = kLowestFrequency;
  const float pw1 = clamp_width(e.pw1);
  const float pw2 = clamp_width(e.pw2);
  e.half1[0] = pw1 * 44100.0f / f1;
  e.half1[1] = (1.0f - pw1) * 44100.0f / f1;
  e.half2[0] = pw2 * 44100.0f / f2;
  e.half2[1] = (1.0f - pw2) * 44100.0f / f2;
}

void zbq_restart(ModuleBase* m) {
  ZbqEngine& e = *static_cast<ZbqEngine*>(m);
  e.level1 = kPulseLevel;
  e.level2 = kPulseLevel;
  e.counter1 = 0.0f;
  e.counter2 = 0.0f;
}

void zbq_init(ModuleBase* m) {
  ZbqEngine& e = *static_cast<ZbqEngine*>(m);
  e.freq1 = 0.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.pw1 = 0.5f;
  e.offset2 = 1.0f;
  e.pw2 = 0.5f;
  e.mix = 0.5f;
  zbq_restart(m);
  zbq_derive(m);
}

// One pulse sample: counts on, and flips the level once the current half-period is passed.
inline float pulse_step(float& counter, float& level, const float* half) {
  counter += 1.0f;
  const float h = level > 0.0f ? half[0] : half[1];
  if (counter > h) {
    counter -= h;
    level = -level;
  }
  return level;
}

void zbq_render(ModuleBase* m, float* buf) {
  ZbqEngine& e = *static_cast<ZbqEngine*>(m);
  const float half1[2] = {e.half1[0], e.half1[1]};
  const float half2[2] = {e.half2[0], e.half2[1]};
  const float mix = e.mix, mix_inv = 1.0f - e.mix;
  float level1 = e.level1, level2 = e.level2;
  float counter1 = e.counter1, counter2 = e.counter2;
  for (int i = 0; i < kBlockFrames; ++i) {
    const float l1 = pulse_step(counter1, level1, half1);
    const float l2 = pulse_step(counter2, level2, half2);
    buf[i] = l1 * mix + l2 * mix_inv;
  }
  e.level1 = level1;
  e.level2 = level2;
  e.counter1 = counter1;
  e.counter2 = counter2;
}

int zbq_bind(ModuleBase* m, ParamDest* dests) {
  ZbqEngine& e = *static_cast<ZbqEngine*>(m);
  const ParamDest list[] = {&e.freq1, &e.expmult, &e.endoffset, &e.pw1,  &e.offset2,
                        &e.pw2,   &e.mix,     nullptr,      nullptr};
  for (int q = 0; q < 9; ++q) dests[q] = list[q];
  return 9;
}

float* zbq_pitch_field(ModuleBase* m) { return &static_cast<ZbqEngine*>(m)->freq1; }

const ParamInfo kZbqParams[] = {
    {"FREQ1", kNotePitch, kMidiPitchDefault, 0.0f, 127.0f, {1.0f, 1.0f, 1.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"PW1", kFloat, 0.5f, 0.001f, 0.999f, {0.001f, 0.005f, 0.005f}},
    {"OFFSET2", kFloat, 1.0f, 0.01f, 4.0f, {0.001f, 0.01f, 0.01f}},
    {"PW2", kFloat, 0.5f, 0.001f, 0.999f, {0.001f, 0.005f, 0.005f}},
    {"MIX", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
};

}  // namespace

const KindOps kZbqKind = {
    kKindZbq,   "ZBQ",       4.4f,       zbq_pool_slot, zbq_init,
    zbq_render, zbq_restart, zbq_derive, zbq_restart,   nullptr,
    zbq_bind,   zbq_pitch_field, kZbqParams, 9,
    KindRole::kGenerator, 50, 5,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
