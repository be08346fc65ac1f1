// Video start-up, surface locking and the console-area clear.
#include "ui/draw/screen.h"

#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>

namespace zorbel {

DrawState draw_state;

namespace {
void (*show_function)() = nullptr;
}  // namespace

void set_show_function(void (*show)()) { show_function = show; }

void show_screen() {
  if (show_function)
    show_function();
  else if (draw_state.surface)
    SDL_Flip(draw_state.surface);
}

void reset_draw_state(SDL_Surface* surface) {
  draw_state = DrawState{};
  draw_state.surface = surface;
}

void start_video() {
  // The surface is drawn by the CPU and shown as it is: copying it to the display in software
  // costs far less than a GL context per frame (a software GL runs two threads for it). A
  // setting the user made in the environment wins.
  setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
  setenv("SDL_RENDER_DRIVER", "software", 0);
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::printf("Unable to init SDL: %s\n", SDL_GetError());
    std::fflush(stdout);
    std::exit(1);
  }
  std::atexit(SDL_Quit);
  // Only started; all text is drawn with the bitmap font.
  TTF_Init();
}

void fail_video_mode(int width, int height, int bits_per_pixel) {
  std::printf("Unable to set video mode %d by %d at %d bpp: %s\n", width, height, bits_per_pixel,
              SDL_GetError());
  std::fflush(stdout);
  std::exit(1);
}

SDL_Surface* open_screen(int width, int height, int bits_per_pixel, bool windowed) {
  start_video();

  SDL_Surface* surface = nullptr;
  if (windowed) {
    surface = SDL_SetVideoMode(width, height, bits_per_pixel, SDL_HWSURFACE | SDL_DOUBLEBUF);
  } else {
    // The layout only works at the one mode, whatever the caller passed.
    width = kScreenWidth;
    height = kScreenHeight;
    bits_per_pixel = kScreenBitsPerPixel;
    surface = SDL_SetVideoMode(width, height, bits_per_pixel, SDL_FULLSCREEN);
  }
  if (!surface) fail_video_mode(width, height, bits_per_pixel);

  set_show_function(nullptr);  // the surface is the display's own
  reset_draw_state(surface);
  return surface;
}

void lock_screen(SDL_Surface* surface) {
  if (surface && SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
}

void unlock_screen(SDL_Surface* surface) {
  if (surface && SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
}

void clear_console_area(uint16_t colour) {
  SDL_Surface* surface = draw_state.surface;
  if (!surface) return;
  // The frame drawn so far reaches the display before the area is filled; the fill is then
  // shown at once.
  if (show_function) {
    show_function();
  } else {
    lock_screen(surface);
    SDL_UpdateRect(surface, kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight);
    unlock_screen(surface);
  }
  SDL_Delay(2);
  show_screen();
  lock_screen(surface);
  SDL_Rect area{static_cast<Sint16>(kConsoleX), static_cast<Sint16>(kConsoleY),
                static_cast<Uint16>(kConsoleWidth), static_cast<Uint16>(kConsoleHeight)};
  // The fill value holds the 16-bit colour in both halves.
  SDL_FillRect(surface, &area, static_cast<Uint32>(colour) * 65537u);
  unlock_screen(surface);
  show_screen();
}

}  // namespace zorbel
