// The MIDI clock and transport messages that the audio side sends, stamped to rendered frames.
//
// While MIDI SYNC is SEND the callback computes, block by block, the pulses (24 a beat, three a
// step) and the Start, Continue, Stop and Song Position messages of the buffer it renders, into
// a fixed array. The port back-end takes them after each buffer and sends each at the time the
// buffer's frame will sound. Nothing here allocates, locks or waits.
#pragma once

#include "engine/midi_message.h"

namespace zorbel {

// Messages one 1024-frame buffer can hold: its pulses (ten at most, even at 999 BPM) and the
// transport messages.
constexpr int kMidiEventsPerBuffer = 64;

// Audio side, from render_buffer: before anything else of the buffer ...
void midi_clock_buffer_begin();
// ... for each block of a running transport, before its clock ticks (block 0..7) ...
void midi_clock_block(int block);
// ... and after the blocks; ran: the transport ran in this buffer.
void midi_clock_buffer_end(bool ran);

// Back-end, right after the buffer rendered: its messages, times in frames from the buffer's
// first frame (0 <= time < 1024, rising). They are taken: a second call returns none.
int take_rendered_midi(const MidiEvent** events);

// Forgets what the clock knew of the transport (a new setting, tests): the next running block
// announces itself as after a stop.
void reset_midi_clock_out();

}  // namespace zorbel
