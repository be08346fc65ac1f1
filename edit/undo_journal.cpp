// The undo journal: byte runs found against a shadow of the song, song images for changes of
// its shape, gestures, and the saved state that follows the entries.
#include "edit/undo_journal.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "edit/edit_support.h"
#include "files/song_file.h"

namespace zorbel {

namespace {

// ---- Where a run of changed bytes lies ----

enum class Area : uint8_t {
  kSong,     // bytes of a table of `song` (offset from the start of the struct)
  kLane,     // bytes of one parameter lane (offset from the lane's start)
  kSlotDef,  // a parameter slot's default
  kSlotCls,  // a parameter slot's class
};

// One journaled table of `song` and how its index maps to a loop and a track.
struct SongTable {
  std::size_t offset;
  std::size_t size;
  std::size_t loop_bytes;   // bytes per loop, 0 when the table is not per loop
  std::size_t track_bytes;  // bytes per track (within a loop), 0 when not per track
};

#define ZORBEL_TABLE(field, per_loop, per_track) \
  SongTable { offsetof(Song, field), sizeof(Song::field), per_loop, per_track }

// The hit marks are the editor's own and not part of the song; the shape (synth types, names,
// parameter counts, slots) changes only with a song image.
const SongTable kSongTables[] = {
    ZORBEL_TABLE(loop_name, kLoopNameLen, 0),
    ZORBEL_TABLE(bpm, 0, 0),
    ZORBEL_TABLE(swing_pct, 0, 0),
    ZORBEL_TABLE(swing_steps, 0, 0),
    ZORBEL_TABLE(seqlen, 0, 0),
    {offsetof(Song, song_list), SONG_LENGTH * sizeof(int16_t), 0, 0},  // not the sentinel
    ZORBEL_TABLE(song_reps, 0, 0),
    ZORBEL_TABLE(loop_track_enable, MAX_TRACKS * sizeof(int16_t), sizeof(int16_t)),
    ZORBEL_TABLE(stereoize, 0, sizeof(float)),
    ZORBEL_TABLE(step_trig, MAX_TRACKS * MAX_STEPS, MAX_STEPS),
    ZORBEL_TABLE(step_vol, MAX_TRACKS * MAX_STEPS * sizeof(float), MAX_STEPS * sizeof(float)),
    ZORBEL_TABLE(track_vol, 0, sizeof(float)),
    ZORBEL_TABLE(master_vol, 0, 0),
    ZORBEL_TABLE(legato_steps, MAX_TRACKS * sizeof(uint64_t), sizeof(uint64_t)),
    ZORBEL_TABLE(humanize, 0, sizeof(float)),
    ZORBEL_TABLE(freq_mode, 0, sizeof(int32_t)),
};

#undef ZORBEL_TABLE

struct Run {
  Area area;
  uint8_t track;
  uint8_t slot;
  uint32_t offset;
  uint32_t size;
  std::size_t data_at;  // where the run's other bytes lie in Entry::data
};

struct Entry {
  uint64_t id = 0;
  char name[kUndoNameLen] = {};
  int loop = -1;
  int track = -1;
  std::vector<Run> runs;       // in the order the change made them
  std::vector<uint8_t> data;   // the bytes of the side of the change the song does not show
  // A change of the song's shape: the song file of the other side, its name and whether that
  // side equalled its file.
  bool reshaped = false;
  std::vector<uint8_t> image;
  std::string song_name;
  // The synths' display names: a song read back numbers them afresh, the song had kept them.
  char track_names[MAX_TRACKS][kTrackNameLen] = {};
  uint64_t song_id = 0;  // the new or loaded song this entry changes (the id that began it)

  std::size_t bytes() const {
    return sizeof(Entry) + runs.capacity() * sizeof(Run) + data.capacity() + image.capacity() +
           song_name.capacity();
  }
};

struct SavedState {
  uint64_t state;  // the id of the entry that left it (or the base id)
  uint64_t song;
};
constexpr std::size_t kMostSavedStates = 256;

struct Journal {
  std::deque<Entry> entries;  // oldest first
  std::size_t applied = 0;    // entries [0, applied) are undoable, the rest redoable
  std::size_t bytes = 0;
  std::size_t byte_limit = kJournalByteLimit;
  uint64_t next_id = 1;
  uint64_t base_id = 0;       // the state below the oldest entry
  uint64_t base_song = 0;     // the song of the state below the oldest entry
  // The states that equal a file: one per song (a new or loaded song starts another), so that
  // undoing a load finds the song before it as saved as it was.
  std::vector<SavedState> saved;

