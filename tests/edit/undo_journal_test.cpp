// The undo journal: thousands of random edit operations undone and redone to the byte, gestures
// and groups as single entries, song images for new and loaded songs, the saved state and the
// byte limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "edit/undo_journal.h"
#include "engine/builtin_sounds.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"
#include "files/preset_file.h"
#include "files/song_file.h"
#include "synth/synth_types.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel::test {
namespace {

class UndoJournalTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(edit_new_song(0), EditResult::kOk);
    reset_journal();
  }
  TempWorkdir dir;
};

// The song as a file, under one name so that names do not differ.
std::vector<uint8_t> song_bytes() { return encode_song("CHECK"); }

// One random operation of the edit layer, drawn from every kind a musician can undo.
struct RandomEditor {
  std::mt19937 rng;
  int loads = 0;

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  float unit() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng); }
  int track() { return pick(0, song.track_count - 1); }
  int loop() { return pick(0, 3); }  // a few loops, so changes meet each other
  int slot(int t) { return pick(0, song.param_count[t] - 1); }
  float value(int t, int k) {
    float lo = 0.0f, hi = 1.0f;
    param_range(t, k, &lo, &hi);
    return lo + (hi - lo) * unit();
  }

  void values() {
    const int t = track(), l = loop(), s = pick(0, 63);
    switch (pick(0, 7)) {
      case 0: edit_step_trig(l, t, s, pick(0, 100)); break;
      case 1: edit_step_vol(l, t, s, unit()); break;
      case 2: edit_step_legato(l, t, s, pick(0, 1)); break;
      case 3: { const int k = slot(t); edit_param(t, k, l, s, value(t, k)); break; }
      case 4: { const int k = slot(t); edit_param_steps(t, k, l, pick(0, s), s, value(t, k)); break; }
      case 5: { const int k = slot(t); edit_param_all_loops(t, k, value(t, k)); break; }
      case 6: edit_track_vol(t, unit() * 2.0f); break;
      default: edit_track_enable(l, t, pick(0, 1)); break;
    }
  }

  void settings() {
    switch (pick(0, 13)) {
      case 0: edit_solo(loop(), track()); break;
      case 1: edit_unmute_all(loop()); break;
      case 2: edit_stereoize(track(), pick(0, 1)); break;
      case 3: edit_humanize(track(), unit()); break;
      case 4: edit_master_vol(unit() * 3.0f); break;
      case 5: edit_bpm(static_cast<float>(pick(40, 250))); break;
      case 6: edit_swing(static_cast<float>(pick(1, 99))); break;
      case 7: edit_swing_steps(pick(1, 64)); break;
      case 8: edit_seqlen(pick(1, 64)); break;
      case 9: edit_loop_name(loop(), pick(0, 1) ? "INTRO" : "DROP"); break;
      case 10: edit_song_entry(pick(0, 20), pick(-2, 99), pick(1, 99)); break;
      case 11: edit_song_insert(pick(0, 20)); break;
      case 12: edit_song_delete(pick(0, 20)); break;
      default: {
        const int t = track();
        if (song.freq_mode[t] != kFreqNone) edit_set_freq_mode(t);
      }
    }
  }

  void pattern() {
    const int t = track(), u = track(), l = loop();
    switch (pick(0, 8)) {
      case 0: clear_steps(l, t, pick(0, 20), pick(20, 63)); break;
      case 1: clear_loop(l); break;
      case 2: fill_track(l, t, pick(0, 40), pick(1, 16)); break;
      case 3: shift_track(l, t, pick(0, 63), pick(-16, 16), pick(0, 1)); break;
      case 4: copy_between_tracks(static_cast<TrackCopy>(pick(0, 5)), l, t, u); break;
      case 5: copy_loop(l, loop()); break;
      case 6: copy_track_to_loop(t, l, loop()); break;
      case 7: copy_track_to_all_loops(t, l); break;
      default: {
        PresetValues p = track_preset_values(t, l, pick(0, 63));
        for (int k = 0; k < p.count; ++k) p.values[k] = value(t, k);
        edit_apply_preset(t, p, static_cast<PresetRange>(pick(0, 2)), l, pick(0, 63), pick(0, 1));
      }
    }
  }

  // Changes of shape: rare, as a musician makes them.
  void shape(const std::string& saved_file) {
    switch (pick(0, 4)) {
      case 0: edit_add_synth(pick(0, kTypeCount - 1)); break;
      case 1: edit_delete_last_synth(); break;
      case 2: edit_delete_synth(track()); break;
      case 3: edit_new_song(pick(0, kTemplateCount - 1)); break;
      default:
        if (edit_load_song(saved_file.c_str(), nullptr) == EditResult::kOk) ++loads;
    }
  }

  void step(const std::string& saved_file) {
    const int kind = pick(0, 199);
    if (kind < 2) {
      shape(saved_file);
    } else if (kind < 10) {
      // A held change: many ticks, one entry.
      begin_gesture();
      for (int i = pick(2, 6); i > 0; --i) values();
      end_gesture();
    } else if (kind < 110) {
      values();
    } else if (kind < 150) {
      settings();
    } else {
      pattern();
    }
  }
};

