// Cost of one frame of each visualizer display at its busiest: sixteen full triggers, a loud
// buffer that changes every frame, erase mode on for the level circles. Each must stay well
// under 1 ms so the display never takes time from the audio on a 2-core machine.
#include <benchmark/benchmark.h>

#include <SDL/SDL.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/step_event.h"
#include "engine/synth_tracks.h"
#include "ui/draw/screen.h"
#include "ui/screens/visualizer.h"

namespace zorbel {
namespace {

void BM_VisualizerFrame(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  init_engine(7);
  for (int t = 0; t < MAX_TRACKS; ++t) build_synth(t, 0);  // sixteen BAM voices
  sort_registry();
  song.track_count = MAX_TRACKS;
  for (int t = 0; t < MAX_TRACKS; ++t) {
    reset_play_cursor(t);
    for (int s = 0; s < MAX_STEPS; ++s) song.step_trig[0][t][s] = 100;
  }
  std::vector<float> out(2 * kBufferFrames);
  for (int i = 0; i < 8; ++i) render_buffer(out.data());
  if (last_full_trigger_count() != MAX_TRACKS) state.SkipWithError("no full triggers");

  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, kScreenWidth, kScreenHeight, 16, 0xF800, 0x07E0, 0x001F, 0);
  reset_draw_state(surface);
  reset_visualizer();
  select_visualizer_type(type);
  visualizer.erase_circles = true;

  // Two loud buffers of different level, so every frame has a new trace and new circles.
  std::vector<float> buffers[2];
  for (int b = 0; b < 2; ++b) {
    buffers[b].resize(kDisplayBufferSize);
    for (int i = 0; i < kDisplayBufferSize; ++i)
      buffers[b][i] = (b ? 0.2f : 0.9f) * std::sin(0.05f * static_cast<float>(i * (b + 1)));
  }
  int which = 0;
  for (auto _ : state) {
    std::memcpy(buses.record_right, buffers[which].data(), sizeof buses.record_right);
    which ^= 1;
    visualizer_frame();
    benchmark::ClobberMemory();
  }
  state.SetLabel("type " + std::to_string(type));
  reset_draw_state(nullptr);
  SDL_FreeSurface(surface);
}
BENCHMARK(BM_VisualizerFrame)->DenseRange(0, kVisualizerTypeCount - 1, 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorbel

BENCHMARK_MAIN();
