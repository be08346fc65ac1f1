// The N engine: sample-and-hold noise from the shared random table.
#include "synth/n_engine.h"

#include "synth/random_table.h"

namespace zorbel {

using enum ParamClass;

namespace {

constexpr int16_t kMaxSampHold = 32000;

NEngine pool[kPoolSize];

ModuleBase* n_pool_slot(int index) { return &pool[index]; }

void n_derive(ModuleBase* m) {
  NEngine& e = *static_cast<NEngine*>(m);
  if (e.samphold > kMaxSampHold) e.samphold = kMaxSampHold;
}

void n_reset(ModuleBase* m) {
  NEngine& e = *static_cast<NEngine*>(m);
  e.counter = 0;
  e.held = 0.0f;
}

void n_init(ModuleBase* m) {
  NEngine& e = *static_cast<NEngine*>(m);
  e.samphold = 1;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  n_reset(m);
}

void n_render(ModuleBase* m, float* buf) {
  NEngine& e = *static_cast<NEngine*>(m);
  const int32_t samphold = e.samphold;
  int32_t counter = e.counter;
  float held = e.held;
  for (int i = 0; i < kBlockFrames; ++i) {
    if (samphold < ++counter) {
      counter = 0;
      held = random_noise_value();
    }
    buf[i] = held;
  }
  e.counter = counter;
  e.held = held;
}

int n_bind(ModuleBase* m, ParamDest* dests) {
  NEngine& e = *static_cast<NEngine*>(m);
  dests[0] = &e.samphold;
  dests[1] = &e.expmult;
  dests[2] = &e.endoffset;
  return 3;
}

const ParamInfo kNParams[] = {
    {"SAMPHOLD", kFloat, 1.0f, 1.0f, 10000.0f, {1.0f, 10.0f, 50.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
};

}  // namespace

const KindOps kNKind = {
    kKindN,   "N",     3.6f,     n_pool_slot, n_init,
    n_render, nullptr, n_derive, n_reset,     nullptr,
    n_bind,   nullptr, kNParams, 3,
    KindRole::kGenerator, 80, 4,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
