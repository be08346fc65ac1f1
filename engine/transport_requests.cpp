// Posting and taking the transport requests of the main thread.
#include "engine/transport_requests.h"

#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/song.h"

namespace zorbel {

namespace {

// Without a callback thread the poster is the renderer: nothing else can be reading.
void take_now_if_alone() {
  if (!callback_thread_running()) take_all_requests();
}

}  // namespace

void post_loop_change(int direction) {
  if (transport.instant_loop_switch == 0) {
    // Marked before the count, so the boundary that takes the count also clears the mark.
    transport.pending_switch = 1;
    editor_link.redraw_transport.store(true);
  }
  if (direction > 0)
    transport.loop_up_requests.fetch_add(1);
  else
    transport.loop_down_requests.fetch_add(1);
  take_now_if_alone();
}

void post_restart() {
  transport.restart_requests.fetch_add(1);
  take_now_if_alone();
}

void post_play_toggle() {
  transport.play_requests.fetch_add(1);
  take_now_if_alone();
}

void post_play_set(bool stopped) {
  // A set replaces the toggles posted before it.
  transport.play_requests.store((stopped ? kPlaySetStop : kPlaySetRun) << kPlaySetShift);
  take_now_if_alone();
}

void take_play_requests() {
  const uint32_t request = transport.play_requests.exchange(0);
  if (request == 0) return;
  const uint32_t set = request >> kPlaySetShift;
  uint16_t stopped = get_transport_stopped();
  if (set == kPlaySetRun) stopped = 0;
  if (set == kPlaySetStop) stopped = 1;
  if ((request & kPlayToggleMask) % 2 != 0) stopped = stopped == 0 ? 1 : 0;
  set_transport_stopped(stopped);
}

void take_block_requests() {
  if (transport.restart_requests.exchange(0) != 0) restart_playback();
  if (transport.instant_loop_switch == 0) return;
  const uint16_t up = transport.loop_up_requests.exchange(0);
  const uint16_t down = transport.loop_down_requests.exchange(0);
  if (up == 0 && down == 0) return;
  transport.loop_requests_taken.fetch_add(up + down, std::memory_order_relaxed);
  move_loops(static_cast<int>(up) - static_cast<int>(down));
  // In the song list this moves the song's position; a loop played alone keeps its step.
  if (transport.play_mode == kPlaySong) transport.jumps.fetch_add(1, std::memory_order_relaxed);
}

void take_all_requests() {
  take_play_requests();
  take_block_requests();
}

}  // namespace zorbel
