// Integer nearest-neighbour enlargement of the drawing surface into the window.
#include "ui/draw/scaler.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ui/draw/screen.h"

namespace zorbel {

void view_source_rect(ViewKind view, int* x, int* y, int* width, int* height) {
  if (view == ViewKind::kConsole) {
    *x = kConsoleX;
    *y = kConsoleY;
    *width = kConsoleWidth;
    *height = kConsoleHeight;
  } else {
    *x = 0;
    *y = 0;
    *width = kScreenWidth;
    *height = kScreenHeight;
  }
}

void scaled_picture_size(ViewKind view, int scale, int* width, int* height) {
  int x = 0, y = 0, w = 0, h = 0;
  view_source_rect(view, &x, &y, &w, &h);
  *width = w * scale;
  *height = h * scale;
}

int largest_fitting_scale(ViewKind view, int width, int height) {
  for (int scale = kMaxScale; scale > kMinScale; --scale) {
    int w = 0, h = 0;
    scaled_picture_size(view, scale, &w, &h);
    if (w <= width && h <= height) return scale;
  }
  return kMinScale;
}

ScaledView place_view(ViewKind view, int scale, int window_width, int window_height) {
  ScaledView p;
  p.view = view;
  p.scale = std::clamp(scale, kMinScale, kMaxScale);
  view_source_rect(view, &p.source_x, &p.source_y, &p.source_width, &p.source_height);
  p.offset_x = (window_width - p.source_width * p.scale) / 2;
  p.offset_y = (window_height - p.source_height * p.scale) / 2;
  return p;
}

namespace {

uint16_t* row_of(SDL_Surface* surface, int y) {
  return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface->pixels) +
                                     static_cast<ptrdiff_t>(y) * surface->pitch);
}

}  // namespace

void scale_surface(SDL_Surface* source, SDL_Surface* target, const ScaledView& p) {
  if (!source || !target || source->format->BytesPerPixel != 2 ||
      target->format->BytesPerPixel != 2)
    return;
  lock_screen(source);
  lock_screen(target);
  const int s = p.scale;
  // The picture's window columns and rows that fall inside the target.
  const int x0 = std::max(0, p.offset_x);
  const int x1 = std::min(target->w, p.offset_x + p.source_width * s);
  const int y0 = std::max(0, p.offset_y);
  const int y1 = std::min(target->h, p.offset_y + p.source_height * s);
  const size_t row_bytes = static_cast<size_t>(target->w) * 2;
  for (int y = 0; y < target->h; ++y) {
    uint16_t* out = row_of(target, y);
    if (y < y0 || y >= y1 || x0 >= x1) {
      std::memset(out, 0, row_bytes);
      continue;
    }
    // A window row repeats the one above it when both come from the same surface row.
    if (y > y0 && (y - p.offset_y) % s != 0) {
      std::memcpy(out, row_of(target, y - 1), row_bytes);
      continue;
    }
    std::memset(out, 0, static_cast<size_t>(x0) * 2);
    std::memset(out + x1, 0, static_cast<size_t>(target->w - x1) * 2);
    const uint16_t* in = row_of(source, p.source_y + (y - p.offset_y) / s) + p.source_x;
    if (s == 1) {
      std::memcpy(out + x0, in + (x0 - p.offset_x), static_cast<size_t>(x1 - x0) * 2);
      continue;
    }
    int x = x0;
    // A first surface pixel cut by the left edge contributes only its visible copies.
    for (; x < x1 && (x - p.offset_x) % s != 0; ++x) out[x] = in[(x - p.offset_x) / s];
    const uint16_t* next = in + (x - p.offset_x) / s;
    for (; x + s <= x1; x += s) {
      const uint16_t c = *next++;
      for (int k = 0; k < s; ++k) out[x + k] = c;
    }
    for (; x < x1; ++x) out[x] = in[(x - p.offset_x) / s];
  }
  unlock_screen(target);
  unlock_screen(source);
}

}  // namespace zorbel
