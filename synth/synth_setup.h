// Start-up of the synthesis side: tables, module lists and the hooks the engine calls.
#pragma once

#include <cstdint>

#include "engine/engine_hooks.h"

namespace zorbel {

// Builds the wavetables, fills the random tables from seed, empties every module list and the
// process registry, and installs the synthesis hooks.
void init_synthesis(uint32_t seed, EngineHooks& hooks);

}  // namespace zorbel
