// Measurements on rendered audio for tests that listen.
#include "tests/support/signal_measure.h"

#include <cmath>

namespace zorbel::test {

double zero_crossing_frequency(const float* x, int frames, int stride, double rate) {
  double first = -1.0;
  double last = -1.0;
  int crossings = 0;
  for (int i = 1; i < frames; ++i) {
    const double a = x[(i - 1) * stride];
    const double b = x[i * stride];
    if (a < 0.0 && b >= 0.0) {
      const double at = (i - 1) + (-a) / (b - a);
      if (first < 0.0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * rate / (last - first);
}

double rms(const float* x, int frames, int stride) {
  double sum = 0.0;
  for (int i = 0; i < frames; ++i) sum += static_cast<double>(x[i * stride]) * x[i * stride];
  return frames > 0 ? std::sqrt(sum / frames) : 0.0;
}

bool all_finite(const float* x, int count) {
  for (int i = 0; i < count; ++i)
    if (!std::isfinite(x[i])) return false;
  return true;
}

}  // namespace zorbel::test
