// The one list view: item lists, the framed menu with its highlight, and the shared list keys.
#include "ui/widgets/list_view.h"

#include <cstring>

#include "files/colour_scheme.h"
#include "ui/draw/draw.h"
#include "ui/widgets/editor_state.h"
#include "ui/draw/font.h"
#include "ui/platform/input.h"
#include "ui/draw/message_box.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/state_table.h"
#include "ui/draw/text.h"
#include "ui/widgets/text_list.h"

namespace zorbel {

namespace {

// A list is centred on (400, 300); the lowered position sits this much further down.
constexpr int kListCentreX = 400;
constexpr int kListCentreY = 300;
constexpr int kLoweredDrop = 16;
// The GEN page of an FM synth fills the screen further down, so its lists move out of the way.
constexpr int kFmGenPageDrop = 12;
constexpr int kFmGenPageGroup = 2;

int list_drop(int position) {
  int drop = position == kListLowered ? kLoweredDrop : 0;
  if (editor_state() == kStateGenPage && param_editor_link.page_group &&
      param_editor_link.page_group() == kFmGenPageGroup)
    drop += kFmGenPageDrop;
  return drop;
}

bool row_marked(int row) { return param_editor_link.row_marked && param_editor_link.row_marked(row); }

}  // namespace

int list_entry_width(const char* list) { return static_cast<int>(std::strlen(list)); }

const char* list_entry(const char* list, int index) {
  return list + static_cast<long>(index) * (list_entry_width(list) + 1);
}

void write_list_entry(char* list, int width, int index, const char* text) {
  char* entry = list + static_cast<long>(index) * (width + 1);
  const int n = text ? static_cast<int>(std::strlen(text)) : 0;
  for (int i = 0; i < width; ++i) entry[i] = i < n ? text[i] : ' ';
  entry[width] = '\0';
}

void end_list(char* list, int width, int count) {
  write_list_entry(list, width, count, "~");
}

bool fill_list(char* buffer, int capacity, int width, const char* const* lines, int count) {
  if (!buffer || width < 1 || count < 0 || list_bytes(width, count) > capacity) return false;
  for (int i = 0; i < count; ++i) write_list_entry(buffer, width, i, lines[i]);
  end_list(buffer, width, count);
  return true;
}

int menu_item_x(const char* list) {
  return kListCentreX - 4 * list_entry_width(list);
}

int menu_item_y(const char* list, int position, int index) {
  return kListCentreY - 4 * count_list_entries(list) + kGlyphRows * index + list_drop(position);
}

void draw_menu(const char* list, int position, int highlight) {
  if (!list) return;
  draw_message_frame(kGlyphWidth * list_entry_width(list), kGlyphRows * count_list_entries(list),
                     list_drop(position));
  draw_menu_items(list, position, highlight);
}

void draw_menu_items(const char* list, int position, int highlight) {
  if (!list) return;
  const int n = count_list_entries(list);
  const int x = menu_item_x(list);
  const uint16_t colour = colour_scheme.active[highlight == kNoHighlight ? kSlotActiveMenuText
                                                                         : kSlotInactiveMenuText];
  for (int i = 0; i < n; ++i) draw_text(x, menu_item_y(list, position, i), colour, list_entry(list, i));
  if (highlight < 0 || highlight >= n) return;
  const int y = menu_item_y(list, position, highlight);
  fill_rect(x, y, kGlyphWidth * list_entry_width(list), kGlyphRows,
            colour_scheme.active[kSlotMenuBackground]);
  const int slot = row_marked(highlight) ? kSlotInterpolateText : kSlotActiveMenuText;
  draw_text(x, y, colour_scheme.active[slot], list_entry(list, highlight));
}

void redraw_menu_row(const char* list, int position, int index) {
  if (!list || index < 0 || index >= count_list_entries(list)) return;
  const int x = menu_item_x(list);
  const int y = menu_item_y(list, position, index);
  fill_rect(x, y, kGlyphWidth * list_entry_width(list), kGlyphRows,
            colour_scheme.active[kSlotMenuBackground]);
  draw_text(x, y, colour_scheme.active[kSlotActiveMenuText], list_entry(list, index));
}

}  // namespace zorbel
