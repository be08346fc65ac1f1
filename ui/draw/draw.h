// Pixel, line, rectangle and circle primitives on the screen surface.
#pragma once

#include <cstdint>

namespace zorbel {

// All primitives draw into draw_state.surface, which the caller has locked, with an RGB565
// colour. None of them writes outside the surface.

// x and y are taken as unsigned 16-bit values and wrap modulo 800 and 600, so x -1 lands on 735.
void put_pixel(int x, int y, uint16_t colour);

// Row y, columns x1 up to but not including x2 (ends swapped if reversed, clamped to 0..799,
// so column 799 is never painted). Row y is taken modulo 800.
void draw_hline(int y, int x1, int x2, uint16_t colour);

// Column x, rows y1 up to but not including y2 (ends swapped if reversed, clamped to 0..799).
void draw_vline(int x, int y1, int y2, uint16_t colour);

// One-pixel outline over columns x .. x + width - 1 and rows y .. y + height: the bottom edge
// lies one row below the last row of a fill_rect of the same size.
void draw_rect(int x, int y, int width, int height, uint16_t colour);

// Solid rectangle over rows y .. y + height - 1 and columns x .. x + width - 1.
void fill_rect(int x, int y, int width, int height, uint16_t colour);

// Midpoint circle outline; drawn only if the whole circle lies on the surface.
void draw_circle(int centre_x, int centre_y, int radius, uint16_t colour);

}  // namespace zorbel
