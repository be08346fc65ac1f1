// The centred message box: its fill, both outlines and the text, where the geometry says.
#include <cstring>

#include "files/colour_scheme.h"
#include "tests/ui/screen_test_support.h"
#include "ui/draw/message_box.h"
#include "ui/draw/text.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kBoxFill = 0x0010;
constexpr uint16_t kFrame = 0xFFFF;
constexpr uint16_t kText = 0xF800;

class MessageBoxTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    std::memcpy(saved_, colour_scheme.active, sizeof saved_);
    colour_scheme.active[kSlotMenuBackground] = kBoxFill;
    colour_scheme.active[kSlotActiveMenuText] = kFrame;
  }
  void TearDown() override {
    std::memcpy(colour_scheme.active, saved_, sizeof saved_);
    SurfaceTest::TearDown();
  }
  uint16_t saved_[kColourSlotCount];
};

bool on_outline(int x, int y, int left, int top, int width, int height) {
  const bool columns = x >= left && x <= left + width - 1;
  const bool rows = y >= top && y <= top + height;
  if (!columns || !rows) return false;
  return y == top || y == top + height || x == left || x == left + width - 1;
}

TEST_F(MessageBoxTest, RecordSongPromptDrawsItsBoxOutlinesAndText) {
  show_message("RECORD SONG? Y", kText);
  save_image("message_record_song");

  // 14 characters: box 128 x 24 with its left edge at 392 - 56 = 336 and its top at 288.
  const int left = 336, top = 288, width = 128, height = 24;
  // The text alone, drawn where the box puts it, to tell text pixels from box pixels.
  std::vector<uint8_t> saved_memory = memory_;
  clear_surface();
  draw_text(400 - 4 * 14, 296, kText, "RECORD SONG? Y");
  std::vector<bool> text_pixel(kScreenWidth * kScreenHeight);
  for (const auto& [x, y] : painted_pixels()) text_pixel[y * kScreenWidth + x] = true;
  memory_ = saved_memory;

  for (int y = 280; y < 320; ++y) {
    for (int x = 320; x < 480; ++x) {
      uint16_t expected = kUnpainted;
      if (x >= left && x < left + width && y >= top && y < top + height) expected = kBoxFill;
      if (on_outline(x, y, left + 2, top + 2, width - 4, height - 4) ||
          on_outline(x, y, left + 4, top + 4, width - 8, height - 8)) {
        expected = kFrame;
      }
      if (text_pixel[y * kScreenWidth + x]) expected = kText;
      ASSERT_EQ(at(x, y), expected) << "at " << x << "," << y;
    }
  }
  EXPECT_EQ(painted_pixels().size(), static_cast<size_t>(width * height));
  // The text sits on the box's centre line: cells from x 344 to 455, rows 296 to 303.
  EXPECT_EQ(at(344, 296), kText);  // top-left bar of the R
}

TEST_F(MessageBoxTest, ATextWiderThanTheSurfaceIsCutNotWrapped) {
  const std::string long_text(120, 'W');
  show_message(long_text.c_str(), kText);
  EXPECT_TRUE(outside_untouched());
  for (const auto& [x, y] : painted_pixels()) {
    EXPECT_GE(y, 288);
    EXPECT_LT(y, 312);
  }
}

}  // namespace
}  // namespace zorbel::test
