// Drive scripts in virtual time: every frame is 5 ms, the callback runs on this thread every
// 1024 frames of audio, and every change of a button is one event for the main loop.
#include "tools/drive_runner.h"

#include <cstring>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/draw/screen.h"
#include "ui/draw/screen_image.h"

namespace zorbel {

namespace {

constexpr double kFramesPerMs = 44.1;
constexpr int kMsPerFrame = 5;
// A mode whose input function never acts would make a tick run for ever.
constexpr long kMostFramesPerTick = 100000;
constexpr int kPointerStartX = 200;
constexpr int kPointerStartY = 136;

// The script's buttons and pointer, read by the input layer like a keyboard and a mouse.
struct DriveInput {
  uint8_t keys[kKeySymbolCount] = {};
  int mouse_x = kPointerStartX;
  int mouse_y = kPointerStartY;
  uint8_t mouse_buttons = 0;
  long pending_events = 0;  // every change of a button is one event for the main loop
  int downs[kKeyDownQueueCapacity] = {};  // keys that went down since the input last asked
  int down_count = 0;
};

// Virtual time: frames of audio that have passed, and the buffers the callback has rendered.
struct DriveClock {
  double frames = 0.0;
  long rendered = 0;
  std::FILE* wav = nullptr;
  bool write_failed = false;
};

DriveInput drive_input;
DriveClock drive_clock;

void read_keys(uint8_t* keys, int count) {
  std::memcpy(keys, drive_input.keys, static_cast<size_t>(count < kKeySymbolCount ? count : kKeySymbolCount));
}

void read_mouse(int* x, int* y, uint8_t* buttons) {
  *x = drive_input.mouse_x;
  *y = drive_input.mouse_y;
  *buttons = drive_input.mouse_buttons;
}

void warp_mouse(int x, int y) {
  drive_input.mouse_x = x;
  drive_input.mouse_y = y;
}

int read_key_downs(int* keys, int capacity) {
  const int n = drive_input.down_count < capacity ? drive_input.down_count : capacity;
  std::memcpy(keys, drive_input.downs, sizeof(int) * static_cast<size_t>(n));
  drive_input.down_count = 0;
  return n;
}

bool poll_event(bool* /*quit*/) {
  if (drive_input.pending_events <= 0) return false;
  --drive_input.pending_events;
  return true;
}

void present() {}

// The callback's buffer, as the device would play it: silence while the transport is stopped.
void render_one_buffer() {
  static float device[2 * kBufferFrames];
  static int16_t frames[2 * kBufferFrames];
  // A recording stands in for the device while it runs: the device plays silence.
  const bool running = !transport.recording.load() && render_buffer(device);
  ++drive_clock.rendered;
  if (!drive_clock.wav) return;
  if (running)
    record_tap_frames(frames);
  else
    std::memset(frames, 0, sizeof frames);
  if (std::fwrite(frames, sizeof frames, 1, drive_clock.wav) != 1) drive_clock.write_failed = true;
}

void delay_ms(int ms) {
  drive_clock.frames += ms * kFramesPerMs;
  while (drive_clock.frames >= static_cast<double>(drive_clock.rendered + 1) * kBufferFrames)
    render_one_buffer();
}

uint32_t now_ms() { return static_cast<uint32_t>(drive_clock.frames / kFramesPerMs); }

const FrameSource kFrames{poll_event, present, delay_ms, now_ms};
const InputSource kInput{read_keys, read_mouse, warp_mouse, read_key_downs, now_ms};

void set_keys(const std::vector<int>& keys, bool held) {
  for (int key : keys) {
    if ((drive_input.keys[key] != 0) == held) continue;
    drive_input.keys[key] = held ? 1 : 0;
    ++drive_input.pending_events;
    if (held && drive_input.down_count < kKeyDownQueueCapacity)
      drive_input.downs[drive_input.down_count++] = key;
  }
}

void release_all() {
  for (int key = 0; key < kKeySymbolCount; ++key)
    if (drive_input.keys[key] != 0) {
      drive_input.keys[key] = 0;
      ++drive_input.pending_events;
    }
}

// Frames until the input function has acted `count` more times, or the program quits.
bool run_ticks(long count) {
  const uint32_t target = input.acting_ticks + static_cast<uint32_t>(count);
  long frames = 0;
  while (!input.quit && static_cast<int32_t>(input.acting_ticks - target) < 0) {
    run_frame();
    if (++frames > kMostFramesPerTick * count) return false;
  }
  // What the last acting tick changed reaches the screen with the next frame's draw.
  if (!input.quit) draw_frame();
  return true;
}

void run_for(double seconds) {
  const long frames = static_cast<long>(seconds * 1000.0 / kMsPerFrame + 0.5);
  for (long f = 0; f < frames && !input.quit; ++f) run_frame();
}

// Keys down for ms of virtual time, then up, then frames until the input has acted once more
// (a tap shorter than a tick is taken there).
void press_for(const std::vector<int>& keys, int ms) {
  set_keys(keys, true);
  run_for(ms / 1000.0);
  set_keys(keys, false);
  run_ticks(1);
}

}  // namespace

void install_drive_sources() {
  std::FILE* wav = drive_clock.wav;
  drive_input = DriveInput{};
  drive_clock = DriveClock{};
  drive_clock.wav = wav;
  set_frame_source(&kFrames);
  set_input_source(&kInput);
  read_input_state();
}

void set_drive_wav(std::FILE* file) {
  drive_clock.wav = file;
  drive_clock.write_failed = false;
}

long drive_rendered_buffers() { return drive_clock.rendered; }
bool drive_wav_ok() { return !drive_clock.write_failed; }

bool run_drive_commands(const std::vector<DriveCommand>& commands, std::string* error) {
  for (const DriveCommand& c : commands) {
    if (input.quit) break;
    switch (c.kind) {
      case DriveCommandKind::kHold: set_keys(c.keys, true); break;
      case DriveCommandKind::kRelease: set_keys(c.keys, false); break;
      case DriveCommandKind::kReleaseAll: release_all(); break;
      case DriveCommandKind::kTick: run_ticks(c.count); break;
      case DriveCommandKind::kPress:
        if (c.hold_ms >= 0) {
          press_for(c.keys, c.hold_ms);
          break;
        }
        set_keys(c.keys, true);
        run_ticks(1);
        set_keys(c.keys, false);
        run_ticks(1);
        break;
      case DriveCommandKind::kType:
        for (int key : c.keys) {
          press_for({key}, kTypeHoldMs);
          run_for(kTypeHoldMs / 1000.0);
        }
        break;
      case DriveCommandKind::kMouse:
        drive_input.mouse_buttons = static_cast<uint8_t>(c.mouse_button);
        drive_input.mouse_y += c.dy;
        ++drive_input.pending_events;
        run_ticks(1);
        drive_input.mouse_buttons = 0;
        ++drive_input.pending_events;
        break;
      case DriveCommandKind::kWait: run_for(c.seconds); break;
      case DriveCommandKind::kShot:
        if (!save_screen_image(draw_state.surface, c.file.c_str())) {
          if (error) *error = "line " + std::to_string(c.line) + ": cannot write " + c.file;
          return false;
        }
        break;
    }
  }
  return true;
}


bool run_drive_script(const std::string& text, std::string* error) {
  std::vector<DriveCommand> commands;
  if (!parse_drive_script(text, &commands, error)) return false;
  return run_drive_commands(commands, error);
}

}  // namespace zorbel