  // The entry being made; open while a change or a gesture is under way.
  bool open = false;
  Entry pending;
  int gesture_depth = 0;
  const char* group_name = nullptr;
  bool saved_when_closed = false;  // the open entry's song was saved or loaded as a file
  bool starts_song = false;        // the open entry brings a new or loaded song

  // The song as the newest entry left it.
  bool shadow_valid = false;
  std::vector<uint8_t> song_shadow;
  std::vector<float> lane_shadow[MAX_TRACKS][PARAM_SLOTS];
  float def_shadow[MAX_TRACKS][PARAM_SLOTS];
  const float* lane_at[MAX_TRACKS][PARAM_SLOTS];  // the shape the shadow was taken of
  int track_count = 0;
  ParamClass cls_shadow[MAX_TRACKS][PARAM_SLOTS];
};

Journal journal;

uint8_t* song_bytes() { return reinterpret_cast<uint8_t*>(&song); }

bool slot_in_use(int track, int slot) {
  return track < song.track_count && slot < song.param_count[track] &&
         song.param_slot[track][slot].lane != nullptr;
}

// ---- The shadow ----

void sync_shadow() {
  journal.song_shadow.resize(sizeof(Song));
  for (const SongTable& t : kSongTables)
    std::memcpy(journal.song_shadow.data() + t.offset, song_bytes() + t.offset, t.size);
  for (int t = 0; t < MAX_TRACKS; ++t)
    for (int k = 0; k < PARAM_SLOTS; ++k) {
      std::vector<float>& lane = journal.lane_shadow[t][k];
      if (!slot_in_use(t, k)) {
        lane.clear();
        lane.shrink_to_fit();
        continue;
      }
      const ParamSlot& slot = song.param_slot[t][k];
      lane.assign(slot.lane, slot.lane + kLaneLength);
      journal.lane_at[t][k] = slot.lane;
      journal.def_shadow[t][k] = slot.def;
      journal.cls_shadow[t][k] = slot.cls;
    }
  journal.track_count = song.track_count;
  journal.shadow_valid = true;
}

// Whether the song still has the shape the shadow was taken of. A song replaced other than by
// the edit layer (start-up, a test's fresh engine) has not.
bool shadow_fits() {
  if (!journal.shadow_valid || journal.track_count != song.track_count) return false;
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < PARAM_SLOTS; ++k) {
      const bool used = slot_in_use(t, k);
      if (used != !journal.lane_shadow[t][k].empty()) return false;
      if (used && journal.lane_at[t][k] != song.param_slot[t][k].lane) return false;
    }
  return true;
}

// Finds the runs in which live differs from shadow (short equal gaps joined), keeps the shadow's
// bytes in the entry and brings the shadow up to date.
void diff_bytes(uint8_t* live, uint8_t* shadow, std::size_t size, Run where, Entry& e) {
  constexpr std::size_t kChunk = 256;
  constexpr std::size_t kJoinGap = 8;
  std::size_t i = 0;
  while (i < size) {
    if (i % kChunk == 0 && i + kChunk <= size && std::memcmp(live + i, shadow + i, kChunk) == 0) {
      i += kChunk;
      continue;
    }
    if (live[i] == shadow[i]) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    for (std::size_t k = end; k < size && k - end < kJoinGap; ++k)
      if (live[k] != shadow[k]) end = k + 1;
    Run run = where;
    run.offset = static_cast<uint32_t>(where.offset + i);
    run.size = static_cast<uint32_t>(end - i);
    run.data_at = e.data.size();
    e.data.insert(e.data.end(), shadow + i, shadow + end);
    std::memcpy(shadow + i, live + i, end - i);
    e.runs.push_back(run);
    i = end;
  }
}

// Where the first run of an entry lies, for the view after an undo.
void locate(const Run& run, Entry& e) {
  if (run.area != Area::kSong) {
    e.track = run.track;
    if (run.area == Area::kLane) e.loop = static_cast<int>(run.offset / sizeof(float) / MAX_STEPS);
    return;
  }
  for (const SongTable& t : kSongTables) {
    if (run.offset < t.offset || run.offset >= t.offset + t.size) continue;
    const std::size_t at = run.offset - t.offset;
    if (t.loop_bytes) e.loop = static_cast<int>(at / t.loop_bytes);
    if (t.track_bytes)
      e.track = static_cast<int>((t.loop_bytes ? at % t.loop_bytes : at) / t.track_bytes);
    return;
  }
}

void diff_song(Entry& e) {
  for (const SongTable& t : kSongTables)
    diff_bytes(song_bytes() + t.offset, journal.song_shadow.data() + t.offset, t.size,
               Run{Area::kSong, 0, 0, static_cast<uint32_t>(t.offset), 0, 0}, e);
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k) {
      if (!slot_in_use(t, k)) continue;
      ParamSlot& slot = song.param_slot[t][k];
      const uint8_t track = static_cast<uint8_t>(t), index = static_cast<uint8_t>(k);
      diff_bytes(reinterpret_cast<uint8_t*>(slot.lane),
                 reinterpret_cast<uint8_t*>(journal.lane_shadow[t][k].data()),
                 kLaneLength * sizeof(float), Run{Area::kLane, track, index, 0, 0, 0}, e);
      diff_bytes(reinterpret_cast<uint8_t*>(&slot.def),
                 reinterpret_cast<uint8_t*>(&journal.def_shadow[t][k]), sizeof slot.def,
                 Run{Area::kSlotDef, track, index, 0, 0, 0}, e);
      diff_bytes(reinterpret_cast<uint8_t*>(&slot.cls),
                 reinterpret_cast<uint8_t*>(&journal.cls_shadow[t][k]), sizeof slot.cls,
                 Run{Area::kSlotCls, track, index, 0, 0, 0}, e);
    }
}

