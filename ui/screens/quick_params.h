// The two quick parameters of a track: what TRI with the APAD changes in step edit and what the
// sequencer screen's parameter panel shows.
#pragma once

#include "synth/param_class.h"

namespace zorbel {

struct QuickParam {
  int slot;          // parameter slot of the track; -1 when the synth has no such parameter
  const char* name;  // as the panel shows it ("FREQ", "MIX", "NULL")
  ParamClass text_class;  // the class whose value text the panel writes it with
};

// which 0: the first quick parameter (A-UP/A-DN), 1: the second (A-RT/A-LT). False when the track
// has no buildable synth.
bool quick_param(int track, int which, QuickParam* out);

// The parameter slot of the pan that sounds at a step: the DADSR or the EXP pan of the voice,
// as the step's ENVTYPE selects. -1 when the track has no synth.
int step_pan_slot(int track, int loop, int step);

}  // namespace zorbel
