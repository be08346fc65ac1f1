// The audio output, straight to JACK or over PortAudio v19, and the fixed render cycle of 8
// blocks of 128 frames.
#include "engine/audio_stream.h"

#include <portaudio.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>

#include "engine/audition.h"
#include "engine/clock.h"
#include "engine/engine_hooks.h"
#include "engine/jack_output.h"
#include "engine/midi_clock_out.h"
#include "engine/midi_ports.h"
#include "engine/mixer.h"
#include "engine/realtime.h"
#include "engine/song.h"
#include "engine/transport_requests.h"

namespace zorbel {

namespace {

PaStream* stream = nullptr;
// Which output is open: a JACK client of our own, or the PortAudio stream.
enum class Output { kNone, kPortAudio, kJack };
Output open_output = Output::kNone;
std::atomic<bool> callback_thread = false;
// Every stream opened gets a new number; a callback of an abandoned stream sees that it is not
// the current one and renders nothing.
std::atomic<intptr_t> stream_generation{0};
std::atomic<bool> stream_finished{false};
// The library holds a stream lost with its server: it must not be restarted (begin_audio_reopen).
bool holds_lost_stream = false;
std::atomic<uint32_t> callbacks_made{0};
// The main thread's view of the heartbeat: the count last seen and when it last moved.
uint32_t heartbeat_seen = 0;
std::chrono::steady_clock::time_point heartbeat_time;
// A stream whose callback has not run for this long is taken as lost (a buffer is 23 ms).
constexpr auto kSilentStreamLimit = std::chrono::milliseconds(1500);
std::FILE* record_file = nullptr;
int16_t record_frames[2 * kBufferFrames];  // interleaved right, left

int pa_callback(const void* /*input*/, void* output, unsigned long /*frames*/,
                const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags /*flags*/,
                void* user) {
  float* out = static_cast<float*>(output);
  const auto generation = reinterpret_cast<intptr_t>(user);
  // A stopped transport leaves the buffer unwritten; the device plays silence instead.
  if (!audio_output_cycle(out, generation))
    for (int i = 0; i < 2 * kBufferFrames; ++i) out[i] = 0.0f;
  if (time) midi_buffer_rendered_for_alsa(time->outputBufferDacTime, time->currentTime);
  return generation == stream_generation.load() ? paContinue : paAbort;
}

void on_stream_finished(void* user) {
  if (reinterpret_cast<intptr_t>(user) == stream_generation.load()) stream_finished.store(true);
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
    if (!stopped) {
      midi_clock_block(block);
      for (int frame = 0; frame < kBlockFrames; ++frame) clock_tick();
    }
    if (hooks.start_block) hooks.start_block();
    if (hooks.render_block) hooks.render_block();
    if (hooks.output_block) hooks.output_block(out);
    out += 2 * kBlockFrames;
    if (hooks.refresh_noise) hooks.refresh_noise();
  }
  return true;
}

bool audio_output_cycle(float* out, intptr_t generation) {
  callbacks_made.fetch_add(1, std::memory_order_relaxed);
  if (generation != stream_generation.load()) return false;
  return render_buffer(out);
}

bool render_buffer(float* out) {
  // Announced before the pause flag is read: a pause that began earlier is seen here, and one
  // that begins later waits for in_callback to fall (both sequentially consistent).
  transport.in_callback.store(1);
  midi_clock_buffer_begin();
  if (transport.audio_paused.load() != 0) {
    transport.in_callback.store(0);
    return false;
  }
  take_play_requests();
  // A stopped transport still follows loop changes and restarts, so the editor shows them.
  if (transport.transport_stopped.load() != 0) take_block_requests();
  const bool ran = transport.transport_stopped.load() == 0;
  const bool running = render_blocks(out);
  midi_clock_buffer_end(ran);
  // While stopped the record buffers still hold the last rendered buffer and are written again.
  if (transport.recording.load()) write_record_buffer();
  transport.in_callback.store(0);
  return running;
}

bool callback_thread_running() { return callback_thread.load(); }
void set_callback_thread_running(bool running) { callback_thread.store(running); }

void set_record_file(std::FILE* file) { record_file = file; }

namespace {

// Opens the default output; the library is initialised already. The error, or paNoError.
PaError open_default_stream(PaStream** opened, int frames_per_buffer) {
  const intptr_t generation = stream_generation.fetch_add(1) + 1;
  stream_finished.store(false);
  void* user = reinterpret_cast<void*>(generation);
  PaError result = Pa_OpenDefaultStream(opened, 0, 2, paFloat32, 44100.0,
                                        static_cast<unsigned long>(frames_per_buffer),
                                        pa_callback, user);
  if (result != paNoError) {
    *opened = nullptr;
    return result;
  }
  Pa_SetStreamFinishedCallback(*opened, on_stream_finished);
  return paNoError;
}

// Opens a JACK client of our own when a JACK server answers at our rate.
bool open_jack() {
  const intptr_t generation = stream_generation.fetch_add(1) + 1;
  if (!open_jack_output(generation)) return false;
  open_output = Output::kJack;
  return true;
}

void restart_heartbeat() {
  heartbeat_seen = callbacks_made.load(std::memory_order_relaxed);
  heartbeat_time = std::chrono::steady_clock::now();
}

}  // namespace

void open_audio(int frames_per_buffer) {
  if (open_jack()) return;
  quiet_audio_probing();
  check(Pa_Initialize());
  check(open_default_stream(&stream, frames_per_buffer));
  open_output = Output::kPortAudio;
}

void start_audio() {
  set_callback_thread_running(true);
  if (open_output == Output::kJack) {
    if (!start_jack_output()) {
      std::fprintf(stderr, "zorbel: the JACK client could not be activated\n");
      std::exit(1);
    }
  } else {
    check(Pa_StartStream(stream));
  }
  restart_heartbeat();
}

void stop_audio() {
  if (open_output == Output::kJack)
    stop_jack_output();
  else
    check(Pa_StopStream(stream));
  set_callback_thread_running(false);
  // The callback is gone: whatever it had not yet taken is applied here.
  take_all_requests();
}

void close_audio() {
  if (open_output == Output::kJack) {
    close_jack_output();
  } else {
    check(Pa_CloseStream(stream));
    stream = nullptr;
    check(Pa_Terminate());
  }
  open_output = Output::kNone;
}

bool audio_is_open() { return open_output != Output::kNone; }

bool close_audio_within(int timeout_ms) {
  if (open_output == Output::kNone) return true;
  auto done = std::make_shared<std::atomic<bool>>(false);
  if (open_output == Output::kJack) {
    // A server that hangs could hold the client's close as well: it gets the same limit.
    std::thread([done] {
      close_jack_output();
      done->store(true);
    }).detach();
  } else {
    PaStream* closing = stream;
    // The thread is left running when the library hangs: the process ends without it.
    std::thread([closing, done] {
      Pa_StopStream(closing);
      Pa_CloseStream(closing);
      Pa_Terminate();
      done->store(true);
    }).detach();
  }
  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done->load() && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (!done->load()) return false;
  stream = nullptr;
  open_output = Output::kNone;
  set_callback_thread_running(false);
  take_all_requests();
  return true;
}

bool audio_stream_lost() {
  if (open_output == Output::kNone) return false;
  if (open_output == Output::kJack) {
    if (jack_output_lost()) return true;
  } else if (stream_finished.load() || Pa_IsStreamActive(stream) != 1) {
    return true;
  }
  const uint32_t made = callbacks_made.load(std::memory_order_relaxed);
  const auto now = std::chrono::steady_clock::now();
  if (made != heartbeat_seen) {
    heartbeat_seen = made;
    heartbeat_time = now;
    return false;
  }
  return now - heartbeat_time > kSilentStreamLimit;
}

void abandon_audio_stream() {
  if (open_output == Output::kNone) return;
  if (open_output == Output::kJack) {
    forget_jack_output();
  } else {
    stream = nullptr;
    holds_lost_stream = true;
  }
  open_output = Output::kNone;
  stream_generation.fetch_add(1);  // a late callback of the old stream renders nothing
  // A callback cut off by its server's end may have left its mark up: the pause must not wait
  // for it. One still running finishes its buffer within this time.
  for (int i = 0; i < 100 && transport.in_callback.load() != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  transport.in_callback.store(0);
  set_callback_thread_running(false);
  take_all_requests();
}

namespace {
// kReopenJack: a JACK server answers; the main thread opens its client (the client's hooks
// run there).
enum ReopenState : int { kReopenIdle, kReopenTrying, kReopenOpened, kReopenJack, kReopenFailed };
std::atomic<int> reopen_state{kReopenIdle};
PaStream* reopened_stream = nullptr;  // written by the attempt before it publishes kReopenOpened
}  // namespace

namespace {

// Activates a JACK client opened by open_jack; closes it again when that fails.
bool start_jack() {
  set_callback_thread_running(true);
  if (start_jack_output()) {
    restart_heartbeat();
    return true;
  }
  set_callback_thread_running(false);
  take_all_requests();
  close_jack_output();
  open_output = Output::kNone;
  return false;
}

}  // namespace

bool try_open_audio(int frames_per_buffer) {
  if (open_jack() && start_jack()) return true;
  quiet_audio_probing();
  if (Pa_Initialize() != paNoError) return false;
  if (open_default_stream(&stream, frames_per_buffer) != paNoError) return false;
  set_callback_thread_running(true);
  if (Pa_StartStream(stream) != paNoError) {
    set_callback_thread_running(false);
    Pa_CloseStream(stream);
    stream = nullptr;
    return false;
  }
  open_output = Output::kPortAudio;
  restart_heartbeat();
  return true;
}

void begin_audio_reopen(int frames_per_buffer) {
  if (open_output != Output::kNone || reopen_state.load() != kReopenIdle) return;
  if (!holds_lost_stream) {
    // The audio library holds no lost stream: a JACK server that answers is taken first;
    // otherwise the library starts afresh and looks for a device again.
    reopen_state.store(kReopenTrying);
    std::thread([frames_per_buffer] {
      if (jack_server_running()) {
        reopen_state.store(kReopenJack);
        return;
      }
      Pa_Terminate();
      PaStream* opened = nullptr;
      const bool ok = Pa_Initialize() == paNoError &&
                      open_default_stream(&opened, frames_per_buffer) == paNoError;
      reopened_stream = opened;
      reopen_state.store(ok ? kReopenOpened : kReopenFailed);
    }).detach();
    return;
  }
  // The library cannot be restarted while it holds the lost stream: closing that stream waits
  // for the lost server's acknowledgement until the library's own time-out, then aborts the
  // process. So the output is opened again through the host layer already running, which
  // takes a sound server that comes back behind the same device. A stream of the JACK layer
  // cannot: its client went with the server, so after its loss no attempt is made.
  const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  const PaHostApiInfo* layer = info ? Pa_GetHostApiInfo(info->hostApi) : nullptr;
  if (!layer || layer->type == paJACK) {
    reopen_state.store(kReopenFailed);
    return;
  }
  reopen_state.store(kReopenTrying);
  std::thread([frames_per_buffer] {
    PaStream* opened = nullptr;
    const bool ok = open_default_stream(&opened, frames_per_buffer) == paNoError;
    reopened_stream = opened;
    reopen_state.store(ok ? kReopenOpened : kReopenFailed);
  }).detach();
}

bool audio_reopen_pending() { return reopen_state.load() == kReopenTrying; }

bool finish_audio_reopen() {
  const int state = reopen_state.load();
  if (state == kReopenFailed) reopen_state.store(kReopenIdle);
  if (state == kReopenJack) {
    reopen_state.store(kReopenIdle);
    return open_jack() && start_jack();
  }
  if (state != kReopenOpened) return false;
  reopen_state.store(kReopenIdle);
  open_output = Output::kPortAudio;
  stream = reopened_stream;
  reopened_stream = nullptr;
  // Requests posted from here on wait for the callback, as before the loss.
  set_callback_thread_running(true);
  if (Pa_StartStream(stream) != paNoError) {
    set_callback_thread_running(false);
    take_all_requests();
    Pa_CloseStream(stream);
    stream = nullptr;
    open_output = Output::kNone;
    return false;
  }
  restart_heartbeat();
  return true;
}

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
