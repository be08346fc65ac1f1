// Function pointers through which the engine core reaches the synthesis graph and the mixer.
#pragma once

#include <cstdint>

namespace zorbel {

// Every hook may be null: the engine then behaves as with a song of no synths.
struct EngineHooks {
  // Per-block engine step: advance LFOs and pitch glides by one block, then refresh every
  // module's derived coefficients.
  void (*block_step)() = nullptr;
  // Re-prime every kind list cursor and the bus write cursors before a render.
  void (*start_block)() = nullptr;
  // Run every DSP module for 128 frames and write each voice into the buses.
  void (*render_block)() = nullptr;
  // The mixer: 128 interleaved stereo frames at out (256 floats).
  void (*output_block)(float* out) = nullptr;
  // Refresh the shared noise table, once per block.
  void (*refresh_noise)() = nullptr;
  // A triggered step of a track: write the step values into the synth, then start its voice.
  // step_values holds the track's param_count values of the step.
  void (*apply_step_params)(int track, const float* step_values) = nullptr;
  void (*voice_start)(int track, float volume, bool legato) = nullptr;
  // Recompute every module's derived fields (after a step event that triggered something).
  void (*update_derived)() = nullptr;
  // Put the running state of every module back to its note-off values.
  void (*reset_modules)() = nullptr;
  // Free every synth module and mark every pool slot free.
  void (*free_all_modules)() = nullptr;
  // Draw a random percentage 0..100 for a step's trigger; advances the shared read position.
  float (*random_percent)() = nullptr;
};

extern EngineHooks hooks;

}  // namespace zorbel
