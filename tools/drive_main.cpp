// zorbel-drive: runs the workstation headless from a script of button presses, in virtual time,
// with the audio callback called on the main thread, and writes screenshots and the sound.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "files/wav_recorder.h"
#include "tools/drive_script.h"
#include "ui/input.h"
#include "ui/main_loop.h"
#include "ui/screen.h"
#include "ui/screen_image.h"
#include "ui/workstation.h"

namespace {

using namespace zorbel;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr double kFramesPerMs = 44.1;
constexpr int kMsPerFrame = 5;
// A mode whose input function never acts would make a tick run for ever.
constexpr long kMostFramesPerTick = 100000;

const char* const kUsage =
    "usage: zorbel-drive [--seed N] [--wav OUT.WAV] SCRIPT\n"
    "Runs the workstation headless from SCRIPT, one command a line ('#' starts a comment):\n"
    "  hold B...            hold buttons from now on (X O SQ TRI L-TR R-TR START SELECT\n"
    "                       D-UP D-DN D-LT D-RT A-UP A-DN A-LT A-RT ESC 8 9 0)\n"
    "  release B... | all   release buttons\n"
    "  tick [N]             run frames until the input has acted N more times (default 1)\n"
    "  press B...           hold, tick, release, tick\n"
    "  mouse left|right DY  drag DY pixels (negative is up) with that button over one tick\n"
    "  wait SECONDS         run frames for that much virtual time (5 ms a frame)\n"
    "  shot FILE.bmp        write the 800 x 600 screen as a 24-bit BMP\n"
    "--wav writes everything the audio callback produced as a 16-bit stereo WAV.\n";

// The script's buttons and pointer, read by the input layer like a keyboard and a mouse.
struct DriveInput {
  uint8_t keys[kKeySymbolCount] = {};
  int mouse_x = 200;
  int mouse_y = 136;
  uint8_t mouse_buttons = 0;
  long pending_events = 0;  // every change of a button is one event for the main loop
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
  const bool running = render_buffer(device);
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
const InputSource kInput{read_keys, read_mouse, warp_mouse};

void set_keys(const std::vector<int>& keys, bool held) {
  for (int key : keys) {
    if ((drive_input.keys[key] != 0) == held) continue;
    drive_input.keys[key] = held ? 1 : 0;
    ++drive_input.pending_events;
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
  return true;
}

void run_for(double seconds) {
  const long frames = static_cast<long>(seconds * 1000.0 / kMsPerFrame + 0.5);
  for (long f = 0; f < frames && !input.quit; ++f) run_frame();
}

struct Options {
  uint32_t seed = 1;
  const char* wav = nullptr;
  const char* script = nullptr;
};

[[noreturn]] void usage_error(const std::string& message) {
  std::fprintf(stderr, "zorbel-drive: %s\n%s", message.c_str(), kUsage);
  std::exit(kExitUsage);
}

Options parse_options(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--seed" || arg == "--wav") {
      if (i + 1 >= argc) usage_error(arg + " needs a value");
      const char* value = argv[++i];
      if (arg == "--wav") {
        o.wav = value;
        continue;
      }
      char* end = nullptr;
      errno = 0;
      const unsigned long long seed = std::strtoull(value, &end, 10);
      if (errno != 0 || end == value || *end != '\0' || value[0] == '-' || seed > 0xffffffffULL)
        usage_error(std::string("--seed needs a whole number from 0 to 4294967295, not '") +
                    value + "'");
      o.seed = static_cast<uint32_t>(seed);
    } else if (arg.size() > 1 && arg[0] == '-') {
      usage_error("unknown option " + arg);
    } else if (!o.script) {
      o.script = argv[i];
    } else {
      usage_error("more than one script given: " + arg);
    }
  }
  if (!o.script) usage_error("no script given");
  return o;
}

// Runs the commands; false (with a message on stderr) when a shot could not be written.
bool run_script(const std::vector<DriveCommand>& commands) {
  for (const DriveCommand& c : commands) {
    if (input.quit) break;
    switch (c.kind) {
      case DriveCommandKind::kHold: set_keys(c.keys, true); break;
      case DriveCommandKind::kRelease: set_keys(c.keys, false); break;
      case DriveCommandKind::kReleaseAll: release_all(); break;
      case DriveCommandKind::kTick: run_ticks(c.count); break;
      case DriveCommandKind::kPress:
        set_keys(c.keys, true);
        run_ticks(1);
        set_keys(c.keys, false);
        run_ticks(1);
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
          std::fprintf(stderr, "zorbel-drive: line %d: cannot write %s\n", c.line, c.file.c_str());
          return false;
        }
        break;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse_options(argc, argv);
  std::ifstream in(o.script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "zorbel-drive: cannot read %s (%s)\n", o.script, std::strerror(errno));
    return kExitFailure;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<DriveCommand> commands;
  std::string error;
  if (!parse_drive_script(text.str(), &commands, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return kExitUsage;
  }

  if (o.wav) {
    drive_clock.wav = std::fopen(o.wav, "wb");
    if (!drive_clock.wav) {
      std::fprintf(stderr, "zorbel-drive: cannot write %s (%s)\n", o.wav, std::strerror(errno));
      return kExitFailure;
    }
    write_record_header(drive_clock.wav);
  }

  // No display and no sound card: SDL's dummy screen, and the callback driven from here.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  WorkstationOptions options;
  options.windowed = true;
  options.audio_device = false;
  options.seed = o.seed;
  start_workstation(options);
  set_frame_source(&kFrames);
  set_input_source(&kInput);
  read_input_state();
  const bool ok = run_script(commands);
  shutdown_workstation();

  bool wav_ok = true;
  if (drive_clock.wav) {
    patch_record_sizes(drive_clock.wav, drive_clock.rendered);
    wav_ok = !drive_clock.write_failed && std::fclose(drive_clock.wav) == 0;
    if (!wav_ok) std::fprintf(stderr, "zorbel-drive: cannot write %s\n", o.wav);
  }
  return ok && wav_ok ? 0 : kExitFailure;
}
