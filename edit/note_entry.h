// Entering a note into the cursor step, the same way for every note source: the computer
// keyboard's piano rows now, a MIDI keyboard through the same call.
#pragma once

#include "edit/edit.h"

namespace zorbel {

// The velocity that gives a new hit the volume of a default hit (0.5).
constexpr int kNoteVelocityDefault = 64;

// Writes note (a MIDI note number, 0..127) as the pitch of the cursor step of track in the
// current loop, as a frequency on a track in the hertz mode. An empty step becomes a hit of
// trigger 100 and volume velocity / 128 (1..127); a hit keeps its own. The step is then heard on
// its track (see post_audition) and the cursor moves on by one step, wrapping at the loop's
// length. One change of the song. A synth without pitch gets the hit only. kBadArgument, with
// nothing changed, for a track that does not exist or a note or velocity out of range.
EditResult edit_enter_note(int track, int note, int velocity);
// A note played on a MIDI keyboard: as edit_enter_note, except that its velocity (1..127) sets
// the step's volume to velocity / 127, on an empty step and on a hit alike, so the keyboard's
// full velocity is full volume.
EditResult edit_enter_played_note(int track, int note, int velocity);
// Sounds note on track at once with the values of the cursor step, at volume velocity / 127,
// writing nothing into the song. Does nothing for a track that does not exist or a note or
// velocity out of range.
void play_live_note(int track, int note, int velocity);

}  // namespace zorbel
