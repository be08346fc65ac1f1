// Audio output straight to a running JACK server. The process callback renders 1024-frame
// buffers and hands them out in whatever period the server runs at.
#include "engine/jack_output.h"

#include <atomic>
#include <cstdio>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "engine/realtime.h"

namespace zorbel {

namespace {

constexpr int kRate = 44100;

struct JackOutput {
  jack_client_t* client = nullptr;
  jack_port_t* ports[2] = {nullptr, nullptr};  // left, right
  // The buffer being played out, interleaved left, right, and how many of its frames are out.
  float buffer[2 * kBufferFrames] = {};
  int played = kBufferFrames;
};

JackOutput output;
JackClientHooks client_hooks;
std::atomic<bool> shut_down{false};

int process(jack_nframes_t nframes, void* arg) ZORBEL_REALTIME {
  const auto generation = reinterpret_cast<intptr_t>(arg);
  const JackClientHooks hooks_now = client_hooks;
  if (hooks_now.cycle_begin) hooks_now.cycle_begin(nframes, jack_last_frame_time(output.client));
  auto* left = static_cast<float*>(jack_port_get_buffer(output.ports[0], nframes));
  auto* right = static_cast<float*>(jack_port_get_buffer(output.ports[1], nframes));
  uint32_t written = 0;
  while (written < nframes) {
    if (output.played == kBufferFrames) {
      if (!audio_output_cycle(output.buffer, generation))
        for (float& sample : output.buffer) sample = 0.0f;
      output.played = 0;
      if (hooks_now.buffer_rendered) hooks_now.buffer_rendered(written);
    }
    uint32_t take = nframes - written;
    if (take > static_cast<uint32_t>(kBufferFrames - output.played))
      take = static_cast<uint32_t>(kBufferFrames - output.played);
    const float* from = output.buffer + 2 * output.played;
    for (uint32_t i = 0; i < take; ++i) {
      left[written + i] = from[2 * i];
      right[written + i] = from[2 * i + 1];
    }
    written += take;
    output.played += static_cast<int>(take);
  }
  if (hooks_now.cycle_end) hooks_now.cycle_end(nframes);
  return 0;
}

void on_shutdown(jack_status_t /*code*/, const char* /*reason*/, void* /*arg*/) {
  shut_down.store(true);
}

// Connects each output to the server's physical playback port of the same side, if any.
void connect_to_playback() {
  const char** playback = jack_get_ports(output.client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                         JackPortIsPhysical | JackPortIsInput);
  if (!playback) return;
  for (int side = 0; side < 2 && playback[side]; ++side)
    jack_connect(output.client, jack_port_name(output.ports[side]), playback[side]);
  jack_free(playback);
}

}  // namespace

void set_jack_client_hooks(const JackClientHooks& hooks) { client_hooks = hooks; }

bool jack_server_running() {
  quiet_audio_probing();
  jack_status_t status;
  jack_client_t* probe = jack_client_open("ZORBEL-probe", JackNoStartServer, &status);
  if (!probe) return false;
  const bool right_rate = jack_get_sample_rate(probe) == kRate;
  jack_client_close(probe);
  return right_rate;
}

bool open_jack_output(intptr_t generation) {
  if (output.client) return true;
  quiet_audio_probing();
  jack_status_t status;
  jack_client_t* client = jack_client_open("ZORBEL", JackNoStartServer, &status);
  if (!client) return false;
  if (jack_get_sample_rate(client) != kRate) {
    std::fprintf(stderr, "zorbel: the JACK server runs at %u Hz, not %d Hz: not used\n",
                 jack_get_sample_rate(client), kRate);
    jack_client_close(client);
    return false;
  }
  output = JackOutput{};
  output.client = client;
  output.ports[0] = jack_port_register(client, "left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  output.ports[1] = jack_port_register(client, "right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  shut_down.store(false);
  if (!output.ports[0] || !output.ports[1] || jack_set_process_callback(client, process, reinterpret_cast<void*>(generation))) {
    jack_client_close(client);
    output.client = nullptr;
    return false;
  }
  jack_on_info_shutdown(client, on_shutdown, nullptr);
  if (client_hooks.client_opened) client_hooks.client_opened(client);
  return true;
}

bool start_jack_output() {
  if (!output.client || jack_activate(output.client) != 0) return false;
  connect_to_playback();
  return true;
}

jack_client_t* jack_output_client() { return output.client; }

bool jack_output_lost() { return output.client && shut_down.load(); }

void stop_jack_output() {
  if (output.client) jack_deactivate(output.client);
}

void close_jack_output() {
  if (!output.client) return;
  if (client_hooks.client_closing) client_hooks.client_closing();
  jack_deactivate(output.client);
  jack_client_close(output.client);
  output.client = nullptr;
}

void forget_jack_output() {
  if (!output.client) return;
  if (client_hooks.client_closing) client_hooks.client_closing();
  output.client = nullptr;
}

}  // namespace zorbel
