// The colour editor's swatches: one framed box of the working colour beside each slot name.
#pragma once

namespace zorbel {

// The swatch of one slot (0..19) in its working colour: a white outline of 36 x 6 at
// (464, 237 + 8 x slot) around a 34 x 5 fill at (465, 238 + 8 x slot). Other slots do nothing.
void draw_colour_swatch(int slot);

// The swatches of all 20 slots, as the colour editor shows them beside its list.
void draw_colour_swatches();

}  // namespace zorbel
