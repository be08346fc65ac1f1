// Measurements on rendered audio for tests that listen: pitch, level, sanity.
#pragma once

#include <vector>

namespace zorbel::test {

// Frequency in Hz from the rising zero crossings of every stride-th sample of x (interpolated
// between samples), or 0 when there are fewer than two crossings.
double zero_crossing_frequency(const float* x, int frames, int stride = 1, double rate = 44100.0);
double rms(const float* x, int frames, int stride = 1);
bool all_finite(const float* x, int count);

}  // namespace zorbel::test
