// The PortAudio output stream and the callback that renders every device buffer.
#pragma once

#include <cstdio>

namespace zorbel {

// Opens the default output: 2 float channels at 44100 Hz, frames_per_buffer frames a buffer.
void open_audio(int frames_per_buffer);
void start_audio();
void stop_audio();
void close_audio();
bool audio_is_open();

// Renders one device buffer of 1024 interleaved stereo frames into out (2048 floats) and,
// while recording, appends it to the record file. The stream's callback calls it, and so do
// offline renders and tests. Never allocates, locks or blocks (except the record write).
// Returns false when the transport was stopped: out is then left unwritten.
bool render_buffer(float* out);

// Where a recording goes: render_buffer writes each buffer's 4096 bytes here while
// transport.recording is set. Only the offline render sets it.
void set_record_file(std::FILE* file);

// The pause handshake for structural edits: stops the transport, waits until no callback is
// running, and returns the previous transport_stopped to hand to resume_audio().
unsigned pause_audio();
void resume_audio(unsigned previous);
// Called on the main thread every time pause_audio finds a callback still running, so the
// screen can show that a structural edit is waiting. Null for none.
void set_pause_wait_hook(void (*hook)());

// Prints the audio library's error and ends the process with status 1.
[[noreturn]] void audio_fatal(int error);

}  // namespace zorbel
