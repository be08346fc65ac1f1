// Writing one step value into its module field, by the parameter's class.
#pragma once

#include "synth/module_graph.h"
#include "synth/param_class.h"
#include "synth/param_dest.h"

namespace zorbel {

// The field type each class writes; kNone for the classes that act on the synth's LFO.
ParamDest::Kind param_dest_kind(ParamClass cls);

// Writes step value v of a parameter of class cls into dest, the synth's field bound to it, and
// what the class sets beside it (the LFO centre, rate or table). humanize is the track's
// humanize amount (kHumanizedCount). A dest whose type is not the class's is left alone.
void write_param_value(const SynthModules& sm, ParamClass cls, const ParamDest& dest, float v,
                       float humanize);

}  // namespace zorbel
