// Writes a surface to an image file so a person can look at a screen.
#pragma once

#include <SDL/SDL.h>

namespace zorbel {

// Saves surface as a BMP file at path. Returns false if it could not be written.
bool save_screen_image(SDL_Surface* surface, const char* path);

}  // namespace zorbel
