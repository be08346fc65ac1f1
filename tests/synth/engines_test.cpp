// The seven table, string, noise, pulse, rotation and sample engines, driven instance by instance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "synth/bfm_engine.h"
#include "engine/synth_tracks.h"
#include "synth/param_write.h"
#include "synth/fm_engine.h"
#include "synth/ks_engine.h"
#include "synth/n_engine.h"
#include "synth/note_table.h"
#include "synth/param_value.h"
#include "synth/random_table.h"
#include "synth/rot_engine.h"
#include "synth/wav_engine.h"
#include "synth/wavetables.h"
#include "synth/zbq_engine.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

constexpr uint32_t kSeed = 4242;
// The graph takes pool slots from 0 up; these tests borrow the last one.
constexpr int kSlot = kPoolSize - 1;

class EngineDsp : public ::testing::Test {
 protected:
  void SetUp() override {
    seed_random_tables(kSeed);
    build_wavetables();
  }
};

template <typename T>
T& fresh(const KindOps& ops) {
  ModuleBase* m = ops.pool_slot(kSlot);
  m->synth = 0;
  m->next = nullptr;
  ops.init(m);
  return *static_cast<T*>(m);
}

// What the graph does per block: derived fields, then 128 frames.
std::vector<float> render(const KindOps& ops, ModuleBase& m, int blocks) {
  std::vector<float> out(static_cast<size_t>(blocks) * kBlockFrames);
  for (int b = 0; b < blocks; ++b) {
    if (ops.derive) ops.derive(&m);
    ops.render(&m, out.data() + b * kBlockFrames);
  }
  return out;
}

void start(const KindOps& ops, ModuleBase& m) {
  if (ops.derive) ops.derive(&m);
  if (ops.restart) ops.restart(&m);
}

float max_abs(const std::vector<float>& x) {
  float peak = 0.0f;
  for (float v : x) peak = std::max(peak, std::fabs(v));
  return peak;
}

// A step value written the way its class reaches a field (note numbers become Hz).
void write_by_class(const ParamDest& dest, ParamClass cls, float v) {
  write_param_value(SynthModules{}, cls, dest, v, 0.0f);
}

// ---- FM ----

TEST_F(EngineDsp, FmWithoutModulationIsAPlainTableOscillatorAtItsCarrierFrequency) {
  FmEngine& e = fresh<FmEngine>(kFmKind);
  e.carrfreq = 440.0f;
  e.modindex = 0.0f;
  start(kFmKind, e);
  const std::vector<float> out = render(kFmKind, e, 40);
  float phase = 0.0f;
  for (size_t i = 0; i < out.size(); ++i) {
    ASSERT_FLOAT_EQ(out[i], read_table(wavetables[kSine], phase * kHzToTablePoints)) << i;
    phase += 440.0f;
    if (phase > 44100.0f) phase -= 44100.0f;
  }
  EXPECT_NEAR(test::zero_crossing_frequency(out.data(), static_cast<int>(out.size())), 440.0,
              0.5);
}

TEST_F(EngineDsp, FmModulatorHoldAdvancesItsPhaseOnlyEveryHoldSamples) {
  FmEngine& e = fresh<FmEngine>(kFmKind);
  e.carrfreq = 100.0f;
  e.modoffset = 2.0f;  // 200 phase units per advance
  e.modsh = 100;
  start(kFmKind, e);
  render(kFmKind, e, 3);  // 384 samples: advances at samples 0, 100, 200 and 300
  EXPECT_FLOAT_EQ(e.mod_phase, 800.0f);

  FmEngine& every = fresh<FmEngine>(kFmKind);
  every.carrfreq = 100.0f;
  every.modoffset = 2.0f;
  every.modsh = 1;
  start(kFmKind, every);
  render(kFmKind, every, 3);
  EXPECT_FLOAT_EQ(every.mod_phase, 384 * 200.0f - 44100.0f);
}

TEST_F(EngineDsp, FmHeldModulatorIsStillReadEverySample) {
  // With the modulator's phase frozen, its own feedback is the only thing that moves its reading:
  // a held modulator with feedback must still differ from one without.
  auto run = [](float modfb) {
    FmEngine& e = fresh<FmEngine>(kFmKind);
    e.carrfreq = 200.0f;
    e.modindex = 5.0f;
    e.modsh = 30000;
    e.modfb = modfb;
    e.env.attack = 0.0001f;  // envelope opens at once
    start(kFmKind, e);
    return render(kFmKind, e, 2);
  };
  const std::vector<float> still = run(0.0f);
  const std::vector<float> moving = run(1.0f);
  int differ = 0;
  for (int i = 2; i < 128; ++i) differ += still[i] != moving[i];
  EXPECT_GT(differ, 100);
}

TEST_F(EngineDsp, FmModulatorEnvelopeOpensAfterItsDelay) {
  FmEngine& e = fresh<FmEngine>(kFmKind);
  e.carrfreq = 300.0f;
  e.modindex = 10.0f;
  e.env.delay = 4;
  e.env.attack = 0.0001f;  // attack increment above 0.05: would start in decay at once
  start(kFmKind, e);
  EXPECT_EQ(e.env.stage, 2);
  EXPECT_FLOAT_EQ(e.env.level, 1.0f);

  e.env.attack = 1.0f;
  start(kFmKind, e);
  EXPECT_EQ(e.env.stage, 0);
  render(kFmKind, e, 1);  // 128 samples: 4 control periods, all within the delay
  EXPECT_EQ(e.env.stage, 0);
  EXPECT_EQ(e.env.level, 0.0f);
  render(kFmKind, e, 1);  // the fifth period ends the delay, the sixth starts the attack
  EXPECT_EQ(e.env.stage, 1);
  EXPECT_GT(e.env.level, 0.0f);
}

