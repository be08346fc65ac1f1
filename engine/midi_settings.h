// The MIDI settings the user chooses (CONTROL > MIDI), read by the audio side and the main thread.
#pragma once

#include <atomic>

namespace zorbel {

// What the MIDI clock does: nothing, sent by this program, or followed from another.
enum class MidiSync : int { kOff = 0, kSend = 1, kFollow = 2 };

struct MidiSettings {
  std::atomic<MidiSync> sync{MidiSync::kOff};
  // Note-ons enter notes into the cursor step, as the keyboard's piano keys do.
  std::atomic<bool> note_input{true};
  // A note-on on channel n plays track n at once, writing nothing.
  std::atomic<bool> channel_play{false};
};

extern MidiSettings midi_settings;

// Back to the defaults: SYNC OFF, NOTE INPUT ON, CHANNEL PLAY OFF.
inline void reset_midi_settings() {
  midi_settings.sync.store(MidiSync::kOff);
  midi_settings.note_input.store(true);
  midi_settings.channel_play.store(false);
}

}  // namespace zorbel
