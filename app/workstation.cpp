// Start-up, run and shutdown of the workstation.
#include "app/workstation.h"

#include "edit/undo_journal.h"

#include <SDL/SDL.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "edit/autosave.h"
#include "edit/edit.h"
#include "engine/audio_stream.h"
#include "engine/engine_hooks.h"
#include "engine/init_engine.h"
#include "engine/midi_ports.h"
#include "edit/midi_dispatch.h"
#include "engine/song_templates.h"
#include "files/recovery_file.h"
#include "ui/draw/draw.h"
#include "ui/draw/screen.h"
#include "ui/platform/display_loss.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/sdl_platform.h"
#include "ui/screens/editor_input.h"
#include "ui/screens/midi_screen.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/param_modifier.h"
#include "ui/platform/gamepad.h"
#include "ui/platform/scaled_window.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

namespace {

constexpr int kFramesPerBuffer = 1024;
// The audio library gets this long to stop the stream on the way out (ms).
constexpr int kAudioStopLimitMs = 2000;
// A lost stream is tried again this often (ms).
constexpr int kAudioReopenIntervalMs = 2000;
constexpr int kDisplayLostStatus = 3;

struct Workstation {
  bool audio_wanted = false;   // the stream is the workstation's own (not a driver's)
  bool audio_lost = false;
  std::chrono::steady_clock::time_point last_reopen;
  bool song_kept = false;      // the recovery save ran for the song's current state
  uint32_t kept_change = 0;
};

Workstation station;

// Leaves out the "./" of paths inside the working directory.
const char* shown_path(const std::string& path) {
  return path.compare(0, 2, "./") == 0 ? path.c_str() + 2 : path.c_str();
}

// The stream stopped by itself: the workstation plays on without it and tries the default
// output again every few seconds from the main thread.
void watch_audio_device() {
  if (!station.audio_wanted) return;
  const auto now = std::chrono::steady_clock::now();
  if (!station.audio_lost) {
    if (!audio_stream_lost()) return;
    abandon_audio_stream();
    station.audio_lost = true;
    station.last_reopen = now;
    std::fprintf(stderr, "zorbel: the audio device was lost\n");
    show_message_state(kStateMessage18, "AUDIO DEVICE LOST");
    // Whatever took the sound server may take the rest next: the changed song goes to the
    // recovery file now rather than at the next interval.
    request_autosave();
    return;
  }
  if (!finish_audio_reopen()) {
    if (audio_reopen_pending()) return;
    if (now - station.last_reopen < std::chrono::milliseconds(kAudioReopenIntervalMs)) return;
    station.last_reopen = now;
    begin_audio_reopen(kFramesPerBuffer);
    return;
  }
  station.audio_lost = false;
  std::fprintf(stderr, "zorbel: the audio device is back\n");
  show_message_state(kStateMessage18, "AUDIO DEVICE BACK");
}

void on_frame(uint32_t now_ms) {
  watch_audio_device();
  midi_frame(now_ms);
  autosave_tick(now_ms);
}

void on_quit_signal(int signal_number) { post_quit_signal(signal_number); }

// The display is gone: the song is kept, and the process ends without touching the window.
void on_display_lost() {
  keep_unsaved_song();
  std::fprintf(stderr, "zorbel: the display connection was lost\n");
  std::fflush(stderr);
  std::fflush(stdout);
  std::_Exit(kDisplayLostStatus);
}

}  // namespace

bool keep_unsaved_song() {
  if (station.song_kept && station.kept_change == song_change_count()) return true;
  finish_autosave();
  bool written = false;
  std::string where, reason;
  if (save_recovery_song(&written, &where, &reason) != EditResult::kOk) {
    std::fprintf(stderr, "zorbel: could not write the unsaved song: %s\n", reason.c_str());
    return false;
  }
  if (!reason.empty()) std::fprintf(stderr, "zorbel: %s\n", reason.c_str());
  if (written) std::printf("zorbel: unsaved song written to %s\n", shown_path(where));
  std::fflush(stdout);
  station.song_kept = true;
  station.kept_change = song_change_count();
  return true;
}

