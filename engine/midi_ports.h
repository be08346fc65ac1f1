// The program's MIDI ports: JACK MIDI ports in the audio output's JACK client when a JACK server
// plays the sound, otherwise an ALSA sequencer port; other programs connect to them.
#pragma once

#include "engine/midi_message.h"

namespace zorbel {

enum class MidiPortKind { kNone, kJack, kAlsa };

// Installs the hooks that register "midi_in" and "midi_out" whenever the JACK output's client
// opens. Main thread, before the audio output is opened.
void install_midi_jack_hooks();
// After the audio output is open: the JACK ports if the output's client has them, else the
// ALSA sequencer's client "ZORBEL" with its port "ZORBEL", else none (said once on stderr).
MidiPortKind open_midi_ports();
// Closes the ALSA client (the JACK ports go with their client).
void close_midi_ports();
MidiPortKind midi_port_kind();

// Main thread: the next message that arrived, timed in seconds of the port's clock. False when
// none waits.
bool next_midi_input(MidiEvent* event);
// Messages lost because the main thread had not taken the earlier ones (a full queue).
unsigned midi_inputs_dropped();

// The PortAudio callback, after each buffer: when its first frame sounds and the time now, both
// in seconds of the stream's clock. Hands the buffer's clock messages to the ALSA port, if one
// is open. Never allocates, locks or waits.
void midi_buffer_rendered_for_alsa(double heard_at, double stream_now);

}  // namespace zorbel
