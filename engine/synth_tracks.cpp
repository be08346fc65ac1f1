// The song's synths: building and deleting a track's synth with its parameter lanes and slots,
// and applying a triggered step's values to the synth.
#include "engine/synth_tracks.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "synth/note_table.h"
#include "synth/param_write.h"
#include "synth/pitch_glide.h"
#include "synth/sequencer_link.h"
#include "synth/svf_effect.h"
#include "synth/synth_types.h"

namespace zorbel {

float lane_pool[kLanePoolSize][kLaneLength];
SongEvents song_events;

namespace {

// FREQ 1.0 is a quarter of the sample rate; higher pitches are held there.
constexpr float kTrackedTop = 5512.5f;

void fill_display_name(int synth, int type) {
  int same = 0;
  for (int s = 0; s < synth; ++s)
    if (song.synth_type[s] == type) ++same;
  char text[32];
  std::snprintf(text, sizeof text, "%s%d", type_name_from_code(type), same + 1);
  char* name = song.track_name[synth];
  std::memset(name, 0, kTrackNameLen);
  const size_t len = std::strlen(text);
  for (int i = 0; i < kTrackNameLen - 1; ++i) name[i] = i < static_cast<int>(len) ? text[i] : ' ';
}

void move_track_down(int from, int to, int lane_shift) {
  song.synth_type[to] = song.synth_type[from];
  song.freq_mode[to] = song.freq_mode[from];
  std::memcpy(song.track_name[to], song.track_name[from], kTrackNameLen);
  song.param_count[to] = song.param_count[from];
  for (int k = 0; k < PARAM_SLOTS; ++k) {
    ParamSlot slot = song.param_slot[from][k];
    if (slot.lane) {
      slot.lane -= static_cast<ptrdiff_t>(lane_shift) * kLaneLength;
      slot.row = slot.lane + transport.current_loop * MAX_STEPS;
    }
    song.param_slot[to][k] = slot;
  }
}

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

// Frequency tracking: with the FREQTRACK lane on at the current step and the synth playing
// pitches, FREQ follows every pitch parameter's module value times OFFSET; a note-number
// parameter also leaves the result in the FREQ lane, so the editor shows what is played.
void track_filter(SvfEffect& e) {
  const int s = e.synth;
  if (s < 0 || s >= MAX_TRACKS || song.freq_mode[s] == kFreqNone) return;
  const int count = song.param_count[s] < PARAM_SLOTS ? song.param_count[s] : PARAM_SLOTS;
  const int step = transport.step_pos % MAX_STEPS;
  ParamSlot* const slots = song.param_slot[s];
  // The last slot bound to a field, searched from the end: the effect's slots lie just before
  // the voice's, and the common case (tracking off) needs only the first of the two. Runs every
  // block for every filter.
  auto last_slot_of = [&](const ParamDest& field) -> ParamSlot* {
    for (int k = count - 1; k >= 0; --k)
      if (slots[k].dest == field) return &slots[k];
    return nullptr;
  };
  const ParamSlot* track_slot = last_slot_of(ParamDest(&e.freqtrack));
  if (track_slot == nullptr || track_slot->row == nullptr) return;
  if (!(shared_load(track_slot->row[step]) > 0.99f)) return;
  ParamSlot* const freq_slot = last_slot_of(ParamDest(&e.freq));
  for (int k = 0; k < count; ++k) {
    const ParamSlot& p = slots[k];
    if (!is_pitch_class(p.cls) || p.dest.kind != ParamDest::Kind::kFloat) continue;
    const float v = *p.dest.f * e.offset;
    e.freq = v > kTrackedTop ? 1.0f : v / kTrackedTop;
    // The one lane the audio thread writes; the editor may write it too, hence the atomic store.
    if (p.cls == ParamClass::kNotePitch && freq_slot != nullptr && freq_slot->row != nullptr)
      shared_store(freq_slot->row[step], e.freq);
  }
}

float song_tempo() { return shared_load(song.bpm); }

bool transport_is_stopped() {
  return transport.transport_stopped.load(std::memory_order_relaxed) != 0;
}

void stop_output() {
  if (audio_is_open()) stop_audio();
}

}  // namespace

void build_synth(int synth, int type, bool init_lanes) {
  // Every per-synth table holds 16 synths, so number 16 is refused like those above it.
  if (synth < 0 || synth >= MAX_TRACKS) fatal_exit(0);
  const int lane_base = first_param_slot(synth);
  if (lane_base + PARAM_SLOTS > kLanePoolSize) fatal_exit(13);
  if (type < 0 || type >= kTypeCount) fatal_exit(4);
  const int engine_kind = type_engine_kind(type);

  // The sample list is read afresh whenever the song gains its only sample player, so files
  // added to the folder since the last such synth show up.
  if (engine_kind == kKindWav && sample_players() == 0 && song_events.sample_player_added)
    song_events.sample_player_added();

  ParamDest dests[kMaxSynthParams];
  const int n = build_synth_modules(synth, type, dests);
  fill_display_name(synth, type);
  song.synth_type[synth] = type;
  song.freq_mode[synth] = (engine_kind == kKindWav || engine_kind == kKindN) ? kFreqNone : kFreqMidi;
  song.param_count[synth] = static_cast<uint16_t>(n);
  for (int q = 0; q < PARAM_SLOTS; ++q) {
    ParamSlot& slot = song.param_slot[synth][q];
    if (q >= n) {
      slot = ParamSlot{};
      continue;
    }
    const ParamInfo* info = type_param(type, q);
    slot.cls = info->cls;
    slot.def = info->def;
    slot.lane = lane_pool[lane_base + q];
    slot.row = slot.lane + transport.current_loop * MAX_STEPS;
    slot.dest = dests[q];
    if (init_lanes)
      for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = info->def;
  }
  reset_play_cursor(synth);
}

void delete_synth(int synth) {
  const int built = built_synth_count();
  if (synth < 0 || synth >= built) return;
  delete_synth_modules(synth);

  // The deleted synth's lanes go; the lanes of the synths above it close the gap.
  const int lane_base = first_param_slot(synth);
  const int removed = song.param_count[synth];
  int above = 0;
  for (int s = synth + 1; s < built; ++s) above += song.param_count[s];
  if (above > 0 && removed > 0)
    std::memmove(lane_pool[lane_base], lane_pool[lane_base + removed],
                 static_cast<size_t>(above) * sizeof lane_pool[0]);
  for (int s = synth + 1; s < built; ++s) move_track_down(s, s - 1, removed);

  const int last = built - 1;
  song.synth_type[last] = SYNTH_TYPE_NONE;
  song.freq_mode[last] = kFreqNone;
  std::memset(song.track_name[last], 0, kTrackNameLen);
  song.param_count[last] = 0;
  for (ParamSlot& slot : song.param_slot[last]) slot = ParamSlot{};
  if (song.track_count > synth) song.track_count = static_cast<int16_t>(song.track_count - 1);
}

void free_all_modules() {
  free_synth_modules();
  // No slot may keep pointing into a freed module (the noise engine's first slot aims at its
  // pitch glide); building a synth binds them again.
  for (auto& track : song.param_slot)
    for (ParamSlot& slot : track) slot.dest = ParamDest{};
}

void render_block() { render_synths(song.track_count, buses.right, buses.left); }

void apply_step_params(int track, const float* step_values) {
  if (track < 0 || track >= MAX_TRACKS) return;
  const SynthModules& sm = synth_modules[track];
  if (!sm.generator) return;
  const bool legato = step_is_legato(track);
  if (sm.glide) run_glide_step(track, sm, step_values, legato);
  const int count = song.param_count[track];
  const float humanize = shared_load(song.humanize[track]);
  for (int k = 0; k < count && k < PARAM_SLOTS; ++k) {
    const float v = step_values[k];
    // A value that is not a finite number (a damaged lane) leaves the field as it was.
    if (!std::isfinite(v)) continue;
    const ParamSlot& slot = song.param_slot[track][k];
    write_param_value(sm, slot.cls, slot.dest, v, humanize);
  }
  if (!legato) engine_restart(track);
}

bool can_add_synth(int type) {
  int sum = synth_cost_tenths(type);
  for (int t = 0; t < song.track_count && t < MAX_TRACKS; ++t) sum += synth_cost_tenths(song.synth_type[t]);
  return sum <= kCostBudgetTenths;
}

void link_synthesis_to_sequencer() {
  sequencer_link.tempo = song_tempo;
  sequencer_link.stopped = transport_is_stopped;
  sequencer_link.track_filter = track_filter;
  sequencer_link.stop_output = stop_output;
}

}  // namespace zorbel
