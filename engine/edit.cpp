// The edit layer: the one way the screens change the song and the transport.
#include "engine/edit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/freq_mode.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "synth/module_graph.h"
#include "synth/synth_types.h"

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

// Structural changes run with the callback parked and the cursors re-primed afterwards.
template <typename Change>
void with_audio_paused(Change change) {
  const unsigned previous = pause_audio();
  change();
  repoint_loop();
  resume_audio(previous);
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
  song.step_trig[loop][track][step] = static_cast<uint8_t>(std::clamp(trig, 0, 100));
}

void edit_step_vol(int loop, int track, int step, float vol) {
  if (!valid_step(loop, track, step)) return;
  edit_begin();
  song.step_vol[loop][track][step] = clampf(vol, 0.0f, 1.0f);
}

void edit_step_legato(int loop, int track, int step, bool legato) {
  if (!valid_step(loop, track, step)) return;
  edit_begin();
  const uint64_t bit = uint64_t{1} << step;
  if (legato)
    song.legato_steps[loop][track] |= bit;
  else
    song.legato_steps[loop][track] &= ~bit;
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
  const ParamInfo* info = type_param(song.synth_type[track], slot);
  if (!info) return false;
  float lo = info->min, hi = info->max;
  const uint16_t cls = song.param_slot[track][slot].cls;
  if (cls == 1) {
    lo = kMidiPitchLowest;
    hi = kMidiPitchHighest;
  } else if (cls == 2) {
    lo = kAbsPitchLowest;
    hi = kAbsPitchHighest;
  }
  if (min) *min = lo;
  if (max) *max = hi;
  return true;
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
  for (int s = first; s <= last; ++s) lane[s] = v;
}

void edit_param_all_loops(int track, int slot, float value) {
  if (!valid_slot(track, slot)) return;
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  edit_begin();
  float* lane = song.param_slot[track][slot].lane;
  const float v = clampf(value, lo, hi);
  for (int i = 0; i < kLaneLength; ++i) lane[i] = v;
}

// ---- Tracks and song settings ----

void edit_track_vol(int track, float vol) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  song.track_vol[track] = clampf(vol, 0.0f, 9.99f);
}

void edit_track_enable(int loop, int track, bool on) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin();
  song.loop_track_enable[loop][track] = on ? 1 : 0;
}

void edit_solo(int loop, int track) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin();
  for (int t = 0; t < MAX_TRACKS; ++t) song.loop_track_enable[loop][t] = t == track ? 1 : 0;
}

void edit_unmute_all(int loop) {
  if (!valid_step(loop, 0, 0)) return;
  edit_begin();
  for (int t = 0; t < MAX_TRACKS; ++t) song.loop_track_enable[loop][t] = 1;
}

void edit_stereoize(int track, bool on) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  song.stereoize[track] = on ? -1.0f : 1.0f;
}

void edit_humanize(int track, float fraction) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin();
  song.humanize[track] = clampf(fraction, 0.0f, 1.0f);
}

void edit_master_vol(float vol) {
  edit_begin();
  song.master_vol = clampf(vol, 0.0f, 9.99f);
}

void edit_bpm(float bpm) {
  edit_begin();
  song.bpm = clampf(bpm, 1.0f, 999.0f);
}

void edit_swing(float pct) {
  edit_begin();
  song.swing_pct = clampf(pct, 1.0f, 99.0f);
}

void edit_swing_steps(int steps) {
  edit_begin();
  song.swing_steps = static_cast<int16_t>(std::clamp(steps, 1, 64));
}

void edit_seqlen(int steps) {
  edit_begin();
  song.seqlen = static_cast<uint16_t>(std::clamp(steps, 1, MAX_STEPS));
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
  song.song_list[position] = static_cast<int16_t>(loop_or_marker);
  song.song_reps[position] = static_cast<int16_t>(std::clamp(reps, 1, 99));
}

void edit_song_insert(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin();
  for (int p = SONG_LENGTH - 1; p > position; --p) {
    song.song_list[p] = song.song_list[p - 1];
    song.song_reps[p] = song.song_reps[p - 1];
  }
}

