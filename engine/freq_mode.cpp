// Frequency-mode switch: rewrites the pitch lanes, class and default of a track.
#include "engine/freq_mode.h"

#include "engine/song.h"

namespace zorbel {

void set_freq_mode(int track) {
  if (track < 0 || track >= MAX_TRACKS) return;
  FreqMode mode;
  if (song.freq_mode[track] == kFreqAbs)
    mode = kFreqMidi;
  else if (song.freq_mode[track] == kFreqMidi)
    mode = kFreqAbs;
  else
    return;
  const bool midi = mode == kFreqMidi;
  for (int k = 0; k < song.param_count[track]; ++k) {
    ParamSlot& slot = song.param_slot[track][k];
    if (!is_pitch_class(slot.cls)) continue;
    if (slot.lane)
      for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = midi ? kMidiPitchLowest : kAbsPitchLowest;
    slot.cls = midi ? ParamClass::kNotePitch : ParamClass::kHzPitch;
    slot.def = midi ? kMidiPitchDefault : kAbsPitchDefault;
  }
  song.freq_mode[track] = mode;
}

}  // namespace zorbel
