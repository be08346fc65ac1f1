// What the synthesis reads of the sequencer while it renders, through functions the engine
// installs at start-up. Every entry may be null: a synth then plays as at 120 BPM, running, with
// no filter tracking, and a fatal error stops nothing else.
#pragma once

namespace zorbel {

struct SvfEffect;

struct SequencerLink {
  // The tempo in BPM now (a sample player's BPM sync).
  float (*tempo)() = nullptr;
  // Whether the transport is stopped (a sample player is silent then).
  bool (*stopped)() = nullptr;
  // Frequency tracking of an SVF at the current step, in its derived update.
  void (*track_filter)(SvfEffect& e) = nullptr;
  // Stops the audio output before a fatal error ends the process (main thread only).
  void (*stop_output)() = nullptr;
};

extern SequencerLink sequencer_link;

}  // namespace zorbel
