// The reflection effect: each sample mirrored about half of full scale.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

extern const KindOps kRdKind;

// Kind 12. Fields in parameter order.
struct RdEffect : ModuleBase {
  float mix;
  float mix_inv;     // derived
};

}  // namespace zorbel
