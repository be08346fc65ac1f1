// What a synth type code is made of: its engine and effect kinds.
#pragma once

namespace zorbel {

// Module kind of the type's engine, or -1 when the code is not a buildable type 0..63.
int type_engine_kind(int type);
// Module kind of the type's effect, or -1 when it has none (or the code is not buildable).
int type_effect_kind(int type);

}  // namespace zorbel
