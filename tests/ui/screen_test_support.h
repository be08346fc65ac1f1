// Test surfaces for the drawing tests: pixel access through the pitch, guard rows, and images.
#pragma once

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/draw/screen.h"
#include "ui/draw/screen_image.h"

namespace zorbel::test {

// Colour a fresh test surface is filled with, so every painted pixel shows.
constexpr uint16_t kUnpainted = 0x0841;

// An 800 x 600 x 16 surface over our own memory, with a pitch wider than 1600 bytes and guard
// rows below the last row, so a primitive that ignores the pitch or writes past the surface
// is caught. It becomes the drawing target for the test.
class SurfaceTest : public ::testing::Test {
 protected:
  static constexpr int kPitch = 1664;  // bytes per row; 32 bytes of padding
  static constexpr int kGuardRows = 8;
  static constexpr uint8_t kGuardByte = 0xA5;

  void SetUp() override {
    memory_.assign(static_cast<size_t>(kPitch) * (kScreenHeight + kGuardRows), kGuardByte);
    surface_ = SDL_CreateRGBSurfaceFrom(memory_.data(), kScreenWidth, kScreenHeight, 16, kPitch,
                                        0xF800, 0x07E0, 0x001F, 0);
    ASSERT_NE(surface_, nullptr) << SDL_GetError();
    clear_surface();
    reset_draw_state(surface_);
  }

  void clear_surface() {
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) set(x, y, kUnpainted);
    }
  }

  void TearDown() override {
    reset_draw_state(nullptr);
    SDL_FreeSurface(surface_);
  }

  uint16_t at(int x, int y) const {
    uint16_t value;
    std::memcpy(&value, memory_.data() + static_cast<size_t>(y) * kPitch + 2 * x, 2);
    return value;
  }

  void set(int x, int y, uint16_t colour) {
    std::memcpy(memory_.data() + static_cast<size_t>(y) * kPitch + 2 * x, &colour, 2);
  }

  bool painted(int x, int y) const { return at(x, y) != kUnpainted; }

  // True when the row padding and the guard rows still hold the guard byte.
  bool outside_untouched() const {
    for (int y = 0; y < kScreenHeight + kGuardRows; ++y) {
      const int first = y < kScreenHeight ? 2 * kScreenWidth : 0;
      for (int b = first; b < kPitch; ++b) {
        if (memory_[static_cast<size_t>(y) * kPitch + b] != kGuardByte) return false;
      }
    }
    return true;
  }

  // Every pixel that differs from the fill colour, as (x, y) pairs in row order.
  std::vector<std::pair<int, int>> painted_pixels() const {
    std::vector<std::pair<int, int>> result;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) {
        if (painted(x, y)) result.emplace_back(x, y);
      }
    }
    return result;
  }

  // Writes the surface to <build>/screens/<name>.bmp for a person to look at.
  void save_image(const std::string& name) const {
    const std::filesystem::path dir = std::filesystem::path(ZORBEL_BINARY_DIR) / "screens";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(save_screen_image(surface_, (dir / (name + ".bmp")).c_str()));
  }

  std::vector<uint8_t> memory_;
  SDL_Surface* surface_ = nullptr;
};

}  // namespace zorbel::test
