// Applying a triggered step to a synth: the pitch glide, each parameter by its class, the restart.
#include <cmath>

#include "synth/lfo.h"
#include "synth/module_graph.h"
#include "synth/note_table.h"
#include "synth/param_value.h"
#include "synth/pitch_glide.h"
#include "synth/random_table.h"
#include "synth/wavetables.h"

namespace zorbel {

namespace {

// Depth of a pitch LFO as a fraction of the pitch: the sample player's speed swings wider.
constexpr float kLfoDepthScale = 0.1f;
constexpr float kWavLfoDepthScale = 0.4f;
constexpr float kHumanizeRange = 1000.0f;  // a humanize of 1.0 adds up to 1000 periods

bool step_is_legato(int track) {
  const uint16_t seqlen = shared_load(song.seqlen);
  const int steps = seqlen > 0 ? seqlen : 1;
  const int pos = transport.step_pos % steps;
  return (shared_load(song.legato_steps[transport.current_loop][track]) >> pos) & 1u;
}

void run_glide_step(int track, const SynthModules& sm, const float* values, bool legato) {
  const int count = song.param_count[track];
  if (sm.pitch_param < 0 || sm.expmult_param < 0 || sm.endoffset_param < 0 ||
      sm.pitch_param >= count || sm.expmult_param >= count || sm.endoffset_param >= count)
    return;
  float pitch = values[sm.pitch_param];
  if (sm.pitch_is_note && song.freq_mode[track] != kFreqAbs) pitch = note_frequency(pitch);
  const float ratio = values[sm.expmult_param];
  const float end = pitch * values[sm.endoffset_param];
  if (!std::isfinite(ratio) || !std::isfinite(end)) return;
  glide_step(*static_cast<PitchGlide*>(sm.glide), ratio, end, legato);
}

void write_value(int track, const SynthModules& sm, const ParamSlot& slot, float v) {
  Lfo* lfo = static_cast<Lfo*>(sm.lfo);
  void* dest = slot.dest;
  switch (slot.cls) {
    case 0: case 12: case 13: case 15: case 16: case 17: case 18: case 19:
      if (dest) *static_cast<float*>(dest) = v;
      break;
    case 2: case 5:
      if (dest) *static_cast<float*>(dest) = v;
      if (lfo) lfo->centre = v;
      break;
    case 1: {
      const float hz = note_frequency(v);
      if (dest) *static_cast<float*>(dest) = hz;
      if (lfo) lfo->centre = hz;
      break;
    }
    case 3: case 4: case 6: case 7: case 9: case 10: case 11:
    case 20: case 21: case 22: case 23: case 24: case 25: case 27: case 30:
      if (dest) *static_cast<int16_t*>(dest) = truncate_to_16(v);
      break;
    case 8:
      if (dest) *static_cast<const float**>(dest) = wavetable_row(v);
      break;
    case 29:
      if (lfo) lfo->table = wavetable_row(v);
      break;
    case 14: {
      const int32_t spread = truncate_to_int32(random_unit() * shared_load(song.humanize[track]) * kHumanizeRange);
      const int64_t sum = static_cast<int64_t>(truncate_to_int32(v)) + spread;
      // A 16-bit value in a 32-bit field: the count reads back as 0..65535.
      if (dest) *static_cast<int32_t*>(dest) = static_cast<uint16_t>(static_cast<uint64_t>(sum));
      break;
    }
    case 26:
      if (dest) *static_cast<float*>(dest) = static_cast<float>(truncate_to_u16(v));
      break;
    case 28:
      if (lfo) lfo_set_amount(*lfo, v, sm.engine_kind == kKindWav ? kWavLfoDepthScale : kLfoDepthScale);
      break;
    default:
      break;
  }
}

}  // namespace

void apply_step_params(int track, const float* step_values) {
  if (track < 0 || track >= MAX_TRACKS) return;
  const SynthModules& sm = synth_modules[track];
  if (!sm.generator) return;
  const bool legato = step_is_legato(track);
  if (sm.glide) run_glide_step(track, sm, step_values, legato);
  const int count = song.param_count[track];
  for (int k = 0; k < count && k < PARAM_SLOTS; ++k) {
    const float v = step_values[k];
    // A value that is not a finite number (a damaged lane) leaves the field as it was.
    if (!std::isfinite(v)) continue;
    write_value(track, sm, song.param_slot[track][k], v);
  }
  if (!legato) engine_restart(track);
}

}  // namespace zorbel
