// Global initialisation: the start-up values of every table, in the order the engine needs.
#include "engine/init_engine.h"

#include "engine/audition.h"
#include "engine/engine_hooks.h"
#include "engine/mixer.h"
#include "engine/song.h"
#include "synth/synth_setup.h"

namespace zorbel {

void init_engine(uint32_t seed) {
  // Whatever a previous song built must go before the tables that point into it are reset.
  if (hooks.free_all_modules) hooks.free_all_modules();
  hooks = EngineHooks{};
  reset_song_state();
  reset_audition();
  clear_buses();
  hooks.output_block = output_block;
  // Wavetables, random tables from the seed, empty module lists, parameter descriptions, and
  // the synthesis hooks.
  init_synthesis(seed, hooks);
}

}  // namespace zorbel
