// Start-up of the synthesis side (no synths yet: the engine runs as with an empty song).
#include "synth/synth_setup.h"

namespace zorbel {

void init_synthesis(uint32_t /*seed*/, EngineHooks& /*hooks*/) {}

}  // namespace zorbel
