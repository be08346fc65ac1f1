// The synth module graph: pools, kind lists, process registry, building and deleting synths.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

constexpr int kRegistrySize = 48;
constexpr int kLanePoolSize = 550;     // parameter lanes shared by all synths
constexpr int kTypeCount = 64;         // buildable synth types 0..63
constexpr int kTypeKsbd = 64;          // named and costed, never built

// The modules of one synth, for code that needs a synth's parts directly.
struct SynthModules {
  ModuleBase* generator = nullptr;
  ModuleBase* effect = nullptr;
  ModuleBase* voice = nullptr;
  ModuleBase* lfo = nullptr;     // null for engine N
  ModuleBase* glide = nullptr;
  int engine_kind = 20;          // 20: none
  int effect_kind = 21;          // 21: none
};

extern SynthModules synth_modules[MAX_TRACKS];
// One 128-frame buffer per synth on the 16-bit scale: generator writes, effect rewrites,
// voice reads.
extern float synth_buffer[MAX_TRACKS][kBlockFrames];
// The 550 parameter lanes of 6400 values each; synth s's lanes follow those of synths below it.
extern float lane_pool[kLanePoolSize][kLaneLength];

// Builds synth number `synth` (the next free slot) as type code `type`: modules, display name,
// parameter slots. With init_lanes every lane value takes the parameter's default.
void build_synth(int synth, int type, bool init_lanes = true);
// Removes synth `synth` and shifts the higher synths (and their lanes) down by one.
void delete_synth(int synth);
void sort_registry();
void start_block();
void render_block();
// total plus the cost of one synth type, in percent of the time budget.
float synth_cost(int type, float total);
void free_all_modules();
// Stops the audio stream and ends the process with status 255.
[[noreturn]] void fatal_exit(int code);

// Type names: engine name followed by the effect suffix ("BAMSVF"); 64 "KSBD".
const char* type_name_from_code(int code);
// The code of a type name, or -1 when the name is none of the 65.
int type_code_from_name(const char* name);
// The kind ops of a module kind, or null.
const KindOps* kind_ops(int kind);
// Parameter description q of a synth type's full list (generator, effect, 13 voice params).
const ParamInfo* type_param(int type, int q);
int type_param_count(int type);

}  // namespace zorbel
