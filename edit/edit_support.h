// What the edit layer's operations share: argument checks, the pausing rule and change counting.
// Only edit/ includes this; screens call the operations of edit.h.
#pragma once

#include <cstdint>
#include <memory>

#include "edit/edit.h"
#include "engine/clock.h"
#include "engine/audio_stream.h"
#include "engine/song.h"
#include "files/song_file.h"

namespace zorbel {

// Every change of the song passes through here, before it touches anything: name is what the
// undo message calls it ("FILL TRACK"). The journal finds what changed once the change is
// complete.
void edit_begin(const char* name);
// The same for a change of the song's shape (synths, samples, a new or loaded song): the journal
// keeps the whole song as it is before the change.
void edit_begin_reshape(const char* name);
// Counts one change (the journal's hooks and undo call it).
void count_edit();

// The song copied out with the audio held (about a millisecond for the largest song; the filter
// tracking writes a lane), to be encoded afterwards with the audio playing, on any thread.
std::unique_ptr<SongSnapshot> snapshot_song();

// Every change between these two is one journal entry named `name` (the outermost group names
// it). Groups nest with the gestures of the input layer.
void begin_edit_group(const char* name);
void end_edit_group();
struct EditGroup {
  explicit EditGroup(const char* name) { begin_edit_group(name); }
  ~EditGroup() { end_edit_group(); }
  EditGroup(const EditGroup&) = delete;
  EditGroup& operator=(const EditGroup&) = delete;
};
// Completes the entry of a change that is not inside a gesture or group.
void settle_journal();
// The saved state as the journal sees it.
void journal_mark_saved();
bool journal_changed_since_saved();

inline bool valid_step(int loop, int track, int step) {
  return loop >= 0 && loop < MAX_LOOPS && track >= 0 && track < MAX_TRACKS && step >= 0 &&
         step < MAX_STEPS;
}

inline bool valid_slot(int track, int slot) {
  return track >= 0 && track < song.track_count && slot >= 0 && slot < song.param_count[track] &&
         song.param_slot[track][slot].lane != nullptr;
}

inline float clampf(float v, float lo, float hi) {
  if (!(v == v)) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

// Structural changes run with the callback held and the cursors re-primed afterwards.
template <typename Change>
void with_audio_paused(Change change) {
  const unsigned previous = pause_audio();
  change();
  repoint_loop();
  resume_audio(previous);
}

// After a new, loaded or template song: the screens redraw everything from it.
void song_replaced();

// Sets or clears one step's bit of a 64-bit step mask.
void store_step_bit(uint64_t& mask, int step, bool on);

// Whether the engine could build this list of synths: count, module pools, lanes and (unless
// check_cost is false) the cost budget.
EditResult check_synth_list(const int32_t* types, int count, bool check_cost = true);

}  // namespace zorbel
