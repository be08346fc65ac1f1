// The song's synths: adding and deleting one, its frequency mode and its sample.
#include "edit/edit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "edit/edit_support.h"
#include "engine/builtin_sounds.h"
#include "engine/freq_mode.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"
#include "engine/transport_requests.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"

namespace zorbel {

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
  edit_begin_reshape("ADD SYNTH");
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
  edit_begin_reshape("DEL SYNTH");
  with_audio_paused([] {
    delete_synth(song.track_count - 1);
    sort_registry();
    std::strcpy(song.track_name[song.track_count], kListEnd);
    if (editor_link.cursor_track >= song.track_count) editor_link.cursor_track = 0;
  });
  return EditResult::kOk;
}

EditResult edit_set_freq_mode(int track) {
  if (track < 0 || track >= song.track_count) return EditResult::kBadArgument;
  if (song.freq_mode[track] == kFreqNone) return EditResult::kBadArgument;
  edit_begin("FREQMODE");
  // The pitch class of every slot changes with the lanes: the step event must not see half.
  with_audio_paused([&] { set_freq_mode(track); });
  return EditResult::kOk;
}

int edit_load_sample(int track, const char* name) {
  if (track < 0 || track >= song.track_count || !name) return kWavNotLoaded;
  if (type_engine_kind(song.synth_type[track]) != kKindWav) return kWavNotLoaded;
  // Reading and decoding run with the audio playing; only the swap holds it.
  PreparedSample prepared = prepare_wav_sample(name, track);
  edit_begin_reshape("LOAD WAV");
  with_audio_paused([&] { install_wav_sample(track, prepared); });
  return prepared.result;
}

int edit_load_track_sample(int track, int number, int fallback) {
  if (track < 0 || track >= song.track_count) return kWavNotLoaded;
  if (type_engine_kind(song.synth_type[track]) != kKindWav) return kWavNotLoaded;
  const EditGroup group("LOAD WAV");
  constexpr int kSampleNumberSlot = 0;
  PreparedSample prepared;
  if (number >= 0 && number < wav_list.count)
    prepared = prepare_wav_sample(wav_list.names[number], track);
  edit_begin_reshape("LOAD WAV");
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

// ---- DEL SYNTH ----

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
  edit_begin_reshape("DEL SYNTH");
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
