// The scaled window. Screens draw into a surface of their own; each shown frame is one
// nearest-neighbour enlargement of it into the display surface, then a flip.
//
// sdl12-compat can scale a window by itself (SDL12COMPAT_WINDOW_SCALING), but only the whole
// surface by a factor fixed at start: it cannot show the console area alone, nor follow a
// resized window or a scale key, so the enlargement is done here.
#include "ui/platform/scaled_window.h"

#include "ui/draw/screen.h"

namespace zorbel {

namespace {

constexpr int kVideoBitsPerPixel = 16;

struct Window {
  SDL_Surface* display = nullptr;   // what SDL shows
  SDL_Surface* drawing = nullptr;   // what the screens draw into
  ScaledView placement;
  bool full_screen = false;
  int desktop_width = 0;
  int desktop_height = 0;
  int window_scale = 1;             // the scale the window had before full screen
  void (*changed)(ViewKind, int) = nullptr;
};

Window window;

void show_window() {
  if (!window.display || !window.drawing) return;
  scale_surface(window.drawing, window.display, window.placement);
  SDL_Flip(window.display);
}

// Lowers *scale (or sets it when it is 0) to the largest that fits the desktop, leaving room
// for a window's frame unless the picture is full screen.
void fit_desktop(ViewKind view, int* scale) {
  const int room_x = window.full_screen ? 0 : kWindowFrameRoomX;
  const int room_y = window.full_screen ? 0 : kWindowFrameRoomY;
  const int fitting = largest_fitting_scale(view, window.desktop_width - room_x,
                                            window.desktop_height - room_y);
  if (*scale < kMinScale || *scale > fitting) *scale = fitting;
}

// Sets the display mode for the current view: the desktop's size in full screen, else the
// picture's size (or width x height when the user sized the window).
void set_mode(ViewKind view, int scale, int width, int height) {
  Uint32 flags = SDL_SWSURFACE;
  if (window.full_screen) {
    width = window.desktop_width;
    height = window.desktop_height;
    flags |= SDL_FULLSCREEN;
  } else {
    flags |= SDL_RESIZABLE;
    if (width <= 0 || height <= 0) scaled_picture_size(view, scale, &width, &height);
  }
  SDL_Surface* display = SDL_SetVideoMode(width, height, kVideoBitsPerPixel, flags);
  if (!display) fail_video_mode(width, height, kVideoBitsPerPixel);
  window.display = display;
  window.placement = place_view(view, scale, display->w, display->h);
}

void changed() {
  if (window.changed) window.changed(window.placement.view, window.placement.scale);
  show_window();
}

void change_scale(int step) {
  const ViewKind view = window.placement.view;
  int scale = window.placement.scale + step;
  if (scale < kMinScale || scale > kMaxScale) return;
  if (window.full_screen) {
    int fitting = largest_fitting_scale(view, window.desktop_width, window.desktop_height);
    if (scale > fitting) return;
  }
  set_mode(view, scale, 0, 0);
  changed();
}

void toggle_view() {
  const ViewKind view =
      window.placement.view == ViewKind::kConsole ? ViewKind::kFullSurface : ViewKind::kConsole;
  // Full screen takes the largest scale of the new view; a window keeps its scale if it fits.
  int scale = window.full_screen ? 0 : window.placement.scale;
  fit_desktop(view, &scale);
  set_mode(view, scale, 0, 0);
  changed();
}

void toggle_full_screen() {
  const ViewKind view = window.placement.view;
  window.full_screen = !window.full_screen;
  int scale = 0;
  if (window.full_screen) {
    window.window_scale = window.placement.scale;
    fit_desktop(view, &scale);
  } else {
    scale = window.window_scale;
  }
  set_mode(view, scale, 0, 0);
  show_window();
}

void resized(int width, int height) {
  if (window.full_screen) return;
  const ViewKind view = window.placement.view;
  set_mode(view, largest_fitting_scale(view, width, height), width, height);
  changed();
}

}  // namespace

void open_scaled_window(const WindowOptions& options) {
  start_video();
  // Before a mode is set, the video information describes the desktop.
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  window = Window{};
  window.desktop_width = info && info->current_w > 0 ? info->current_w : kScreenWidth;
  window.desktop_height = info && info->current_h > 0 ? info->current_h : kScreenHeight;
  window.full_screen = options.full_screen;
  int scale = options.scale;
  fit_desktop(options.view, &scale);
  window.window_scale = scale;
  set_mode(options.view, scale, 0, 0);
  window.drawing = SDL_CreateRGBSurface(SDL_SWSURFACE, kScreenWidth, kScreenHeight,
                                        kScreenBitsPerPixel, 0xF800, 0x07E0, 0x001F, 0);
  if (!window.drawing) fail_video_mode(kScreenWidth, kScreenHeight, kScreenBitsPerPixel);
  reset_draw_state(window.drawing);
  set_show_function(show_window);
}

void close_scaled_window() {
  set_show_function(nullptr);
  if (draw_state.surface == window.drawing) reset_draw_state(nullptr);
  if (window.drawing) SDL_FreeSurface(window.drawing);
  window = Window{};
}

bool handle_window_event(const SDL_Event& event) {
  if (!window.display) return false;
  if (event.type == SDL_VIDEORESIZE) {
    resized(event.resize.w, event.resize.h);
    return true;
  }
  if (event.type == SDL_VIDEOEXPOSE) {
    show_window();
    return true;
  }
  if (event.type != SDL_KEYDOWN) return false;
  const SDLKey key = event.key.keysym.sym;
  const bool ctrl = (event.key.keysym.mod & KMOD_CTRL) != 0;
  if (key == SDLK_F10) {
    toggle_view();
  } else if (key == SDLK_F11) {
    toggle_full_screen();
  } else if (ctrl && (key == SDLK_PLUS || key == SDLK_EQUALS || key == SDLK_KP_PLUS)) {
    change_scale(+1);
  } else if (ctrl && (key == SDLK_MINUS || key == SDLK_KP_MINUS)) {
    change_scale(-1);
  } else {
    return false;
  }
  return true;
}

const ScaledView& window_placement() { return window.placement; }
bool window_full_screen() { return window.full_screen; }

void set_window_change_callback(void (*callback)(ViewKind view, int scale)) {
  window.changed = callback;
}

}  // namespace zorbel
