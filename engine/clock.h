// The sequencer clock: counts frames to step events and chains loops at loop boundaries.
#pragma once

namespace zorbel {

// One frame of the clock; the callback runs it 128 times per block, before the block renders.
void clock_tick();
// One loop (LOOP mode) or song position (SONG mode) forward; consumes one up request.
void next_loop();
// One loop or song position back; consumes one down request.
void prev_loop();
// The user's loop change: direction > 0 forward, otherwise back. Acts at once with INSTANT
// LOOP SWITCH on, else queues it for the end of the loop.
void request_loop_change(int direction);
// Rewinds the sequencer to step 0 of song position 0 and resets every module's running state.
void reset_playback();
// Points every track's play cursor and parameter rows at current_loop.
void repoint_loop();
// Frames in one step at the current tempo, before swing.
float step_interval();

}  // namespace zorbel
