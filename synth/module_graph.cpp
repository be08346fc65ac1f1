// The module graph: pools and kind lists, the render registry, building and deleting synths.
#include "synth/module_graph.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "synth/lfo.h"
#include "synth/pitch_glide.h"
#include "synth/sequencer_link.h"
#include "synth/synth_types.h"
#include "synth/voice_output.h"
#include "synth/wavetables.h"

namespace zorbel {

SynthModules synth_modules[kMaxSynths];
float synth_buffer[kMaxSynths][kBlockFrames];
SequencerLink sequencer_link;

namespace {

constexpr int kCountRows = kMaxSynths + 1;  // synths 0..15 and one spare row
constexpr int kCountColumns = 21;
// Where a new synth's pitch glide starts: value, end value (ratio 1).
constexpr float kGlideValue = 480.0f;
constexpr float kGlideEnd = 50.0f;
constexpr float kNoiseGlideValue = 1.0f;
constexpr float kNoiseGlideEnd = 0.0f;

struct RegistryEntry {
  const KindOps* ops = nullptr;
  ModuleBase* m = nullptr;
};

ModuleBase* heads[kKindCount];
bool slot_in_use[kKindCount][kPoolSize];
uint16_t counts[kCountRows][kCountColumns];
RegistryEntry registry[kRegistrySize];
int registry_count = 0;
int built_synths = 0;  // synths that have modules; track_count follows it outside edits
// Parameter destinations of the synth being built, in creation order.
ParamDest destinations[2 * kMaxSynthParams];
int destination_count = 0;

// Generators and effects render from the registry; the voice, LFO and glide do not.
bool renders_from_registry(const KindOps* ops) { return ops->role != KindRole::kControl; }

// The one-line reason of each fatal code.
const char* fatal_reason(int code) {
  switch (code) {
    case 0: return "synth number outside 0..15";
    case 1: return "synth type with more than 52 parameters";
    case 3: return "cost asked of an unknown synth type";
    case 4: return "synth type outside 0..63 or of a kind this program lacks";
    case 5: return "render registry holds a kind that does not render";
    case 7: return "module pool exhausted";
    case 8: return "type name asked of an unknown type code";
    case 9: return "render entry without a function";
    case 10: return "render entry without a module";
    case 11: return "track without a voice";
    case 13: return "no room in the parameter lane pool";
    default: return "internal error";
  }
}

void print_fatal(int code) {
  char line[128];
  const int n = std::snprintf(line, sizeof line, "zorbel: fatal error %d: %s\n", code, fatal_reason(code));
  // One write, so the line arrives whole even from the audio thread.
  if (n > 0) (void)!::write(2, line, static_cast<size_t>(n < static_cast<int>(sizeof line) ? n : sizeof line - 1));
}

// A fault found while rendering: the stream cannot be stopped from its own callback, so the
// process ends at once.
[[noreturn]] void fatal_exit_audio(int code) {
  print_fatal(code);
  std::_Exit(255);
}

void append_to_list(int kind, ModuleBase* m) {
  m->next = nullptr;
  if (!heads[kind]) {
    heads[kind] = m;
    return;
  }
  ModuleBase* last = heads[kind];
  while (last->next) last = last->next;
  last->next = m;
}

void unlink_from_list(int kind, ModuleBase* m) {
  ModuleBase** link = &heads[kind];
  while (*link && *link != m) link = &(*link)->next;
  if (*link) *link = m->next;
  m->next = nullptr;
}

void add_destinations(const KindOps* ops, ModuleBase* m) {
  if (!ops->bind) return;
  ParamDest fields[2 * kMaxSynthParams];
  const int n = ops->bind(m, fields);
  for (int i = 0; i < n && destination_count < 2 * kMaxSynthParams; ++i) destinations[destination_count++] = fields[i];
}

void free_pool_slot(int kind, ModuleBase* m) {
  const KindOps* ops = kind_ops(kind);
  if (!ops) return;
  if (ops->release) ops->release(m);
  for (int i = 0; i < kPoolSize; ++i)
    if (ops->pool_slot(i) == m) slot_in_use[kind][i] = false;
}

void registry_remove(ModuleBase* m) {
  int kept = 0;
  for (int i = 0; i < registry_count; ++i)
    if (registry[i].m != m) registry[kept++] = registry[i];
  for (int i = kept; i < registry_count; ++i) registry[i] = RegistryEntry{};
  registry_count = kept;
}

// Parameter positions the pitch glide reads from a step, found by name in the generator's list.
void find_glide_params(SynthModules& sm, int engine_kind) {
  sm.pitch_param = sm.expmult_param = sm.endoffset_param = -1;
  const KindOps* ops = sm.engine_ops;
  for (int q = 0; q < ops->param_count; ++q) {
    const ParamInfo& p = ops->params[q];
    if (sm.expmult_param < 0 && std::strcmp(p.name, "EXPMULT") == 0) sm.expmult_param = q;
    if (sm.endoffset_param < 0 && std::strcmp(p.name, "ENDOFFSET") == 0) sm.endoffset_param = q;
    if (sm.pitch_param < 0) {
      if (engine_kind == kKindWav ? std::strcmp(p.name, "RDSPEED") == 0 : is_pitch_class(p.cls))
        sm.pitch_param = q;
    }
  }
  if (engine_kind == kKindN) sm.pitch_param = 0;
  sm.pitch_is_note = engine_kind != kKindWav && engine_kind != kKindN;
}

void attach_glide_and_lfo(int synth, int engine_kind) {
  SynthModules& sm = synth_modules[synth];
  PitchGlide* glide = new PitchGlide;
  glide->synth = static_cast<int16_t>(synth);
  if (engine_kind == kKindN) {
    // The noise engine's pitch is its 16-bit SAMPHOLD, its first parameter; steps write the
    // glide's value instead, and the glide passes it on.
    glide_init(*glide, destinations[0], kNoiseGlideValue, kNoiseGlideEnd);
    destinations[0] = &glide->v;
  } else {
    float* pitch = sm.engine_ops->pitch_field ? sm.engine_ops->pitch_field(sm.generator) : nullptr;
    if (!pitch) fatal_exit(4);
    glide_init(*glide, pitch, kGlideValue, kGlideEnd);
  }
  append_to_list(kKindGlide, glide);
  ++counts[synth][kKindGlide];
  sm.glide = glide;
  if (engine_kind == kKindN) return;

  Lfo* lfo = new Lfo;
  lfo->synth = static_cast<int16_t>(synth);
  lfo_init(*lfo, &glide->v);
  if (engine_kind == kKindZbq || engine_kind == kKindRot) lfo->depth = 0.01f;
  if (engine_kind == kKindKs) lfo->centre = 480.0f;
  append_to_list(kKindLfo, lfo);
  ++counts[synth][kKindLfo];
  sm.lfo = lfo;
  // An LFO aimed at a field that a pitch glide drives would fight it; the glide wins.
  for (int s = 0; s <= synth; ++s) {
    const PitchGlide* g = static_cast<const PitchGlide*>(synth_modules[s].glide);
    if (g && g->target == lfo->target) lfo->target_glided = true;
  }
}

void move_synth_down(int from, int to) {
  synth_modules[to] = synth_modules[from];
  std::memcpy(counts[to], counts[from], sizeof counts[to]);
}

}  // namespace

void fatal_exit(int code) {
  print_fatal(code);
  if (sequencer_link.stop_output) sequencer_link.stop_output();
  std::exit(255);
}

ModuleBase* create_module(int kind, int synth) {
  const KindOps* ops = kind_ops(kind);
  if (!ops) fatal_exit(4);
  int slot = -1;
  for (int i = 0; i < kPoolSize; ++i)
    if (!slot_in_use[kind][i]) {
      slot = i;
      break;
    }
  if (slot < 0) fatal_exit(7);
  slot_in_use[kind][slot] = true;
  ModuleBase* m = ops->pool_slot(slot);
  m->synth = static_cast<int16_t>(synth);
  m->next = nullptr;
  ops->init(m);
  append_to_list(kind, m);
  if (synth >= 0 && synth < kCountRows) ++counts[synth][kind];
  if (renders_from_registry(ops)) registry_add(ops, m);
  add_destinations(ops, m);
  return m;
}

void registry_add(const KindOps* ops, ModuleBase* m) {
  if (registry_count >= kRegistrySize) return;
  registry[registry_count++] = RegistryEntry{ops, m};
}

int registry_size() { return registry_count; }

int registry_kind(int i) {
  if (i < 0 || i >= registry_count || !registry[i].ops) return -1;
  return registry[i].ops->kind;
}

ModuleBase* registry_module(int i) { return (i >= 0 && i < registry_count) ? registry[i].m : nullptr; }

ModuleBase* nth_instance(int kind, int n) {
  if (kind < 0 || kind >= kKindCount) return nullptr;
  ModuleBase* m = heads[kind];
  while (m && n-- > 0) m = m->next;
  return m;
}

int module_count(int synth, int kind) {
  if (synth < 0 || synth >= kCountRows || kind < 0 || kind >= kKindCount) return 0;
  return counts[synth][kind];
}

int build_synth_modules(int synth, int type, ParamDest* dests) {
  // Every per-synth table holds 16 synths, so number 16 is refused like those above it.
  if (synth < 0 || synth >= kMaxSynths) fatal_exit(0);
  destination_count = 0;
  if (type < 0 || type >= kTypeCount) fatal_exit(4);
  const int engine_kind = type_engine_kind(type);
  const int effect_kind = type_effect_kind(type);
  const KindOps* engine_ops = kind_ops(engine_kind);
  const KindOps* effect_ops = effect_kind >= 0 ? kind_ops(effect_kind) : nullptr;
  if (!engine_ops || (effect_kind >= 0 && !effect_ops)) fatal_exit(4);

  SynthModules& sm = synth_modules[synth];
  sm = SynthModules{};
  sm.engine_kind = engine_kind;
  sm.engine_ops = engine_ops;
  sm.generator = create_module(engine_kind, synth);
  if (effect_ops) {
    sm.effect_kind = effect_kind;
    sm.effect_ops = effect_ops;
    sm.effect = create_module(effect_kind, synth);
  }
  sm.voice = create_module(kKindVoice, synth);
  attach_glide_and_lfo(synth, engine_kind);
  find_glide_params(sm, engine_kind);
  if (synth >= built_synths) built_synths = synth + 1;

  const int n = type_param_count(type);
  if (n > kMaxSynthParams) fatal_exit(1);
  if (n != destination_count) fatal_exit(1);
  for (int q = 0; q < n; ++q) dests[q] = destinations[q];
  return n;
}

int sample_players() {
  int players = 0;
  for (int s = 0; s < kCountRows; ++s) players += counts[s][kKindWav];
  return players;
}

int built_synth_count() { return built_synths; }

void delete_synth_modules(int synth) {
  if (synth < 0 || synth >= built_synths) return;
  SynthModules& sm = synth_modules[synth];
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (counts[synth][kind] == 0 || kind == kKindLfo || kind == kKindGlide) continue;
    ModuleBase* m = heads[kind];
    while (m) {
      ModuleBase* next = m->next;
      if (m->synth == synth) {
        unlink_from_list(kind, m);
        registry_remove(m);
        free_pool_slot(kind, m);
      }
      m = next;
    }
  }
  if (sm.lfo) {
    unlink_from_list(kKindLfo, sm.lfo);
    delete static_cast<Lfo*>(sm.lfo);
  }
  if (sm.glide) {
    unlink_from_list(kKindGlide, sm.glide);
    delete static_cast<PitchGlide*>(sm.glide);
  }

