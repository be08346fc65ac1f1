// The visualizer as a user meets it: entering and leaving, its buttons while the song plays, the
// displays with the transport stopped, one element per full trigger, the level circles, and
// every display after a few seconds of a demo song.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "engine/audio_stream.h"
#include "edit/edit.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/step_event.h"
#include "files/song_file.h"
#include "synth/random_table.h"
#include "tests/support/shipped_files.h"
#include "tests/support/temp_workdir.h"
#include "tests/ui/screen_test_support.h"
#include "ui/draw/draw.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/visualizer.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kOutline = 0x39E7;
constexpr uint16_t kScope = 0x1FE3;
constexpr uint16_t kWobble = 0x18FF;

uint8_t held_keys[kKeySymbolCount];
void read_held_keys(uint8_t* keys, int count) { std::memcpy(keys, held_keys, count); }
const InputSource kHeldKeys{read_held_keys, nullptr, nullptr};

class VisualizerTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    init_engine(12345);
    build_startup_song();
    std::memset(held_keys, 0, sizeof held_keys);
    reset_input_state();
    set_input_source(&kHeldKeys);
    reset_state_table();
    reset_main_loop();
    register_all_screens();
    reset_visualizer();
  }
  void TearDown() override {
    set_input_source(nullptr);
    reset_input_state();
    reset_main_loop();
    init_engine(12345);
    SurfaceTest::TearDown();
  }

  void render(int buffers) {
    for (int i = 0; i < buffers; ++i) render_buffer(out_);
  }
  // Calls the input function until it acts once (every third call).
  void act() {
    for (int i = 0; i < 3; ++i) visualizer_input();
  }
  void act_with(int key) {
    held_keys[key] = 1;
    act();
    held_keys[key] = 0;
  }
  void frames(int count) {
    for (int i = 0; i < count; ++i) visualizer_frame();
  }
  std::vector<uint16_t> console() const {
    std::vector<uint16_t> pixels;
    for (int y = kConsoleY; y <= kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x) pixels.push_back(at(x, y));
    return pixels;
  }
  // Pixels of the console area that differ from an earlier console().
  std::vector<std::pair<int, int>> changed_since(const std::vector<uint16_t>& before) const {
    std::vector<std::pair<int, int>> changed;
    size_t i = 0;
    for (int y = kConsoleY; y <= kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x, ++i)
        if (at(x, y) != before[i]) changed.emplace_back(x, y);
    return changed;
  }
  int count_colour(uint16_t colour) const {
    int n = 0;
    for (int y = kConsoleY; y <= kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX; x < kConsoleX + kConsoleWidth; ++x) n += at(x, y) == colour;
    return n;
  }
  // Every step of the first four tracks: three full triggers and one at 95.
  void three_full_triggers() {
    ASSERT_GE(song.track_count, 4);
    for (int t = 0; t < song.track_count; ++t)
      for (int s = 0; s < MAX_STEPS; ++s)
        edit_step_trig(transport.current_loop, t, s, t < 3 ? 100 : (t == 3 ? 95 : 0));
  }

  float out_[2 * kBufferFrames];
};

TEST_F(VisualizerTest, EnteringLeavingAndReenteringWhileTheSongPlays) {
  render(4);
  // START opened the visualizer from step edit and is still held.
  held_keys[kBtnStart] = 1;
  input.keys[kBtnStart] = 1;
  enter_visualizer();
  EXPECT_EQ(current_mode(), kModeVisualizer);
  EXPECT_EQ(editor_state(), kStateVisualizer);
  EXPECT_TRUE(editor_link.visualizer_showing.load());
  for (int k = 0; k < kKeySymbolCount; ++k) ASSERT_FALSE(input.keys[k] || input.previous[k]) << k;
  // Type 0 on entry: black inside, the outline and the grid in grey, the white frame gone.
  EXPECT_EQ(at(310, 310), 0);
  for (auto [x, y] : {std::pair{160, 300}, {639, 300}, {300, 164}, {300, 436}, {200, 170},
                      {600, 430}, {170, 198}, {630, 402}})
    EXPECT_EQ(at(x, y), kOutline) << x << "," << y;
  EXPECT_EQ(at(200, 435), 0) << "grid columns end above the bottom edge";
  EXPECT_EQ(count_colour(0xFFFF), 0);
  EXPECT_EQ(at(100, 100), kUnpainted) << "nothing outside the console area";

  // The START that opened it does not close it; it acts again only once let go.
  act();
  EXPECT_EQ(current_mode(), kModeVisualizer);
  held_keys[kBtnStart] = 0;
  act();
  act_with(kBtnDRt);
  EXPECT_EQ(visualizer.type, 1);

  // The main loop draws the registered frame; the sequencer keeps playing underneath.
  select_visualizer_type(0);
  const int step_before = transport.step_pos;
  render(3);
  EXPECT_NE(transport.step_pos, step_before);
  run_frame();
  EXPECT_GE(count_colour(kScope), 400) << "one trace dot per column";
  select_visualizer_type(1);

  // O leaves: editor mode, step edit, and the held O is no new press for the editor.
  held_keys[kBtnO] = 1;
  act();
  EXPECT_EQ(current_mode(), kModeEditor);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FALSE(editor_link.visualizer_showing.load());
  EXPECT_FALSE(button_pressed(kBtnO));
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  held_keys[kBtnO] = 0;

  // The type survives; Esc ends the program from here.
  enter_visualizer();
  EXPECT_EQ(visualizer.type, 1);
  act_with(kKeyEscape);
  EXPECT_TRUE(input.quit);
}

