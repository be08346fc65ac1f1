// The settings, help, ABOUT and EXIT screens: their prompts, keys, drags, limits and ways back.
#include "edit/edit.h"
#include "engine/synth_tracks.h"
#include "tests/ui/menu_test_support.h"
#include "ui/widgets/list_view.h"
#include "ui/widgets/prompt.h"

namespace zorbel::test {
namespace {

using SettingsScreensTest = MenuScreenTest;

TEST_F(SettingsScreensTest, TempoScreensKeepTheirRangesAndWaysBack) {
  // BPM: from 998.5 up stops at 999; O puts back the value the screen was entered with.
  song.bpm = 998.5f;
  open_path({1, 0});
  EXPECT_EQ(editor_state(), kStateBpm);
  expect_prompt("BPM: 998.50");
  tick({kBtnDUp});
  tick({kBtnDUp});
  EXPECT_EQ(song.bpm, 999.0f);
  expect_prompt("BPM: 999.00");
  save_image("settings_bpm");
  press({kBtnO});
  EXPECT_EQ(song.bpm, 998.5f);
  EXPECT_EQ(editor_state(), kMenuTempo);
  // Down to 1 and no further; the coarse drag moves 0.2 a pixel, the fine one 0.002.
  press({kBtnX});
  song.bpm = 1.5f;
  tick({kBtnADn});
  tick({kBtnDDn});
  EXPECT_EQ(song.bpm, 1.0f);
  expect_prompt("BPM:   1.00");
  drag(10, kMouseRight);
  EXPECT_NEAR(song.bpm, 3.0f, 1e-4);
  drag(-500, kMouseLeft);
  EXPECT_NEAR(song.bpm, 2.0f, 1e-4);
  press({kBtnDRt});  // keeps it
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_NEAR(song.bpm, 2.0f, 1e-4);

  // SWING: 0.1 a tick, 0.02 a dragged pixel, SQ back to 50, within 1..99.
  open_path({1, 2});
  expect_prompt("SWING:  50.0");
  tick({kBtnDUp});
  drag(-10, kMouseLeft);
  EXPECT_NEAR(song.swing_pct, 49.9f, 1e-3);
  expect_prompt("SWING:  49.9");
  drag(-5000, kMouseLeft);
  EXPECT_EQ(song.swing_pct, 1.0f);
  expect_prompt("SWING:   1.0");
  tick({kBtnSq});
  EXPECT_EQ(song.swing_pct, 50.0f);
  press({kBtnDLt});
  EXPECT_EQ(editor_state(), kMenuTempo);

  // SWING STEPS: a working copy within 1..64, stored with X, which restarts the transport.
  const int16_t swing_steps = song.swing_steps;
  set_transport_stopped(1);
  open_path({1, 3});
  for (int i = 0; i < 80; ++i) tick({kBtnDUp});
  expect_prompt("SWING STEPS: 64");
  EXPECT_EQ(song.swing_steps, swing_steps);  // nothing stored yet
  for (int i = 0; i < 60; ++i) drag(-3, kMouseLeft);
  expect_prompt("SWING STEPS:  4");
  save_image("settings_swing_steps");
  press({kBtnX});
  EXPECT_EQ(song.swing_steps, 4);
  EXPECT_EQ(get_transport_stopped(), 0);
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // SEQLEN: O discards, X stores only a changed value.
  open_path({1, 4});
  expect_prompt("SEQLEN: 64");
  tick({kBtnDDn});
  press({kBtnO});
  EXPECT_EQ(song.seqlen, 64);
  EXPECT_EQ(editor_state(), kMenuTempo);
  EXPECT_EQ(current_menu().selection, 0);  // back selects the first item
  for (int i = 0; i < 4; ++i) press({kBtnDDn});
  press({kBtnX});
  for (int i = 0; i < 70; ++i) tick({kBtnDDn});
  expect_prompt("SEQLEN:  1");
  press({kBtnX});
  EXPECT_EQ(song.seqlen, 1);
}

TEST_F(SettingsScreensTest, ControlConfigAndDisplaySettings) {
  // APAD SCALAR: X stores, O closes without storing, D-LT goes back to CONTROL.
  open_path({0, 7, 0});
  expect_prompt("APAD SENSITVITY: 7");
  for (int i = 0; i < 5; ++i) tick({kBtnDUp});
  expect_prompt("APAD SENSITVITY: 9");
  press({kBtnO});
  EXPECT_EQ(view_settings.apad_sensitivity, 7);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_path({0, 7, 0});
  for (int i = 0; i < 9; ++i) tick({kBtnDDn});
  expect_prompt("APAD SENSITVITY: 0");
  press({kBtnX});
  EXPECT_EQ(view_settings.apad_sensitivity, 0);
  open_path({0, 7, 0});
  press({kBtnDLt});
  EXPECT_EQ(editor_state(), kMenuControl);

  // APAD NAV toggles at once.
  press({kBtnDDn});
  press({kBtnX});
  expect_prompt("APAD ALWAYS JUMP 8:  ON");
  press({kBtnDUp});
  EXPECT_FALSE(view_settings.apad_always_jump8);
  expect_prompt("APAD ALWAYS JUMP 8: OFF");
  save_image("settings_apad_nav");
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuControl);

  // LOOP JUMP edits a copy: O drops it, X stores it; back goes to CONFIG.
  open_path({5, 3});
  EXPECT_EQ(editor_state(), kStateLoopJumpValue);
  expect_prompt("INSTANT LOOP SWITCH:  ON");
  press({kBtnDDn});
  expect_prompt("INSTANT LOOP SWITCH: OFF");
  press({kBtnO});
  EXPECT_EQ(transport.instant_loop_switch, 1);
  EXPECT_EQ(editor_state(), kMenuConfig);
  open_path({5, 3});
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(transport.instant_loop_switch, 0);

