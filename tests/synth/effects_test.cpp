// The seven effects, each rewriting a block in place, driven instance by instance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/mixer.h"
#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/song.h"
#include "engine/synth_tracks.h"
#include "synth/note_table.h"
#include "synth/clp_effect.h"
#include "synth/dec_effect.h"
#include "synth/msk_effect.h"
#include "synth/pcf_effect.h"
#include "synth/random_table.h"
#include "synth/rd_effect.h"
#include "synth/shp_effect.h"
#include "synth/svf_effect.h"
#include "synth/wavetables.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

constexpr int kSlot = kPoolSize - 1;  // the graph takes slots from 0 up

class EffectDsp : public ::testing::Test {
 protected:
  void SetUp() override {
    seed_random_tables(99);
    build_wavetables();
  }
};

template <typename T>
T& fresh(const KindOps& ops, int synth = 0) {
  ModuleBase* m = ops.pool_slot(kSlot);
  m->synth = static_cast<int16_t>(synth);
  m->next = nullptr;
  ops.init(m);
  return *static_cast<T*>(m);
}

// Runs the effect over `in` block by block, derived fields first as the graph does.
std::vector<float> apply(const KindOps& ops, ModuleBase& m, std::vector<float> in) {
  for (size_t b = 0; b + kBlockFrames <= in.size(); b += kBlockFrames) {
    if (ops.derive) ops.derive(&m);
    ops.render(&m, in.data() + b);
  }
  return in;
}

std::vector<float> sine(float hz, float amplitude, int blocks) {
  std::vector<float> x(static_cast<size_t>(blocks) * kBlockFrames);
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / 44100.0));
  }
  return x;
}

std::vector<float> noise(int blocks, float amplitude = 32768.0f) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-amplitude, amplitude);
  std::vector<float> x(static_cast<size_t>(blocks) * kBlockFrames);
  for (float& v : x) v = u(rng);
  return x;
}

struct EffectCase {
  const KindOps* ops;
  const char* name;
};

const EffectCase kEffects[] = {{&kMskKind, "MSK"}, {&kClpKind, "CLP"}, {&kDecKind, "DEC"},
                               {&kPcfKind, "PCF"}, {&kRdKind, "RD"},   {&kSvfKind, "SVF"},
                               {&kShpKind, "SHP"}};

// MIX is the last parameter of every effect.
float* mix_field(const KindOps& ops, ModuleBase* m) {
  ParamDest dests[8];
  const int n = ops.bind(m, dests);
  EXPECT_STREQ(ops.params[n - 1].name, "MIX");
  return dests[n - 1].f;
}

TEST_F(EffectDsp, MixZeroLeavesEveryEffectTransparent) {
  const std::vector<float> in = noise(8);
  for (const EffectCase& c : kEffects) {
    SCOPED_TRACE(c.name);
    ModuleBase* m = c.ops->pool_slot(kSlot);
    c.ops->init(m);
    *mix_field(*c.ops, m) = 0.0f;
    EXPECT_EQ(apply(*c.ops, *m, in), in);
  }
}

TEST_F(EffectDsp, EveryParameterListMatchesItsBindingAndRanges) {
  for (const EffectCase& c : kEffects) {
    SCOPED_TRACE(c.name);
    ModuleBase* m = c.ops->pool_slot(kSlot);
    c.ops->init(m);
    ParamDest dests[8];
    EXPECT_EQ(c.ops->bind(m, dests), c.ops->param_count);
    for (int q = 0; q < c.ops->param_count; ++q) {
      const ParamInfo& p = c.ops->params[q];
      SCOPED_TRACE(p.name);
      EXPECT_FALSE(dests[q].empty());
      EXPECT_LE(p.min, p.def);
      EXPECT_LE(p.def, p.max);
      EXPECT_GT(p.step[0], 0.0f);
      EXPECT_LE(p.step[0], p.step[1]);
      EXPECT_LE(p.step[1], p.step[2]);
      EXPECT_LE((p.max - p.min) / p.step[2], 1000.0f);
    }
  }
}

