// Waveform trace of 1024 samples across a band of the screen, remembered for erasing.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kPlotSamples = 1024;  // samples read by one trace

// One dot per column x1 .. x2 (inclusive) with the sample at that column scaled into the band
// top .. bottom (samples expected in -1..+1). Each dot goes through put_pixel, so rows outside
// the surface wrap, and is stored as entry i of draw_state.plot_history. Precondition:
// samples holds kPlotSamples values. A band of zero or negative width plots nothing and leaves the history as it was; at most
// kPlotHistoryPoints dots are plotted.
void plot_wave(int x1, int x2, int top, int bottom, uint16_t colour, const float* samples);

// Plots the first count points of the plot history again in colour, which erases the previous
// trace when colour is the background. count is limited to the points the last trace stored.
void replot_history(int count, uint16_t colour);

}  // namespace zorbel
