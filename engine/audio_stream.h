// The audio output (a JACK client when a JACK server runs, else the PortAudio default output)
// and the callback that renders every device buffer.
#pragma once

#include <cstdint>
#include <cstdio>

namespace zorbel {

// Turns off the messages the sound libraries print while the devices are probed. open_audio
// calls it first.
void quiet_audio_probing();

// Opens and starts the default output as open_audio and start_audio do, but a missing device
// is no error: false, with nothing open (begin_audio_reopen can try again).
bool try_open_audio(int frames_per_buffer);
// Opens the default output: 2 float channels at 44100 Hz, frames_per_buffer frames a buffer.
void open_audio(int frames_per_buffer);
void start_audio();
void stop_audio();
void close_audio();
bool audio_is_open();

// Stops and closes the stream and ends the audio library on a thread of its own, waiting at
// most timeout_ms for it: a sound server that went away can hold the library's shutdown for
// minutes. False when it did not finish in time; the stream is then left to the process's end.
// Errors while closing are not fatal here.
bool close_audio_within(int timeout_ms);
// True when the open stream has stopped by itself (its server went away, or a device error).
bool audio_stream_lost();
// Forgets a lost stream without touching it (closing a stream whose server is gone can hang)
// and ends the callback thread's claim: requests are applied on the main thread from here on.
void abandon_audio_stream();
// Reopening after a loss, in two halves. Opening the default output can wait on a server that
// is not there, so it runs on a thread of its own; finish_audio_reopen, on the main thread,
// takes the opened stream over, claims the callback thread and starts it. Never fatal. A lost
// stream of the JACK layer is not reopened (its client went with the server).
void begin_audio_reopen(int frames_per_buffer);
// True while an attempt is still running.
bool audio_reopen_pending();
// True when an attempt has opened a stream and it is now started. A failed attempt is
// forgotten (false) so that the next can begin.
bool finish_audio_reopen();

// One device buffer for an output's callback: counts it for the loss watch and renders it. An
// output that was abandoned (its generation no longer current) gets silence. False when out
// was left unwritten.
bool audio_output_cycle(float* out, intptr_t generation);

// Renders one device buffer of 1024 interleaved stereo frames into out (2048 floats) and,
// while recording, appends it to the record file. The stream's callback calls it, and so do
// offline renders and tests. Never allocates, locks or blocks (except the record write).
// Takes the transport requests first (transport_requests.h). Returns false when the transport
// was stopped or a structural change holds the callback: out is then left unwritten.
bool render_buffer(float* out);

// The record tap's conversion of the last rendered buffer to 16-bit frames: 1024 interleaved
// right, left pairs (2048 values), each sample truncated toward zero.
void record_tap_frames(int16_t* frames);

// Where a recording goes: render_buffer writes each buffer's 4096 bytes here while
// transport.recording is set. Only the offline render sets it.
void set_record_file(std::FILE* file);

// The pause handshake for structural edits: holds the callback (it then renders nothing and
// takes no request), waits until no callback is running, and returns the previous hold to hand
// to resume_audio(). Holds nest. The transport's own play/stop state is left alone, so a HALT
// reached in the last buffer before the pause is kept. Works as well when the caller is also
// the thread that calls render_buffer (no callback can be running then).
unsigned pause_audio();
void resume_audio(unsigned previous);
// Called on the main thread every time pause_audio finds a callback still running, so the
// screen can show that a structural edit is waiting. Null for none.
void set_pause_wait_hook(void (*hook)());

// True while another thread calls render_buffer (a started stream, or a test standing in for
// one): transport requests then wait for that thread. Otherwise the posting thread applies them.
bool callback_thread_running();
void set_callback_thread_running(bool running);

// Prints the audio library's error and ends the process with status 1.
[[noreturn]] void audio_fatal(int error);

}  // namespace zorbel
