// Button input: the key state snapshot, presses against the previous acting tick, the shared
// input tick with its key repeat, and the mouse drag control. Screens read buttons only through
// these functions.
//
// A button acts once when it goes down. Held, it acts again only after the KEY REPEAT delay, and
// then on every acting tick; until then the ticks stay quiet (the mode's input does not act).
// A key that went down and up again between two acting ticks still counts as pressed at the
// next acting tick, once.
#pragma once

#include <cstdint>

#include "ui/platform/gamepad.h"
#include "ui/platform/key_map.h"

namespace zorbel {

// Where the live buttons and mouse come from: SDL in the program, a script in zorbel-drive and
// the tests. Every function may be null (then nothing is held and the mouse stays put).
struct InputSource {
  // Copies the live key state into keys (count entries, indexed by key symbol).
  void (*read_keys)(uint8_t* keys, int count) = nullptr;
  // The pointer position and button mask (bit value 1 left, 4 right).
  void (*read_mouse)(int* x, int* y, uint8_t* buttons) = nullptr;
  // Moves the pointer (the drag control keeps it away from the edges while it drags).
  void (*warp_mouse)(int x, int y) = nullptr;
  // Writes the keys that went down since the last call, oldest first, up to capacity; returns
  // how many. A key pressed and released between two reads of the key state shows up here.
  int (*read_key_downs)(int* keys, int capacity) = nullptr;
  // Milliseconds since a fixed moment, for the repeat delay. Without it a held key repeats at
  // once, as with a delay of 0.
  uint32_t (*now_ms)() = nullptr;
  // The pads' live state; the buttons they hold join the keys' snapshot.
  void (*read_pad)(PadState* pad) = nullptr;
};

constexpr uint8_t kMouseLeft = 1;
constexpr uint8_t kMouseRight = 4;
// Key downs waiting for an acting tick, and keys acting in one tick.
constexpr int kKeyDownQueueCapacity = 64;
constexpr int kActingKeysCapacity = 16;

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
  // Key downs reported by the source that no acting tick has taken yet, oldest first.
  int down_queue[kKeyDownQueueCapacity];
  int down_count;
  uint8_t tapped[kKeySymbolCount];     // went down anew for this acting tick
  // The keys that act in this tick, in the order they went down: the fresh presses, or on a
  // repeat the key pressed last.
  int acting[kActingKeysCapacity];
  int acting_count;
  // On a repeat tick: how long the repeating key has been held, in ms; 0 on other ticks.
  uint32_t repeat_held_ms;
  uint8_t seen[kKeySymbolCount];       // the keys held at the last acting or quiet tick
  uint32_t pressed_at_ms[kKeySymbolCount];
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

// Re-reads the key state snapshot (keys and pads together) and refreshes the cursor group.
void read_input_state();
// The shared tick: reads the input state and returns true on every third call, when the
// input function acts, unless the tick is quiet: keys are held, none went down anew, no mouse
// button drags, and the key pressed last went down less than repeat_delay_ms ago (the KEY
// REPEAT setting; 0 repeats at once).
bool input_tick(int repeat_delay_ms);
// Reads the pointer and the button mask (first step of an acting editor tick).
void read_mouse_state();
// End of an acting editor tick: the snapshot becomes the previous key state, and the pointer
// is warped back into its band so its vertical movement works without end.
void end_editor_tick();
// Every key counts as released and the previous key state becomes all zero (visualizer entry).
void forget_keys();

// Held now and not held at the previous acting tick, or went down again since.
bool button_pressed(int key);
// The key acts in this tick: it was pressed, or it is the held key that repeats.
bool key_acts(int key);
// Either shift key is held.
bool shift_held();
// Keys that put in text or notes repeat only once held this long, whatever the KEY REPEAT
// delay, so a tap types one character even where the D-pad repeats at once.
constexpr uint32_t kTypingRepeatMs = 300;
// False on a repeat tick that comes before kTypingRepeatMs; true on every other tick.
bool typing_keys_act();
bool button_held(int key);
// None of X, O, SQ, TRI is held.
bool no_face_button_held();

// Vertical movement of the pointer since the last acting tick, in pixels; up is positive.
int mouse_drag_pixels();
bool mouse_left_held();
bool mouse_right_held();

}  // namespace zorbel