// Every type of every effect over loud noise, with the editor's extreme values: no NaN, no
// infinity, and nothing beyond what the effect can make of a 16-bit signal.
TEST_F(EffectDsp, EveryTypeStaysFiniteAndBounded) {
  std::mt19937 rng(11);
  const std::vector<float> in = noise(40, 40000.0f);
  for (const EffectCase& c : kEffects) {
    SCOPED_TRACE(c.name);
    ModuleBase* m = c.ops->pool_slot(kSlot);
    c.ops->init(m);
    ParamDest dests[8];
    const int n = c.ops->bind(m, dests);
    for (int trial = 0; trial < 60; ++trial) {
      for (int q = 0; q < n; ++q) {
        const ParamInfo& p = c.ops->params[q];
        std::uniform_real_distribution<float> u(p.min, p.max);
        float v = trial < 2 ? (trial == 0 ? p.min : p.max) : u(rng);
        if (p.cls == ParamClass::kFloat || p.cls == ParamClass::kFilterFreq || p.cls == ParamClass::kFilterRes || p.cls == ParamClass::kQuantLevels) {
          *dests[q].f = p.cls == ParamClass::kQuantLevels ? std::trunc(v) : v;
        } else {
          *dests[q].i16 = static_cast<int16_t>(static_cast<int32_t>(v));
        }
      }
      const std::vector<float> out = apply(*c.ops, *m, in);
      ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size()))) << trial;
      // PC-NOT sums two 16-bit complements; everything else stays near full scale.
      for (float v : out) ASSERT_LE(std::fabs(v), 140000.0f) << trial;
    }
  }
}

// ---- MSK ----

TEST_F(EffectDsp, MskCombinesTheTruncatedSampleWithTheMask) {
  MskEffect& e = fresh<MskEffect>(kMskKind);
  e.maskval = 0x00F0;
  const std::vector<float> in(kBlockFrames, 1000.7f);  // 1000 = 0x03E8
  e.type = 0;
  EXPECT_EQ(apply(kMskKind, e, in)[0], static_cast<float>(0x03E8 | 0x00F0));
  e.type = 1;
  EXPECT_EQ(apply(kMskKind, e, in)[0], static_cast<float>(0x03E8 & 0x00F0));
  e.type = 2;
  EXPECT_EQ(apply(kMskKind, e, in)[0], static_cast<float>(0x03E8 ^ 0x00F0));
  // A set top bit reads back negative: the result is a signed 16-bit sample.
  e.maskval = static_cast<int16_t>(0x8000);
  e.type = 0;
  EXPECT_EQ(apply(kMskKind, e, in)[0], static_cast<float>(static_cast<int16_t>(0x83E8)));
}

TEST_F(EffectDsp, MskNotIgnoresTheMask) {
  const std::vector<float> in = noise(2);
  MskEffect& e = fresh<MskEffect>(kMskKind);
  e.type = 3;
  e.maskval = 0;
  const std::vector<float> a = apply(kMskKind, e, in);
  e.maskval = 21845;
  EXPECT_EQ(apply(kMskKind, e, in), a);
  e.type = 7;  // above 3 is NOT as well
  EXPECT_EQ(apply(kMskKind, e, in), a);
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(a[i], static_cast<int16_t>(~static_cast<int32_t>(in[i]))) << i;
  }
}

// ---- CLP ----

TEST_F(EffectDsp, ClpUnderClipsAFullScaleSineAtHalfItsAmplitude) {
  ClpEffect& e = fresh<ClpEffect>(kClpKind);
  e.type = 0;
  e.max = 0.5f;
  const std::vector<float> in = sine(441.0f, 32767.0f, 4);
  const std::vector<float> out = apply(kClpKind, e, in);
  const float t = 0.5f * 32767.0f;
  for (size_t i = 0; i < in.size(); ++i) {
    const float a = std::fabs(std::trunc(in[i]));
    if (a > t) {
      ASSERT_EQ(out[i], in[i] > 0.0f ? t : -t) << i;
    } else {
      ASSERT_EQ(out[i], in[i]) << i;
    }
  }
}

