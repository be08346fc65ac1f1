// The step event: per track, draw the trigger and, on a hit, apply the step to the synth.
#pragma once

namespace zorbel {

// Plays step step_pos of every track, then advances step_pos modulo seqlen. Audio thread.
void step_event();

// How many tracks had a trigger value of exactly 100 at the latest step event, whether or not
// they are muted in the loop. Written by the audio thread, read by the visualizer.
int last_full_trigger_count();

}  // namespace zorbel
