// The 800 x 600 x 16 video surface.
#pragma once

#include <SDL/SDL.h>

namespace zorbel {

// Opens the video surface: full screen, or with windowed set a hardware double-buffered
// window. Prints the reason and ends the process with status 1 on failure.
SDL_Surface* open_screen(int width, int height, int bits_per_pixel, bool windowed);

}  // namespace zorbel
