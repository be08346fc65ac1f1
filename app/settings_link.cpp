// Reading the settings file at start and writing it when the user changes the window.
#include "app/settings_link.h"

#include <cstdio>
#include <string>

namespace zorbel {

namespace {

UserSettings settings;
bool file_missing = false;

void window_changed(ViewKind view, int scale) {
  settings.full_surface = view == ViewKind::kFullSurface;
  settings.scale = scale;
  const std::string path = user_settings_path();
  if (!save_user_settings(path, settings))
    std::fprintf(stderr, "zorbel: could not write the settings to %s\n", path.c_str());
  file_missing = false;
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

void remember_window_changes() { set_window_change_callback(window_changed); }

void write_missing_settings() {
  if (!file_missing) return;
  file_missing = false;
  save_user_settings(user_settings_path(), settings);
}

}  // namespace zorbel
