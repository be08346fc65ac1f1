// The colour editor's swatches: one framed box of the working colour beside each slot name.
#include "ui/widgets/colour_swatch.h"

#include "files/colour_scheme.h"
#include "ui/draw/draw.h"

namespace zorbel {

namespace {

// Surface pixels; one swatch per 8-pixel text row of the slot list.
constexpr int kSwatchX = 464;
constexpr int kSwatchY = 237;
constexpr int kSwatchPitch = 8;
constexpr int kSwatchWidth = 36;
constexpr int kSwatchHeight = 6;
constexpr uint16_t kSwatchFrame = 0xFFFF;  // white in every scheme

}  // namespace

void draw_colour_swatch(int slot) {
  if (slot < 0 || slot >= kColourSlotCount) return;
  const int y = kSwatchY + kSwatchPitch * slot;
  draw_rect(kSwatchX, y, kSwatchWidth, kSwatchHeight, kSwatchFrame);
  fill_rect(kSwatchX + 1, y + 1, kSwatchWidth - 2, kSwatchHeight - 1, colour_scheme.working[slot]);
}

void draw_colour_swatches() {
  for (int slot = 0; slot < kColourSlotCount; ++slot) draw_colour_swatch(slot);
}

}  // namespace zorbel
