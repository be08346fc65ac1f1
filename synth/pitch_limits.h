// The frequency limits every engine applies in its derived update.
#pragma once

namespace zorbel {

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
