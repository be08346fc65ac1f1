// Placeholder video start-up; replaced by the drawing layer.
#include "ui/screen.h"

#include <cstdio>
#include <cstdlib>

namespace zorbel {

SDL_Surface* open_screen(int width, int height, int bits_per_pixel, bool windowed) {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::fprintf(stderr, "Could not initialize SDL: %s\n", SDL_GetError());
    std::exit(1);
  }
  std::atexit(SDL_Quit);
  Uint32 flags = windowed ? (SDL_HWSURFACE | SDL_DOUBLEBUF) : SDL_FULLSCREEN;
  SDL_Surface* surface = SDL_SetVideoMode(width, height, bits_per_pixel, flags);
  if (!surface) {
    std::fprintf(stderr, "Couldn't set video mode: %s\n", SDL_GetError());
    std::exit(1);
  }
  return surface;
}

}  // namespace zorbel