TEST_F(EffectDsp, ClpOverLiftsEverySmallSampleToHalfAmplitude) {
  ClpEffect& e = fresh<ClpEffect>(kClpKind);
  e.type = 1;
  e.max = 0.5f;
  const std::vector<float> in = sine(441.0f, 32767.0f, 4);
  const std::vector<float> out = apply(kClpKind, e, in);
  const float t = 0.5f * 32767.0f;
  for (size_t i = 0; i < in.size(); ++i) {
    if (std::fabs(std::trunc(in[i])) < t) {
      ASSERT_EQ(out[i], in[i] > 0.0f ? t : -t) << i;  // 0 itself goes to -T
    } else {
      ASSERT_EQ(out[i], in[i]) << i;
    }
    ASSERT_GE(std::fabs(out[i]), t);
  }
  e.type = 2;  // no such type: the signal passes
  EXPECT_EQ(apply(kClpKind, e, in), in);
}

// ---- DEC ----

TEST_F(EffectDsp, DecFiveTwoIsATwoLevelSignalUpdatedEveryFifthSample) {
  DecEffect& e = fresh<DecEffect>(kDecKind);
  e.samphold = 5;
  e.nquants = 2.0f;
  const std::vector<float> in = sine(300.0f, 30000.0f, 4);
  const std::vector<float> out = apply(kDecKind, e, in);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], 0.0f);  // nothing taken yet
  for (size_t i = 4; i < out.size(); ++i) {
    ASSERT_TRUE(out[i] == 32768.0f || out[i] == -32768.0f) << i;
    if (i % 5 != 4) {
      ASSERT_EQ(out[i], out[i - 1]) << i;
    } else {
      ASSERT_EQ(out[i], in[i] > 0.0f ? 32768.0f : -32768.0f) << i;
    }
  }
}

TEST_F(EffectDsp, DecRoundsToTheNearestLevel) {
  DecEffect& e = fresh<DecEffect>(kDecKind);
  e.samphold = 0;
  e.nquants = 65.0f;  // quantum 1024
  const std::vector<float> in = {0.0f, 511.0f, 513.0f, -32768.0f, 32767.0f, -700.0f};
  std::vector<float> block(kBlockFrames, 0.0f);
  std::copy(in.begin(), in.end(), block.begin());
  const std::vector<float> out = apply(kDecKind, e, block);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_EQ(out[2], 1024.0f);
  EXPECT_EQ(out[3], -32768.0f);
  EXPECT_EQ(out[4], 32768.0f);
  EXPECT_EQ(out[5], -1024.0f);
}

TEST_F(EffectDsp, DecWithTooFewLevelsStillQuantises) {
  DecEffect& e = fresh<DecEffect>(kDecKind);
  for (float levels : {1.0f, 0.0f}) {
    e.nquants = levels;
    const std::vector<float> out = apply(kDecKind, e, noise(4));
    ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
    EXPECT_FLOAT_EQ(e.quantum, 65536.0f);
  }
}

// ---- PCF ----

TEST_F(EffectDsp, PcfMinDiffWidensSmallStepsToTheLimit) {
  PcfEffect& e = fresh<PcfEffect>(kPcfKind);
  e.filttype = 0;
  e.control = 0.25f;  // limit 8192
  std::vector<float> in(kBlockFrames, 0.0f);
  in[0] = 100.0f;     // small step up: widened to +8192
  in[1] = 20000.0f;   // large step: passes
  in[2] = 19000.0f;   // small step down: -8192
  const std::vector<float> out = apply(kPcfKind, e, in);
  EXPECT_EQ(out[0], 8192.0f);
  EXPECT_EQ(out[1], 20000.0f);
  EXPECT_EQ(out[2], 20000.0f - 8192.0f);
  e.control = 0.0f;  // no limit: every step passes
  kPcfKind.reset(&e);
  const std::vector<float> any = noise(2);
  EXPECT_EQ(apply(kPcfKind, e, any), any);
}

TEST_F(EffectDsp, PcfAndSlewsTowardTheInput) {
  PcfEffect& e = fresh<PcfEffect>(kPcfKind);
  e.filttype = 3;
  e.control = 1.0f;  // 2 % of 32768 per sample
  const std::vector<float> in(kBlockFrames, 10000.0f);
  const std::vector<float> out = apply(kPcfKind, e, in);
  const float slew = 0.02f * 32768.0f;
  EXPECT_FLOAT_EQ(out[0], slew);
  EXPECT_FLOAT_EQ(out[9], 10 * slew);
  EXPECT_EQ(out[127], 10000.0f);
}

