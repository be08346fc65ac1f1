// Audio output straight to a running JACK server: one client named "ZORBEL" with two output
// ports, so the sound server can go and come back, and MIDI ports can share the client's clock.
#pragma once

#include <jack/jack.h>

#include <cstdint>

namespace zorbel {

// What other parts of the program do inside the output's client. MIDI ports live there, so
// their events are stamped to the very frames the audio plays. Every hook may be null.
struct JackClientHooks {
  // Main thread, after the client opens and before it is activated; again after every reopen.
  // Register ports here.
  void (*client_opened)(jack_client_t* client) = nullptr;
  // Main thread, before the client is closed or forgotten after a loss. Its ports go with it.
  void (*client_closing)() = nullptr;
  // Process thread, at the start of every cycle of nframes frames; cycle_start is the server's
  // frame time of the cycle's first frame (jack_last_frame_time).
  void (*cycle_begin)(uint32_t nframes, uint32_t cycle_start) = nullptr;
  // Process thread, right after each 1024-frame buffer is rendered (render_buffer): the frame,
  // counted from the current cycle's first frame, at which the buffer's frame 0 will sound.
  // It lies beyond the cycle when the server's period is shorter than a buffer.
  void (*buffer_rendered)(int64_t first_frame_offset) = nullptr;
  // Process thread, at the end of every cycle, after the audio ports are written.
  void (*cycle_end)(uint32_t nframes) = nullptr;
};
void set_jack_client_hooks(const JackClientHooks& hooks);

// True when a JACK server answers (without starting one) at 44100 Hz.
bool jack_server_running();
// Opens the client and registers its ports (the hooks' client_opened runs here). Each cycle
// renders through audio_output_cycle(buffer, generation). False, with nothing open, when no
// server answers or it runs at another rate.
bool open_jack_output(intptr_t generation);
// Activates the open client and connects its outputs to the server's physical playback ports.
bool start_jack_output();
// Deactivates the client: no cycle runs after it returns.
void stop_jack_output();
// The open client, or null.
jack_client_t* jack_output_client();
// True once the server has shut the client down (its shutdown callback ran).
bool jack_output_lost();
// Deactivates and closes the client.
void close_jack_output();
// Forgets a client whose server went away without talking to it (that could only wait).
void forget_jack_output();

}  // namespace zorbel