TEST_F(EngineDsp, FmModulatorOffsetIsLimitedToTwentyKilohertz) {
  FmEngine& e = fresh<FmEngine>(kFmKind);
  e.carrfreq = 30000.0f;
  e.modoffset = 10.0f;
  kFmKind.derive(&e);
  EXPECT_FLOAT_EQ(e.carrfreq, 22050.0f);
  EXPECT_FLOAT_EQ(e.carrfreq * e.modoffset, 20000.0f);
}

TEST_F(EngineDsp, FmRestartResetsOnlyPeriodicPhases) {
  FmEngine& e = fresh<FmEngine>(kFmKind);
  e.carrfreq = 123.0f;
  e.carrwt = wavetables[kSq];
  start(kFmKind, e);
  render(kFmKind, e, 2);
  const float carrier = e.carr_phase;
  ASSERT_NE(carrier, 0.0f);
  ASSERT_NE(e.mod_phase, 0.0f);
  kFmKind.restart(&e);
  EXPECT_EQ(e.carr_phase, carrier);  // SQ keeps running
  EXPECT_EQ(e.mod_phase, 0.0f);      // SINE restarts
  EXPECT_EQ(e.carr_hold, kHoldExpired);
}

// ---- BFM ----

TEST_F(EngineDsp, BfmWithoutModulationPlaysItsCarrierPairAtTheNote) {
  BfmEngine& e = fresh<BfmEngine>(kBfmKind);
  e.cfreq1 = note_frequency(69);
  e.modindex = 0.0f;
  e.cwt1 = wavetables[kSaw];
  start(kBfmKind, e);
  const std::vector<float> out = render(kBfmKind, e, 200);
  EXPECT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
  EXPECT_NEAR(test::zero_crossing_frequency(out.data(), static_cast<int>(out.size())), 440.0,
              1.0);
}

TEST_F(EngineDsp, BfmCarrierSyncRestartsOscillatorTwoWhenOneWraps) {
  BfmEngine& e = fresh<BfmEngine>(kBfmKind);
  e.cfreq1 = 441.0f;  // wraps every 100 samples
  e.coffset = 1.37f;
  e.modindex = 0.0f;
  e.coscsync = 1;
  start(kBfmKind, e);
  render(kBfmKind, e, 1);
  // Oscillator 1 passes 44100 on its 101st advance (sample 100); oscillator 2 restarts there
  // and takes that sample's advance and 27 more.
  EXPECT_NEAR(e.phase[2], 128 * 441.0f - 44100.0f, 0.01f);
  EXPECT_NEAR(e.phase[3], 28 * 441.0f * 1.37f, 0.05f);
}

TEST_F(EngineDsp, BfmLimitsEveryOscillatorToTwentyKilohertz) {
  BfmEngine& e = fresh<BfmEngine>(kBfmKind);
  e.cfreq1 = 5000.0f;
  e.coffset = 4.0f;
  e.mfreq1 = 10.0f;
  e.moffset = 4.0f;
  kBfmKind.derive(&e);
  EXPECT_FLOAT_EQ(e.cfreq1 * e.coffset, 20000.0f);
  EXPECT_FLOAT_EQ(e.m1_inc, 20000.0f);
  EXPECT_LE(e.m2_inc, 20000.0f);
}

// ---- FM and BFM against a sample-by-sample model ----

// The sample steps written out plainly, one operation at a time, so the engines' block loops
// (fast path, local copies, shared helpers) can be checked against them. Tables are smooth ones:
// rounding differences of the last bit then stay far below the tolerance, while a wrong
// feedback source, a wrong mix weight or a missed hold moves samples by hundreds or more.
constexpr float kModelTolerance = 0.5f;

float model_read(const float* table, float phase_hz) {
  float p = phase_hz * kHzToTablePoints;
  if (p < 0.0f) {
    p += 128.0f;
  } else if (p > 128.0f) {
    p -= 128.0f;
  }
  int i = static_cast<int>(p);
  if (i > 127) i = 127;  // p = 128 reads the guard point with fraction 1
  const float f = p - static_cast<float>(i);
  return f * table[i + 1] + (1.0f - f) * table[i];
}

float model_carrier_wrap(float phase) {
  if (phase > 44100.0f) return phase - std::trunc(phase / 44100.0f) * 44100.0f;
  if (phase < 0.0f) return phase - std::trunc(phase / 44100.0f - 1.0f) * 44100.0f;
  return phase;
}

