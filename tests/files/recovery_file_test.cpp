// Safe replacement against planted links, read-only files and kept modes, and the recovery
// file's backups and fallback folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_replace.h"
#include "files/recovery_file.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

using test::read_bytes;
using test::TempWorkdir;
using test::write_bytes;

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

int mode_of(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

TEST(ReplaceFile, WritesOnlyTheFileItNamesAndKeepsItsMode) {
  TempWorkdir dir;
  // A link left at the old temporary's name points at another file: neither is followed.
  ASSERT_TRUE(write_bytes("victim", {7, 7}));
  ASSERT_EQ(::symlink("../victim", "seq/OUT.SEQ.tmp"), 0);
  ASSERT_TRUE(replace_file("seq/OUT.SEQ", {1, 2}));
  EXPECT_EQ(read_bytes("victim"), (std::vector<uint8_t>{7, 7}));
  EXPECT_TRUE(std::filesystem::is_symlink("seq/OUT.SEQ.tmp"));
  EXPECT_FALSE(std::filesystem::is_symlink("seq/OUT.SEQ"));
  EXPECT_EQ(read_bytes("seq/OUT.SEQ"), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(names_in("seq"), (std::vector<std::string>{"OUT.SEQ", "OUT.SEQ.tmp"}));

  // A replaced 0640 file stays 0640.
  ASSERT_EQ(::chmod("seq/OUT.SEQ", 0640), 0);
  ASSERT_TRUE(replace_file("seq/OUT.SEQ", {3}));
  EXPECT_EQ(mode_of("seq/OUT.SEQ"), 0640);

  // A file without any write bit is refused by its mode (root included), and says so.
  ASSERT_EQ(::chmod("seq/OUT.SEQ", 0444), 0);
  std::string reason;
  EXPECT_FALSE(replace_file("seq/OUT.SEQ", {4, 4, 4}, &reason));
  EXPECT_EQ(reason, kReadOnlyReason);
  EXPECT_EQ(last_replace_failure(), kReadOnlyReason);
  EXPECT_EQ(read_bytes("seq/OUT.SEQ"), (std::vector<uint8_t>{3}));
  EXPECT_EQ(mode_of("seq/OUT.SEQ"), 0444);
  ReplacingFile refused;
  EXPECT_FALSE(refused.open("seq/OUT.SEQ"));
  EXPECT_EQ(refused.reason(), kReadOnlyReason);

  // A missing folder gives the system's reason; a success clears it.
  EXPECT_FALSE(replace_file("nofolder/A.SEQ", {1}, &reason));
  EXPECT_EQ(reason, failure_reason(ENOENT));
  EXPECT_EQ(failure_reason(ENOSPC), kDiskFullReason);
  ASSERT_TRUE(replace_file("seq/NEW.SEQ", {5}));
  EXPECT_EQ(last_replace_failure(), "");
  EXPECT_EQ(names_in("seq"), (std::vector<std::string>{"NEW.SEQ", "OUT.SEQ", "OUT.SEQ.tmp"}));
}

// Points the state folder at the scratch directory for one test.
class StateFolder {
 public:
  explicit StateFolder(const std::string& path) {
    const char* old = std::getenv("XDG_STATE_HOME");
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv("XDG_STATE_HOME", path.c_str(), 1);
    reset_recovery_session();
  }
  ~StateFolder() {
    if (had_) ::setenv("XDG_STATE_HOME", old_.c_str(), 1);
    else ::unsetenv("XDG_STATE_HOME");
    reset_recovery_session();
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST(RecoveryFile, EachSessionKeepsThePreviousOneAmongTenBackups) {
  TempWorkdir dir;
  StateFolder state(dir.path() + "/state");
  std::string where, reason;
  // Twelve sessions, each writing twice: the second write of a session replaces the first.
  for (uint8_t session = 0; session < 12; ++session) {
    reset_recovery_session();
    ASSERT_TRUE(write_recovery_file({session, 0}, &where, &reason)) << reason;
    ASSERT_TRUE(write_recovery_file({session, 1}, &where, &reason)) << reason;
    EXPECT_EQ(where, "./seq/RECOVER.SEQ");
    EXPECT_EQ(reason, "");
  }
  EXPECT_EQ(read_bytes("seq/RECOVER.SEQ"), (std::vector<uint8_t>{11, 1}));
  const std::vector<std::string> backups = names_in("seq/backup");
  ASSERT_EQ(backups.size(), static_cast<std::size_t>(kRecoveryBackupsKept));
  std::vector<uint8_t> sessions;
  for (const std::string& name : backups) {
    EXPECT_EQ(name.rfind("RECOVER-", 0), 0u) << name;
    EXPECT_EQ(name.substr(8, 8).find_first_not_of("0123456789"), std::string::npos) << name;
    const std::vector<uint8_t> bytes = read_bytes("seq/backup/" + name);
    ASSERT_EQ(bytes.size(), 2u);
    EXPECT_EQ(bytes[1], 1);  // the last write of its session
    sessions.push_back(bytes[0]);
  }
  std::sort(sessions.begin(), sessions.end());
  // Sessions 1..10 are kept; session 0, the oldest, is gone.
  EXPECT_EQ(sessions, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // The LOAD list sees the folder's top level only.
  EXPECT_EQ(names_in("seq"), (std::vector<std::string>{"RECOVER.SEQ", "backup"}));

  EXPECT_TRUE(recovery_file_is_newest());
  ASSERT_TRUE(write_bytes("seq/LATER.SEQ", {1}));
  EXPECT_FALSE(recovery_file_is_newest());
}

TEST(RecoveryFile, GoesToTheStateFolderWhenTheSongFolderIsGone) {
  TempWorkdir dir;
  StateFolder state(dir.path() + "/state");
  std::filesystem::remove_all("seq");
  std::string where, reason;
  ASSERT_TRUE(write_recovery_file({9}, &where, &reason));
  EXPECT_EQ(where, dir.path() + "/state/zorbel/RECOVER.SEQ");
  EXPECT_NE(reason.find("seq/RECOVER.SEQ"), std::string::npos) << reason;
  EXPECT_EQ(read_bytes(where), (std::vector<uint8_t>{9}));
  EXPECT_FALSE(std::filesystem::exists("seq"));  // the song folder is never made
  // The state folder's older file moves to its own backups on the next session.
  reset_recovery_session();
  ASSERT_TRUE(write_recovery_file({10}, &where, &reason));
  EXPECT_EQ(names_in(dir.path() + "/state/zorbel/backup").size(), 1u);
  EXPECT_EQ(state_folder(), dir.path() + "/state/zorbel/");
}

}  // namespace
}  // namespace zorbel
