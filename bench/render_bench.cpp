// Render speed of the audio callback, reported as a real-time factor (seconds of audio rendered
// per second of one core) and as time per 128-frame block per synth.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_songs.h"
#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"

namespace zorbel {
namespace {

constexpr double kBufferSeconds = kBufferFrames / 44100.0;

void run(benchmark::State& state, int synths) {
  std::vector<float> out(2 * kBufferFrames);
  for (auto _ : state) {
    render_buffer(out.data());
    benchmark::DoNotOptimize(out.data());
  }
  const double buffers = static_cast<double>(state.iterations());
  state.counters["x_realtime"] = benchmark::Counter(
      buffers * kBufferSeconds, benchmark::Counter::kIsRate);
  if (synths > 0)
    state.counters["block_per_synth"] = benchmark::Counter(
        buffers * kBlocksPerBuffer * synths,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_StartupSongAllSteps(benchmark::State& state) {
  init_engine(1);
  build_startup_song();
  bench::trigger_everything(false);
  run(state, song.track_count);
}
BENCHMARK(BM_StartupSongAllSteps)->Unit(benchmark::kMicrosecond);

// The songs the instruction count measures too (bench/instruction_count.sh).
void run_bench_song(benchmark::State& state, int index) {
  const bench::BenchSong& s = bench::bench_songs()[static_cast<size_t>(index)];
  init_engine(static_cast<uint32_t>(s.seed));
  bench::build_bench_song(s);
  run(state, static_cast<int>(s.types.size()));
}
void BM_EightBfmSvf(benchmark::State& state) { run_bench_song(state, 0); }
BENCHMARK(BM_EightBfmSvf)->Unit(benchmark::kMicrosecond);
void BM_EightFm(benchmark::State& state) { run_bench_song(state, 1); }
BENCHMARK(BM_EightFm)->Unit(benchmark::kMicrosecond);
void BM_EightBam(benchmark::State& state) { run_bench_song(state, 2); }
BENCHMARK(BM_EightBam)->Unit(benchmark::kMicrosecond);
void BM_SixteenMixed(benchmark::State& state) { run_bench_song(state, 3); }
BENCHMARK(BM_SixteenMixed)->Unit(benchmark::kMicrosecond);

// One synth of each type alone: time per block for that engine and effect.
void BM_SingleType(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  init_engine(4);
  bench::add_synths({type});
  bench::trigger_everything(true);
  state.SetLabel(type_name_from_code(type));
  run(state, 1);
}
BENCHMARK(BM_SingleType)->DenseRange(0, 63, 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorbel

BENCHMARK_MAIN();
