// Switching a track's pitch data between frequencies in Hz (ABS) and note numbers (MIDI).
#pragma once

namespace zorbel {

constexpr float kMidiPitchLowest = 0.0f;
constexpr float kMidiPitchHighest = 127.0f;
constexpr float kMidiPitchDefault = 52.0f;
constexpr float kAbsPitchLowest = 0.02f;
constexpr float kAbsPitchHighest = 22050.0f;
constexpr float kAbsPitchDefault = 200.0f;

// Toggles the track between ABS and MIDI; a track without pitch (kFreqNone) is left alone.
// Every pitch value of every loop becomes the new mode's lowest value.
// The caller holds the audio: classes and lanes change together.
void set_freq_mode(int track);

}  // namespace zorbel
