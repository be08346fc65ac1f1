// Changes of the tracks' mix and of the song's settings: volumes, mutes, tempo, swing, length, loop names and the song order list.
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

// ---- Tracks and song settings ----

void edit_track_vol(int track, float vol) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin("TRACK VOL");
  shared_store(song.track_vol[track], clampf(vol, 0.0f, kMaxVolume));
}

void edit_track_enable(int loop, int track, bool on) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin("MUTE");
  shared_store(song.loop_track_enable[loop][track], on ? 1 : 0);
}

void edit_solo(int loop, int track) {
  if (!valid_step(loop, track, 0)) return;
  edit_begin("SOLO");
  for (int t = 0; t < MAX_TRACKS; ++t) shared_store(song.loop_track_enable[loop][t], t == track ? 1 : 0);
}

void edit_unmute_all(int loop) {
  if (!valid_step(loop, 0, 0)) return;
  edit_begin("UNMUTE ALL");
  for (int t = 0; t < MAX_TRACKS; ++t) shared_store(song.loop_track_enable[loop][t], 1);
}

void edit_stereoize(int track, bool on) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin("STEREOIZE");
  shared_store(song.stereoize[track], on ? -1.0f : 1.0f);
}

void edit_humanize(int track, float fraction) {
  if (track < 0 || track >= MAX_TRACKS) return;
  edit_begin("HUMANIZE");
  shared_store(song.humanize[track], clampf(fraction, 0.0f, 1.0f));
}

void edit_master_vol(float vol) {
  edit_begin("MASTER VOL");
  shared_store(song.master_vol, clampf(vol, 0.0f, kMaxVolume));
}

void edit_bpm(float bpm) {
  edit_begin("BPM");
  shared_store(song.bpm, clampf(bpm, kMinBpm, kMaxBpm));
}

void edit_swing(float pct) {
  edit_begin("SWING");
  shared_store(song.swing_pct, clampf(pct, kMinSwing, kMaxSwing));
}

void edit_swing_steps(int steps) {
  edit_begin("SWING STEPS");
  shared_store(song.swing_steps, std::clamp(steps, 1, kMaxSwingSteps));
}

void edit_seqlen(int steps) {
  edit_begin("SEQLEN");
  shared_store(song.seqlen, std::clamp(steps, 1, MAX_STEPS));
}

void edit_loop_name(int loop, const char* name) {
  if (loop < 0 || loop >= MAX_LOOPS || !name) return;
  edit_begin("LOOP NAME");
  std::memset(song.loop_name[loop], 0, kLoopNameLen);
  std::strncpy(song.loop_name[loop], name, kLoopNameLen - 1);
}

void edit_song_entry(int position, int loop_or_marker, int reps) {
  if (position < 0 || position >= SONG_LENGTH) return;
  if (loop_or_marker != SONG_RESTART && loop_or_marker != SONG_HALT &&
      (loop_or_marker < 0 || loop_or_marker >= MAX_LOOPS))
    return;
  edit_begin("SONG ENTRY");
  shared_store(song.song_list[position], loop_or_marker);
  shared_store(song.song_reps[position], std::clamp(reps, 1, kMaxReps));
}

void edit_song_insert(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin("INSERT LOOP STEP");
  for (int p = SONG_LENGTH - 1; p > position; --p) {
    shared_store(song.song_list[p], song.song_list[p - 1]);
    shared_store(song.song_reps[p], song.song_reps[p - 1]);
  }
}

void edit_song_delete(int position) {
  if (position < 0 || position >= SONG_LENGTH) return;
  edit_begin("DEL LOOP STEP");
  for (int p = position; p < SONG_LENGTH - 1; ++p) {
    shared_store(song.song_list[p], song.song_list[p + 1]);
    shared_store(song.song_reps[p], song.song_reps[p + 1]);
  }
  shared_store(song.song_list[SONG_LENGTH - 1], 0);
  shared_store(song.song_reps[SONG_LENGTH - 1], 1);
}

}  // namespace zorbel
