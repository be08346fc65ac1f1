// Building the 35 wavetables: computed families of sine, triangle, saw and noise, plus stored data.
#include "synth/wavetables.h"

#include <cmath>
#include <cstring>

#include "synth/param_value.h"
#include "synth/random_table.h"
#include "synth/wavetable_data.h"

namespace zorbel {

float wavetables[kWavetableCount][kTablePoints + 1];

namespace {

constexpr double kFullScale = 32768.0;
// Not exactly 2 pi / 128: the sine is built with this constant.
constexpr double kSineStep = 0.04908738515625;

const char* const kNames[kWavetableCount] = {
    "SINE",    "SINE2",   "SINE3",   "SINE4",   "SINER2", "SINER3", "SINER4", "ISINE",  "ISINE2",
    "ISINE3",  "ISINER2", "ISINER3", "ISINER4", "TRI",    "TRI2",   "TRI3",   "TRI4",   "TRIR2",
    "TRIR3",   "TRIR4",   "SAW",     "SAW2",    "SAW3",   "SAW4",   "SAWR2",  "SAWR3",  "SAWR4",
    "SQ",      "NOISE",   "NOISE2",  "NOISE3",  "NOISE4", "NOISER2", "NOISER3", "NOISER4",
};

enum : int { kIsine = 7, kTri = 13, kNoiseBase = 28 };

double sign_of(double x) { return x < 0.0 ? -1.0 : 1.0; }

// The three powers of a base table (squared, cubed, fourth, each chained from the one before and
// scaled back to 16 bits) with the base's sign, for points first..last.
void build_powers(int base, int first, int last) {
  const float* b = wavetables[base];
  for (int i = first; i <= last; ++i) {
    const double x = b[i];
    const double s = sign_of(x);
    const double p2 = std::fabs(x) * std::fabs(x) / kFullScale;
    wavetables[base + 1][i] = static_cast<float>(s * p2);
    const double p3 = std::fabs(static_cast<double>(wavetables[base + 1][i])) * std::fabs(x) / kFullScale;
    wavetables[base + 2][i] = static_cast<float>(s * p3);
    const double p4 = std::fabs(static_cast<double>(wavetables[base + 2][i])) * std::fabs(x) / kFullScale;
    wavetables[base + 3][i] = static_cast<float>(s * p4);
  }
}

// The roots 0.5, 0.33 (not 1/3) and 0.25 of a base table into the tables at root_first..+2.
void build_roots(int base, int root_first, int first, int last) {
  static const double kExponents[3] = {0.5, 0.33, 0.25};
  const float* b = wavetables[base];
  for (int i = first; i <= last; ++i) {
    const double x = b[i];
    for (int k = 0; k < 3; ++k)
      wavetables[root_first + k][i] =
          static_cast<float>(sign_of(x) * std::pow(std::fabs(x) / kFullScale, kExponents[k]) * kFullScale);
  }
}

void copy_guard(int table) { wavetables[table][kTablePoints] = wavetables[table][0]; }

void build_sine_family() {
  float* sine = wavetables[kSine];
  sine[0] = 0.0f;
  for (int i = 1; i < kTablePoints; ++i) sine[i] = static_cast<float>(std::sin(i * kSineStep) * kFullScale);
  build_powers(kSine, 1, 127);
  build_roots(kSine, kSine + 4, 1, 127);
  for (int t = kSine; t <= kSine + 6; ++t) copy_guard(t);
}

void build_isine_family() {
  std::memcpy(wavetables[kIsine], kIsineData, sizeof kIsineData);
  std::memcpy(wavetables[kIsine + 1], kIsine2Data, sizeof kIsine2Data);
  std::memcpy(wavetables[kIsine + 2], kIsine3Data, sizeof kIsine3Data);
  build_roots(kIsine, kIsine + 3, 0, 127);
  for (int t = kIsine + 3; t <= kIsine + 5; ++t) copy_guard(t);
}

void build_tri_family() {
  float* tri = wavetables[kTri];
  tri[0] = 0.0f;
  // Up to the peak at 32, down to the trough at 96, up again.
  for (int i = 1; i < kTablePoints; ++i) tri[i] = tri[i - 1] + ((i < 33 || i > 96) ? 1024.0f : -1024.0f);
  build_powers(kTri, 1, 127);
  build_roots(kTri, kTri + 4, 1, 127);
  for (int t = kTri; t <= kTri + 6; ++t) copy_guard(t);
}

void build_saw_family() {
  float* saw = wavetables[kSaw];
  saw[0] = 0.0f;
  for (int i = 1; i < kTablePoints; ++i) saw[i] = (i == 65) ? -32768.0f : saw[i - 1] + 512.0f;
  saw[kTablePoints] = -512.0f;  // the ramp continues past the last point
  build_powers(kSaw, 1, 127);
  build_roots(kSaw, kSaw + 4, 1, 127);
  wavetables[kSaw + 1][kTablePoints] = -8.0f;
  wavetables[kSaw + 2][kTablePoints] = -wavetables[kSaw + 2][1];
  wavetables[kSaw + 3][kTablePoints] = -wavetables[kSaw + 3][1];
  for (int t = kSaw + 4; t <= kSaw + 6; ++t) wavetables[t][kTablePoints] = 0.0f;
}

void build_square() {
  float* sq = wavetables[kSq];
  for (int i = 1; i < kTablePoints; ++i) sq[i] = i < 64 ? 32768.0f : -32768.0f;
  sq[0] = 1.0f;
  copy_guard(kSq);
}

void build_noise_family() {
  float* noise = wavetables[kNoiseBase];
  for (int i = 0; i <= kTablePoints; ++i) noise[i] = random_raw();
  build_powers(kNoiseBase, 1, 127);
  build_roots(kNoiseBase, kNoiseBase + 4, 1, 127);
  for (int t = kNoiseBase + 1; t <= kNoiseBase + 6; ++t) copy_guard(t);
}

}  // namespace

void build_wavetables() {
  std::memset(wavetables, 0, sizeof wavetables);
  build_sine_family();
  build_isine_family();
  build_tri_family();
  build_saw_family();
  build_square();
  build_noise_family();
}

const float* wavetable_row(float v) {
  int n = truncate_to_int32(v);
  if (n < 0) n = 0;
  if (n >= kWavetableCount) n = kWavetableCount - 1;
  return wavetables[n];
}

int wavetable_number(const float* row) {
  const long n = (row - wavetables[0]) / (kTablePoints + 1);
  return (n >= 0 && n < kWavetableCount) ? static_cast<int>(n) : 0;
}

const char* wavetable_name(int table) {
  if (table < 0 || table >= kWavetableCount) return "";
  return kNames[table];
}

}  // namespace zorbel
