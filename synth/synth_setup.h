// Start-up of the synthesis side: tables, module lists and the hooks the engine calls.
#pragma once

#include <cstdint>


namespace zorbel {

// Builds the wavetables, fills the random tables from seed, and empties every module list and
// the process registry.
void init_synthesis(uint32_t seed);

}  // namespace zorbel
