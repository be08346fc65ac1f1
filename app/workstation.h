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
// The main loop until Esc or a quit event.
void run_workstation();
// Stops and closes the stream (if one was opened), frees every synth module, ends SDL.
void shutdown_workstation();

}  // namespace zorbel
