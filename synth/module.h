// The shape every DSP module kind shares: instance header, parameter descriptions, kind ops.
#pragma once

#include <cstddef>
#include <cstdint>

#include "synth/capacity.h"
#include "synth/param_class.h"
#include "synth/param_dest.h"

namespace zorbel {

// Module kind numbers. 0-7 generators, 8-14 effects, 16 voice output, 17 LFO, 18 pitch glide.
enum ModuleKind : int {
  kKindWav = 0, kKindBfm = 1, kKindFm = 2, kKindN = 3, kKindKs = 4, kKindZbq = 5, kKindRot = 6,
  kKindBam = 7, kKindMsk = 8, kKindClp = 9, kKindDec = 10, kKindPcf = 11, kKindRd = 12,
  kKindSvf = 13, kKindShp = 14, kKindVoice = 16, kKindLfo = 17, kKindGlide = 18,
};
constexpr int kKindCount = 19;
// What a synth without a generator or without an effect records as its kind.
constexpr int kKindNoSynth = 20;
constexpr int kKindNoEffect = 21;
constexpr int kPoolSize = 16;  // instances per pooled kind

// Every module instance begins with this header.
struct ModuleBase {
  int16_t synth = 0;           // owning synth number, kept dense by deletion
  ModuleBase* next = nullptr;  // next instance of the same kind, in synth order
};

// One parameter of a module as the editor, presets and song files see it.
struct ParamInfo {
  const char* name;  // upper-case keyword, e.g. "FREQ1"
  ParamClass cls;    // how a step value reaches the field
  float def;         // default value
  float min;         // editor range
  float max;
  float step[3];     // edit step for change magnitudes 1 (fine), 2, 3 (coarse)
};

// Every parameter binds a destination whose type its class writes (ParamDest): floats for the
// float classes and the pitches, int16_t for choices and counts (truncated, wrapping to 16 bits),
// int32_t for kHumanizedCount (delays and sustain lengths in control periods, the humanized value
// written as its 16-bit pattern), a wavetable row for kWavetable, and none for the two LFO classes,
// which act on the synth's LFO. Engine N has no float pitch field: its pitch glide drives its first
// parameter's destination (SAMPHOLD, int16_t) and pitch_field may be null.

// What a kind does in a synth: makes the sound, rewrites it, or controls the others.
enum class KindRole : uint8_t { kGenerator, kEffect, kControl };

// Everything the program knows of one module kind: the kind table (kind_table.cpp) lists these,
// and the type names, costs, type-code layout and render order are derived from them. A new
// engine or effect is one file defining one of these, one enumerator above and one line in the
// kind table.
struct KindOps {
  int kind;
  const char* name;                        // "BAM", "SVF": engine names begin type names,
                                           // effect names end them
  float cost;                              // percent of the time budget, to one decimal
  ModuleBase* (*pool_slot)(int index);     // one of the kind's 16 static instances
  void (*init)(ModuleBase* m);             // initial values; the header is already set
  // 128 frames: a generator writes buf, an effect rewrites it in place. buf is the synth buffer.
  void (*render)(ModuleBase* m, float* buf);
  void (*restart)(ModuleBase* m);          // generators: note start; may be null
  void (*derive)(ModuleBase* m);           // derived fields from parameters; may be null
  void (*reset)(ModuleBase* m);            // running state back to note-off; may be null
  void (*release)(ModuleBase* m);          // frees what the instance holds on the heap; may be null
  // Writes the parameter destinations in list order into dests, returns how many.
  int (*bind)(ModuleBase* m, ParamDest* dests);
  float* (*pitch_field)(ModuleBase* m);    // generators: the field the pitch glide drives
  const ParamInfo* params;
  int param_count;
  KindRole role;
  // Generators and effects render in rising rank (generators first); within a kind, in synth
  // order. Ranks are spaced so a new kind fits between two without renumbering.
  int render_rank;
  // Generators: the engine number of the type codes (type / 8); effects: the effect slot
  // (type % 8, 1..7). -1 for control kinds.
  int type_slot;
};

}  // namespace zorbel