void edit_song_delete(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin();
  for (int p = position; p < SONG_LENGTH - 1; ++p) {
    song.song_list[p] = song.song_list[p + 1];
    song.song_reps[p] = song.song_reps[p + 1];
  }
  song.song_list[SONG_LENGTH - 1] = 0;
  song.song_reps[SONG_LENGTH - 1] = 1;
}

// ---- Transport ----

void transport_toggle_play() { transport_set_stopped(get_transport_stopped() == 0); }

void transport_set_stopped(bool stopped) { set_transport_stopped(stopped ? 1 : 0); }

void transport_toggle_song_mode() {
  transport.play_mode = transport.play_mode == 0 ? 1 : 0;
  editor_link.redraw_transport.store(true);
}

void transport_restart() {
  with_audio_paused([] {
    reset_playback();
    transport.song_pos = 0;
    transport.rep_count = 0;
    if (transport.play_mode == 1) {
      const int16_t entry = song.song_list[0];
      if (entry >= 0 && entry < MAX_LOOPS) transport.current_loop = entry;
    }
  });
  editor_link.redraw_screen.store(true);
}

void transport_loop_change(int direction) { request_loop_change(direction); }

void transport_set_instant_switch(bool on) { transport.instant_loop_switch = on ? 1 : 0; }

// ---- Structural changes ----

EditResult edit_new_song(int template_number) {
  if (template_number < 0 || template_number > 4) return EditResult::kBadArgument;
  with_audio_paused([&] { new_song(template_number); });
  set_transport_stopped(0);
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_new_custom_song() {
  int32_t types[MAX_TRACKS];
  int count = 0;
  for (int i = 0; i < MAX_TRACKS; ++i)
    if (custom_template_list[i] >= 0) types[count++] = custom_template_list[i];
  for (int i = 0; i < count; ++i)
    if (types[i] >= kTypeCount) return EditResult::kBadArgument;
  if (cost_overload_at(types, count) >= 0) return EditResult::kCostOverload;
  with_audio_paused([] { new_custom_song(); });
  set_transport_stopped(0);
  mark_song_saved();
  return EditResult::kOk;
}

EditResult can_add_synth_now(int type) {
  if (type < 0 || type >= kTypeCount) return EditResult::kBadArgument;
  if (song.track_count >= MAX_TRACKS) return EditResult::kMaxSynths;
  if (!can_add_synth(type)) return EditResult::kCostOverload;
  int lanes = type_param_count(type);
  for (int t = 0; t < song.track_count; ++t) lanes += song.param_count[t];
  if (lanes > kLanePoolSize) return EditResult::kNoRoom;
  return EditResult::kOk;
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
    if (song.track_count < MAX_TRACKS) std::strcpy(song.track_name[song.track_count], "~");
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
    std::strcpy(song.track_name[song.track_count], "~");
    if (editor_link.cursor_track >= song.track_count) editor_link.cursor_track = 0;
  });
  return EditResult::kOk;
}

EditResult edit_load_song(const char* path, std::string* reason) {
  if (!load_song(path, reason)) return EditResult::kLoadFailed;
  mark_song_saved();
  editor_link.redraw_screen.store(true);
  return EditResult::kOk;
}

EditResult edit_save_song(const char* file_name) {
  if (!save_song(file_name)) return EditResult::kSaveFailed;
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_set_freq_mode(int track) {
  if (track < 0 || track >= song.track_count) return EditResult::kBadArgument;
  edit_begin();
  set_freq_mode(track);
  return EditResult::kOk;
}

int edit_load_sample(int track, const char* name) {
  if (track < 0 || track >= song.track_count || !name) return kWavNotLoaded;
  edit_begin();
  return load_wav_sample(name, track);
}

// ---- Song order list and DEL SYNTH ----

bool transport_play_song_position(int position) {
  if (position < 0 || position >= SONG_LENGTH) return false;
  const int16_t loop = song.song_list[position];
  if (loop < 0 || loop >= MAX_LOOPS) return false;
  with_audio_paused([&] {
    transport.current_loop = loop;
    if (transport.play_mode == 1) transport.song_pos = static_cast<uint16_t>(position);
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
