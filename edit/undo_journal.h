// The undo journal: every change of the song made through the edit layer can be taken back and
// made again, in order, one entry per operation or per held gesture.
//
// An entry keeps only the bytes its change touched (found by comparing the song with a shadow
// copy once the change is complete) and swaps them with the song's on undo and redo, so each
// entry holds one side of its change. A change of the song's shape (new, load, synths added or
// deleted, samples) keeps one encoded song image instead. The journal holds the newest entries
// up to kJournalByteLimit, dropping the oldest first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbel {

constexpr std::size_t kJournalByteLimit = std::size_t{64} << 20;  // bytes of all entries
constexpr int kUndoNameLen = 28;  // bytes of an entry's name, terminator included

// What one undo or redo did, for the screen's message and view.
struct UndoStep {
  bool done = false;            // false: nothing to undo (or redo)
  char name[kUndoNameLen] = {};  // the operation, e.g. "FILL TRACK"
  int loop = -1;                // the loop the change was made in; -1 when it was not in one
  int track = -1;               // the track it was made to; -1 when none
};

// Press and release: every change between the first begin and the matching end is one entry.
// The input layer holds a gesture while any button or mouse button is down.
void begin_gesture();
void end_gesture();

// Takes back the newest entry (redo: makes the next one again), with the audio held.
UndoStep undo_change();
UndoStep redo_change();
bool can_undo();
bool can_redo();

struct JournalStats {
  std::size_t entries = 0;   // undoable plus redoable
  std::size_t undoable = 0;
  std::size_t bytes = 0;    // what the entries hold
};
JournalStats journal_stats();

// Empties the journal; the song as it is now is the starting point of the next entry.
void reset_journal();
// For tests: a smaller byte limit (0 restores kJournalByteLimit).
void set_journal_byte_limit(std::size_t bytes);

}  // namespace zorbel
