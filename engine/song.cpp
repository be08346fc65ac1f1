// The one song and transport instance, with the whole-song operations on it.
#include "engine/song.h"

#include <cstring>

#include "engine/engine_hooks.h"

namespace zorbel {

Song song;
Transport transport;
EditorLink editor_link;
EngineHooks hooks;

void clear_song() {
  editor_link.cursor_step = 0;
  editor_link.cursor_track = 0;
  transport.current_loop = 0;
  std::memset(song.hit_marks, 0, sizeof song.hit_marks);
  std::memset(song.legato_steps, 0, sizeof song.legato_steps);
  std::memset(song.track_name, 0, sizeof song.track_name);
  for (auto& loop : song.loop_track_enable)
    for (int16_t& enable : loop) enable = 1;
  std::memset(song.step_trig, 0, sizeof song.step_trig);
  for (auto& loop : song.step_vol)
    for (auto& track : loop)
      for (float& vol : track) vol = 0.0f;
  if (hooks.free_all_modules) hooks.free_all_modules();
  for (int t = 0; t < MAX_TRACKS; ++t) {
    song.synth_type[t] = SYNTH_TYPE_NONE;
    song.humanize[t] = 0.0f;
    song.stereoize[t] = 1.0f;
    song.track_vol[t] = 1.0f;
  }
  song.master_vol = 1.0f;
}

void reset_play_cursor(int track) {
  PlayCursor& cursor = transport.play_cursor[track];
  cursor.length = MAX_STEPS;
  cursor.trig_row = song.step_trig[transport.current_loop][track];
  cursor.vol_row = song.step_vol[transport.current_loop][track];
}

int first_param_slot(int track) {
  int sum = 0;
  for (int t = 0; t < track; ++t) sum += song.param_count[t];
  return sum;
}

void set_transport_stopped(uint16_t value, int /*ignored*/) {
  transport.transport_stopped.store(value);
  editor_link.redraw_transport.store(true);
}

uint16_t get_transport_stopped() { return transport.transport_stopped.load(); }

void reset_song_state() {
  // Plain tables first: everything not named below starts at zero.
  std::memset(static_cast<void*>(&song), 0, sizeof song);
  transport.play_mode = kPlayLoop;
  transport.current_loop = 0;
  transport.song_pos = 0;
  transport.rep_count = 0;
  transport.step_pos = 0;
  transport.sounding_step = 0;
  transport.step_countdown = 2756.25f;
  transport.step_carry = 0.0f;
  transport.swing_counter = 3;
  transport.switch_direction = 0;
  transport.instant_loop_switch = 1;
  transport.pending_switch = 0;
  transport.loop_up_requests.store(0);
  transport.loop_down_requests.store(0);
  transport.restart_requests.store(0);
  transport.play_requests.store(0);
  transport.loop_requests_taken.store(0);
  transport.transport_stopped.store(0);
  transport.in_callback.store(0);
  transport.audio_paused.store(0);
  transport.recording.store(false);
  transport.restarts.store(0);
  transport.jumps.store(0);
  transport.followed_bpm = 0.0f;
  for (int t = 0; t < MAX_TRACKS; ++t) {
    transport.play_cursor[t] = PlayCursor{};
    transport.loop_active_gain[t] = 1.0f;
    song.synth_type[t] = SYNTH_TYPE_NONE;
    song.stereoize[t] = 1.0f;
    song.track_vol[t] = 1.0f;
    song.freq_mode[t] = kFreqNone;
    for (ParamSlot& slot : song.param_slot[t]) slot = ParamSlot{};
  }
  song.master_vol = 1.0f;
  song.swing_steps = 4;
  song.bpm = 120.0f;
  song.swing_pct = 50.0f;
  song.seqlen = MAX_STEPS;
  for (int p = 0; p < SONG_LENGTH; ++p) {
    song.song_list[p] = 0;
    song.song_reps[p] = 1;
  }
  song.song_list[SONG_LENGTH] = SONG_RESTART;
  for (auto& loop : song.loop_track_enable)
    for (int16_t& enable : loop) enable = 1;
  for (int l = 0; l < MAX_LOOPS; ++l) {
    song.loop_name[l][0] = static_cast<char>('0' + l / 10);
    song.loop_name[l][1] = static_cast<char>('0' + l % 10);
    song.loop_name[l][2] = '\0';
  }
  editor_link.cursor_step = 0;
  editor_link.cursor_track = 0;
  std::strcpy(editor_link.song_name, kNoSongName);
  editor_link.visualizer_showing.store(false);
  editor_link.redraw_transport.store(false);
  editor_link.redraw_grid.store(false);
  editor_link.redraw_loop_readout.store(false);
  editor_link.redraw_screen.store(false);
  editor_link.song_replaced.store(0);
}

}  // namespace zorbel
