// The edit layer: the one way the screens change the song and the transport.
#include "edit/edit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/builtin_sounds.h"
#include "engine/clock.h"
#include "engine/freq_mode.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/transport_requests.h"
#include "files/platform_dir.h"
#include "files/file_replace.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"

namespace zorbel {

namespace {

std::atomic<uint32_t> change_count{0};
uint32_t saved_at = 0;

// Every change of the song passes through here; an undo journal would record it here.
void edit_begin() { change_count.fetch_add(1, std::memory_order_relaxed); }

bool valid_step(int loop, int track, int step) {
  return loop >= 0 && loop < MAX_LOOPS && track >= 0 && track < MAX_TRACKS && step >= 0 &&
         step < MAX_STEPS;
}

bool valid_slot(int track, int slot) {
  return track >= 0 && track < song.track_count && slot >= 0 && slot < song.param_count[track] &&
         song.param_slot[track][slot].lane != nullptr;
}

float clampf(float v, float lo, float hi) {
  if (!(v == v)) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

// Structural changes run with the callback held and the cursors re-primed afterwards.
template <typename Change>
void with_audio_paused(Change change) {
  const unsigned previous = pause_audio();
  change();
  repoint_loop();
  resume_audio(previous);
}

// After a new, loaded or template song: the screens redraw everything from it.
void song_replaced() {
  editor_link.song_replaced.fetch_add(1);
  editor_link.redraw_screen.store(true);
}

// Sets or clears one step's bit of a 64-bit step mask.
void store_step_bit(uint64_t& mask, int step, bool on) {
  const uint64_t bit = uint64_t{1} << step;
  const uint64_t old = shared_load(mask);
  shared_store(mask, on ? (old | bit) : (old & ~bit));
}

// Whether the engine could build this list of synths: count, module pools, lanes and (unless
// check_cost is false) the cost budget.
EditResult check_synth_list(const int32_t* types, int count, bool check_cost = true) {
  if (count > MAX_TRACKS) return EditResult::kMaxSynths;
  int instances[kKindCount] = {};
  int lane_base = 0;
  for (int i = 0; i < count; ++i) {
    const int type = types[i];
    if (type < 0 || type >= kTypeCount) return EditResult::kBadArgument;
    const int engine = type_engine_kind(type);
    const int effect = type_effect_kind(type);
    if (!kind_ops(engine) || (effect >= 0 && !kind_ops(effect))) return EditResult::kBadArgument;
    if (++instances[engine] > kPoolSize) return EditResult::kNoRoom;
    if (effect >= 0 && ++instances[effect] > kPoolSize) return EditResult::kNoRoom;
    // Building needs a full track's worth of lanes above those of the synths below.
    if (lane_base + PARAM_SLOTS > kLanePoolSize || type_param_count(type) > PARAM_SLOTS)
      return EditResult::kNoRoom;
    lane_base += type_param_count(type);
  }
  if (check_cost && cost_overload_at(types, count) >= 0) return EditResult::kCostOverload;
  return EditResult::kOk;
}

}  // namespace

const char* edit_result_text(EditResult result) {
  switch (result) {
    case EditResult::kMaxSynths: return "CANNOT ADD: MAX SYNTHS IN SONG";
    case EditResult::kCostOverload: return "CANNOT ADD: EXECUTION TIME OVERLOAD";
    case EditResult::kLastSynth: return "CAN NOT DELETE LAST SYNTH";
    case EditResult::kNoRoom: return "CANNOT ADD: NO ROOM FOR PARAMETERS";
    default: return "";
  }
}

uint32_t song_change_count() { return change_count.load(std::memory_order_relaxed); }
void mark_song_saved() { saved_at = song_change_count(); }
bool song_changed_since_save() { return song_change_count() != saved_at; }

// ---- Steps ----

void edit_step_trig(int loop, int track, int step, int trig) {
  if (!valid_step(loop, track, step)) return;
  edit_begin();
  shared_store(song.step_trig[loop][track][step], std::clamp(trig, 0, kMaxTrig));
}

void edit_step_vol(int loop, int track, int step, float vol) {
  if (!valid_step(loop, track, step)) return;
  edit_begin();
  shared_store(song.step_vol[loop][track][step], clampf(vol, 0.0f, 1.0f));
}

void edit_step_legato(int loop, int track, int step, bool legato) {
  if (!valid_step(loop, track, step)) return;
  edit_begin();
  store_step_bit(song.legato_steps[loop][track], step, legato);
}

void edit_hit_mark(int loop, int track, int step, bool marked) {
  if (!valid_step(loop, track, step)) return;
  const uint64_t bit = uint64_t{1} << step;
  if (marked)
    song.hit_marks[loop][track] |= bit;
  else
    song.hit_marks[loop][track] &= ~bit;
}

void edit_clear_hit_marks(int loop, int track) {
  if (!valid_step(loop, track, 0)) return;
  song.hit_marks[loop][track] = 0;
}

// ---- Parameters ----

bool param_range(int track, int slot, float* min, float* max) {
  if (!valid_slot(track, slot)) return false;
  return type_param_range(song.synth_type[track], slot, song.param_slot[track][slot].cls, min, max);
}

float param_value(int track, int slot, int loop, int step) {
  if (!valid_slot(track, slot) || !valid_step(loop, track, step)) return 0.0f;
  return song.param_slot[track][slot].lane[loop * MAX_STEPS + step];
}

void edit_param(int track, int slot, int loop, int step, float value) {
  edit_param_steps(track, slot, loop, step, step, value);
}

void edit_param_steps(int track, int slot, int loop, int first, int last, float value) {
  if (!valid_slot(track, slot) || !valid_step(loop, track, first) ||
      !valid_step(loop, track, last) || last < first)
    return;
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  edit_begin();
  float* lane = song.param_slot[track][slot].lane + loop * MAX_STEPS;
  const float v = clampf(value, lo, hi);
  for (int s = first; s <= last; ++s) shared_store(lane[s], v);
}

void edit_param_all_loops(int track, int slot, float value) {
  if (!valid_slot(track, slot)) return;
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  edit_begin();
  float* lane = song.param_slot[track][slot].lane;
  const float v = clampf(value, lo, hi);
  for (int i = 0; i < kLaneLength; ++i) shared_store(lane[i], v);
}

// ---- Tracks and song settings ----

void edit_track_vol(int track, float vol) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  shared_store(song.track_vol[track], clampf(vol, 0.0f, kMaxVolume));
}

void edit_track_enable(int loop, int track, bool on) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin();
  shared_store(song.loop_track_enable[loop][track], on ? 1 : 0);
}

