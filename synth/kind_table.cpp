// The table of module kinds: adding an engine or an effect is one entry here.
#include "synth/module_graph.h"

#include "synth/bam_engine.h"
#include "synth/voice_output.h"

namespace zorbel {

namespace {

// Indexed by kind number; nullptr where a kind is not built into this program.
const KindOps* kKindTable[kKindCount] = {
    /* 0 WAV */ nullptr,
    /* 1 BFM */ nullptr,
    /* 2 FM  */ nullptr,
    /* 3 N   */ nullptr,
    /* 4 KS  */ nullptr,
    /* 5 ZBQ */ nullptr,
    /* 6 ROT */ nullptr,
    /* 7 BAM */ &kBamKind,
    /* 8 MSK */ nullptr,
    /* 9 CLP */ nullptr,
    /* 10 DEC */ nullptr,
    /* 11 PCF */ nullptr,
    /* 12 RD  */ nullptr,
    /* 13 SVF */ nullptr,
    /* 14 SHP */ nullptr,
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
