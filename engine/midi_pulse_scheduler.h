// Where the MIDI clock's pulses fall: three a step, on the frames of the blocks being rendered.
#pragma once

namespace zorbel {

// A pulse train in frames, block by block. Pulses come at a third of the mean length of an
// unswung step, so swing never moves them; where steps are not swung the train is pulled onto
// each step as it falls, so a tempo change cannot leave it behind the sequencer.
class PulseScheduler {
 public:
  // The next pulse falls at frame (from the start of the next block; 0 or more) and begins a step.
  void anchor(double frame);
  void stop() { anchored_ = false; }
  bool anchored() const { return anchored_; }

  // One block of block_frames frames. step_length: the mean length of an unswung step in frames
  // (more than 0). next_step: the frame (from the block's start) where the next step falls.
  // steps_on_grid: the steps are not swung, so they are the pulse grid. Writes the frames of
  // the block's pulses (0 <= frame < block_frames, rising) to out, at most most of them, and
  // returns how many.
  int block(int block_frames, double step_length, double next_step, bool steps_on_grid,
            double* out, int most);

 private:
  double next_ = 0.0;  // frame of the next pulse, from the start of the coming block
  int index_ = 0;      // which pulse of its step the next one is, 0..2
  bool anchored_ = false;
};

}  // namespace zorbel
