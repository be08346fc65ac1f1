// The per-synth LFO that moves a generator's pitch once per block.
#pragma once

namespace zorbel {

// Sets the last output of synth s's LFO (the KS restart marks it stale with 10000000).
void lfo_set_last_output(int synth, float value);

}  // namespace zorbel
