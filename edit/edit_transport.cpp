// Transport commands: play and stop, song mode, restart, loop changes and jumps in the song list.
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

void transport_show_loop(int loop) {
  if (loop < 0 || loop >= MAX_LOOPS || loop == transport.current_loop) return;
  with_audio_paused([&] {
    transport.current_loop = loop;
    transport.rep_count = 0;
  });
  editor_link.redraw_screen.store(true);
}

// ---- Song order list ----

bool transport_play_song_position(int position) {
  if (position < 0 || position >= SONG_LENGTH) return false;
  const int16_t loop = song.song_list[position];
  if (loop < 0 || loop >= MAX_LOOPS) return false;
  with_audio_paused([&] {
    transport.current_loop = loop;
    if (transport.play_mode == kPlaySong) transport.song_pos = static_cast<uint16_t>(position);
    transport.rep_count = 0;
  });
  transport.jumps.fetch_add(1, std::memory_order_relaxed);
  editor_link.redraw_screen.store(true);
  return true;
}

}  // namespace zorbel
