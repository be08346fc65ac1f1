// The parameter modifier: step size, trigger factors, APAD sensitivity, and how a change lands.
#include "ui/widgets/param_modifier.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "edit/edit.h"
#include "engine/freq_mode.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/view_settings.h"

namespace zorbel {

ParamStepMarks param_step_marks = {{}, -1};

namespace {

// D-pad fine steps with a shoulder trigger held, on the GEN page and in step edit.
constexpr float kFineStepLTr = 0.01953125f;
constexpr float kFineStepRTr = 0.003125f;
constexpr float kRotPitchHighestHz = 2756.0f;
constexpr float kRotPitchHighestNote = 100.0f;
constexpr float kZbqPitchHighestHz = 22050.0f;
constexpr float kSensitivityFactors[kApadSensitivityMax + 1] = {
    0.01f, 0.02f, 0.04f, 0.08f, 0.16f, 0.32f, 0.64f, 1.0f, 2.0f, 4.0f};

// Classes that hold whole choices or counts: a D-pad change with a trigger moves them by whole
// units.
bool stepped_class(ParamClass cls) {
  using enum ParamClass;
  switch (cls) {
    case kNotePitch: case kWord: case kEnvelopeType: case kFmView: case kHoldCount: case kWavetable:
    case kShaperTable: case kOnOff: case kFilterMode: case kHumanizedCount: case kHexWord:
    case kPlayType: case kMaskOp: case kClipMode: case kDecimateMode: case kFeedbackRouting:
    case kQuantLevels: case kNoiseColour: case kLfoTable: case kSampleNumber:
      return true;
    default:
      return false;
  }
}

bool marked_for(int slot, int step) {
  return param_step_marks.param == slot && step >= 0 && step < MAX_STEPS &&
         param_step_marks.step[step];
}

float clamp_to(float v, const ParamRange& r) {
  if (!(v == v)) return r.min;
  return v < r.min ? r.min : (v > r.max ? r.max : v);
}

}  // namespace

void reset_param_step_marks() {
  std::memset(param_step_marks.step, 0, sizeof param_step_marks.step);
  param_step_marks.param = -1;
}

float apad_sensitivity_factor() {
  int level = view_settings.apad_sensitivity;
  if (level < 0) level = 0;
  if (level > kApadSensitivityMax) level = kApadSensitivityMax;
  return kSensitivityFactors[level];
}

bool parameter_range(int track, int slot, ParamRange* out) {
  float lo = 0.0f, hi = 0.0f;
  if (!param_range(track, slot, &lo, &hi)) return false;
  const ParamInfo* info = type_param(song.synth_type[track], slot);
  if (!info) return false;
  ParamRange r;
  r.min = lo;
  r.max = hi;
  for (int i = 0; i < 3; ++i) r.step[i] = info->step[i];
  r.cls = song.param_slot[track][slot].cls;
  // The pitch of ZBQ and ROT (their first parameter) has narrower limits than other pitches.
  const int engine = type_engine_kind(song.synth_type[track]);
  // A sample number names an entry of the WAV list.
  if (engine == kKindWav && slot == 0) r.max = wav_list.count > 0 ? wav_list.count - 1 : 0;
  if (slot == 0 && is_pitch_class(r.cls)) {
    if (engine == kKindZbq && r.cls == ParamClass::kHzPitch) {
      r.min = 1.0f;
      r.max = kZbqPitchHighestHz;
    } else if (engine == kKindRot) {
      r.min = r.cls == ParamClass::kHzPitch ? 1.0f : kMidiPitchLowest;
      r.max = r.cls == ParamClass::kHzPitch ? kRotPitchHighestHz : kRotPitchHighestNote;
    }
  }
  *out = r;
  return true;
}

namespace {

// Where a change lands: a parameter lane, or the step volume of the ENV page's volume line.
struct ValueAccess {
  float (*get)(int track, int slot, int loop, int step);
  void (*set)(int track, int slot, int loop, int step, float value);
};

float step_volume(int track, int, int loop, int step) { return song.step_vol[loop][track][step]; }
void set_step_volume(int track, int, int loop, int step, float value) {
  edit_step_vol(loop, track, step, value);
}

constexpr ValueAccess kLaneAccess{param_value, edit_param};
constexpr ValueAccess kStepVolumeAccess{step_volume, set_step_volume};

void change_value(int page, int track, int slot, int direction, int source,
                  const ValueAccess& access) {
  ParamRange r;
  if (direction == 0 || !parameter_range(track, slot, &r)) return;
  const int magnitude = std::abs(direction) > 3 ? 3 : std::abs(direction);
  const bool l_tr = button_held(kBtnLTr);
  const bool r_tr = button_held(kBtnRTr);
  const bool from_dpad = source == kSourceDpad;

  float d = r.step[magnitude - 1];
  if (from_dpad && (page == kStateGenPage || page == kStateStepEdit)) {
    if (r_tr)
      d = kFineStepRTr;
    else if (l_tr)
      d = kFineStepLTr;
  }
  if (direction < 0) d = -d;

  if (stepped_class(r.cls) && from_dpad && (l_tr || r_tr)) {
    // Whole units: one choice with L-TR, an octave (notes) or ten with R-TR.
    float units = 1.0f;
    if (r_tr) units = r.cls == ParamClass::kNotePitch ? 12.0f : 10.0f;
    d = direction > 0 ? units : -units;
    if (r.step[0] < 0.0f) d = -d;
  } else {
    if (l_tr) d *= 0.1f;
    if (r_tr) d *= 10.0f;
    if (!from_dpad) d *= apad_sensitivity_factor();
  }

  const int loop = transport.current_loop;
  const int cursor = editor_link.cursor_step;
  if (cursor < 0 || cursor >= MAX_STEPS) return;
  const bool on_page = page != kStateStepEdit;
  const bool marked = marked_for(slot, cursor);

  if (on_page && button_held(kBtnTri)) {
    const float v = clamp_to(access.get(track, slot, loop, cursor) + d, r);
    for (int s = 0; s < MAX_STEPS; ++s)
      if (!marked || param_step_marks.step[s]) access.set(track, slot, loop, s, v);
  } else if (on_page && button_held(kBtnO)) {
    // The difference between the steps is kept: refused as a whole if any step would leave
    // the range.
    bool fits = true;
    for (int s = 0; s < MAX_STEPS && fits; ++s) {
      if (song.step_trig[loop][track][s] == 0 || (marked && !param_step_marks.step[s])) continue;
      const float v = access.get(track, slot, loop, s) + d;
      if (v < r.min || v > r.max) fits = false;
    }
    if (!fits) return;
    for (int s = 0; s < MAX_STEPS; ++s) {
      if (song.step_trig[loop][track][s] == 0 || (marked && !param_step_marks.step[s])) continue;
      access.set(track, slot, loop, s, access.get(track, slot, loop, s) + d);
    }
  } else {
    access.set(track, slot, loop, cursor, clamp_to(access.get(track, slot, loop, cursor) + d, r));
  }
}

}  // namespace

void modify_parameter(int page, int track, int slot, int direction, int source) {
  change_value(page, track, slot, direction, source, kLaneAccess);
}

void modify_step_volume(int page, int track, int volume_slot, int direction, int source) {
  change_value(page, track, volume_slot, direction, source, kStepVolumeAccess);
}

}  // namespace zorbel