TEST_F(EffectDsp, PcfBytewiseTypesFollowTheirFormulas) {
  PcfEffect& e = fresh<PcfEffect>(kPcfKind);
  e.control = 0.5f;
  std::vector<float> in(kBlockFrames, 0.0f);
  in[0] = 0x1234;
  in[1] = 0x5678;
  e.filttype = 1;  // "PC-XOR", previous 0 then 0x1234
  std::vector<float> out = apply(kPcfKind, e, in);
  EXPECT_FLOAT_EQ(out[0], 0x34 * 0.5f + 0x1200 * 0.5f);
  kPcfKind.reset(&e);
  e.filttype = 5;  // "PC-RM"
  out = apply(kPcfKind, e, in);
  EXPECT_FLOAT_EQ(out[0], (0 ^ 0x5555) * 0.5f + (0x1234 ^ 0xAAAA) * 0.5f);
  kPcfKind.reset(&e);
  e.filttype = 4;  // "PC-NOT" of previous 0 and 0x1234 / 2
  out = apply(kPcfKind, e, in);
  EXPECT_EQ(out[0], static_cast<float>(~0 + ~0x091A));
  kPcfKind.reset(&e);
  e.filttype = 9;  // no such filter: the signal passes
  EXPECT_EQ(apply(kPcfKind, e, in), in);
}

// ---- RD ----

TEST_F(EffectDsp, RdReflectsAboutHalfScaleAndLeavesZeroAlone) {
  RdEffect& e = fresh<RdEffect>(kRdKind);
  e.mix = 1.0f;
  std::vector<float> in(kBlockFrames, 0.0f);
  in[0] = 1000.0f;
  in[1] = -1000.0f;
  in[2] = 32768.0f;
  const std::vector<float> out = apply(kRdKind, e, in);
  EXPECT_EQ(out[0], 31768.0f);
  EXPECT_EQ(out[1], -31768.0f);
  EXPECT_EQ(out[2], 0.0f);
  for (int i = 3; i < kBlockFrames; ++i) ASSERT_EQ(out[i], 0.0f);
  e.mix = 0.2f;  // the default blend
  EXPECT_FLOAT_EQ(apply(kRdKind, e, in)[0], 0.2f * 31768.0f + 0.8f * 1000.0f);
}

// ---- SVF ----

double svf_gain(int type, float hz) {
  SvfEffect& e = fresh<SvfEffect>(kSvfKind);
  e.type = static_cast<int16_t>(type);
  e.freq = 0.1f;
  e.res = 0.5f;
  const std::vector<float> in = sine(hz, 10000.0f, 120);
  const std::vector<float> out = apply(kSvfKind, e, in);
  const int skip = 60 * kBlockFrames;
  return test::rms(out.data() + skip, static_cast<int>(out.size()) - skip) /
         test::rms(in.data() + skip, static_cast<int>(in.size()) - skip);
}

TEST_F(EffectDsp, SvfTypesPassTheirBands) {
  // FREQ 0.1 puts the corner near 700 Hz.
  EXPECT_GT(svf_gain(2, 60.0f), 0.9);     // LOW passes the bass
  EXPECT_LT(svf_gain(2, 8000.0f), 0.05);  // and removes the treble
  EXPECT_LT(svf_gain(0, 60.0f), 0.05);    // HIGH the other way round
  EXPECT_GT(svf_gain(0, 8000.0f), 0.9);
  EXPECT_LT(svf_gain(1, 60.0f), 0.2);     // BAND keeps the middle
  EXPECT_LT(svf_gain(1, 8000.0f), 0.2);
  EXPECT_GT(svf_gain(1, 700.0f), 1.0);
}

