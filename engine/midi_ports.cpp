// Choosing the MIDI back-end and handing incoming messages to the main thread.
#include "engine/midi_ports.h"

#include <cstdio>
#include <string>

#include "engine/midi_backends.h"

namespace zorbel {

namespace {

MidiPortKind kind = MidiPortKind::kNone;
bool absence_said = false;
MidiEventQueue<kMidiInputCapacity> inputs;

}  // namespace

MidiEventQueue<kMidiInputCapacity>& midi_input_queue() { return inputs; }

void install_midi_jack_hooks() { install_jack_midi_hooks(); }

MidiPortKind open_midi_ports() {
  if (kind == MidiPortKind::kAlsa) return kind;
  if (jack_midi_ports_ready()) return kind = MidiPortKind::kJack;
  std::string reason;
  if (open_alsa_midi(&reason)) {
    set_jack_midi_input(false);
    return kind = MidiPortKind::kAlsa;
  }
  kind = MidiPortKind::kNone;
  if (!absence_said) {
    std::fprintf(stderr, "zorbel: no MIDI ports: no JACK server, and %s\n", reason.c_str());
    absence_said = true;
  }
  return kind;
}

void close_midi_ports() {
  if (kind == MidiPortKind::kAlsa) close_alsa_midi();
  set_jack_midi_input(true);
  kind = MidiPortKind::kNone;
}

MidiPortKind midi_port_kind() {
  // The JACK ports come and go with their client.
  if (kind == MidiPortKind::kJack && !jack_midi_ports_ready()) return MidiPortKind::kNone;
  return kind;
}

bool next_midi_input(MidiEvent* event) { return inputs.pop(event); }

unsigned midi_inputs_dropped() { return inputs.dropped(); }

void midi_buffer_rendered_for_alsa(double heard_at, double stream_now) {
  alsa_midi_buffer_rendered(heard_at, stream_now);
}

}  // namespace zorbel
