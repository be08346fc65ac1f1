// Building whole songs from templates and applying the built-in sounds.
#include "engine/song_templates.h"

#include <cstdio>
#include <cstring>

#include "engine/builtin_sounds.h"
#include "engine/clock.h"
#include "engine/song.h"
#include "engine/synth_tracks.h"

namespace zorbel {

int16_t custom_template_list[kCustomTemplateSlots] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                      -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

namespace {

void set_loop_names() {
  for (int l = 0; l < MAX_LOOPS; ++l)
    std::snprintf(song.loop_name[l], kLoopNameLen, "%02d", l);
}

void reset_song_list(int restart_position) {
  for (int p = 0; p < SONG_LENGTH; ++p) {
    song.song_list[p] = 0;
    song.song_reps[p] = 1;
  }
  song.song_list[restart_position] = SONG_RESTART;
  transport.rep_count = 0;
}

void reset_tracks() {
  for (int t = 0; t < song.track_count; ++t) {
    reset_play_cursor(t);
    song.humanize[t] = 0.0f;
    song.track_vol[t] = 1.0f;
  }
}

void mark_end_of_tracks() {
  if (song.track_count < MAX_TRACKS) std::strcpy(song.track_name[song.track_count], kListEnd);
}

}  // namespace

void apply_sound(int track, int sound) {
  if (sound < 0 || sound >= kBuiltinSoundCount || track < 0 || track >= MAX_TRACKS) return;
  const BuiltinSound& s = kBuiltinSounds[sound];
  const int count = song.param_count[track] < s.value_count ? song.param_count[track]
                                                             : s.value_count;
  for (int k = 0; k < count; ++k) {
    ParamSlot& slot = song.param_slot[track][k];
    for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = s.values[k];
    slot.def = s.values[k];
  }
  song.freq_mode[track] = s.freq_mode;
  // Sounds whose pitch is given in Hz switch the pitch parameter to the frequency class.
  switch (sound) {
    case 0: case 1: case 2: case 3: case 17: case 18:
      song.param_slot[track][1].cls = ParamClass::kHzPitch;
      break;
    case 4:
      song.param_slot[track][0].cls = ParamClass::kHzPitch;
      break;
    case 14:
      song.param_slot[track][1].cls = ParamClass::kNotePitch;
      break;
    default:
      break;
  }
}

void new_song(int template_number) {
  if (template_number < 0 || template_number >= kTemplateCount) return;
  const SongTemplate& tmpl = kSongTemplates[template_number];
  clear_song();
  for (int i = 0; i < tmpl.count; ++i) {
    build_synth(i, tmpl.entries[i].type);
    if (tmpl.entries[i].sound >= 0) apply_sound(i, tmpl.entries[i].sound);
  }
  sort_registry();
  song.track_count = static_cast<int16_t>(tmpl.count);
  reset_playback();
  song.master_vol = 1.0f;
  std::strcpy(editor_link.song_name, kNoSongName);
  reset_song_list(3);
  song.swing_pct = 50.0f;
  set_loop_names();
  reset_tracks();
  mark_end_of_tracks();
  editor_link.redraw_screen.store(true);
}

void new_custom_song() {
  clear_song();
  int created = 0;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    if (custom_template_list[i] < 0) continue;
    build_synth(created, custom_template_list[i]);
    ++created;
  }
  sort_registry();
  // Counting the synths actually built keeps a list with a gap from leaving a built synth
  // outside the song; without gaps this is the number of entries before the first -1.
  song.track_count = static_cast<int16_t>(created);
  reset_playback();
  song.master_vol = 1.0f;
  std::strcpy(editor_link.song_name, kNoSongName);
  reset_song_list(3);
  reset_tracks();
  mark_end_of_tracks();
  editor_link.redraw_screen.store(true);
}

void build_startup_song() {
  for (int t = 0; t < MAX_TRACKS; ++t) {
    for (int l = 0; l < MAX_LOOPS; ++l) song.loop_track_enable[l][t] = 1;
    song.track_vol[t] = 1.0f;
    song.freq_mode[t] = kFreqNone;
  }
  set_loop_names();
  set_transport_stopped(0);
  transport.instant_loop_switch = 1;
  const SongTemplate& tmpl = kSongTemplates[0];
  for (int i = 0; i < tmpl.count; ++i) {
    build_synth(i, tmpl.entries[i].type);
    if (tmpl.entries[i].sound >= 0) apply_sound(i, tmpl.entries[i].sound);
  }
  sort_registry();
  song.track_count = static_cast<int16_t>(tmpl.count);
  for (int t = song.track_count; t < MAX_TRACKS; ++t) std::strcpy(song.track_name[t], kListEnd);
  for (int t = 0; t < MAX_TRACKS; ++t) {
    song.humanize[t] = 0.0f;
    reset_play_cursor(t);
  }
  reset_song_list(4);
  std::memset(song.legato_steps, 0, sizeof song.legato_steps);
  std::memset(song.hit_marks, 0, sizeof song.hit_marks);
  editor_link.cursor_track = 0;
  editor_link.cursor_step = 0;
}

}  // namespace zorbel
