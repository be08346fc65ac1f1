// Text in the 8 x 8 bitmap font.
#include "ui/draw/text.h"

#include "ui/draw/font.h"
#include "ui/draw/screen.h"
#include "ui/draw/surface_pixels.h"

namespace zorbel {

namespace {

// The pen stops here so that the last glyph still fits left of the surface's right edge.
constexpr int kLastPenX = kScreenWidth - kGlyphWidth;
// Text starting below this row is not drawn at all (rows are taken modulo 800).
constexpr int kLastTextY = 800 - kGlyphRows;

}  // namespace

void draw_char(int x, int y, uint16_t colour, int code) {
  SDL_Surface* surface = draw_state.surface;
  if (!surface) return;
  draw_state.drawn = true;
  const uint8_t* glyph = glyph_for(code);
  const int top = y % 800;  // rows past 599 and negative rows are skipped by write_pixel
  for (int r = 0; r < kGlyphRows; ++r) {
    const uint8_t bits = glyph[r];
    if (bits == 0) continue;
    for (int b = 0; b < kGlyphWidth; ++b) {
      if (bits & (0x80 >> b)) write_pixel(surface, x + b, top + r, colour);
    }
  }
}

void draw_text(int x, int y, uint16_t colour, const char* text) {
  if (!text || y > kLastTextY) return;
  for (int pen = x; *text != '\0' && pen < kLastPenX; ++text, pen += kGlyphWidth) {
    draw_char(pen, y, colour, static_cast<unsigned char>(*text));
  }
}

}  // namespace zorbel