// The modulator's DADSR: stepped every 32 samples, 0 during the delay.
struct ModelEnvelope {
  int delay = 2;
  float attack = 0.01f, decay = 0.02f, decaymin = 0.3f;
  int sustain = 5;
  float release = 0.05f;
  float attack_inc = 0, decay_dec = 0, release_dec = 0, level = 0;
  int counter = 0, stage = 0, delay_count = 0, sustain_count = 0;
  void start() {
    attack_inc = (1.0f / attack) * 0.00072562357f;
    decay_dec = (1.0f - decaymin) * (1.0f / decay) * 0.00072562357f;
    release_dec = (1.0f / release) * 0.00072562357f * decaymin;
    const bool fast = attack_inc > 0.05f;
    stage = fast ? 2 : 0;
    level = fast ? 1.0f : 0.0f;
  }
  float tick() {
    if (++counter < 32) return level;
    counter = 0;
    if (stage == 0) {
      if (delay < ++delay_count) stage = 1;
    } else if (stage == 1) {
      level += attack_inc;
      if (level >= 1.0f) level = 1.0f, stage = 2;
    } else if (stage == 2) {
      level -= decay_dec;
      if (level <= decaymin) level = decaymin, stage = 3;
    } else if (stage == 3) {
      if (sustain <= ++sustain_count) stage = 4;
    } else {
      level = std::max(0.0f, level - release_dec);
    }
    return level;
  }
};

void set_envelope(ModEnvelope& env, const ModelEnvelope& model) {
  env.delay = model.delay;
  env.attack = model.attack;
  env.decay = model.decay;
  env.decaymin = model.decaymin;
  env.sustain = model.sustain;
  env.release = model.release;
}

TEST_F(EngineDsp, FmFollowsItsSampleStepsForEveryFeedbackSource) {
  const float* const mod_table = wavetables[13];  // TRI
  const float* const carr_table = wavetables[1];  // SINE2
  const float freq = 330.0f, offset = 1.5f, index = 3.0f, modfb = 0.05f, carrfb = 0.03f;
  for (int fbtype = 0; fbtype < 4; ++fbtype) {
    for (auto [modsh, carrsh] : {std::pair{0, 1}, std::pair{3, 5}}) {
      SCOPED_TRACE(testing::Message() << "FBTYPE " << fbtype << " holds " << modsh << "/"
                                      << carrsh);
      FmEngine& e = fresh<FmEngine>(kFmKind);
      e.carrfreq = freq;
      e.modoffset = offset;
      e.modindex = index;
      e.fbtype = static_cast<int16_t>(fbtype);
      e.modfb = modfb;
      e.carrfb = carrfb;
      e.modsh = static_cast<int16_t>(modsh);
      e.carrsh = static_cast<int16_t>(carrsh);
      e.modwt = mod_table;
      e.carrwt = carr_table;
      ModelEnvelope env;
      set_envelope(e.env, env);
      start(kFmKind, e);
      env.start();
      const std::vector<float> out = render(kFmKind, e, 8);

      const float depth = index * freq * offset / 32768.0f;
      float mod_phase = 0, carr_phase = 0, mod_fb = 0, carr_fb = 0;
      int mod_hold = kHoldExpired, carr_hold = kHoldExpired;
      for (size_t i = 0; i < out.size(); ++i) {
        const float a = fbtype == 2 || fbtype == 3 ? carr_fb : mod_fb;
        float m = model_read(mod_table, a + mod_phase);
        if (++mod_hold >= modsh) {
          mod_hold = 0;
          mod_phase += freq * offset;
          while (mod_phase > 44100.0f) mod_phase -= 44100.0f;
        }
        mod_fb = m * modfb * 0.4f;
        m *= env.tick();
        const float b = fbtype == 1 || fbtype == 3 ? carr_fb : mod_fb;
        const float y = model_read(carr_table, b + carr_phase);
        if (++carr_hold >= carrsh) {
          carr_hold = 0;
          carr_phase = model_carrier_wrap(carr_phase + m * depth + freq);
        }
        carr_fb = y * carrfb * 0.4f;
        ASSERT_NEAR(out[i], y, kModelTolerance) << i;
      }
    }
  }
}

