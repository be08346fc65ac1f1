// The user's settings file joined to the program: read at start, written when the window's
// view or scale changes.
#pragma once

#include "files/user_settings.h"
#include "ui/platform/scaled_window.h"

namespace zorbel {

// Reads the settings file (a missing or damaged one is ignored, with one line on stderr) and
// puts its MIDI settings in force.
const UserSettings& load_settings();
// The window a program start asks for: full screen shows the console area at the display's
// largest scale; a window takes the view and scale last chosen.
WindowOptions window_options_from(const UserSettings& settings, bool full_screen);
// Puts the file's key-repeat delay in force (after the workstation started with its defaults);
// from now on a changed view or scale, a key-repeat delay or a MIDI setting stored, is written
// to the settings file.
void remember_window_changes();
// Writes the settings file at shutdown when there was none, so the next start finds one.
void write_missing_settings();

}  // namespace zorbel
