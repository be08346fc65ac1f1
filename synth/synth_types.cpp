// Synth type codes: names, the name lookup, engine/effect kinds, costs and parameter lists.
#include "synth/synth_types.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "synth/module_graph.h"
#include "synth/pitch_limits.h"
#include "synth/voice_output.h"

namespace zorbel {

using enum ParamClass;

namespace {

constexpr int kNamedTypes = 65;  // 0..63 and KSBD
constexpr int kEngineSlots = 8;
constexpr int kNameChars = 8;    // longest type name ("BAMCLP") and its terminator
// The sample player's effect slots 2 and 3 hold MSK and DEC, the reverse of every other engine.
constexpr int kWavSwappedSlots[2] = {2, 3};
constexpr int kKsbdCost = 49;    // tenths of a percent; KSBD is named and costed, never built
constexpr int kEmptySlotCode = 65535;

// The kind of a role whose type_slot is slot, or -1.
int kind_in_slot(KindRole role, int slot) {
  for (int kind = 0; kind < kKindCount; ++kind) {
    const KindOps* ops = kind_ops(kind);
    if (ops && ops->role == role && ops->type_slot == slot) return kind;
  }
  return -1;
}

int kind_param_count(int kind) {
  const KindOps* ops = kind >= 0 ? kind_ops(kind) : nullptr;
  return ops ? ops->param_count : 0;
}

int kind_cost_tenths(int kind) {
  const KindOps* ops = kind >= 0 ? kind_ops(kind) : nullptr;
  return ops ? static_cast<int>(std::lround(ops->cost * 10.0f)) : 0;
}

struct TypeNames {
  char text[kNamedTypes][kNameChars] = {};
};

// Engine name followed by the effect name, for every code; derived once from the kind table.
const TypeNames& type_names() {
  static const TypeNames names = [] {
    TypeNames n;
    for (int code = 0; code < kTypeCount; ++code) {
      const KindOps* engine = kind_ops(type_engine_kind(code));
      const KindOps* effect = kind_ops(type_effect_kind(code));
      std::snprintf(n.text[code], kNameChars, "%s%s", engine ? engine->name : "",
                    effect ? effect->name : "");
    }
    std::snprintf(n.text[kTypeKsbd], kNameChars, "KSBD");
    return n;
  }();
  return names;
}

}  // namespace

int type_engine_kind(int type) {
  if (type < 0 || type >= kTypeCount) return -1;
  return kind_in_slot(KindRole::kGenerator, type / kEngineSlots);
}

int type_effect_kind(int type) {
  if (type < 0 || type >= kTypeCount) return -1;
  int slot = type % kEngineSlots;
  if (slot == 0) return -1;
  if (type_engine_kind(type) == kKindWav && (slot == kWavSwappedSlots[0] || slot == kWavSwappedSlots[1]))
    slot = kWavSwappedSlots[0] + kWavSwappedSlots[1] - slot;
  return kind_in_slot(KindRole::kEffect, slot);
}

const char* type_name_from_code(int code) {
  if (code < 0 || code >= kNamedTypes) fatal_exit(8);
  return type_names().text[code];
}

int type_code_from_name(const char* name) {
  if (!name) return -1;
  // A text that begins with a type name is that type, the longest name winning ("BAMSVF" over
  // "BAM"): a name may be followed by more text, such as a preset name.
  int best = -1;
  std::size_t best_len = 0;
  for (int code = 0; code < kNamedTypes; ++code) {
    const char* candidate = type_names().text[code];
    const std::size_t len = std::strlen(candidate);
    if (len > best_len && std::strncmp(name, candidate, len) == 0) {
      best = code;
      best_len = len;
    }
  }
  return best;
}

int synth_cost_tenths(int type) {
  if (type == kNoSynthType || type == kEmptySlotCode) return 0;
  if (type == kTypeKsbd) return kKsbdCost;
  if (type < 0 || type >= kTypeCount) fatal_exit(3);
  return kind_cost_tenths(type_engine_kind(type)) + kind_cost_tenths(type_effect_kind(type));
}

float synth_cost(int type, float total) {
  return total + static_cast<float>(synth_cost_tenths(type)) / 10.0f;
}

int cost_overload_at(const int32_t* types, int count) {
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    sum += synth_cost_tenths(types[i]);
    if (sum > kCostBudgetTenths) return i;
  }
  return -1;
}

int type_param_count(int type) {
  if (type < 0 || type >= kTypeCount) return 0;
  return kind_param_count(type_engine_kind(type)) + kind_param_count(type_effect_kind(type)) +
         kVoiceParamCount;
}

const ParamInfo* type_param(int type, int q) {
  if (type < 0 || type >= kTypeCount || q < 0) return nullptr;
  const int engine = type_engine_kind(type);
  const int gen_count = kind_param_count(engine);
  if (q < gen_count) {
    const KindOps* ops = kind_ops(engine);
    return ops ? &ops->params[q] : nullptr;
  }
  q -= gen_count;
  const int effect = type_effect_kind(type);
  const int effect_count = kind_param_count(effect);
  if (q < effect_count) {
    const KindOps* ops = kind_ops(effect);
    return ops ? &ops->params[q] : nullptr;
  }
  q -= effect_count;
  if (q >= kVoiceParamCount) return nullptr;
  return engine == kKindWav ? &kWavVoiceParams[q] : &kVoiceParams[q];
}

bool type_param_range(int type, int q, ParamClass cls, float* min, float* max) {
  const ParamInfo* info = type_param(type, q);
  if (!info) return false;
  float lo = info->min, hi = info->max;
  if (cls == kNotePitch) {
    lo = kMidiPitchLowest;
    hi = kMidiPitchHighest;
  } else if (cls == kHzPitch) {
    lo = kAbsPitchLowest;
    hi = kAbsPitchHighest;
  }
  if (min) *min = lo;
  if (max) *max = hi;
  return true;
}

}  // namespace zorbel
