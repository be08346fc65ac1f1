// Frequency-mode switch: rewrites the pitch lanes, class and default of a track.
#include "engine/freq_mode.h"

#include "engine/song.h"

namespace zorbel {

void set_freq_mode(int track) {
  if (track < 0 || track >= MAX_TRACKS) return;
  int mode;
  if (song.freq_mode[track] == 0)
    mode = 1;
  else if (song.freq_mode[track] == 1)
    mode = 0;
  else
    return;
  const bool midi = mode == 1;
  for (int k = 0; k < song.param_count[track]; ++k) {
    ParamSlot& slot = song.param_slot[track][k];
    if (slot.cls != 1 && slot.cls != 2) continue;
    if (slot.lane)
      for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = midi ? kMidiPitchLowest : kAbsPitchLowest;
    slot.cls = midi ? 1 : 2;
    slot.def = midi ? kMidiPitchDefault : kAbsPitchDefault;
  }
  song.freq_mode[track] = mode;
}

}  // namespace zorbel
