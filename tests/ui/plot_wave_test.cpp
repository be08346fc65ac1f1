// The waveform trace: one dot per column inside its band, the shared history, erasing.
#include <cmath>
#include <limits>

#include "tests/ui/screen_test_support.h"
#include "ui/draw/draw.h"
#include "ui/draw/plot_wave.h"

namespace zorbel::test {
namespace {

constexpr uint16_t kTrace = 0x5555;
constexpr uint16_t kBackground = 0x0000;

class PlotWaveTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    for (int i = 0; i < kPlotSamples; ++i) {
      sine_[i] = std::sin(2.0f * 3.14159265f * 3.0f * static_cast<float>(i) / kPlotSamples);
    }
  }
  float sine_[kPlotSamples];
};

TEST_F(PlotWaveTest, OneDotPerColumnInsideTheBandRecordedInTheHistory) {
  const int x1 = 200, x2 = 600, top = 200, bottom = 400;
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kBackground);
  plot_wave(x1, x2, top, bottom, kTrace, sine_);
  save_image("plot_wave_sine");

  ASSERT_EQ(draw_state.plot_history_count, x2 - x1 + 1);
  for (int i = 0; i <= x2 - x1; ++i) {
    const PlotPoint point = draw_state.plot_history[i];
    EXPECT_EQ(point.x, x1 + i);
    EXPECT_GE(point.y, top);
    EXPECT_LE(point.y, bottom);
    EXPECT_EQ(at(point.x, point.y), kTrace);
    int dots = 0;
    for (int y = 0; y < kScreenHeight; ++y) dots += at(point.x, y) == kTrace;
    EXPECT_EQ(dots, 1) << "column " << point.x;
  }
  // Three periods over the band: the trace crosses its centre line going up three times.
  int upward_crossings = 0;
  for (int i = 1; i <= x2 - x1; ++i) {
    upward_crossings += draw_state.plot_history[i - 1].y > 300 && draw_state.plot_history[i].y <= 300;
  }
  EXPECT_EQ(upward_crossings, 3);
}

TEST_F(PlotWaveTest, ReplottingTheHistoryInTheBackgroundErasesTheTrace) {
  fill_rect(kConsoleX, kConsoleY, kConsoleWidth, kConsoleHeight, kBackground);
  const auto before = painted_pixels();
  plot_wave(300, 500, 250, 350, kTrace, sine_);
  replot_history(kPlotHistoryPoints, kBackground);
  EXPECT_EQ(painted_pixels(), before);
  for (int y = kConsoleY; y < kConsoleY + kConsoleHeight; ++y) EXPECT_NE(at(400, y), kTrace);
}

TEST_F(PlotWaveTest, EachColumnTakesTheSampleAtItsShareOfTheTable) {
  // A staircase: sample k is k / 1024, so the row tells which sample a column used.
  float ramp[kPlotSamples];
  for (int k = 0; k < kPlotSamples; ++k) ramp[k] = static_cast<float>(k) / kPlotSamples;
  plot_wave(0, 8, 0, 2048, kTrace, ramp);  // half 1024, centre 1024: y = 1024 + k
  for (int i = 0; i <= 8; ++i) {
    const int sample = std::min(i * 128, kPlotSamples - 1);  // the last column is held at 1023
    EXPECT_EQ(draw_state.plot_history[i].y, 1024 + sample) << i;
  }
}

TEST_F(PlotWaveTest, RowsOutsideTheSurfaceWrapAndBadSamplesStayOnTheCentre) {
  float samples[kPlotSamples];
  for (float& s : samples) s = 3.0f;
  samples[0] = std::numeric_limits<float>::quiet_NaN();
  samples[512] = std::numeric_limits<float>::infinity();
  plot_wave(100, 102, 500, 598, kTrace, samples);  // half 49, centre 549
  EXPECT_EQ(draw_state.plot_history[0].y, 549);    // not a number: on the centre line
  EXPECT_EQ(draw_state.plot_history[2].y, 696);    // 3 x 49 + 549, off the surface
  EXPECT_TRUE(painted(102, 96));                   // ...so it wraps modulo 600
  EXPECT_TRUE(outside_untouched());
  plot_wave(100, 102, 0, 100, kTrace, nullptr);
  EXPECT_TRUE(outside_untouched());
}

TEST_F(PlotWaveTest, AnEmptyBandPlotsNothingAndKeepsTheHistory) {
  plot_wave(10, 20, 100, 200, kTrace, sine_);
  const auto pixels = painted_pixels();
  plot_wave(50, 50, 100, 200, kTrace, sine_);
  plot_wave(60, 40, 100, 200, kTrace, sine_);
  EXPECT_EQ(painted_pixels(), pixels);
  EXPECT_EQ(draw_state.plot_history_count, 11);
}

TEST_F(PlotWaveTest, AVeryWideBandStopsAtTheHistoryCapacity) {
  plot_wave(0, 5000, 100, 200, kTrace, sine_);
  EXPECT_EQ(draw_state.plot_history_count, kPlotHistoryPoints);
  EXPECT_TRUE(outside_untouched());
}

}  // namespace
}  // namespace zorbel::test
