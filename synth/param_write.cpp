// Writing one step value into its module field, by the parameter's class.
#include "synth/param_write.h"

#include "synth/lfo.h"
#include "synth/note_table.h"
#include "synth/param_value.h"
#include "synth/random_table.h"
#include "synth/wavetables.h"

namespace zorbel {

namespace {

// Depth of a pitch LFO as a fraction of the pitch: the sample player's speed swings wider.
constexpr float kLfoDepthScale = 0.1f;
constexpr float kWavLfoDepthScale = 0.4f;
constexpr float kHumanizeRange = 1000.0f;  // a humanize of 1.0 adds up to 1000 periods

void store_float(const ParamDest& dest, float v) {
  if (dest.kind == ParamDest::Kind::kFloat) *dest.f = v;
}

void store_int16(const ParamDest& dest, int16_t v) {
  if (dest.kind == ParamDest::Kind::kInt16) *dest.i16 = v;
}

}  // namespace

ParamDest::Kind param_dest_kind(ParamClass cls) {
  using enum ParamClass;
  switch (cls) {
    case kFloat: case kNotePitch: case kHzPitch: case kSpeed: case kFilterFreq: case kFilterRes:
    case kAttack: case kDecay: case kExpMult: case kDecayMin: case kRelease: case kQuantLevels:
      return ParamDest::Kind::kFloat;
    case kWord: case kEnvelopeType: case kFmView: case kHoldCount: case kShaperTable: case kOnOff:
    case kFilterMode: case kHexWord: case kPlayType: case kMaskOp: case kClipMode:
    case kDecimateMode: case kFeedbackRouting: case kNoiseColour: case kSampleNumber:
      return ParamDest::Kind::kInt16;
    case kHumanizedCount:
      return ParamDest::Kind::kInt32;
    case kWavetable:
      return ParamDest::Kind::kTable;
    case kLfoAmount: case kLfoTable:
      return ParamDest::Kind::kNone;
  }
  return ParamDest::Kind::kNone;
}

void write_param_value(const SynthModules& sm, ParamClass cls, const ParamDest& dest, float v,
                       float humanize) {
  using enum ParamClass;
  Lfo* lfo = static_cast<Lfo*>(sm.lfo);
  switch (cls) {
    case kFloat: case kFilterFreq: case kFilterRes: case kAttack: case kDecay: case kExpMult:
    case kDecayMin: case kRelease:
      store_float(dest, v);
      break;
    case kHzPitch: case kSpeed:
      store_float(dest, v);
      if (lfo) lfo->centre = v;
      break;
    case kNotePitch: {
      const float hz = note_frequency(v);
      store_float(dest, hz);
      if (lfo) lfo->centre = hz;
      break;
    }
    case kWord: case kEnvelopeType: case kFmView: case kHoldCount: case kShaperTable: case kOnOff:
    case kFilterMode: case kHexWord: case kPlayType: case kMaskOp: case kClipMode:
    case kDecimateMode: case kFeedbackRouting: case kNoiseColour: case kSampleNumber:
      store_int16(dest, truncate_to_16(v));
      break;
    case kWavetable:
      if (dest.kind == ParamDest::Kind::kTable) *dest.table = wavetable_row(v);
      break;
    case kLfoTable:
      if (lfo) lfo->table = wavetable_row(v);
      break;
    case kHumanizedCount: {
      const int32_t spread = truncate_to_int32(random_unit() * humanize * kHumanizeRange);
      const int64_t sum = static_cast<int64_t>(truncate_to_int32(v)) + spread;
      // A 16-bit value in a 32-bit field: the count reads back as 0..65535.
      if (dest.kind == ParamDest::Kind::kInt32)
        *dest.i32 = static_cast<uint16_t>(static_cast<uint64_t>(sum));
      break;
    }
    case kQuantLevels:
      store_float(dest, static_cast<float>(truncate_to_u16(v)));
      break;
    case kLfoAmount:
      if (lfo) lfo_set_amount(*lfo, v, sm.engine_kind == kKindWav ? kWavLfoDepthScale : kLfoDepthScale);
      break;
  }
}

}  // namespace zorbel
