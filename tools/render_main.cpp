// zorbel-render: loads a song and renders it to a WAV file without a screen or a sound card.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "engine/builtin_sounds.h"
#include "engine/clock.h"
#include "engine/mixer.h"
#include "engine/init_engine.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/file_replace.h"
#include "files/song_file.h"
#include "files/work_folder.h"
#include "files/wav_recorder.h"

namespace {

using namespace zorbel;

constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;
// A song-mode render of a slow song with many repetitions can run for weeks of audio (and
// gigabytes); longer than a day needs an explicit --blocks.
constexpr double kMaxDefaultRenderSeconds = 24.0 * 3600.0;

const char* const kUsage =
    "usage: zorbel-render [SONG.SEQ] [-o OUT.WAV] [--stems DIR] [--mode loop|song] [--loop N]\n"
    "                     [--blocks N] [--seed N] [--save OUT.SEQ] [--template 0..4]\n"
    "Renders SONG.SEQ (without it: the start-up song) to a 16-bit stereo WAV file at 44100 Hz\n"
    "(FLAC or Ogg Vorbis when OUT ends in .flac or .ogg):\n"
    "the current loop once (loop mode, the default) or the song list up to its first RESTART or\n"
    "HALT (song mode), or exactly N buffers of 1024 frames with --blocks. A render longer than 24\n"
    "hours of audio is refused unless --blocks asks for it. The output defaults to\n"
    "the song's name with .WAV in the working directory. --seed makes renders repeat bit for bit.\n"
    "--save writes the loaded song back and renders nothing unless -o is given too.\n"
    "--template N starts from built-in template N instead of a song file.\n"
    "--stems DIR also writes one WAV per unmuted track into DIR (NN_SYNTH.WAV), adding up to\n"
    "the mix. The result line gives the length, the peak and the integrated loudness.\n";

struct Options {
  const char* song = nullptr;
  const char* out = nullptr;
  const char* save = nullptr;
  const char* stems = nullptr;
  int mode = 0;
  long loop = 0;
  long blocks = 0;  // 0: the recording length of the mode
  long template_number = -1;
  bool seeded = false;
  uint32_t seed = 0;
};

[[noreturn]] void usage_error(const std::string& message) {
  std::fprintf(stderr, "zorbel-render: %s\n%s", message.c_str(), kUsage);
  std::exit(kExitUsage);
}

long parse_number(const char* option, const char* text, long low, long high) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < low || value > high)
    usage_error(std::string(option) + " needs a whole number from " + std::to_string(low) +
                " to " + std::to_string(high) + ", not '" + text + "'");
  return static_cast<long>(value);
}

Options parse_options(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool has_value = i + 1 < argc;
    auto value = [&]() -> const char* {
      if (!has_value) usage_error(std::string(arg) + " needs a value");
      return argv[++i];
    };
    if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (std::strcmp(arg, "-o") == 0) {
      o.out = value();
    } else if (std::strcmp(arg, "--stems") == 0) {
      o.stems = value();
    } else if (std::strcmp(arg, "--save") == 0) {
      o.save = value();
    } else if (std::strcmp(arg, "--mode") == 0) {
      const char* mode = value();
      if (std::strcmp(mode, "loop") == 0)
        o.mode = 0;
      else if (std::strcmp(mode, "song") == 0)
        o.mode = 1;
      else
        usage_error(std::string("--mode is loop or song, not '") + mode + "'");
    } else if (std::strcmp(arg, "--loop") == 0) {
      o.loop = parse_number(arg, value(), 0, MAX_LOOPS - 1);
    } else if (std::strcmp(arg, "--blocks") == 0) {
      o.blocks = parse_number(arg, value(), 1, kMaxRecordBlocks);
    } else if (std::strcmp(arg, "--template") == 0) {
      o.template_number = parse_number(arg, value(), 0, kTemplateCount - 1);
    } else if (std::strcmp(arg, "--seed") == 0) {
      o.seed = static_cast<uint32_t>(parse_number(arg, value(), 0, 0xffffffffL));
      o.seeded = true;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      usage_error(std::string("unknown option ") + arg);
    } else if (!o.song) {
      o.song = arg;
    } else {
      usage_error(std::string("more than one song given: ") + arg);
    }
  }
  return o;
}

