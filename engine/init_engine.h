// Global initialisation of the song, transport and synthesis state.
#pragma once

#include <cstdint>

namespace zorbel {

// Puts the whole engine into its start-up state: song and transport defaults, wavetables,
// the random tables filled from seed, empty module lists, and the engine hooks. Tests call it
// between cases; the program calls it once with a seed taken from the time.
void init_engine(uint32_t seed);

}  // namespace zorbel