TEST_F(EngineDsp, BfmFollowsItsSampleStepsForEveryFeedbackSourceAndSync) {
  const float* const tables[4] = {wavetables[13], wavetables[1], wavetables[0], wavetables[14]};
  const float cfreq = 330.0f, mfreq = 1.5f, moffset = 1.3f, coffset = 2.01f, index = 2.0f;
  const float mmix = 0.3f, mring = 0.2f, cmix = 0.6f, cring = 0.25f;
  const float modfb = 0.05f, carrfb = 0.03f;
  for (int fbtype = 0; fbtype < 4; ++fbtype) {
    for (int sync = 0; sync < 2; ++sync) {
      SCOPED_TRACE(testing::Message() << "FBTYPE " << fbtype << " sync " << sync);
      const int holds[4] = {0, 4, 3, 1};  // M1, M2, C1, C2
      BfmEngine& e = fresh<BfmEngine>(kBfmKind);
      e.cfreq1 = cfreq;
      e.mfreq1 = mfreq;
      e.moffset = moffset;
      e.coffset = coffset;
      e.modindex = index;
      e.fbtype = static_cast<int16_t>(fbtype);
      e.modfb = modfb;
      e.carrfb = carrfb;
      e.msh1 = static_cast<int16_t>(holds[0]);
      e.msh2 = static_cast<int16_t>(holds[1]);
      e.csh1 = static_cast<int16_t>(holds[2]);
      e.csh2 = static_cast<int16_t>(holds[3]);
      e.moscsync = static_cast<int16_t>(sync);
      e.coscsync = static_cast<int16_t>(sync);
      e.moscmix = mmix;
      e.mringmix = mring;
      e.coscmix = cmix;
      e.cringmix = cring;
      e.mwt1 = tables[0];
      e.mwt2 = tables[1];
      e.cwt1 = tables[2];
      e.cwt2 = tables[3];
      ModelEnvelope env;
      set_envelope(e.env, env);
      start(kBfmKind, e);
      env.start();
      const std::vector<float> out = render(kBfmKind, e, 8);

      float phase[4] = {}, held[4] = {}, mod_fb = 0, carr_fb = 0;
      int counter[4] = {kHoldExpired, kHoldExpired, kHoldExpired, kHoldExpired};
      auto read = [&](int k, float source) {
        const float value = model_read(tables[k], source + phase[k]);
        if (++counter[k] >= holds[k]) {
          held[k] = value;
          counter[k] = 0;
        }
        return held[k];
      };
      for (size_t i = 0; i < out.size(); ++i) {
        const float a = fbtype == 2 || fbtype == 3 ? carr_fb : mod_fb;
        const float m1 = read(0, a), m2 = read(1, a);
        phase[0] += mfreq * cfreq;
        if (phase[0] > 44100.0f) {
          while (phase[0] > 44100.0f) phase[0] -= 44100.0f;
          if (sync) phase[1] = 0.0f;
        }
        phase[1] += mfreq * moffset * cfreq;
        while (phase[1] > 44100.0f) phase[1] -= 44100.0f;
        float m = (1.0f - mring) * (mmix * m1 + (1.0f - mmix) * m2) + mring * m1 * m2 / 32768.0f;
        mod_fb = m * modfb * 0.4f;
        m *= env.tick();
        const float inc = index * cfreq * mfreq / 32768.0f * m + cfreq;
        const float b = fbtype == 1 || fbtype == 3 ? carr_fb : mod_fb;
        const float c1 = read(2, b), c2 = read(3, b);
        phase[2] += inc;
        if (phase[2] > 44100.0f && sync) phase[3] = 0.0f;
        phase[2] = model_carrier_wrap(phase[2]);
        phase[3] = model_carrier_wrap(phase[3] + inc * coffset);
        const float y =
            (1.0f - cring) * (cmix * c1 + (1.0f - cmix) * c2) + cring * c1 * c2 / 32768.0f;
        carr_fb = y * carrfb * 0.4f;
        ASSERT_NEAR(out[i], y, kModelTolerance) << i;
      }
    }
  }
}

// ---- KS ----

TEST_F(EngineDsp, KsWithEveryProbabilityOneIsThePlainAveragingString) {
  KsEngine& e = fresh<KsEngine>(kKsKind);
  e.filtprob = 1.0f;
  e.asprob1 = 1.0f;
  e.asprob2 = 1.0f;
  e.avefac = 0.5f;
  e.freq = 441.0f;
  start(kKsKind, e);
  ASSERT_EQ(e.length, 100);
  std::vector<float> line(e.line, e.line + e.length);
  int pos = e.pos;
  const std::vector<float> out = render(kKsKind, e, 20);
  for (size_t i = 0; i < out.size(); ++i) {
    const float previous = line[pos];
    pos = (pos + 1) % 100;
    line[pos] = (previous + line[pos]) * 0.5f;
    ASSERT_EQ(out[i], line[pos]) << i;
  }
}

// The lag in [lo, hi] at which x best matches itself (mean removed).
int best_period(const float* x, int frames, int lo, int hi) {
  double mean = 0.0;
  for (int i = 0; i < frames; ++i) mean += x[i];
  mean /= frames;
  int best = lo;
  double best_score = -1e300;
  for (int lag = lo; lag <= hi; ++lag) {
    double score = 0.0;
    for (int i = 0; i + lag < frames; ++i) score += (x[i] - mean) * (x[i + lag] - mean);
    score /= frames - lag;
    if (score > best_score) {
      best_score = score;
      best = lag;
    }
  }
  return best;
}

TEST_F(EngineDsp, KsPluckRepeatsAtItsStringLength) {
  KsEngine& e = fresh<KsEngine>(kKsKind);
  e.filtprob = 1.0f;
  e.asprob1 = 1.0f;
  e.asprob2 = 1.0f;
  e.avefac = 0.5f;
  e.freq = 441.0f;  // 100 entries; the two-point average adds half a sample per cycle
  start(kKsKind, e);
  const std::vector<float> out = render(kKsKind, e, 60);
  const int skip = 20 * kBlockFrames;
  const int period = best_period(out.data() + skip, 4096, 60, 180);
  EXPECT_TRUE(period == 100 || period == 101) << period;
  EXPECT_GT(test::rms(out.data() + skip, 4096), 100.0);
}

TEST_F(EngineDsp, KsBelowEightHertzKeepsItsLineWithinItsEntries) {
  KsEngine& e = fresh<KsEngine>(kKsKind);
  e.filtprob = 0.7f;
  for (float hz : {8.0f, 7.99f, 5.0f, 3.0f, 1.0f, 0.0f, -50.0f}) {
    e.freq = hz;
    start(kKsKind, e);
    EXPECT_GE(e.freq, 3.0f);
    EXPECT_LE(e.length, kKsLineSize) << hz;
    EXPECT_GE(e.length, 8);
    const std::vector<float> out = render(kKsKind, e, 60);
    EXPECT_LT(e.pos, e.length);
    EXPECT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
  }
  EXPECT_EQ(e.length, kKsLineSize);
  // A string that shortens mid-note brings its position back inside.
  e.freq = 2000.0f;
  kKsKind.derive(&e);
  EXPECT_EQ(e.length, 22);
  EXPECT_LT(e.pos, 22);
}

