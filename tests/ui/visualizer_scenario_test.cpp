// The visualizer in the running workstation: both ways in, the way back to step edit with the
// music going on, its buttons, the displays with the transport stopped, one element per full
// trigger, and every display after a few seconds of a demo song.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "tests/support/shipped_files.h"
#include "tests/ui/drive_test_support.h"
#include "ui/draw/draw.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/visualizer.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kOutline = 0x39E7;
constexpr uint16_t kScope = 0x1FE3;
constexpr uint16_t kWobble = 0x18FF;

class VisualizerScenario : public DriveTest {
 protected:
  // SELECT, then D-RT to the SONG/LOOP panel: D-UP is song mode, D-DN loop mode.
  void play_mode(bool song_mode) {
    run(std::string("press SELECT\n press D-RT\n press D-RT\n press D-RT\n press ") +
        (song_mode ? "D-UP" : "D-DN") + "\n press SELECT\n wait 0.2\n");
    ASSERT_EQ(transport.play_mode, song_mode ? 1 : 0);
  }
  static std::vector<uint16_t> console() {
    std::vector<uint16_t> pixels;
    for (int y = kConsoleY; y < kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x) pixels.push_back(at(x, y));
    return pixels;
  }
  static std::vector<std::pair<int, int>> changed_since(const std::vector<uint16_t>& before) {
    std::vector<std::pair<int, int>> changed;
    size_t i = 0;
    for (int y = kConsoleY; y < kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x, ++i)
        if (at(x, y) != before[i]) changed.emplace_back(x, y);
    return changed;
  }
  static int count(uint16_t colour) {
    int n = 0;
    for (uint16_t p : console()) n += p == colour;
    return n;
  }
  static std::string track_name(int t) {
    std::string name(song.track_name[t], kTrackNameLen - 1);
    return name.substr(0, name.find_first_of(std::string(" \0", 2)));
  }
};

