// The stages of a DADSR envelope, shared by the voice envelope and the FM modulator envelope.
#pragma once

#include <cstdint>

namespace zorbel {

// A stage past kStageRelease behaves as release.
enum EnvelopeStage : int16_t { kStageDelay = 0, kStageAttack, kStageDecay, kStageSustain, kStageRelease };

}  // namespace zorbel
