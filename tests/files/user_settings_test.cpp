// The settings file: its place, a round trip, and damaged files that change nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/user_settings.h"
#include "tests/support/temp_workdir.h"

namespace zorbel::test {
namespace {

TEST(UserSettings, PlaceRoundTripAndDamagedFilesThatChangeNothing) {
  TempWorkdir dir;
  const std::string root = std::filesystem::current_path().string();
  const char* old_config = std::getenv("XDG_CONFIG_HOME");
  const char* old_home = std::getenv("HOME");
  const std::string saved_config = old_config ? old_config : "";
  const std::string saved_home = old_home ? old_home : "";

  // The configuration folder wins; a relative one is ignored in favour of HOME's.
  setenv("XDG_CONFIG_HOME", (root + "/cfg").c_str(), 1);
  setenv("HOME", (root + "/home").c_str(), 1);
  EXPECT_EQ(user_settings_path(), root + "/cfg/zorbel/settings");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(user_settings_path(), root + "/home/.config/zorbel/settings");
  unsetenv("XDG_CONFIG_HOME");
  const std::string path = user_settings_path();

  // Missing: nothing changes, and the reason names the file.
  UserSettings s;
  std::string why;
  EXPECT_EQ(load_user_settings(path, &s, &why), SettingsLoad::kMissing);
  EXPECT_NE(why.find(path), std::string::npos);
  EXPECT_EQ(s.scale, 0);
  EXPECT_EQ(s.key_repeat_delay_ms, kDefaultKeyRepeatDelayMs);
  EXPECT_EQ(s.midi_sync, MidiSync::kOff);
  EXPECT_TRUE(s.midi_note_input);
  EXPECT_FALSE(s.midi_channel_play);

  // Saving creates the folders; loading gives back what was saved.
  UserSettings chosen;
  chosen.scale = 4;
  chosen.full_surface = true;
  chosen.key_repeat_delay_ms = 450;
  chosen.midi_sync = MidiSync::kFollow;
  chosen.midi_note_input = false;
  chosen.midi_channel_play = true;
  ASSERT_TRUE(save_user_settings(path, chosen));
  UserSettings back;
  ASSERT_EQ(load_user_settings(path, &back, &why), SettingsLoad::kLoaded) << why;
  EXPECT_EQ(back.scale, 4);
  EXPECT_TRUE(back.full_surface);
  EXPECT_EQ(back.key_repeat_delay_ms, 450);
  EXPECT_EQ(back.midi_sync, MidiSync::kFollow);
  EXPECT_FALSE(back.midi_note_input);
  EXPECT_TRUE(back.midi_channel_play);
  // A file of an earlier version, without the MIDI lines, keeps the MIDI defaults.
  UserSettings older;
  ASSERT_TRUE(parse_user_settings("scale 2\nview full\nkey_repeat_delay_ms 300\n", &older, &why));
  EXPECT_EQ(older.midi_sync, MidiSync::kOff);
  EXPECT_TRUE(older.midi_note_input);
  UserSettings sending;
  ASSERT_TRUE(parse_user_settings("midi_sync send\n", &sending, &why)) << why;
  EXPECT_EQ(sending.midi_sync, MidiSync::kSend);

  // A hand-edited file: comments, blank lines, CR LF, tabs, fields left out keep their values.
  UserSettings edited = back;
  ASSERT_TRUE(parse_user_settings("# mine\r\n\r\n  view\tconsole  \r\n", &edited, &why)) << why;
  EXPECT_FALSE(edited.full_surface);
  EXPECT_EQ(edited.scale, 4);

  // Each damage leaves every field as it was and says on which line.
  const char* damaged[][2] = {
      {"scale 7\n", "line 1: bad value for scale"},
      {"scale 0\n", "bad value"},
      {"view console\nscale three\n", "line 2: bad value for scale"},
      {"view sideways\n", "bad value for view"},
      {"key_repeat_delay_ms 1050\n", "bad value"},
      {"key_repeat_delay_ms 300ms\n", "bad value"},
      {"scale\n", "bad value for scale"},
      {"colour red\n", "unknown setting \"colour\""},
      {"scale 2\nscale 3\n", "line 2: scale given twice"},
      {"\x01\xff\xfe", "unknown setting"},
      {"midi_sync SEND\n", "bad value for midi_sync"},
      {"midi_note_input yes\n", "bad value for midi_note_input"},
      {"midi_channel_play on\nmidi_channel_play off\n", "line 2: midi_channel_play given twice"},
  };
  for (const auto& d : damaged) {
    UserSettings kept = back;
    std::string error;
    EXPECT_FALSE(parse_user_settings(d[0], &kept, &error)) << d[0];
    EXPECT_NE(error.find(d[1]), std::string::npos) << error;
    EXPECT_EQ(kept.scale, 4);
    EXPECT_TRUE(kept.full_surface);
    EXPECT_EQ(kept.key_repeat_delay_ms, 450);
    EXPECT_EQ(kept.midi_sync, MidiSync::kFollow);
    EXPECT_TRUE(kept.midi_channel_play);
  }

  // A damaged file on disk, or a folder where the file should be, is reported, not read.
  std::ofstream(path) << "scale 2\nview console\nscale 9\n";
  UserSettings from_damaged = back;
  EXPECT_EQ(load_user_settings(path, &from_damaged, &why), SettingsLoad::kDamaged);
  EXPECT_EQ(from_damaged.scale, 4);
  EXPECT_NE(why.find("line 3"), std::string::npos) << why;
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(load_user_settings(path, &from_damaged, &why), SettingsLoad::kDamaged);
  EXPECT_FALSE(save_user_settings(path, chosen));

  // Without HOME or a configuration folder there is no place, and nothing is written.
  unsetenv("HOME");
  EXPECT_EQ(user_settings_path(), "");
  EXPECT_FALSE(save_user_settings("", chosen));

  if (old_config) setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
  if (old_home) setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace zorbel::test