TEST_F(EffectDsp, SvfStaysFiniteAtItsEdgesAndBeyond) {
  SvfEffect& e = fresh<SvfEffect>(kSvfKind);
  for (auto [f, r] : {std::pair{1.0f, 0.0f}, std::pair{1.0f, 1.0f}, std::pair{5.0f, -3.0f},
                      std::pair{NAN, NAN}}) {
    kSvfKind.reset(&e);
    e.freq = f;
    e.res = r;
    for (int type = 0; type < 5; ++type) {
      e.type = static_cast<int16_t>(type);
      const std::vector<float> out = apply(kSvfKind, e, noise(400));
      ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size()))) << f << " " << r;
      ASSERT_TRUE(std::isfinite(e.band) && std::isfinite(e.low));
    }
  }
}

// Builds the parameter slots of synth s as the graph would for a pitch parameter (class
// `pitch_class`, module value pitch_hz) followed by the SVF's six, with lanes of their own.
class SvfTracking : public EffectDsp {
 protected:
  static constexpr int kSynth = MAX_TRACKS - 1;
  void SetUp() override {
    EffectDsp::SetUp();
    // Tracking reads the song's lanes, so it comes through the engine's link.
    link_synthesis_to_sequencer();
    saved_count_ = song.param_count[kSynth];
    saved_mode_ = song.freq_mode[kSynth];
    saved_step_ = transport.step_pos;
    for (int k = 0; k < 7; ++k) saved_slots_[k] = song.param_slot[kSynth][k];
  }
  void TearDown() override {
    song.param_count[kSynth] = saved_count_;
    song.freq_mode[kSynth] = saved_mode_;
    transport.step_pos = saved_step_;
    for (int k = 0; k < 7; ++k) song.param_slot[kSynth][k] = saved_slots_[k];
  }
  SvfEffect& bind(int pitch_class) {
    SvfEffect& e = fresh<SvfEffect>(kSvfKind, kSynth);
    ParamDest dests[6];
    kSvfKind.bind(&e, dests);
    song.param_count[kSynth] = 7;
    song.freq_mode[kSynth] = 1;
    song.param_slot[kSynth][0] = {lanes_[0], 0.0f, lanes_[0], static_cast<ParamClass>(pitch_class),
                                  &pitch_hz_};
    for (int q = 0; q < 6; ++q) {
      song.param_slot[kSynth][q + 1] = {lanes_[q + 1], kSvfKind.params[q].def, lanes_[q + 1],
                                        kSvfKind.params[q].cls, dests[q]};
    }
    return e;
  }
  float lanes_[7][MAX_STEPS] = {};
  float pitch_hz_ = 1000.0f;
  uint16_t saved_count_ = 0;
  int32_t saved_mode_ = 0;
  uint16_t saved_step_ = 0;
  ParamSlot saved_slots_[7];
};

TEST_F(SvfTracking, FollowsAThousandHertzPitchToAboutPointOneEightOne) {
  SvfEffect& e = bind(1);
  transport.step_pos = 5;
  lanes_[1][5] = 1.0f;  // FREQTRACK on at this step
  e.offset = 1.0f;
  kSvfKind.derive(&e);
  EXPECT_NEAR(e.freq, 0.181f, 0.0005f);
  EXPECT_EQ(lanes_[4][5], e.freq);  // a note pitch also leaves FREQ in its lane
  e.offset = 8.0f;                  // beyond 5512.5 Hz the filter stays at the top
  kSvfKind.derive(&e);
  EXPECT_EQ(e.freq, 1.0f);
}

TEST_F(SvfTracking, HertzPitchesTrackWithoutWritingTheLane) {
  SvfEffect& e = bind(2);
  lanes_[1][transport.step_pos % MAX_STEPS] = 1.0f;
  kSvfKind.derive(&e);
  EXPECT_NEAR(e.freq, 1000.0f / 5512.5f, 1e-6f);
  EXPECT_EQ(lanes_[4][transport.step_pos % MAX_STEPS], 0.0f);
}

TEST_F(SvfTracking, StaysPutWhenOffOrWithoutPitch) {
  SvfEffect& e = bind(1);
  e.freq = 0.3f;
  kSvfKind.derive(&e);  // FREQTRACK lane 0 at this step
  EXPECT_EQ(e.freq, 0.3f);
  lanes_[1][transport.step_pos % MAX_STEPS] = 1.0f;
  song.freq_mode[kSynth] = 3;
  kSvfKind.derive(&e);
  EXPECT_EQ(e.freq, 0.3f);
}

