// Text in the 8 x 8 bitmap font.
#pragma once

#include <cstdint>

namespace zorbel {

// Glyph of code with its top-left corner at (x, y); set bits paint colour (RGB565), clear
// bits leave the surface as it was. Codes outside 0..127 show the checker glyph.
void draw_char(int x, int y, uint16_t colour, int code);

// Zero-terminated text left to right, one glyph every 8 pixels, never wrapped. Nothing is
// drawn below y 792; a glyph is only started while the pen is left of x 792.
void draw_text(int x, int y, uint16_t colour, const char* text);

}  // namespace zorbel
