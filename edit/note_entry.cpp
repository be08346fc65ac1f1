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

}  // namespace

EditResult edit_enter_note(int track, int note, int velocity) {
  if (track < 0 || track >= song.track_count || note < 0 || note > kNoteHighest || velocity < 1 ||
      velocity > kVelocityHighest)
    return EditResult::kBadArgument;
  const int loop = transport.current_loop;
  const int length = std::clamp<int>(song.seqlen, 1, MAX_STEPS);
  const int step = std::clamp(editor_link.cursor_step, 0, MAX_STEPS - 1);

  edit_begin("ENTER NOTE");
  const int slot = pitch_slot(track);
  if (slot >= 0) {
    const bool hertz = song.param_slot[track][slot].cls == ParamClass::kHzPitch;
    const float value = hertz ? note_frequency(static_cast<float>(note)) : static_cast<float>(note);
    float lo = 0.0f, hi = 0.0f;
    param_range(track, slot, &lo, &hi);
    shared_store(song.param_slot[track][slot].lane[loop * MAX_STEPS + step],
                 std::clamp(value, lo, hi));
  }
  if (song.step_trig[loop][track][step] == 0) {
    shared_store(song.step_vol[loop][track][step],
                 static_cast<float>(velocity) / kVelocityPerVolume);
    shared_store(song.step_trig[loop][track][step], static_cast<uint8_t>(kHitTrig));
  }
  post_audition(track, loop, step);
  editor_link.cursor_step = (step + 1) % length;
  return EditResult::kOk;
}

}  // namespace zorbel
