// Clock out on the audio side: pulses on the unswung step grid, and the transport's changes.
#include "engine/midi_clock_out.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "engine/clock.h"
#include "engine/midi_pulse_scheduler.h"
#include "engine/midi_settings.h"
#include "engine/mixer.h"
#include "engine/realtime.h"
#include "engine/shared_value.h"
#include "engine/song.h"
#include "engine/song_position.h"

namespace zorbel {

namespace {

constexpr float kUnswung = 50.0f;

// Audio thread only (reset_midi_clock_out runs with no buffer being rendered).
struct MidiClockOut {
  PulseScheduler pulses;
  bool sending = false;      // the last buffer ran with SYNC at SEND and the transport running
  uint32_t restarts_seen = 0;
  uint32_t jumps_seen = 0;
  MidiEvent events[kMidiEventsPerBuffer];
  int count = 0;
};

MidiClockOut out;

void add(double frame, uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0, uint8_t size = 1) {
  if (out.count < kMidiEventsPerBuffer) out.events[out.count++] = midi_event(frame, status, data1, data2, size);
}

void add_song_position(double frame) {
  const int sixteenths = std::min(song_position_steps() / kStepsPerSixteenth, kMidiSongPositionMost);
  add(frame, kMidiSongPosition, static_cast<uint8_t>(sixteenths & 0x7F),
      static_cast<uint8_t>((sixteenths >> 7) & 0x7F), 3);
}

bool sync_is_send() { return midi_settings.sync.load(std::memory_order_relaxed) == MidiSync::kSend; }

// Without SEND the moves are only noted, so turning SEND on later announces none of them.
void note_moves() {
  out.restarts_seen = transport.restarts.load(std::memory_order_relaxed);
  out.jumps_seen = transport.jumps.load(std::memory_order_relaxed);
}

}  // namespace

void midi_clock_buffer_begin() ZORBEL_REALTIME { out.count = 0; }

void midi_clock_block(int block) ZORBEL_REALTIME {
  if (!sync_is_send()) return note_moves();
  const double first = static_cast<double>(block) * kBlockFrames;
  // The next step falls where the countdown runs out; the first tick is the block's frame 0.
  const double next_step = std::max(0.0, static_cast<double>(transport.step_countdown) - 1.0);
  const uint32_t restarts = transport.restarts.load(std::memory_order_relaxed);
  const uint32_t jumps = transport.jumps.load(std::memory_order_relaxed);
  if (!out.sending || restarts != out.restarts_seen || jumps != out.jumps_seen) {
    if (restarts != out.restarts_seen) {
      add(first, kMidiStart);
    } else {
      // A jump while running: the listeners stop, move and go on from there.
      if (out.sending) add(first, kMidiStop);
      add_song_position(first);
      add(first, kMidiContinue);
    }
    out.restarts_seen = restarts;
    out.jumps_seen = jumps;
    out.pulses.anchor(next_step);
    out.sending = true;
  }
  // Steps last one frame more than the tempo's interval on average (the countdown runs out
  // below zero), so the pulses keep to the steps as they really fall.
  const double step_length = static_cast<double>(step_interval()) + 1.0;
  const bool unswung = shared_load(song.swing_pct) == kUnswung;
  double frames[kMidiEventsPerBuffer];
  const int pulses = out.pulses.block(kBlockFrames, step_length, next_step, unswung, frames,
                                      kMidiEventsPerBuffer);
  for (int i = 0; i < pulses; ++i) add(first + frames[i], kMidiClock);
}

void midi_clock_buffer_end(bool ran) ZORBEL_REALTIME {
  if (!sync_is_send()) {
    // SEND turned off: the listeners are told to stop once.
    if (out.sending) add(0.0, kMidiStop);
    out.sending = false;
    out.pulses.stop();
    return note_moves();
  }
  if (ran) return;
  if (out.sending) add(0.0, kMidiStop);
  out.sending = false;
  out.pulses.stop();
  // A move while stopped is said at once, so the listeners show it; Continue follows on play.
  const uint32_t jumps = transport.jumps.load(std::memory_order_relaxed);
  if (jumps != out.jumps_seen) {
    add_song_position(0.0);
    out.jumps_seen = jumps;
  }
}

int take_rendered_midi(const MidiEvent** events) ZORBEL_REALTIME {
  *events = out.events;
  const int count = out.count;
  out.count = 0;
  return count;
}

void reset_midi_clock_out() {
  out.pulses.stop();
  out.sending = false;
  out.count = 0;
  out.restarts_seen = transport.restarts.load();
  out.jumps_seen = transport.jumps.load();
}

}  // namespace zorbel
