// MIDI note numbers to frequencies: equal temperament around note 69 = 440 Hz.
#include "synth/note_table.h"

#include <cmath>

#include "synth/param_value.h"

namespace zorbel {

namespace {

constexpr int kNotes = 128;

struct NoteTable {
  float hz[kNotes];
  NoteTable() {
    for (int n = 0; n < kNotes; ++n) hz[n] = static_cast<float>(440.0 * std::pow(2.0, (n - 69) / 12.0));
  }
};

const NoteTable kNoteTable;

}  // namespace

float note_frequency(float note) {
  int n = truncate_to_int32(note);
  if (n < 0) n = 0;
  if (n >= kNotes) n = kNotes - 1;
  return kNoteTable.hz[n];
}

}  // namespace zorbel
