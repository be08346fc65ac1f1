// The user's settings file: what the song does not keep (the window's scale and view, the key
// repeat delay, MIDI), as "name value" lines in the user's configuration folder.
#pragma once

#include <string>
#include <string_view>

#include "engine/midi_settings.h"

namespace zorbel {

constexpr int kDefaultKeyRepeatDelayMs = 300;
constexpr int kMinKeyRepeatDelayMs = 0;  // 0 repeats at once
constexpr int kMaxKeyRepeatDelayMs = 1000;
constexpr int kSettingsMaxScale = 6;

struct UserSettings {
  int scale = 0;               // window pixels per surface pixel, 1..6; 0: none chosen yet
  bool full_surface = false;   // the whole surface is shown, not only the console area
  int key_repeat_delay_ms = kDefaultKeyRepeatDelayMs;
  MidiSync midi_sync = MidiSync::kOff;
  bool midi_note_input = true;
  bool midi_channel_play = false;
};

// $XDG_CONFIG_HOME/zorbel/settings, else $HOME/.config/zorbel/settings; empty when neither
// variable is set.
std::string user_settings_path();

// Reads the lines of text into *settings. False, with the first fault in *error and *settings
// untouched, for an unknown name, a missing or out-of-range value, or a line twice.
bool parse_user_settings(std::string_view text, UserSettings* settings, std::string* error);
// The file's text for settings.
std::string format_user_settings(const UserSettings& settings);

enum class SettingsLoad { kLoaded, kMissing, kDamaged };
// Reads the file at path. Anything but kLoaded leaves *settings as it was and says why in
// *error.
SettingsLoad load_user_settings(const std::string& path, UserSettings* settings,
                                std::string* error);
// Writes settings to path (creating its folder), keeping the old file until the new one is
// complete. False when it cannot be written.
bool save_user_settings(const std::string& path, const UserSettings& settings);

}  // namespace zorbel