TEST_F(EngineDsp, KsRestartFillsTheWholeLineWithNoise) {
  KsEngine& e = fresh<KsEngine>(kKsKind);
  kKsKind.reset(&e);
  kKsKind.restart(&e);
  int nonzero = 0;
  for (float v : e.line) {
    nonzero += v != 0.0f;
    ASSERT_LE(std::fabs(v), 32767.0f);
  }
  EXPECT_GT(nonzero, kKsLineSize - 10);
}

// ---- N ----

TEST_F(EngineDsp, NHoldsEachRandomValueForSampHoldPlusOneSamples) {
  NEngine& e = fresh<NEngine>(kNKind);
  e.samphold = 3;
  start(kNKind, e);
  const std::vector<float> out = render(kNKind, e, 4);
  int changes = 0;
  for (size_t i = 1; i < out.size(); ++i) {
    if (out[i] != out[i - 1]) {
      ++changes;
      EXPECT_EQ(i % 4, 3u) << i;  // the counter passes 3 on every fourth sample
    }
  }
  EXPECT_GT(changes, 100);
  e.samphold = 32767;
  kNKind.derive(&e);
  EXPECT_EQ(e.samphold, 32000);
}

TEST_F(EngineDsp, NoiseAtEverySampleHasTheLevelOfUniformNoise) {
  NEngine& e = fresh<NEngine>(kNKind);
  e.samphold = 0;
  start(kNKind, e);
  const std::vector<float> out = render(kNKind, e, 100);
  const double level = test::rms(out.data(), static_cast<int>(out.size()));
  EXPECT_NEAR(level, 32767.0 / std::sqrt(3.0), 1500.0);
  EXPECT_LE(max_abs(out), 32767.0f);
}

// ---- ZBQ ----

TEST_F(EngineDsp, ZbqEqualWidthsAndUnitOffsetGiveTwoIdenticalSquares) {
  ZbqEngine& e = fresh<ZbqEngine>(kZbqKind);
  e.freq1 = 441.0f;
  e.pw1 = 0.5f;
  e.pw2 = 0.5f;
  e.offset2 = 1.0f;
  e.mix = 0.5f;
  start(kZbqKind, e);
  const std::vector<float> out = render(kZbqKind, e, 100);
  for (float v : out) ASSERT_EQ(std::fabs(v), 32768.0f);
  EXPECT_NEAR(test::zero_crossing_frequency(out.data(), static_cast<int>(out.size())), 441.0,
              0.5);
  EXPECT_NEAR(test::rms(out.data(), static_cast<int>(out.size())), 32768.0, 1.0);
}

TEST_F(EngineDsp, ZbqPulseWidthSetsTheShareOfTheHighLevel) {
  ZbqEngine& e = fresh<ZbqEngine>(kZbqKind);
  e.freq1 = 441.0f;
  e.pw1 = 0.25f;
  e.mix = 1.0f;
  start(kZbqKind, e);
  const std::vector<float> out = render(kZbqKind, e, 100);
  int high = 0;
  for (float v : out) high += v > 0.0f;
  EXPECT_NEAR(static_cast<double>(high) / out.size(), 0.25, 0.01);
}

TEST_F(EngineDsp, ZbqZeroOrNegativeFrequencyStillCounts) {
  ZbqEngine& e = fresh<ZbqEngine>(kZbqKind);
  e.freq1 = 0.0f;
  kZbqKind.derive(&e);
  EXPECT_FLOAT_EQ(e.freq1, 0.01f);
  e.freq1 = -441.0f;
  start(kZbqKind, e);
  EXPECT_FLOAT_EQ(e.freq1, 441.0f);
}

// ---- ROT ----

TEST_F(EngineDsp, RotCyclesThroughSixteenRotationsOfItsPattern) {
  RotEngine& e = fresh<RotEngine>(kRotKind);
  e.freq = 275.625f;  // 160 samples per cycle: a rotation every 10 samples
  e.val = 15432;
  e.dist = 1;
  start(kRotKind, e);
  const std::vector<float> out = render(kRotKind, e, 3);
  std::set<float> seen;
  uint16_t expected = 15432;
  for (int step = 0; step < 32; ++step) {
    for (int k = 0; k < 10; ++k) {
      ASSERT_EQ(out[step * 10 + k], static_cast<int16_t>(expected)) << step;
    }
    seen.insert(out[step * 10]);
    expected = static_cast<uint16_t>((expected << 1) | (expected >> 15));
  }
  EXPECT_EQ(seen.size(), 16u);
  EXPECT_EQ(out[160], 15432.0f);
}

TEST_F(EngineDsp, RotAllZeroOrAllOnePatternsAreConstant) {
  for (int16_t val : {int16_t{0}, int16_t{-1}}) {
    RotEngine& e = fresh<RotEngine>(kRotKind);
    e.freq = 1000.0f;
    e.val = val;
    e.dist = 3;
    start(kRotKind, e);
    for (float v : render(kRotKind, e, 10)) ASSERT_EQ(v, static_cast<float>(val));
  }
}

TEST_F(EngineDsp, RotPatternWithOneSignChangeSoundsAtItsFrequency) {
  RotEngine& e = fresh<RotEngine>(kRotKind);
  e.freq = 220.5f;
  e.val = 0x00FF;
  e.dist = 1;
  start(kRotKind, e);
  const std::vector<float> out = render(kRotKind, e, 100);
  EXPECT_NEAR(test::zero_crossing_frequency(out.data(), static_cast<int>(out.size())), 220.5,
              0.5);
}

