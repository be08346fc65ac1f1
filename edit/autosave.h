// The periodic autosave: the changed song is copied out with the audio held and written to the
// recovery file on a worker thread, so neither the screen nor the audio waits for the disk.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr uint32_t kAutosaveIntervalMs = 60000;  // wall time between autosaves of a changed song

// Autosaving is off until the workstation turns it on (tests of single operations write nothing).
void enable_autosave(bool on);
// Called by the main thread every frame with the frame source's clock (ms). Once the song has
// changed since it was last saved, and kAutosaveIntervalMs have passed since the last autosave
// (or a structural change asked for one), the song is encoded and handed to the worker.
void autosave_tick(uint32_t now_ms);
// Asks for an autosave at the next tick (a structural change).
void request_autosave();
// Before LOAD or NEW replaces a changed song, it is handed to the worker as the recovery file
// (after a write still in flight), so that replacing it loses nothing.
void keep_song_before_replacing();
// Waits for a write in flight and stops the worker. Called before the recovery save on quit.
void finish_autosave();
// Autosaves written so far (tests).
int autosaves_written();
// Back to the start: off, no worker, the interval counted from the next tick (tests).
void reset_autosave();

}  // namespace zorbel
