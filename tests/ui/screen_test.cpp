// Opening the video surface, its failure messages, locking, and clearing the console area.
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "ui/draw/draw.h"
#include "ui/draw/screen.h"
#include "ui/draw/screen_image.h"

namespace zorbel::test {
namespace {

uint16_t pixel_of(SDL_Surface* surface, int x, int y) {
  return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch)[x];
}

// These tests open the real video surface through SDL's dummy driver.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }
  void TearDown() override { reset_draw_state(nullptr); }
};

TEST_F(ScreenTest, WindowedBuildGetsTheModeItAsksFor) {
  SDL_Surface* surface = open_screen(800, 600, 16, true);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->w, 800);
  EXPECT_EQ(surface->h, 600);
  EXPECT_EQ(surface->format->BitsPerPixel, 16);
  EXPECT_EQ(draw_state.surface, surface);
}

TEST_F(ScreenTest, FullScreenBuildAlwaysAsksFor800By600At16Bits) {
  SDL_Surface* surface = open_screen(640, 480, 8, false);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->w, 800);
  EXPECT_EQ(surface->h, 600);
  EXPECT_EQ(surface->format->BitsPerPixel, 16);
}

TEST_F(ScreenTest, ClearingTheConsoleAreaFillsExactlyThatRectangle) {
  SDL_Surface* surface = open_screen(800, 600, 16, true);
  lock_screen(surface);
  fill_rect(0, 0, 800, 600, 0x0000);
  unlock_screen(surface);
  clear_console_area(0x1234);
  lock_screen(surface);
  int filled = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const bool inside = x >= 160 && x < 640 && y >= 164 && y < 436;
      filled += pixel_of(surface, x, y) == 0x1234;
      if (inside != (pixel_of(surface, x, y) == 0x1234)) {
        ADD_FAILURE() << "at " << x << "," << y;
        unlock_screen(surface);
        return;
      }
    }
  }
  unlock_screen(surface);
  EXPECT_EQ(filled, 480 * 272);
}

TEST_F(ScreenTest, ImagesCanBeWrittenAndReadBack) {
  SDL_Surface* surface = open_screen(800, 600, 16, true);
  lock_screen(surface);
  fill_rect(0, 0, 800, 600, 0x0000);
  fill_rect(10, 20, 5, 5, 0xF800);
  unlock_screen(surface);
  const std::string path = std::string(ZORBEL_BINARY_DIR) + "/screen_image_check.bmp";
  ASSERT_TRUE(save_screen_image(surface, path.c_str()));
  SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->w, 800);
  EXPECT_EQ(loaded->h, 600);
  SDL_FreeSurface(loaded);
  std::remove(path.c_str());
  EXPECT_FALSE(save_screen_image(nullptr, path.c_str()));
}

// The child process sends standard output to the error stream, where the death test looks.
TEST(ScreenStartUpDeathTest, NoVideoEndsWithStatusOneAndTheReason) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        SDL_Quit();
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        open_screen(800, 600, 16, true);
      },
      ::testing::ExitedWithCode(1), "Unable to init SDL: ");
}

TEST(ScreenStartUpDeathTest, RefusedModeEndsWithStatusOneAndTheMode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        open_screen(800, 600, 13, true);
      },
      ::testing::ExitedWithCode(1), "Unable to set video mode 800 by 600 at 13 bpp: ");
}

}  // namespace
}  // namespace zorbel::test