// ---- WAV ----

// A heap sample as the file loader hands it over: frames of value 10 * k + 1.
SampleData* ramp_sample(int frames, float rate = 1.0f) {
  SampleData* s = new SampleData;
  s->data16 = new int16_t[frames];
  for (int k = 0; k < frames; ++k) s->data16[k] = static_cast<int16_t>(10 * k + 1);
  s->length = frames;
  s->bits = 16;
  s->rate_factor = rate;
  return s;
}

class WavDsp : public EngineDsp {
 protected:
  void TearDown() override { wav_set_instance_sample(kWavKind.pool_slot(kSlot), nullptr); }
};

TEST_F(WavDsp, PlaceholderIsSilentUntilASampleIsLoaded) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  EXPECT_EQ(wav_instance_sample(&e), nullptr);
  EXPECT_DOUBLE_EQ(e.position, kPlaceholderStart);
  start(kWavKind, e);
  for (float v : render(kWavKind, e, 10)) ASSERT_EQ(v, 0.0f);
}

TEST_F(WavDsp, PlaysForwardFromTheStartAndStopsAfterOneShot) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(300));
  start(kWavKind, e);
  const std::vector<float> out = render(kWavKind, e, 4);
  for (int k = 0; k < 300; ++k) ASSERT_EQ(out[k], 10.0f * k + 1.0f) << k;
  for (size_t k = 300; k < out.size(); ++k) ASSERT_EQ(out[k], 0.0f) << k;
}

TEST_F(WavDsp, LoopPlayRepeatsTheRange) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(100));
  e.playtype = 1;
  e.startloc = 0.5f;
  start(kWavKind, e);
  const std::vector<float> out = render(kWavKind, e, 2);
  // Frames 50..99 again and again, without a gap at the seam.
  for (int k = 0; k < 256; ++k) ASSERT_EQ(out[k], 10.0f * (50 + k % 50) + 1.0f) << k;
}

TEST_F(WavDsp, EndNotAfterStartIsSilent) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(1000));
  for (auto [s, t] : {std::pair{0.5f, 0.5f}, std::pair{0.7f, 0.2f}}) {
    e.startloc = s;
    e.endloc = t;
    e.playtype = 1;
    start(kWavKind, e);
    for (float v : render(kWavKind, e, 10)) ASSERT_EQ(v, 0.0f);
  }
}

TEST_F(WavDsp, BackwardLoopIsSeamlessAcrossTheStart) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(100));
  e.rdspeed = -1.0f;
  e.playtype = 1;
  start(kWavKind, e);
  const std::vector<float> out = render(kWavKind, e, 2);
  for (int k = 0; k < 256; ++k) ASSERT_EQ(out[k], 10.0f * (99 - k % 100) + 1.0f) << k;
}

TEST_F(WavDsp, NegativeSpeedPlaysBackwardFromTheEnd) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(1000));
  e.rdspeed = -1.0f;
  e.endloc = 0.5f;
  start(kWavKind, e);
  const std::vector<float> out = render(kWavKind, e, 2);
  for (int k = 0; k < 256; ++k) ASSERT_EQ(out[k], 10.0f * (499 - k) + 1.0f) << k;
}

TEST_F(WavDsp, InterpolatesBetweenFramesAtFractionalSpeed) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(1000, 0.5f));  // a 22050 Hz file plays at half speed
  start(kWavKind, e);
  EXPECT_DOUBLE_EQ(e.speed, 0.5);
  const std::vector<float> out = render(kWavKind, e, 1);
  EXPECT_FLOAT_EQ(out[1], 6.0f);
  EXPECT_FLOAT_EQ(out[3], 16.0f);
}

TEST_F(WavDsp, EightBitFramesAreCentredOnZero) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  SampleData* s = new SampleData;
  s->data8 = new uint8_t[3]{0, 128, 255};
  s->length = 3;
  s->bits = 8;
  wav_set_instance_sample(&e, s);
  start(kWavKind, e);
  const std::vector<float> out = render(kWavKind, e, 1);
  EXPECT_EQ(out[0], -32768.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_EQ(out[2], 32512.0f);
}

TEST_F(WavDsp, BpmSyncStretchesTheSampleOverItsSteps) {
  const float bpm = song.bpm;
  song.bpm = 120.0f;  // a step lasts 60 / 120 * 4 / 32 = 1/16 s
  WavEngine& e = fresh<WavEngine>(kWavKind);
  wav_set_instance_sample(&e, ramp_sample(44100 + 22));  // one second after the lead-in
  e.bpmsync = 1;
  e.bpmsteps = 32;  // two seconds
  kWavKind.derive(&e);
  EXPECT_NEAR(e.speed, 0.5, 1e-9);
  song.bpm = bpm;
}

