// Notes from the computer keyboard: the piano rows under Shift and the base octave.
#include "ui/screens/piano_keys.h"

#include <algorithm>

#include "edit/note_entry.h"
#include "ui/platform/input.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

namespace {

constexpr int kSemitonesPerOctave = 12;
// The tracker layout: the lower row with the sharps above it, then the upper row with the
// digits above it, one octave higher.
constexpr char kPianoKeys[] = "zsxdcvgbhnjmq2w3er5t6y7u";

}  // namespace

int piano_key_semitone(int key) {
  for (int i = 0; kPianoKeys[i] != '\0'; ++i)
    if (key == kPianoKeys[i]) return i;
  return -1;
}

bool piano_keys_input(int track, bool* entered) {
  *entered = false;
  // Ctrl+Shift+Z is redo, not a note.
  if (!shift_held() || button_held(kKeyLeftCtrl) || button_held(kKeyRightCtrl)) return false;
  int& octave = view_settings.piano_octave;
  if (key_acts(kBtnDUp)) octave = std::min(octave + 1, kPianoOctaveHighest);
  if (key_acts(kBtnDDn)) octave = std::max(octave - 1, kPianoOctaveLowest);
  for (int i = 0; i < input.acting_count && typing_keys_act(); ++i) {
    const int semitone = piano_key_semitone(input.acting[i]);
    if (semitone < 0) continue;
    const int note = kSemitonesPerOctave * octave + semitone;
    if (edit_enter_note(track, note, kNoteVelocityDefault) == EditResult::kOk) *entered = true;
  }
  return true;
}

}  // namespace zorbel
