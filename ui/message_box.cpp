// The framed box in the middle of the surface that carries prompts and file messages.
#include "ui/message_box.h"

#include <cstring>
#include <initializer_list>

#include "files/colour_scheme.h"
#include "ui/draw.h"
#include "ui/font.h"
#include "ui/text.h"

namespace zorbel {

namespace {

// Geometry in surface pixels: the box leaves an 8-pixel margin round one text line.
constexpr int kBoxCentreX = 400;
constexpr int kBoxTop = 288;
constexpr int kBoxMargin = 8;
constexpr int kBoxHeight = kGlyphRows + 2 * kBoxMargin;
constexpr int kTextTop = 296;
constexpr int kOuterInset = 2;
constexpr int kInnerInset = 4;

}  // namespace

void show_message(const char* text, uint16_t colour) {
  if (!text) return;
  const int text_width = static_cast<int>(std::strlen(text)) * kGlyphWidth;
  const int left = kBoxCentreX - kBoxMargin - text_width / 2;
  const int width = text_width + 2 * kBoxMargin;
  const uint16_t frame = colour_scheme.active[kSlotActiveMenuText];
  fill_rect(left, kBoxTop, width, kBoxHeight, colour_scheme.active[kSlotMenuBackground]);
  for (int inset : {kOuterInset, kInnerInset}) {
    draw_rect(left + inset, kBoxTop + inset, width - 2 * inset, kBoxHeight - 2 * inset, frame);
  }
  draw_text(kBoxCentreX - text_width / 2, kTextTop, colour, text);
}

}  // namespace zorbel