// The song's bytes a run stands for; null when the song no longer has them.
uint8_t* run_target(const Run& run) {
  switch (run.area) {
    case Area::kSong: return song_bytes() + run.offset;
    case Area::kLane:
      return slot_in_use(run.track, run.slot)
                 ? reinterpret_cast<uint8_t*>(song.param_slot[run.track][run.slot].lane) +
                       run.offset
                 : nullptr;
    case Area::kSlotDef:
      return slot_in_use(run.track, run.slot)
                 ? reinterpret_cast<uint8_t*>(&song.param_slot[run.track][run.slot].def)
                 : nullptr;
    case Area::kSlotCls:
      return slot_in_use(run.track, run.slot)
                 ? reinterpret_cast<uint8_t*>(&song.param_slot[run.track][run.slot].cls)
                 : nullptr;
  }
  return nullptr;
}

// Exchanges the song's bytes of one run with the entry's.
void swap_run(const Run& run, Entry& e) {
  uint8_t* live = run_target(run);
  if (!live) return;
  uint8_t* kept = e.data.data() + run.data_at;
  for (uint32_t i = 0; i < run.size; ++i) {
    const uint8_t b = live[i];
    live[i] = kept[i];
    kept[i] = b;
  }
}

// ---- Song images ----

std::vector<uint8_t> current_image() {
  const unsigned previous = pause_audio();
  std::vector<uint8_t> bytes = encode_song(editor_link.song_name);
  resume_audio(previous);
  return bytes;
}

// Puts the song of an image back, keeping the place the transport plays.
void apply_image(const std::vector<uint8_t>& bytes) {
  SongImage image;
  std::string reason;
  if (!parse_song_file(bytes.data(), bytes.size(), image, reason)) return;
  const int loop = transport.current_loop;
  const uint16_t mode = transport.play_mode;
  const uint16_t position = transport.song_pos;
  with_audio_paused([&] {
    apply_song_image(image);
    transport.current_loop = loop;
    transport.play_mode = mode;
    transport.song_pos = position;
  });
  if (editor_link.cursor_track >= song.track_count) editor_link.cursor_track = song.track_count - 1;
  song_replaced();
}

// ---- Entries ----

uint64_t state_id() {
  return journal.applied ? journal.entries[journal.applied - 1].id : journal.base_id;
}

uint64_t state_song() {
  return journal.applied ? journal.entries[journal.applied - 1].song_id : journal.base_song;
}

bool at_saved_state() {
  const uint64_t id = state_id();
  for (const SavedState& s : journal.saved)
    if (s.state == id) return true;
  return false;
}

// The song as it is now equals its file: any other state of the same song no longer does.
void mark_state_saved() {
  const uint64_t song_now = state_song();
  std::vector<SavedState>& saved = journal.saved;
  for (std::size_t i = saved.size(); i-- > 0;)
    if (saved[i].song == song_now) saved.erase(saved.begin() + static_cast<long>(i));
  if (saved.size() >= kMostSavedStates) saved.erase(saved.begin());
  saved.push_back(SavedState{state_id(), song_now});
}

void drop_oldest() {
  Entry& oldest = journal.entries.front();
  journal.bytes -= oldest.bytes();
  journal.base_id = oldest.id;
  journal.base_song = oldest.song_id;
  journal.entries.pop_front();
  --journal.applied;
}

