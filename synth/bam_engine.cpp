// The BAM generator (kind 7): pool, initial values, per-sample render, restart and derived fields.
#include "synth/bam_engine.h"

#include "synth/float4.h"
#include "synth/pitch_limits.h"
#include "synth/wavetables.h"

namespace zorbel {

using enum ParamClass;

namespace {

BamEngine pool[kPoolSize];

// A hold counter this high reads the table on the next sample whatever the hold length.
constexpr int32_t kHoldReadNow = 32767;

const ParamInfo kParams[] = {
    {"SH1", kHoldCount, 0.0f, 0.0f, 20000.0f, {1.0f, 10.0f, 100.0f}},
    {"FREQ1", kNotePitch, kMidiPitchDefault, 0.0f, 127.0f, {1.0f, 1.0f, 1.0f}},
    {"EXPMULT", kFloat, 1.0f, 0.9f, 1.1f, {0.0001f, 0.001f, 0.001f}},
    {"ENDOFFSET", kFloat, 1.0f, 0.0f, 100.0f, {0.01f, 0.1f, 0.5f}},
    {"WTTYPE1", kWavetable, 20.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"SH2", kHoldCount, 0.0f, 0.0f, 20000.0f, {1.0f, 10.0f, 100.0f}},
    {"OFFSET", kFloat, 1.0f, 0.0f, 4.0f, {0.001f, 0.01f, 0.01f}},
    {"WTTYPE2", kWavetable, 20.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
    {"OSCSYNC", kOnOff, 0.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f}},
    {"OSCMIX", kFloat, 0.5f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"RINGMIX", kFloat, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARP", kLfoAmount, 0.0f, 0.0f, 1.0f, {0.001f, 0.005f, 0.005f}},
    {"WARPWT", kLfoTable, 0.0f, 0.0f, 34.0f, {1.0f, 1.0f, 1.0f}},
};
constexpr int kParamCount = sizeof kParams / sizeof kParams[0];

BamEngine& as_bam(ModuleBase* m) { return *static_cast<BamEngine*>(m); }

ModuleBase* pool_slot(int index) { return &pool[index]; }

void init(ModuleBase* m) {
  BamEngine& b = as_bam(m);
  b.sh1 = 0;
  b.freq1 = 0.0f;
  b.expmult = 0.0f;
  b.endoffset = 0.0f;
  b.wt1 = wavetables[kSine];
  b.sh2 = 0;
  b.offset = 0.0f;
  b.wt2 = wavetables[kSine];
  b.oscsync = 0;
  b.oscmix = 1.0f;
  b.ringmix = 0.0f;
  b.warp = 0.0f;
  b.warp_table = 0.0f;
  b.phase1 = b.phase2 = 0.0f;
  b.inc1 = b.inc2 = 0.0f;
  b.hold1 = b.hold2 = kHoldReadNow;
  b.held1 = b.held2 = 0.0f;
  b.oscmix_rest = 0.0f;
  b.ringmix_rest = 1.0f;
}

// The common case with both holds at 0 or 1 (a hold counter never falls below 0, so both
// oscillators read every sample): the two reads run side by side, oscillator 1 in lane 0 and 2 in
// lane 1, and while neither phase passes the table's end both simply advance.
void render_unheld(BamEngine& b, float* buf) {
  const float* const wt1 = b.wt1;
  const float* const wt2 = b.wt2;
  const bool sync = b.oscsync == 1;
  const float inc1 = b.inc1;
  const float inc2 = b.inc2;
  const float mix1 = b.oscmix;
  const float mix2 = b.oscmix_rest;
  const float ring = b.ringmix;
  const float plain = b.ringmix_rest;
  const Float4 incs = float4(inc1, inc2, inc1, inc2);
  Float4 phase = float4(b.phase1, b.phase2, b.phase1, b.phase2);
  Float4 read = float4(b.held1, b.held2, b.held1, b.held2);
  for (int i = 0; i < kBlockFrames; ++i) {
    read = read_tables2(wt1, wt2, phase);
    const float held1 = lane0(read), held2 = lane1(read);
    buf[i] = plain * (mix1 * held1 + mix2 * held2) + ring * (held1 * held2 / 32768.0f);
    const Float4 advanced = add4(phase, incs);
    if (!any_outside(advanced, 128.0f)) {
      phase = advanced;
      continue;
    }
    float phase1 = lane0(phase), phase2 = lane1(phase);
    phase1 += inc1;
    if (phase1 > 128.0f) {
      if (sync) phase2 = 0.0f;
      phase1 -= 128.0f;
    }
    phase2 += inc2;
    if (phase2 > 128.0f) phase2 -= 128.0f;
    phase = float4(phase1, phase2, phase1, phase2);
  }
  b.phase1 = lane0(phase);
  b.phase2 = lane1(phase);
  b.hold1 = 0;
  b.hold2 = 0;
  b.held1 = lane0(read);
  b.held2 = lane1(read);
}

void render(ModuleBase* m, float* buf) {
  BamEngine& b = as_bam(m);
  if (b.sh1 <= 1 && b.sh2 <= 1) {
    render_unheld(b, buf);
    return;
  }
  const float* const wt1 = b.wt1;
  const float* const wt2 = b.wt2;
  const int32_t sh1 = b.sh1;
  const int32_t sh2 = b.sh2;
  const bool sync = b.oscsync == 1;
  const float inc1 = b.inc1;
  const float inc2 = b.inc2;
  const float mix1 = b.oscmix;
  const float mix2 = b.oscmix_rest;
  const float ring = b.ringmix;
  const float plain = b.ringmix_rest;
  float phase1 = b.phase1;
  float phase2 = b.phase2;
  int32_t hold1 = b.hold1;
  int32_t hold2 = b.hold2;
  float held1 = b.held1;
  float held2 = b.held2;
  for (int i = 0; i < kBlockFrames; ++i) {
    // Both readings use the phases from before this sample's advance (and before a sync reset).
    const float p2 = phase2;
    if (++hold1 >= sh1) {
      held1 = read_table(wt1, phase1);
      hold1 = 0;
    }
    phase1 += inc1;
    if (phase1 > 128.0f) {
      if (sync) phase2 = 0.0f;
      phase1 -= 128.0f;
    }
    if (++hold2 >= sh2) {
      held2 = read_table(wt2, p2);
      hold2 = 0;
    }
    phase2 += inc2;
    if (phase2 > 128.0f) phase2 -= 128.0f;
    buf[i] = plain * (mix1 * held1 + mix2 * held2) + ring * (held1 * held2 / 32768.0f);
  }
  b.phase1 = phase1;
  b.phase2 = phase2;
  b.hold1 = hold1;
  b.hold2 = hold2;
  b.held1 = held1;
  b.held2 = held2;
}

void restart(ModuleBase* m) {
  BamEngine& b = as_bam(m);
  // Square and noise tables keep running through a note start.
  if (table_is_periodic(wavetable_number(b.wt1))) b.phase1 = 0.0f;
  if (table_is_periodic(wavetable_number(b.wt2))) b.phase2 = 0.0f;
}

void derive(ModuleBase* m) {
  BamEngine& b = as_bam(m);
  b.freq1 = clamp_frequency(b.freq1);
  b.offset = limit_offset(b.freq1, b.offset);
  b.inc1 = b.freq1 * kHzToTablePoints;
  b.inc2 = b.offset * b.inc1;
  b.oscmix_rest = 1.0f - b.oscmix;
  b.ringmix_rest = 1.0f - b.ringmix;
}

void reset(ModuleBase* m) {
  BamEngine& b = as_bam(m);
  b.phase1 = b.phase2 = 0.0f;
  b.hold1 = b.hold2 = kHoldReadNow;
  b.held1 = b.held2 = 0.0f;
}

int bind(ModuleBase* m, ParamDest* dests) {
  BamEngine& b = as_bam(m);
  const ParamDest fields[kParamCount] = {&b.sh1,    &b.freq1,  &b.expmult, &b.endoffset, &b.wt1,
                                     &b.sh2,    &b.offset, &b.wt2,     &b.oscsync,   &b.oscmix,
                                     &b.ringmix, &b.warp,  &b.warp_table};
  for (int q = 0; q < kParamCount; ++q) dests[q] = fields[q];
  return kParamCount;
}

float* pitch_field(ModuleBase* m) { return &as_bam(m).freq1; }

}  // namespace

const KindOps kBamKind = {
    kKindBam, "BAM", 5.9f, pool_slot, init, render, restart, derive, reset, nullptr, bind,
    pitch_field, kParams, kParamCount,
    KindRole::kGenerator, 10, 0,  // role, render rank, slot in the type codes
};

}  // namespace zorbel