struct Checkpoint {
  std::size_t undoable;
  std::vector<uint8_t> bytes;
};

TEST_F(UndoJournalTest, TenThousandRandomChangesUndoAndRedoToTheByte) {
  RandomEditor editor{std::mt19937(20261208)};
  // Every entry stays, so that the start can be reached again.
  set_journal_byte_limit(std::size_t{1} << 30);
  const std::vector<uint8_t> start = song_bytes();
  ASSERT_EQ(edit_save_song("START.SEQ"), EditResult::kOk);
  const std::string saved_file = "seq/START.SEQ";
  std::vector<Checkpoint> checkpoints;
  Checkpoint saved;
  std::vector<uint8_t> saved_file_bytes;
  constexpr int kOperations = 10000;
  for (int i = 1; i <= kOperations; ++i) {
    editor.step(saved_file);
    if (i % 1000 == 0) checkpoints.push_back({journal_stats().undoable, song_bytes()});
    if (i == 4321) {
      ASSERT_EQ(edit_save_song("MID.SEQ"), EditResult::kOk);
      saved = {journal_stats().undoable, song_bytes()};
      saved_file_bytes = read_bytes("seq/MID.SEQ");
      EXPECT_FALSE(song_changed_since_save());
    }
  }
  const std::vector<uint8_t> end = song_bytes();
  const JournalStats full = journal_stats();
  ASSERT_GT(full.entries, 1000u);
  EXPECT_EQ(full.undoable, full.entries);
  std::printf("journal after %d operations: %zu entries, %zu bytes\n", kOperations, full.entries,
              full.bytes);
  EXPECT_GT(editor.loads, 0);
  EXPECT_FALSE(can_redo());
  EXPECT_TRUE(song_changed_since_save());

  // Undo all the way, passing every checkpoint and the save.
  int next = static_cast<int>(checkpoints.size()) - 1;
  bool saved_seen = false;
  while (can_undo()) {
    const std::size_t undoable = journal_stats().undoable;
    if (next >= 0 && checkpoints[next].undoable == undoable) {
      EXPECT_EQ(song_bytes(), checkpoints[next].bytes) << "checkpoint " << next;
      --next;
    }
    if (undoable == saved.undoable) {
      EXPECT_FALSE(song_changed_since_save());
      EXPECT_EQ(song_bytes(), saved.bytes);
      saved_seen = true;
    }
    const UndoStep st = undo_change();
    ASSERT_TRUE(st.done);
  }
  EXPECT_TRUE(saved_seen);
  EXPECT_EQ(song_bytes(), start);
  EXPECT_FALSE(undo_change().done);

  // Redo all the way: the end again.
  std::size_t redone = 0;
  while (can_redo()) {
    ASSERT_TRUE(redo_change().done);
    ++redone;
  }
  EXPECT_EQ(redone, full.entries);
  EXPECT_EQ(song_bytes(), end);

  // Undo halfway, to the save, and save again: the same file.
  while (journal_stats().undoable > saved.undoable) ASSERT_TRUE(undo_change().done);
  EXPECT_FALSE(song_changed_since_save());
  ASSERT_EQ(edit_save_song("MID.SEQ"), EditResult::kOk);
  EXPECT_EQ(read_bytes("seq/MID.SEQ"), saved_file_bytes);
}

}  // namespace
}  // namespace zorbel::test
