// Sequencer clock, loop boundary, song-list chaining and the loop moves.
#include "engine/clock.h"

#include "engine/engine_hooks.h"
#include "engine/shared_value.h"
#include "engine/song.h"
#include "engine/step_event.h"
#include "engine/transport_requests.h"

namespace zorbel {

namespace {

void request_grid_redraw() {
  if (editor_link.visualizer_showing.load()) return;
  editor_link.redraw_grid.store(true);
  if (transport.recording.load()) editor_link.redraw_screen.store(true);
}

bool is_loop(int entry) { return entry >= 0 && entry < MAX_LOOPS; }

// One position forward, without re-pointing.
void advance() {
  if (transport.play_mode == kPlaySong) {
    uint16_t pos = static_cast<uint16_t>(transport.song_pos + 1);
    if (pos >= SONG_LENGTH) {
      pos = 0;
    } else if (shared_load(song.song_list[pos]) == SONG_RESTART) {
      pos = 0;
    } else if (shared_load(song.song_list[pos]) == SONG_HALT) {
      pos = 0;
      set_transport_stopped(1);
    }
    transport.song_pos = pos;
    // A marker at position 0 has no loop to play: stay on the loop that was playing.
    const int16_t entry = shared_load(song.song_list[pos]);
    if (is_loop(entry)) transport.current_loop = entry;
    transport.rep_count = 0;
  } else if (transport.current_loop >= MAX_LOOPS - 1) {
    transport.current_loop = 0;
  } else {
    transport.current_loop = transport.current_loop + 1;
    transport.rep_count = 0;
  }
}

// One position back, without re-pointing.
void retreat() {
  if (transport.play_mode == kPlaySong) {
    if (transport.song_pos != 0) {
      transport.song_pos = static_cast<uint16_t>(transport.song_pos - 1);
    } else {
      // Only the 1000 real positions count: a list without a marker keeps position 0.
      int first_marker = -1;
      for (int p = 0; p < SONG_LENGTH; ++p)
        if (shared_load(song.song_list[p]) < 0) {
          first_marker = p;
          break;
        }
      if (first_marker > 0) transport.song_pos = static_cast<uint16_t>(first_marker - 1);
    }
    transport.rep_count = 0;
    const int16_t entry = shared_load(song.song_list[transport.song_pos]);
    if (is_loop(entry)) transport.current_loop = entry;
  } else {
    transport.current_loop = transport.current_loop == 0 ? MAX_LOOPS - 1 : transport.current_loop - 1;
    editor_link.redraw_transport.store(true);
    editor_link.redraw_grid.store(true);
  }
}

void loop_boundary() {
  // The queued requests are taken whole; a press that arrives after this waits for the next end.
  const uint16_t up = transport.loop_up_requests.exchange(0);
  const uint16_t down = transport.loop_down_requests.exchange(0);
  if (up != 0 || down != 0)
    transport.loop_requests_taken.fetch_add(up + down, std::memory_order_relaxed);
  transport.switch_direction = up == down ? 0 : (up > down ? 1 : 2);

  if (transport.play_mode == kPlaySong) {
    // The song list decides; queued user requests are not acted on.
    transport.rep_count = static_cast<uint16_t>(transport.rep_count + 1);
    if (shared_load(song.song_reps[transport.song_pos]) <= transport.rep_count) {
      move_loops(1);
    } else if (!editor_link.visualizer_showing.load()) {
      editor_link.redraw_loop_readout.store(true);
    }
  } else if (up != down) {
    // So a queued change moves by the net number of presses.
    move_loops(static_cast<int>(up) - static_cast<int>(down));
  }
  transport.switch_direction = 0;
  transport.pending_switch = 0;
}

}  // namespace

float playing_bpm() {
  const float followed = transport.followed_bpm;
  return followed > 0.0f ? followed : shared_load(song.bpm);
}

float step_interval() {
  const float followed = transport.followed_bpm;
  // A step runs one frame past its interval (the countdown ends below zero). Following another
  // program's clock, that frame comes off the interval, so the steps keep the other's time
  // instead of falling behind it by a frame each.
  if (followed > 0.0f) return 44100.0f / (followed / 60.0f * 8.0f) - 1.0f;
  return 44100.0f / (shared_load(song.bpm) / 60.0f * 8.0f);
}

void clock_tick() {
  float interval = step_interval();
  const float swing = shared_load(song.swing_pct);
  if (transport.swing_counter > 0)
    interval = swing * 0.01f * interval * 2.0f;
  else
    interval = (100.0f - swing) * 0.01f * interval * 2.0f;

  transport.step_countdown -= 1.0f;
  if (!(transport.step_countdown < 0.0f)) return;

  step_event();
  if (transport.step_pos == 0) loop_boundary();

  transport.step_carry = transport.step_countdown + 1.0f;
  transport.step_countdown = interval + transport.step_carry;
  transport.swing_counter = static_cast<int16_t>(transport.swing_counter - 1);
  const int16_t swing_steps = shared_load(song.swing_steps);
  if (transport.swing_counter == -swing_steps) transport.swing_counter = swing_steps;
}

void repoint_loop() {
  const int loop = transport.current_loop;
  for (int t = 0; t < song.track_count; ++t) {
    transport.play_cursor[t].trig_row = song.step_trig[loop][t];
    transport.play_cursor[t].vol_row = song.step_vol[loop][t];
    for (int k = 0; k < song.param_count[t]; ++k) {
      ParamSlot& slot = song.param_slot[t][k];
      if (slot.lane) slot.row = slot.lane + loop * MAX_STEPS;
    }
  }
}

void move_loops(int count) {
  if (count == 0) return;
  for (int i = 0; i < count; ++i) advance();
  for (int i = 0; i > count; --i) retreat();
  repoint_loop();
  request_grid_redraw();
}

void next_loop() { move_loops(1); }
void prev_loop() { move_loops(-1); }

void request_loop_change(int direction) { post_loop_change(direction); }

void rewind_playback() {
  transport.song_pos = 0;
  transport.swing_counter = static_cast<int16_t>(shared_load(song.swing_steps) - 1);
  const int loop = transport.current_loop;
  for (int t = 0; t < song.track_count; ++t) {
    transport.play_cursor[t].trig_row = song.step_trig[loop][t];
    transport.play_cursor[t].vol_row = song.step_vol[loop][t];
  }
  transport.step_pos = 0;
  // Until the first step event, the step shown as playing is the one that will play first.
  transport.sounding_step = 0;
  // Clears the synth buffers and puts envelopes, phases and filter memories back to note-off.
  if (hooks.reset_modules) hooks.reset_modules();
}

void reset_playback() {
  rewind_playback();
  transport.jumps.fetch_add(1, std::memory_order_relaxed);
  editor_link.cursor_step = 0;
}

void restart_playback() {
  rewind_playback();
  transport.restarts.fetch_add(1, std::memory_order_relaxed);
  transport.song_pos = 0;
  transport.rep_count = 0;
  if (transport.play_mode == kPlaySong) {
    const int16_t entry = shared_load(song.song_list[0]);
    if (is_loop(entry)) transport.current_loop = entry;
  }
  repoint_loop();
  editor_link.redraw_screen.store(true);
}

}  // namespace zorbel
