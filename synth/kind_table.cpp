// The table of module kinds: adding an engine or an effect is one entry here.
#include "synth/module_graph.h"

#include "synth/bam_engine.h"
#include "synth/bfm_engine.h"
#include "synth/clp_effect.h"
#include "synth/dec_effect.h"
#include "synth/fm_engine.h"
#include "synth/ks_engine.h"
#include "synth/msk_effect.h"
#include "synth/n_engine.h"
#include "synth/pcf_effect.h"
#include "synth/rd_effect.h"
#include "synth/rot_engine.h"
#include "synth/shp_effect.h"
#include "synth/svf_effect.h"
#include "synth/voice_output.h"
#include "synth/wav_engine.h"
#include "synth/zbq_engine.h"

namespace zorbel {

namespace {

// Indexed by kind number; nullptr where a kind is not built into this program.
const KindOps* kKindTable[kKindCount] = {
    /* 0 WAV */ &kWavKind,
    /* 1 BFM */ &kBfmKind,
    /* 2 FM  */ &kFmKind,
    /* 3 N   */ &kNKind,
    /* 4 KS  */ &kKsKind,
    /* 5 ZBQ */ &kZbqKind,
    /* 6 ROT */ &kRotKind,
    /* 7 BAM */ &kBamKind,
    /* 8 MSK */ &kMskKind,
    /* 9 CLP */ &kClpKind,
    /* 10 DEC */ &kDecKind,
    /* 11 PCF */ &kPcfKind,
    /* 12 RD  */ &kRdKind,
    /* 13 SVF */ &kSvfKind,
    /* 14 SHP */ &kShpKind,
    /* 15 unused */ nullptr,
    /* 16 voice output */ &kVoiceKind,
    /* 17 LFO: built by the graph itself */ nullptr,
    /* 18 pitch glide: built by the graph itself */ nullptr,
};

}  // namespace

const KindOps* kind_ops(int kind) {
  if (kind < 0 || kind >= kKindCount) return nullptr;
  return kKindTable[kind];
}

const KindOps* set_kind_ops(int kind, const KindOps* ops) {
  if (kind < 0 || kind >= kKindCount) return nullptr;
  const KindOps* previous = kKindTable[kind];
  kKindTable[kind] = ops;
  return previous;
}

}  // namespace zorbel
