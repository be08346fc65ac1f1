// Direct 16-bit pixel writes into the surface memory, shared by the drawing primitives.
#pragma once

#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>

namespace zorbel {

// Writes one pixel, addressed through the surface's own pitch (bytes per row). Coordinates
// outside the surface are skipped: the drawing arithmetic can reach rows 600..799 and, for
// glyphs, columns past 799, which would otherwise land in the next row or past the memory.
inline void write_pixel(SDL_Surface* surface, int x, int y, uint16_t colour) {
  if (x < 0 || y < 0 || x >= surface->w || y >= surface->h) return;
  auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface->pixels) +
                                          static_cast<ptrdiff_t>(y) * surface->pitch);
  row[x] = colour;
}

}  // namespace zorbel
