// The two mix buses that the voices write, the record tap, and the mixer that sums them.
#pragma once

#include "engine/song.h"
#include "synth/capacity.h"

namespace zorbel {

constexpr int kBufferFrames = 1024;    // frames per device buffer
constexpr int kBlocksPerBuffer = kBufferFrames / kBlockFrames;
constexpr float kMixScale = 32780.0f;  // 16-bit synth scale to device scale
constexpr float kClip = 0.999f;

struct MixBuses {
  float right[MAX_TRACKS][kBlockFrames];  // each track's right output of the current block
  float left[MAX_TRACKS][kBlockFrames];
  float record_left[kBufferFrames];       // final left mix of the current device buffer
  // Final right mix; twice the size because the offline render passes it to the callback as
  // the device buffer. The record cursor uses only the first 1024.
  float record_right[2 * kBufferFrames];
  int record_cursor;                      // frames written this device buffer
  // Stem taps, filled only while stems_on (the offline render sets it): for each track, the
  // mix of tracks 0..t so far (after track volume, stereoize and master volume, before the
  // clamp) at every frame of the device buffer. Track t's stem is the difference between its
  // entry and the one before, so the stems add up to the mix exactly.
  bool stems_on;
  float stem_right[MAX_TRACKS][kBufferFrames];
  float stem_left[MAX_TRACKS][kBufferFrames];
};

extern MixBuses buses;

// Zeroes both buses and the record buffers.
void clear_buses();
// Mixes block frames 0..127 of the buses into 128 interleaved left/right frames at out and
// appends them to the record buffers.
void output_block(float* out);

}  // namespace zorbel
