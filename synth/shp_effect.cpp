// The SHP effect: cubic curves, or the rising quarter of a shaped table as a transfer curve.
#include "synth/shp_effect.h"

#include "synth/param_value.h"
#include "synth/table_position.h"
#include "synth/wavetables.h"

namespace zorbel {

using enum ParamClass;

namespace {

// TYPE 2..14 name these tables: SINE, SINE2, SINE3, SINE4, SINER2, SINER3, SINER4, TRI2, TRI3,
// TRI4, TRIR2, TRIR3, TRIR4.
constexpr int kShapeTables[13] = {0, 1, 2, 3, 4, 5, 6, 14, 15, 16, 17, 18, 19};
// Full scale (32768) reads table point 32, the end of the rising quarter.
constexpr float kSampleToTablePoints = 1.0f / 1024.0f;

ShpEffect pool[kPoolSize];

ModuleBase* shp_pool_slot(int index) { return &pool[index]; }

void shp_derive(ModuleBase* m) {
  ShpEffect& e = *static_cast<ShpEffect*>(m);
  e.mix_inv = 1.0f - e.mix;
}

void shp_init(ModuleBase* m) {
  ShpEffect& e = *static_cast<ShpEffect*>(m);
  e.type = 0;
  e.mix = 1.0f;
  shp_derive(m);
}

// Mixes the truncated shape of every sample with the sample.
template <typename Shape>
void shape_block(float* buf, float mix, float mix_inv, Shape shape) {
  for (int i = 0; i < kBlockFrames; ++i) {
    const float x = buf[i];
    const float y = static_cast<float>(truncate_to_int32(shape(x)));
    buf[i] = mix * y + mix_inv * x;
  }
}

void shp_render(ModuleBase* m, float* buf) {
  const ShpEffect& e = *static_cast<ShpEffect*>(m);
  const float mix = e.mix, mix_inv = e.mix_inv;
  if (e.type == 0) {
    shape_block(buf, mix, mix_inv, [](float x) {
      const float u = x / 32768.0f;
      return u * u * x;
    });
  } else if (e.type == 1) {
    shape_block(buf, mix, mix_inv, [](float x) {
      const float u = x / 32768.0f;
      return x * u * u + x - 32768.0f;
    });
  } else if (e.type >= 2 && e.type <= 14) {
    const float* const table = wavetables[kShapeTables[e.type - 2]];
    shape_block(buf, mix, mix_inv, [table](float x) {
      float p = (x < 0.0f ? -x : x) * kSampleToTablePoints;
      if (!(p <= 128.0f)) p = 128.0f;  // beyond 4 x full scale (or NaN): the table's end
      const float v = read_table(table, p);
      return x < 0.0f ? -v : v;
    });
  }
}

int shp_bind(ModuleBase* m, ParamDest* dests) {
  ShpEffect& e = *static_cast<ShpEffect*>(m);
  dests[0] = &e.type;
  dests[1] = &e.mix;
  return 2;
}

const ParamInfo kShpParams[] = {
    {"TYPE", kShaperTable, 0.0f, 0.0f, 14.0f, {1.0f, 1.0f, 1.0f}},
    {"MIX", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

}  // namespace

const KindOps kShpKind = {
    kKindShp,   "SHP",   1.0f,       shp_pool_slot, shp_init,
    shp_render, nullptr, shp_derive, nullptr,       nullptr,
    shp_bind,   nullptr, kShpParams, 2,
    KindRole::kEffect, 150, 6,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
