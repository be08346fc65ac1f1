// Frame and input sources over SDL 1.2.
#include "ui/platform/sdl_platform.h"

#include <SDL/SDL.h>

#include <cstring>

#include "ui/draw/screen.h"
#include "ui/platform/gamepad.h"
#include "ui/platform/scaled_window.h"

namespace zorbel {

namespace {

// The event record keeps its last content when no event was pending.
SDL_Event event;

// Keys that went down since the input last asked: the key state alone misses a tap that begins
// and ends between two reads.
constexpr int kDownCapacity = 64;
int downs[kDownCapacity];
int down_count = 0;

bool poll_event(bool* quit) {
  // A pad button's event runs the input at once, as a key's does; a stick reports every small
  // movement and is read with the buttons instead, so its events are passed over.
  do {
    if (!SDL_PollEvent(&event)) return false;
  } while (event.type == SDL_JOYAXISMOTION);
  if (event.type == SDL_QUIT) *quit = true;
  if (event.type == SDL_KEYDOWN && down_count < kDownCapacity)
    downs[down_count++] = static_cast<int>(event.key.keysym.sym);
  handle_window_event(event);
  return true;
}

int read_key_downs(int* keys, int capacity) {
  const int n = down_count < capacity ? down_count : capacity;
  std::memcpy(keys, downs, sizeof(int) * static_cast<size_t>(n));
  down_count = 0;
  return n;
}

void present() { show_screen(); }

void delay_ms(int ms) { SDL_Delay(static_cast<Uint32>(ms)); }
uint32_t now_ms() { return SDL_GetTicks(); }

void read_keys(uint8_t* keys, int count) {
  int available = 0;
  const Uint8* state = SDL_GetKeyState(&available);
  const int n = state ? (available < count ? available : count) : 0;
  if (n > 0) std::memcpy(keys, state, static_cast<size_t>(n));
  if (n < count) std::memset(keys + n, 0, static_cast<size_t>(count - n));
}

// The pointer is read in surface pixels, so the drag moves a value by the same amount per
// surface pixel at every scale: a larger window drags finer.
void read_mouse(int* x, int* y, uint8_t* buttons) {
  *buttons = static_cast<uint8_t>(SDL_GetMouseState(x, y));
  const int scale = window_placement().scale;
  *x /= scale;
  *y /= scale;
}

void warp_mouse(int x, int y) {
  const int scale = window_placement().scale;
  SDL_WarpMouse(static_cast<Uint16>(x * scale), static_cast<Uint16>(y * scale));
}

void read_pad(PadState* pad) {
  check_pads(SDL_GetTicks());
  read_pads(pad);
}

const FrameSource kFrames{poll_event, present, delay_ms, now_ms};
const InputSource kInput{read_keys, read_mouse, warp_mouse, read_key_downs, now_ms, read_pad};

}  // namespace

const FrameSource* sdl_frame_source() { return &kFrames; }
const InputSource* sdl_input_source() { return &kInput; }
void set_window_title(const char* title) { SDL_WM_SetCaption(title, title); }
void show_pointer(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

}  // namespace zorbel