void push_entry(Entry&& e) {
  // A new change ends the changes that were undone.
  while (journal.entries.size() > journal.applied) {
    journal.bytes -= journal.entries.back().bytes();
    journal.entries.pop_back();
  }
  e.data.shrink_to_fit();
  e.runs.shrink_to_fit();
  journal.bytes += e.bytes();
  journal.entries.push_back(std::move(e));
  ++journal.applied;
  while (journal.bytes > journal.byte_limit && journal.applied > 1) drop_oldest();
}

// A song the journal did not see arrive starts it afresh.
void forget_entries() {
  journal.entries.clear();
  journal.applied = 0;
  journal.bytes = 0;
  journal.base_id = journal.base_song = journal.next_id++;
  journal.saved.assign(1, SavedState{journal.base_id, journal.base_song});
}

void fit_shadow() {
  if (shadow_fits()) return;
  if (journal.shadow_valid) forget_entries();
  sync_shadow();
}

// Completes the open entry: its runs are found and it joins the journal, unless nothing changed.
void close_entry() {
  if (!journal.open) return;
  journal.open = false;
  Entry e = std::move(journal.pending);
  journal.pending = Entry{};
  if (!e.reshaped && !shadow_fits()) {
    // The song was replaced behind the edit layer: nothing before it can be undone.
    forget_entries();
    sync_shadow();
    journal.saved_when_closed = false;
    journal.starts_song = false;
    return;
  }
  if (e.reshaped) {
    sync_shadow();
  } else {
    diff_song(e);
    if (!e.runs.empty()) locate(e.runs.front(), e);
  }
  if (e.reshaped || !e.runs.empty()) {
    e.id = journal.next_id++;
    e.song_id = journal.starts_song ? e.id : state_song();
    push_entry(std::move(e));
  }
  journal.starts_song = false;
  if (journal.saved_when_closed) {
    journal.saved_when_closed = false;
    mark_state_saved();
  }
}

// Whether the song differs from the shadow (the state the newest entry left).
bool differs_from_shadow() {
  for (const SongTable& t : kSongTables)
    if (std::memcmp(song_bytes() + t.offset, journal.song_shadow.data() + t.offset, t.size) != 0)
      return true;
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k) {
      if (!slot_in_use(t, k)) continue;
      const ParamSlot& slot = song.param_slot[t][k];
      if (std::memcmp(slot.lane, journal.lane_shadow[t][k].data(), kLaneLength * sizeof(float)) != 0 ||
          slot.def != journal.def_shadow[t][k] || slot.cls != journal.cls_shadow[t][k])
        return true;
    }
  return false;
}

// After an undo or redo of runs: the shadow takes the song's bytes of the same runs.
void shadow_follows(const Entry& e) {
  for (const Run& run : e.runs) {
    const uint8_t* live = run_target(run);
    if (!live) continue;
    switch (run.area) {
      case Area::kSong:
        std::memcpy(journal.song_shadow.data() + run.offset, live, run.size);
        break;
      case Area::kLane:
        std::memcpy(reinterpret_cast<uint8_t*>(journal.lane_shadow[run.track][run.slot].data()) +
                        run.offset,
                    live, run.size);
        break;
      case Area::kSlotDef:
        journal.def_shadow[run.track][run.slot] = song.param_slot[run.track][run.slot].def;
        break;
      case Area::kSlotCls:
        journal.cls_shadow[run.track][run.slot] = song.param_slot[run.track][run.slot].cls;
        break;
    }
  }
}

void open_entry(const char* name) {
  if (journal.open) {
    if (!journal.pending.name[0] && name) std::snprintf(journal.pending.name, kUndoNameLen, "%s", name);
    return;
  }
  fit_shadow();
  journal.open = true;
  const char* label = journal.group_name ? journal.group_name : name;
  std::snprintf(journal.pending.name, kUndoNameLen, "%s", label ? label : "");
}

// A change outside any gesture or group ends the entry before it.
void settle_before_change() {
  if (journal.gesture_depth == 0) close_entry();
}

}  // namespace

// ---- The edit layer's hooks ----

void edit_begin(const char* name) {
  settle_before_change();
  open_entry(name);
  count_edit();
}

void edit_begin_reshape(const char* name) {
  settle_before_change();
  open_entry(name);
  Entry& e = journal.pending;
  if (!e.reshaped) {
    // Changes already made in this entry keep their runs; the image holds the song after them.
    diff_song(e);
    e.reshaped = true;
    e.image = current_image();
    e.song_name = editor_link.song_name;
    std::memcpy(e.track_names, song.track_name, sizeof e.track_names);
    if (!e.runs.empty()) locate(e.runs.front(), e);
  }
  count_edit();
}

