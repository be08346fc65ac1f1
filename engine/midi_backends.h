// What the MIDI port front (midi_ports.cpp) needs of its two back-ends, JACK and ALSA.
#pragma once

#include <string>

#include "engine/midi_event_queue.h"

namespace zorbel {

// Incoming messages for the main thread; the one open back-end is its only writer.
constexpr unsigned kMidiInputCapacity = 1024;
MidiEventQueue<kMidiInputCapacity>& midi_input_queue();

// JACK: the hooks of the output's client, and whether its ports are registered now.
void install_jack_midi_hooks();
bool jack_midi_ports_ready();
// Whether the JACK input port feeds the input queue. Off while the ALSA port is open, which is
// then the queue's one writer (a JACK server may come up after the ALSA port was chosen).
void set_jack_midi_input(bool on);

// ALSA sequencer: false with the reason when it cannot be opened.
bool open_alsa_midi(std::string* reason);
void close_alsa_midi();
void alsa_midi_buffer_rendered(double heard_at, double stream_now);

}  // namespace zorbel
