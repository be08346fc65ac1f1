// The benchmark songs, shared by the timing benchmark and the instruction count.
#include "bench/bench_songs.h"

#include "engine/init_engine.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"

namespace zorbel::bench {

namespace {

// Type codes: BAM 0, BAMCLP 1, BAMRD 5, BFMSVF 15, FM 16, FMSVF 23, KS 24, KSDEC 26, KSSVF 31,
// N 32, NSVF 39, ZBQ 40, ZBQSVF 47, ROT 48, ROTPCF 52.
constexpr int kBam = 0;
constexpr int kBfmSvf = 15;
constexpr int kFm = 16;

}  // namespace

const std::vector<BenchSong>& bench_songs() {
  static const std::vector<BenchSong> songs = {
      {"BFMSVF8", 2, std::vector<int>(8, kBfmSvf)},
      {"FM8", 5, std::vector<int>(8, kFm)},
      {"BAM8", 6, std::vector<int>(8, kBam)},
      // About 99.5 percent of the cost budget.
      {"MIXED16", 3, {0, 15, 16, 26, 39, 40, 52, 1, 23, 24, 32, 47, 48, 5, 31, 48}},
  };
  return songs;
}

void build_bench_song(const BenchSong& s) {
  add_synths(s.types);
  trigger_everything(true);
}

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

}  // namespace zorbel::bench