TEST_F(WavDsp, ShortAndOddSamplesNeverPlayOutsideTheirData) {
  // Lengths down to one frame with fast, slow and reverse speeds and loop points beyond the data.
  for (int frames : {1, 2, 3, 7, 22, 23}) {
    for (float speed : {20.0f, -20.0f, 0.37f, -0.37f, 1.0f}) {
      for (auto [s, t] : {std::pair{0.0f, 1.0f}, std::pair{-1.0f, 2.0f}, std::pair{0.9f, 3.0f}}) {
        WavEngine& e = fresh<WavEngine>(kWavKind);
        wav_set_instance_sample(&e, ramp_sample(frames));
        e.rdspeed = speed;
        e.startloc = s;
        e.endloc = t;
        e.playtype = 1;
        e.bpmsync = 1;
        start(kWavKind, e);
        const std::vector<float> out = render(kWavKind, e, 8);
        ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
        ASSERT_LE(max_abs(out), 10.0f * frames + 1.0f);
      }
    }
  }
}

TEST_F(WavDsp, ANewSampleReplacesAndFreesTheOld) {
  WavEngine& e = fresh<WavEngine>(kWavKind);
  SampleData* first = ramp_sample(50);
  wav_set_instance_sample(&e, first);
  EXPECT_EQ(wav_instance_sample(&e), first);
  SampleData* second = ramp_sample(60);
  wav_set_instance_sample(&e, second);  // the leak checker sees whether `first` was freed
  EXPECT_EQ(wav_instance_sample(&e), second);
  kWavKind.release(&e);
  EXPECT_EQ(wav_instance_sample(&e), nullptr);
}

// ---- every engine ----

struct EngineCase {
  const KindOps* ops;
  const char* name;
};

const EngineCase kEngines[] = {{&kFmKind, "FM"},   {&kBfmKind, "BFM"}, {&kKsKind, "KS"},
                               {&kNKind, "N"},     {&kZbqKind, "ZBQ"}, {&kRotKind, "ROT"},
                               {&kWavKind, "WAV"}};

TEST_F(EngineDsp, EveryParameterListMatchesItsBindingAndRanges) {
  for (const EngineCase& c : kEngines) {
    SCOPED_TRACE(c.name);
    ModuleBase* m = c.ops->pool_slot(kSlot);
    c.ops->init(m);
    ParamDest dests[64];
    EXPECT_EQ(c.ops->bind(m, dests), c.ops->param_count);
    for (int q = 0; q < c.ops->param_count; ++q) {
      const ParamInfo& p = c.ops->params[q];
      SCOPED_TRACE(p.name);
      EXPECT_LE(p.min, p.def);
      EXPECT_LE(p.def, p.max);
      EXPECT_GT(p.step[0], 0.0f);
      EXPECT_LE(p.step[0], p.step[1]);
      EXPECT_LE(p.step[1], p.step[2]);
      const bool acts_on_lfo = p.cls == ParamClass::kLfoAmount || p.cls == ParamClass::kLfoTable;
      EXPECT_EQ(dests[q] == nullptr, acts_on_lfo);
      EXPECT_LE((p.max - p.min) / p.step[2], 1000.0f);
    }
    if (c.ops->pitch_field) {
      EXPECT_NE(c.ops->pitch_field(m), nullptr);
    }
    if (c.ops->release) c.ops->release(m);
  }
}

// Random parameter values from inside the editor's ranges on every "step": whatever the values,
// no engine may put a NaN, an infinity or more than full scale into its buffer.
TEST_F(EngineDsp, RandomParametersInRangeNeverGiveNaNOrOverload) {
  std::mt19937 rng(7);
  for (const EngineCase& c : kEngines) {
    SCOPED_TRACE(c.name);
    ModuleBase* m = c.ops->pool_slot(kSlot);
    m->synth = 0;
    c.ops->init(m);
    if (c.ops->kind == kKindWav) wav_set_instance_sample(m, ramp_sample(3001));
    ParamDest dests[64];
    const int n = c.ops->bind(m, dests);
    std::vector<float> block(kBlockFrames);
    for (int step = 0; step < 200; ++step) {
      for (int q = 0; q < n; ++q) {
        const ParamInfo& p = c.ops->params[q];
        std::uniform_real_distribution<float> value(p.min, p.max);
        if (c.ops->kind == kKindN && q == 0) {
          // The graph points N's first parameter at its pitch glide, which drives SAMPHOLD.
          *dests[0].i16 = truncate_to_16(value(rng));
        } else {
          write_by_class(dests[q], p.cls, value(rng));
        }
      }
      start(*c.ops, *m);
      for (int b = 0; b < 4; ++b) {
        c.ops->derive(m);
        c.ops->render(m, block.data());
        ASSERT_TRUE(test::all_finite(block.data(), kBlockFrames)) << step;
        for (float v : block) ASSERT_LE(std::fabs(v), 32768.0f * 1.0001f) << step;
      }
    }
    if (c.ops->release) c.ops->release(m);
  }
}

TEST_F(EngineDsp, ResetReturnsEveryEngineToSilenceOrItsStart) {
  // After a playback reset a KS string is empty and an N generator holds 0.
  KsEngine& ks = fresh<KsEngine>(kKsKind);
  start(kKsKind, ks);
  render(kKsKind, ks, 2);
  kKsKind.reset(&ks);
  for (float v : render(kKsKind, ks, 2)) ASSERT_EQ(v, 0.0f);

  NEngine& n = fresh<NEngine>(kNKind);
  n.samphold = 30000;
  start(kNKind, n);
  kNKind.reset(&n);
  for (float v : render(kNKind, n, 2)) ASSERT_EQ(v, 0.0f);
}

// ---- through the graph ----

