// Transport commands of the main thread as requests that the audio callback applies.
//
// The main thread never moves the sequencer itself while a callback may run: it posts a request
// and the callback takes it with an atomic exchange (so no request is lost) at the start of its
// next 128-frame block, at most 2.9 ms later. Queued loop changes (INSTANT LOOP SWITCH off) wait
// for the end of the loop instead. When no callback thread runs (tests, offline renders, the
// headless driver), the posting thread is the only one rendering and applies the request at once.
#pragma once

#include <cstdint>

namespace zorbel {

// play_requests: the low 16 bits count toggles; bits 16..17 hold a set request.
constexpr uint32_t kPlayToggleMask = 0xffffu;
constexpr int kPlaySetShift = 16;
enum PlaySet : uint32_t { kPlaySetNone = 0, kPlaySetRun = 1, kPlaySetStop = 2 };

// One loop (or song position) forward (direction > 0) or back.
void post_loop_change(int direction);
// Back to step 0 of song position 0 with every module at note-off.
void post_restart();
void post_play_toggle();
void post_play_set(bool stopped);

// Audio side. At the start of each device buffer: play/stop requests.
void take_play_requests();
// At the start of each block: restart, and loop changes in instant mode.
void take_block_requests();
// Applies everything pending that needs no loop boundary. Only for the thread that renders.
void take_all_requests();

}  // namespace zorbel
