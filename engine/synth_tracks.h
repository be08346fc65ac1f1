// The song's synths: building and deleting a track's synth with its parameter lanes and slots,
// and applying a triggered step's values to the synth.
#pragma once

#include "engine/song.h"
#include "synth/module_graph.h"

namespace zorbel {

constexpr int kLanePoolSize = 550;  // parameter lanes shared by all synths

// The 550 parameter lanes of 6400 values each; synth s's lanes follow those of synths below it.
extern float lane_pool[kLanePoolSize][kLaneLength];

// Builds synth number `synth` (the next free slot) as type code `type`: modules, display name,
// synth_type, freq_mode, parameter slots and the track's play cursor. With init_lanes every lane
// value takes the parameter's default. song.track_count is the caller's to raise. The sample
// list is read afresh (song_events) when the song gains its only sample player.
// Fatal: 0 synth number outside 0..15, 13 no room in the lane pool, 4 type outside 0..63 (or a
// kind this program lacks), 1 more than 52 parameters, 7 a module pool exhausted.
void build_synth(int synth, int type, bool init_lanes = true);
// Removes synth `synth` and shifts the higher synths (their modules, lanes, parameter slots,
// names, types and frequency modes) down by one; song.track_count drops by one.
void delete_synth(int synth);
// Frees every synth module; no parameter slot keeps pointing into a freed module.
void free_all_modules();
// One block of every synth into the mix buses.
void render_block();
// Writes a triggered step's values into track's synth: pitch glide, then every parameter slot by
// its class, then the generator restart unless the step is legato.
void apply_step_params(int track, const float* step_values);
// Whether a synth of `type` may be added to the song's track_count synths.
bool can_add_synth(int type);
// Installs what the synthesis reads of the sequencer (tempo, transport, filter tracking).
void link_synthesis_to_sequencer();

// What the layers above want to hear of changes the engine makes to the song. Installed once by
// the layer that listens; init_engine leaves it alone.
struct SongEvents {
  // The song gained its only sample player (main thread).
  void (*sample_player_added)() = nullptr;
};
extern SongEvents song_events;

}  // namespace zorbel
