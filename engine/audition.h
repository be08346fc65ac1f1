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
// A note played live on track (a MIDI keyboard on the track's channel): the step's values, with
// value in parameter slot (-1: none) and the volume velocity / 127 (velocity 1..127). The song is
// left as it is. One note per track waits; a newer one replaces it.
void post_live_note(int track, int loop, int step, int slot, float value, int velocity);

// Audio side, at the start of each block: plays the posted step and live notes, if any.
void take_audition();
// Audio side: counts one buffer of a stopped transport's audition down; true while it sounds.
bool audition_buffer_due();
// Forgets a posted audition and the stopped transport's remaining blocks (song replaced, tests).
void reset_audition();

}  // namespace zorbel
