// Mixer: track gains, stereoize on the left sum, master volume and the output clamp.
#include "engine/mixer.h"

#include <algorithm>
#include <cstring>

namespace zorbel {

MixBuses buses;

void clear_buses() { std::memset(&buses, 0, sizeof buses); }

void output_block(float* out) {
  const int tracks = song.track_count;
  // The editable settings are read once per block: an edit takes effect at the next block.
  float gain[MAX_TRACKS];
  float stereo[MAX_TRACKS];
  for (int t = 0; t < tracks; ++t) {
    gain[t] = transport.loop_active_gain[t] * shared_load(song.track_vol[t]);
    stereo[t] = shared_load(song.stereoize[t]);
  }
  const float master = shared_load(song.master_vol);
  // Each frame's sums run over the tracks in track order from 0, as always; running them frame
  // by frame inside each track lets the frames go side by side.
  const int cursor = buses.record_cursor;
  const int room = cursor < kBufferFrames ? kBufferFrames - cursor : 0;
  const int recorded = room < kBlockFrames ? room : kBlockFrames;
  const bool stems = buses.stems_on;
  float a[kBlockFrames];  // right
  float b[kBlockFrames];  // left
  for (int i = 0; i < kBlockFrames; ++i) a[i] = b[i] = 0.0f;
  for (int t = 0; t < tracks; ++t) {
    const float* right = buses.right[t];
    const float* left = buses.left[t];
    const float g = gain[t], s = stereo[t];
    for (int i = 0; i < kBlockFrames; ++i) {
      a[i] += right[i] * g;
      b[i] += left[i] * g * s;
    }
    if (stems) {
      // The same operations as the mix below, so the last track's entry is the mix before its
      // clamp; a stem is the difference of two neighbouring entries.
      for (int i = 0; i < recorded; ++i) {
        buses.stem_right[t][cursor + i] = a[i] / kMixScale * master;
        buses.stem_left[t][cursor + i] = b[i] / kMixScale * master;
      }
    }
  }
  for (int i = 0; i < kBlockFrames; ++i) {
    a[i] = std::clamp(a[i] / kMixScale * master, -kClip, kClip);
    b[i] = std::clamp(b[i] / kMixScale * master, -kClip, kClip);
  }
  // The device frames first, then the record copy: the offline render passes the record
  // buffer itself as `out`, and the record copy must be what stays.
  for (int i = 0; i < kBlockFrames; ++i) {
    out[2 * i] = b[i];
    out[2 * i + 1] = a[i];
  }
  for (int i = 0; i < recorded; ++i) {
    buses.record_right[cursor + i] = a[i];
    buses.record_left[cursor + i] = b[i];
  }
  buses.record_cursor = cursor + recorded;
}

}  // namespace zorbel
