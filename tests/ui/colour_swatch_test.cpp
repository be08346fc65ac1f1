// The colour editor's swatches: white frame, working colour inside, one per 8-pixel row.
#include <string>

#include "files/colour_scheme.h"
#include "tests/ui/screen_test_support.h"
#include "ui/widgets/colour_swatch.h"
#include "ui/draw/draw.h"
#include "ui/draw/text.h"

namespace zorbel::test {
namespace {

class ColourSwatchTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    restore_default_colours();
    begin_colour_editing();
  }
  void TearDown() override {
    restore_default_colours();
    SurfaceTest::TearDown();
  }
};

TEST_F(ColourSwatchTest, EachSwatchIsAWhiteFrameAroundItsWorkingColour) {
  colour_scheme.working[0] = 0x0000;
  colour_scheme.working[19] = 0x07E0;
  for (int slot : {0, 19}) {
    clear_surface();
    draw_colour_swatch(slot);
    const int top = 237 + 8 * slot;
    for (int y = top - 2; y <= top + 8; ++y) {
      for (int x = 460; x < 504; ++x) {
        uint16_t expected = kUnpainted;
        const bool frame_column = (x == 464 || x == 499) && y >= top && y <= top + 5;
        const bool frame_row = (y == top || y == top + 6) && x >= 464 && x <= 499;
        if (frame_column || frame_row) expected = 0xFFFF;
        if (x >= 465 && x <= 498 && y >= top + 1 && y <= top + 5) {
          expected = colour_scheme.working[slot];
        }
        ASSERT_EQ(at(x, y), expected) << "slot " << slot << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(painted_pixels().size(), 36u * 7u) << slot;  // the fill colours differ from the unpainted one
  }
}

TEST_F(ColourSwatchTest, NeighbouringSwatchesDoNotTouchAndOtherSlotsDrawNothing) {
  draw_colour_swatch(-1);
  draw_colour_swatch(kColourSlotCount);
  EXPECT_TRUE(painted_pixels().empty());
  draw_colour_swatches();
  for (int slot = 0; slot + 1 < kColourSlotCount; ++slot) {
    const int gap_row = 237 + 8 * slot + 7;
    for (int x = 464; x <= 499; ++x) EXPECT_FALSE(painted(x, gap_row)) << slot;
  }
}

TEST_F(ColourSwatchTest, EditorImage) {
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, colour_scheme.active[kSlotMenuBackground]);
  draw_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight - 1, 0xFFFF);
  for (int slot = 0; slot < kColourSlotCount; ++slot) {
    const uint16_t ink = colour_scheme.active[slot == 0 ? kSlotActiveMenuText : kSlotInactiveMenuText];
    draw_text(264, 236 + 8 * slot, ink, kColourSlotNames[slot]);
  }
  draw_colour_swatches();
  save_image("colour_editor_swatches");
  EXPECT_EQ(at(470, 240 + 8 * 18), kBuiltInColours[kSlotOscilliscope]);
}

}  // namespace
}  // namespace zorbel::test
