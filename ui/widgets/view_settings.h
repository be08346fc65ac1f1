// The editor's own settings that no song carries: APAD response, the grid-step spacing, the key
// repeat delay and the octave of the piano keys.
#pragma once

namespace zorbel {

constexpr int kApadSensitivityMax = 9;
constexpr int kGridStepsMin = 1;
constexpr int kGridStepsMax = 32;
// KEY REPEAT: how long a held button waits before it repeats, in ms; 0 repeats at once.
constexpr int kKeyRepeatMaxMs = 1000;
constexpr int kKeyRepeatStepMs = 50;
constexpr int kKeyRepeatDefaultMs = 300;

struct ViewSettings {
  int apad_sensitivity = 7;     // 0..9; the factor table turns it into a multiplier
  bool apad_always_jump8 = true;
  int grid_steps = 4;           // 1..32, the spacing of the step grid's marker columns
  int key_repeat_ms = kKeyRepeatDefaultMs;  // 0..1000 in steps of 50
  int piano_octave = 4;         // the base octave of the Shift piano keys, 0..8 (C_4 = note 48)
};

extern ViewSettings view_settings;

// The start-up values (tests).
void reset_view_settings();

// Called after KEY REPEAT stores a new delay, so the program can keep it. Null for none.
void set_key_repeat_stored_hook(void (*hook)());
void key_repeat_stored();

}  // namespace zorbel
