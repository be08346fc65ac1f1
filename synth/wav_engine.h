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
