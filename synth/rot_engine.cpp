// The ROT engine: a bit pattern rotated left by DIST bits every step, output as a signed sample.
#include "synth/rot_engine.h"

#include "synth/pitch_limits.h"
#include "synth/pitch_limits.h"

namespace zorbel {

using enum ParamClass;

namespace {

RotEngine pool[kPoolSize];

ModuleBase* rot_pool_slot(int index) { return &pool[index]; }

void rot_derive(ModuleBase* m) {
  RotEngine& e = *static_cast<RotEngine*>(m);
  e.freq = clamp_frequency(e.freq);
  if (e.freq == 0.0f) e.freq = 0.01f;
  e.step_length = 44100.0f / e.freq / 16.0f;
}

void rot_restart(ModuleBase* m) { static_cast<RotEngine*>(m)->counter = 0.0f; }

void rot_init(ModuleBase* m) {
  RotEngine& e = *static_cast<RotEngine*>(m);
  e.freq = 0.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.dist = 1;
  e.val = 15432;
  rot_restart(m);
  rot_derive(m);
}

inline uint16_t rotate_left(uint16_t bits, int dist) {
  return static_cast<uint16_t>((bits << dist) | (bits >> (16 - dist)));
}

void rot_render(ModuleBase* m, float* buf) {
  RotEngine& e = *static_cast<RotEngine*>(m);
  const float step_length = e.step_length;
  const int dist = e.dist & 15;
  uint16_t bits = static_cast<uint16_t>(e.val);
  float counter = e.counter;
  for (int i = 0; i < kBlockFrames; ++i) {
    counter += 1.0f;
    if (counter > step_length) {
      counter -= step_length;
      bits = rotate_left(bits, dist);
    }
    buf[i] = static_cast<float>(static_cast<int16_t>(bits));
  }
  e.val = static_cast<int16_t>(bits);
  e.counter = counter;
}

int rot_bind(ModuleBase* m, ParamDest* dests) {
  RotEngine& e = *static_cast<RotEngine*>(m);
  const ParamDest list[] = {&e.freq, &e.expmult, &e.endoffset, &e.dist, &e.val, nullptr, nullptr};
  for (int q = 0; q < 7; ++q) dests[q] = list[q];
  return 7;
}

float* rot_pitch_field(ModuleBase* m) { return &static_cast<RotEngine*>(m)->freq; }

// VAL is a 16-bit pattern: 65535 is all bits set (65536 would wrap to 0).
const ParamInfo kRotParams[] = {
    {"FREQ", kNotePitch, kMidiPitchDefault, 1.0f, 2756.0f, {1.0f, 5.0f, 10.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"DIST", kHoldCount, 1.0f, 1.0f, 15.0f, {1.0f, 1.0f, 1.0f}},
    {"VAL", kHexWord, 15432.0f, 0.0f, 65535.0f, {1.0f, 16.0f, 256.0f}},
    {"WARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
};

}  // namespace

const KindOps kRotKind = {
    kKindRot,   "ROT",       3.7f,       rot_pool_slot, rot_init,
    rot_render, rot_restart, rot_derive, rot_restart,   nullptr,
    rot_bind,   rot_pitch_field, kRotParams, 7,
    KindRole::kGenerator, 40, 6,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
