// Parameter classes: how a step value reaches its module field. The numbers are stored in song
// and preset files and must not change.
#pragma once

#include <cstdint>

namespace zorbel {

enum class ParamClass : uint16_t {
  kFloat = 0,             // the value as a float
  kNotePitch = 1,         // a note number, written as its frequency; also the LFO centre
  kHzPitch = 2,           // a frequency in Hz; also the LFO centre
  kWord = 3,              // a 16-bit integer without a value text
  kEnvelopeType = 4,      // 16-bit choice: DADSR or EXP
  kSpeed = 5,             // a float that also sets the LFO centre (a sample player's speed)
  kFmView = 6,            // 16-bit choice: the carrier or the modulator view of a page
  kHoldCount = 7,         // 16-bit whole number of samples
  kWavetable = 8,         // a wavetable chosen by number
  kShaperTable = 9,       // 16-bit choice of wave-shaper table
  kOnOff = 10,            // 16-bit switch
  kFilterMode = 11,       // 16-bit choice: high, band, low, notch
  kFilterFreq = 12,       // float, 0..1 of a quarter of the sample rate
  kFilterRes = 13,        // float resonance
  kHumanizedCount = 14,   // 32-bit count of control periods, plus the track's humanize spread
  kAttack = 15,           // float envelope times and factors
  kDecay = 16,
  kExpMult = 17,
  kDecayMin = 18,
  kRelease = 19,
  kHexWord = 20,          // 16-bit pattern shown in hexadecimal
  kPlayType = 21,         // 16-bit choice: one shot or loop
  kMaskOp = 22,           // 16-bit choice of bit operation
  kClipMode = 23,         // 16-bit choice: under or over
  kDecimateMode = 24,     // 16-bit choice of decimation
  kFeedbackRouting = 25,  // 16-bit choice of FM feedback routing
  kQuantLevels = 26,      // unsigned 16-bit count stored as a float
  kNoiseColour = 27,      // 16-bit choice: white, brown, purple
  kLfoAmount = 28,        // the LFO's rate and depth, drawn around the value
  kLfoTable = 29,         // the LFO's wavetable
  kSampleNumber = 30,     // 16-bit position in the sample list
};

constexpr uint16_t param_class_number(ParamClass c) { return static_cast<uint16_t>(c); }
constexpr ParamClass param_class_from_number(uint16_t n) { return static_cast<ParamClass>(n); }

// A pitch follows the track's frequency mode: a note number or a frequency in Hz.
constexpr bool is_pitch_class(ParamClass c) {
  return c == ParamClass::kNotePitch || c == ParamClass::kHzPitch;
}

}  // namespace zorbel
