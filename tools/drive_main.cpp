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

#include "files/wav_recorder.h"
#include "files/work_folder.h"
#include "tools/drive_runner.h"
#include "app/workstation.h"

namespace {

using namespace zorbel;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: zorbel-drive [--seed N] [--wav OUT.WAV] SCRIPT\n"
    "Runs the workstation headless from SCRIPT, one command a line ('#' starts a comment):\n"
    "  hold B...            hold buttons from now on (X O SQ TRI L-TR R-TR START SELECT\n"
    "                       D-UP D-DN D-LT D-RT A-UP A-DN A-LT A-RT ESC SHIFT RETURN\n"
    "                       BACKSPACE DELETE, a..z and 0..9 for the keyboard's own keys)\n"
    "  release B... | all   release buttons\n"
    "  tick [N]             run frames until the input has acted N more times (default 1)\n"
    "  press B...           hold, tick, release, tick\n"
    "  press B... MSms      hold for MS ms of virtual time, release, tick\n"
    "  type WORD            tap the letter and digit keys of WORD, 60 ms each and 60 ms apart\n"
    "  mouse left|right|none DY  move the pointer DY pixels (negative is up) with that button\n"
    "                       held (none: no button) over one tick\n"
    "  wait SECONDS         run frames for that much virtual time (5 ms a frame)\n"
    "  shot FILE.bmp        write the 800 x 600 screen as a 24-bit BMP\n"
    "--wav writes everything the audio callback produced as a 16-bit stereo WAV.\n";

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

  std::FILE* wav = nullptr;
  if (o.wav) {
    wav = std::fopen(o.wav, "wb");
    if (!wav) {
      std::fprintf(stderr, "zorbel-drive: cannot write %s (%s)\n", o.wav, std::strerror(errno));
      return kExitFailure;
    }
    write_record_header(wav);
  }

  // Shots are written where the caller is; the songs are those of the work folder.
  const std::string caller = current_folder();
  if (enter_work_folder("zorbel-drive") != caller)
    for (DriveCommand& command : commands)
      if (command.kind == DriveCommandKind::kShot)
        command.file = absolute_from(caller, command.file);

  // No display and no sound card: SDL's dummy screen, and the callback driven from here.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  WorkstationOptions options;
  options.windowed = true;
  options.audio_device = false;
  options.seed = o.seed;
  start_workstation(options);
  set_drive_wav(wav);
  install_drive_sources();
  const bool ok = run_drive_commands(commands, &error);
  if (!ok) std::fprintf(stderr, "zorbel-drive: %s\n", error.c_str());
  shutdown_workstation();

  bool wav_ok = true;
  if (wav) {
    patch_record_sizes(wav, drive_rendered_buffers());
    wav_ok = drive_wav_ok() && std::fclose(wav) == 0;
    if (!wav_ok) std::fprintf(stderr, "zorbel-drive: cannot write %s\n", o.wav);
  }
  return ok && wav_ok ? 0 : kExitFailure;
}
