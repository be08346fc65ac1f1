// UI scenario fixture: the workstation started headless in a scratch folder and driven by
// zorbel-drive scripts in virtual time, with pixel checks on the live screen.
#pragma once

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "engine/song.h"
#include "files/colour_scheme.h"
#include "tests/support/temp_workdir.h"
#include "tools/drive_runner.h"
#include "ui/draw/font.h"
#include "ui/draw/screen.h"
#include "ui/draw/screen_image.h"
#include "ui/screens/sequencer_layout.h"
#include "app/workstation.h"

namespace zorbel::test {

// Where the scenarios keep their screens, for a person to look at.
inline std::string screen_path(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(ZORBEL_BINARY_DIR) / "screens";
  std::filesystem::create_directories(dir);
  return (dir / (name + ".bmp")).string();
}

class DriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkstationOptions options;
    options.windowed = true;
    options.audio_device = false;
    options.seed = 1;
    start_workstation(options);
    set_drive_wav(nullptr);
    install_drive_sources();
  }

  void TearDown() override { shutdown_workstation(); }

  void run(const std::string& script) {
    std::string error;
    ASSERT_TRUE(run_drive_script(script, &error)) << error;
  }

  void shot(const std::string& name) {
    EXPECT_TRUE(save_screen_image(draw_state.surface, screen_path(name).c_str()));
  }

  static uint16_t slot(int s) { return colour_scheme.active[s]; }

  // The keys that open the main menu from step edit and walk to the items given by their
  // indices (D-DN to the item, X to select it).
  static std::string menu_path(std::initializer_list<int> items) {
    std::string keys = "press START\n";
    for (int index : items) {
      for (int i = 0; i < index; ++i) keys += "press D-DN\n";
      keys += "press X\n";
    }
    return keys;
  }

  static uint16_t at(int x, int y) {
    const SDL_Surface* s = draw_state.surface;
    uint16_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + 2 * x, 2);
    return v;
  }

  // The fill and the outline colour of a step cell.
  static uint16_t cell_fill(int track, int step) { return at(step_x(step) + 1, track_y(track) + 1); }
  static uint16_t cell_frame(int track, int step) { return at(step_x(step), track_y(track)); }

  // True when text stands at (x, y) in colour: every set glyph bit shows the colour and every
  // clear bit does not.
  static ::testing::AssertionResult text_at(int x, int y, const char* text, uint16_t colour) {
    for (int i = 0; text[i] != '\0'; ++i) {
      const uint8_t* glyph = glyph_for(static_cast<unsigned char>(text[i]));
      for (int r = 0; r < kGlyphRows; ++r)
        for (int b = 0; b < kGlyphWidth; ++b) {
          const bool set = (glyph[r] & (0x80 >> b)) != 0;
          const int px = x + 8 * i + b, py = y + r;
          if ((at(px, py) == colour) != set)
            return ::testing::AssertionFailure()
                   << "'" << text << "' differs at character " << i << " pixel (" << px << ", "
                   << py << ")";
        }
    }
    return ::testing::AssertionSuccess();
  }

  TempWorkdir workdir_;
};

}  // namespace zorbel::test
