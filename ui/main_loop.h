// The main thread's frame loop.
#pragma once

namespace zorbel {

// Runs until Esc or a quit event: draws, handles input, flips, sleeps 5 ms a frame.
void run_main_loop();

}  // namespace zorbel
