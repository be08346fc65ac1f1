// The bitmap font as drawn: every listed glyph, the stand-in glyphs, and where text stops.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/ui/screen_test_support.h"
#include "ui/draw/draw.h"
#include "ui/draw/font.h"
#include "ui/draw/text.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kInk = 0xFFE0;

// The intended bitmaps of codes 0x20..0x5F, kept apart from the font table: rows 0-7, bit 7 leftmost.
struct ListedGlyph {
  int code;
  const char* rows;
};

constexpr ListedGlyph kListedGlyphs[] = {
    {0x20, "00 00 00 00 00 00 00 00"},
    {0x21, "38 38 38 30 00 30 30 00"},
    {0x22, "28 28 28 00 00 00 00 00"},
    {0x23, "48 FE 48 48 FE 48 48 00"},
    {0x24, "7C AA A8 7C 2A AA 7C 00"},
    {0x25, "C2 C4 08 10 20 46 86 00"},
    {0x26, "38 44 48 30 4A 84 7A 00"},
    {0x27, "18 18 10 00 00 00 00 00"},
    {0x28, "18 20 20 20 20 20 18 00"},
    {0x29, "60 10 10 10 10 10 60 00"},
    {0x2A, "92 92 54 38 54 92 92 00"},
    {0x2B, "30 30 30 FC 30 30 30 00"},
    {0x2C, "00 00 00 00 00 18 08 10"},
    {0x2D, "00 00 00 FE 00 00 00 00"},
    {0x2E, "00 00 00 00 00 18 18 00"},
    {0x2F, "02 04 08 10 20 40 80 00"},
    {0x30, "7C C6 CE D6 E6 C6 7C 00"},
    {0x31, "18 38 18 18 18 18 18 00"},
    {0x32, "7C C6 06 0C 30 C0 FE 00"},
    {0x33, "7C C6 06 1C 06 C6 7C 00"},
    {0x34, "0C 1C 2C 4C CC FE 0C 00"},
    {0x35, "FE C0 FC C6 06 C6 7C 00"},
    {0x36, "7C C6 C0 FC C6 C6 7C 00"},
    {0x37, "FE 06 06 0C 18 30 30 00"},
    {0x38, "7C C6 C6 7C C6 C6 7C 00"},
    {0x39, "7C C6 C6 7E 06 C6 7C 00"},
    {0x3A, "00 18 18 00 00 18 18 00"},
    {0x3B, "00 18 18 00 00 18 08 10"},
    {0x3C, "04 08 10 20 10 08 04 00"},
    {0x3D, "00 00 FE 00 FE 00 00 00"},
    {0x3E, "20 10 08 04 08 10 20 00"},
    {0x3F, "3C 42 02 0C 18 00 18 00"},
    {0x40, "7C 82 B2 AA BC 80 7E 00"},
    {0x41, "3C 62 C2 FE C2 C2 C2 00"},
    {0x42, "FC C2 C2 FC C2 C2 FC 00"},
    {0x43, "7C C2 C0 C0 C0 C2 7C 00"},
    {0x44, "F8 C4 C2 C2 C2 C4 F8 00"},
    {0x45, "FE C0 C0 FC C0 C0 FE 00"},
    {0x46, "FE C0 C0 FC C0 C0 C0 00"},
    {0x47, "7C C0 C0 CE C2 C2 7C 00"},
    {0x48, "C2 C2 C2 FE C2 C2 C2 00"},
    {0x49, "FC 30 30 30 30 30 FC 00"},
    {0x4A, "1E 0C 0C 0C 0C 8C 78 00"},
    {0x4B, "C2 C4 C8 D0 E8 C4 C2 00"},
    {0x4C, "C0 C0 C0 C0 C0 C0 FE 00"},
    {0x4D, "C2 E6 DA DA C2 C2 C2 00"},
    {0x4E, "C2 E2 D2 CA C6 C2 C2 00"},
    {0x4F, "7C C2 C2 C2 C2 C2 7C 00"},
    {0x50, "FC C2 C2 FC C0 C0 C0 00"},
    {0x51, "7C C2 C2 C2 CA C4 7A 00"},
    {0x52, "FC C2 C2 FC C8 C4 C2 00"},
    {0x53, "7C C2 C0 3C 02 C2 7C 00"},
    {0x54, "FE 38 38 38 38 38 38 00"},
    {0x55, "C2 C2 C2 C2 C2 C2 7C 00"},
    {0x56, "C2 C2 C2 C2 C4 C8 70 00"},
    {0x57, "C2 C2 C2 D2 D2 EA C4 00"},
    {0x58, "86 86 4C 38 64 C2 C2 00"},
    {0x59, "C2 C2 C4 78 30 30 30 00"},
    {0x5A, "FE 06 0C 18 30 60 FE 00"},
    {0x5B, "78 60 60 60 60 60 78 00"},
    {0x5C, "80 40 20 10 08 04 02 00"},
    {0x5D, "78 18 18 18 18 18 78 00"},
    {0x5E, "18 24 00 00 00 00 00 00"},
    {0x5F, "00 00 00 00 00 00 00 7E"},
};

constexpr const char* kChecker = "CC CC 33 33 CC CC 33 33";
constexpr const char* kSolidBlock = "FF FF FF FF FF FF FF FF";

void parse_rows(const char* text, uint8_t rows[8]) {
  for (int r = 0; r < 8; ++r) rows[r] = static_cast<uint8_t>(std::strtoul(text + 3 * r, nullptr, 16));
}

