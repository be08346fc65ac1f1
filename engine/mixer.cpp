// Mixer: track gains, stereoize on the left sum, master volume and the output clamp.
#include "engine/mixer.h"

#include <algorithm>
#include <cstring>

namespace zorbel {

MixBuses buses;

void clear_buses() { std::memset(&buses, 0, sizeof buses); }

void output_block(float* out) {
  const int tracks = song.track_count;
  for (int i = 0; i < kBlockFrames; ++i) {
    float a = 0.0f;  // right
    float b = 0.0f;  // left
    for (int t = 0; t < tracks; ++t) {
      const float gain = transport.loop_active_gain[t] * song.track_vol[t];
      a += buses.right[t][i] * gain;
      b += buses.left[t][i] * gain * song.stereoize[t];
    }
    a = std::clamp(a / kMixScale * song.master_vol, -kClip, kClip);
    b = std::clamp(b / kMixScale * song.master_vol, -kClip, kClip);
    out[2 * i] = b;
    out[2 * i + 1] = a;
    const int cursor = buses.record_cursor;
    if (cursor < kBufferFrames) {
      buses.record_right[cursor] = a;
      buses.record_left[cursor] = b;
      buses.record_cursor = cursor + 1;
    }
  }
}

}  // namespace zorbel
