// The sample player engine: its kind ops and the hand-over of loaded sample data.
#pragma once

#include "synth/module.h"
#include "synth/sample_data.h"

namespace zorbel {

extern const KindOps kWavKind;

// Frames of the silent placeholder an instance plays until a sample is loaded, and the position
// (frames) playback starts from on it.
constexpr int kPlaceholderFrames = 200;
constexpr double kPlaceholderStart = 22.0;

// Kind 0. Fields in parameter order (WARP and WARPWT act on the LFO and have no field).
struct WavEngine : ModuleBase {
  int16_t filename;   // the sample's number in the sample folder's list
  int16_t bpmsync;    // non-zero: the speed is set so the sample lasts BPMSTEPS steps
  int16_t bpmsteps;
  float rdspeed;      // playback speed; negative plays backward. The pitch glide's target
  float expmult;
  float endoffset;
  float startloc;     // loop start as a share of the sample length, 0..1
  float endloc;       // loop end as a share of the sample length
  int16_t playtype;   // 0 "ONESHOT", 1 "LOOP"
  // Owned sample, or null for the silent placeholder.
  SampleData* sample;
  // Derived: frames advanced per output sample.
  double speed;
  // Running state.
  double position;    // frames into the sample
  bool ended;         // the play range has been passed at least once since the restart
};

// Hands a loaded sample to the WAV generator of `synth` (main thread, audio paused). The
// generator takes ownership: `sample` must come from `new SampleData`, its data8 / data16 from
// `new[]`. The previously held sample is freed; null returns the synth to the silent
// placeholder. Does nothing but free `sample` when the synth has no WAV generator.
void wav_set_sample(int synth, SampleData* sample);
// The sample synth `synth` plays, or null while it holds the placeholder or is no WAV synth.
const SampleData* wav_sample(int synth);
// The same two for an instance reached directly (tests, the graph).
void wav_set_instance_sample(ModuleBase* m, SampleData* sample);
const SampleData* wav_instance_sample(const ModuleBase* m);
// Frees a sample allocated as wav_set_sample expects.
void free_sample_data(SampleData* sample);

}  // namespace zorbel