// One synth of `type` on track 0 with every step sounding; steps come every 689 frames.
class TypeGraph : public ::testing::Test {
 protected:
  void build(int type) {
    init_engine(kSeed);
    build_synth(0, type);
    sort_registry();
    song.track_count = 1;
    reset_play_cursor(0);
    song.bpm = 480.0f;
    transport.step_countdown = 1.0f;
    for (int s = 0; s < MAX_STEPS; ++s) {
      song.step_trig[0][0][s] = 100;
      song.step_vol[0][0][s] = 1.0f;
    }
    if (type >= 56) wav_set_sample(0, sine_sample());
  }
  void TearDown() override { init_engine(kSeed); }
  void set_lane(int q, float v) {
    for (int i = 0; i < kLaneLength; ++i) song.param_slot[0][q].lane[i] = v;
  }
  int param_index(int type, const char* name) {
    for (int q = 0; q < type_param_count(type); ++q) {
      if (std::string(type_param(type, q)->name) == name) return q;
    }
    ADD_FAILURE() << name;
    return 0;
  }
  // Left channel of `buffers` device buffers.
  std::vector<float> render_left(int buffers) {
    std::vector<float> out(2 * kBufferFrames), left;
    for (int b = 0; b < buffers; ++b) {
      render_buffer(out.data());
      for (int i = 0; i < kBufferFrames; ++i) left.push_back(out[2 * i]);
    }
    return left;
  }
  // A 441 Hz sine of 4410 frames, as the file loader would hand it over.
  static SampleData* sine_sample() {
    SampleData* s = new SampleData;
    s->length = 4410;
    s->data16 = new int16_t[4410];
    for (int k = 0; k < 4410; ++k) {
      s->data16[k] = static_cast<int16_t>(20000.0 * std::sin(2.0 * M_PI * k / 100.0));
    }
    return s;
  }
};

TEST_F(TypeGraph, EveryTypeBuildsAndIsHeard) {
  for (int type = 0; type < kTypeCount; ++type) {
    SCOPED_TRACE(type_name_from_code(type));
    build(type);
    ASSERT_EQ(song.param_count[0], type_param_count(type));
    const std::vector<float> out = render_left(8);
    ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size())));
    EXPECT_GT(test::rms(out.data(), static_cast<int>(out.size())), 0.003);
  }
}

// The pitch of each engine's note, measured from the mix.
TEST_F(TypeGraph, EveryPitchedEngineSoundsItsNote) {
  struct PitchCase {
    int type;
    std::vector<std::pair<const char*, float>> lanes;
    double hz;
  };
  const PitchCase cases[] = {
      {16, {{"CARRFREQ", 69.0f}, {"MODINDEX", 0.0f}}, 440.0},
      {8, {{"CFREQ1", 69.0f}, {"MODINDEX", 0.0f}}, 440.0},
      {40, {{"FREQ1", 57.0f}}, 220.0},
      {48, {{"FREQ", 45.0f}, {"VAL", 255.0f}}, 110.0},
      {56, {{"RDSPEED", 1.0f}, {"PLAYTYPE", 1.0f}}, 441.0},
  };
  for (const PitchCase& c : cases) {
    SCOPED_TRACE(type_name_from_code(c.type));
    build(c.type);
    for (auto [name, v] : c.lanes) set_lane(param_index(c.type, name), v);
    for (int st = 1; st < MAX_STEPS; ++st) song.step_trig[0][0][st] = 0;  // one long note
    const std::vector<float> out = render_left(12);
    const int skip = 2 * kBufferFrames;
    EXPECT_NEAR(test::zero_crossing_frequency(out.data() + skip,
                                              static_cast<int>(out.size()) - skip),
                c.hz, c.hz * 0.01);
  }
}

// Random values from inside every parameter's range at every step of every type: nothing that
// reaches the buses or the device buffer may be a NaN or an infinity.
TEST_F(TypeGraph, RandomStepValuesNeverPutNaNIntoTheMix) {
  std::mt19937 rng(kSeed);
  for (int type = 0; type < kTypeCount; ++type) {
    SCOPED_TRACE(type_name_from_code(type));
    build(type);
    for (int q = 0; q < song.param_count[0]; ++q) {
      const ParamInfo& p = *type_param(type, q);
      std::uniform_real_distribution<float> value(p.min, p.max);
      for (int s = 0; s < MAX_STEPS; ++s) song.param_slot[0][q].lane[s] = value(rng);
    }
    std::vector<float> out(2 * kBufferFrames);
    for (int b = 0; b < 10; ++b) {
      render_buffer(out.data());
      ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size()))) << b;
      ASSERT_TRUE(test::all_finite(&buses.right[0][0], MAX_TRACKS * kBlockFrames)) << b;
      ASSERT_TRUE(test::all_finite(&buses.left[0][0], MAX_TRACKS * kBlockFrames)) << b;
    }
  }
}

TEST_F(TypeGraph, WavSampleHandOverIsOwnedAndFreedByTheSynth) {
  build(56);
  ASSERT_NE(wav_sample(0), nullptr);
  EXPECT_EQ(wav_sample(0)->length, 4410);
  wav_set_sample(0, nullptr);  // back to the placeholder
  EXPECT_EQ(wav_sample(0), nullptr);
  wav_set_sample(0, sine_sample());
  wav_set_sample(1, sine_sample());  // no such synth: freed at once
  EXPECT_EQ(wav_sample(1), nullptr);
  delete_synth(0);  // frees the sample the synth held
  EXPECT_EQ(wav_sample(0), nullptr);
}

}  // namespace
}  // namespace zorbel