// ---- SHP ----

TEST_F(EffectDsp, ShpSineIsASoftSaturationThroughZero) {
  ShpEffect& e = fresh<ShpEffect>(kShpKind);
  e.type = 2;  // "SINE"
  std::vector<float> in(kBlockFrames);
  for (int i = 0; i < kBlockFrames; ++i) in[i] = -32768.0f + 512.0f * i;
  in[64] = 0.0f;
  const std::vector<float> out = apply(kShpKind, e, in);
  EXPECT_EQ(out[64], 0.0f);
  EXPECT_EQ(out[0], -std::trunc(wavetables[kSine][32]));
  for (int i = 1; i < kBlockFrames; ++i) {
    ASSERT_GE(out[i], out[i - 1]) << i;                            // rising
    ASSERT_GE(std::fabs(out[i]) + 1.0f, std::fabs(in[i])) << i;    // above the diagonal
    ASSERT_EQ(out[i], std::trunc(out[i]));                         // whole numbers
  }
  EXPECT_EQ(out[96], std::trunc(wavetables[kSine][16]));
}

TEST_F(EffectDsp, ShpCubesFollowTheirCurves) {
  ShpEffect& e = fresh<ShpEffect>(kShpKind);
  std::vector<float> in(kBlockFrames, 0.0f);
  in[0] = 16384.0f;
  in[1] = -32768.0f;
  e.type = 0;
  std::vector<float> out = apply(kShpKind, e, in);
  EXPECT_EQ(out[0], 4096.0f);
  EXPECT_EQ(out[1], -32768.0f);
  e.type = 1;
  out = apply(kShpKind, e, in);
  EXPECT_EQ(out[0], 4096.0f + 16384.0f - 32768.0f);
  EXPECT_EQ(out[2], -32768.0f);
}

TEST_F(EffectDsp, ShpOverFullScaleStaysInsideItsTable) {
  ShpEffect& e = fresh<ShpEffect>(kShpKind);
  std::vector<float> in(kBlockFrames, 1e9f);
  in[1] = -1e9f;
  in[2] = 131072.0f;  // exactly the table's end
  for (int type = 2; type <= 14; ++type) {
    e.type = static_cast<int16_t>(type);
    const std::vector<float> out = apply(kShpKind, e, in);
    ASSERT_TRUE(test::all_finite(out.data(), kBlockFrames));
    ASSERT_LE(std::fabs(out[0]), 32768.0f);
  }
}

// A BAMSVF synth built by the graph: the filter follows the note the step plays.
TEST(SvfTrackingGraph, TheFilterFollowsThePlayedNote) {
  init_engine(5);
  const int type = type_code_from_name("BAMSVF");
  build_synth(0, type);
  sort_registry();
  song.track_count = 1;
  reset_play_cursor(0);
  constexpr int kFreq1 = 1, kFreqTrack = 13, kFreq = 16;
  ASSERT_STREQ(type_param(type, kFreqTrack)->name, "FREQTRACK");
  ASSERT_STREQ(type_param(type, kFreq)->name, "FREQ");
  for (int i = 0; i < kLaneLength; ++i) {
    song.param_slot[0][kFreq1].lane[i] = 83.0f;  // B5, 987.77 Hz
    song.param_slot[0][kFreqTrack].lane[i] = 1.0f;
  }
  song.step_trig[0][0][0] = 100;
  song.step_vol[0][0][0] = 1.0f;
  transport.step_countdown = 1.0f;
  std::vector<float> out(2 * kBufferFrames);
  render_buffer(out.data());
  const auto& svf = *static_cast<const SvfEffect*>(synth_modules[0].effect);
  EXPECT_NEAR(svf.freq, note_frequency(83.0f) / 5512.5f, 1e-5f);
  EXPECT_EQ(song.param_slot[0][kFreq].row[transport.step_pos % MAX_STEPS], svf.freq);
  EXPECT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
  init_engine(5);
}

}  // namespace
}  // namespace zorbel
