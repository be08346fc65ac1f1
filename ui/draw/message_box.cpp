// The framed box in the middle of the surface that carries prompts and file messages.
#include "ui/draw/message_box.h"

#include <cstring>
#include <initializer_list>

#include "files/colour_scheme.h"
#include "ui/draw/draw.h"
#include "ui/draw/font.h"
#include "ui/draw/text.h"

namespace zorbel {

namespace {

// Geometry in surface pixels: the box leaves an 8-pixel margin round one text line.
constexpr int kBoxCentreX = 400;
constexpr int kBoxCentreY = 300;
constexpr int kBoxMargin = 8;
constexpr int kTextTop = 296;
constexpr int kOuterInset = 2;
constexpr int kInnerInset = 4;

}  // namespace

void draw_message_frame(int content_width, int content_height, int drop) {
  const int left = kBoxCentreX - kBoxMargin - content_width / 2;
  const int top = kBoxCentreY - kBoxMargin - content_height / 2 + drop;
  const int width = content_width + 2 * kBoxMargin;
  const int height = content_height + 2 * kBoxMargin;
  const uint16_t frame = colour_scheme.active[kSlotActiveMenuText];
  fill_rect(left, top, width, height, colour_scheme.active[kSlotMenuBackground]);
  for (int inset : {kOuterInset, kInnerInset}) {
    draw_rect(left + inset, top + inset, width - 2 * inset, height - 2 * inset, frame);
  }
}

void show_message(const char* text, uint16_t colour) {
  if (!text) return;
  const int text_width = static_cast<int>(std::strlen(text)) * kGlyphWidth;
  draw_message_frame(text_width, kGlyphRows, 0);
  draw_text(kBoxCentreX - text_width / 2, kTextTop, colour, text);
}

}  // namespace zorbel
