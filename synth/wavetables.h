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
// Tables 0..26 are periodic: a note restart resets the phase of an oscillator reading one.
inline bool table_is_periodic(int table) { return table >= 0 && table <= 26; }

// Interpolated read at a phase 0 <= phase <= 128 (table points).
inline float read_table(const float* table, float phase) {
  const int i = static_cast<int>(phase);
  const float f = phase - static_cast<float>(i);
  return f * table[i + 1] + (1.0f - f) * table[i];
}

}  // namespace zorbel
