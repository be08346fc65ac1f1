// The MIDI clock's pulse train: free running at a third of a step, pulled onto unswung steps.
#include "engine/midi_pulse_scheduler.h"

#include <cmath>

#include "engine/midi_message.h"

namespace zorbel {

void PulseScheduler::anchor(double frame) {
  next_ = frame > 0.0 ? frame : 0.0;
  index_ = 0;
  anchored_ = true;
}

int PulseScheduler::block(int block_frames, double step_length, double next_step,
                          bool steps_on_grid, double* out, int most) {
  if (!anchored_) return 0;
  const double pulse = step_length / kMidiPulsesPerStep;
  if (steps_on_grid && next_step >= 0.0 && next_step < block_frames) {
    // The pulse that begins the step is put on it: either the one still to come, or, when the
    // train ran a little ahead, the one after it moves so the spacing from the step is right.
    if (index_ == 0 && std::fabs(next_ - next_step) < pulse / 2)
      next_ = next_step;
    else if (index_ == 1 && std::fabs(next_ - pulse - next_step) < pulse / 2)
      next_ = next_step + pulse;
  }
  int count = 0;
  while (next_ < block_frames) {
    if (count < most) out[count++] = next_ < 0.0 ? 0.0 : next_;
    next_ += pulse;
    index_ = (index_ + 1) % kMidiPulsesPerStep;
  }
  next_ -= block_frames;
  return count;
}

}  // namespace zorbel
