// Choosing the work folder: the working directory with seq/, else the user folder made once
// from the factory files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "files/work_folder.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

namespace fs = std::filesystem;
using test::read_bytes;
using test::TempWorkdir;
using test::write_bytes;

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// enter_work_folder from the scratch root, with what it printed.
struct Entered {
  std::string folder;
  std::string out;
  std::string err;
};

Entered enter_from(const std::string& root, const std::string& factory) {
  fs::current_path(root);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Entered e;
  e.folder = enter_work_folder("zorbel-test", factory);
  e.out = testing::internal::GetCapturedStdout();
  e.err = testing::internal::GetCapturedStderr();
  return e;
}

TEST(WorkFolder, UserFolderIsMadeOnceFromTheFactoryFilesAndKeptAfterwards) {
  TempWorkdir dir;
  const std::string root = dir.path();
  ScopedEnv data_home("XDG_DATA_HOME", (root + "/data").c_str());

  // With seq/ in the working directory nothing moves and nothing is made.
  Entered here = enter_from(root, root + "/factory");
  EXPECT_EQ(here.folder, fs::current_path().string());
  EXPECT_EQ(fs::current_path(), fs::path(root));
  EXPECT_EQ(here.out, "");
  EXPECT_FALSE(fs::exists(root + "/data"));

  // The factory: one file in each subfolder, and a folder and a stray file that are not copied.
  fs::create_directories(root + "/factory/seq/nested");
  fs::create_directories(root + "/factory/wav");
  fs::create_directories(root + "/factory/presets");
  ASSERT_TRUE(write_bytes(root + "/factory/seq/DEMO.SEQ", {1, 2, 3}));
  ASSERT_TRUE(write_bytes(root + "/factory/wav/HIT.WAV", {4, 5}));
  ASSERT_TRUE(write_bytes(root + "/factory/presets/KS.FACTORY.preset.zbl", {6}));
  ASSERT_TRUE(write_bytes(root + "/factory/README", {7}));
  fs::permissions(root + "/factory/seq/DEMO.SEQ", fs::perms::owner_read);

  // Without seq/ the first start makes the user folder, copies the factory in and says so once.
  fs::remove_all(root + "/seq");
  const std::string user = root + "/data/zorbel";
  Entered first = enter_from(root, root + "/factory");
  EXPECT_EQ(first.folder, user);
  EXPECT_EQ(fs::current_path(), fs::path(user));
  EXPECT_NE(first.out.find(user), std::string::npos) << first.out;
  EXPECT_NE(first.out.find("with the factory files"), std::string::npos) << first.out;
  EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 1);
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(read_bytes("seq/DEMO.SEQ"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(read_bytes("wav/HIT.WAV"), (std::vector<uint8_t>{4, 5}));
  EXPECT_EQ(read_bytes("presets/KS.FACTORY.preset.zbl"), (std::vector<uint8_t>{6}));
  EXPECT_FALSE(fs::exists("seq/nested"));
  EXPECT_FALSE(fs::exists("README"));
  // A read-only factory file becomes the user's own, writable copy.
  EXPECT_NE(fs::status("seq/DEMO.SEQ").permissions() & fs::perms::owner_write, fs::perms::none);
  // Only the finished folder is left beside it.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root + "/data")) ++entries;
  EXPECT_EQ(entries, 1);

  // Later starts keep what the user did: a deleted song stays deleted, a saved one stays, and a
  // missing subfolder is made again, empty. Nothing is printed.
  fs::remove(user + "/seq/DEMO.SEQ");
  ASSERT_TRUE(write_bytes(user + "/seq/MINE.SEQ", {9}));
  fs::remove_all(user + "/wav");
  Entered again = enter_from(root, root + "/factory");
  EXPECT_EQ(again.folder, user);
  EXPECT_EQ(again.out, "");
  EXPECT_FALSE(fs::exists(user + "/seq/DEMO.SEQ"));
  EXPECT_TRUE(fs::exists(user + "/seq/MINE.SEQ"));
  EXPECT_TRUE(fs::is_directory(user + "/wav"));
  EXPECT_TRUE(fs::is_empty(user + "/wav"));
}

TEST(WorkFolder, HomeFallbackMissingFactoryAndAFolderThatCannotBeMade) {
  TempWorkdir dir;
  const std::string root = dir.path();
  fs::remove_all(root + "/seq");
  ScopedEnv home("HOME", (root + "/home").c_str());

  // A relative XDG_DATA_HOME is ignored: the folder goes under the home's .local/share, whose
  // missing parents are made too. Without factory files the subfolders start empty.
  {
    ScopedEnv data_home("XDG_DATA_HOME", "relative/data");
    const std::string user = root + "/home/.local/share/zorbel";
    EXPECT_EQ(user_folder_path(), user);
    Entered e = enter_from(root, root + "/no-factory");
    EXPECT_EQ(e.folder, user);
    EXPECT_EQ(e.out.find("factory"), std::string::npos) << e.out;
    EXPECT_NE(e.err.find("no factory files"), std::string::npos) << e.err;
    for (const char* sub : kWorkSubfolders) EXPECT_TRUE(fs::is_empty(user + "/" + sub)) << sub;
    EXPECT_FALSE(fs::exists(root + "/relative"));
  }

  // A data folder that cannot be made (its parent is a file): the program stays where it was
  // and says why on stderr.
  ASSERT_TRUE(write_bytes(root + "/blocked", {1}));
  ScopedEnv data_home("XDG_DATA_HOME", (root + "/blocked/data").c_str());
  Entered e = enter_from(root, root + "/no-factory");
  EXPECT_EQ(e.folder, root);
  EXPECT_EQ(fs::current_path(), fs::path(root));
  EXPECT_EQ(e.out, "");
  EXPECT_NE(e.err.find("working in " + root), std::string::npos) << e.err;
}

}  // namespace
}  // namespace zorbel
