// Pitch ranges and the frequency limits every engine applies in its derived update.
#pragma once

namespace zorbel {

// Pitch ranges: note numbers (a track in MIDI mode) and frequencies in Hz (ABS mode).
constexpr float kMidiPitchLowest = 0.0f;
constexpr float kMidiPitchHighest = 127.0f;
constexpr float kMidiPitchDefault = 52.0f;
constexpr float kAbsPitchLowest = 0.02f;
constexpr float kAbsPitchHighest = 22050.0f;
constexpr float kAbsPitchDefault = 200.0f;

// Frequency clamp shared by the engines' derived updates: 0..22050 Hz, NaN to 0.
inline float clamp_frequency(float hz) {
  if (!(hz >= 0.0f)) return 0.0f;
  return hz > 22050.0f ? 22050.0f : hz;
}

// An oscillator's frequency multiple, limited so that frequency x offset stays within 20000 Hz;
// negative or NaN offsets become 0.
inline float limit_offset(float hz, float offset) {
  if (!(offset >= 0.0f)) return 0.0f;
  if (hz * offset > 20000.0f) return 20000.0f / hz;
  return offset;
}

}  // namespace zorbel
