// Sequencer clock, loop boundary, song-list chaining and the loop-change request queue.
#include "engine/clock.h"

#include "engine/engine_hooks.h"
#include "engine/song.h"
#include "engine/step_event.h"

namespace zorbel {

namespace {

void request_grid_redraw() {
  if (editor_link.visualizer_showing.load()) return;
  editor_link.redraw_grid.store(true);
  if (transport.recording.load()) editor_link.redraw_screen.store(true);
}

void loop_boundary() {
  const uint16_t up = transport.loop_up_requests.load();
  const uint16_t down = transport.loop_down_requests.load();
  if (up == down) {
    transport.switch_direction = 0;
  } else if (up > down) {
    transport.switch_direction = 1;
    transport.loop_up_requests.store(static_cast<uint16_t>(up - down));
  } else {
    transport.switch_direction = 2;
    transport.loop_down_requests.store(static_cast<uint16_t>(down - up));
  }

  if (transport.play_mode == 1) {
    transport.rep_count = static_cast<uint16_t>(transport.rep_count + 1);
    if (song.song_reps[transport.song_pos] <= transport.rep_count) {
      transport.loop_up_requests.store(1);
      while (transport.loop_up_requests.load() != 0) next_loop();
    } else if (!editor_link.visualizer_showing.load()) {
      editor_link.redraw_loop_readout.store(true);
    }
  } else if (transport.switch_direction == 1) {
    transport.switch_direction = 0;
    while (transport.loop_up_requests.load() != 0) next_loop();
  } else if (transport.switch_direction == 2) {
    transport.switch_direction = 0;
    while (transport.loop_down_requests.load() != 0) prev_loop();
  }

  transport.switch_direction = 0;
  transport.loop_down_requests.store(0);
  transport.loop_up_requests.store(0);
  transport.pending_switch = 0;
}

}  // namespace

float step_interval() { return 44100.0f / (song.bpm / 60.0f * 8.0f); }

void clock_tick() {
  float interval = step_interval();
  if (transport.swing_counter > 0)
    interval = song.swing_pct * 0.01f * interval * 2.0f;
  else
    interval = (100.0f - song.swing_pct) * 0.01f * interval * 2.0f;

  transport.step_countdown -= 1.0f;
  if (!(transport.step_countdown < 0.0f)) return;

  step_event();
  if (transport.step_pos == 0) loop_boundary();

  transport.step_carry = transport.step_countdown + 1.0f;
  transport.step_countdown = interval + transport.step_carry;
  transport.swing_counter = static_cast<int16_t>(transport.swing_counter - 1);
  if (transport.swing_counter == -song.swing_steps) transport.swing_counter = song.swing_steps;
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

void next_loop() {
  if (transport.play_mode == 1) {
    transport.rep_count = 0;
    transport.song_pos = static_cast<uint16_t>(transport.song_pos + 1);
    if (transport.song_pos >= SONG_LENGTH) {
      transport.song_pos = 0;
    } else if (song.song_list[transport.song_pos] == SONG_RESTART) {
      transport.song_pos = 0;
    } else if (song.song_list[transport.song_pos] == SONG_HALT) {
      transport.song_pos = 0;
      set_transport_stopped(1);
    }
    // A marker at position 0 has no loop to play: stay on the loop that was playing.
    const int16_t entry = song.song_list[transport.song_pos];
    if (entry >= 0 && entry < MAX_LOOPS) transport.current_loop = entry;
    transport.rep_count = 0;
  } else {
    if (transport.current_loop >= MAX_LOOPS - 1) {
      transport.current_loop = 0;
    } else {
      transport.current_loop = transport.current_loop + 1;
      transport.rep_count = 0;
    }
  }
  const uint16_t left = static_cast<uint16_t>(transport.loop_up_requests.load() - 1);
  transport.loop_up_requests.store(left);
  if (left != 0) return;
  repoint_loop();
  request_grid_redraw();
}

void prev_loop() {
  if (transport.play_mode == 1) {
    if (transport.song_pos != 0) {
      transport.song_pos = static_cast<uint16_t>(transport.song_pos - 1);
    } else {
      // Only the 1000 real positions count: a list without a marker keeps position 0.
      int first_marker = -1;
      for (int p = 0; p < SONG_LENGTH; ++p)
        if (song.song_list[p] < 0) {
          first_marker = p;
          break;
        }
      if (first_marker > 0) transport.song_pos = static_cast<uint16_t>(first_marker - 1);
    }
    transport.rep_count = 0;
    const int16_t entry = song.song_list[transport.song_pos];
    if (entry >= 0 && entry < MAX_LOOPS) transport.current_loop = entry;
  } else {
    transport.current_loop = transport.current_loop == 0 ? MAX_LOOPS - 1 : transport.current_loop - 1;
    editor_link.redraw_transport.store(true);
    editor_link.redraw_grid.store(true);
  }
  const uint16_t left = static_cast<uint16_t>(transport.loop_down_requests.load() - 1);
  transport.loop_down_requests.store(left);
  if (left != 0) return;
  repoint_loop();
  request_grid_redraw();
}

void request_loop_change(int direction) {
  if (transport.instant_loop_switch != 0) {
    if (direction > 0) {
      transport.loop_up_requests.store(1);
      next_loop();
    } else {
      transport.loop_down_requests.store(1);
      prev_loop();
    }
  } else {
    if (direction > 0)
      transport.loop_up_requests.fetch_add(1);
    else
      transport.loop_down_requests.fetch_add(1);
    transport.pending_switch = 1;
    editor_link.redraw_transport.store(true);
  }
}

void reset_playback() {
  transport.song_pos = 0;
  transport.swing_counter = static_cast<int16_t>(song.swing_steps - 1);
  const int loop = transport.current_loop;
  for (int t = 0; t < song.track_count; ++t) {
    transport.play_cursor[t].trig_row = song.step_trig[loop][t];
    transport.play_cursor[t].vol_row = song.step_vol[loop][t];
  }
  transport.step_pos = 0;
  editor_link.cursor_step = 0;
  // Clears the synth buffers and puts envelopes, phases and filter memories back to note-off.
  if (hooks.reset_modules) hooks.reset_modules();
}

}  // namespace zorbel
