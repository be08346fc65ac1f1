// The framed box in the middle of the surface that carries prompts and file messages.
#pragma once

#include <cstdint>

namespace zorbel {

// Draws a box sized to text, centred on (400, 300), in the menu background colour with two
// outlines in the active menu text colour, and the text centred in it in colour (RGB565).
void show_message(const char* text, uint16_t colour);

// The frame every prompt and list shares, for a content of width x height pixels centred on
// (400, 300) and drop pixels lower: left edge 392 - width / 2, top 292 - height / 2, size
// (width + 16) x (height + 16), filled with the menu background, two outlines inset by 2 and 4
// in the active menu text colour.
void draw_message_frame(int content_width, int content_height, int drop);

}  // namespace zorbel
