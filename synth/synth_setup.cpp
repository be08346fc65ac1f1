// Start-up of the synthesis side: tables, empty module lists and the hooks the engine calls.
#include "synth/synth_setup.h"

#include "synth/module_graph.h"
#include "synth/random_table.h"
#include "synth/wavetables.h"

namespace zorbel {

void init_synthesis(uint32_t seed, EngineHooks& hooks) {
  // The noise tables are read from the random table, so it is filled first.
  seed_random_tables(seed);
  build_wavetables();
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
}

}  // namespace zorbel
