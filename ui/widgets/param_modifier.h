// The parameter modifier: one change of a synth parameter by a direction and a source, shared
// by the parameter pages and the TRI quick edit of step edit.
#pragma once

#include "engine/song.h"

namespace zorbel {

enum ParamSource : int { kSourceDpad = 0, kSourceApad = 1 };  // the mouse counts as the APAD

// The step marks of the parameter pages: steps the many-step changes are limited to, and the
// parameter slot they were set for (-1 none). Not saved.
struct ParamStepMarks {
  bool step[MAX_STEPS];
  int param;
};

extern ParamStepMarks param_step_marks;
// No step marked. The menus reach it through param_editor_link.clear_step_marks.
void reset_param_step_marks();

// The APAD sensitivity factor of the current level (0.01 at level 0 .. 4.0 at level 9).
float apad_sensitivity_factor();

// Editor range and step sizes of a track's parameter slot, after the rules of its pitch mode and
// engine (ZBQ and ROT pitch ranges). False when the slot does not exist.
struct ParamRange {
  float min;
  float max;
  float step[3];  // for change magnitudes 1, 2, 3
  ParamClass cls;  // the slot's class
};
bool parameter_range(int track, int slot, ParamRange* out);

// Changes parameter slot `slot` of `track` at the cursor step of the current loop.
// page: the editor state the change comes from (step edit, or the GEN, FX or ENV page);
// direction: +-1, +-2 or +-3, whose magnitude picks the step size; source: kSourceDpad or
// kSourceApad. L-TR and R-TR held make the change finer or coarser; on a page, TRI held writes
// the result to every step of the loop and O held moves every triggered step by the change.
// The caller redraws (the page, or the step-edit panel).
void modify_parameter(int page, int track, int slot, int direction, int source);
// The same change for the volume line of the ENV page, which is the step volume itself:
// volume_slot is the voice's VOL slot, whose range and step sizes the change takes.
void modify_step_volume(int page, int track, int volume_slot, int direction, int source);

}  // namespace zorbel
