// Note entry into the cursor step: pitch, hit, audition, cursor.
#include "edit/note_entry.h"

#include <algorithm>

#include "edit/edit_support.h"
#include "engine/audition.h"
#include "engine/song.h"
#include "synth/note_table.h"

namespace zorbel {

namespace {

constexpr int kNoteHighest = 127;
constexpr int kVelocityHighest = 127;
constexpr float kVelocityPerVolume = 128.0f;
// A played velocity reaches full volume at the top of its range.
constexpr float kPlayedVelocityPerVolume = 127.0f;
constexpr int kHitTrig = 100;

// The track's pitch slot (note number or frequency), or -1.
int pitch_slot(int track) {
  for (int k = 0; k < song.param_count[track]; ++k) {
    const ParamClass cls = song.param_slot[track][k].cls;
    if ((cls == ParamClass::kNotePitch || cls == ParamClass::kHzPitch) && song.param_slot[track][k].lane)
      return k;
  }
  return -1;
}

bool valid_note(int track, int note, int velocity) {
  return track >= 0 && track < song.track_count && note >= 0 && note <= kNoteHighest &&
         velocity >= 1 && velocity <= kVelocityHighest;
}

// The value the track's pitch slot takes for note: a note number, or its frequency in hertz.
float pitch_value(int track, int slot, int note) {
  const bool hertz = song.param_slot[track][slot].cls == ParamClass::kHzPitch;
  const float value = hertz ? note_frequency(static_cast<float>(note)) : static_cast<float>(note);
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  return std::clamp(value, lo, hi);
}

// volume < 0: a new hit gets velocity / 128 and a hit keeps its own; otherwise the step gets
// volume either way.
EditResult enter_note(int track, int note, int velocity, float volume) {
  if (!valid_note(track, note, velocity)) return EditResult::kBadArgument;
  const int loop = transport.current_loop;
  const int length = std::clamp<int>(song.seqlen, 1, MAX_STEPS);
  const int step = std::clamp(editor_link.cursor_step, 0, MAX_STEPS - 1);

  edit_begin("ENTER NOTE");
  const int slot = pitch_slot(track);
  if (slot >= 0)
    shared_store(song.param_slot[track][slot].lane[loop * MAX_STEPS + step], pitch_value(track, slot, note));
  const bool empty = song.step_trig[loop][track][step] == 0;
  if (empty || volume >= 0.0f)
    shared_store(song.step_vol[loop][track][step],
                 volume >= 0.0f ? volume : static_cast<float>(velocity) / kVelocityPerVolume);
  if (empty) shared_store(song.step_trig[loop][track][step], static_cast<uint8_t>(kHitTrig));
  post_audition(track, loop, step);
  editor_link.cursor_step = (step + 1) % length;
  return EditResult::kOk;
}

}  // namespace

EditResult edit_enter_note(int track, int note, int velocity) {
  return enter_note(track, note, velocity, -1.0f);
}

EditResult edit_enter_played_note(int track, int note, int velocity) {
  return enter_note(track, note, velocity, static_cast<float>(velocity) / kPlayedVelocityPerVolume);
}

void play_live_note(int track, int note, int velocity) {
  if (!valid_note(track, note, velocity)) return;
  const int step = std::clamp(editor_link.cursor_step, 0, MAX_STEPS - 1);
  const int slot = pitch_slot(track);
  post_live_note(track, transport.current_loop, step, slot,
                 slot >= 0 ? pitch_value(track, slot, note) : 0.0f, velocity);
}

}  // namespace zorbel
