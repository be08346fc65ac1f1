// Switching a track's pitch data between frequencies in Hz (ABS) and note numbers (MIDI).
#pragma once

#include "synth/pitch_limits.h"

namespace zorbel {

// Toggles the track between ABS and MIDI; a track without pitch (kFreqNone) is left alone.
// Every pitch value of every loop becomes the new mode's lowest value.
// The caller holds the audio: classes and lanes change together.
void set_freq_mode(int track);

}  // namespace zorbel
