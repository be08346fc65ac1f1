// The file browser's widgets: the scrolling list window of file names and the name entry field
// with its keys, shared by LOAD, SAVE AS, RENAME LOOP, RECORD and the preset screens.
#pragma once

#include <string>
#include <vector>

#include "files/file_names.h"

namespace zorbel {

// The window's area: 16 characters by 8 lines inside the list frame, and the frame's content.
constexpr int kFileWindowX = 336;
constexpr int kFileWindowY = 268;
constexpr int kFileWindowWidth = 128;
constexpr int kFileWindowHeight = 64;

// The list window over names with the selected one highlighted: all names when there are at
// most 8, else the selected name on line 3 among its neighbours, wrapping. "NO FILES TO LOAD"
// when names is empty. Draws over the frame drawn by draw_file_frame().
void draw_file_list(const std::vector<std::string>& names, int selected);
void draw_file_frame();

// The name field's box: 8 pixels a position, 9 high, centred (x 351 for 12 positions, 367 for
// 8, 375 for 6), at y 296.
constexpr int kNameFieldY = 296;
constexpr int kNameFieldCursorY = 304;
int name_field_x(int length);
// The box with the text of length positions and the cursor line under position cursor.
void draw_name_field(int cursor, const char* text, int length);
void draw_name_field(const NameEntry& entry);
// A fresh sequencer screen, the message frame around a field of entry.length positions, then
// the field.
void show_name_entry(const NameEntry& entry);

// What the keys of a name entry did in this tick.
enum class NameKey {
  kNone,
  kChanged,    // a character or the cursor changed; the field is already redrawn
  kConfirmed,  // Return
  kCancelled,  // START
};
// The letter and digit keys type at the cursor, Backspace deletes before it and Delete at it,
// Return takes the name. D-UP / D-DN (repeating while held) or a left-button drag step the character at the
// cursor through A..Z, 0..9; D-RT and D-LT move the cursor within the name. The letter keys
// that stand for X and O type their letters here.
NameKey name_entry_keys(NameEntry& entry);

}  // namespace zorbel
