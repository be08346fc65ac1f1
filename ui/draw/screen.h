// The 800 x 600 x 16 video surface and the drawing state every primitive shares.
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

namespace zorbel {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kScreenBitsPerPixel = 16;

// The 480 x 272 handheld layout sits centred on the surface; every screen draws inside it.
constexpr int kConsoleX = 160;
constexpr int kConsoleY = 164;
constexpr int kConsoleWidth = 480;
constexpr int kConsoleHeight = 272;

// One plotted waveform point, kept so the caller can erase the trace next frame.
struct PlotPoint {
  uint16_t x;
  uint16_t y;
};

// plot_wave never records more points than this; a trace is at most one per column.
constexpr int kPlotHistoryPoints = 1024;

// Everything the drawing primitives share. One instance, owned here; tests reset it.
struct DrawState {
  SDL_Surface* surface = nullptr;  // drawing target; primitives do nothing while it is null
  PlotPoint plot_history[kPlotHistoryPoints] = {};
  int plot_history_count = 0;      // entries written by the latest plot_wave
  bool drawn = false;              // a primitive wrote pixels since the frame was last shown
};

extern DrawState draw_state;

// Points every primitive at surface (may be null) and forgets the plot history.
void reset_draw_state(SDL_Surface* surface);

// Starts SDL video and the font library; on failure prints the reason to standard output and
// ends the process with status 1.
void start_video();
// Prints why the video mode was refused and ends the process with status 1.
[[noreturn]] void fail_video_mode(int width, int height, int bits_per_pixel);

// Shows the drawing surface: by the function set below (a scaled window), else by flipping
// the surface itself.
void show_screen();
// The function that shows the drawing surface when it is not the display's own (null: flip).
void set_show_function(void (*show)());

// Starts SDL video and the font library and returns the screen surface, which also becomes
// the drawing target. The full-screen build (windowed false) always asks for 800 x 600 x 16;
// the windowed build asks for the given mode as a hardware, double-buffered surface.
// On failure prints the reason to standard output and ends the process with status 1.
SDL_Surface* open_screen(int width, int height, int bits_per_pixel, bool windowed);

// Surface locking, done only when SDL says the surface needs it.
void lock_screen(SDL_Surface* surface);
void unlock_screen(SDL_Surface* surface);

// Fills the console area with colour (RGB565) and shows it; takes and releases the lock
// itself, so the caller must not hold it.
void clear_console_area(uint16_t colour);

}  // namespace zorbel
