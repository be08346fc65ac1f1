// The edit layer's preset and template operations: loading a preset over a range, the preview,
// SAVE PRESET, building a custom template and the recovery save on quit.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "edit/edit.h"
#include "edit/edit_support.h"
#include "engine/freq_mode.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "files/custom_template_file.h"
#include "files/preset_file.h"
#include "files/song_file.h"
#include "engine/synth_tracks.h"
#include "synth/note_table.h"

namespace zorbel {

namespace {

bool is_mode_pitch(const ParamSlot& slot) { return is_pitch_class(slot.cls); }

// The track's frequency data: the pitch that follows its mode, or the engine's own pitch
// parameter (the noise engine's SAMPHOLD, the sample player's RDSPEED).
bool is_freq_slot(int track, int slot) {
  return is_mode_pitch(song.param_slot[track][slot]) || slot == synth_modules[track].pitch_param;
}

bool preset_fits(int track, const PresetValues& preset) {
  return track >= 0 && track < song.track_count && preset.count == song.param_count[track];
}

// A pitch saved as a note (mode 1) or in Hz (mode 0), expressed in the other mode.
float convert_pitch(float value, int from_mode, int to_mode) {
  if (from_mode == to_mode || from_mode > 1 || to_mode > 1) return value;
  if (to_mode == 0) return note_frequency(value);
  const float hz = value > kAbsPitchLowest ? value : kAbsPitchLowest;
  const float note = std::round(69.0f + 12.0f * std::log2(hz / 440.0f));
  return note < kMidiPitchLowest ? kMidiPitchLowest : (note > kMidiPitchHighest ? kMidiPitchHighest : note);
}

// The track takes the preset's frequency mode: its pitch parameters change class and default.
void take_freq_mode(int track, int mode) {
  const unsigned previous = pause_audio();
  for (int k = 0; k < song.param_count[track]; ++k) {
    ParamSlot& slot = song.param_slot[track][k];
    if (!is_mode_pitch(slot)) continue;
    slot.cls = mode == kFreqMidi ? ParamClass::kNotePitch : ParamClass::kHzPitch;
    slot.def = mode == 1 ? kMidiPitchDefault : kAbsPitchDefault;
  }
  song.freq_mode[track] = mode;
  repoint_loop();
  resume_audio(previous);
}

// The value the preset gives slot k of the track in the track's current mode.
float preset_value_for(int track, int k, const PresetValues& preset) {
  const float v = preset.values[k];
  if (!is_mode_pitch(song.param_slot[track][k])) return v;
  return convert_pitch(v, preset.freq_mode, song.freq_mode[track]);
}

struct Preview {
  bool on = false;
  int track = 0;
  int loop = 0;
  float kept[PARAM_SLOTS][MAX_STEPS];
};
Preview preview;

void write_loop_uncounted(int track, int loop, const PresetValues& preset, bool keep_freq) {
  for (int k = 0; k < song.param_count[track]; ++k) {
    if (keep_freq && is_freq_slot(track, k)) continue;
    float lo = 0.0f, hi = 0.0f;
    if (!param_range(track, k, &lo, &hi)) continue;
    float v = preset_value_for(track, k, preset);
    v = v < lo ? lo : (v > hi ? hi : v);
    float* row = song.param_slot[track][k].lane + loop * MAX_STEPS;
    for (int s = 0; s < MAX_STEPS; ++s) row[s] = v;
  }
}

}  // namespace

EditResult edit_apply_preset(int track, const PresetValues& preset, PresetRange range, int loop,
                             int step, bool keep_freq) {
  if (!preset_fits(track, preset) || loop < 0 || loop >= MAX_LOOPS || step < 0 ||
      step >= MAX_STEPS)
    return EditResult::kBadArgument;
  const EditGroup group("LOAD PRESET");
  const int mode = song.freq_mode[track];
  if (range == PresetRange::kSong && !keep_freq && mode != 3 && preset.freq_mode != 3 &&
      preset.freq_mode != mode)
    take_freq_mode(track, preset.freq_mode);
  for (int k = 0; k < song.param_count[track]; ++k) {
    if (keep_freq && is_freq_slot(track, k)) continue;
    const float v = preset_value_for(track, k, preset);
    switch (range) {
      case PresetRange::kStep: edit_param(track, k, loop, step, v); break;
      case PresetRange::kLoop: edit_param_steps(track, k, loop, 0, MAX_STEPS - 1, v); break;
      case PresetRange::kSong: edit_param_all_loops(track, k, v); break;
    }
  }
  return EditResult::kOk;
}

EditResult edit_preview_preset(int track, const PresetValues& preset, bool keep_freq) {
  if (!preset_fits(track, preset)) return EditResult::kBadArgument;
  // The change before the preview is complete: the previewed values are no part of it.
  settle_journal();
  if (preview.on && preview.track != track) edit_end_preset_preview();
  if (!preview.on) {
    preview.track = track;
    preview.loop = transport.current_loop;
    for (int k = 0; k < song.param_count[track]; ++k)
      std::memcpy(preview.kept[k], song.param_slot[track][k].lane + preview.loop * MAX_STEPS,
                  sizeof preview.kept[k]);
    preview.on = true;
  } else {
    edit_end_preset_preview();
    preview.on = true;
  }
  write_loop_uncounted(track, preview.loop, preset, keep_freq);
  return EditResult::kOk;
}

void edit_end_preset_preview() {
  if (!preview.on) return;
  preview.on = false;
  const int track = preview.track;
  if (track >= song.track_count) return;
  for (int k = 0; k < song.param_count[track]; ++k)
    std::memcpy(song.param_slot[track][k].lane + preview.loop * MAX_STEPS, preview.kept[k],
                sizeof preview.kept[k]);
}

bool preset_preview_on() { return preview.on; }

PresetValues track_preset_values(int track, int loop, int step) {
  PresetValues values;
  if (track < 0 || track >= song.track_count) return values;
  values.count = song.param_count[track];
  for (int k = 0; k < values.count; ++k) values.values[k] = param_value(track, k, loop, step);
  values.freq_mode = song.freq_mode[track];
  return values;
}

EditResult edit_save_preset(int track, int loop, int step, const char* file_name, int index,
                            const char* new_name, std::string* reason) {
  if (track < 0 || track >= song.track_count || !file_name) return EditResult::kBadArgument;
  const PresetValues values = track_preset_values(track, loop, step);
  if (!save_preset(file_name, song.synth_type[track], index, new_name, values, reason))
    return EditResult::kSaveFailed;
  return EditResult::kOk;
}

EditResult edit_build_custom_template(int n, std::string* reason) {
  if (n < 0 || n >= kCustomTemplateCount) return EditResult::kBadArgument;
  if (custom_template_cost_tenths(custom_template_list) > kCostBudgetTenths)
    return EditResult::kCostOverload;
  bool any = false;
  for (int i = 0; i < kCustomTemplateSynths; ++i) any |= custom_template_list[i] >= 0;
  if (!any) return EditResult::kBadArgument;
  if (!save_custom_template(n, reason)) return EditResult::kSaveFailed;
  const EditGroup group("NEW SONG");
  const EditResult built = edit_new_custom_song();
  if (built != EditResult::kOk) return built;
  for (int l = 0; l < MAX_LOOPS; ++l) std::snprintf(song.loop_name[l], kLoopNameLen, "%02d", l);
  return EditResult::kOk;
}

}  // namespace zorbel