TEST_F(VisualizerScenario, BothWaysInAndBackToStepEditWhileTheMusicGoesOn) {
  // START in step edit while the song plays in song mode.
  play_mode(true);
  run("press START\n wait 0.2\n");
  EXPECT_EQ(current_mode(), kModeVisualizer);
  EXPECT_EQ(editor_state(), kStateVisualizer);
  EXPECT_EQ(visualizer.type, 0);
  EXPECT_EQ(at(200, 170), kOutline);
  EXPECT_EQ(at(170, 198), kOutline);
  EXPECT_GE(count(kScope), 400) << "the trace of the output";
  EXPECT_EQ(count(0xFFFF), 0) << "the sequencer screen is gone";
  shot("drive_visualizer_entered");

  // Holding D-RT: one type per acting tick, round from 6 to 0.
  run("hold D-RT\n");
  for (int expected : {1, 2, 3, 4, 5, 6, 0, 1}) {
    run("tick\n");
    ASSERT_EQ(visualizer.type, expected);
  }
  run("release D-RT\n tick 2\n press D-RT\n press D-RT\n");
  EXPECT_EQ(visualizer.type, 3);

  // O: step edit, drawn in full, and the song went on playing and sounding meanwhile.
  const uint16_t step = transport.step_pos;
  const long buffers = drive_rendered_buffers();
  put_pixel(170, kConsoleY + kConsoleHeight - 1, kScope);  // a trace dot on the bottom row
  run("press O\n tick 3\n");
  EXPECT_EQ(current_mode(), kModeEditor);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(at(kConsoleX, kConsoleY), 0xFFFF);
  EXPECT_EQ(at(170, kConsoleY + kConsoleHeight - 1), slot(kSlotBackground))
      << "the displays' bottom row, inside the sequencer screen's frame, is cleared too";
  EXPECT_EQ(count(kOutline), 0);
  for (int t = 0; t < song.track_count; ++t)
    EXPECT_TRUE(text_at(kTrackNameX, track_y(t), track_name(t).c_str(), slot(kSlotTrackName)));
  EXPECT_TRUE(text_at(kSongLoopX, kTransportY, "SONG", slot(kSlotInactiveText)));
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  EXPECT_NE(transport.step_pos, step);
  EXPECT_GT(drive_rendered_buffers(), buffers);
  shot("drive_visualizer_left");

  // SYSTEM > VISUALIZE in loop mode: the last type again, and the X that chose it does not
  // also stop the transport.
  play_mode(false);
  run(menu_path({0, 5}) + "wait 0.1\n");
  EXPECT_EQ(current_mode(), kModeVisualizer);
  EXPECT_EQ(editor_state(), kStateVisualizer);
  EXPECT_EQ(visualizer.type, 3);
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  // START leaves, and the START still held does not open the menu in step edit.
  run("hold START\n tick 3\n");
  EXPECT_EQ(current_mode(), kModeEditor);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  run("release START\n tick 2\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_TRUE(text_at(kSongLoopX, kTransportY, "LOOP", slot(kSlotInactiveText)));
}

TEST_F(VisualizerScenario, StoppedDisplaysAndOneElementPerFullTrigger) {
  // Three tracks at TRIG 100 on every step, one at 95, the rest silent.
  for (int t = 0; t < song.track_count; ++t)
    for (int s = 0; s < MAX_STEPS; ++s)
      edit_step_trig(transport.current_loop, t, s, t < 3 ? 100 : (t == 3 ? 95 : 0));
  run(menu_path({0, 5}) + "wait 0.2\n press X\n wait 0.1\n");
  ASSERT_NE(transport.transport_stopped.load(), 0);

  // Stopped, the oscilloscope keeps showing the buffer.
  const int dots = count(kScope);
  EXPECT_GE(dots, 400);
  run("wait 0.5\n");
  EXPECT_EQ(count(kScope), dots);
  // Types 1 to 5 draw nothing new; the walker stays where it is.
  for (int type = 1; type <= 5; ++type) {
    run("press D-RT\n wait 0.05\n");
    ASSERT_EQ(visualizer.type, type);
    const std::vector<uint16_t> before = console();
    const int wx = visualizer.walker_x, wy = visualizer.walker_y;
    run("wait 0.5\n");
    EXPECT_TRUE(changed_since(before).empty()) << "type " << type;
    EXPECT_EQ(visualizer.walker_x, wx);
    EXPECT_EQ(visualizer.walker_y, wy);
  }
  // The wobbling circles keep being traced from the buffer.
  run("press D-RT\n wait 0.1\n");
  const int points = count(kWobble);
  EXPECT_GT(points, 100);
  run("wait 0.5\n");
  EXPECT_EQ(count(kWobble), points);

  // Running again, each frame of the workstation adds one element per full trigger: three,
  // not four (where each lands is checked by the displays' own tests).
  run("press X\n wait 0.2\n press D-RT\n press D-RT\n press D-RT\n");
  ASSERT_EQ(transport.transport_stopped.load(), 0);
  ASSERT_EQ(visualizer.type, 2);
  ASSERT_EQ(full_trigger_count(), 3);
  std::vector<uint16_t> before = console();
  draw_frame();
  EXPECT_EQ(changed_since(before).size(), 12u) << "three stars, each mirrored four times";

  run("press D-RT\n");
  ASSERT_EQ(visualizer.type, 3);
  const int x0 = visualizer.walker_x;
  before = console();
  draw_frame();
  const int dx = std::abs(visualizer.walker_x - x0);
  EXPECT_TRUE(dx == 1 || dx == 3) << dx;
  const size_t walked = changed_since(before).size();
  EXPECT_TRUE(walked == 8 || walked == 12) << walked;

  run("press D-RT\n");
  ASSERT_EQ(visualizer.type, 4);
  before = console();
  draw_frame();
  std::set<uint16_t> colours;
  for (auto [x, y] : changed_since(before)) colours.insert(at(x, y));
  EXPECT_GE(colours.size(), 1u);
  EXPECT_LE(colours.size(), 3u) << "three rectangles at most (one may have no size)";
}

TEST_F(VisualizerScenario, EveryDisplayAfterSecondsOfADemoSong) {
  copy_demo_files();
  std::string reason;
  ASSERT_EQ(edit_load_song("seq/NEONRUN.SEQ", &reason), EditResult::kOk) << reason;
  play_mode(true);
  // Master volume up by 3 (VOL panel, A-UP 0.1 a tick), loud enough for the largest circles.
  run("press SELECT\n press D-RT\n press D-RT\n hold A-UP\n tick 30\n release A-UP\n"
      "press SELECT\n press START\n");
  ASSERT_GT(song.master_vol, 3.0f);
  ASSERT_EQ(current_mode(), kModeVisualizer);

  const char* names[kVisualizerTypeCount] = {"scope", "colour_trace", "stars", "random_walk",
                                             "rectangles", "level_circles", "wobbling_circles"};
  for (int type = 0; type < kVisualizerTypeCount; ++type) {
    ASSERT_EQ(visualizer.type, type);
    if (type == 5) run("press D-UP\n");  // erase mode: only the latest circles show
    run("wait 3\n");
    shot(std::string("visualizer_demo_") + std::to_string(type) + "_" + names[type]);
    int lit = 0;
    for (uint16_t p : console()) lit += p != 0 && p != kOutline;
    EXPECT_GT(lit, 150) << names[type];
    if (type == 5) {
      // A level of 48 or more: inner circles of radius 67 (and no more) round their centres.
      for (int i = 0; i < 200 && visualizer.last_level < 48.0f; ++i) run("wait 0.02\n");
      ASSERT_GE(visualizer.last_level, 48.0f);
      for (auto [x, y] : {std::pair{350, 183}, {450, 183}, {350, 417}, {450, 417}})
        EXPECT_NE(at(x, y), 0) << x << "," << y;
      EXPECT_EQ(at(350, 182), 0);
      EXPECT_EQ(at(450, 418), 0);
      shot("visualizer_demo_5_level_circles_at_48");
    }
    run("press D-RT\n");
  }
}

}  // namespace
}  // namespace zorbel::test
