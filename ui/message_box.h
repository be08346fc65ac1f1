// The framed box in the middle of the surface that carries prompts and file messages.
#pragma once

#include <cstdint>

namespace zorbel {

// Draws a box sized to text, centred on (400, 300), in the menu background colour with two
// outlines in the active menu text colour, and the text centred in it in colour (RGB565).
void show_message(const char* text, uint16_t colour);

}  // namespace zorbel
