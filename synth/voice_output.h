// The voice output module: amplitude envelope (DADSR or EXP), step volume and pan into the buses.
#pragma once

#include <cstdint>

#include "synth/envelope_stage.h"
#include "synth/module.h"

namespace zorbel {

struct VoiceOutput : ModuleBase {
  // Parameters, in list order (VOL appears twice in the list, both times this one field).
  int16_t envtype;        // 0 DADSR, anything else EXP
  int32_t delay;          // DADSR delay, control periods of 32 frames
  float attack;           // seconds (0 means 1)
  float decay;            // seconds (0 means 1)
  float decaymin;         // sustain level
  int32_t sustain;        // sustain length, control periods of 32 frames
  float release;          // seconds (0 means 1)
  float vol;              // kept for the editor; the sound level comes from the step volume
  float pan;              // DADSR right-bus weight
  int32_t exp_delay;      // EXP delay, units of 32 frames
  float expmult;          // EXP factor every 16 frames
  float exp_pan;          // EXP right-bus weight
  // Running state.
  uint32_t control_counter;  // frames since the last control period
  float level;               // DADSR level 0..1
  int16_t stage;
  int32_t delay_counter;     // control periods spent in the delay
  float attack_inc;
  float decay_dec;
  int32_t sustain_counter;
  float release_dec;
  float volume;              // DADSR step volume
  int32_t exp_delay_frames;
  int32_t exp_frame_counter;
  int32_t exp_update_counter;  // frames since the last EXP update
  float exp_level;
  float exp_volume;
  float pan_rest;            // 1 - pan
  float exp_pan_rest;        // 1 - exp_pan
};

extern const KindOps kVoiceKind;
// The voice block of every type except the sample player's, and the sample player's.
extern const ParamInfo kVoiceParams[13];
extern const ParamInfo kWavVoiceParams[13];
constexpr int kVoiceParamCount = 13;

// A triggered step: set the volumes; unless legato, restart the envelopes.
void voice_start(VoiceOutput& voice, float volume, bool legato);
// 128 frames of synth buffer buf through the envelope into the right and left bus rows. May
// restart the synth's generator (end of the delay) and, for EXP, clear buf from that frame on.
void voice_render(VoiceOutput& voice, float* buf, float* right, float* left);
// Silent state: what a voice is before its first step (also used when a loop is cleared).
void voice_silence(VoiceOutput& voice);

}  // namespace zorbel
