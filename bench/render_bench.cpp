// Render speed of the audio callback, reported as a real-time factor (seconds of audio rendered
// per second of one core) and as time per 128-frame block per synth.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"

namespace zorbel {
namespace {

constexpr double kBufferSeconds = kBufferFrames / 44100.0;

// Every step of every track sounds; pitch and LFO amounts vary per step so glides and LFOs move.
void trigger_everything(bool move_pitch) {
  for (int l = 0; l < MAX_LOOPS; ++l)
    for (int t = 0; t < MAX_TRACKS; ++t)
      for (int s = 0; s < MAX_STEPS; ++s) {
        song.step_trig[l][t][s] = 100;
        song.step_vol[l][t][s] = 0.7f;
      }
  if (!move_pitch) return;
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k) {
      ParamSlot& slot = song.param_slot[t][k];
      const ParamInfo* info = type_param(song.synth_type[t], k);
      if (!info || !slot.lane) continue;
      if (slot.cls == ParamClass::kNotePitch)
        for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = static_cast<float>(36 + (i * 7) % 36);
      else if (slot.cls == ParamClass::kLfoAmount)
        for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = 0.3f;
      else if (info->name && info->name[0] == 'E' && info->name[1] == 'X' && k < 6)
        for (int i = 0; i < kLaneLength; ++i) slot.lane[i] = (i % 2) ? 0.995f : 1.004f;
    }
}

void add_synths(const std::vector<int>& types) {
  for (size_t i = 0; i < types.size(); ++i) build_synth(static_cast<int>(i), types[i]);
  sort_registry();
  song.track_count = static_cast<int16_t>(types.size());
  for (int t = 0; t < song.track_count; ++t) reset_play_cursor(t);
}

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
  trigger_everything(false);
  run(state, song.track_count);
}
BENCHMARK(BM_StartupSongAllSteps)->Unit(benchmark::kMicrosecond);

void BM_EightBfmSvf(benchmark::State& state) {
  init_engine(2);
  add_synths(std::vector<int>(8, 15));
  trigger_everything(true);
  run(state, 8);
}
BENCHMARK(BM_EightBfmSvf)->Unit(benchmark::kMicrosecond);

void BM_SixteenMixed(benchmark::State& state) {
  init_engine(3);
  // BAM, BFMSVF, FM, KSDEC, NSVF, ZBQ, ROTPCF, BAMCLP, FMSVF, KS, N, ZBQSVF, ROT, BAMRD,
  // KSSVF, ROT: about 99.5 percent of the cost budget.
  add_synths({0, 15, 16, 26, 39, 40, 52, 1, 23, 24, 32, 47, 48, 5, 31, 48});
  trigger_everything(true);
  run(state, 16);
}
BENCHMARK(BM_SixteenMixed)->Unit(benchmark::kMicrosecond);

// One synth of each type alone: time per block for that engine and effect.
void BM_SingleType(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  init_engine(4);
  add_synths({type});
  trigger_everything(true);
  state.SetLabel(type_name_from_code(type));
  run(state, 1);
}
BENCHMARK(BM_SingleType)->DenseRange(0, 63, 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorbel

BENCHMARK_MAIN();
