// The main thread's frame loop and the two top-level modes.
#pragma once

#include <cstdint>

namespace zorbel {

enum TopMode : int { kModeEditor = 0, kModeVisualizer = 1 };
constexpr int kModeCount = 2;

// Where frames go and events come from: SDL in the program, virtual time in zorbel-drive.
struct FrameSource {
  // Takes one pending event; false when none was pending. *quit is set for a quit event.
  bool (*poll_event)(bool* quit) = nullptr;
  // Shows the frame drawn so far. The loop calls it only when something was drawn since the
  // last show, and (with now_ms) at most every 16 ms.
  void (*present)() = nullptr;
  // Sleeps (or lets virtual time pass) for ms milliseconds.
  void (*delay_ms)(int ms) = nullptr;
  // Milliseconds since some fixed moment, for pacing how often frames are shown.
  uint32_t (*now_ms)() = nullptr;
};

void set_frame_source(const FrameSource* source);

// The draw and input functions of a mode, called by every frame of the loop.
void set_mode_functions(int mode, void (*draw)(), void (*input)());
void set_mode(int mode);
int current_mode();

// Called after every frame's drawing, before the show (undo and redo and their message).
void set_after_draw_hook(void (*hook)());

// One frame: draw the mode, run its input once per pending event (and once every sixth frame
// whatever the events), show the frame, sleep 5 ms.
void run_frame();
// Only the drawing part of a frame: the mode's draw function, then the show. Lets a driver see
// on screen what the last input did without running input again.
void draw_frame();
// Frames until the quit flag is set or a quit signal was posted.
void run_main_loop();
// Called at the end of every frame with the frame source's clock in ms (the autosave). Null for
// none.
void set_frame_hook(void (*hook)(uint32_t now_ms));
// Asks the main loop to end because of a signal. Async-signal-safe: a handler calls it.
void post_quit_signal(int signal_number);
// The signal posted (0 for none).
int quit_signal();
// Frame counter and mode back to their start values (tests).
void reset_main_loop();

}  // namespace zorbel
