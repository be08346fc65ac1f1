// Drawing speed of the sequencer screen: the full redraw (done twice, as every return to step
// edit does) and the per-frame update while the oscilloscope shows a changing signal.
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "ui/draw/scaler.h"
#include "ui/draw/screen.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/screens/step_editor.h"

namespace zorbel {
namespace {

// The start-up song with a hit on every fourth step of every track, on an 800 x 600 x 16
// surface of its own.
struct BenchScreen {
  SDL_Surface* surface;
  BenchScreen() {
    init_engine(1);
    build_startup_song();
    for (int t = 0; t < song.track_count; ++t)
      for (int s = 0; s < MAX_STEPS; s += 4) {
        song.step_trig[0][t][s] = 100;
        song.step_vol[0][t][s] = 0.5f;
      }
    editor_link.cursor_step = 8;
    reset_step_editor();
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, kScreenWidth, kScreenHeight, 16, 0xF800,
                                   0x07E0, 0x001F, 0);
    reset_draw_state(surface);
  }
  ~BenchScreen() {
    reset_draw_state(nullptr);
    SDL_FreeSurface(surface);
  }
};

void BM_FullRedraw(benchmark::State& state) {
  BenchScreen screen;
  for (auto _ : state) redraw_sequencer_screen();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

// A new audio buffer every frame (the worst case: the audio changes about every 4.6 frames),
// with the playback mark moving.
void BM_UpdateWithOscilloscope(benchmark::State& state) {
  BenchScreen screen;
  redraw_sequencer_screen();
  long frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const float phase = static_cast<float>(frame++) * 0.37f;
    for (int i = 0; i < kBufferFrames; ++i)
      buses.record_right[i] = 0.8f * std::sin(phase + static_cast<float>(i) * 0.05f);
    transport.step_pos = static_cast<uint16_t>((frame / 8) % MAX_STEPS);
    state.ResumeTiming();
    update_sequencer_screen();
  }
}
BENCHMARK(BM_UpdateWithOscilloscope)->Unit(benchmark::kMicrosecond);

// An idle frame: nothing changed, nothing is drawn.
void BM_UpdateIdle(benchmark::State& state) {
  BenchScreen screen;
  redraw_sequencer_screen();
  for (auto _ : state) update_sequencer_screen();
}
BENCHMARK(BM_UpdateIdle)->Unit(benchmark::kMicrosecond);

// One shown frame of the scaled window: the drawn sequencer screen enlarged into a display
// surface of the picture's size. Argument: the scale; the second, 1 for the whole surface.
void BM_ScaleShownFrame(benchmark::State& state) {
  BenchScreen screen;
  redraw_sequencer_screen();
  const ViewKind view = state.range(1) ? ViewKind::kFullSurface : ViewKind::kConsole;
  const int scale = static_cast<int>(state.range(0));
  int w = 0, h = 0;
  scaled_picture_size(view, scale, &w, &h);
  SDL_Surface* display =
      SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
  const ScaledView placement = place_view(view, scale, w, h);
  for (auto _ : state) scale_surface(screen.surface, display, placement);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w) * h * 2);
  SDL_FreeSurface(display);
}
BENCHMARK(BM_ScaleShownFrame)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({6, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorbel

BENCHMARK_MAIN();