class FontTest : public SurfaceTest {
 protected:
  // Draws code at (x, y) on a cleared surface and compares its 8 x 8 cell with rows; the
  // rest of the surface must stay untouched.
  void expect_glyph_at(int code, const char* rows_text, int x = 100, int y = 100) {
    clear_surface();
    draw_char(x, y, kInk, code);
    uint8_t rows[8];
    parse_rows(rows_text, rows);
    int expected_count = 0;
    for (int r = 0; r < 8; ++r) {
      for (int b = 0; b < 8; ++b) {
        const bool set_bit = rows[r] & (0x80 >> b);
        expected_count += set_bit;
        EXPECT_EQ(painted(x + b, y + r), set_bit)
            << "code 0x" << std::hex << code << std::dec << " row " << r << " column " << b;
      }
    }
    EXPECT_EQ(painted_pixels().size(), static_cast<size_t>(expected_count)) << "code " << code;
  }
};

TEST_F(FontTest, EveryListedGlyphDrawsItsBitmap) {
  ASSERT_EQ(std::size(kListedGlyphs), 0x40u);
  for (const ListedGlyph& glyph : kListedGlyphs) expect_glyph_at(glyph.code, glyph.rows);
}

TEST_F(FontTest, LowerCaseAndGraveAccentDrawAsTheUpperHalf) {
  for (const ListedGlyph& glyph : kListedGlyphs) {
    if (glyph.code >= 0x40 && glyph.code <= 0x5A) expect_glyph_at(glyph.code + 0x20, glyph.rows);
  }
}

TEST_F(FontTest, CodesWithoutACharacterShowTheCheckerAndOneShowsTheBlock) {
  expect_glyph_at(0x01, kSolidBlock);
  expect_glyph_at(0x00, kChecker);
  for (int code = 0x02; code < 0x20; ++code) expect_glyph_at(code, kChecker);
  for (int code = 0x7B; code <= 0x7F; ++code) expect_glyph_at(code, kChecker);
}

TEST_F(FontTest, CodesOutsideTheTableShowTheChecker) {
  for (int code : {0x80, 0xC4, 0xFF, 0x100, -1, -128}) expect_glyph_at(code, kChecker);
  // Bytes above 0x7F inside a text take the same way.
  clear_surface();
  draw_text(100, 100, kInk, "\xC4");
  for (int r = 0; r < 8; ++r) EXPECT_EQ(painted(100, 100 + r), r % 4 < 2);
}

TEST_F(FontTest, ClearBitsLeaveThePixelBelow) {
  fill_rect(200, 200, 8, 8, 0x001F);
  draw_char(200, 200, kInk, '-');  // row 3 only: FE
  for (int y = 200; y < 208; ++y) {
    for (int x = 200; x < 208; ++x) {
      const bool ink = y == 203 && x < 207;
      EXPECT_EQ(at(x, y), ink ? kInk : 0x001F) << x << "," << y;
    }
  }
}

TEST_F(FontTest, TextAdvancesEightPixelsAndStopsBeforePen792) {
  draw_text(780, 50, kInk, "ABC");
  // A at 780, B at 788; C would start at 796, which is not left of 792.
  for (int x = 0; x < kScreenWidth; ++x) {
    bool any = false;
    for (int y = 50; y < 58; ++y) any |= painted(x, y);
    if (x >= 796) {
      EXPECT_FALSE(any) << "column " << x;
    }
  }
  clear_surface();
  draw_char(780, 50, kInk, 'A');
  draw_char(788, 50, kInk, 'B');
  const auto two_letters = painted_pixels();
  clear_surface();
  draw_text(780, 50, kInk, "ABC");
  EXPECT_EQ(painted_pixels(), two_letters);
}

TEST_F(FontTest, TextBelowRow792IsNotDrawnAndRowsOffTheSurfaceAreSkipped) {
  draw_text(100, 793, kInk, "HELLO");
  draw_text(100, 792, kInk, "HELLO");  // rows 792..799 are not on the surface
  draw_text(100, 596, kInk, "HELLO");  // rows 596..599 painted, 600..603 skipped
  for (const auto& [x, y] : painted_pixels()) EXPECT_GE(y, 596);
  EXPECT_FALSE(painted_pixels().empty());
  EXPECT_TRUE(outside_untouched());
}

TEST_F(FontTest, AGlyphPastTheRightEdgeNeverSpillsIntoTheNextRow) {
  draw_char(796, 10, kInk, 0x01);
  for (int y = 10; y < 18; ++y) {
    for (int x = 796; x < 800; ++x) EXPECT_TRUE(painted(x, y));
  }
  EXPECT_EQ(painted_pixels().size(), 4u * 8u);
  draw_char(-4, 30, kInk, 0x01);
  EXPECT_EQ(painted_pixels().size(), 2u * 4u * 8u);
  EXPECT_TRUE(outside_untouched());
}

TEST_F(FontTest, FontSheetImage) {
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, 0x0000);
  for (int code = 0; code < kFontGlyphCount; ++code) {
    draw_char(kConsoleX + 16 + 16 * (code % 16), kConsoleY + 16 + 16 * (code / 16), kInk, code);
  }
  draw_text(kConsoleX + 16, kConsoleY + 160, 0xFFFF, "THE QUICK BROWN FOX: 0123456789!");
  draw_text(kConsoleX + 16, kConsoleY + 176, 0x07FF, "lower case reads as upper [\\]^_");
  save_image("font_sheet");
  EXPECT_TRUE(painted(kConsoleX + 16 + 16, kConsoleY + 16));  // the block at 0x01
}

}  // namespace
}  // namespace zorbel::test
