// Loudness and peak of a rendered stereo signal: EBU R 128 integrated loudness through
// libebur128 and the sample peak of the 16-bit frames.
#pragma once

#include <cstdint>

namespace zorbel {

class LoudnessMeter {
 public:
  LoudnessMeter();
  ~LoudnessMeter();
  LoudnessMeter(const LoudnessMeter&) = delete;
  LoudnessMeter& operator=(const LoudnessMeter&) = delete;

  // Takes `frames` interleaved stereo 16-bit frames.
  void add(const int16_t* frames, long frames_count);
  // Integrated loudness in LUFS; -infinity for silence (or when the meter could not start).
  double integrated_lufs() const;
  // The largest sample magnitude, as a share of full scale (0..1).
  double peak() const { return peak_ / 32768.0; }

 private:
  void* state_;  // libebur128's state
  int peak_ = 0;
};

// A level as a share of full scale in dB (-infinity for 0).
double to_dbfs(double level);

}  // namespace zorbel
