// The program's frame and input sources over SDL: events, the key state, the mouse, the flip.
// The only place besides the screen start-up where the user interface calls SDL.
#pragma once

#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"

namespace zorbel {

const FrameSource* sdl_frame_source();
const InputSource* sdl_input_source();
// The window's title (windowed build; a desktop lists the program by it).
void set_window_title(const char* title);
// Hides or shows the mouse pointer.
void show_pointer(bool shown);

}  // namespace zorbel
