// The undo journal's cost: one undo (and redo) of COPY TRACK TO ALL LOOPS, and the journal's
// memory after 10,000 seeded edits of steps, values, settings and pattern operations. Also the
// time the autosave holds the audio to copy out the largest song.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "edit/edit.h"
#include "edit/undo_journal.h"
#include "engine/init_engine.h"
#include "engine/song.h"
#include "files/recovery_file.h"
#include "files/song_file.h"
#include "bench/bench_songs.h"

namespace zorbel {
namespace {

void fresh_song() {
  init_engine(1);
  edit_new_song(0);
  reset_journal();
}

void BM_UndoCopyTrackToAllLoops(benchmark::State& state) {
  fresh_song();
  for (int s = 0; s < MAX_STEPS; s += 3) edit_step_trig(0, 0, s, 100);
  for (int k = 0; k < song.param_count[0]; ++k) edit_param_steps(0, k, 0, 0, 31, 0.25f);
  copy_track_to_all_loops(0, 0);
  for (auto _ : state) {
    undo_change();
    state.PauseTiming();
    redo_change();
    state.ResumeTiming();
  }
  state.counters["entry_bytes"] = static_cast<double>(journal_stats().bytes);
}
BENCHMARK(BM_UndoCopyTrackToAllLoops)->Unit(benchmark::kMillisecond);

void BM_JournalAfterTenThousandEdits(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fresh_song();
    std::mt19937 rng(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    state.ResumeTiming();
    for (int i = 0; i < 10000; ++i) {
      const int t = pick(0, song.track_count - 1), l = pick(0, 3), s = pick(0, 63);
      switch (pick(0, 9)) {
        case 0: edit_step_trig(l, t, s, pick(0, 100)); break;
        case 1: edit_step_vol(l, t, s, pick(0, 100) / 100.0f); break;
        case 2: edit_param(t, pick(0, song.param_count[t] - 1), l, s, pick(0, 100) / 100.0f); break;
        case 3: edit_param_steps(t, pick(0, song.param_count[t] - 1), l, 0, s, 0.5f); break;
        case 4: edit_bpm(static_cast<float>(pick(60, 200))); break;
        case 5: edit_track_enable(l, t, pick(0, 1)); break;
        case 6: fill_track(l, t, pick(0, 30), pick(1, 8)); break;
        case 7: clear_steps(l, t, 0, s); break;
        case 8: copy_track_to_loop(t, l, pick(0, 3)); break;
        default: edit_param_all_loops(t, pick(0, song.param_count[t] - 1), pick(0, 100) / 100.0f);
      }
    }
    const JournalStats stats = journal_stats();
    state.counters["entries"] = static_cast<double>(stats.entries);
    state.counters["journal_MB"] = static_cast<double>(stats.bytes) / (1 << 20);
  }
}
BENCHMARK(BM_JournalAfterTenThousandEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

// The autosave encodes the song with the audio held: the sixteen-synth song with every step of
// every loop triggered and every value lane moving, the most the coder has to write.
void BM_RecoverySongCopyUnderPause(benchmark::State& state) {
  const bench::BenchSong& mixed = bench::bench_songs()[3];
  init_engine(mixed.seed);
  bench::build_bench_song(mixed);
  std::mt19937 rng(20261208);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  // Written straight into the lanes: a different value on every step defeats the run lengths.
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k)
      for (int i = 0; i < kLaneLength; ++i) song.param_slot[t][k].lane[i] = value(rng);
  SongSnapshot snapshot;
  prepare_song_snapshot(snapshot);
  for (auto _ : state) take_song_snapshot(snapshot);
  state.counters["copied_MB"] =
      static_cast<double>(sizeof(Song) + snapshot.lanes.size() * sizeof(float)) / (1 << 20);
  // What the worker does afterwards with the audio playing, for comparison.
  const auto start = std::chrono::steady_clock::now();
  const size_t bytes = encode_song(snapshot, kRecoverySongFile).size();
  state.counters["encode_ms"] = std::chrono::duration<double, std::milli>(
      std::chrono::steady_clock::now() - start).count();
  state.counters["file_MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_RecoverySongCopyUnderPause)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zorbel

BENCHMARK_MAIN();
