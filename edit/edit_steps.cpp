// Changes of steps and of parameter values: one step, many steps, every loop.
#include "edit/edit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "edit/edit_support.h"
#include "engine/builtin_sounds.h"
#include "engine/freq_mode.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"
#include "engine/transport_requests.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"

namespace zorbel {

// ---- Steps ----

void edit_step_trig(int loop, int track, int step, int trig) {
  if (!valid_step(loop, track, step)) return;
  edit_begin("TRIG");
  shared_store(song.step_trig[loop][track][step], std::clamp(trig, 0, kMaxTrig));
}

void edit_step_vol(int loop, int track, int step, float vol) {
  if (!valid_step(loop, track, step)) return;
  edit_begin("VOL");
  shared_store(song.step_vol[loop][track][step], clampf(vol, 0.0f, 1.0f));
}

void edit_step_legato(int loop, int track, int step, bool legato) {
  if (!valid_step(loop, track, step)) return;
  edit_begin("LEGATO");
  store_step_bit(song.legato_steps[loop][track], step, legato);
}

void edit_hit_mark(int loop, int track, int step, bool marked) {
  if (!valid_step(loop, track, step)) return;
  const uint64_t bit = uint64_t{1} << step;
  if (marked)
    song.hit_marks[loop][track] |= bit;
  else
    song.hit_marks[loop][track] &= ~bit;
}

void edit_clear_hit_marks(int loop, int track) {
  if (!valid_step(loop, track, 0)) return;
  song.hit_marks[loop][track] = 0;
}

// ---- Parameters ----

bool param_range(int track, int slot, float* min, float* max) {
  if (!valid_slot(track, slot)) return false;
  return type_param_range(song.synth_type[track], slot, song.param_slot[track][slot].cls, min, max);
}

float param_value(int track, int slot, int loop, int step) {
  if (!valid_slot(track, slot) || !valid_step(loop, track, step)) return 0.0f;
  return song.param_slot[track][slot].lane[loop * MAX_STEPS + step];
}

void edit_param(int track, int slot, int loop, int step, float value) {
  edit_param_steps(track, slot, loop, step, step, value);
}

void edit_param_steps(int track, int slot, int loop, int first, int last, float value) {
  if (!valid_slot(track, slot) || !valid_step(loop, track, first) ||
      !valid_step(loop, track, last) || last < first)
    return;
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  edit_begin("PARAM");
  float* lane = song.param_slot[track][slot].lane + loop * MAX_STEPS;
  const float v = clampf(value, lo, hi);
  for (int s = first; s <= last; ++s) shared_store(lane[s], v);
}

void edit_param_all_loops(int track, int slot, float value) {
  if (!valid_slot(track, slot)) return;
  float lo = 0.0f, hi = 0.0f;
  param_range(track, slot, &lo, &hi);
  edit_begin("PARAM ALL LOOPS");
  float* lane = song.param_slot[track][slot].lane;
  const float v = clampf(value, lo, hi);
  for (int i = 0; i < kLaneLength; ++i) shared_store(lane[i], v);
}

}  // namespace zorbel
