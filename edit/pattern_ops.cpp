// Pattern operations of the edit layer: clear, fill, shift and copy of steps, tracks and loops.
#include <cstring>
#include <new>

#include "engine/audio_stream.h"
#include "edit/edit.h"
#include "edit/edit_support.h"
#include "engine/freq_mode.h"
#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "synth/voice_output.h"
#include "synth/wav_engine.h"

namespace zorbel {

namespace {

// Positions in the voice block of the parameters COPY ENV leaves alone or copies without default.
constexpr int kVoiceEnvType = 0;
constexpr int kVoicePan = 8;
constexpr int kVoiceExpPan = 12;

bool valid_loop(int loop) { return loop >= 0 && loop < MAX_LOOPS; }
bool valid_track(int track) { return track >= 0 && track < song.track_count; }
bool valid_step(int step) { return step >= 0 && step < MAX_STEPS; }

uint64_t step_bit(int step) { return uint64_t{1} << step; }

// The 64 values of one parameter slot in loop; null when the slot has no lane.
float* slot_row(int track, int slot, int loop) {
  float* lane = song.param_slot[track][slot].lane;
  return lane ? lane + loop * MAX_STEPS : nullptr;
}

void set_legato_bit(uint64_t& word, int step, bool on) {
  if (on)
    word |= step_bit(step);
  else
    word &= ~step_bit(step);
}

// A track's parameter list split into its generator, effect and voice parts.
struct ParamGroups {
  int gen_count = 0;
  int fx_count = 0;
  bool valid = false;  // the three parts add up to the track's parameter count
};

ParamGroups param_groups(int track) {
  ParamGroups g;
  const int type = song.synth_type[track];
  const KindOps* gen = kind_ops(type_engine_kind(type));
  const int fx_kind = type_effect_kind(type);
  const KindOps* fx = fx_kind >= 0 ? kind_ops(fx_kind) : nullptr;
  if (!gen || (fx_kind >= 0 && !fx)) return g;
  g.gen_count = gen->param_count;
  g.fx_count = fx ? fx->param_count : 0;
  g.valid = g.gen_count + g.fx_count + kVoiceParamCount == song.param_count[track];
  return g;
}

bool has_freq_mode(int track) {
  const int mode = song.freq_mode[track];
  return (mode == 0 || mode == 1) && synth_modules[track].pitch_is_note &&
         synth_modules[track].pitch_param >= 0;
}

// Copies the 64 values of a slot in loop, and optionally its class and default.
void copy_slot(int loop, int source, int src_slot, int destination, int dst_slot, bool cls,
               bool def) {
  const float* from = slot_row(source, src_slot, loop);
  float* to = slot_row(destination, dst_slot, loop);
  if (from && to) std::memcpy(to, from, MAX_STEPS * sizeof(float));
  const ParamSlot& s = song.param_slot[source][src_slot];
  ParamSlot& d = song.param_slot[destination][dst_slot];
  if (cls) d.cls = s.cls;
  if (def) d.def = s.def;
}

// Triggers, volumes and the legato word of one track in one loop onto another track or loop.
void copy_steps(int from_loop, int from_track, int to_loop, int to_track) {
  std::memcpy(song.step_trig[to_loop][to_track], song.step_trig[from_loop][from_track], MAX_STEPS);
  std::memcpy(song.step_vol[to_loop][to_track], song.step_vol[from_loop][from_track],
              MAX_STEPS * sizeof(float));
  song.legato_steps[to_loop][to_track] = song.legato_steps[from_loop][from_track];
}

// Steps, legato and every parameter value of one track from one loop to another.
void copy_track_between_loops(int track, int source_loop, int destination_loop) {
  copy_steps(source_loop, track, destination_loop, track);
  for (int k = 0; k < song.param_count[track]; ++k) {
    const float* from = slot_row(track, k, source_loop);
    float* to = slot_row(track, k, destination_loop);
    if (from && to) std::memcpy(to, from, MAX_STEPS * sizeof(float));
  }
}

void clear_track_steps(int loop, int track, int first, int last) {
  const bool wav = type_engine_kind(song.synth_type[track]) == kKindWav;
  for (int s = first; s <= last; ++s) {
    song.step_trig[loop][track][s] = 0;
    song.step_vol[loop][track][s] = 0.0f;
  }
  song.legato_steps[loop][track] = 0;
  song.hit_marks[loop][track] = 0;
  // Slot 0 of a sample player chooses the sample; a cleared step keeps it.
  for (int k = wav ? 1 : 0; k < song.param_count[track]; ++k) {
    float* row = slot_row(track, k, loop);
    if (!row) continue;
    const float def = song.param_slot[track][k].def;
    for (int s = first; s <= last; ++s) row[s] = def;
  }
}

// Voices are walked by the callback: silence them only while it is parked.
void silence_voices(int first_track, int last_track) {
  const unsigned previous = pause_audio();
  for (int t = first_track; t <= last_track; ++t) silence_voice(t);
  resume_audio(previous);
}

// The trigger, volume and parameter values of steps 0..63 of one track, and its legato word.
struct TrackSnapshot {
  uint8_t trig[MAX_STEPS];
  float vol[MAX_STEPS];
  float param[PARAM_SLOTS][MAX_STEPS];
  uint64_t legato;
};

void take_snapshot(int loop, int track, TrackSnapshot& snap) {
  std::memcpy(snap.trig, song.step_trig[loop][track], sizeof snap.trig);
  std::memcpy(snap.vol, song.step_vol[loop][track], sizeof snap.vol);
  for (int k = 0; k < song.param_count[track]; ++k)
    if (const float* row = slot_row(track, k, loop)) std::memcpy(snap.param[k], row, sizeof snap.param[k]);
  snap.legato = song.legato_steps[loop][track];
}

// Writes the snapshot's step `from` to step `to`: trigger, volume and every parameter value.
void write_snapshot_step(int loop, int track, const TrackSnapshot& snap, int from, int to) {
  song.step_trig[loop][track][to] = snap.trig[from];
  song.step_vol[loop][track][to] = snap.vol[from];
  for (int k = 0; k < song.param_count[track]; ++k)
    if (float* row = slot_row(track, k, loop)) row[to] = snap.param[k][from];
}

// The legato word after a shift by distance from the cursor step: the whole word moves (bits
// of empty steps and of steps beyond the played length too), the old word stays under it when
// the hits are kept, and the bits on the side of the cursor that does not move (below it for a
// later shift, above it up to the played length for an earlier one) keep their old values.
uint64_t shifted_legato(uint64_t old, int cursor, int distance, bool keep, int length) {
  const int by = distance < 0 ? -distance : distance;
  uint64_t word = 0;
  if (by < 64) word = distance > 0 ? old << by : old >> by;
  if (keep) word |= old;
  uint64_t fixed = 0;  // the bits set back from the old word
  if (distance > 0) {
    fixed = step_bit(cursor) - 1;
  } else {
    for (int s = cursor + 1; s < length && s < MAX_STEPS; ++s) fixed |= step_bit(s);
  }
  return (word & ~fixed) | (old & fixed);
}

// A vacated step: no hit; its parameter values stay.
void empty_step(int loop, int track, int step) {
  song.step_trig[loop][track][step] = 0;
  song.step_vol[loop][track][step] = 0.0f;
}

// A sample player's sample, duplicated as wav_set_sample takes it; null when memory ran out.
SampleData* duplicate_sample(const SampleData& from) {
  SampleData* copy = new (std::nothrow) SampleData;
  if (!copy) return nullptr;
  copy->length = from.length;
  copy->bits = from.bits;
  copy->rate_factor = from.rate_factor;
  std::memcpy(copy->name, from.name, sizeof copy->name);
  if (from.data16) {
    copy->data16 = new (std::nothrow) int16_t[from.length];
    if (copy->data16) std::memcpy(copy->data16, from.data16, from.length * sizeof(int16_t));
  } else if (from.data8) {
    copy->data8 = new (std::nothrow) uint8_t[from.length];
    if (copy->data8) std::memcpy(copy->data8, from.data8, from.length);
  }
  if ((from.data16 && !copy->data16) || (from.data8 && !copy->data8)) {
    free_sample_data(copy);
    return nullptr;
  }
  return copy;
}

// The destination takes the source's sample (or placeholder). False when it could not be copied:
// the destination then keeps the sample it had.
bool copy_sample(int source, int destination) {
  const SampleData* from = wav_sample(source);
  SampleData* copy = nullptr;
  if (from) {
    copy = duplicate_sample(*from);
    if (!copy) return false;
  }
  const unsigned previous = pause_audio();
  wav_set_sample(destination, copy);
  resume_audio(previous);
  return true;
}

// A copy that moves pitch data switches the destination to the source's mode first, so no other
// loop is left holding values of the other unit.
void match_freq_mode(TrackCopy what, int source, int destination) {
  if (copy_changes_freq_mode(what, source, destination)) set_freq_mode(destination);
}

bool two_tracks(int loop, int source, int destination) {
  return valid_loop(loop) && valid_track(source) && valid_track(destination);
}

}  // namespace

void count_song_change() { edit_begin(); }

EditResult clear_steps(int loop, int track, int first, int last) {
  if (!valid_loop(loop) || !valid_track(track) || !valid_step(first) || !valid_step(last) ||
      last < first)
    return EditResult::kBadArgument;
  count_song_change();
  clear_track_steps(loop, track, first, last);
  silence_voices(track, track);
  return EditResult::kOk;
}

EditResult clear_loop(int loop) {
  if (!valid_loop(loop)) return EditResult::kBadArgument;
  count_song_change();
  for (int t = 0; t < song.track_count; ++t) clear_track_steps(loop, t, 0, MAX_STEPS - 1);
  silence_voices(0, song.track_count - 1);
  return EditResult::kOk;
}

EditResult fill_track(int loop, int track, int step, int distance) {
  if (!valid_loop(loop) || !valid_track(track) || !valid_step(step) || distance < 1 ||
      distance > MAX_STEPS)
    return EditResult::kBadArgument;
  count_song_change();
  const bool copies = step + distance < MAX_STEPS;
  const unsigned held = copies ? pause_audio() : 0;
  uint64_t& legato = song.legato_steps[loop][track];
  for (int s = step + 1; s < MAX_STEPS; ++s) {
    empty_step(loop, track, s);
    set_legato_bit(legato, s, false);
  }
  if (copies) {
    const bool source_legato = (legato & step_bit(step)) != 0;
    for (int s = step + distance; s < MAX_STEPS; s += distance) {
      song.step_trig[loop][track][s] = song.step_trig[loop][track][step];
      song.step_vol[loop][track][s] = song.step_vol[loop][track][step];
      for (int k = 0; k < song.param_count[track]; ++k)
        if (float* row = slot_row(track, k, loop)) row[s] = row[step];
      set_legato_bit(legato, s, source_legato);
    }
    resume_audio(held);
    // A fill that copies leaves the transport running.
    set_transport_stopped(0);
  }
  return EditResult::kOk;
}

EditResult shift_track(int loop, int track, int step, int distance, bool keep) {
  if (!valid_loop(loop) || !valid_track(track) || !valid_step(step) || distance < -MAX_STEPS ||
      distance > MAX_STEPS)
    return EditResult::kBadArgument;
  if (distance == 0) return EditResult::kOk;
  count_song_change();
  TrackSnapshot snap;
  take_snapshot(loop, track, snap);
  const int length = song.seqlen;
  if (distance > 0) {
    // From the end backwards, so each destination is written after it was emptied as a source.
    for (int s = length - distance - 1; s >= step; --s) {
      if (keep && snap.trig[s] == 0) continue;
      write_snapshot_step(loop, track, snap, s, s + distance);
      if (!keep) empty_step(loop, track, s);
    }
  } else {
    for (int s = 0; s <= step; ++s) {
      const int to = s + distance;
      if (to < 0) {
        empty_step(loop, track, s);
        continue;
      }
      if (keep && snap.trig[s] == 0) continue;
      write_snapshot_step(loop, track, snap, s, to);
      if (!keep) empty_step(loop, track, s);
    }
  }
  song.legato_steps[loop][track] = shifted_legato(snap.legato, step, distance, keep, length);
  return EditResult::kOk;
}

bool track_copy_allowed(TrackCopy what, int source, int destination) {
  if (!valid_track(source) || !valid_track(destination)) return false;
  const int src_type = song.synth_type[source];
  const int dst_type = song.synth_type[destination];
  switch (what) {
    case TrackCopy::kTrig:
      return true;
    case TrackCopy::kTrack:
      return src_type == dst_type && song.param_count[source] == song.param_count[destination];
    case TrackCopy::kGen:
      return type_engine_kind(src_type) == type_engine_kind(dst_type) &&
             param_groups(source).valid && param_groups(destination).valid;
    case TrackCopy::kFx:
      return type_effect_kind(src_type) >= 0 &&
             type_effect_kind(src_type) == type_effect_kind(dst_type) &&
             param_groups(source).valid && param_groups(destination).valid;
    case TrackCopy::kEnv:
      return param_groups(source).valid && param_groups(destination).valid;
    case TrackCopy::kFreq:
      return has_freq_mode(source) && has_freq_mode(destination);
  }
  return false;
}

bool copy_changes_freq_mode(TrackCopy what, int source, int destination) {
  if (what != TrackCopy::kTrack && what != TrackCopy::kGen && what != TrackCopy::kFreq) return false;
  if (!track_copy_allowed(what, source, destination)) return false;
  const int from = song.freq_mode[source];
  const int to = song.freq_mode[destination];
  return (from == 0 && to == 1) || (from == 1 && to == 0);
}

EditResult copy_between_tracks(TrackCopy what, int loop, int source, int destination) {
  if (!two_tracks(loop, source, destination) || !track_copy_allowed(what, source, destination))
    return EditResult::kBadArgument;
  if (source == destination) return EditResult::kOk;
  count_song_change();
  match_freq_mode(what, source, destination);
  const ParamGroups src = param_groups(source);
  const ParamGroups dst = param_groups(destination);
  switch (what) {
    case TrackCopy::kTrig:
      copy_steps(loop, source, loop, destination);
      break;
    case TrackCopy::kTrack: {
      for (int k = 0; k < song.param_count[source]; ++k)
        copy_slot(loop, source, k, destination, k, true, true);
      copy_steps(loop, source, loop, destination);
      song.track_vol[destination] = song.track_vol[source];
      song.freq_mode[destination] = song.freq_mode[source];
      if (type_engine_kind(song.synth_type[source]) == kKindWav && !copy_sample(source, destination))
        return EditResult::kLoadFailed;
      break;
    }
    case TrackCopy::kGen:
      for (int k = 0; k < src.gen_count; ++k) copy_slot(loop, source, k, destination, k, true, true);
      song.freq_mode[destination] = song.freq_mode[source];
      break;
    case TrackCopy::kFx:
      for (int k = 0; k < src.fx_count; ++k)
        copy_slot(loop, source, src.gen_count + k, destination, dst.gen_count + k, false, true);
      break;
    case TrackCopy::kEnv: {
      const int from = src.gen_count + src.fx_count;
      const int to = dst.gen_count + dst.fx_count;
      for (int v = 0; v < kVoiceParamCount; ++v) {
        if (v == kVoicePan || v == kVoiceExpPan) continue;
        copy_slot(loop, source, from + v, destination, to + v, false, v != kVoiceEnvType);
      }
      break;
    }
    case TrackCopy::kFreq: {
      const int from = synth_modules[source].pitch_param;
      const int to = synth_modules[destination].pitch_param;
      copy_slot(loop, source, from, destination, to, false, true);
      ParamSlot& d = song.param_slot[destination][to];
      const ParamClass src_cls = song.param_slot[source][from].cls;
      if (is_pitch_class(src_cls) && is_pitch_class(d.cls)) d.cls = src_cls;
      break;
    }
  }
  return EditResult::kOk;
}

EditResult copy_trig(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kTrig, loop, source, destination);
}
EditResult copy_track(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kTrack, loop, source, destination);
}
EditResult copy_gen(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kGen, loop, source, destination);
}
EditResult copy_fx(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kFx, loop, source, destination);
}
EditResult copy_env(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kEnv, loop, source, destination);
}
EditResult copy_freq(int loop, int source, int destination) {
  return copy_between_tracks(TrackCopy::kFreq, loop, source, destination);
}

