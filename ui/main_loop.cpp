// Frame loop of the main thread: events, drawing and the 5 ms frame pause.
#include "ui/main_loop.h"

#include <SDL/SDL.h>

namespace zorbel {

void run_main_loop() {
  for (;;) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) return;
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return;
    }
    SDL_Surface* surface = SDL_GetVideoSurface();
    if (surface) SDL_Flip(surface);
    SDL_Delay(5);
  }
}

}  // namespace zorbel
