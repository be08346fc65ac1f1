// Global initialisation: the start-up values of every table, in the order the engine needs.
#include "engine/init_engine.h"

#include "engine/audition.h"
#include "engine/engine_hooks.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "synth/random_table.h"
#include "synth/synth_setup.h"
#include "synth/voice_output.h"

namespace zorbel {

void init_engine(uint32_t seed) {
  // Whatever a previous song built must go before the tables that point into it are reset.
  if (hooks.free_all_modules) hooks.free_all_modules();
  hooks = EngineHooks{};
  reset_song_state();
  reset_audition();
  clear_buses();
  hooks.output_block = output_block;
  // Wavetables, random tables from the seed, empty module lists, parameter descriptions.
  init_synthesis(seed);
  free_all_modules();
  hooks.block_step = block_step;
  hooks.start_block = start_block;
  hooks.render_block = render_block;
  hooks.refresh_noise = refresh_noise;
  hooks.apply_step_params = apply_step_params;
  hooks.voice_start = start_voice;
  hooks.update_derived = update_derived;
  hooks.reset_modules = reset_modules;
  hooks.free_all_modules = free_all_modules;
  hooks.random_percent = random_percent;
  link_synthesis_to_sequencer();
}

}  // namespace zorbel
