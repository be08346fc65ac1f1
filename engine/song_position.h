// The sequencer's position counted in steps from the top, as a MIDI song position names it.
#pragma once

namespace zorbel {

// The step the next step event plays, counted from the top: in SONG mode over the song list
// (each position's loop played its REPS times, at least once, up to the first marker), in LOOP
// mode within the loop, which repeats.
int song_position_steps();

// Moves the sequencer so that the next step event plays position steps (counted as above) at
// once. In SONG mode a position past the song list's end stays on its last loop; in LOOP mode it
// wraps within the loop. Only for the thread that renders, or with the audio paused.
void locate_playback(int steps);

}  // namespace zorbel
