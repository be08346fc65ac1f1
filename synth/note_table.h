// MIDI note numbers to frequencies.
#pragma once

namespace zorbel {

// Frequency in Hz of note n (truncated, clamped to 0..127): note 69 is 440 Hz.
float note_frequency(float note);

}  // namespace zorbel
