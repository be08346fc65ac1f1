// The step event: per track, draw the trigger and, on a hit, apply the step to the synth.
#pragma once

namespace zorbel {

// Plays step step_pos of every track, then advances step_pos modulo seqlen. Audio thread.
void step_event();

}  // namespace zorbel
