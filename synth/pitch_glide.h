// The per-synth pitch glide: an exponential slide of the generator's pitch, once per block.
#pragma once

#include <cstdint>

#include "synth/lfo.h"
#include "synth/module.h"

namespace zorbel {

// Kind 18, one per synth, allocated when the synth is built.
struct PitchGlide : ModuleBase {
  ParamDest target;            // the generator's pitch field: float, or int16_t for engine N
  int16_t stop_count = 1;
  int16_t stop_counter = 0;
  float m = 1.0f;              // current multiplier
  float v = 480.0f;            // value (the LFO writes the swung pitch here)
  float e = 50.0f;             // end value
  float r = 1.0f;              // ratio per block
};

void glide_init(PitchGlide& glide, ParamDest target, float value, float end_value);
// One block: write the glided pitch to the target, or end the glide and hold.
void glide_block(PitchGlide& glide);
// Note start: the glide begins again from the step's pitch.
void glide_restart(PitchGlide& glide);
// A step's parameters are being applied. ratio is the step's EXPMULT, end the new end value
// (the step's pitch times its ENDOFFSET); the end value of the previous step decides what is
// written now.
void glide_step(PitchGlide& glide, float ratio, float end, bool legato);

}  // namespace zorbel
