// The quick parameters by engine kind, and the effect's MIX as the second one.
#include "ui/screens/quick_params.h"

#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "synth/param_value.h"
#include "synth/synth_types.h"
#include "ui/widgets/value_text.h"

namespace zorbel {

namespace {

struct EngineQuickParams {
  const char* first_name;
  int first;
  const char* second_name;
  int second;  // -1: none
};

// Indexed by engine kind 0..7: WAV, BFM, FM, N, KS, ZBQ, ROT, BAM.
constexpr EngineQuickParams kEngineQuick[8] = {
    {"READSPEED", 3, "STARTLOC", 6}, {"CARRFREQ", 2, "MODOFFSET", 19},
    {"CARRFREQ", 1, "MODOFFSET", 15}, {"SAMPHOLD", 0, "NULL", -1},
    {"FREQ", 4, "AVEFAC", 3},        {"FREQ", 0, "OFFSET", 4},
    {"FREQ", 0, "VAL", 4},           {"FREQ", 1, "OFFSET", 6},
};

// Position of MIX in each effect's parameter list, by effect kind 8..14.
constexpr int kEffectMix[7] = {2, 2, 2, 2, 0, 5, 1};


// The voice block ends every parameter list: ENVTYPE first, the DADSR PAN at 8, the EXP PAN
// at 12.
constexpr int kVoiceParams = 13;
constexpr int kDadsrPan = 8;
constexpr int kExpPan = 12;

}  // namespace

int step_pan_slot(int track, int loop, int step) {
  if (track < 0 || track >= song.track_count) return -1;
  const int voice = song.param_count[track] - kVoiceParams;
  if (voice < 0) return -1;
  const float* envtype = song.param_slot[track][voice].lane;
  const bool dadsr = envtype && truncate_to_16(envtype[loop * MAX_STEPS + step]) == 0;
  return voice + (dadsr ? kDadsrPan : kExpPan);
}

bool quick_param(int track, int which, QuickParam* out) {
  if (track < 0 || track >= song.track_count) return false;
  const int type = song.synth_type[track];
  const int engine = type_engine_kind(type);
  if (engine < 0 || engine > 7) return false;
  const EngineQuickParams& q = kEngineQuick[engine];
  QuickParam p{-1, "NULL", kGeneralNumberClass};
  if (which == 0) {
    p.slot = q.first;
    p.name = q.first_name;
    if (engine == kKindN)
      p.text_class = ParamClass::kHoldCount;
    else if (song.param_slot[track][p.slot].cls == ParamClass::kNotePitch)
      p.text_class = ParamClass::kNotePitch;
  } else {
    const int effect = type_effect_kind(type);
    const KindOps* ops = kind_ops(engine);
    if (effect >= kKindMsk && effect <= kKindShp && ops) {
      p.slot = ops->param_count + kEffectMix[effect - kKindMsk];
      p.name = "MIX";
    } else {
      p.slot = q.second;
      p.name = q.second_name;
      if (engine == kKindRot) p.text_class = ParamClass::kHexWord;
    }
  }
  if (p.slot >= song.param_count[track]) p.slot = -1;
  *out = p;
  return true;
}

}  // namespace zorbel
