// Gamepads as the console's buttons: the standard pad layout mapped onto the button keys, and
// the pads SDL reports, opened at start and when one is plugged in.
#pragma once

#include <cstdint>

namespace zorbel {

// Buttons and axes of a pad in the standard layout, numbered as SDL's game controller layer
// reports them through its SDL 1.2 joystick interface.
enum PadButton : int {
  kPadSouth = 0,
  kPadEast = 1,
  kPadWest = 2,
  kPadNorth = 3,
  kPadBack = 4,
  kPadGuide = 5,
  kPadStart = 6,
  kPadLeftStick = 7,
  kPadRightStick = 8,
  kPadLeftShoulder = 9,
  kPadRightShoulder = 10,
  kPadDUp = 11,
  kPadDDown = 12,
  kPadDLeft = 13,
  kPadDRight = 14,
};
constexpr int kPadButtonCount = 15;

enum PadAxis : int {
  kPadLeftX = 0,
  kPadLeftY = 1,
  kPadRightX = 2,
  kPadRightY = 3,
  kPadLeftTrigger = 4,
  kPadRightTrigger = 5,
};
constexpr int kPadAxisCount = 6;

// Axis values run -32768..32767 (triggers 0..32767). A stick counts as pushed past 30 % of
// its travel, a trigger past half of it.
constexpr int kStickDeadZone = 32767 * 30 / 100;
constexpr int kTriggerThreshold = 32767 / 2;

// The live state of every pad together: a button held on any pad is held.
struct PadState {
  uint8_t buttons[kPadButtonCount];
  int16_t axes[kPadAxisCount];
};

// Marks the console buttons the pad holds in keys (indexed by key symbol). Keys already held
// stay held, so a button held on both the keyboard and a pad is one held button.
void apply_pad_to_keys(const PadState& pad, uint8_t* keys);

// Starts SDL's joystick layer in the standard pad layout and opens every pad present.
void open_pads();
// Reads the open pads into *pad (all released when none is open).
void read_pads(PadState* pad);
// Looks for pads plugged in or pulled out, at most once every now_ms interval of
// kPadCheckIntervalMs, and reopens the pads when the set of input devices changed.
constexpr uint32_t kPadCheckIntervalMs = 1000;
void check_pads(uint32_t now_ms);
// Number of pads open.
int open_pad_count();

}  // namespace zorbel
