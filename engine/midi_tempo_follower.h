// The tempo of an incoming MIDI clock, smoothed over about one beat of pulses.
#pragma once

namespace zorbel {

class TempoFollower {
 public:
  // Pulses further apart than this (s) start the measure afresh: the clock had stopped.
  static constexpr double kGapSeconds = 0.5;
  static constexpr int kWindow = 24;  // intervals averaged: one beat

  // A pulse at time seconds (the port's clock, rising).
  void pulse(double seconds);
  // Forgets the pulses (Start, Stop), keeping the last tempo.
  void restart() { count_ = 0; }
  // The tempo in BPM from the pulses so far, or 0 before two pulses ever arrived.
  double bpm() const { return bpm_; }

 private:
  double times_[kWindow + 1] = {};
  int count_ = 0;  // pulses held, up to kWindow + 1
  int newest_ = 0;
  double bpm_ = 0.0;
};

}  // namespace zorbel
