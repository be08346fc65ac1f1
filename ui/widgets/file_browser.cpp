// The list window of file names and the name entry field: drawing and keys.
#include "ui/widgets/file_browser.h"

#include "files/colour_scheme.h"
#include "ui/draw/draw.h"
#include "ui/draw/font.h"
#include "ui/platform/input.h"
#include "ui/widgets/list_view.h"
#include "ui/draw/message_box.h"
#include "ui/widgets/state_table.h"
#include "ui/draw/text.h"

namespace zorbel {

namespace {

constexpr int kNameFieldHeight = 9;
constexpr int kCursorLineWidth = 7;
constexpr int kFieldCentreX = 400;

uint16_t slot(int s) { return colour_scheme.active[s]; }

}  // namespace

void draw_file_frame() { draw_message_frame(kFileWindowWidth, kFileWindowHeight, 0); }

void draw_file_list(const std::vector<std::string>& names, int selected) {
  const int count = static_cast<int>(names.size());
  if (count == 0) {
    draw_text(kFileWindowX, kFileWindowY, slot(kSlotActiveMenuText), "NO FILES TO LOAD");
    return;
  }
  fill_rect(kFileWindowX, kFileWindowY, kFileWindowWidth, kFileWindowHeight,
            slot(kSlotMenuBackground));
  // Always eight rows of sixteen characters, so the list view puts them where the window is
  // whatever the count; rows past the last name stay blank.
  char list[list_bytes(kListedNameMax, kFileWindowLines)];
  const FileWindow window = file_list_window(count, selected);
  for (int line = 0; line < kFileWindowLines; ++line)
    write_list_entry(list, kListedNameMax, line,
                     line < window.lines ? names[window.index[line]].c_str() : "");
  end_list(list, kListedNameMax, kFileWindowLines);
  draw_menu_items(list, kListCentred, window.selected_line);
}

int name_field_x(int length) { return kFieldCentreX - 4 * length - 1; }

void draw_name_field(int cursor, const char* text, int length) {
  const int x = name_field_x(length);
  fill_rect(x, kNameFieldY, kGlyphWidth * length, kNameFieldHeight, slot(kSlotMenuBackground));
  char shown[kNameEntryCapacity + 1] = {};
  for (int i = 0; i < length && i < kNameEntryCapacity && text && text[i]; ++i) shown[i] = text[i];
  const uint16_t colour = slot(kSlotActiveMenuText);
  draw_text(x + 1, kNameFieldY, colour, shown);
  fill_rect(x + 1 + kGlyphWidth * cursor, kNameFieldCursorY, kCursorLineWidth, 1, colour);
}

void draw_name_field(const NameEntry& entry) {
  draw_name_field(entry.cursor, entry.text, entry.length);
}

void show_name_entry(const NameEntry& entry) {
  // The field stands alone over the grid: no part of the prompt or menu before stays round it.
  redraw_background();
  draw_message_frame(kGlyphWidth * entry.length, kNameFieldHeight, 0);
  draw_name_field(entry);
}

namespace {

// The character a letter or digit key types, or 0.
char typed_char(int key) {
  if (key >= kKeyLetterFirst && key <= kKeyLetterLast)
    return static_cast<char>('A' + (key - kKeyLetterFirst));
  if (key >= kKeyDigitFirst && key <= kKeyDigitLast)
    return static_cast<char>('0' + (key - kKeyDigitFirst));
  return 0;
}

}  // namespace

NameKey name_entry_keys(NameEntry& entry) {
  // Letters and digits type (they are not console buttons here), Backspace deletes before the
  // cursor and Delete at it, Return takes the name; the keys act in the order they went down.
  bool typed = false;
  for (int i = 0; i < input.acting_count && typing_keys_act(); ++i) {
    const int key = input.acting[i];
    if (key == kKeyReturn || key == kKeyPadEnter) {
      if (typed) draw_name_field(entry);
      return NameKey::kConfirmed;
    }
    if (key == kKeyBackspace) {
      name_entry_backspace(entry);
      typed = true;
    } else if (key == kKeyDelete) {
      name_entry_delete(entry);
      typed = true;
    } else if (const char c = typed_char(key)) {
      name_entry_type(entry, c);
      typed = true;
    }
  }
  if (typed) {
    draw_name_field(entry);
    return NameKey::kChanged;
  }
  if (button_pressed(kBtnStart)) return NameKey::kCancelled;
  int drag = 0;
  if (mouse_left_held()) {
    const int pixels = mouse_drag_pixels();
    drag = (pixels > 0) - (pixels < 0);
  }
  if (button_held(kBtnDUp) || drag > 0)
    name_entry_up(entry);
  else if (button_held(kBtnDDn) || drag < 0)
    name_entry_down(entry);
  else if (button_pressed(kBtnDRt))
    name_entry_right(entry);
  else if (button_pressed(kBtnDLt))
    name_entry_left(entry);
  else
    return NameKey::kNone;
  draw_name_field(entry);
  return NameKey::kChanged;
}

}  // namespace zorbel
