// Pixels, runs, outlines, fills and circles: exactly which pixels each one paints.
#include <cmath>
#include <set>
#include <utility>

#include "tests/ui/screen_test_support.h"
#include "ui/draw/draw.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kInk = 0xF81F;

using PixelSet = std::set<std::pair<int, int>>;

class DrawPrimitivesTest : public SurfaceTest {
 protected:
  PixelSet painted_set() const {
    auto pixels = painted_pixels();
    return PixelSet(pixels.begin(), pixels.end());
  }

  // Painted columns of one row, as a sorted list.
  std::vector<int> painted_columns(int y) const {
    std::vector<int> columns;
    for (int x = 0; x < kScreenWidth; ++x) {
      if (painted(x, y)) columns.push_back(x);
    }
    return columns;
  }
};

std::vector<int> range(int first, int last_inclusive) {
  std::vector<int> values;
  for (int v = first; v <= last_inclusive; ++v) values.push_back(v);
  return values;
}

TEST_F(DrawPrimitivesTest, HorizontalRunsSwapClampAndStopBeforeTheirEnd) {
  draw_hline(10, 10, 5, kInk);
  EXPECT_EQ(painted_columns(10), range(5, 9));

  draw_hline(20, 790, 2000, kInk);
  EXPECT_EQ(painted_columns(20), range(790, 798));  // column 799 is never reached

  draw_hline(30, -50, 3, kInk);
  EXPECT_EQ(painted_columns(30), range(0, 2));

  draw_hline(40, 7, 7, kInk);
  EXPECT_TRUE(painted_columns(40).empty());
  EXPECT_EQ(painted_pixels().size(), 5u + 9u + 3u);
}

TEST_F(DrawPrimitivesTest, HorizontalRunRowsWrapAtEightHundredAndRowsOffTheSurfaceAreSkipped) {
  draw_hline(900, 0, 4, kInk);  // row 900 is row 100
  EXPECT_EQ(painted_columns(100), range(0, 3));
  for (int y : {600, 650, 799, 1450, -1, -600}) draw_hline(y, 0, 799, kInk);
  EXPECT_EQ(painted_pixels().size(), 4u);
  EXPECT_TRUE(outside_untouched());
}

TEST_F(DrawPrimitivesTest, VerticalRunsSwapClampAndSkipWhatIsOffTheSurface) {
  draw_vline(3, 20, 10, kInk);
  draw_vline(4, 590, 2000, kInk);  // clamped to 799, rows 600.. skipped
  draw_vline(5, -8, 2, kInk);
  draw_vline(800, 0, 10, kInk);    // column off the surface
  draw_vline(-1, 0, 10, kInk);
  PixelSet expected;
  for (int y = 10; y < 20; ++y) expected.insert({3, y});
  for (int y = 590; y < 600; ++y) expected.insert({4, y});
  for (int y = 0; y < 2; ++y) expected.insert({5, y});
  EXPECT_EQ(painted_set(), expected);
  EXPECT_TRUE(outside_untouched());
}

TEST_F(DrawPrimitivesTest, ConsoleOutlineCoversRows164And436AndColumns160And639) {
  draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, 0xFFFF);
  PixelSet expected;
  for (int x = 160; x <= 639; ++x) expected.insert({x, 164}), expected.insert({x, 436});
  for (int y = 164; y <= 435; ++y) expected.insert({160, y}), expected.insert({639, y});
  EXPECT_EQ(painted_set(), expected);
  save_image("console_outline");
}

TEST_F(DrawPrimitivesTest, StepCellOutlineFramesItsFillAndTheNextRowDoesNotTouchIt) {
  // A grid cell: outline 4 x 7 at (x, y) around a fill 2 x 6 at (x + 1, y + 1); the next
  // cell is 12 pixels lower.
  for (int row = 0; row < 2; ++row) {
    draw_rect(200, 200 + 12 * row, 4, 7, 0xFFFF);
    fill_rect(201, 201 + 12 * row, 2, 6, kInk);
  }
  for (int row = 0; row < 2; ++row) {
    const int top = 200 + 12 * row;
    for (int y = top + 1; y <= top + 6; ++y) {
      EXPECT_EQ(at(200, y), 0xFFFF);
      EXPECT_EQ(at(201, y), kInk);
      EXPECT_EQ(at(202, y), kInk);
      EXPECT_EQ(at(203, y), 0xFFFF);
    }
    for (int x = 200; x <= 203; ++x) {
      EXPECT_EQ(at(x, top), 0xFFFF);
      EXPECT_EQ(at(x, top + 7), 0xFFFF);  // the bottom edge lies below the fill
    }
    for (int x = 200; x <= 203; ++x) EXPECT_FALSE(painted(x, top + 8)) << "gap row";
  }
  EXPECT_EQ(painted_pixels().size(), 2u * (4 * 2 + 6 * 2 + 6 * 2));
}

