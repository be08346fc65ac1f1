// Value texts of synth parameters by class: note names, named choices and decimal numbers.
#include "ui/widgets/value_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "synth/param_value.h"
#include "synth/wavetables.h"
#include "ui/draw/number_text.h"

namespace zorbel {

namespace {

// Named choices of the classes that have them, in value order.
struct ChoiceNames {
  ParamClass cls;
  int count;
  const char* const* names;
};

const char* const kEnvTypeNames[] = {"DADSR", "EXP"};
const char* const kSelectorNames[] = {"CARR", "MOD"};
const char* const kShaperNames[] = {"CUBE0", "CUBE1", "SINE",  "SINE2", "SINE3",
                                    "SINE4", "SINER2", "SINER3", "SINER4", "TRI2",
                                    "TRI3",  "TRI4",  "TRIR2", "TRIR3", "TRIR4"};
const char* const kOffOnNames[] = {"OFF", "ON"};
const char* const kFilterModeNames[] = {"HIGH", "BAND", "LOW", "NOTCH"};
const char* const kPlayTypeNames[] = {"ONESHOT", "LOOP"};
const char* const kLogicNames[] = {"OR", "AND", "XOR", "NOT"};
const char* const kUnderOverNames[] = {"UNDER", "OVER"};
const char* const kPcfNames[] = {"MINDIFF", "PC-XOR", "PC-OR", "PC-AND", "PC-NOT", "PC-RM"};
const char* const kFeedbackNames[] = {"MM", "MC", "CM", "CC"};
const char* const kNoiseColourNames[] = {"WHITE", "BROWN", "PURPLE"};

constexpr ChoiceNames kChoices[] = {
    {ParamClass::kEnvelopeType, 2, kEnvTypeNames},
    {ParamClass::kShaperTable, 15, kShaperNames},
    {ParamClass::kOnOff, 2, kOffOnNames},
    {ParamClass::kFilterMode, 4, kFilterModeNames},
    {ParamClass::kPlayType, 2, kPlayTypeNames},
    {ParamClass::kMaskOp, 4, kLogicNames},
    {ParamClass::kClipMode, 2, kUnderOverNames},
    {ParamClass::kDecimateMode, 6, kPcfNames},
    {ParamClass::kFeedbackRouting, 4, kFeedbackNames},
    {ParamClass::kNoiseColour, 3, kNoiseColourNames},
};

constexpr const char* kNoteNames[12] = {"C", "CS", "D", "DS", "E", "F",
                                        "FS", "G", "GS", "A", "AS", "B"};
constexpr int kNoteTextWidth = 5;
constexpr int kHighestNote = 127;

char* write_blank_then(char* buffer, const char* text) {
  std::snprintf(buffer, kValueTextCapacity, " %s", text);
  return buffer;
}

char* whole_number_text(float value, char* buffer, int base) {
  char digits[kIntTextCapacity];
  return write_blank_then(buffer, int_to_text(truncate_to_int32(value), digits, base));
}

// The note letter, "S" for a sharp, "_" and the octave, padded with blanks to 5 characters.
char* note_text(float value, char* buffer) {
  int note = truncate_to_int32(value);
  if (note < 0) note = 0;
  if (note > kHighestNote) note = kHighestNote;
  char text[kValueTextCapacity];
  char octave[kIntTextCapacity];
  std::strcpy(text, kNoteNames[note % 12]);
  std::strcat(text, "_");
  std::strcat(text, int_to_text(note / 12, octave, 10));
  for (int n = static_cast<int>(std::strlen(text)); n < kNoteTextWidth; ++n) text[n] = ' ';
  text[kNoteTextWidth] = '\0';
  return write_blank_then(buffer, text);
}

// Fraction digits by the characters before them (blank, sign, whole part and point).
int fraction_digits(int characters_before) {
  switch (characters_before) {
    case 3: return 5;
    case 4: return 4;
    case 5:
    case 6: return 3;
    case 7: return 2;
    default: return 1;
  }
}

}  // namespace

char* general_number_text(float value, char* buffer) {
  if (!(value == value)) value = 0.0f;
  const double magnitude = std::fabs(static_cast<double>(value));
  // A float holds about seven significant digits: a value that was meant as 0.7 (stored as
  // 0.69999998) reads 0.70000, not 0.69999.
  const double slack = (magnitude > 1.0 ? magnitude : 1.0) * 1.2e-7;
  double whole = std::floor(magnitude + slack);
  if (whole > 2147483647.0) whole = 2147483647.0;
  char digits[kIntTextCapacity];
  int_to_text(static_cast<int>(whole), digits, 10);

  char* out = buffer;
  *out++ = ' ';
  if (value < 0.0f) *out++ = '-';
  std::strcpy(out, digits);
  out += std::strlen(digits);
  *out++ = '.';
  const int places = fraction_digits(static_cast<int>(out - buffer));
  double scale = 1.0;
  for (int i = 0; i < places; ++i) scale *= 10.0;
  double fraction = magnitude - whole;
  if (fraction < 0.0) fraction = 0.0;
  long fraction_value = static_cast<long>(fraction * scale + slack * scale);
  if (fraction_value >= static_cast<long>(scale)) fraction_value = static_cast<long>(scale) - 1;
  for (int i = places - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + fraction_value % 10);
    fraction_value /= 10;
  }
  out[places] = '\0';
  return buffer;
}

char* value_text(ParamClass cls, float value, char* buffer, ValueTextUse use) {
  using enum ParamClass;
  buffer[0] = '\0';
  switch (cls) {
    case kNotePitch: return note_text(value, buffer);
    case kWord: return use == ValueTextUse::kQuickPanel ? buffer : general_number_text(value, buffer);
    case kFmView:
      if (use == ValueTextUse::kQuickPanel) return buffer;
      return write_blank_then(buffer, kSelectorNames[truncate_to_int32(value) == 0 ? 0 : 1]);
    case kHoldCount:
    case kQuantLevels: return whole_number_text(value, buffer, 10);
    case kHexWord: return whole_number_text(value, buffer, 16);
    case kWavetable: {
      const int table = truncate_to_int32(value);
      if (table >= 0 && table < kWavetableCount)
        return write_blank_then(buffer, wavetable_name(table));
      return whole_number_text(value, buffer, 10);
    }
    default: break;
  }
  for (const ChoiceNames& c : kChoices) {
    if (c.cls != cls) continue;
    const int choice = truncate_to_int32(value);
    if (choice >= 0 && choice < c.count) return write_blank_then(buffer, c.names[choice]);
    return whole_number_text(value, buffer, 10);
  }
  return general_number_text(value, buffer);
}

}  // namespace zorbel
