// The one value-text formatter: how a synth parameter's value reads on screen, by its class.
#pragma once

#include "synth/param_class.h"

namespace zorbel {

// Longest value text plus its terminating zero.
constexpr int kValueTextCapacity = 24;

// Where the text is shown: the quick panel of the sequencer screen leaves kWord and kFmView
// without a text; the parameter page list names the kFmView views ("CARR", "MOD").
enum class ValueTextUse { kQuickPanel, kPageList };

// Class used for the plain decimal number text ("general number text").
constexpr ParamClass kGeneralNumberClass = ParamClass::kFloat;

// Writes the value text of a parameter of class cls into buffer and returns buffer. Every text
// but the empty one begins with a blank that separates it from the name. Named choices outside
// their list, and every class without names, fall back to the text their class family uses.
// Precondition: buffer holds kValueTextCapacity bytes.
char* value_text(ParamClass cls, float value, char* buffer,
                 ValueTextUse use = ValueTextUse::kPageList);

// The general number text alone: " 0.05000", " 120.500", " -3.0000".
char* general_number_text(float value, char* buffer);

}  // namespace zorbel
