// Tempo from clock pulses: the mean interval over the last beat's pulses.
#include "engine/midi_tempo_follower.h"

#include "engine/midi_message.h"

namespace zorbel {

void TempoFollower::pulse(double seconds) {
  if (count_ > 0) {
    const double gap = seconds - times_[newest_];
    // A pulse from the past or after a long silence begins a new measure.
    if (!(gap > 0.0) || gap > kGapSeconds) count_ = 0;
  }
  newest_ = (newest_ + 1) % (kWindow + 1);
  times_[newest_] = seconds;
  if (count_ < kWindow + 1) ++count_;
  if (count_ < 2) return;
  const int oldest = (newest_ + kWindow + 1 - (count_ - 1)) % (kWindow + 1);
  const double interval = (seconds - times_[oldest]) / (count_ - 1);
  bpm_ = 60.0 / (interval * kMidiPulsesPerBeat);
}

}  // namespace zorbel
