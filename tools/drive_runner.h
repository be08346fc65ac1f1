// Running drive scripts against the workstation in virtual time: the frame and input sources
// that stand in for SDL, and the commands. zorbel-drive and the UI tests share it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/drive_script.h"

namespace zorbel {

// Puts the script's buttons and pointer and the virtual clock in place of SDL's sources, all
// released, at virtual time 0. Call after start_workstation.
void install_drive_sources();
// Where the callback's output goes as 16-bit frames (null: nowhere). The caller writes the
// header and the sizes.
void set_drive_wav(std::FILE* file);
// Buffers of 1024 frames the callback has rendered so far; false from drive_wav_ok() when a
// write to the WAV file failed.
long drive_rendered_buffers();
bool drive_wav_ok();

// Runs the commands until their end or until the program quits. False with "line N: reason"
// in *error when a command could not be carried out (a shot that cannot be written).
bool run_drive_commands(const std::vector<DriveCommand>& commands, std::string* error);
// Reads and runs a script text; false with the parse or run error.
bool run_drive_script(const std::string& text, std::string* error);

}  // namespace zorbel