void edit_solo(int loop, int track) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin();
  for (int t = 0; t < MAX_TRACKS; ++t) shared_store(song.loop_track_enable[loop][t], t == track ? 1 : 0);
}

void edit_unmute_all(int loop) {
  if (!valid_step(loop, 0, 0)) return;
  edit_begin();
  for (int t = 0; t < MAX_TRACKS; ++t) shared_store(song.loop_track_enable[loop][t], 1);
}

void edit_stereoize(int track, bool on) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  shared_store(song.stereoize[track], on ? -1.0f : 1.0f);
}

void edit_humanize(int track, float fraction) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  shared_store(song.humanize[track], clampf(fraction, 0.0f, 1.0f));
}

void edit_master_vol(float vol) {
  edit_begin();
  shared_store(song.master_vol, clampf(vol, 0.0f, kMaxVolume));
}

void edit_bpm(float bpm) {
  edit_begin();
  shared_store(song.bpm, clampf(bpm, kMinBpm, kMaxBpm));
}

void edit_swing(float pct) {
  edit_begin();
  shared_store(song.swing_pct, clampf(pct, kMinSwing, kMaxSwing));
}

void edit_swing_steps(int steps) {
  edit_begin();
  shared_store(song.swing_steps, std::clamp(steps, 1, kMaxSwingSteps));
}

void edit_seqlen(int steps) {
  edit_begin();
  shared_store(song.seqlen, std::clamp(steps, 1, MAX_STEPS));
}

void edit_loop_name(int loop, const char* name) {
  if (loop < 0 || loop >= MAX_LOOPS || !name) return;
  edit_begin();
  std::memset(song.loop_name[loop], 0, kLoopNameLen);
  std::strncpy(song.loop_name[loop], name, kLoopNameLen - 1);
}

void edit_song_entry(int position, int loop_or_marker, int reps) {
  if (position < 0 || position >= SONG_LENGTH) return;
  if (loop_or_marker != SONG_RESTART && loop_or_marker != SONG_HALT &&
      (loop_or_marker < 0 || loop_or_marker >= MAX_LOOPS))
    return;
  edit_begin();
  shared_store(song.song_list[position], loop_or_marker);
  shared_store(song.song_reps[position], std::clamp(reps, 1, kMaxReps));
}

void edit_song_insert(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin();
  for (int p = SONG_LENGTH - 1; p > position; --p) {
    shared_store(song.song_list[p], song.song_list[p - 1]);
    shared_store(song.song_reps[p], song.song_reps[p - 1]);
  }
}

