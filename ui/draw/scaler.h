// The shown picture: the console area or the whole surface, enlarged by a whole number with
// nearest-neighbour pixels and centred on black in a window of any size.
#pragma once

#include <SDL/SDL.h>

namespace zorbel {

// What the window shows of the 800 x 600 drawing surface.
enum class ViewKind : int { kConsole = 0, kFullSurface = 1 };

constexpr int kMinScale = 1;
constexpr int kMaxScale = 6;

// Where the picture lands in the window and how it maps back to the surface.
struct ScaledView {
  ViewKind view = ViewKind::kConsole;
  int scale = 1;           // window pixels per surface pixel, kMinScale..kMaxScale
  int source_x = 0;        // the top left surface pixel shown
  int source_y = 0;
  int source_width = 0;    // surface pixels shown
  int source_height = 0;
  int offset_x = 0;        // window position of the picture's top left corner (may be negative
  int offset_y = 0;        // when the window is smaller than the picture: it is then cut)
};

// The part of the surface a view shows, in surface pixels.
void view_source_rect(ViewKind view, int* x, int* y, int* width, int* height);
// The picture's size in window pixels at scale.
void scaled_picture_size(ViewKind view, int scale, int* width, int* height);
// The largest scale (kMinScale..kMaxScale) whose picture fits width x height; kMinScale when
// none does.
int largest_fitting_scale(ViewKind view, int width, int height);
// The placement of view at scale, centred in a window of window_width x window_height.
ScaledView place_view(ViewKind view, int scale, int window_width, int window_height);

// Scales the view's part of source (16-bit) into target (16-bit), which is first filled
// black around the picture. Pixels outside target are skipped. Neither surface may be locked
// by the caller when SDL needs locking; both are locked here as needed.
void scale_surface(SDL_Surface* source, SDL_Surface* target, const ScaledView& placement);

}  // namespace zorbel
