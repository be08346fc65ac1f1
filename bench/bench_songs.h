// The benchmark songs: the heaviest song the cost model admits and a few others, built in memory.
#pragma once

#include <vector>

namespace zorbel::bench {

// One song the benchmarks render: its file name stem and how many synths it plays.
struct BenchSong {
  const char* name;   // "BFMSVF8": also the stem of its song file
  int seed;           // the random tables' seed
  std::vector<int> types;
};

// Eight BFMSVF synths (the heaviest song the cost model admits), eight FM, eight BAM, and a
// sixteen-synth mix of most engines and effects; every step of every track triggered.
const std::vector<BenchSong>& bench_songs();

// Builds one of them into the song in memory (after init_engine with its seed).
void build_bench_song(const BenchSong& s);

// Every step of every track sounds; with move_pitch, pitch and LFO amounts vary per step so
// glides and LFOs move.
void trigger_everything(bool move_pitch);

// Builds synths 0.. as the given types and readies their play cursors.
void add_synths(const std::vector<int>& types);

}  // namespace zorbel::bench