EditResult copy_loop(int source_loop, int destination_loop) {
  if (!valid_loop(source_loop) || !valid_loop(destination_loop)) return EditResult::kBadArgument;
  if (source_loop == destination_loop) return EditResult::kOk;
  count_song_change();
  for (int t = 0; t < song.track_count; ++t) {
    copy_track_between_loops(t, source_loop, destination_loop);
    song.loop_track_enable[destination_loop][t] = song.loop_track_enable[source_loop][t];
  }
  return EditResult::kOk;
}

EditResult copy_track_to_loop(int track, int source_loop, int destination_loop) {
  if (!valid_track(track) || !valid_loop(source_loop) || !valid_loop(destination_loop))
    return EditResult::kBadArgument;
  if (source_loop == destination_loop) return EditResult::kOk;
  count_song_change();
  copy_track_between_loops(track, source_loop, destination_loop);
  return EditResult::kOk;
}

EditResult copy_track_to_all_loops(int track, int source_loop) {
  if (!valid_track(track) || !valid_loop(source_loop)) return EditResult::kBadArgument;
  count_song_change();
  for (int l = 0; l < MAX_LOOPS; ++l)
    if (l != source_loop) copy_track_between_loops(track, source_loop, l);
  return EditResult::kOk;
}

}  // namespace zorbel
