// Program entry: start-up, the main loop, and shutdown in the order that keeps audio safe.
#include <SDL/SDL.h>

#include <ctime>

#include "engine/audio_stream.h"
#include "engine/engine_hooks.h"
#include "engine/init_engine.h"
#include "engine/song_templates.h"
#include "ui/main_loop.h"
#include "ui/screen.h"

#ifdef ZORBEL_WINDOWED
constexpr bool kWindowed = true;
#else
constexpr bool kWindowed = false;
#endif

int main() {
  using namespace zorbel;
  init_engine(static_cast<uint32_t>(std::time(nullptr)));
  open_screen(800, 600, 16, kWindowed);
  build_startup_song();
  SDL_ShowCursor(0);
  open_audio(1024);
  start_audio();
  run_main_loop();
  stop_audio();
  close_audio();
  // The stream no longer calls back: the modules it read can go.
  if (hooks.free_all_modules) hooks.free_all_modules();
  SDL_Quit();
  return 0;
}
