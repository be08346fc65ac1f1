// The 35 single-cycle wavetables and the interpolating table read shared by every engine.
#pragma once

namespace zorbel {

constexpr int kWavetableCount = 35;
constexpr int kTablePoints = 128;            // points per cycle; entry 128 is the wrap guard
constexpr float kHzToTablePoints = 0.00290245f;  // 128 / 44100

enum WavetableId : int { kSine = 0, kSaw = 20, kSq = 27, kNoise = 28 };

extern float wavetables[kWavetableCount][kTablePoints + 1];

// Builds every table; the noise tables read the random table, so seed that first.
void build_wavetables();
// Name shown by the editor ("SINE", "SAWR4", ...).
const char* wavetable_name(int table);
// Table number v (a step value) as a row of wavetables[]; out-of-range numbers are clamped to
// 0..34 so a damaged value never points outside the tables.
const float* wavetable_row(float v);
// The number 0..34 of a row returned by wavetable_row.
int wavetable_number(const float* row);

// Tables 0..26 are periodic: a note restart resets the phase of an oscillator reading one.
inline bool table_is_periodic(int table) { return table >= 0 && table <= 26; }

// Interpolated read at a phase 0 <= phase <= 128 (table points). A phase of exactly 128 reads
// the guard entry; the interpolation never touches the point after it, and a phase outside the
// table (only from values far out of range) reads an end point instead of foreign memory.
inline float read_table(const float* table, float phase) {
  // Branch-free clamps (a NaN fails both comparisons and reads point 0); at 128.0 the point
  // below is weighted 0, so the guard entry is read without touching anything past it.
  phase = phase > 0.0f ? phase : 0.0f;
  phase = phase < static_cast<float>(kTablePoints) ? phase : static_cast<float>(kTablePoints);
  int i = static_cast<int>(phase);
  i = i < kTablePoints - 1 ? i : kTablePoints - 1;
  const float f = phase - static_cast<float>(i);
  return f * table[i + 1] + (1.0f - f) * table[i];
}

}  // namespace zorbel