void begin_edit_group(const char* name) {
  if (journal.gesture_depth == 0) close_entry();
  // The group's first change may come before its first edit_begin (a preset's mode).
  if (!journal.open) fit_shadow();
  if (!journal.group_name) journal.group_name = name;
  ++journal.gesture_depth;
}

void end_edit_group() {
  if (journal.gesture_depth > 0 && --journal.gesture_depth == 0) {
    journal.group_name = nullptr;
    close_entry();
  }
}

void settle_journal() {
  if (journal.gesture_depth == 0) close_entry();
}

void journal_mark_saved() {
  // A song image saved as it is made is a new or loaded song: another file's song.
  if (journal.open && journal.pending.reshaped) journal.starts_song = true;
  settle_journal();
  if (journal.open) {
    // Inside a gesture the entry completes later; the song it leaves is the saved one.
    journal.saved_when_closed = true;
    return;
  }
  mark_state_saved();
}

bool journal_changed_since_saved() {
  settle_journal();
  if (journal.open) {
    if (journal.saved_when_closed) return false;
    if (journal.pending.reshaped || differs_from_shadow()) return true;
  }
  return !at_saved_state();
}

// ---- Undo and redo ----

void begin_gesture() { begin_edit_group(nullptr); }
void end_gesture() { end_edit_group(); }

namespace {

UndoStep report(const Entry& e) {
  UndoStep step;
  step.done = true;
  std::memcpy(step.name, e.name, kUndoNameLen);
  step.loop = e.loop;
  step.track = e.track;
  return step;
}

// Swaps the entry's image (and song name) with the song's.
void exchange_image(Entry& e) {
  std::vector<uint8_t> other = current_image();
  std::string other_name = editor_link.song_name;
  char other_tracks[MAX_TRACKS][kTrackNameLen];
  std::memcpy(other_tracks, song.track_name, sizeof other_tracks);
  apply_image(e.image);
  std::memcpy(song.track_name, e.track_names, sizeof e.track_names);
  std::memcpy(e.track_names, other_tracks, sizeof other_tracks);
  std::snprintf(editor_link.song_name, sizeof editor_link.song_name, "%s", e.song_name.c_str());
  journal.bytes -= e.bytes();
  e.image = std::move(other);
  e.song_name = std::move(other_name);
  journal.bytes += e.bytes();
}

void swap_runs(Entry& e, bool backwards) {
  const unsigned previous = pause_audio();
  const std::size_t n = e.runs.size();
  for (std::size_t i = 0; i < n; ++i) swap_run(e.runs[backwards ? n - 1 - i : i], e);
  repoint_loop();
  resume_audio(previous);
}

void finish_exchange(const Entry& e) {
  if (e.reshaped) {
    sync_shadow();
  } else {
    shadow_follows(e);
  }
  editor_link.redraw_screen.store(true);
  editor_link.redraw_grid.store(true);
  count_edit();
}

// Undo and redo end a gesture still held (the undo keys themselves are one).
void end_all_gestures() {
  journal.gesture_depth = 0;
  journal.group_name = nullptr;
  close_entry();
  fit_shadow();
}


}  // namespace

UndoStep undo_change() {
  end_all_gestures();
  if (journal.applied == 0) return UndoStep{};
  Entry& e = journal.entries[journal.applied - 1];
  // The image holds the song after the entry's runs: it goes back first, then the runs.
  if (e.reshaped) exchange_image(e);
  swap_runs(e, true);
  --journal.applied;
  finish_exchange(e);
  return report(e);
}

UndoStep redo_change() {
  end_all_gestures();
  if (journal.applied >= journal.entries.size()) return UndoStep{};
  Entry& e = journal.entries[journal.applied];
  swap_runs(e, false);
  if (e.reshaped) exchange_image(e);
  ++journal.applied;
  finish_exchange(e);
  return report(e);
}

bool can_undo() {
  settle_journal();
  return journal.applied > 0;
}

bool can_redo() {
  settle_journal();
  return journal.applied < journal.entries.size();
}

JournalStats journal_stats() {
  settle_journal();
  return JournalStats{journal.entries.size(), journal.applied, journal.bytes};
}

void reset_journal() {
  const std::size_t limit = journal.byte_limit;
  forget_entries();
  journal.open = false;
  journal.pending = Entry{};
  journal.gesture_depth = 0;
  journal.group_name = nullptr;
  journal.saved_when_closed = false;
  journal.shadow_valid = false;
  journal.byte_limit = limit;
}

void set_journal_byte_limit(std::size_t bytes) {
  journal.byte_limit = bytes ? bytes : kJournalByteLimit;
  while (journal.bytes > journal.byte_limit && journal.applied > 1) drop_oldest();
}

}  // namespace zorbel
