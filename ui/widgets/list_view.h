// The one list view: fixed-width item lists ended by "~", drawn as a framed menu, and the key
// handling every list and prompt screen shares.
#pragma once

namespace zorbel {

// ---- Item lists ----------------------------------------------------------------------------
// A list is a run of entries of one width W: W characters (blank-padded) and a zero each,
// ended by an entry that begins with "~". The item count is the number of entries before it.

// Characters per entry (W) of a list.
int list_entry_width(const char* list);
// Entry i of a list (no bounds check; i may be the end entry).
const char* list_entry(const char* list, int index);
// Writes text as entry index of a list of width W, blank-padded or cut to W characters.
void write_list_entry(char* list, int width, int index, const char* text);
// Writes the "~" entry after count entries.
void end_list(char* list, int width, int count);
// Bytes a list of count entries of width W needs, the end entry included.
constexpr int list_bytes(int width, int count) { return (width + 1) * (count + 1); }
// Builds a list from lines (null and "" give empty rows) into buffer; returns false, writing
// nothing, when it would not fit into capacity bytes.
bool fill_list(char* buffer, int capacity, int width, const char* const* lines, int count);

// ---- Drawing -------------------------------------------------------------------------------

// Where a list sits: centred on the screen, or 16 pixels lower (the colour editor).
enum ListPosition : int { kListCentred = 0, kListLowered = 1 };
constexpr int kNoHighlight = -1;

// Frame plus items plus highlight. With kNoHighlight every item is drawn in the active menu
// text colour (help pages, ABOUT); otherwise items are inactive and the highlighted row is
// cleared and drawn in the active colour, or in the interpolate colour when the parameter
// editor marks that row.
void draw_menu(const char* list, int position, int highlight);
// Items and highlight only, over an existing frame (moving the selection).
void draw_menu_items(const char* list, int position, int highlight);
// Redraws one item row in place: the row cleared to the menu background, the text in the
// active menu text colour (a list line whose content changed).
void redraw_menu_row(const char* list, int position, int index);
// Top-left corner of item row index, for screens that draw beside a list.
int menu_item_x(const char* list);
int menu_item_y(const char* list, int position, int index);

}  // namespace zorbel
