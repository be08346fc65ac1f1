// The name entry field: a fixed-width box of characters with a cursor line, in the middle of the
// screen, and the keys that type into it (D-UP/D-DN or a drag change the character, D-LT/D-RT
// move, O deletes, X accepts, START cancels).
#pragma once

#include "files/file_names.h"

namespace zorbel {

constexpr int kNameFieldY = 296;  // the field's text line, inside the message box

// Draws a field for width characters at (x, y): the box 8 x width by 9 pixels in the menu
// background colour, the name 1 pixel in from its left edge and a 7 x 1 cursor line under the
// character at cursor, both in the active menu text colour.
void draw_name_field(int x, int y, const char* name, int width, int cursor);
// The box's left edge for a field of width characters centred on the screen (351 for 12,
// 367 for 8, 375 for 6).
constexpr int name_field_x(int width) { return 399 - 4 * width; }
// The framed message box round the field and the field itself, for entry.
void show_name_field(const NameEntry& entry);

enum class NameFieldKey {
  kNone,
  kEdited,     // a character or the cursor changed, already redrawn
  kConfirmed,  // X: act on the name (which may be empty)
  kCancelled,  // START
};
// The keys of a screen showing entry, checked in that order: START, X, D-UP/D-DN held or a
// drag with the left button, D-RT, D-LT, O.
NameFieldKey name_field_keys(NameEntry& entry);

}  // namespace zorbel