  for (int kind = 0; kind < kKindCount; ++kind)
    for (ModuleBase* m = heads[kind]; m; m = m->next)
      if (m->synth > synth) m->synth = static_cast<int16_t>(m->synth - 1);

  for (int s = synth + 1; s < built_synths; ++s) move_synth_down(s, s - 1);
  const int last = built_synths - 1;
  synth_modules[last] = SynthModules{};
  std::memset(counts[last], 0, sizeof counts[last]);
  std::memset(synth_buffer[last], 0, sizeof synth_buffer[last]);
  built_synths = last;
}

void sort_registry() {
  RegistryEntry sorted[kRegistrySize];
  bool taken[kRegistrySize] = {};
  int n = 0;
  // Rising rank; a stable pass per rank keeps synth order within a kind.
  int rank = -1;
  for (;;) {
    int next = -1;
    for (int i = 0; i < registry_count; ++i)
      if (!taken[i] && registry[i].ops && registry[i].ops->render_rank > rank &&
          (next < 0 || registry[i].ops->render_rank < next))
        next = registry[i].ops->render_rank;
    if (next < 0) break;
    for (int i = 0; i < registry_count; ++i)
      if (!taken[i] && registry[i].ops && registry[i].ops->render_rank == next) {
        sorted[n++] = registry[i];
        taken[i] = true;
      }
    rank = next;
  }
  for (int i = 0; i < registry_count; ++i)
    if (!taken[i]) fatal_exit(5);
  for (int i = 0; i < n; ++i) registry[i] = sorted[i];
}

