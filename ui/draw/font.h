// The 8 x 8 bitmap font all screen text is drawn with.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kFontGlyphCount = 128;
constexpr int kGlyphRows = 8;   // bytes per glyph, one per pixel row
constexpr int kGlyphWidth = 8;  // pixels; the pen advances by this much per character
constexpr int kNoCharacterCode = 0x00;  // shows the checker glyph

extern const uint8_t kFontGlyphs[kFontGlyphCount][kGlyphRows];

// The glyph for a character code. Codes outside 0..127 (never drawn by the program, but
// possible from a damaged name) get the checker instead of reading past the table.
inline const uint8_t* glyph_for(int code) {
  if (code < 0 || code >= kFontGlyphCount) code = kNoCharacterCode;
  return kFontGlyphs[code];
}

}  // namespace zorbel