TEST_F(VisualizerTest, ButtonsRepeatOnEveryActingTickWhileHeld) {
  enter_visualizer();
  // Holding D-RT: one type per acting tick, 6 wraps to 0; D-LT goes back past 0 to 6.
  held_keys[kBtnDRt] = 1;
  for (int expected : {1, 2, 3, 4, 5, 6, 0, 1}) {
    visualizer_input();
    visualizer_input();
    EXPECT_NE(visualizer.type, expected) << "acts only on every third call";
    visualizer_input();
    EXPECT_EQ(visualizer.type, expected);
  }
  held_keys[kBtnDRt] = 0;
  act_with(kBtnDLt);
  act_with(kBtnDLt);
  EXPECT_EQ(visualizer.type, 6);

  // R-TR / L-TR change the loop at once even with the instant switch off, and leave it off.
  transport.play_mode = 0;
  transport_set_instant_switch(false);
  held_keys[kBtnRTr] = 1;
  act();
  act();
  act();
  held_keys[kBtnRTr] = 0;
  EXPECT_EQ(transport.current_loop, 3);
  EXPECT_EQ(transport.play_cursor[0].trig_row, song.step_trig[3][0]);
  EXPECT_EQ(transport.instant_loop_switch, 0);
  act_with(kBtnLTr);
  EXPECT_EQ(transport.current_loop, 2);

  // X held keeps toggling the transport.
  held_keys[kBtnX] = 1;
  act();
  EXPECT_NE(transport.transport_stopped.load(), 0);
  act();
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  held_keys[kBtnX] = 0;

  // TRI restarts: song position 0 and, in song mode, the loop of song entry 0.
  transport.play_mode = 1;
  edit_song_entry(0, 7, 2);
  render(6);
  EXPECT_NE(transport.step_pos, 0);
  act_with(kBtnTri);
  EXPECT_EQ(transport.step_pos, 0);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.current_loop, 7);
  EXPECT_EQ(transport.play_cursor[0].trig_row, song.step_trig[7][0]);
  EXPECT_EQ(transport.transport_stopped.load(), 0);

  // SQ wipes what the display drew and starts it again.
  select_visualizer_type(2);
  fill_rect(300, 300, 20, 20, 0x1234);
  act_with(kBtnSq);
  EXPECT_EQ(at(310, 310), 0);
  EXPECT_EQ(at(160, 300), kOutline);
  EXPECT_EQ(visualizer.type, 2);
}

