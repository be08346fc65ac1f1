// The window (or full screen) that shows the drawing surface enlarged: its scale, its view,
// full screen, resizing, and the keys that change them.
#pragma once

#include <SDL/SDL.h>

#include "ui/draw/scaler.h"

namespace zorbel {

struct WindowOptions {
  bool full_screen = false;
  ViewKind view = ViewKind::kConsole;
  // Window pixels per surface pixel; 0, or more than fits, takes the largest that fits the
  // desktop (in a window, with room for its frame).
  int scale = 0;
};

// Room a window manager needs round a window for its frame and a panel, in pixels.
constexpr int kWindowFrameRoomX = 32;
constexpr int kWindowFrameRoomY = 96;

// Starts SDL video, opens the window or full screen, and makes a separate 800 x 600 x 16
// surface the drawing target; the screen shows it through show_screen(). Ends the process
// with status 1 (and the reason) when no mode can be set.
void open_scaled_window(const WindowOptions& options);
// Frees the drawing surface; the drawing target becomes null.
void close_scaled_window();

// Handles the window's own keys (F10 view, F11 full screen, Ctrl+plus and Ctrl+minus scale)
// and a resize. True when the event was one of these.
bool handle_window_event(const SDL_Event& event);

// The current placement of the picture; scale 1 at the window's origin when none is open.
const ScaledView& window_placement();
bool window_full_screen();

// Called after the user changed the view or the scale (to remember them).
void set_window_change_callback(void (*changed)(ViewKind view, int scale));

}  // namespace zorbel