  // GRID STEP within 1..32; SQ stores 4.
  open_path({0, 6, 4});
  expect_prompt("GRID STEPS:  4");
  for (int i = 0; i < 40; ++i) tick({kBtnDUp});
  expect_prompt("GRID STEPS: 32");
  press({kBtnX});
  EXPECT_EQ(view_settings.grid_steps, 32);
  open_path({0, 6, 4});
  press({kBtnSq});
  EXPECT_EQ(view_settings.grid_steps, 4);
  press({kBtnStart});

  // STEREOIZE: the synth list at the current track, then the synth's own toggle.
  editor_link.cursor_track = 3;
  open_path({5, 1});
  EXPECT_EQ(editor_state(), kStateStereoize);
  EXPECT_EQ(current_menu().selection, 3);
  save_image("settings_stereoize_list");
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateStereoizeValue);
  const std::string name = PromptText().add_trimmed(song.track_name[4]).c_str();
  expect_prompt("STEREOIZE " + name + ": OFF");
  press({kBtnDUp});
  EXPECT_EQ(song.stereoize[4], -1.0f);
  expect_prompt("STEREOIZE " + name + ":  ON");
  press({kBtnO});  // back to the list, still at that synth
  EXPECT_EQ(editor_state(), kStateStereoize);
  EXPECT_EQ(current_menu().selection, 4);
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuConfig);

  // HUMANIZE: thousandths, a drag moves three; within 0..1; stored at once.
  open_path({5, 2});
  press({kBtnX});
  expect_prompt("HUMANIZE PCT:  0.0 ");
  tick({kBtnDDn});
  EXPECT_EQ(song.humanize[3], 0.0f);
  tick({kBtnDUp});
  expect_prompt("HUMANIZE PCT:  0.1 ");
  for (int i = 0; i < 40; ++i) drag(2, kMouseLeft);
  expect_prompt("HUMANIZE PCT: 12.1 ");
  EXPECT_NEAR(song.humanize[3], 0.121f, 1e-6);
  for (int i = 0; i < 400; ++i) drag(2, kMouseLeft);
  EXPECT_EQ(song.humanize[3], 1.0f);
  expect_prompt("HUMANIZE PCT: 100.0");
  save_image("settings_humanize");
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

TEST_F(SettingsScreensTest, HelpAboutAndExit) {
  // Every help page is drawn as an unhighlighted list; its keys go back to HELP or close.
  const char* first_lines[] = {"SELECT HELP TOPICS TO LEARN ABOUT ZORBEL", "D-: DIGITAL PAD (DPAD)",
                               "DPAD:   STEP +/-1 TRACK +/-1", "TRI+L+R-TRIG: GO TO GEN/FX/ENV MENU",
                               "D-DN:  NEXT OPTION", "D-DN:   NEXT TRACK", "D-DN:    NEXT LOOP",
                               "D-DN:    NEXT PARAM", "X:       START/STOP SEQUENCER", "PRESETS"};
  const int widths[] = {40, 25, 32, 35, 25, 36, 32, 39, 39, 37};
  const int rows[] = {7, 16, 17, 9, 7, 12, 14, 17, 7, 12};
  for (int topic = 0; topic < 10; ++topic) {
    clear_surface();
    open_path({0, 9, topic});
    ASSERT_EQ(editor_state(), kStateHelpFirst + topic);
    const int w = widths[topic], n = rows[topic];
    std::string first = first_lines[topic];
    first += std::string(w - first.size(), ' ');
    EXPECT_EQ(read_text(400 - 4 * w, 300 - 4 * n, w, colour(kSlotActiveMenuText)), first) << topic;
    save_image("help_" + std::to_string(kStateHelpFirst + topic));
    press({topic % 2 ? kBtnX : kBtnDLt});
    EXPECT_EQ(editor_state(), kMenuHelp);
  }
  press({kBtnDDn});
  press({kBtnDRt});
  press({kBtnStart});
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // ABOUT: nine lines at (280, 264 + 8i), the last one the load of the song's synths.
  const auto load_line = [&] {
    clear_surface();
    open_path({0, 8});
    return read_text(280, 328, 30, colour(kSlotActiveMenuText));
  };
  song.track_count = 4;
  for (int t = 0; t < 4; ++t) song.synth_type[t] = 8;  // BFM, 9.8 each
  EXPECT_EQ(load_line(), "          39.2% LOAD          ");
  EXPECT_EQ(read_text(280, 280, 30, colour(kSlotActiveMenuText)), "          ZORBEL 3.00         ");
  save_image("about");
  press({kBtnO});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  song.track_count = 11;
  for (int t = 0; t < 11; ++t) song.synth_type[t] = t < 10 ? 8 : 32;  // 98.0 + N 3.6
  EXPECT_EQ(load_line(), "                   99.9% LOAD ");
  song.track_count = 1;
  song.synth_type[0] = 32;
  EXPECT_EQ(load_line(), "          3.6% LOAD           ");
  init_engine(12345);
  build_startup_song();

  // EXIT: Y first; N only closes, O goes back to SYSTEM, Y ends the program.
  open_path({0, 10});
  EXPECT_EQ(editor_state(), kStateExitQuestion);
  expect_prompt("EXIT? Y");
  press({kBtnDDn});
  expect_prompt("EXIT? N");
  press({kBtnX});
  EXPECT_FALSE(input.quit);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  open_path({0, 10});
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuSystem);
  press({kBtnDUp});  // round to EXIT
  press({kBtnX});
  EXPECT_FALSE(input.quit);
  press({kBtnDRt});
  EXPECT_TRUE(input.quit);
}

}  // namespace
}  // namespace zorbel::test
