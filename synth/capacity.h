// The fixed capacities of the synthesis: synths, parameters per synth and the block length.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kMaxSynths = 16;        // synths (and so tracks) a song can hold
constexpr int kMaxSynthParams = 52;   // automated parameters of one synth type at most
constexpr int kBlockFrames = 128;     // frames per DSP block
constexpr int32_t kNoSynthType = 66;  // the type code of an empty synth slot

}  // namespace zorbel