void start_block() {
  // Each voice writes its own bus rows and each module its own synth buffer by synth number, so
  // there are no per-block cursors to re-prime.
}

void render_synths(int tracks, float (*right)[kBlockFrames], float (*left)[kBlockFrames]) {
  for (int e = 0; e < registry_count; ++e) {
    const RegistryEntry& entry = registry[e];
    if (!entry.ops || !entry.ops->render) fatal_exit_audio(9);
    if (!entry.m) fatal_exit_audio(10);
    entry.ops->render(entry.m, synth_buffer[entry.m->synth]);
  }
  for (int s = 0; s < tracks; ++s) {
    VoiceOutput* voice = static_cast<VoiceOutput*>(synth_modules[s].voice);
    if (!voice) fatal_exit_audio(11);
    voice_render(*voice, synth_buffer[s], right[s], left[s]);
  }
}

void engine_restart(int synth) {
  if (synth < 0 || synth >= kMaxSynths) return;
  const SynthModules& sm = synth_modules[synth];
  if (sm.generator && sm.engine_ops->restart) sm.engine_ops->restart(sm.generator);
}

void block_step() {
  for (int s = 0; s < built_synths; ++s)
    if (synth_modules[s].lfo) lfo_block(*static_cast<Lfo*>(synth_modules[s].lfo));
  for (int s = 0; s < built_synths; ++s)
    if (synth_modules[s].glide) glide_block(*static_cast<PitchGlide*>(synth_modules[s].glide));
  update_derived();
}