TEST_F(DrawPrimitivesTest, FillCoversRowsYToYPlusHeightMinusOne) {
  fill_rect(10, 20, 3, 2, kInk);
  EXPECT_EQ(painted_set(), (PixelSet{{10, 20}, {11, 20}, {12, 20}, {10, 21}, {11, 21}, {12, 21}}));
  fill_rect(100, 100, 5, 0, kInk);
  fill_rect(100, 100, 5, -3, kInk);
  EXPECT_EQ(painted_pixels().size(), 6u);
}

TEST_F(DrawPrimitivesTest, PixelsWrapAsUnsigned16BitCoordinates) {
  put_pixel(805, 10, kInk);  // lands on x 5
  put_pixel(-1, 11, kInk);   // 65535 mod 800 = 735
  put_pixel(12, -1, kInk);   // 65535 mod 600 = 135
  put_pixel(65536 + 7, 612, kInk);
  EXPECT_EQ(painted_set(), (PixelSet{{5, 10}, {735, 11}, {12, 135}, {7, 12}}));
  EXPECT_EQ(at(5, 10), kInk);
}

TEST_F(DrawPrimitivesTest, PixelsAreAddressedThroughTheSurfacePitch) {
  put_pixel(799, 599, kInk);
  put_pixel(0, 1, kInk);
  EXPECT_EQ(at(799, 599), kInk);
  EXPECT_EQ(at(0, 1), kInk);
  EXPECT_TRUE(outside_untouched());
}

TEST_F(DrawPrimitivesTest, CircleWithAnyPartOffTheSurfaceIsNotDrawn) {
  draw_circle(10, 300, 11, kInk);
  draw_circle(790, 300, 10, kInk);  // 800 is off the surface
  draw_circle(400, 5, 6, kInk);
  draw_circle(400, 590, 10, kInk);
  draw_circle(400, 300, 1 << 30, kInk);
  EXPECT_TRUE(painted_pixels().empty());
  draw_circle(789, 589, 10, kInk);  // touches the last column and row
  EXPECT_TRUE(painted(799, 589));
  EXPECT_TRUE(painted(789, 599));
}

TEST_F(DrawPrimitivesTest, CircleOutlineIsSymmetricAndLiesOnItsRadius) {
  const int cx = 400, cy = 300;
  for (int radius : {1, 5, 17, 100}) {
    clear_surface();
    draw_circle(cx, cy, radius, kInk);
    const PixelSet pixels = painted_set();
    ASSERT_FALSE(pixels.empty());
    for (auto [x, y] : {std::pair{cx + radius, cy}, {cx - radius, cy}, {cx, cy + radius},
                        {cx, cy - radius}}) {
      EXPECT_TRUE(pixels.count({x, y})) << "radius " << radius << " at " << x << "," << y;
    }
    for (auto [x, y] : pixels) {
      const int dx = x - cx, dy = y - cy;
      EXPECT_NEAR(std::hypot(dx, dy), radius, 1.0) << "radius " << radius;
      for (auto mirrored : {std::pair{cx - dx, cy + dy}, {cx + dx, cy - dy}, {cx + dy, cy + dx}}) {
        EXPECT_TRUE(pixels.count(mirrored)) << "radius " << radius;
      }
    }
    // Closed outline: every column between the extremes has a pixel above and below.
    for (int x = cx - radius; x <= cx + radius; ++x) {
      bool above = false, below = false;
      for (auto [px, py] : pixels) {
        if (px == x && py <= cy) above = true;
        if (px == x && py >= cy) below = true;
      }
      EXPECT_TRUE(above && below) << "gap at column " << x << " radius " << radius;
    }
    if (radius == 100) save_image("circle_r100");
  }
}

TEST_F(DrawPrimitivesTest, CircleOfRadiusTenPaintsExactlyTheMidpointOctantMirrored) {
  // Worked by hand from d = 3 - 2r: the octant from the top, as (dx, dy) below the centre.
  const std::pair<int, int> octant[] = {{0, 10}, {1, 10}, {2, 10}, {3, 10},
                                        {4, 9},  {5, 9},  {6, 8},  {7, 7}};
  const int cx = 300, cy = 300;
  PixelSet expected;
  for (auto [a, b] : octant) {
    for (int sa : {1, -1}) {
      for (int sb : {1, -1}) {
        expected.insert({cx + sa * a, cy + sb * b});
        expected.insert({cx + sb * b, cy + sa * a});
      }
    }
  }
  draw_circle(cx, cy, 10, kInk);
  EXPECT_EQ(painted_set(), expected);
  EXPECT_EQ(expected.size(), 56u);
}

TEST_F(DrawPrimitivesTest, DrawingWithoutASurfaceDoesNothing) {
  reset_draw_state(nullptr);
  put_pixel(1, 1, kInk);
  draw_hline(1, 0, 10, kInk);
  draw_vline(1, 0, 10, kInk);
  fill_rect(0, 0, 10, 10, kInk);
  draw_circle(100, 100, 10, kInk);
  reset_draw_state(surface_);
  EXPECT_TRUE(painted_pixels().empty());
}

}  // namespace
}  // namespace zorbel::test