void edit_song_delete(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin();
  for (int p = position; p < SONG_LENGTH - 1; ++p) {
    shared_store(song.song_list[p], song.song_list[p + 1]);
    shared_store(song.song_reps[p], song.song_reps[p + 1]);
  }
  shared_store(song.song_list[SONG_LENGTH - 1], 0);
  shared_store(song.song_reps[SONG_LENGTH - 1], 1);
}

// ---- Transport ----

void transport_toggle_play() { post_play_toggle(); }

void transport_set_stopped(bool stopped) { post_play_set(stopped); }

void transport_toggle_song_mode() {
  // Only this thread writes the mode; the clock reads it at the next loop end.
  transport.play_mode = transport.play_mode == kPlayLoop ? kPlaySong : kPlayLoop;
  editor_link.redraw_transport.store(true);
}

void transport_restart() {
  editor_link.cursor_step = 0;
  post_restart();
  editor_link.redraw_screen.store(true);
}

void transport_loop_change(int direction) { post_loop_change(direction); }

void transport_set_instant_switch(bool on) { transport.instant_loop_switch = on ? 1 : 0; }

// ---- Structural changes ----

EditResult edit_new_song(int template_number) {
  if (template_number < 0 || template_number >= kTemplateCount) return EditResult::kBadArgument;
  const SongTemplate& tmpl = kSongTemplates[template_number];
  int32_t types[MAX_TRACKS];
  for (int i = 0; i < tmpl.count && i < MAX_TRACKS; ++i) types[i] = tmpl.entries[i].type;
  // The built-in templates are the program's own songs: some pass the budget that adding a
  // synth keeps to, and they play as they always have.
  const EditResult ok = check_synth_list(types, tmpl.count, false);
  if (ok != EditResult::kOk) return ok;
  edit_begin();
  with_audio_paused([&] { new_song(template_number); });
  post_play_set(false);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_new_custom_song() {
  int32_t types[kCustomTemplateSlots];
  int count = 0;
  for (int i = 0; i < kCustomTemplateSlots; ++i)
    if (custom_template_list[i] >= 0) types[count++] = custom_template_list[i];
  if (count == 0) return EditResult::kBadArgument;
  const EditResult ok = check_synth_list(types, count);
  if (ok != EditResult::kOk) return ok;
  edit_begin();
  with_audio_paused([] { new_custom_song(); });
  post_play_set(false);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

EditResult can_add_synth_now(int type) {
  if (type < 0 || type >= kTypeCount) return EditResult::kBadArgument;
  if (song.track_count >= MAX_TRACKS) return EditResult::kMaxSynths;
  int32_t types[MAX_TRACKS];
  const int count = song.track_count;
  for (int t = 0; t < count; ++t) types[t] = song.synth_type[t];
  types[count] = type;
  return check_synth_list(types, count + 1);
}

EditResult edit_add_synth(int type) {
  const EditResult ok = can_add_synth_now(type);
  if (ok != EditResult::kOk) return ok;
  edit_begin();
  with_audio_paused([&] {
    const int track = song.track_count;
    build_synth(track, type);
    sort_registry();
    song.track_count = static_cast<int16_t>(track + 1);
    if (song.track_count < MAX_TRACKS) std::strcpy(song.track_name[song.track_count], kListEnd);
    reset_play_cursor(track);
  });
  return EditResult::kOk;
}

EditResult edit_delete_last_synth() {
  if (song.track_count <= 1) return EditResult::kLastSynth;
  edit_begin();
  with_audio_paused([] {
    delete_synth(song.track_count - 1);
    sort_registry();
    std::strcpy(song.track_name[song.track_count], kListEnd);
    if (editor_link.cursor_track >= song.track_count) editor_link.cursor_track = 0;
  });
  return EditResult::kOk;
}

EditResult edit_load_song(const char* path, std::string* reason) {
  // The file is read and checked while the audio plays on; only the replacement holds it.
  SongImage image;
  if (!path || !read_song_file(path, image, reason)) return EditResult::kLoadFailed;
  edit_begin();
  with_audio_paused([&] { apply_song_image(image); });
  warn_song_corrections(path, image);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_save_song(const char* file_name) {
  if (!file_name) return EditResult::kSaveFailed;
  // The song is read out with the audio held (the filter's frequency tracking writes a lane);
  // the slow part, writing and syncing the file, runs with the audio playing.
  std::vector<uint8_t> bytes;
  with_audio_paused([&] { bytes = encode_song(file_name); });
  if (!replace_file(path_in_folder(kSongFolder, file_name), bytes)) return EditResult::kSaveFailed;
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_set_freq_mode(int track) {
  if (track < 0 || track >= song.track_count) return EditResult::kBadArgument;
  if (song.freq_mode[track] == kFreqNone) return EditResult::kBadArgument;
  edit_begin();
  // The pitch class of every slot changes with the lanes: the step event must not see half.
  with_audio_paused([&] { set_freq_mode(track); });
  return EditResult::kOk;
}

int edit_load_sample(int track, const char* name) {
  if (track < 0 || track >= song.track_count || !name) return kWavNotLoaded;
  if (type_engine_kind(song.synth_type[track]) != kKindWav) return kWavNotLoaded;
  // Reading and decoding run with the audio playing; only the swap holds it.
  PreparedSample prepared = prepare_wav_sample(name, track);
  edit_begin();
  with_audio_paused([&] { install_wav_sample(track, prepared); });
  return prepared.result;
}

int edit_load_track_sample(int track, int number, int fallback) {
  if (track < 0 || track >= song.track_count) return kWavNotLoaded;
  if (type_engine_kind(song.synth_type[track]) != kKindWav) return kWavNotLoaded;
  constexpr int kSampleNumberSlot = 0;
  PreparedSample prepared;
  if (number >= 0 && number < wav_list.count)
    prepared = prepare_wav_sample(wav_list.names[number], track);
  edit_begin();
  if (prepared.result != kWavLoaded) {
    // The prepared placeholder is not swapped in: what the track played stays, under its name.
    if (prepared.result != kWavReloadedPrevious) free_sample_data(prepared.sample);
    edit_param_all_loops(track, kSampleNumberSlot, static_cast<float>(fallback));
    return prepared.result;
  }
  with_audio_paused([&] { install_wav_sample(track, prepared); });
  edit_param_all_loops(track, kSampleNumberSlot, static_cast<float>(number));
  return kWavLoaded;
}

// ---- Song order list and DEL SYNTH ----

bool transport_play_song_position(int position) {
  if (position < 0 || position >= SONG_LENGTH) return false;
  const int16_t loop = song.song_list[position];
  if (loop < 0 || loop >= MAX_LOOPS) return false;
  with_audio_paused([&] {
    transport.current_loop = loop;
    if (transport.play_mode == kPlaySong) transport.song_pos = static_cast<uint16_t>(position);
    transport.rep_count = 0;
  });
  editor_link.redraw_screen.store(true);
  return true;
}

namespace {

// Per-track song data beside the synth itself, moved down over a deleted track.
void move_track_data(int from, int to) {
  for (int loop = 0; loop < MAX_LOOPS; ++loop) {
    std::memcpy(song.step_trig[loop][to], song.step_trig[loop][from], MAX_STEPS);
    std::memcpy(song.step_vol[loop][to], song.step_vol[loop][from], sizeof song.step_vol[0][0]);
    song.legato_steps[loop][to] = song.legato_steps[loop][from];
    song.hit_marks[loop][to] = song.hit_marks[loop][from];
    song.loop_track_enable[loop][to] = song.loop_track_enable[loop][from];
  }
  song.track_vol[to] = song.track_vol[from];
  song.stereoize[to] = song.stereoize[from];
  song.humanize[to] = song.humanize[from];
}

// A track without a synth: no steps, and the mix settings a new synth starts from.
void clear_track_data(int track) {
  for (int loop = 0; loop < MAX_LOOPS; ++loop) {
    std::memset(song.step_trig[loop][track], 0, MAX_STEPS);
    for (float& vol : song.step_vol[loop][track]) vol = 0.0f;
    song.legato_steps[loop][track] = 0;
    song.hit_marks[loop][track] = 0;
    song.loop_track_enable[loop][track] = 1;
  }
  song.track_vol[track] = 1.0f;
  song.stereoize[track] = 1.0f;
  song.humanize[track] = 0.0f;
}

}  // namespace

EditResult edit_delete_synth(int track) {
  if (song.track_count <= 1) return EditResult::kLastSynth;
  if (track < 0 || track >= song.track_count) return EditResult::kBadArgument;
  edit_begin();
  with_audio_paused([&] {
    const int last = song.track_count - 1;
    delete_synth(track);
    for (int t = track; t < last; ++t) move_track_data(t + 1, t);
    clear_track_data(last);
    sort_registry();
    std::strcpy(song.track_name[song.track_count], "~");
    if (editor_link.cursor_track >= song.track_count)
      editor_link.cursor_track = song.track_count - 1;
  });
  return EditResult::kOk;
}

}  // namespace zorbel
