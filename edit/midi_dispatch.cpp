// MIDI input on the main thread: the followed clock drives the tempo and the transport through
// the transport requests; note-ons go through the keyboard's note entry or play a track live.
#include "edit/midi_dispatch.h"

#include <algorithm>

#include "edit/edit.h"
#include "edit/edit_support.h"
#include "edit/note_entry.h"
#include "engine/midi_ports.h"
#include "engine/midi_settings.h"
#include "engine/midi_tempo_follower.h"
#include "engine/song.h"
#include "engine/song_position.h"

namespace zorbel {

namespace {

constexpr float kFollowedBpmLowest = 1.0f;
constexpr float kFollowedBpmHighest = 999.0f;

struct MidiDispatch {
  TempoFollower follower;
  bool clock_seen = false;  // a pulse came since following began or the clock was lost
  uint32_t last_clock_ms = 0;
  bool following = false;
};

MidiDispatch dispatch;

bool following() { return midi_settings.sync.load() == MidiSync::kFollow; }

// Start: from the top, with every voice silenced, the first step at the very next frame.
void follow_start() {
  with_audio_paused([] {
    restart_playback();
    locate_playback(0);
  });
  transport_set_stopped(false);
}

void follow_song_position(int sixteenths) {
  with_audio_paused([sixteenths] { locate_playback(sixteenths * kStepsPerSixteenth); });
}

void follow_transport(uint8_t status, const MidiEvent& event) {
  switch (status) {
    case kMidiStart:
      dispatch.follower.restart();
      return follow_start();
    case kMidiContinue:
      dispatch.follower.restart();
      return transport_set_stopped(false);
    case kMidiStop:
      return transport_set_stopped(true);
    case kMidiSongPosition:
      return follow_song_position(event.bytes[1] | (event.bytes[2] << 7));
    default:
      return;
  }
}

void note_on(const MidiEvent& event, int note_track, MidiNews* news) {
  const int channel = event.bytes[0] & kMidiChannelMask;
  const int note = event.bytes[1];
  const int velocity = event.bytes[2];
  if (velocity == 0) return;  // a note-off by another name
  if (midi_settings.channel_play.load()) {
    // The channel names the track; nothing is written.
    if (channel < song.track_count) play_live_note(channel, note, velocity);
    return;
  }
  if (!midi_settings.note_input.load() || note_track < 0) return;
  if (edit_enter_played_note(note_track, note, velocity) == EditResult::kOk) news->notes_entered = true;
}

}  // namespace

void dispatch_midi_event(const MidiEvent& event, uint32_t now_ms, int note_track, MidiNews* news) {
  if (event.size == 0) return;
  const uint8_t status = event.bytes[0];
  if ((status & kMidiKindMask) == kMidiNoteOn && event.size == 3) return note_on(event, note_track, news);
  if (!following()) return;
  if (status == kMidiClock) {
    dispatch.follower.pulse(event.time);
    dispatch.clock_seen = true;
    dispatch.last_clock_ms = now_ms;
    return;
  }
  follow_transport(status, event);
}

void check_followed_clock(uint32_t now_ms, MidiNews* news) {
  if (!following()) {
    if (dispatch.following) reset_midi_dispatch();
    return;
  }
  dispatch.following = true;
  if (dispatch.clock_seen && now_ms - dispatch.last_clock_ms >= kMidiClockLostMs) {
    // The tempo stays where the clock left it.
    dispatch.clock_seen = false;
    dispatch.follower.restart();
    news->clock_lost = true;
  }
  const double bpm = dispatch.follower.bpm();
  if (bpm <= 0.0) return;
  const float followed =
      std::clamp(static_cast<float>(bpm), kFollowedBpmLowest, kFollowedBpmHighest);
  if (followed == transport.followed_bpm) return;
  transport.followed_bpm = followed;
  editor_link.redraw_transport.store(true);
  news->tempo_changed = true;
}

MidiNews dispatch_midi_input(uint32_t now_ms, int note_track) {
  MidiNews news;
  MidiEvent event;
  while (next_midi_input(&event)) dispatch_midi_event(event, now_ms, note_track, &news);
  check_followed_clock(now_ms, &news);
  return news;
}

void reset_midi_dispatch() {
  dispatch = MidiDispatch{};
  if (transport.followed_bpm != 0.0f) editor_link.redraw_transport.store(true);
  transport.followed_bpm = 0.0f;
}

}  // namespace zorbel
