// The workstation's start-up, run and shutdown, in the order that keeps the audio safe. Used by
// zorbel, zorbel-windowed and zorbel-drive.
#pragma once

#include <cstdint>

#include "ui/platform/scaled_window.h"

namespace zorbel {

struct WorkstationOptions {
  bool windowed = false;
  // The picture's view and scale (0: the largest that fits); full screen is !windowed.
  ViewKind view = ViewKind::kConsole;
  int scale = 0;
  // false: no audio stream is opened; the caller renders buffers itself (render_buffer).
  bool audio_device = true;
  uint32_t seed = 0;
};

// Engine initialisation, the screen (a scaled window or full screen, and the pads), the user interface with the start-up song, the hidden
// pointer, and (with audio_device) the audio stream started. The SDL frame and input sources
// are installed; a caller with its own sources sets them afterwards.
void start_workstation(const WorkstationOptions& options);
// The user-interface start-up: screen handlers, the mode functions, colours, the editor's
// state and the start-up song. Part of start_workstation; tests call it on their own surface.
void init_user_interface();
// Handlers for SIGTERM, SIGINT, SIGHUP and SIGQUIT that end the main loop, so the way out
// through shutdown (the unsaved song first) is the same as for Esc.
void install_quit_signals();
// The main loop until Esc, a quit event or a quit signal, then the recovery save. When no place
// takes the unsaved song after Esc, EXIT or a closed window, the loop goes on with a warning
// until the next quit. The process's exit status: 0, or 128 + the signal that ended it (with
// one line on stderr).
int run_workstation();
// Keeps the unsaved song (unless the run already did), then stops and closes the stream within
// a time limit (past it the process ends with exit_status at once), frees every synth module
// and ends SDL.
void shutdown_workstation(int exit_status = 0);
// Keeps the changed song aside as the recovery file, saying where on stdout. False when no
// place took it. Does nothing for a song already kept at its current state.
bool keep_unsaved_song();

}  // namespace zorbel
