// Folder listing by pattern, case-insensitive lookup, and replacing files without losing the old.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

using test::read_bytes;
using test::TempWorkdir;
using test::write_bytes;

TEST(NameMatches, WildcardsIgnoringCase) {
  EXPECT_TRUE(name_matches("*.SEQ", "SONG.SEQ"));
  EXPECT_TRUE(name_matches("*.SEQ", "song.seq"));
  EXPECT_TRUE(name_matches("*.WAV", "a.b.wav"));
  EXPECT_FALSE(name_matches("*.WAV", "kick.wave"));
  EXPECT_FALSE(name_matches("*.WAV", "kick.wav.tmp"));
  EXPECT_TRUE(name_matches("K?CK.*", "kick.wav"));
  EXPECT_FALSE(name_matches("*.SEQ", "SEQ"));
  EXPECT_TRUE(name_matches("*", ""));
}

TEST(ListFolder, MatchesExtensionInDirectoryOrderAndSkipsFolders) {
  TempWorkdir dir;
  for (const char* name : {"seq/ONE.SEQ", "seq/two.seq", "seq/three.Seq", "seq/notes.txt",
                           "seq/FOUR.SEQ.tmp"})
    ASSERT_TRUE(write_bytes(name, {1}));
  std::filesystem::create_directory("seq/DIR.SEQ");
  std::vector<std::string> listed = list_folder(kSongFolder, "*.SEQ");
  std::vector<std::string> sorted = listed;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"ONE.SEQ", "three.Seq", "two.seq"}));

  // The directory's own order, whatever it is, is kept.
  std::vector<std::string> raw;
  for (const auto& e : std::filesystem::directory_iterator("seq")) {
    const std::string n = e.path().filename().string();
    if (n == "ONE.SEQ" || n == "two.seq" || n == "three.Seq") raw.push_back(n);
  }
  EXPECT_EQ(listed, raw);
  EXPECT_EQ(list_folder(kSongFolder, "*.SEQ", 2).size(), 2u);
}

TEST(ListFolder, MissingFolderListsNothing) {
  TempWorkdir dir;
  EXPECT_TRUE(list_folder("./nothere/", "*.SEQ").empty());
}

TEST(OpenInFolder, FindsANameIgnoringCase) {
  TempWorkdir dir;
  ASSERT_TRUE(write_bytes("wav/kick.wav", {42}));
  std::FILE* f = open_in_folder(kWavFolder, "KICK.WAV", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fgetc(f), 42);
  std::fclose(f);
  EXPECT_EQ(path_in_folder(kWavFolder, "KICK.WAV"), "./wav/kick.wav");
  EXPECT_EQ(path_in_folder(kWavFolder, "NEW.WAV"), "./wav/NEW.WAV");
  EXPECT_EQ(open_in_folder(kWavFolder, "SNARE.WAV", "rb"), nullptr);
}

TEST(ReplaceFile, ReplacesOnlyAfterACompleteWrite) {
  TempWorkdir dir;
  ASSERT_TRUE(write_bytes("seq/A.SEQ", {1, 2, 3}));
  ASSERT_TRUE(replace_file("seq/A.SEQ", {9, 8}));
  EXPECT_EQ(read_bytes("seq/A.SEQ"), (std::vector<uint8_t>{9, 8}));
  EXPECT_FALSE(std::filesystem::exists("seq/A.SEQ.tmp"));
}

TEST(ReplaceFile, DiscardedWriteLeavesTheOldFile) {
  TempWorkdir dir;
  ASSERT_TRUE(write_bytes("seq/A.SEQ", {1, 2, 3}));
  {
    ReplacingFile out;
    ASSERT_TRUE(out.open("seq/A.SEQ"));
    std::fputc(5, out.file());
  }  // destroyed without commit
  EXPECT_EQ(read_bytes("seq/A.SEQ"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::exists("seq/A.SEQ.tmp"));
}

TEST(ReplaceFile, FailsCleanlyWhereNothingCanBeWritten) {
  TempWorkdir dir;
  EXPECT_FALSE(replace_file("nofolder/A.SEQ", {1}));
  if (::geteuid() != 0) {  // root ignores permissions
    ASSERT_TRUE(write_bytes("seq/A.SEQ", {1}));
    ::chmod("seq", 0500);
    EXPECT_FALSE(replace_file("seq/A.SEQ", {2}));
    ::chmod("seq", 0700);
    EXPECT_EQ(read_bytes("seq/A.SEQ"), (std::vector<uint8_t>{1}));
  }
}

TEST(ReplaceFile, WritesIntoADeviceInPlace) {
  EXPECT_TRUE(replace_file("/dev/null", {1, 2, 3}));
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(ReplaceFile, FullDeviceIsAFailure) {
  // Writes to /dev/full fail at the flush: the caller must hear of it.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  EXPECT_FALSE(replace_file("/dev/full", std::vector<uint8_t>(10, 1)));
}

}  // namespace
}  // namespace zorbel
