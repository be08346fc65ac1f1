// The LFO module: a slow table oscillator that swings a pitch value around the step's pitch.
#include "synth/lfo.h"

#include <cmath>

#include "synth/module_graph.h"
#include "synth/param_value.h"
#include "synth/random_table.h"
#include "synth/wavetables.h"

namespace zorbel {

namespace {

constexpr float kCycle = 44100.0f;              // phase units per cycle
constexpr float kPhaseToPoints = 344.53125f;    // 44100 / 128

}  // namespace

void lfo_init(Lfo& lfo, ParamDest target) {
  lfo.divider = 0;
  lfo.counter = 0;
  lfo.increment = 0.0f;
  lfo.phase = 0.0f;
  lfo.table = wavetables[kSine];
  lfo.depth = 0.0f;
  lfo.centre = 0.0f;
  lfo.last_output = 0.0f;
  lfo.target = target;
  lfo.target_glided = false;
}

void lfo_block(Lfo& lfo) {
  float x = read_table(lfo.table, lfo.phase / kPhaseToPoints) * lfo.depth / 32768.0f;
  // An overflowing depth would otherwise feed itself through the next amount drawn from it.
  if (!std::isfinite(x)) x = 0.0f;
  if (lfo.target.kind == ParamDest::Kind::kInt16) {
    if (!lfo.target_glided)
      *lfo.target.i16 = static_cast<int16_t>(truncate_to_int32(x) + truncate_to_int32(lfo.centre));
  } else if (lfo.target.kind == ParamDest::Kind::kFloat) {
    if (!lfo.target_glided) *lfo.target.f = x + lfo.centre;
    lfo.last_output = x + lfo.centre;
  }
  lfo.counter = static_cast<int16_t>(lfo.counter + 1);
  if (lfo.divider <= lfo.counter) {
    lfo.counter = 0;
    float phase = lfo.phase + lfo.increment;
    if (phase > kCycle) phase -= kCycle;
    if (phase < 0.0f) phase += kCycle;
    // A rate far beyond the editor's range (or not a number) must still leave a readable phase.
    if (!(phase >= 0.0f && phase <= kCycle)) {
      phase = std::fmod(phase, kCycle);
      if (phase < 0.0f) phase += kCycle;
      if (!(phase >= 0.0f && phase <= kCycle)) phase = 0.0f;
    }
    lfo.phase = phase;
  }
}

void lfo_set_amount(Lfo& lfo, float w, float scale) {
  lfo.increment = (random_signed() * 40.0f + 80.0f) * w;
  float t = 0.0f;
  if (lfo.target.kind == ParamDest::Kind::kInt16)
    t = 0.1f * static_cast<float>(*lfo.target.i16);
  else if (lfo.target.kind == ParamDest::Kind::kFloat)
    t = *lfo.target.f * scale;
  lfo.depth = random_signed() * t * w;
  if (!std::isfinite(lfo.depth)) lfo.depth = 0.0f;
}

void lfo_reset(Lfo& lfo) {
  lfo.phase = 0.0f;
  lfo.counter = 0;
}

void lfo_set_last_output(int synth, float value) {
  if (synth < 0 || synth >= kMaxSynths) return;
  if (Lfo* lfo = static_cast<Lfo*>(synth_modules[synth].lfo)) lfo->last_output = value;
}

}  // namespace zorbel
