// The sequencer clock: counts frames to step events and chains loops at loop boundaries.
#pragma once

namespace zorbel {

// One frame of the clock; the callback runs it 128 times per block, before the block renders.
void clock_tick();
// Moves count loops (LOOP mode) or song positions (SONG mode) forward, or back when count is
// negative, then re-points the cursors once. Runs on the thread that renders.
void move_loops(int count);
// One loop or song position forward / back: move_loops(1) / move_loops(-1).
void next_loop();
void prev_loop();
// The user's loop change: direction > 0 forward, otherwise back. A request the callback applies
// at its next block with INSTANT LOOP SWITCH on, else at the end of the loop.
void request_loop_change(int direction);
// Rewinds the sequencer to step 0 of song position 0 and resets every module's running state;
// the editor's cursor step goes back to 0 too. Main thread, audio paused.
void reset_playback();
// reset_playback without the editor cursor: what the callback may run itself.
void rewind_playback();
// The restart command: rewind, song position 0 with its loop (SONG mode), cursors re-pointed.
void restart_playback();
// Points every track's play cursor and parameter rows at current_loop.
void repoint_loop();
// Frames in one step at the current tempo, before swing. A step lasts one frame more on
// average; with a followed clock that frame is taken off here, so the steps keep its time.
float step_interval();
// The tempo that plays: a followed external clock's, else the song's.
float playing_bpm();

}  // namespace zorbel
