// Reading and writing the user's settings file.
#include "files/user_settings.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "files/file_replace.h"
#include "files/text_lines.h"

namespace zorbel {

namespace {

constexpr std::string_view kScaleName = "scale";
constexpr std::string_view kViewName = "view";
constexpr std::string_view kRepeatName = "key_repeat_delay_ms";
constexpr std::string_view kMidiSyncName = "midi_sync";
constexpr std::string_view kMidiNoteInputName = "midi_note_input";
constexpr std::string_view kMidiChannelPlayName = "midi_channel_play";
constexpr std::string_view kMidiSyncWords[] = {"off", "send", "follow"};  // by MidiSync
constexpr std::string_view kOn = "on";
constexpr std::string_view kOff = "off";
constexpr std::string_view kConsoleView = "console";
constexpr std::string_view kFullView = "full";
// A settings file is a few lines; anything longer is not one.
constexpr std::uintmax_t kMostSettingsBytes = 4096;

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool parse_int(std::string_view text, int low, int high, int* value) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || end != text.data() + text.size() || v < low || v > high) return false;
  *value = v;
  return true;
}

bool parse_on_off(std::string_view text, bool* value) {
  if (text != kOn && text != kOff) return false;
  *value = text == kOn;
  return true;
}

bool parse_sync(std::string_view text, MidiSync* sync) {
  for (int i = 0; i < 3; ++i)
    if (text == kMidiSyncWords[i]) {
      *sync = static_cast<MidiSync>(i);
      return true;
    }
  return false;
}

std::string_view on_off(bool on) { return on ? kOn : kOff; }

}  // namespace

std::string user_settings_path() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // The base directory rules ignore a relative path.
  if (config && config[0] == '/') return std::string(config) + "/zorbel/settings";
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return std::string(home) + "/.config/zorbel/settings";
  return {};
}

bool parse_user_settings(std::string_view text, UserSettings* settings, std::string* error) {
  UserSettings read = *settings;
  bool seen[6] = {};
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  int number = 0;
  for (const TextLine& line : split_lines(bytes, text.size())) {
    ++number;
    const std::string_view content = trim(line.text);
    if (content.empty() || content.front() == '#') continue;
    const std::size_t blank = content.find_first_of(" \t");
    const std::string_view name = content.substr(0, blank);
    const std::string_view value =
        blank == std::string_view::npos ? std::string_view{} : trim(content.substr(blank));
    int field = -1;
    bool ok = false;
    if (name == kScaleName) {
      field = 0;
      ok = parse_int(value, 1, kSettingsMaxScale, &read.scale);
    } else if (name == kViewName) {
      field = 1;
      ok = value == kConsoleView || value == kFullView;
      read.full_surface = value == kFullView;
    } else if (name == kRepeatName) {
      field = 2;
      ok = parse_int(value, kMinKeyRepeatDelayMs, kMaxKeyRepeatDelayMs, &read.key_repeat_delay_ms);
    } else if (name == kMidiSyncName) {
      field = 3;
      ok = parse_sync(value, &read.midi_sync);
    } else if (name == kMidiNoteInputName) {
      field = 4;
      ok = parse_on_off(value, &read.midi_note_input);
    } else if (name == kMidiChannelPlayName) {
      field = 5;
      ok = parse_on_off(value, &read.midi_channel_play);
    }
    const std::string where = "line " + std::to_string(number) + ": ";
    if (field < 0) {
      *error = where + "unknown setting \"" + std::string(name) + "\"";
      return false;
    }
    if (!ok) {
      *error = where + "bad value for " + std::string(name);
      return false;
    }
    if (seen[field]) {
      *error = where + std::string(name) + " given twice";
      return false;
    }
    seen[field] = true;
  }
  *settings = read;
  return true;
}

std::string format_user_settings(const UserSettings& s) {
  std::ostringstream out;
  out << "# zorbel settings: scale 1..6, view console or full, key repeat delay in ms,\n"
      << "# MIDI sync off, send or follow, MIDI note input and channel play on or off\n";
  if (s.scale >= 1 && s.scale <= kSettingsMaxScale) out << kScaleName << ' ' << s.scale << '\n';
  out << kViewName << ' ' << (s.full_surface ? kFullView : kConsoleView) << '\n';
  out << kRepeatName << ' ' << s.key_repeat_delay_ms << '\n';
  out << kMidiSyncName << ' ' << kMidiSyncWords[static_cast<int>(s.midi_sync)] << '\n';
  out << kMidiNoteInputName << ' ' << on_off(s.midi_note_input) << '\n';
  out << kMidiChannelPlayName << ' ' << on_off(s.midi_channel_play) << '\n';
  return out.str();
}

SettingsLoad load_user_settings(const std::string& path, UserSettings* settings,
                                std::string* error) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) {
    *error = path.empty() ? "no configuration folder (HOME is not set)" : path + " does not exist";
    return SettingsLoad::kMissing;
  }
  if (!std::filesystem::is_regular_file(path, ec) ||
      std::filesystem::file_size(path, ec) > kMostSettingsBytes || ec) {
    *error = path + ": not a settings file";
    return SettingsLoad::kDamaged;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) {
    *error = path + ": " + std::strerror(errno);
    return SettingsLoad::kDamaged;
  }
  std::string why;
  if (!parse_user_settings(text.str(), settings, &why)) {
    *error = path + ": " + why;
    return SettingsLoad::kDamaged;
  }
  return SettingsLoad::kLoaded;
}

bool save_user_settings(const std::string& path, const UserSettings& settings) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  const std::string text = format_user_settings(settings);
  return replace_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace zorbel
