// Start-up, run and shutdown of the workstation.
#include "app/workstation.h"

#include "edit/undo_journal.h"

#include <SDL/SDL.h>

#include <cstdio>

#include "engine/audio_stream.h"
#include "edit/edit.h"
#include "engine/engine_hooks.h"
#include "engine/init_engine.h"
#include "engine/song_templates.h"
#include "ui/draw/draw.h"
#include "ui/screens/editor_input.h"
#include "ui/platform/input.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/param_editor_link.h"
#include "ui/widgets/param_modifier.h"
#include "ui/widgets/view_settings.h"
#include "ui/draw/screen.h"
#include "ui/platform/gamepad.h"
#include "ui/platform/scaled_window.h"
#include "ui/platform/sdl_platform.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_editor.h"

namespace zorbel {

namespace {
bool audio_opened = false;
constexpr int kFramesPerBuffer = 1024;

// Quitting asks nothing, so a song changed since it was last saved or loaded is kept aside.
void keep_unsaved_song() {
  bool written = false;
  if (save_recovery_song(&written) != EditResult::kOk) {
    std::fprintf(stderr, "zorbel: could not write the unsaved song to seq/%s\n", kRecoverySongFile);
    return;
  }
  if (written) std::printf("zorbel: unsaved song written to seq/%s\n", kRecoverySongFile);
  std::fflush(stdout);
}

}  // namespace

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
  init_engine(options.seed);
  WindowOptions window;
  window.full_screen = !options.windowed;
  window.view = options.view;
  window.scale = options.scale;
  // The pad layer reads its layout setting when it starts, before the video.
  open_pads();
  open_scaled_window(window);
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
  unlock_screen(draw_state.surface);
  // The song the program starts with is where undoing ends.
  reset_journal();
  if (options.audio_device) {
    open_audio(kFramesPerBuffer);
    start_audio();
    audio_opened = true;
  }
}

void run_workstation() { run_main_loop(); }

void shutdown_workstation() {
  if (audio_opened) {
    stop_audio();
    close_audio();
    audio_opened = false;
  }
  // With the stream stopped no callback reads the song while it is written out.
  keep_unsaved_song();
  // The stream no longer calls back: the modules it read can go.
  if (hooks.free_all_modules) hooks.free_all_modules();
  close_scaled_window();
  SDL_Quit();
}

}  // namespace zorbel
