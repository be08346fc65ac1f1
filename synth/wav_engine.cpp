// The WAV engine: plays a loaded 8- or 16-bit sample between two loop points at a speed.
#include "synth/wav_engine.h"

#include <cmath>

#include "synth/module_graph.h"
#include "synth/sequencer_link.h"

namespace zorbel {

using enum ParamClass;

namespace {

// Silence played until a sample is loaded: the placeholder's frames, all zero.
const int16_t kSilence[kPlaceholderFrames] = {};

WavEngine pool[kPoolSize];

// What playback reads: the owned sample or the placeholder.
struct SampleView {
  const int16_t* data16;
  const uint8_t* data8;
  int32_t length;
  float rate_factor;
};

SampleView view_of(const WavEngine& e) {
  const SampleData* s = e.sample;
  if (s == nullptr || s->length <= 0 || (s->data16 == nullptr && s->data8 == nullptr)) {
    return {kSilence, nullptr, kPlaceholderFrames, 1.0f};
  }
  const float rate = s->rate_factor > 0.0f && std::isfinite(s->rate_factor) ? s->rate_factor : 1.0f;
  if (s->data16 != nullptr) return {s->data16, nullptr, s->length, rate};
  return {nullptr, s->data8, s->length, rate};
}

ModuleBase* wav_pool_slot(int index) { return &pool[index]; }

void wav_derive(ModuleBase* m) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  const SampleView v = view_of(e);
  double sync = 1.0;
  if (e.bpmsync != 0) {
    // Samples shorter than the 22-frame lead-in still play forward.
    const double frames = v.length > 23 ? v.length - 22.0 : 1.0;
    const double steps = e.bpmsteps >= 1 ? e.bpmsteps : 1.0;
    const float bpm = sequencer_link.tempo ? sequencer_link.tempo() : 120.0f;
    const double tempo = bpm > 0.0f ? bpm : 120.0;
    sync = ((1.0 / v.rate_factor) * frames / 44100.0) / (steps * (60.0 / tempo * 4.0 / 32.0));
  }
  e.speed = e.rdspeed * sync * v.rate_factor;
}

void wav_restart(ModuleBase* m) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  const double length = view_of(e).length;
  e.position = e.rdspeed > 0.0f ? length * e.startloc : length * e.endloc + e.rdspeed;
  e.ended = false;
}

void wav_reset(ModuleBase* m) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  e.position = view_of(e).length * static_cast<double>(e.startloc);
  e.ended = true;  // a stopped player stays quiet until its next note
}

void wav_release(ModuleBase* m) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  free_sample_data(e.sample);
  e.sample = nullptr;
}

void wav_init(ModuleBase* m) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  // A slot is only reused after its release, but a sample left behind is freed, not leaked.
  wav_release(m);
  e.filename = 0;
  e.bpmsync = 0;
  e.bpmsteps = 64;
  e.rdspeed = 1.0f;
  e.expmult = 1.0f;
  e.endoffset = 1.0f;
  e.startloc = 0.0f;
  e.endloc = 1.0f;
  e.playtype = 0;
  e.position = kPlaceholderStart;
  e.ended = false;
  wav_derive(m);
}

