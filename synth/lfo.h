// The per-synth LFO that moves a generator's pitch once per block.
#pragma once

#include <cstdint>

#include "synth/module.h"
#include "synth/param_dest.h"

namespace zorbel {

// Kind 17, one per synth except engine N, allocated when the synth is built.
struct Lfo : ModuleBase {
  int16_t divider = 0;        // blocks between phase steps; 0 = every block
  int16_t counter = 0;
  float increment = 0.0f;     // phase units per step (44100 = one cycle)
  float phase = 0.0f;         // 0..44100
  const float* table = nullptr;
  float depth = 0.0f;         // 16-bit scale
  float centre = 0.0f;        // value the swing is centred on (the step's pitch)
  float last_output = 0.0f;
  ParamDest target;           // the float or int16_t field it swings
  bool target_glided = false; // a pitch glide drives the same field: the LFO leaves it alone
};

// Initial values: sine table, rate 0, depth 0, aimed at target.
void lfo_init(Lfo& lfo, ParamDest target);
// One block: write centre + swing to the target, then step the phase.
void lfo_block(Lfo& lfo);
// Parameter class 28: a rate and depth drawn around w from the random table. scale is the
// factor on the target's current value that sets the depth (0.4 for WAV pitch, else 0.1).
void lfo_set_amount(Lfo& lfo, float w, float scale);
// Running state back to note-off.
void lfo_reset(Lfo& lfo);

// Sets the last output of synth s's LFO (the KS restart marks it stale with 10000000).
void lfo_set_last_output(int synth, float value);

}  // namespace zorbel
