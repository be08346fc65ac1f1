// Pad mapping and the SDL joystick layer's pads.
#include "ui/platform/gamepad.h"

#include <SDL/SDL.h>
#include <dirent.h>

#include <cstdlib>
#include <cstring>

#include "ui/platform/key_map.h"

namespace zorbel {

namespace {

struct PadMapping {
  int pad_button;
  int console_button;
};

constexpr PadMapping kPadButtons[] = {
    {kPadDUp, kBtnDUp},           {kPadDDown, kBtnDDn},          {kPadDLeft, kBtnDLt},
    {kPadDRight, kBtnDRt},        {kPadSouth, kBtnX},            {kPadEast, kBtnO},
    {kPadWest, kBtnSq},           {kPadNorth, kBtnTri},          {kPadLeftShoulder, kBtnLTr},
    {kPadRightShoulder, kBtnRTr}, {kPadStart, kBtnStart},        {kPadBack, kBtnSelect},
};

constexpr int kMostPads = 8;

struct Pads {
  SDL_Joystick* open[kMostPads] = {};
  int count = 0;
  bool started = false;
  uint32_t last_check_ms = 0;
  long device_signature = -1;  // what /dev/input held at the last look
};

Pads pads;

void hold(uint8_t* keys, int key) { keys[key] = 1; }

// A cheap fingerprint of the input device folder: SDL 1.2 has no event for a pad plugged in,
// so a change of the folder is the cue to ask SDL for the pads again.
long input_device_signature() {
  DIR* dir = opendir("/dev/input");
  if (!dir) return 0;
  long signature = 0;
  while (const dirent* entry = readdir(dir)) {
    long h = 0;
    for (const char* c = entry->d_name; *c; ++c) h = h * 31 + static_cast<unsigned char>(*c);
    signature += h;  // order-free: readdir's order may change
  }
  closedir(dir);
  return signature;
}

void close_all() {
  for (int i = 0; i < pads.count; ++i)
    if (pads.open[i]) SDL_JoystickClose(pads.open[i]);
  std::memset(pads.open, 0, sizeof pads.open);
  pads.count = 0;
}

void open_all() {
  const int n = SDL_NumJoysticks();
  for (int i = 0; i < n && pads.count < kMostPads; ++i)
    if (SDL_Joystick* j = SDL_JoystickOpen(i)) pads.open[pads.count++] = j;
}

}  // namespace

void apply_pad_to_keys(const PadState& pad, uint8_t* keys) {
  for (const PadMapping& m : kPadButtons)
    if (pad.buttons[m.pad_button]) hold(keys, m.console_button);
  const int x = pad.axes[kPadLeftX];
  const int y = pad.axes[kPadLeftY];
  if (x < -kStickDeadZone) hold(keys, kBtnALt);
  if (x > kStickDeadZone) hold(keys, kBtnARt);
  if (y < -kStickDeadZone) hold(keys, kBtnAUp);
  if (y > kStickDeadZone) hold(keys, kBtnADn);
  if (pad.axes[kPadLeftTrigger] > kTriggerThreshold) hold(keys, kBtnLTr);
  if (pad.axes[kPadRightTrigger] > kTriggerThreshold) hold(keys, kBtnRTr);
}

void open_pads() {
  // Every known pad then reports one layout, whatever its maker numbered its buttons.
  setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 0);
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return;
  pads.started = true;
  pads.device_signature = input_device_signature();
  open_all();
}

void read_pads(PadState* pad) {
  std::memset(pad, 0, sizeof *pad);
  if (pads.count == 0) return;
  SDL_JoystickUpdate();
  for (int i = 0; i < pads.count; ++i) {
    SDL_Joystick* j = pads.open[i];
    const int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < kPadButtonCount && b < buttons; ++b)
      if (SDL_JoystickGetButton(j, b)) pad->buttons[b] = 1;
    const int axes = SDL_JoystickNumAxes(j);
    for (int a = 0; a < kPadAxisCount && a < axes; ++a) {
      // The stick furthest from its centre wins.
      const int16_t v = SDL_JoystickGetAxis(j, a);
      if (std::abs(v) > std::abs(pad->axes[a])) pad->axes[a] = v;
    }
  }
}

void check_pads(uint32_t now_ms) {
  if (!pads.started || now_ms - pads.last_check_ms < kPadCheckIntervalMs) return;
  pads.last_check_ms = now_ms;
  const long signature = input_device_signature();
  if (signature == pads.device_signature) return;
  pads.device_signature = signature;
  // The joystick layer lists pads when it starts: starting it again finds the new set.
  close_all();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) {
    pads.started = false;
    return;
  }
  open_all();
}

int open_pad_count() { return pads.count; }

}  // namespace zorbel