TEST_F(VisualizerTest, WithTheTransportStoppedOnlyTheTracesKeepShowingTheBuffer) {
  three_full_triggers();
  render(8);
  ASSERT_EQ(last_full_trigger_count(), 3);
  enter_visualizer();
  transport_set_stopped(true);
  EXPECT_EQ(full_trigger_count(), 0);
  EXPECT_FALSE(render_buffer(out_));

  for (int type = 1; type <= 5; ++type) {
    select_visualizer_type(type);
    const std::vector<uint16_t> before = console();
    const int walker_x = visualizer.walker_x, walker_y = visualizer.walker_y;
    frames(40);
    EXPECT_TRUE(changed_since(before).empty()) << "type " << type;
    if (type == 3) {
      EXPECT_EQ(visualizer.walker_x, walker_x);
      EXPECT_EQ(visualizer.walker_y, walker_y);
    }
    if (type == 5) {
      EXPECT_EQ(visualizer.last_level, 0.0f);
    }
  }
  // The oscilloscope keeps one trace of the buffer, erasing the last one over the grid.
  select_visualizer_type(0);
  frames(1);
  const int dots = count_colour(kScope);
  EXPECT_GE(dots, 400);
  frames(10);
  EXPECT_EQ(count_colour(kScope), dots);
  // A moving trace leaves the grid whole wherever it no longer passes.
  for (float cycles : {3.0f, 7.0f}) {
    for (int i = 0; i < kBufferFrames; ++i)
      buses.record_right[i] = 0.9f * std::sin(6.2831853f * cycles * i / kBufferFrames);
    frames(1);
  }
  EXPECT_EQ(count_colour(kScope), dots);
  std::set<std::pair<int, int>> trace;
  for (int i = 0; i < draw_state.plot_history_count; ++i)
    trace.insert({draw_state.plot_history[i].x, draw_state.plot_history[i].y});
  for (int x = 200; x <= 600; x += 40)
    for (int y = 165; y < 435; ++y)
      if (!trace.count({x, y})) {
        ASSERT_EQ(at(x, y), kOutline) << x << "," << y;
      }
  for (int y = 198; y <= 402; y += 34)
    for (int x = 161; x < 639; ++x)
      if (!trace.count({x, y})) {
        ASSERT_EQ(at(x, y), kOutline) << x << "," << y;
      }
  // The wobbling circles keep being drawn, and erased, from the same buffer.
  select_visualizer_type(6);
  frames(1);
  const int points = count_colour(kWobble);
  EXPECT_GT(points, 100);
  frames(10);
  EXPECT_EQ(count_colour(kWobble), points);
  // With a silent buffer they are true circles: the top of the radius-100 one is on (400, 200).
  std::fill(std::begin(buses.record_right), std::end(buses.record_right), 0.0f);
  frames(2);
  EXPECT_EQ(at(400, 200), kWobble);
  EXPECT_EQ(at(300, 300), kWobble);
}

TEST_F(VisualizerTest, ThreeFullTriggersGiveThreeStarsWalkerStepsAndRectangles) {
  three_full_triggers();
  render(8);
  enter_visualizer();
  ASSERT_EQ(full_trigger_count(), 3) << "the track at 95 does not count";

  // Stars: one colour, three points, each mirrored about the centre of the console area.
  select_visualizer_type(2);
  std::vector<uint16_t> before = console();
  int position = random_read_position();
  frames(1);
  EXPECT_EQ(random_read_position() - position, 1 + 3 * 2);
  const auto stars = changed_since(before);
  EXPECT_EQ(stars.size(), 12u);
  std::set<uint16_t> colours;
  for (auto [x, y] : stars) {
    colours.insert(at(x, y));
    EXPECT_EQ(at(800 - x, y), at(x, y));
    EXPECT_EQ(at(x, 600 - y), at(x, y));
    EXPECT_GT(x, kConsoleX);
    EXPECT_LT(y, kConsoleY + kConsoleHeight);
  }
  EXPECT_EQ(colours.size(), 1u);

  // Walker: three diagonal steps, plotted with its four mirror points in its drifting colour.
  select_visualizer_type(3);
  const int x0 = visualizer.walker_x, y0 = visualizer.walker_y;
  position = random_read_position();
  before = console();
  frames(1);
  EXPECT_EQ(random_read_position() - position, 3 + 3 * 2);
  const int dx = std::abs(visualizer.walker_x - x0), dy = std::abs(visualizer.walker_y - y0);
  EXPECT_TRUE(dx == 1 || dx == 3) << dx;
  EXPECT_TRUE(dy == 1 || dy == 3) << dy;
  const int wx = visualizer.walker_x, wy = visualizer.walker_y;
  for (auto [x, y] : {std::pair{161 + wx, 165 + wy}, {638 - wx, 165 + wy}, {161 + wx, 435 - wy},
                      {638 - wx, 435 - wy}})
    EXPECT_EQ(at(x, y), visualizer.walker_colour);
  const size_t walked = changed_since(before).size();
  EXPECT_TRUE(walked == 8 || walked == 12) << walked;
  // A-UP raises the vertical threshold by 200, kept within the draw's range.
  const float threshold = visualizer.threshold_y;
  held_keys[kBtnAUp] = 1;
  act();  // the snapshot the frame reads
  frames(1);
  EXPECT_FLOAT_EQ(visualizer.threshold_y, std::min(threshold + 200.0f, 32767.0f));
  held_keys[kBtnAUp] = 0;
  act();

  // Rectangles: three, each four times in a colour with the top bit set.
  select_visualizer_type(4);
  position = random_read_position();
  before = console();
  frames(1);
  EXPECT_EQ(random_read_position() - position, 3 * 5);
  colours.clear();
  for (auto [x, y] : changed_since(before)) {
    colours.insert(at(x, y));
    EXPECT_NE(at(x, y) & 0x8000, 0);
  }
  EXPECT_LE(colours.size(), 3u);

  // Stopped, none of them draws or draws random values.
  transport_set_stopped(true);
  position = random_read_position();
  for (int type : {2, 4}) {
    select_visualizer_type(type);
    frames(3);
  }
  EXPECT_EQ(random_read_position(), position);
}

