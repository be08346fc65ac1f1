// Start-up of the synthesis side: tables, empty module lists and the hooks the engine calls.
#include "synth/synth_setup.h"

#include "synth/module_graph.h"
#include "synth/random_table.h"
#include "synth/wavetables.h"

namespace zorbel {

void init_synthesis(uint32_t seed) {
  // The noise tables are read from the random table, so it is filled first.
  seed_random_tables(seed);
  build_wavetables();
  free_synth_modules();
}

}  // namespace zorbel
