// The voice output module (kind 16): DADSR every 32 frames, EXP every 16, then volume and pan.
#include "synth/voice_output.h"

#include <cstring>

#include "synth/float4.h"
#include "synth/module_graph.h"

namespace zorbel {

using enum ParamClass;

namespace {

VoiceOutput pool[kPoolSize];

constexpr uint32_t kControlPeriod = 32;       // frames per DADSR update
constexpr int32_t kExpPeriod = 16;            // frames per EXP update
constexpr float kPeriodSeconds = 0.00072562357f;  // 32 / 44100
// Counter values that make the next frame act at once.
constexpr uint32_t kControlNow = 32767;
constexpr uint32_t kControlIdle = 0xfffffffeu;  // -2: far above 32 until a step starts the voice
constexpr int32_t kExpUpdateNow = 32767;

VoiceOutput& as_voice(ModuleBase* m) { return *static_cast<VoiceOutput*>(m); }

ModuleBase* pool_slot(int index) { return &pool[index]; }

void init(ModuleBase* m) {
  VoiceOutput& v = as_voice(m);
  v.envtype = 1;
  v.delay = 0;
  v.attack = 1.0f;
  v.decay = 1.0f;
  v.decaymin = 0.0f;
  v.sustain = 0;
  v.release = 1.0f;
  v.vol = 0.0f;
  v.pan = 0.5f;
  v.exp_delay = 0;
  v.expmult = 0.997f;
  v.exp_pan = 0.5f;
  v.attack_inc = 0.0f;
  v.decay_dec = 0.0001f;
  v.release_dec = 1.0f;
  v.volume = 0.0f;
  v.exp_delay_frames = 0;
  v.exp_volume = 0.0f;
  voice_silence(v);  // a new voice is silent: released, level 0, counters idle
  v.pan_rest = 0.5f;
  v.exp_pan_rest = 0.5f;
}

void derive(ModuleBase* m) {
  VoiceOutput& v = as_voice(m);
  if (v.envtype == 0) {
    if (v.attack == 0.0f) v.attack = 1.0f;
    if (v.decay == 0.0f) v.decay = 1.0f;
    if (v.release == 0.0f) v.release = 1.0f;
    v.attack_inc = (1.0f / v.attack) * kPeriodSeconds;
    v.decay_dec = (1.0f - v.decaymin) * (1.0f / v.decay) * kPeriodSeconds;
    v.release_dec = v.decaymin == 0.0f ? 1.0f : (1.0f / v.release) * kPeriodSeconds * v.decaymin;
  }
  v.pan_rest = 1.0f - v.pan;
  v.exp_pan_rest = 1.0f - v.exp_pan;
  v.exp_delay_frames = v.exp_delay * 32;
}

void reset(ModuleBase* m) { voice_silence(as_voice(m)); }

int bind(ModuleBase* m, ParamDest* dests) {
  VoiceOutput& v = as_voice(m);
  const ParamDest fields[kVoiceParamCount] = {&v.envtype, &v.delay, &v.attack,    &v.decay,  &v.decaymin,
                                          &v.sustain, &v.release, &v.vol,     &v.pan,    &v.exp_delay,
                                          &v.expmult, &v.vol,     &v.exp_pan};
  for (int q = 0; q < kVoiceParamCount; ++q) dests[q] = fields[q];
  return kVoiceParamCount;
}

// One DADSR control period: advance the stage. Returns false while the delay runs (silence).
bool dadsr_update(VoiceOutput& v) {
  switch (v.stage) {
    case kStageDelay:
      if (v.delay < ++v.delay_counter) {
        v.stage = kStageAttack;
        engine_restart(v.synth);
      }
      return false;
    case kStageAttack:
      v.level += v.attack_inc;
      if (v.level >= 1.0f) {
        v.level = 1.0f;
        v.stage = kStageDecay;
      }
      return true;
    case kStageDecay:
      v.level -= v.decay_dec;
      if (v.level <= v.decaymin) {
        v.level = v.decaymin;
        v.stage = kStageSustain;
      }
      return true;
    case kStageSustain:
      if (v.sustain <= ++v.sustain_counter) v.stage = kStageRelease;
      return true;
    case kStageRelease:
      v.level -= v.release_dec;
      if (v.level < 0.0f) v.level = 0.0f;
      return true;
    default:
      return false;
  }
}

// Frames from..to at one level: out = in * level * volume, panned, four frames at a time.
// Inlined into both envelopes' loops, which call it a few times a block.
[[gnu::always_inline]] inline void level_stretch(const float* buf, float* right, float* left,
                                                 int from, int to, float level, float volume,
                                                 float pan, float pan_rest) {
  const Float4 level4 = splat4(level);
  const Float4 volume4 = splat4(volume);
  const Float4 pan4 = splat4(pan);
  const Float4 pan_rest4 = splat4(pan_rest);
  int i = from;
  for (; i + 4 <= to; i += 4) {
    const Float4 o = mul4(mul4(load4(buf + i), level4), volume4);
    store4(right + i, mul4(o, pan4));
    store4(left + i, mul4(o, pan_rest4));
  }
  for (; i < to; ++i) {
    const float o = buf[i] * level * volume;
    right[i] = o * pan;
    left[i] = o * pan_rest;
  }
}

// The level changes only at a control period, so the frames run in stretches at one level; the
// frame of a period's update is silent while the delay runs.
void render_dadsr(VoiceOutput& v, const float* buf, float* right, float* left) {
  const float pan = v.pan;
  const float pan_rest = v.pan_rest;
  const float volume = v.volume;
  uint32_t counter = v.control_counter;
  int i = 0;
  while (i < kBlockFrames) {
    int from = i;
    if (++counter >= kControlPeriod) {
      counter = 0;
      const float o = (dadsr_update(v) ? buf[i] * v.level : 0.0f) * volume;
      right[i] = o * pan;
      left[i] = o * pan_rest;
      from = i + 1;
    }
    // Frames after this one that only count until the next period (the counter wraps as
    // an unsigned count does).
    const uint32_t next = counter + 1;
    const int counting = next < kControlPeriod ? static_cast<int>(kControlPeriod - next) : 0;
    const int end = i + 1 + counting < kBlockFrames ? i + 1 + counting : kBlockFrames;
    counter += static_cast<uint32_t>(end - i - 1);
    level_stretch(buf, right, left, from, end, v.level, volume, pan, pan_rest);
    i = end;
  }
  v.control_counter = counter;
}

void render_exp(VoiceOutput& v, float* buf, float* right, float* left) {
  const float pan = v.exp_pan;
  const float pan_rest = v.exp_pan_rest;
  int i = 0;
  // The delay: silence; at its end the note starts now, from a clean buffer.
  for (; i < kBlockFrames && !(v.exp_frame_counter > v.exp_delay_frames); ++i) {
    if (v.exp_frame_counter == v.exp_delay_frames) {
      engine_restart(v.synth);
      std::memset(buf, 0, kBlockFrames * sizeof(float));
    }
    ++v.exp_frame_counter;
    right[i] = 0.0f;
    left[i] = 0.0f;
  }
  // Sounding: the level steps every 16 frames and holds between, so the frames run in
  // stretches at one level.
  const float expmult = v.expmult, volume = v.exp_volume;
  float level = v.exp_level;
  int32_t update = v.exp_update_counter;
  while (i < kBlockFrames) {
    if (++update >= kExpPeriod) {
      update = 0;
      level *= expmult;
      if (level > 1.0f) level = 1.0f;
    }
    // Frames after this one that only count until the next step.
    const int counting = update < kExpPeriod - 1 ? kExpPeriod - 1 - update : 0;
    const int end = i + 1 + counting < kBlockFrames ? i + 1 + counting : kBlockFrames;
    update += end - i - 1;
    level_stretch(buf, right, left, i, end, level, volume, pan, pan_rest);
    i = end;
  }
  v.exp_level = level;
  v.exp_update_counter = update;
}

}  // namespace

const ParamInfo kVoiceParams[kVoiceParamCount] = {
    {"ENVTYPE", kEnvelopeType, 1.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"ATTACK", kAttack, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAY", kDecay, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAYMIN", kDecayMin, 0.5f, 0.0001f, 0.999f, {0.0001f, 0.001f, 0.005f}},
    {"SUSTAIN", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"RELEASE", kRelease, 2.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"VOL", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"PAN", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"EXPMULT", kExpMult, 0.999f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"VOL", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"PAN", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

// The sample player starts in DADSR with a near-instant attack and a long, high sustain.
const ParamInfo kWavVoiceParams[kVoiceParamCount] = {
    {"ENVTYPE", kEnvelopeType, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"ATTACK", kFloat, 0.001f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAY", kFloat, 0.001f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"DECAYMIN", kFloat, 0.999f, 0.0001f, 0.999f, {0.0001f, 0.001f, 0.005f}},
    {"SUSTAIN", kHumanizedCount, 32000.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"RELEASE", kRelease, 1.0f, 0.0001f, 10.0f, {0.0001f, 0.01f, 0.05f}},
    {"VOL", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"PAN", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"DELAY", kHumanizedCount, 0.0f, 0.0f, 32768.0f, {1.0f, 10.0f, 100.0f}},
    {"EXPMULT", kExpMult, 0.999f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"VOL", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"PAN", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
};

const KindOps kVoiceKind = {
    kKindVoice, "VOICE", 0.0f, pool_slot, init, nullptr, nullptr, derive, reset, nullptr, bind,
    nullptr, kVoiceParams, kVoiceParamCount,
    KindRole::kControl, -1, -1,  // rendered by the graph itself, after the registry
};

void voice_start(VoiceOutput& v, float volume, bool legato) {
  v.volume = volume;
  v.exp_volume = volume;
  if (legato) return;
  v.exp_update_counter = kExpUpdateNow;
  v.exp_delay_frames = v.exp_delay * 32;
  v.exp_frame_counter = v.exp_delay_frames == 0 ? 1 : 0;
  v.exp_level = v.expmult < 1.0f ? 1.0f : v.expmult - 1.0f;
  v.level = 0.0f;
  v.control_counter = kControlNow;
  v.stage = kStageDelay;
  v.delay_counter = 0;
  v.sustain_counter = 0;
}

void voice_render(VoiceOutput& v, float* buf, float* right, float* left) {
  if (v.envtype == 0)
    render_dadsr(v, buf, right, left);
  else
    render_exp(v, buf, right, left);
}

void voice_silence(VoiceOutput& v) {
  v.delay_counter = 0;
  v.sustain_counter = 0;
  v.level = 0.0f;
  v.control_counter = kControlIdle;
  v.stage = kStageRelease;
  v.exp_frame_counter = 0;
  v.exp_level = 0.0f;
  v.exp_update_counter = kExpUpdateNow;
}

void start_voice(int track, float volume, bool legato) {
  if (track < 0 || track >= kMaxSynths) return;
  if (VoiceOutput* voice = static_cast<VoiceOutput*>(synth_modules[track].voice))
    voice_start(*voice, volume, legato);
}

void silence_voice(int track) {
  if (track < 0 || track >= kMaxSynths) return;
  if (VoiceOutput* voice = static_cast<VoiceOutput*>(synth_modules[track].voice)) voice_silence(*voice);
}

}  // namespace zorbel