void update_derived() {
  for (int s = 0; s < built_synths; ++s) {
    const SynthModules& sm = synth_modules[s];
    if (sm.generator && sm.engine_ops->derive) sm.engine_ops->derive(sm.generator);
    if (sm.effect && sm.effect_ops->derive) sm.effect_ops->derive(sm.effect);
    if (sm.voice) kVoiceKind.derive(sm.voice);
  }
}

void reset_modules() {
  for (int s = 0; s < built_synths; ++s) {
    const SynthModules& sm = synth_modules[s];
    if (sm.generator && sm.engine_ops->reset) sm.engine_ops->reset(sm.generator);
    if (sm.effect && sm.effect_ops->reset) sm.effect_ops->reset(sm.effect);
    if (sm.voice) kVoiceKind.reset(sm.voice);
    if (sm.lfo) lfo_reset(*static_cast<Lfo*>(sm.lfo));
  }
  std::memset(synth_buffer, 0, sizeof synth_buffer);
}

void free_synth_modules() {
  for (int s = 0; s < kMaxSynths; ++s) {
    SynthModules& sm = synth_modules[s];
    if (sm.generator && sm.engine_ops->release) sm.engine_ops->release(sm.generator);
    if (sm.effect && sm.effect_ops->release) sm.effect_ops->release(sm.effect);
    delete static_cast<Lfo*>(sm.lfo);
    delete static_cast<PitchGlide*>(sm.glide);
    sm = SynthModules{};
  }
  std::memset(heads, 0, sizeof heads);
  std::memset(slot_in_use, 0, sizeof slot_in_use);
  std::memset(counts, 0, sizeof counts);
  for (RegistryEntry& entry : registry) entry = RegistryEntry{};
  registry_count = 0;
  built_synths = 0;
  destination_count = 0;
  std::memset(synth_buffer, 0, sizeof synth_buffer);
}

}  // namespace zorbel
