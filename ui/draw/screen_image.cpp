// Writes a surface to an image file so a person can look at a screen.
#include "ui/draw/screen_image.h"

namespace zorbel {

bool save_screen_image(SDL_Surface* surface, const char* path) {
  if (!surface || !path) return false;
  return SDL_SaveBMP(surface, path) == 0;
}

}  // namespace zorbel
