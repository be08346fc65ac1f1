// Hearing one step of one track at once, outside the sequence: a note entered from the keyboard.
//
// The main thread posts the track and the step; the audio callback plays it at the start of its
// next block with the step's own parameter values and volume, as a step event would, for that
// track only. With the transport stopped the callback renders the synths (without the clock)
// for a short while after the post, so the note is heard there too.
#pragma once

namespace zorbel {

// How long a stopped transport keeps rendering after an audition, in 1024-frame buffers (0.5 s).
constexpr int kAuditionBuffers = 22;

void post_audition(int track, int loop, int step);

// Audio side, at the start of each block: plays the posted step, if any.
void take_audition();
// Audio side: counts one buffer of a stopped transport's audition down; true while it sounds.
bool audition_buffer_due();
// Forgets a posted audition and the stopped transport's remaining blocks (song replaced, tests).
void reset_audition();

}  // namespace zorbel
