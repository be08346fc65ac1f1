// Synth type codes: names, the name lookup, engine/effect kinds, costs and parameter lists.
#include "synth/synth_types.h"

#include <cstring>

#include "synth/module_graph.h"
#include "synth/voice_output.h"

namespace zorbel {

namespace {

constexpr int kNamedTypes = 65;  // 0..63 and KSBD

const char* const kTypeNames[kNamedTypes] = {
    "BAM", "BAMCLP", "BAMDEC", "BAMMSK", "BAMPCF", "BAMRD", "BAMSHP", "BAMSVF",
    "BFM", "BFMCLP", "BFMDEC", "BFMMSK", "BFMPCF", "BFMRD", "BFMSHP", "BFMSVF",
    "FM",  "FMCLP",  "FMDEC",  "FMMSK",  "FMPCF",  "FMRD",  "FMSHP",  "FMSVF",
    "KS",  "KSCLP",  "KSDEC",  "KSMSK",  "KSPCF",  "KSRD",  "KSSHP",  "KSSVF",
    "N",   "NCLP",   "NDEC",   "NMSK",   "NPCF",   "NRD",   "NSHP",   "NSVF",
    "ZBQ", "ZBQCLP", "ZBQDEC", "ZBQMSK", "ZBQPCF", "ZBQRD", "ZBQSHP", "ZBQSVF",
    "ROT", "ROTCLP", "ROTDEC", "ROTMSK", "ROTPCF", "ROTRD", "ROTSHP", "ROTSVF",
    "WAV", "WAVCLP", "WAVMSK", "WAVDEC", "WAVPCF", "WAVRD", "WAVSHP", "WAVSVF",
    "KSBD",
};

// The order in which a text's leading name is looked for; longer names come before the names
// they begin with, so the first hit is the whole name.
const char* const kPrefixOrder[] = {
    "BAMCLP", "BAMDEC", "BAMMSK", "BAMPCF", "BAMRD",  "BAMSVF", "BAMSHP", "BAM",
    "ROTCLP", "ROTMSK", "ROTDEC", "ROTPCF", "ROTRD",  "ROTSHP", "ROTSVF", "ROT",
    "NCLP",   "NMSK",   "NDEC",   "NRD",    "NPCF",   "NSHP",   "NSVF",   "N",
    "WAVSVF", "WAVSHP", "WAVPCF", "WAVRD",  "WAVDEC", "WAVMSK", "WAVCLP", "WAV",
    "KSPCF",  "KSBD",   "KSCLP",  "KSMSK",  "KSDEC",  "KSRD",   "KSSHP",  "KSSVF",  "KS",
    "BFMSVF", "BFMSHP", "BFMRD",  "BFMPCF", "BFMMSK", "BFMDEC", "BFMCLP", "BFM",
    "FMSVF",  "FMSHP",  "FMRD",   "FMPCF",  "FMMSK",  "FMDEC",  "FMCLP",  "FM",
    "ZBQSVF", "ZBQSHP", "ZBQRD",  "ZBQPCF", "ZBQMSK", "ZBQDEC", "ZBQCLP", "ZBQ",
};

// Engines in type-code order: BAM, BFM, FM, KS, N, ZBQ, ROT, WAV.
constexpr int kEngineKinds[8] = {kKindBam, kKindBfm, kKindFm, kKindKs, kKindN, kKindZbq, kKindRot, kKindWav};
// Effect slots: none, CLP, DEC, MSK, PCF, RD, SHP, SVF; the sample player swaps DEC and MSK.
constexpr int kEffectKinds[8] = {-1, kKindClp, kKindDec, kKindMsk, kKindPcf, kKindRd, kKindShp, kKindSvf};
constexpr int kWavEffectKinds[8] = {-1, kKindClp, kKindMsk, kKindDec, kKindPcf, kKindRd, kKindShp, kKindSvf};

// Parameters per kind, for types whose kind is not built into this program.
constexpr int kKindParamCounts[15] = {11, 33, 20, 3, 9, 9, 7, 13, 3, 3, 3, 3, 1, 6, 2};

// Costs in tenths of a percent of the time budget.
constexpr int kEngineCost[8] = {59, 98, 65, 49, 36, 44, 37, 54};
int effect_cost(int kind) {
  switch (kind) {
    case kKindClp: return 13;
    case kKindDec: return 23;
    case kKindMsk: return 10;
    case kKindPcf: return 16;
    case kKindRd: return 5;
    case kKindShp: return 10;
    case kKindSvf: return 23;
    default: return 0;
  }
}
constexpr int kKsbdCost = 49;
constexpr int kEmptySlotCode = 65535;

int kind_param_count(int kind) {
  if (kind < 0) return 0;
  if (const KindOps* ops = kind_ops(kind)) return ops->param_count;
  return kind < 15 ? kKindParamCounts[kind] : 0;
}

}  // namespace

int type_engine_kind(int type) {
  if (type < 0 || type >= kTypeCount) return -1;
  return kEngineKinds[type / 8];
}

int type_effect_kind(int type) {
  if (type < 0 || type >= kTypeCount) return -1;
  return type_engine_kind(type) == kKindWav ? kWavEffectKinds[type % 8] : kEffectKinds[type % 8];
}

const char* type_name_from_code(int code) {
  if (code < 0 || code >= kNamedTypes) fatal_exit(8);
  return kTypeNames[code];
}

int type_code_from_name(const char* name) {
  if (!name) return -1;
  for (const char* candidate : kPrefixOrder) {
    if (std::strncmp(name, candidate, std::strlen(candidate)) != 0) continue;
    for (int code = 0; code < kNamedTypes; ++code)
      if (std::strcmp(kTypeNames[code], candidate) == 0) return code;
  }
  return -1;
}

int synth_cost_tenths(int type) {
  if (type == SYNTH_TYPE_NONE || type == kEmptySlotCode) return 0;
  if (type == kTypeKsbd) return kKsbdCost;
  if (type < 0 || type >= kTypeCount) fatal_exit(3);
  return kEngineCost[type / 8] + effect_cost(type_effect_kind(type));
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

bool can_add_synth(int type) {
  int sum = synth_cost_tenths(type);
  for (int t = 0; t < song.track_count && t < MAX_TRACKS; ++t) sum += synth_cost_tenths(song.synth_type[t]);
  return sum <= kCostBudgetTenths;
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

}  // namespace zorbel
