// The scaled picture against a nearest-neighbour reference, and the scale a screen size takes.
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "ui/draw/scaler.h"
#include "ui/draw/screen.h"

namespace zorbel::test {
namespace {

SDL_Surface* surface_of(int w, int h) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
}

uint16_t pixel(const SDL_Surface* s, int x, int y) {
  return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(s->pixels) +
                                           y * s->pitch)[x];
}

// Counts the target pixels that differ from the picture a person would expect: black outside
// the scaled view, and inside it the surface pixel whose block the window pixel lies in.
int differing_pixels(const SDL_Surface* source, const SDL_Surface* target, ViewKind view,
                     int scale, int origin_x, int origin_y) {
  int left = 0, top = 0, w = 0, h = 0;
  view_source_rect(view, &left, &top, &w, &h);
  int differing = 0;
  for (int y = 0; y < target->h; ++y)
    for (int x = 0; x < target->w; ++x) {
      const int dx = x - origin_x, dy = y - origin_y;
      const bool inside = dx >= 0 && dy >= 0 && dx < w * scale && dy < h * scale;
      const uint16_t want = inside ? pixel(source, left + dx / scale, top + dy / scale) : 0;
      differing += pixel(target, x, y) != want;
    }
  return differing;
}

TEST(Scaler, EveryScaleOfBothViewsIsTheNearestNeighbourPicture) {
  // A surface of seeded noise, with a pixel at each edge of the console area set apart, so a
  // shift of one pixel or a wrong row repeat shows.
  SDL_Surface* source = surface_of(kScreenWidth, kScreenHeight);
  uint32_t seed = 12345;
  for (int y = 0; y < kScreenHeight; ++y)
    for (int x = 0; x < kScreenWidth; ++x) {
      seed = seed * 1664525u + 1013904223u;
      reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(source->pixels) + y * source->pitch)[x] =
          static_cast<uint16_t>(seed >> 16) | 1;  // never black, so the border tells
    }
  for (const ViewKind view : {ViewKind::kConsole, ViewKind::kFullSurface}) {
    for (int scale = kMinScale; scale <= kMaxScale; ++scale) {
      SCOPED_TRACE(testing::Message() << "view " << static_cast<int>(view) << " scale " << scale);
      int w = 0, h = 0;
      scaled_picture_size(view, scale, &w, &h);
      // A window of the picture's size, one larger by an odd amount (centred on black) and
      // one smaller (the picture is cut evenly on both sides).
      const int sizes[][2] = {{w, h}, {w + 37, h + 20}, {w - 9, h - 6}};
      for (const auto& size : sizes) {
        SDL_Surface* target = surface_of(size[0], size[1]);
        SDL_FillRect(target, nullptr, 0x1234);  // stale pixels must all be overwritten
        const ScaledView placement = place_view(view, scale, size[0], size[1]);
        EXPECT_EQ(placement.offset_x, (size[0] - w) / 2);
        EXPECT_EQ(placement.offset_y, (size[1] - h) / 2);
        scale_surface(source, target, placement);
        EXPECT_EQ(differing_pixels(source, target, view, scale, placement.offset_x,
                                   placement.offset_y),
                  0)
            << "window " << size[0] << " x " << size[1];
        SDL_FreeSurface(target);
      }
    }
  }
  SDL_FreeSurface(source);
}

TEST(Scaler, TheLargestScaleThatFitsAndItsLimits) {
  int w = 0, h = 0;
  scaled_picture_size(ViewKind::kConsole, 3, &w, &h);
  EXPECT_EQ(w, 1440);
  EXPECT_EQ(h, 816);
  // A 1080p desktop less room for a window frame holds the console at 3x, the surface at 1x.
  EXPECT_EQ(largest_fitting_scale(ViewKind::kConsole, 1920 - 32, 1080 - 96), 3);
  EXPECT_EQ(largest_fitting_scale(ViewKind::kFullSurface, 1920 - 32, 1080 - 96), 1);
  // Exactly fitting counts; one pixel short does not.
  EXPECT_EQ(largest_fitting_scale(ViewKind::kConsole, 960, 544), 2);
  EXPECT_EQ(largest_fitting_scale(ViewKind::kConsole, 959, 544), 1);
  // Never above 6x on a huge screen, never below 1x on a tiny one.
  EXPECT_EQ(largest_fitting_scale(ViewKind::kConsole, 7680, 4320), kMaxScale);
  EXPECT_EQ(largest_fitting_scale(ViewKind::kFullSurface, 320, 200), kMinScale);
  // A scale asked for out of range is held to 1..6.
  EXPECT_EQ(place_view(ViewKind::kConsole, 9, 100, 100).scale, kMaxScale);
  EXPECT_EQ(place_view(ViewKind::kConsole, 0, 100, 100).scale, kMinScale);
}

}  // namespace
}  // namespace zorbel::test
