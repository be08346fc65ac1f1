// The file browser's list, its window and the name entry's alphabet and keys.
#include <gtest/gtest.h>

#include <string>

#include "files/file_names.h"
#include "files/preset_file.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

TEST(FileNamesTest, ListsAreSortedIgnoringCaseAndTheWindowWraps) {
  test::TempWorkdir dir;
  for (const char* name : {"kicks.seq", "ALPHA.SEQ", "Beta.SEQ", "A-NAME-TOO-LONG1.SEQ", "X.WAV"})
    ASSERT_TRUE(test::write_bytes(std::string("seq/") + name, {'x'}));
  EXPECT_EQ(scan_files(kFileKindSong), (std::vector<std::string>{"ALPHA.SEQ", "Beta.SEQ", "kicks.seq"}));
  EXPECT_TRUE(scan_files(kFileKindWav).empty());
  EXPECT_TRUE(file_exists("KICKS.SEQ", kFileKindSong));  // the file a save of KICKS would replace
  EXPECT_FALSE(file_exists("KICKS", kFileKindSong));
  EXPECT_FALSE(file_exists("X.WAV", kFileKindWav));
  EXPECT_EQ(make_file_name("KICKS", kFileKindSong), "KICKS.SEQ");
  EXPECT_EQ(make_file_name("TAKE1", kFileKindWav), "TAKE1.WAV");
  EXPECT_EQ(make_file_name("BASS", kFileKindPreset), "BASS");

  // 20 songs, song 1 selected: 18, 19, 0 above it, then 1 to 5.
  FileWindow window = file_list_window(20, 1);
  EXPECT_EQ(window.lines, 8);
  EXPECT_EQ(window.selected_line, 3);
  EXPECT_EQ(std::vector<int>(window.index, window.index + 8), (std::vector<int>{18, 19, 0, 1, 2, 3, 4, 5}));
  window = file_list_window(5, 4);
  EXPECT_EQ(window.lines, 5);
  EXPECT_EQ(window.selected_line, 4);
  EXPECT_EQ(window.index[4], 4);
  EXPECT_EQ(file_list_window(0, 0).lines, 0);
  EXPECT_EQ(step_selection(0, -1, 20), 19);
  EXPECT_EQ(step_selection(15, 8, 20), 3);
  EXPECT_EQ(step_selection(2, -8, 5), 4);
}

TEST(FileNamesTest, NameEntryStepsThroughItsAlphabetWithinItsLimits) {
  EXPECT_EQ(next_name_char('Z'), '0');
  EXPECT_EQ(next_name_char('9'), 'A');
  EXPECT_EQ(previous_name_char('A'), '9');
  EXPECT_EQ(previous_name_char('0'), 'Z');
  EXPECT_EQ(next_name_char(0), 'A');
  EXPECT_EQ(previous_name_char(0), 'A');
  EXPECT_EQ(next_name_char('-'), 'A');  // an old name's odd character cannot walk into "."

  NameEntry entry;
  name_entry_begin(entry, kLoopNameLength);
  EXPECT_EQ(name_entry_text(entry), "A");
  name_entry_right(entry);
  EXPECT_EQ(entry.cursor, 1);
  name_entry_right(entry);  // nothing at the cursor nor after it
  EXPECT_EQ(entry.cursor, 1);
  for (int i = 1; i <= 5; ++i) {  // an empty position becomes A, then A steps down to 9, ...
    for (int k = 0; k <= i; ++k) name_entry_down(entry);
    name_entry_right(entry);
  }
  EXPECT_EQ(entry.cursor, 5);  // the last position of a 6-character field
  EXPECT_EQ(name_entry_text(entry), "A98765");
  name_entry_left(entry);
  name_entry_left(entry);
  name_entry_delete(entry);
  EXPECT_EQ(name_entry_text(entry), "A9865");
  EXPECT_EQ(entry.text[5], 0);
  for (int i = 0; i < 9; ++i) name_entry_left(entry);
  EXPECT_EQ(entry.cursor, 0);
  name_entry_delete(entry);
  EXPECT_EQ(name_entry_text(entry), "9865");

  name_entry_begin(entry, kPresetNameLength, "LONGBASSLINE");
  EXPECT_EQ(name_entry_text(entry), "LONGBASS");

  // Typing: the first character replaces the proposed name, later ones go at the cursor; lower
  // case counts as upper, anything outside A..Z, 0..9 changes nothing. The cursor stops on the
  // last position, which a further character overwrites and Backspace empties.
  name_entry_type(entry, 'k');
  EXPECT_EQ(name_entry_text(entry), "K");
  for (char c : {'i', '-', 'c', 'k', 's', '1', '2', '3', '4'}) name_entry_type(entry, c);
  EXPECT_EQ(name_entry_text(entry), "KICKS124");
  EXPECT_EQ(entry.cursor, kPresetNameLength - 1);
  name_entry_backspace(entry);
  EXPECT_EQ(name_entry_text(entry), "KICKS12");
  name_entry_backspace(entry);
  EXPECT_EQ(name_entry_text(entry), "KICKS1");
  EXPECT_EQ(entry.cursor, 6);
  for (int i = 0; i < 5; ++i) name_entry_left(entry);
  name_entry_backspace(entry);  // before the cursor, and the rest moves left
  EXPECT_EQ(name_entry_text(entry), "ICKS1");
  EXPECT_EQ(entry.cursor, 0);
  name_entry_backspace(entry);  // at the start: the character at the cursor
  EXPECT_EQ(name_entry_text(entry), "CKS1");
  // A name moved over with the D-pad first is kept: typing then writes into it.
  name_entry_begin(entry, kSongNameLength, "DEMO");
  name_entry_right(entry);
  name_entry_type(entry, 'A');
  EXPECT_EQ(name_entry_text(entry), "DAMO");
}

}  // namespace
}  // namespace zorbel
