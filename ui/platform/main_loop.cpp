// Frame loop of the main thread: draw, input per event and every sixth frame, show, 5 ms pause.
#include "ui/platform/main_loop.h"

#include <atomic>

#include "ui/platform/input.h"
#include "ui/draw/screen.h"

namespace zorbel {

namespace {

struct ModeFunctions {
  void (*draw)() = nullptr;
  void (*input)() = nullptr;
};

const FrameSource* frames = nullptr;
ModeFunctions modes[kModeCount];
int mode = kModeEditor;
int frame_counter = 0;
void (*after_draw)() = nullptr;

constexpr int kFrameSleepMs = 5;
constexpr int kIdleInputFrames = 5;  // the input runs unprompted once the counter passes this
// Frames are shown at most this often (about 60 a second, the display's own rate); a frame
// drawn in between waits for a later show.
constexpr uint32_t kPresentIntervalMs = 16;
uint32_t last_present_ms = 0;
bool presented_once = false;
void (*frame_hook)(uint32_t) = nullptr;
std::atomic<int> posted_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler stores the quit signal");

void call_input() {
  const ModeFunctions& m = modes[mode];
  if (m.input) m.input();
}

bool poll(bool* quit) { return frames && frames->poll_event && frames->poll_event(quit); }

// Shows the frame if something was drawn since the last show and the last show is old enough.
void present() {
  unlock_screen(draw_state.surface);
  if (!frames || !frames->present || !draw_state.drawn) return;
  if (frames->now_ms) {
    const uint32_t now = frames->now_ms();
    if (presented_once && now - last_present_ms < kPresentIntervalMs) return;
    last_present_ms = now;
    presented_once = true;
  }
  draw_state.drawn = false;
  frames->present();
}

}  // namespace

void set_frame_source(const FrameSource* source) { frames = source; }
void set_after_draw_hook(void (*hook)()) { after_draw = hook; }

void set_mode_functions(int m, void (*draw)(), void (*input_fn)()) {
  if (m < 0 || m >= kModeCount) return;
  modes[m].draw = draw;
  modes[m].input = input_fn;
}

void set_mode(int m) {
  if (m >= 0 && m < kModeCount) mode = m;
}

int current_mode() { return mode; }

void reset_main_loop() {
  mode = kModeEditor;
  frame_counter = 0;
  presented_once = false;
  last_present_ms = 0;
}

void run_frame() {
  lock_screen(draw_state.surface);
  if (modes[mode].draw) modes[mode].draw();
  if (after_draw) after_draw();
  bool input_called = false;
  if (frame_counter > kIdleInputFrames - 1) {
    frame_counter = 0;
    bool quit = false;
    poll(&quit);
    if (quit) input.quit = true;
    call_input();
    present();
    input_called = true;
  } else {
    ++frame_counter;
    bool quit = false;
    while (poll(&quit)) {
      if (quit) input.quit = true;
      call_input();
      present();
      lock_screen(draw_state.surface);
      input_called = true;
    }
    if (input_called) unlock_screen(draw_state.surface);
  }
  if (!input_called) present();
  if (frame_hook && frames && frames->now_ms) frame_hook(frames->now_ms());
  if (frames && frames->delay_ms) frames->delay_ms(kFrameSleepMs);
}

void draw_frame() {
  lock_screen(draw_state.surface);
  if (modes[mode].draw) modes[mode].draw();
  if (after_draw) after_draw();
  present();
}

void run_main_loop() {
  read_input_state();
  while (!input.quit && posted_signal.load() == 0) run_frame();
}

void set_frame_hook(void (*hook)(uint32_t)) { frame_hook = hook; }
void post_quit_signal(int signal_number) { posted_signal.store(signal_number); }
int quit_signal() { return posted_signal.load(); }

}  // namespace zorbel
