// Button input: the key state snapshot, presses against the previous acting tick, the shared
// input tick and the mouse drag control. Screens read buttons only through these functions.
#pragma once

#include <cstdint>

#include "ui/platform/key_map.h"

namespace zorbel {

// Where the live buttons and mouse come from: SDL in the program, a script in zorbel-drive and
// the tests. Every function may be null (then nothing is held and the mouse stays put).
struct InputSource {
  // Copies the live key state into keys (count entries, indexed by key symbol).
  void (*read_keys)(uint8_t* keys, int count) = nullptr;
  // The pointer position and button mask (bit value 1 left, 4 right).
  void (*read_mouse)(int* x, int* y, uint8_t* buttons) = nullptr;
  // Moves the pointer (the drag control keeps it away from the edges).
  void (*warp_mouse)(int x, int y) = nullptr;
};

constexpr uint8_t kMouseLeft = 1;
constexpr uint8_t kMouseRight = 4;

// Everything the input layer keeps. One instance; reset_input_state() puts it back.
struct InputState {
  uint8_t keys[kKeySymbolCount];       // the key state snapshot of this tick
  uint8_t previous[kKeySymbolCount];   // the snapshot at the end of the last acting editor tick
  int tick_counter;                    // shared by both modes' input functions
  int mouse_x;
  int mouse_y;
  int previous_mouse_y;
  uint8_t mouse_buttons;
  int cursor_group;                    // (cursor step >> 3) & 7
  bool quit;                           // Esc or a quit event: ends the main loop
  uint32_t acting_ticks;               // input ticks that acted since the reset
  int history_request;                 // a HistoryRequest the keys made, taken by the screens
  bool held_any;                       // a key or mouse button was down at the last read
  bool undo_keys_down;                 // Ctrl+Z or Ctrl+Y was down at the last read
};

// Undo and redo asked for by Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z (any screen) or the console
// combination of the step editor.
enum HistoryRequest : int { kHistoryNone = 0, kHistoryUndo = 1, kHistoryRedo = 2 };

extern InputState input;

void set_input_source(const InputSource* source);
void reset_input_state();

// Re-reads the key state snapshot and refreshes the cursor group.
void read_input_state();
// The shared tick: reads the input state and returns true on every third call, when the
// input function acts.
bool input_tick();
// Reads the pointer and the button mask (first step of an acting editor tick).
void read_mouse_state();
// End of an acting editor tick: the snapshot becomes the previous key state, and the pointer
// is warped back into its band so its vertical movement works without end.
void end_editor_tick();
// Every key counts as released and the previous key state becomes all zero (visualizer entry).
void forget_keys();

// Held now and not held at the previous acting tick.
bool button_pressed(int key);
bool button_held(int key);
// None of X, O, SQ, TRI is held.
bool no_face_button_held();

// Vertical movement of the pointer since the last acting tick, in pixels; up is positive.
int mouse_drag_pixels();
bool mouse_left_held();
bool mouse_right_held();

}  // namespace zorbel