void wav_render(ModuleBase* m, float* buf) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  if (sequencer_link.stopped && sequencer_link.stopped()) {
    for (int i = 0; i < kBlockFrames; ++i) buf[i] = 0.0f;
    return;
  }
  const SampleView v = view_of(e);
  const double length = v.length;
  const double start = length * e.startloc;
  const double end = length * e.endloc;
  const bool silent_range = e.endloc <= e.startloc;
  const bool oneshot = e.playtype == 0;
  const bool forward = e.rdspeed > 0.0f;
  const bool backward = e.rdspeed < 0.0f;
  const double speed = e.speed;
  double position = e.position;
  bool ended = e.ended;
  for (int i = 0; i < kBlockFrames; ++i) {
    float out = 0.0f;
    // Positions outside the data (a short sample, loop points beyond its end) read silence.
    if (!(ended && oneshot) && !silent_range && position >= 0.0 && position < length) {
      const int32_t k = static_cast<int32_t>(position);
      const int32_t j = k + 1 < v.length ? k + 1 : 0;
      const float f = static_cast<float>(position - k);
      float a, b;
      if (v.data16 != nullptr) {
        a = v.data16[k];
        b = v.data16[j];
      } else {
        a = v.data8[k] * 256.0f - 32768.0f;
        b = v.data8[j] * 256.0f - 32768.0f;
      }
      out = (1.0f - f) * a + f * b;
    }
    buf[i] = out;
    if (!(ended && oneshot) && !silent_range) {
      // The play range is [start, end): reaching the end frame itself wraps, so a loop is
      // seamless and never reads the frame after the data. Both wraps keep the overshoot.
      position += speed;
      if (forward && position >= end) {
        position = position - end + start;
        ended = true;
        if (position > length) position = start;
      } else if (backward && position < start) {
        position = position - start + end;
        ended = true;
        if (position >= end) position = end + speed;
      }
    }
  }
  e.position = position;
  e.ended = ended;
}

int wav_bind(ModuleBase* m, ParamDest* dests) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  const ParamDest list[] = {&e.filename, &e.bpmsync,  &e.bpmsteps, &e.rdspeed,
                        &e.expmult,  &e.endoffset, &e.startloc, &e.endloc,
                        &e.playtype, nullptr,      nullptr};
  for (int q = 0; q < 11; ++q) dests[q] = list[q];
  return 11;
}

float* wav_pitch_field(ModuleBase* m) { return &static_cast<WavEngine*>(m)->rdspeed; }

// FILENAME's true upper limit is the sample list's count - 1 (at most 999), set by the editor.
const ParamInfo kWavParams[] = {
    {"FILENAME", kSampleNumber, 0.0f, 0.0f, 999.0f, {1.0f, 1.0f, 1.0f}},
    {"BPMSYNC", kOnOff, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"BPMSTEPS", kHoldCount, 64.0f, 1.0f, 2000.0f, {1.0f, 4.0f, 8.0f}},
    {"RDSPEED", kSpeed, 1.0f, -20.0f, 20.0f, {0.001f, 0.01f, 0.1f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"STARTLOC", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"ENDLOC", kFloat, 1.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"PLAYTYPE", kPlayType, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"WARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
};

WavEngine* wav_of_synth(int synth) {
  if (synth < 0 || synth >= kMaxSynths) return nullptr;
  const SynthModules& mods = synth_modules[synth];
  if (mods.engine_kind != kKindWav || mods.generator == nullptr) return nullptr;
  return static_cast<WavEngine*>(mods.generator);
}

}  // namespace

const KindOps kWavKind = {
    kKindWav,   "WAV",       5.4f,       wav_pool_slot, wav_init,
    wav_render, wav_restart, wav_derive, wav_reset,     wav_release,
    wav_bind,   wav_pitch_field, kWavParams, 11,
    KindRole::kGenerator, 30, 7,  // role, render rank, slot in the type codes
};

void free_sample_data(SampleData* sample) {
  if (sample == nullptr) return;
  delete[] sample->data8;
  delete[] sample->data16;
  delete sample;
}

void wav_set_instance_sample(ModuleBase* m, SampleData* sample) {
  WavEngine& e = *static_cast<WavEngine*>(m);
  if (e.sample == sample) return;
  free_sample_data(e.sample);
  e.sample = sample;
  wav_derive(m);
}

const SampleData* wav_instance_sample(const ModuleBase* m) {
  return static_cast<const WavEngine*>(m)->sample;
}

void wav_set_sample(int synth, SampleData* sample) {
  WavEngine* e = wav_of_synth(synth);
  if (e == nullptr) {
    free_sample_data(sample);
    return;
  }
  wav_set_instance_sample(e, sample);
}

const SampleData* wav_sample(int synth) {
  const WavEngine* e = wav_of_synth(synth);
  return e == nullptr ? nullptr : e->sample;
}

}  // namespace zorbel
