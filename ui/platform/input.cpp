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
    {"ESC", kKeyEscape},  {"SHIFT", kKeyLShift},  {"RETURN", kKeyReturn}, {"BACKSPACE", kKeyBackspace},
    {"DELETE", kKeyDelete}, {"CTRL", kKeyLeftCtrl}, {"Z", kKeyZ},
};

// Moves the queued downs that this acting tick takes into tapped and the acting list. A key
// that went down twice is taken once; its second press waits for the next acting tick.
void take_key_downs() {
  std::memset(input.tapped, 0, sizeof input.tapped);
  input.acting_count = 0;
  int taken = 0;
  while (taken < input.down_count) {
    const int key = input.down_queue[taken];
    if (input.tapped[key]) break;
    input.tapped[key] = 1;
    if (input.acting_count < kActingKeysCapacity) input.acting[input.acting_count++] = key;
    ++taken;
  }
  input.down_count -= taken;
  std::memmove(input.down_queue, input.down_queue + taken,
               sizeof(int) * static_cast<size_t>(input.down_count));
}

// Decides whether this acting tick acts, and which keys act in it.
bool tick_acts(int repeat_delay_ms) {
  const uint32_t now = source && source->now_ms ? source->now_ms() : 0;
  const bool clock = source && source->now_ms;
  // Keys newly held without a reported down (a source that reports none) are presses too.
  for (int key = 0; key < kKeySymbolCount; ++key)
    if (input.keys[key] && !input.seen[key] && !input.tapped[key] &&
        input.acting_count < kActingKeysCapacity)
      input.acting[input.acting_count++] = key;
  for (int i = 0; i < input.acting_count; ++i) input.pressed_at_ms[input.acting[i]] = now;
  input.repeat_held_ms = 0;
  std::memcpy(input.seen, input.keys, sizeof input.seen);
  if (input.acting_count > 0) return true;

  int newest = -1;
  for (int key = 0; key < kKeySymbolCount; ++key)
    if (input.keys[key] && (newest < 0 || input.pressed_at_ms[key] - input.pressed_at_ms[newest] <
                                              0x80000000u))
      newest = key;
  if (newest < 0) return true;  // nothing held: releases and idle work
  if (input.mouse_buttons & (kMouseLeft | kMouseRight)) return true;  // a drag goes on
  const uint32_t delay = repeat_delay_ms > 0 ? static_cast<uint32_t>(repeat_delay_ms) : 0;
  if (clock && delay > 0 && now - input.pressed_at_ms[newest] < delay) return false;
  input.acting[input.acting_count++] = newest;
  input.repeat_held_ms = clock ? now - input.pressed_at_ms[newest] : 0;
  return true;
}

// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo; with Ctrl down, Y is not TRI.
void read_undo_keys() {
  uint8_t* k = input.keys;
  const bool ctrl = k[kKeyLeftCtrl] || k[kKeyRightCtrl];
  const bool shift = k[kKeyLShift] || k[kKeyRShift];
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
  if (name[0] != '\0' && name[1] == '\0') {
    if (name[0] >= 'a' && name[0] <= 'z') return kKeyLetterFirst + (name[0] - 'a');
    if (name[0] >= '0' && name[0] <= '9') return kKeyDigitFirst + (name[0] - '0');
  }
  return -1;
}

void set_input_source(const InputSource* s) { source = s; }

void reset_input_state() {
  std::memset(&input, 0, sizeof input);
  input.mouse_y = input.previous_mouse_y = kBandTop + (kBandBottom - kBandTop) / 2;
}

namespace {

void read_live_keys() {
  if (source && source->read_keys)
    source->read_keys(input.keys, kKeySymbolCount);
  else
    std::memset(input.keys, 0, sizeof input.keys);
  if (source && source->read_pad) {
    PadState pad;
    source->read_pad(&pad);
    apply_pad_to_keys(pad, input.keys);
  }
}

}  // namespace

void read_input_state() {
  read_live_keys();
  if (source && source->read_key_downs) {
    int downs[kKeyDownQueueCapacity];
    const int n = source->read_key_downs(downs, kKeyDownQueueCapacity);
    for (int i = 0; i < n; ++i)
      if (downs[i] >= 0 && downs[i] < kKeySymbolCount && input.down_count < kKeyDownQueueCapacity)
        input.down_queue[input.down_count++] = downs[i];
  }
  // A tap not yet taken counts as held, so whatever reads the keys between ticks sees it.
  for (int i = 0; i < input.down_count; ++i) input.keys[input.down_queue[i]] = 1;
  read_undo_keys();
  follow_gesture();
  input.cursor_group = (editor_link.cursor_step >> 3) & 7;
}

bool input_tick(int repeat_delay_ms) {
  read_input_state();
  if (input.tick_counter < 2) {
    ++input.tick_counter;
    return false;
  }
  input.tick_counter = 0;
  // The acting tick sees the keys held now and the taps it takes; later downs wait for the next.
  take_key_downs();
  read_live_keys();
  for (int key = 0; key < kKeySymbolCount; ++key) input.keys[key] |= input.tapped[key];
  read_mouse_state();
  if (!tick_acts(repeat_delay_ms)) return false;
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
  // Only a drag keeps the pointer in its band; otherwise it goes where the hand takes it.
  const bool dragging = (input.mouse_buttons & (kMouseLeft | kMouseRight)) != 0;
  if (dragging && y >= kBandBottom + 1) {
    if (source && source->warp_mouse) source->warp_mouse(kWarpX, kBandTop);
    y = kBandTop;
  } else if (dragging && y <= kBandTop - 1) {
    if (source && source->warp_mouse) source->warp_mouse(kWarpX, kBandBottom);
    y = kBandBottom;
  }
  input.mouse_y = y;
  input.previous_mouse_y = y;
}

void forget_keys() {
  std::memset(input.keys, 0, sizeof input.keys);
  std::memset(input.previous, 0, sizeof input.previous);
  std::memset(input.tapped, 0, sizeof input.tapped);
  input.down_count = 0;
  input.acting_count = 0;
}

bool button_pressed(int key) {
  if (key < 0 || key >= kKeySymbolCount) return false;
  const bool was = key < kPreviousKeyCount && input.previous[key] != 0 && !input.tapped[key];
  return input.keys[key] != 0 && !was;
}

bool key_acts(int key) {
  for (int i = 0; i < input.acting_count; ++i)
    if (input.acting[i] == key) return true;
  return false;
}

bool shift_held() { return button_held(kKeyLShift) || button_held(kKeyRShift); }

bool typing_keys_act() { return input.repeat_held_ms == 0 || input.repeat_held_ms >= kTypingRepeatMs; }

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
