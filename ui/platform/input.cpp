// The key state snapshot, presses, the shared input tick and the mouse drag control.
#include "ui/platform/input.h"

#include <cstring>

#include "edit/undo_journal.h"
#include "engine/song.h"

namespace zorbel {

InputState input;

namespace {

const InputSource* source = nullptr;

// The pointer lives in this band of rows; leaving it warps it to the other end.
constexpr int kWarpX = 200;
constexpr int kBandTop = 50;
constexpr int kBandBottom = 222;

struct ButtonName {
  const char* name;
  int key;
};

constexpr ButtonName kButtonNames[] = {
    {"X", kBtnX},         {"O", kBtnO},           {"SQ", kBtnSq},         {"TRI", kBtnTri},
    {"L-TR", kBtnLTr},    {"R-TR", kBtnRTr},      {"START", kBtnStart},   {"SELECT", kBtnSelect},
    {"D-UP", kBtnDUp},    {"D-DN", kBtnDDn},      {"D-LT", kBtnDLt},      {"D-RT", kBtnDRt},
    {"A-UP", kBtnAUp},    {"A-DN", kBtnADn},      {"A-LT", kBtnALt},      {"A-RT", kBtnARt},
    {"ESC", kKeyEscape},  {"8", kKey8},           {"9", kKey9},           {"0", kKey0},
    {"CTRL", kKeyLeftCtrl}, {"SHIFT", kKeyLeftShift}, {"Z", kKeyZ},
};

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo; with Ctrl down, Y is not TRI.
void read_undo_keys() {
  uint8_t* k = input.keys;
  const bool ctrl = k[kKeyLeftCtrl] || k[kKeyRightCtrl];
  const bool shift = k[kKeyLeftShift] || k[kKeyRightShift];
  const bool down = ctrl && (k[kKeyZ] || k[kKeyY]);
  if (down && !input.undo_keys_down)
    input.history_request = k[kKeyY] || shift ? kHistoryRedo : kHistoryUndo;
  input.undo_keys_down = down;
  if (ctrl) k[kKeyY] = 0;
}

// A held change is one journal entry: from the first key or mouse button down to the last up.
void follow_gesture() {
  bool any = input.mouse_buttons != 0;
  for (int i = 0; i < kKeySymbolCount && !any; ++i) any = input.keys[i] != 0;
  if (any && !input.held_any) begin_gesture();
  if (!any && input.held_any) end_gesture();
  input.held_any = any;
}

}  // namespace

int key_for_button_name(const char* name) {
  if (!name) return -1;
  for (const ButtonName& b : kButtonNames)
    if (std::strcmp(b.name, name) == 0) return b.key;
  return -1;
}

void set_input_source(const InputSource* s) { source = s; }

void reset_input_state() {
  std::memset(&input, 0, sizeof input);
  input.mouse_y = input.previous_mouse_y = kBandTop + (kBandBottom - kBandTop) / 2;
}

void read_input_state() {
  if (source && source->read_keys)
    source->read_keys(input.keys, kKeySymbolCount);
  else
    std::memset(input.keys, 0, sizeof input.keys);
  read_undo_keys();
  follow_gesture();
  input.cursor_group = (editor_link.cursor_step >> 3) & 7;
}

bool input_tick() {
  if (input.tick_counter < 2) {
    ++input.tick_counter;
    read_input_state();
    return false;
  }
  input.tick_counter = 0;
  read_input_state();
  ++input.acting_ticks;
  return true;
}

void read_mouse_state() {
  if (source && source->read_mouse) {
    source->read_mouse(&input.mouse_x, &input.mouse_y, &input.mouse_buttons);
  } else {
    input.mouse_buttons = 0;
    input.mouse_y = input.previous_mouse_y;
  }
}

void end_editor_tick() {
  std::memcpy(input.previous, input.keys, kPreviousKeyCount);
  int y = input.mouse_y;
  if (y >= kBandBottom + 1) {
    if (source && source->warp_mouse) source->warp_mouse(kWarpX, kBandTop);
    y = kBandTop;
  } else if (y <= kBandTop - 1) {
    if (source && source->warp_mouse) source->warp_mouse(kWarpX, kBandBottom);
    y = kBandBottom;
  }
  input.mouse_y = y;
  input.previous_mouse_y = y;
}

void forget_keys() {
  std::memset(input.keys, 0, sizeof input.keys);
  std::memset(input.previous, 0, sizeof input.previous);
}

bool button_pressed(int key) {
  if (key < 0 || key >= kKeySymbolCount) return false;
  const bool was = key < kPreviousKeyCount && input.previous[key] != 0;
  return input.keys[key] != 0 && !was;
}

bool button_held(int key) {
  if (key < 0 || key >= kKeySymbolCount) return false;
  return input.keys[key] != 0;
}

bool no_face_button_held() {
  return !button_held(kBtnX) && !button_held(kBtnO) && !button_held(kBtnSq) &&
         !button_held(kBtnTri);
}

int mouse_drag_pixels() { return input.previous_mouse_y - input.mouse_y; }
bool mouse_left_held() { return (input.mouse_buttons & kMouseLeft) != 0; }
bool mouse_right_held() { return (input.mouse_buttons & kMouseRight) != 0; }

}  // namespace zorbel
