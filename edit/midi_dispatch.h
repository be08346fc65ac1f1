// What the MIDI messages that arrive do: the followed clock and transport, and notes entered or
// played. Main thread, once a frame.
#pragma once

#include <cstdint>

#include "engine/midi_message.h"

namespace zorbel {

// A followed clock silent this long is lost (ms); its last tempo stays.
constexpr uint32_t kMidiClockLostMs = 2000;

// What the messages did, for the screen.
struct MidiNews {
  bool notes_entered = false;  // the song changed at the cursor step
  bool tempo_changed = false;  // the followed tempo moved
  bool clock_lost = false;     // said once each time a followed clock goes silent
};

// Takes every waiting message of the ports and acts on it, then looks at the followed clock.
// note_track: the track that notes go into (the cursor track of step edit or the parameter
// page), or -1 where notes are not entered.
MidiNews dispatch_midi_input(uint32_t now_ms, int note_track);
// One message, as dispatch_midi_input acts on each.
void dispatch_midi_event(const MidiEvent& event, uint32_t now_ms, int note_track, MidiNews* news);
// Looks at the followed clock and the setting: tempo, loss, and the song's own tempo back when
// SYNC no longer follows.
void check_followed_clock(uint32_t now_ms, MidiNews* news);
// Forgets the followed clock and gives the song its own tempo back.
void reset_midi_dispatch();

}  // namespace zorbel
