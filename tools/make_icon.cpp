// zorbel-make-icon: draws the program's icon as an SVG from its own font and built-in colours.
#include <cstdio>
#include <cstring>
#include <string>

#include "files/colour_scheme.h"
#include "ui/draw/font.h"

namespace {

using namespace zorbel;

// The icon is a 16 x 16 grid: the letter Z of the screen font above a row of four steps.
constexpr int kGrid = 16;
constexpr int kGlyphLeft = 4;
constexpr int kGlyphTop = 1;
constexpr double kStepTop = 11.0;
constexpr double kStepSize = 2.5;
constexpr int kStepCount = 4;

std::string css_colour(int slot) {
  const uint32_t channels = rgb565_channels(kBuiltInColours[slot]);
  const int red = static_cast<int>(channels & 0xFF) * 255 / 31;
  const int green = static_cast<int>((channels >> 8) & 0xFF) * 255 / 63;
  const int blue = static_cast<int>((channels >> 16) & 0xFF) * 255 / 31;
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", red, green, blue);
  return text;
}

// The glyph's set pixels as one rectangle per horizontal run.
std::string glyph_rects(char code, const std::string& fill) {
  std::string out;
  const uint8_t* rows = glyph_for(code);
  for (int row = 0; row < kGlyphRows; ++row) {
    for (int col = 0; col < kGlyphWidth;) {
      if (!(rows[row] & (0x80 >> col))) {
        ++col;
        continue;
      }
      const int start = col;
      while (col < kGlyphWidth && (rows[row] & (0x80 >> col))) ++col;
      out += "  <rect x=\"" + std::to_string(kGlyphLeft + start) + "\" y=\"" +
             std::to_string(kGlyphTop + row) + "\" width=\"" + std::to_string(col - start) +
             "\" height=\"1\" fill=\"" + fill + "\"/>\n";
    }
  }
  return out;
}

std::string icon_svg() {
  // Slot numbers as the colour editor lists them.
  constexpr int kBackground = 0, kActiveText = 4, kSequencerBox = 6, kActiveStep = 8,
                kTriggeredStep = 9;
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 " +
      std::to_string(kGrid) + " " + std::to_string(kGrid) +
      "\" shape-rendering=\"crispEdges\">\n"
      "  <rect width=\"16\" height=\"16\" rx=\"2\" fill=\"" + css_colour(kBackground) + "\"/>\n";
  svg += glyph_rects('Z', css_colour(kActiveText));
  const int fills[kStepCount] = {kActiveStep, -1, kTriggeredStep, -1};
  for (int step = 0; step < kStepCount; ++step) {
    char rect[200];
    const double x = 1.0 + step * 3.75;
    if (fills[step] >= 0)
      std::snprintf(rect, sizeof rect,
                    "  <rect x=\"%.2f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"/>\n",
                    x, kStepTop, kStepSize, kStepSize, css_colour(fills[step]).c_str());
    else
      std::snprintf(rect, sizeof rect,
                    "  <rect x=\"%.2f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
                    "stroke=\"%s\" stroke-width=\"0.5\"/>\n",
                    x + 0.25, kStepTop + 0.25, kStepSize - 0.5, kStepSize - 0.5,
                    css_colour(kSequencerBox).c_str());
    svg += rect;
  }
  return svg + "</svg>\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs("usage: zorbel-make-icon OUT.svg\n", stderr);
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  const std::string svg = icon_svg();
  if (!out || std::fwrite(svg.data(), 1, svg.size(), out) != svg.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "zorbel-make-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
