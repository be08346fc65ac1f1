// JACK MIDI ports in the audio output's client: messages read at their frame, clock sent at the
// frame where the rendered audio sounds.
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <cstdint>

#include "engine/jack_output.h"
#include "engine/midi_backends.h"
#include "engine/midi_clock_out.h"
#include "engine/realtime.h"

namespace zorbel {

namespace {

constexpr double kSampleRate = 44100.0;
// Messages waiting for the cycle in which they sound: a few buffers' worth.
constexpr int kPendingMost = 256;

struct PendingMidi {
  uint32_t frame;  // the server's frame time
  MidiEvent event;
};

// Process thread only, except the ports (registered and dropped on the main thread while the
// client is not processing).
struct JackMidi {
  std::atomic<jack_port_t*> in{nullptr};
  std::atomic<jack_port_t*> out{nullptr};
  std::atomic<bool> reads_input{true};
  uint32_t cycle_start = 0;
  uint32_t last_cycle_start = 0;
  int64_t wraps = 0;  // times the 32-bit frame time went round
  PendingMidi pending[kPendingMost];
  int pending_count = 0;
};

JackMidi jack_midi;

void client_opened(jack_client_t* client) {
  jack_midi.in.store(jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0));
  jack_midi.out.store(jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0));
  jack_midi.pending_count = 0;
}

void client_closing() {
  jack_midi.in.store(nullptr);
  jack_midi.out.store(nullptr);
}

void cycle_begin(uint32_t nframes, uint32_t cycle_start) ZORBEL_REALTIME {
  if (cycle_start < jack_midi.last_cycle_start) ++jack_midi.wraps;
  jack_midi.last_cycle_start = jack_midi.cycle_start = cycle_start;
  jack_port_t* in = jack_midi.in.load();
  if (!in || !jack_midi.reads_input.load(std::memory_order_relaxed)) return;
  void* buffer = jack_port_get_buffer(in, nframes);
  const uint32_t count = jack_midi_get_event_count(buffer);
  const double base = static_cast<double>(jack_midi.wraps) * 4294967296.0 + cycle_start;
  for (uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t e;
    if (jack_midi_event_get(&e, buffer, i) != 0) continue;
    if (e.size < 1 || e.size > 3 || midi_message_size(e.buffer[0]) != static_cast<int>(e.size)) continue;
    MidiEvent event;
    event.time = (base + e.time) / kSampleRate;
    event.size = static_cast<uint8_t>(e.size);
    for (size_t b = 0; b < e.size; ++b) event.bytes[b] = e.buffer[b];
    midi_input_queue().push(event);
  }
}

void buffer_rendered(int64_t first_frame_offset) ZORBEL_REALTIME {
  const MidiEvent* events = nullptr;
  const int count = take_rendered_midi(&events);
  for (int i = 0; i < count && jack_midi.pending_count < kPendingMost; ++i) {
    const int64_t offset = first_frame_offset + static_cast<int64_t>(events[i].time + 0.5);
    jack_midi.pending[jack_midi.pending_count++] = {
        static_cast<uint32_t>(jack_midi.cycle_start + offset), events[i]};
  }
}

void cycle_end(uint32_t nframes) ZORBEL_REALTIME {
  jack_port_t* out = jack_midi.out.load();
  if (!out) {
    jack_midi.pending_count = 0;
    return;
  }
  void* buffer = jack_port_get_buffer(out, nframes);
  jack_midi_clear_buffer(buffer);
  // The messages are in time order; those of this cycle go out, late ones at its first frame.
  int written = 0;
  uint32_t last = 0;
  while (written < jack_midi.pending_count) {
    const PendingMidi& p = jack_midi.pending[written];
    const int32_t offset = static_cast<int32_t>(p.frame - jack_midi.cycle_start);
    if (offset >= static_cast<int32_t>(nframes)) break;
    uint32_t at = offset < 0 ? 0 : static_cast<uint32_t>(offset);
    if (at < last) at = last;
    jack_midi_event_write(buffer, at, p.event.bytes, p.event.size);
    last = at;
    ++written;
  }
  for (int i = written; i < jack_midi.pending_count; ++i)
    jack_midi.pending[i - written] = jack_midi.pending[i];
  jack_midi.pending_count -= written;
}

}  // namespace

void install_jack_midi_hooks() {
  JackClientHooks hooks;
  hooks.client_opened = client_opened;
  hooks.client_closing = client_closing;
  hooks.cycle_begin = cycle_begin;
  hooks.buffer_rendered = buffer_rendered;
  hooks.cycle_end = cycle_end;
  set_jack_client_hooks(hooks);
}

void set_jack_midi_input(bool on) { jack_midi.reads_input.store(on); }

bool jack_midi_ports_ready() { return jack_midi.in.load() != nullptr && jack_midi.out.load() != nullptr; }

}  // namespace zorbel