void init_user_interface() {
  reset_state_table();
  reset_view_settings();
  reset_param_step_marks();
  // The step marks live with the parameter modifier; a page family may take the hook over.
  param_editor_link.clear_step_marks = reset_param_step_marks;
  register_all_screens();
  set_mode_functions(kModeEditor, update_sequencer_screen, editor_input);
  reset_main_loop();
  reset_input_state();
  reset_step_editor();
  build_startup_song();
  set_editor_state(kStateStepEdit);
}

void start_workstation(const WorkstationOptions& options) {
  station = Workstation{};
  reset_autosave();
  reset_recovery_session();
  init_engine(options.seed);
  WindowOptions window;
  window.full_screen = !options.windowed;
  window.view = options.view;
  window.scale = options.scale;
  // The pad layer reads its layout setting when it starts, before the video.
  open_pads();
  open_scaled_window(window);
  set_display_lost_handler(on_display_lost);
  set_window_title("ZORBEL");
  set_frame_source(sdl_frame_source());
  set_input_source(sdl_input_source());
  init_user_interface();
  show_pointer(false);
  lock_screen(draw_state.surface);
  // A surface opened again in the same process (tests) may hold the last one's pixels; only
  // the console area is drawn from here on.
  fill_rect(0, 0, kScreenWidth, kScreenHeight, 0);
  redraw_sequencer_screen();
  // A recovery file newer than every song says that the last session's work was not saved:
  // the FILE line names it and a box says so. The start-up song plays all the same: nothing is
  // loaded unasked. (A SAVE under that name moves the recovery file to the backups first.)
  if (recovery_file_is_newest()) {
    std::snprintf(editor_link.song_name, sizeof editor_link.song_name, "%s", kRecoverySongName);
    redraw_sequencer_screen();
    show_message_state(kStateMessage18, "UNSAVED WORK IN RECOVER.SEQ");
  }
  unlock_screen(draw_state.surface);
  // The song the program starts with is where undoing ends.
  reset_journal();
  set_frame_hook(on_frame);
  enable_autosave(true);
  reset_midi_dispatch();
  if (options.audio_device) {
    station.audio_wanted = true;
    // The MIDI ports join the JACK output's client whenever it opens.
    install_midi_jack_hooks();
    // Without a device the workstation runs silent and keeps looking for one.
    if (!try_open_audio(kFramesPerBuffer)) {
      std::fprintf(stderr, "zorbel: no audio device\n");
      station.audio_lost = true;
      station.last_reopen = std::chrono::steady_clock::now();
      show_message_state(kStateMessage18, "AUDIO DEVICE LOST");
    }
    open_midi_ports();
  }
}

void install_quit_signals() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = on_quit_signal;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaction(signal_number, &action, nullptr);
}

int run_workstation() {
  bool warned = false;
  for (;;) {
    run_main_loop();
    if (keep_unsaved_song() || quit_signal() != 0 || warned) break;
    // Nowhere took the song: the quit waits for a second Esc, so the work can still be saved.
    warned = true;
    input.quit = false;
    show_message_state(kStateMessage18, "COULD NOT SAVE RECOVER.SEQ - ESC AGAIN TO QUIT");
  }
  const int signal_number = quit_signal();
  if (signal_number == 0) return 0;
  std::fprintf(stderr, "zorbel: ended by signal %d (%s)\n", signal_number, strsignal(signal_number));
  return 128 + signal_number;
}

void shutdown_workstation(int exit_status) {
  // The song is kept before anything that can hang or fail.
  keep_unsaved_song();
  set_frame_hook(nullptr);
  set_display_lost_handler(nullptr);
  // An attempt to reopen that still runs is held up in the audio library: it is not waited for.
  if (station.audio_wanted && (audio_reopen_pending() || !close_audio_within(kAudioStopLimitMs))) {
    std::fprintf(stderr, "zorbel: the audio device did not stop; leaving without it\n");
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exit_status != 0 ? exit_status : 1);
  }
  station.audio_wanted = false;
  close_midi_ports();
  // The stream no longer calls back: the modules it read can go.
  if (hooks.free_all_modules) hooks.free_all_modules();
  close_scaled_window();
  SDL_Quit();
}

}  // namespace zorbel
