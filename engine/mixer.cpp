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
  const bool stems = buses.stems_on;
  for (int i = 0; i < kBlockFrames; ++i) {
    float a = 0.0f;  // right
    float b = 0.0f;  // left
    const int cursor = buses.record_cursor;
    for (int t = 0; t < tracks; ++t) {
      a += buses.right[t][i] * gain[t];
      b += buses.left[t][i] * gain[t] * stereo[t];
      if (stems && cursor < kBufferFrames) {
        // The same operations as the mix below, so the last entry is the mix before its clamp.
        buses.stem_right[t][cursor] = a / kMixScale * master;
        buses.stem_left[t][cursor] = b / kMixScale * master;
      }
    }
    a = std::clamp(a / kMixScale * master, -kClip, kClip);
    b = std::clamp(b / kMixScale * master, -kClip, kClip);
    out[2 * i] = b;
    out[2 * i + 1] = a;
    if (cursor < kBufferFrames) {
      buses.record_right[cursor] = a;
      buses.record_left[cursor] = b;
      buses.record_cursor = cursor + 1;
    }
  }
}

}  // namespace zorbel
