// Audio stream over PortAudio v19 and the fixed render cycle of 8 blocks of 128 frames.
#include "engine/audio_stream.h"

#include <portaudio.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "engine/audition.h"
#include "engine/clock.h"
#include "engine/engine_hooks.h"
#include "engine/mixer.h"
#include "engine/realtime.h"
#include "engine/song.h"
#include "engine/transport_requests.h"

namespace zorbel {

namespace {

PaStream* stream = nullptr;
std::atomic<bool> callback_thread = false;
std::FILE* record_file = nullptr;
int16_t record_frames[2 * kBufferFrames];  // interleaved right, left

int pa_callback(const void* /*input*/, void* output, unsigned long /*frames*/,
                const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags /*flags*/,
                void* /*user*/) {
  float* out = static_cast<float*>(output);
  // A stopped transport leaves the buffer unwritten; the device plays silence instead.
  if (!render_buffer(out))
    for (int i = 0; i < 2 * kBufferFrames; ++i) out[i] = 0.0f;
  return paContinue;
}

void check(PaError result) {
  if (result != paNoError) audio_fatal(result);
}

void write_record_buffer() {
  record_tap_frames(record_frames);
  if (record_file) std::fwrite(record_frames, sizeof record_frames, 1, record_file);
}

}  // namespace

void record_tap_frames(int16_t* frames) {
  for (int i = 0; i < kBufferFrames; ++i) {
    // Truncation toward zero, as the conversion of the 16-bit file format expects.
    frames[2 * i] = static_cast<int16_t>(buses.record_right[i] * 32768.0f);
    frames[2 * i + 1] = static_cast<int16_t>(buses.record_left[i] * 32768.0f);
  }
}

// The eight blocks of one device buffer: requests, engine step, clock, render, mix, noise. A
// stopped transport renders only while an audition sounds, and without the clock.
bool render_blocks(float* out) ZORBEL_REALTIME {
  const bool stopped = transport.transport_stopped.load() != 0;
  if (stopped && !audition_buffer_due()) return false;
  buses.record_cursor = 0;
  for (int block = 0; block < kBlocksPerBuffer; ++block) {
    if (!stopped) take_block_requests();
    take_audition();
    if (hooks.block_step) hooks.block_step();
    const int loop = transport.current_loop;
    for (int t = 0; t < song.track_count; ++t)
      transport.loop_active_gain[t] = shared_load(song.loop_track_enable[loop][t]) != 0 ? 1.0f : 0.0f;
    // Every step that falls in this block is fired before any of its audio is computed, so
    // notes start on block boundaries while the clock keeps exact time.
    if (!stopped)
      for (int frame = 0; frame < kBlockFrames; ++frame) clock_tick();
    if (hooks.start_block) hooks.start_block();
    if (hooks.render_block) hooks.render_block();
    if (hooks.output_block) hooks.output_block(out);
    out += 2 * kBlockFrames;
    if (hooks.refresh_noise) hooks.refresh_noise();
  }
  return true;
}

bool render_buffer(float* out) {
  // Announced before the pause flag is read: a pause that began earlier is seen here, and one
  // that begins later waits for in_callback to fall (both sequentially consistent).
  transport.in_callback.store(1);
  if (transport.audio_paused.load() != 0) {
    transport.in_callback.store(0);
    return false;
  }
  take_play_requests();
  // A stopped transport still follows loop changes and restarts, so the editor shows them.
  if (transport.transport_stopped.load() != 0) take_block_requests();
  const bool running = render_blocks(out);
  // While stopped the record buffers still hold the last rendered buffer and are written again.
  if (transport.recording.load()) write_record_buffer();
  transport.in_callback.store(0);
  return running;
}

bool callback_thread_running() { return callback_thread.load(); }
void set_callback_thread_running(bool running) { callback_thread.store(running); }

void set_record_file(std::FILE* file) { record_file = file; }

void open_audio(int frames_per_buffer) {
  quiet_audio_probing();
  check(Pa_Initialize());
  check(Pa_OpenDefaultStream(&stream, 0, 2, paFloat32, 44100.0,
                             static_cast<unsigned long>(frames_per_buffer), pa_callback,
                             nullptr));
}

void start_audio() {
  set_callback_thread_running(true);
  check(Pa_StartStream(stream));
}

void stop_audio() {
  check(Pa_StopStream(stream));
  set_callback_thread_running(false);
  // The callback is gone: whatever it had not yet taken is applied here.
  take_all_requests();
}

void close_audio() {
  check(Pa_CloseStream(stream));
  stream = nullptr;
  check(Pa_Terminate());
}

bool audio_is_open() { return stream != nullptr; }

namespace {
void (*pause_wait_hook)() = nullptr;
}  // namespace

void set_pause_wait_hook(void (*hook)()) { pause_wait_hook = hook; }

unsigned pause_audio() {
  const unsigned previous = transport.audio_paused.fetch_add(1);
  while (transport.in_callback.load() != 0) {
    if (pause_wait_hook) pause_wait_hook();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return previous;
}

void resume_audio(unsigned previous) { transport.audio_paused.store(static_cast<uint16_t>(previous)); }

void audio_fatal(int error) {
  Pa_Terminate();
  std::fprintf(stderr, "An error occured while using the portaudio stream\n");
  std::fprintf(stderr, "Error number: %d\n", error);
  std::fprintf(stderr, "Error message: %s\n", Pa_GetErrorText(error));
  std::exit(1);
}

}  // namespace zorbel
