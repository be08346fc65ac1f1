// The synth module graph: pools, kind lists, process registry, building and deleting synths.
#pragma once

#include <cstdint>

#include "synth/module.h"

namespace zorbel {

constexpr int kRegistrySize = 48;
constexpr int kTypeCount = 64;         // buildable synth types 0..63
constexpr int kTypeKsbd = 64;          // named and costed, never built

// The modules of one synth, for code that needs a synth's parts directly.
struct SynthModules {
  ModuleBase* generator = nullptr;
  ModuleBase* effect = nullptr;
  ModuleBase* voice = nullptr;
  ModuleBase* lfo = nullptr;     // null for engine N
  ModuleBase* glide = nullptr;
  int engine_kind = kKindNoSynth;
  int effect_kind = kKindNoEffect;
  const KindOps* engine_ops = nullptr;
  const KindOps* effect_ops = nullptr;
  // Positions in the synth's parameter list of what the pitch glide reads from a step: the
  // pitch (N: SAMPHOLD, WAV: RDSPEED), the ratio EXPMULT and ENDOFFSET; -1 when absent.
  int pitch_param = -1;
  int expmult_param = -1;
  int endoffset_param = -1;
  bool pitch_is_note = false;    // the pitch follows the track's freq_mode (not N, not WAV)
};

extern SynthModules synth_modules[kMaxSynths];
// One 128-frame buffer per synth on the 16-bit scale: generator writes, effect rewrites,
// voice reads.
extern float synth_buffer[kMaxSynths][kBlockFrames];

// Builds the modules of synth number `synth` (the next free slot) as type code `type`: generator,
// effect, voice, pitch glide and LFO, and writes the type's parameter destinations, in list order,
// into dests (room for kMaxSynthParams). Returns the number of parameters.
// Fatal: 0 synth number outside 0..15, 4 type outside 0..63 (or a kind this program lacks),
// 1 more than 52 parameters, 7 a module pool exhausted.
int build_synth_modules(int synth, int type, ParamDest* dests);
// Removes synth `synth`'s modules and renumbers the higher synths' modules down by one.
void delete_synth_modules(int synth);
// Synths that have modules.
int built_synth_count();
// Sample players (WAV generators) among the built synths.
int sample_players();
void sort_registry();
void start_block();
// Runs every registered module for 128 frames, then the voices of synths 0..tracks-1 into their
// rows of the right and left buses.
void render_synths(int tracks, float (*right)[kBlockFrames], float (*left)[kBlockFrames]);
// total plus the cost of one synth type, in percent of the time budget. Empty slots (66, 65535)
// cost nothing; a code outside the table is fatal 3.
float synth_cost(int type, float total);
// Frees every synth module and marks every pool slot free.
void free_synth_modules();
// Prints "zorbel: fatal error CODE: REASON" on stderr, stops the audio stream and ends the process
// with status 255. Render faults (9, 10 a registry
// entry without function or instance, 11 a track without a voice) end it at once from the audio
// thread, which cannot stop its own stream.
[[noreturn]] void fatal_exit(int code);

// The note start of synth s's generator (end of a voice delay, a non-legato step).
void engine_restart(int synth);
// Per-block control work: every LFO, then every pitch glide, then update_derived().
void block_step();
// Every module's derived fields from its current parameters.
void update_derived();
// Every module's running state back to note-off, synth buffers cleared.
void reset_modules();
// The track's voice: step volume, and an envelope restart unless legato.
void start_voice(int track, float volume, bool legato);
// The track's voice back to its silent state at once (a cleared loop stops its notes).
void silence_voice(int track);

// Creates one instance of `kind` for synth `synth` from the kind's pool (fatal 7 when all 16 are
// in use), appends it to the kind's list and registers generators and effects for rendering.
ModuleBase* create_module(int kind, int synth);
// Adds a render entry; a full registry (48) records nothing.
void registry_add(const KindOps* ops, ModuleBase* m);
int registry_size();
// Kind of registry entry i in render order (-1 when the entry has no ops).
int registry_kind(int i);
ModuleBase* registry_module(int i);
// Instance n (from 0) of a kind's list, which runs in synth order; null past the end.
ModuleBase* nth_instance(int kind, int n);
// Instances of kind `kind` that synth `synth` owns.
int module_count(int synth, int kind);
// Replaces a kind's ops, returning the previous ones (tests build graphs of stand-in kinds).
const KindOps* set_kind_ops(int kind, const KindOps* ops);

// Costs in tenths of a percent, so that a song of exactly 100.0 is not refused by rounding.
int synth_cost_tenths(int type);
constexpr int kCostBudgetTenths = 1000;
// Index of the first of `count` synth types at which the running cost passes 100.0, or -1.
int cost_overload_at(const int32_t* types, int count);

// Type names: engine name followed by the effect suffix ("BAMSVF"); 64 "KSBD". A code outside
// 0..64 is fatal 8.
const char* type_name_from_code(int code);
// The code of a type name, or -1 when the name is none of the 65.
int type_code_from_name(const char* name);
// The kind ops of a module kind, or null.
const KindOps* kind_ops(int kind);
// Parameter description q of a synth type's full list (generator, effect, 13 voice params).
const ParamInfo* type_param(int type, int q);
int type_param_count(int type);
// The editor range of parameter q of a type whose slot has class cls: a pitch follows its
// class (note numbers or Hz), every other parameter its own range. False when q does not exist.
bool type_param_range(int type, int q, ParamClass cls, float* min, float* max);

}  // namespace zorbel