// The song's file name without folder and extension, with .WAV.
std::string default_output(const char* song_path) {
  if (!song_path) return "STARTUP.WAV";
  std::string name = song_path;
  const std::size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name + ".WAV";
}

// Progress on a terminal, once the render has run for more than half a second.
std::chrono::steady_clock::time_point render_start;
bool progress_shown = false;

bool show_progress(long done, long total) {
  if (done % 16 != 0 && done != total) return true;
  const auto elapsed = std::chrono::steady_clock::now() - render_start;
  if (!progress_shown && elapsed < std::chrono::milliseconds(500)) return true;
  progress_shown = true;
  std::fprintf(stderr, "\rrendering %3ld%% (%ld of %ld buffers)", done * 100 / total, done, total);
  if (done == total) std::fputc('\n', stderr);
  return true;
}

// A render killed by Ctrl-C or a TERM signal leaves no temporary file behind.
extern "C" void remove_temp_and_exit(int signal_number) {
  remove_pending_temp_file();
  ::_exit(128 + signal_number);
}

}  // namespace

int main(int argc, char** argv) {
  Options o = parse_options(argc, argv);
  // Paths on the command line are the caller's; the samples a song plays come from the work
  // folder, which may be another one.
  const std::string caller = current_folder();
  const bool moved = enter_work_folder("zorbel-render") != caller;
  const std::string song = moved ? absolute_from(caller, o.song ? o.song : "") : "";
  const std::string save = moved ? absolute_from(caller, o.save ? o.save : "") : "";
  std::string out = o.out ? o.out : default_output(o.song);
  if (moved) {
    out = absolute_from(caller, out);
    if (o.song) o.song = song.c_str();
    if (o.save) o.save = save.c_str();
  }
  std::signal(SIGINT, remove_temp_and_exit);
  std::signal(SIGTERM, remove_temp_and_exit);
  init_engine(o.seeded ? o.seed : static_cast<uint32_t>(std::time(nullptr)));

  if (o.song) {
    std::string reason;
    if (!load_song(o.song, &reason)) {
      std::fprintf(stderr, "zorbel-render: %s: %s\n", o.song, reason.c_str());
      return kExitFileError;
    }
  } else if (o.template_number >= 0) {
    new_song(static_cast<int>(o.template_number));
  } else {
    build_startup_song();
  }

  if (o.save && !save_song_to_path(o.save)) {
    std::fprintf(stderr, "zorbel-render: %s: cannot write the song (%s)\n", o.save,
                 last_replace_failure().c_str());
    return kExitFileError;
  }
  if (o.save && !o.out) return 0;

  transport.play_mode = static_cast<uint16_t>(o.mode);
  if (o.mode == 0) transport.current_loop = static_cast<int32_t>(o.loop);
  repoint_loop();

  if (o.blocks == 0) {
    const double seconds = record_length_buffers() * kBufferFrames / 44100.0;
    if (!(seconds <= kMaxDefaultRenderSeconds)) {
      std::fprintf(stderr,
                   "zorbel-render: the %s would last %.0f hours of audio; give --blocks N to "
                   "render that long (or less)\n",
                   o.mode == 0 ? "loop" : "song", seconds / 3600.0);
      return kExitUsage;
    }
  }

  render_start = std::chrono::steady_clock::now();
  const RecordProgress progress = ::isatty(STDERR_FILENO) ? show_progress : nullptr;
  errno = 0;
  RecordRequest request;
  request.path = out.c_str();
  request.blocks = o.blocks;
  request.stems_folder = o.stems;
  request.progress = progress;
  RecordStats stats;
  if (record(request, &stats) != RecordOutcome::kDone) {
    const std::string& why = last_replace_failure();
    std::fprintf(stderr, "zorbel-render: %s: cannot write the recording%s (%s)\n", out.c_str(),
                 o.stems ? " or its stems" : "",
                 !why.empty() ? why.c_str() : errno ? std::strerror(errno) : "write failed");
    return kExitFileError;
  }
  std::printf("%s\n", record_summary(out.c_str(), stats).c_str());
  return 0;
}
