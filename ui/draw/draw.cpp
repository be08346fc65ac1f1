// Pixel, line, rectangle and circle primitives on the screen surface.
#include "ui/draw/draw.h"

#include <algorithm>
#include <utility>

#include "ui/draw/screen.h"
#include "ui/draw/surface_pixels.h"

namespace zorbel {

namespace {

// Runs clamp their ends to this bound in both directions; rows past 599 are then skipped.
constexpr int kRunLimit = kScreenWidth - 1;

}  // namespace

void put_pixel(int x, int y, uint16_t colour) {
  SDL_Surface* surface = draw_state.surface;
  if (!surface) return;
  draw_state.drawn = true;
  int column = static_cast<uint16_t>(x) % kScreenWidth;
  int row = static_cast<uint16_t>(y) % kScreenHeight;
  write_pixel(surface, column, row, colour);
}

void draw_hline(int y, int x1, int x2, uint16_t colour) {
  SDL_Surface* surface = draw_state.surface;
  if (!surface) return;
  draw_state.drawn = true;
  if (x2 < x1) std::swap(x1, x2);
  x1 = std::clamp(x1, 0, kRunLimit);
  x2 = std::clamp(x2, 0, kRunLimit);
  int row = y % kScreenWidth;  // signed remainder: a negative row stays negative and is skipped
  if (row < 0 || row >= surface->h) return;
  for (int x = x1; x < x2; ++x) write_pixel(surface, x, row, colour);
}

void draw_vline(int x, int y1, int y2, uint16_t colour) {
  SDL_Surface* surface = draw_state.surface;
  if (!surface) return;
  draw_state.drawn = true;
  if (y2 < y1) std::swap(y1, y2);
  y1 = std::clamp(y1, 0, kRunLimit);
  y2 = std::clamp(y2, 0, kRunLimit);
  if (x < 0 || x >= surface->w) return;
  for (int y = y1; y < y2; ++y) write_pixel(surface, x, y, colour);
}

void draw_rect(int x, int y, int width, int height, uint16_t colour) {
  draw_hline(y, x, x + width, colour);
  draw_hline(y + height, x, x + width, colour);
  draw_vline(x, y, y + height, colour);
  draw_vline(x + width - 1, y, y + height, colour);
}

void fill_rect(int x, int y, int width, int height, uint16_t colour) {
  for (int row = y; row < y + height; ++row) draw_hline(row, x, x + width, colour);
}

void draw_circle(int centre_x, int centre_y, int radius, uint16_t colour) {
  // Widened so an absurd radius cannot overflow the test.
  const long long cx = centre_x, cy = centre_y, rr = radius;
  if (cx - rr < 0 || cx + rr >= kScreenWidth) return;
  if (cy - rr < 0 || cy + rr >= kScreenHeight) return;
  int i = 0;
  int r = radius;
  int d = 3 - 2 * radius;
  while (i <= r) {
    if (i == 0) {
      put_pixel(centre_x, centre_y + r, colour);
      put_pixel(centre_x, centre_y - r, colour);
      put_pixel(centre_x + r, centre_y, colour);
      put_pixel(centre_x - r, centre_y, colour);
    } else {
      put_pixel(centre_x + i, centre_y + r, colour);
      put_pixel(centre_x - i, centre_y + r, colour);
      put_pixel(centre_x + i, centre_y - r, colour);
      put_pixel(centre_x - i, centre_y - r, colour);
      put_pixel(centre_x + r, centre_y + i, colour);
      put_pixel(centre_x - r, centre_y + i, colour);
      put_pixel(centre_x + r, centre_y - i, colour);
      put_pixel(centre_x - r, centre_y - i, colour);
    }
    if (d < 0) {
      d += 4 * i + 6;
    } else {
      d += 4 * (i - r) + 10;
      --r;
    }
    ++i;
  }
}

}  // namespace zorbel
