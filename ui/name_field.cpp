// The name entry field: drawing it and typing into it.
#include "ui/name_field.h"

#include "files/colour_scheme.h"
#include "ui/draw.h"
#include "ui/font.h"
#include "ui/input.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace zorbel {

namespace {

constexpr int kFieldHeight = 9;
constexpr int kCursorWidth = 7;

}  // namespace

void draw_name_field(int x, int y, const char* name, int width, int cursor) {
  const uint16_t ink = colour_scheme.active[kSlotActiveMenuText];
  fill_rect(x, y, kGlyphWidth * width, kFieldHeight, colour_scheme.active[kSlotMenuBackground]);
  char shown[kNameEntryCapacity + 1] = {};
  for (int i = 0; i < width && i < kNameEntryCapacity && name && name[i]; ++i) shown[i] = name[i];
  draw_text(x + 1, y, ink, shown);
  fill_rect(x + 1 + kGlyphWidth * cursor, y + kGlyphRows, kCursorWidth, 1, ink);
}

void show_name_field(const NameEntry& entry) {
  draw_message_frame(kGlyphWidth * entry.length, kFieldHeight, 0);
  draw_name_field(name_field_x(entry.length), kNameFieldY, entry.text, entry.length, entry.cursor);
}

NameFieldKey name_field_keys(NameEntry& entry) {
  if (button_pressed(kBtnStart)) return NameFieldKey::kCancelled;
  if (button_pressed(kBtnX)) return NameFieldKey::kConfirmed;
  int step = 0;
  if (button_held(kBtnDUp)) step = 1;
  else if (button_held(kBtnDDn)) step = -1;
  else if (mouse_left_held()) step = (mouse_drag_pixels() > 0) - (mouse_drag_pixels() < 0);
  if (step > 0) name_entry_up(entry);
  else if (step < 0) name_entry_down(entry);
  else if (button_pressed(kBtnDRt)) name_entry_right(entry);
  else if (button_pressed(kBtnDLt)) name_entry_left(entry);
  else if (button_pressed(kBtnO)) name_entry_delete(entry);
  else return NameFieldKey::kNone;
  draw_name_field(name_field_x(entry.length), kNameFieldY, entry.text, entry.length, entry.cursor);
  return NameFieldKey::kEdited;
}

}  // namespace zorbel