TEST_F(VisualizerTest, LevelCirclesFollowTheWholePartOfTheLevel) {
  enter_visualizer();
  select_visualizer_type(5);
  auto set_level = [](float level) {
    // 0.3 x the sum of the squares of 2048 equal samples.
    const float s = std::sqrt(level / 0.3f / kDisplayBufferSize);
    std::fill(std::begin(buses.record_right), std::end(buses.record_right), s);
  };
  // A level far above 48 is held at 48: inner circles of radius 67, outer ones of 48.
  set_level(200.0f);
  frames(1);
  EXPECT_EQ(static_cast<int>(visualizer.last_level), 48);
  for (auto [x, y] : {std::pair{350 + 67, 250}, {450, 250 - 67}, {350, 350 + 67},
                      {450 - 67, 350}, {210 + 48, 214}, {590, 386 - 48}})
    EXPECT_NE(at(x, y), 0) << x << "," << y;
  EXPECT_EQ(at(350 + 68, 250), 0);

  // Within the same whole number nothing is drawn.
  std::vector<uint16_t> before = console();
  set_level(48.5f);
  frames(3);
  EXPECT_TRUE(changed_since(before).empty());

  // Without erase mode the circles pile up.
  set_level(20.3f);
  frames(1);
  EXPECT_NE(at(350 + 67, 250), 0);
  EXPECT_NE(at(350 + 28, 250), 0);

  // D-UP held over many frames toggles erase mode once: the previous circles go.
  held_keys[kBtnDUp] = 1;
  act();
  set_level(10.2f);
  frames(5);
  EXPECT_TRUE(visualizer.erase_circles);
  EXPECT_EQ(at(350 + 28, 250), 0);
  EXPECT_EQ(at(210 + 20, 214), 0);
  EXPECT_NE(at(350 + 14, 250), 0);
  EXPECT_NE(at(210 + 10, 214), 0);
  held_keys[kBtnDUp] = 0;
  act();
  frames(1);
  EXPECT_TRUE(visualizer.erase_circles);
}

TEST_F(VisualizerTest, EveryDisplayAfterSecondsOfADemoSong) {
  TempWorkdir dir;
  copy_demo_files();
  std::string reason;
  ASSERT_TRUE(load_song("seq/NEONRUN.SEQ", &reason)) << reason;
  transport.play_mode = 1;
  transport_restart();
  enter_visualizer();
  for (int type = 0; type < kVisualizerTypeCount; ++type) {
    select_visualizer_type(type);
    // About three seconds: a device buffer lasts 23 ms, a frame at least 5 ms.
    for (int b = 0; b < 130; ++b) {
      render(1);
      frames(4);
    }
    save_image("visualizer_" + std::to_string(type));
    int lit = 0;
    for (int y = kConsoleY + 1; y < kConsoleY + kConsoleHeight; ++y)
      for (int x = kConsoleX + 1; x < kConsoleX + kConsoleWidth - 1; ++x)
        lit += at(x, y) != 0 && at(x, y) != kOutline;
    EXPECT_GT(lit, 150) << "type " << type;
    EXPECT_TRUE(outside_untouched());
  }
}

}  // namespace
}  // namespace zorbel::test
