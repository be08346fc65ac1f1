// Waveform trace of 1024 samples across a band of the screen, remembered for erasing.
#include "ui/draw/plot_wave.h"

#include <algorithm>
#include <cmath>

#include "ui/draw/draw.h"
#include "ui/draw/screen.h"

namespace zorbel {

namespace {

// Far outside any surface, small enough that the conversion to int is always defined.
constexpr float kPlotRowLimit = 1.0e6f;

}  // namespace

void plot_wave(int x1, int x2, int top, int bottom, uint16_t colour, const float* samples) {
  const int width = x2 - x1;
  if (width <= 0 || !samples) return;  // the history keeps the previous trace for erasing
  const int half = (bottom - top) / 2;
  const int centre = top + half;
  const float step = static_cast<float>(kPlotSamples) / static_cast<float>(width);  // samples per column
  const int last = std::min(width, kPlotHistoryPoints - 1);
  for (int i = 0; i <= last; ++i) {
    const int index = std::min(static_cast<int>(static_cast<float>(i) * step), kPlotSamples - 1);
    float row = static_cast<float>(half) * samples[index] + static_cast<float>(centre);
    if (std::isnan(row)) row = static_cast<float>(centre);
    row = std::clamp(row, -kPlotRowLimit, kPlotRowLimit);
    const int x = x1 + i;
    const int y = static_cast<int>(row);
    put_pixel(x, y, colour);
    draw_state.plot_history[i] = {static_cast<uint16_t>(x), static_cast<uint16_t>(y)};
  }
  draw_state.plot_history_count = last + 1;
}

void replot_history(int count, uint16_t colour) {
  count = std::min(count, draw_state.plot_history_count);
  for (int i = 0; i < count; ++i) {
    put_pixel(draw_state.plot_history[i].x, draw_state.plot_history[i].y, colour);
  }
}

}  // namespace zorbel
