// Reading the settings file at start and writing it when the user changes the window, the key
// repeat or a MIDI setting.
#include "app/settings_link.h"

#include <cstdio>
#include <string>

#include "engine/midi_settings.h"
#include "ui/screens/midi_screen.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

namespace {

UserSettings settings;
bool file_missing = false;

void write_settings() {
  const std::string path = user_settings_path();
  if (!save_user_settings(path, settings))
    std::fprintf(stderr, "zorbel: could not write the settings to %s\n", path.c_str());
  file_missing = false;
}

void window_changed(ViewKind view, int scale) {
  settings.full_surface = view == ViewKind::kFullSurface;
  settings.scale = scale;
  write_settings();
}

void key_repeat_stored_now() {
  settings.key_repeat_delay_ms = view_settings.key_repeat_ms;
  write_settings();
}

void midi_settings_stored() {
  settings.midi_sync = midi_settings.sync.load();
  settings.midi_note_input = midi_settings.note_input.load();
  settings.midi_channel_play = midi_settings.channel_play.load();
  write_settings();
}

}  // namespace

const UserSettings& load_settings() {
  settings = UserSettings{};
  std::string why;
  const SettingsLoad load = load_user_settings(user_settings_path(), &settings, &why);
  file_missing = load == SettingsLoad::kMissing;
  if (load == SettingsLoad::kMissing)
    std::fprintf(stderr, "zorbel: no settings yet (%s); using the defaults\n", why.c_str());
  else if (load == SettingsLoad::kDamaged)
    std::fprintf(stderr, "zorbel: settings ignored, %s\n", why.c_str());
  midi_settings.sync.store(settings.midi_sync);
  midi_settings.note_input.store(settings.midi_note_input);
  midi_settings.channel_play.store(settings.midi_channel_play);
  return settings;
}

WindowOptions window_options_from(const UserSettings& s, bool full_screen) {
  WindowOptions options;
  options.full_screen = full_screen;
  if (!full_screen) {
    options.view = s.full_surface ? ViewKind::kFullSurface : ViewKind::kConsole;
    options.scale = s.scale;
  }
  return options;
}

void remember_window_changes() {
  // The editor's settings started from their defaults; the delay kept in the file (the screen
  // moves in steps of 50 ms) takes their place.
  view_settings.key_repeat_ms =
      settings.key_repeat_delay_ms / kKeyRepeatStepMs * kKeyRepeatStepMs;
  set_window_change_callback(window_changed);
  set_midi_settings_hook(midi_settings_stored);
  set_key_repeat_stored_hook(key_repeat_stored_now);
}

void write_missing_settings() {
  if (!file_missing) return;
  file_missing = false;
  save_user_settings(user_settings_path(), settings);
}

}  // namespace zorbel
