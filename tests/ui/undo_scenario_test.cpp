// Undo and redo as a person reaches them: Ctrl+Z after FILL TRACK, a held change as one entry,
// a loaded song taken back, and the step editor's SELECT+L-TR / SELECT+R-TR.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "edit/edit.h"
#include "edit/undo_journal.h"
#include "files/song_file.h"
#include "tests/support/temp_workdir.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {

class UndoScenario : public DriveTest {
 protected:
  static ::testing::AssertionResult message_shows(const std::string& text) {
    return text_at(400 - 4 * static_cast<int>(text.size()), 296, text.c_str(),
                   slot(kSlotActiveMenuText));
  }
  static int trig(int step) { return song.step_trig[0][0][step]; }
  TempWorkdir dir;
};

TEST_F(UndoScenario, FillHeldChangeLoadAndTheConsoleCombination) {
  // Hits at steps 0 and 6 of track 0; FILL TRACK every 4th step from step 0 erases step 6.
  run("press X\n");
  run("hold D-RT\n tick 6\n release D-RT\n tick\n");
  ASSERT_EQ(editor_link.cursor_step, 6);
  run("press X\n");
  ASSERT_NE(trig(6), 0);
  run("hold D-LT\n tick 6\n release D-LT\n tick\n");
  ASSERT_EQ(editor_link.cursor_step, 0);
  ASSERT_EQ(fill_track(0, 0, 0, 4), EditResult::kOk);
  ASSERT_EQ(trig(6), 0);
  EXPECT_TRUE(song_changed_since_save());

  // Ctrl+Z: the hit is back, the message names the operation and the grid shows the hit.
  run("hold CTRL\n press Z\n release CTRL\n tick\n");
  EXPECT_NE(trig(6), 0);
  EXPECT_EQ(trig(4), 0);
  EXPECT_TRUE(message_shows("UNDO: FILL TRACK"));
  shot("undo_fill_track");
  // Ctrl+Y makes it again; with Ctrl down Y is not TRI (no parameter page opens).
  run("hold CTRL\n press TRI\n release CTRL\n tick\n");
  EXPECT_EQ(trig(6), 0);
  EXPECT_TRUE(message_shows("REDO: FILL TRACK"));
  EXPECT_EQ(editor_state(), kStateStepEdit);
  run("hold CTRL\n press Z\n release CTRL\n wait 2\n");
  EXPECT_FALSE(message_shows("UNDO: FILL TRACK"));  // gone after about a second

  // A two-second X+A-UP hold raises the trigger many times: one undo takes all of it back.
  run("hold D-RT\n tick 6\n release D-RT\n tick\n");
  ASSERT_EQ(editor_link.cursor_step, 6);
  edit_step_trig(0, 0, 6, 50);
  const int before = trig(6);
  const std::size_t entries = journal_stats().undoable;
  run("hold X\n hold A-UP\n wait 2\n release A-UP\n release X\n tick\n");
  ASSERT_GT(trig(6), before + 1);
  EXPECT_EQ(journal_stats().undoable, entries + 1);
  run("hold CTRL\n press Z\n release CTRL\n tick\n");
  EXPECT_EQ(trig(6), before);

  // The console combination in the step editor: SELECT held, R-TR redoes and L-TR undoes.
  run("hold SELECT\n press R-TR\n release SELECT\n tick\n");
  EXPECT_GT(trig(6), before + 1);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  shot("undo_console_redo");
  run("hold SELECT\n press L-TR\n release SELECT\n tick\n");
  EXPECT_EQ(trig(6), before);
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // LOAD a demo song, then undo: the song before and its name are back, unchanged if it was.
  std::strcpy(editor_link.song_name, "MINE");
  ASSERT_EQ(edit_save_song("MINE.SEQ"), EditResult::kOk);
  const std::vector<uint8_t> mine = encode_song("X");
  const int tracks = song.track_count;
  ASSERT_EQ(edit_load_song(ZORBEL_SOURCE_DIR "/seq/NEONRUN.SEQ", nullptr), EditResult::kOk);
  std::strcpy(editor_link.song_name, "NEONRUN");
  run("tick\n");
  EXPECT_FALSE(song_changed_since_save());
  run("hold CTRL\n press Z\n release CTRL\n tick\n");
  EXPECT_TRUE(message_shows("UNDO: LOAD SONG"));
  EXPECT_STREQ(editor_link.song_name, "MINE");
  EXPECT_EQ(song.track_count, tracks);
  EXPECT_EQ(encode_song("X"), mine);
  EXPECT_FALSE(song_changed_since_save());
  shot("undo_load_song");
  run("hold CTRL\n hold SHIFT\n press Z\n release SHIFT\n release CTRL\n tick\n");
  EXPECT_STREQ(editor_link.song_name, "NEONRUN");
  EXPECT_TRUE(message_shows("REDO: LOAD SONG"));
}

}  // namespace
}  // namespace zorbel::test
