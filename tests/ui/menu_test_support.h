// Fixture for the menu and settings screens: a fresh engine with the start-up song, every
// screen registered, buttons driven tick by tick and texts read back from the surface.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/midi_settings.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/colour_scheme.h"
#include "tests/ui/screen_test_support.h"
#include "ui/draw/font.h"
#include "ui/platform/input.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/view_settings.h"

namespace zorbel::test {

class MenuScreenTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    init_engine(12345);
    build_startup_song();
    reset_input_state();
    reset_view_settings();
    param_editor_link = ParamEditorLink{};
    std::memcpy(colour_scheme.active, kBuiltInColours, sizeof colour_scheme.active);
    reset_state_table();
    register_all_screens();
  }
  void TearDown() override {
    set_pause_wait_hook(nullptr);
    param_editor_link = ParamEditorLink{};
    std::memcpy(colour_scheme.active, kBuiltInColours, sizeof colour_scheme.active);
    reset_state_table();
    // Every state takes every button in some cases: a MIDI setting stored there stays here.
    reset_midi_settings();
    init_engine(12345);
    SurfaceTest::TearDown();
  }

  // One acting tick of the editor with exactly these buttons held.
  void tick(std::initializer_list<int> keys = {}) {
    std::memset(input.keys, 0, sizeof input.keys);
    input.acting_count = 0;
    for (int k : keys) {
      input.keys[k] = 1;
      if (!input.previous[k]) input.acting[input.acting_count++] = k;
    }
    dispatch_editor_state();
    end_editor_tick();
  }
  // Buttons pressed and released again.
  void press(std::initializer_list<int> keys) {
    tick(keys);
    tick();
  }
  // One tick with a vertical drag of pixels (up positive) and the given mouse buttons.
  void drag(int pixels, uint8_t buttons, std::initializer_list<int> keys = {}) {
    input.mouse_buttons = buttons;
    input.previous_mouse_y = 136;
    input.mouse_y = 136 - pixels;
    tick(keys);
    input.mouse_buttons = 0;
  }

  // Opens the root menu and walks to the items given by their indices (D-DN, then X).
  void open_path(std::initializer_list<int> items) {
    open_main_menu();
    for (int index : items) {
      for (int i = 0; i < index; ++i) press({kBtnDDn});
      press({kBtnX});
    }
  }

  // n characters of text drawn in colour from (x, y); cells that match no glyph read as '?'.
  std::string read_text(int x, int y, int n, uint16_t colour) const {
    std::string text;
    for (int c = 0; c < n; ++c) {
      uint8_t rows[kGlyphRows];
      for (int r = 0; r < kGlyphRows; ++r) {
        rows[r] = 0;
        for (int b = 0; b < kGlyphWidth; ++b)
          if (at(x + 8 * c + b, y + r) == colour) rows[r] |= static_cast<uint8_t>(0x80 >> b);
      }
      char found = '?';
      for (int code = 32; code < 127 && found == '?'; ++code)
        if (std::memcmp(rows, kFontGlyphs[code], kGlyphRows) == 0) found = static_cast<char>(code);
      text += found;
    }
    return text;
  }
  // The text of the message box, if it is `expected` long (placed as the box centres it).
  std::string prompt(size_t length) const {
    const int n = static_cast<int>(length);
    return read_text(400 - 4 * n, 296, n, colour(kSlotActiveMenuText));
  }
  void expect_prompt(const std::string& expected) const {
    EXPECT_EQ(prompt(expected.size()), expected);
  }
  static uint16_t colour(int slot) { return colour_scheme.active[slot]; }
};

}  // namespace zorbel::test
