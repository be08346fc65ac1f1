// The module graph with stand-in kinds: list order, deletion, registry order, binding, fatal codes.
#include <cmath>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/mixer.h"
#include "synth/wavetables.h"
#include "synth/param_value.h"
#include "synth/note_table.h"
#include "synth/param_write.h"
#include "engine/audio_stream.h"
#include "synth/bam_engine.h"
#include "synth/lfo.h"
#include "engine/synth_tracks.h"
#include "synth/n_engine.h"
#include "synth/pitch_glide.h"
#include "synth/synth_types.h"
#include "synth/voice_output.h"
#include "tests/support/engine_fixture.h"

namespace zorbel {
namespace {

// A minimal kind: P float fields bound in order, a recognisable render, a pitch field.
// Generators write 100 * (synth + 1); effects double what is there.
template <int Kind, int P>
struct Stub {
  struct Instance : ModuleBase {
    float field[P];
    int16_t samphold;
    int restarts;
  };
  static inline Instance pool[kPoolSize];
  static inline ParamInfo params[P];

  static ModuleBase* slot(int i) { return &pool[i]; }
  static void init(ModuleBase* m) {
    Instance& s = *static_cast<Instance*>(m);
    std::memset(s.field, 0, sizeof s.field);
    s.samphold = 0;
    s.restarts = 0;
  }
  static void render(ModuleBase* m, float* buf) {
    for (int i = 0; i < kBlockFrames; ++i)
      buf[i] = Kind <= 7 ? 100.0f * (m->synth + 1) : buf[i] * 2.0f;
  }
  static void restart(ModuleBase* m) { ++static_cast<Instance*>(m)->restarts; }
  static int bind(ModuleBase* m, ParamDest* dests) {
    Instance& s = *static_cast<Instance*>(m);
    for (int q = 0; q < P; ++q) dests[q] = &s.field[q];
    if (Kind == kKindN) dests[0] = &s.samphold;
    return P;
  }
  static float* pitch(ModuleBase* m) { return &static_cast<Instance*>(m)->field[0]; }
  static const KindOps* ops() {
    for (int q = 0; q < P; ++q) params[q] = ParamInfo{"P", ParamClass::kFloat, 0.5f, 0.0f, 1.0f, {0.1f, 0.1f, 0.1f}};
    if (Kind <= 7 && P >= 3) {
      params[0].name = Kind == kKindN ? "SAMPHOLD" : "FREQ";
      params[0].cls = Kind == kKindN ? ParamClass::kFloat : ParamClass::kNotePitch;
      params[1].name = "EXPMULT";
      params[2].name = "ENDOFFSET";
    }
    // Name, cost, role, render rank and type-code slot stay those of the kind stood in for.
    static const KindOps k = [] {
      KindOps stub = *kind_ops(Kind);
      stub.pool_slot = slot;
      stub.init = init;
      stub.render = render;
      stub.restart = restart;
      stub.derive = stub.reset = stub.release = nullptr;
      stub.bind = bind;
      stub.pitch_field = pitch;
      stub.params = params;
      stub.param_count = P;
      return stub;
    }();
    return &k;
  }
};

using StubKs = Stub<kKindKs, 9>;
using StubN = Stub<kKindN, 3>;
using StubSvf = Stub<kKindSvf, 6>;
using StubRd = Stub<kKindRd, 1>;

enum TypeCode { kBam = 0, kBamRd = 5, kBamSvf = 7, kKs = 24, kKsRd = 29, kKsSvf = 31, kN = 32,
                kNRd = 37, kWav = 56 };

class GraphTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    saved_[0] = set_kind_ops(kKindKs, StubKs::ops());
    saved_[1] = set_kind_ops(kKindN, StubN::ops());
    saved_[2] = set_kind_ops(kKindSvf, StubSvf::ops());
    saved_[3] = set_kind_ops(kKindRd, StubRd::ops());
  }
  void TearDown() override {
    test::EngineTest::TearDown();
    set_kind_ops(kKindKs, saved_[0]);
    set_kind_ops(kKindN, saved_[1]);
    set_kind_ops(kKindSvf, saved_[2]);
    set_kind_ops(kKindRd, saved_[3]);
  }
  void build(std::initializer_list<int> types) {
    int s = 0;
    for (int t : types) build_synth(s++, t);
    sort_registry();
    song.track_count = static_cast<int16_t>(s);
  }
  std::vector<int> list_synths(int kind) {
    std::vector<int> synths;
    for (ModuleBase* m = nth_instance(kind, 0); m; m = m->next) synths.push_back(m->synth);
    return synths;
  }
  const KindOps* saved_[4] = {};
};

TEST_F(GraphTest, BuildingInOrderKeepsEveryKindListInSynthOrder) {
  build({kBam, kKsSvf, kBamRd, kKs});
  EXPECT_EQ(list_synths(kKindBam), (std::vector<int>{0, 2}));
  EXPECT_EQ(list_synths(kKindKs), (std::vector<int>{1, 3}));
  EXPECT_EQ(list_synths(kKindSvf), (std::vector<int>{1}));
  EXPECT_EQ(list_synths(kKindRd), (std::vector<int>{2}));
  for (int kind : {kKindVoice, kKindLfo, kKindGlide})
    EXPECT_EQ(list_synths(kind), (std::vector<int>{0, 1, 2, 3})) << kind;
  EXPECT_EQ(nth_instance(kKindBam, 1), synth_modules[2].generator);
  EXPECT_EQ(nth_instance(kKindBam, 2), nullptr);
  EXPECT_EQ(module_count(1, kKindKs), 1);
  EXPECT_EQ(module_count(1, kKindSvf), 1);
  EXPECT_EQ(module_count(1, kKindBam), 0);
  EXPECT_EQ(synth_modules[1].engine_kind, kKindKs);
  EXPECT_EQ(synth_modules[1].effect_kind, kKindSvf);
  EXPECT_EQ(synth_modules[0].effect_kind, 21);
}

TEST_F(GraphTest, DeletingRenumbersTheHigherSynthsAndMovesTheirLanesDown) {
  build({kBam, kBamSvf, kBamRd});
  ASSERT_EQ(song.param_count[1], 32);
  ASSERT_EQ(song.param_count[2], 27);
  for (int q = 0; q < 27; ++q)
    for (int i = 0; i < kLaneLength; ++i) song.param_slot[2][q].lane[i] = 1000.0f + q;
  ModuleBase* moved_generator = synth_modules[2].generator;
  ModuleBase* moved_voice = synth_modules[2].voice;
  transport.current_loop = 3;

  delete_synth(1);

  EXPECT_EQ(song.track_count, 2);
  for (int kind : {kKindBam, kKindVoice, kKindLfo, kKindGlide})
    EXPECT_EQ(list_synths(kind), (std::vector<int>{0, 1})) << kind;
  EXPECT_TRUE(list_synths(kKindSvf).empty());
  EXPECT_EQ(list_synths(kKindRd), (std::vector<int>{1}));
  EXPECT_EQ(synth_modules[1].generator, moved_generator);
  EXPECT_EQ(synth_modules[1].voice, moved_voice);
  EXPECT_EQ(song.synth_type[1], kBamRd);
  EXPECT_EQ(song.synth_type[2], SYNTH_TYPE_NONE);
  EXPECT_EQ(std::string(song.track_name[1]), "BAMRD1   ");
  EXPECT_EQ(song.param_count[1], 27);
  EXPECT_EQ(song.param_count[2], 0);
  EXPECT_EQ(module_count(1, kKindRd), 1);
  EXPECT_EQ(module_count(2, kKindRd), 0);
  for (int q = 0; q < 27; ++q) {
    const ParamSlot& slot = song.param_slot[1][q];
    EXPECT_EQ(slot.lane, lane_pool[26 + q]) << q;
    EXPECT_EQ(slot.row, slot.lane + 3 * MAX_STEPS);
    EXPECT_EQ(slot.lane[5000], 1000.0f + q);
  }
  // The moved synth's parameter destinations still reach its modules.
  EXPECT_TRUE(song.param_slot[1][1].dest.aims_at(&static_cast<BamEngine*>(moved_generator)->freq1));
  // The registry lost the deleted effect and keeps rendering the rest.
  ASSERT_EQ(registry_size(), 3);
  EXPECT_EQ(registry_kind(2), kKindRd);
  EXPECT_EQ(registry_module(2)->synth, 1);
  // The freed pool slots serve the next synth.
  build_synth(2, kBamSvf);
  EXPECT_EQ(list_synths(kKindSvf), (std::vector<int>{2}));
}

TEST_F(GraphTest, DeletingTheLastSynthLeavesTheOthersAlone) {
  build({kBam, kKs});
  const float* lane0 = song.param_slot[0][0].lane;
  delete_synth(1);
  EXPECT_EQ(song.track_count, 1);
  EXPECT_EQ(song.param_slot[0][0].lane, lane0);
  EXPECT_EQ(list_synths(kKindKs), std::vector<int>{});
  EXPECT_EQ(list_synths(kKindLfo), std::vector<int>{0});
}

TEST_F(GraphTest, RegistryRunsGeneratorsBeforeEffectsInTheFixedKindOrder) {
  build({kBamSvf, kKsRd, kBam, kNRd, kKsSvf});
  const int expected_kind[] = {kKindBam, kKindBam, kKindKs, kKindKs, kKindN,
                               kKindSvf, kKindSvf, kKindRd, kKindRd};
  const int expected_synth[] = {0, 2, 1, 4, 3, 0, 4, 1, 3};
  ASSERT_EQ(registry_size(), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(registry_kind(i), expected_kind[i]) << i;
    EXPECT_EQ(registry_module(i)->synth, expected_synth[i]) << i;
  }
}

TEST_F(GraphTest, EffectsRewriteTheirSynthsBufferAfterTheGenerator) {
  build({kKsSvf, kKs});
  // Started voices: a fresh one clears its buffer on its first frame, the end of its delay.
  for (int s = 0; s < 2; ++s) voice_start(*static_cast<VoiceOutput*>(synth_modules[s].voice), 1.0f, false);
  render_block();
  EXPECT_EQ(synth_buffer[0][7], 200.0f);
  EXPECT_EQ(synth_buffer[1][7], 200.0f);  // synth 1's generator writes 200, no effect
}

TEST_F(GraphTest, NoiseEngineHasNoLfoAndGlidesItsSixteenBitHold) {
  build({kN});
  const SynthModules& sm = synth_modules[0];
  ASSERT_NE(sm.glide, nullptr);
  EXPECT_EQ(sm.lfo, nullptr);
  EXPECT_EQ(song.freq_mode[0], 3);
  PitchGlide* glide = static_cast<PitchGlide*>(sm.glide);
  EXPECT_TRUE(song.param_slot[0][0].dest.aims_at(&glide->v));
  float values[PARAM_SLOTS] = {};
  values[0] = 37.0f;  // SAMPHOLD
  values[1] = 1.0f;   // EXPMULT
  values[2] = 1.0f;   // ENDOFFSET
  apply_step_params(0, values);
  block_step();
  EXPECT_EQ(static_cast<StubN::Instance*>(sm.generator)->samphold, 37);
}

TEST_F(GraphTest, ParameterSlotsFollowTheTypesList) {
  build({kBam, kBam});
  EXPECT_EQ(song.param_count[0], 26);
  EXPECT_EQ(song.freq_mode[0], 1);
  EXPECT_EQ(std::string(song.track_name[0]), "BAM1     ");
  EXPECT_EQ(std::string(song.track_name[1]), "BAM2     ");
  const BamEngine* bam = static_cast<const BamEngine*>(synth_modules[0].generator);
  const VoiceOutput* voice = static_cast<const VoiceOutput*>(synth_modules[0].voice);
  EXPECT_EQ(song.param_slot[0][1].cls, ParamClass::kNotePitch);
  EXPECT_EQ(song.param_slot[0][1].def, 52.0f);
  EXPECT_TRUE(song.param_slot[0][1].dest.aims_at(&bam->freq1));
  EXPECT_EQ(song.param_slot[0][4].def, 20.0f);
  EXPECT_TRUE(song.param_slot[0][13].dest.aims_at(&voice->envtype));
  EXPECT_TRUE(song.param_slot[0][20].dest == song.param_slot[0][24].dest);  // both VOL entries
  EXPECT_TRUE(song.param_slot[0][25].dest.aims_at(&voice->exp_pan));
  EXPECT_EQ(song.param_slot[0][23].def, 0.999f);
  for (int i = 0; i < kLaneLength; i += 999) EXPECT_EQ(song.param_slot[0][9].lane[i], 0.5f);
  EXPECT_EQ(song.param_slot[1][0].lane, lane_pool[26]);
  EXPECT_EQ(song.param_slot[0][26].lane, nullptr);
}

TEST_F(GraphTest, SampleTypesStartWithAnAttackDecaySustainVoice) {
  const ParamInfo* envtype = type_param(kWav, 11);
  ASSERT_NE(envtype, nullptr);
  EXPECT_STREQ(envtype->name, "ENVTYPE");
  EXPECT_EQ(envtype->def, 0.0f);
  EXPECT_EQ(type_param(kWav, 13)->cls, ParamClass::kFloat);  // ATTACK
  EXPECT_EQ(type_param(kWav, 13)->def, 0.001f);
  EXPECT_EQ(type_param(kWav, 16)->def, 32000.0f);  // SUSTAIN
  EXPECT_EQ(type_param(kBam, 13)->def, 1.0f);      // ENVTYPE EXP elsewhere
  EXPECT_EQ(type_param(kBam, 17)->def, 0.5f);      // DECAYMIN
  EXPECT_EQ(type_param_count(kWav), 24);
  EXPECT_EQ(type_param_count(15), 52);  // BFMSVF fills every slot
  EXPECT_EQ(type_param(kBam, 26), nullptr);
}

TEST_F(GraphTest, SampleTypes58And59BuildMaskAndDecimation) {
  if (!kind_ops(kKindWav) || !kind_ops(kKindMsk) || !kind_ops(kKindDec)) GTEST_SKIP();
  build({58, 59});
  EXPECT_EQ(synth_modules[0].effect_kind, kKindMsk);
  EXPECT_EQ(synth_modules[1].effect_kind, kKindDec);
  EXPECT_EQ(std::string(song.track_name[0]), "WAVMSK1  ");
  EXPECT_EQ(song.freq_mode[0], 3);
  EXPECT_EQ(song.param_count[0], 11 + 3 + 13);
}

TEST_F(GraphTest, FreeingEverythingEmptiesTheGraph) {
  build({kBamSvf, kKs, kN});
  free_all_modules();
  for (int kind = 0; kind < kKindCount; ++kind) EXPECT_EQ(nth_instance(kind, 0), nullptr);
  EXPECT_EQ(registry_size(), 0);
  EXPECT_EQ(module_count(0, kKindBam), 0);
  EXPECT_TRUE(song.param_slot[2][0].dest.empty());  // was the freed glide of the noise synth
  for (int s = 0; s < 16; ++s) build_synth(s, kBam);  // every pool slot is free again
  EXPECT_EQ(list_synths(kKindBam).size(), 16u);
}

TEST_F(GraphTest, SongWithoutSynthsRendersSilence) {
  std::vector<float> out(2 * kBufferFrames, 1.0f);
  ASSERT_TRUE(render_buffer(out.data()));
  for (float v : out) ASSERT_EQ(v, 0.0f);
}

TEST(SynthTypes, NamesInCodeOrderAndTheSampleGroupsSwap) {
  EXPECT_STREQ(type_name_from_code(0), "BAM");
  EXPECT_STREQ(type_name_from_code(7), "BAMSVF");
  EXPECT_STREQ(type_name_from_code(58), "WAVMSK");
  EXPECT_STREQ(type_name_from_code(59), "WAVDEC");
  EXPECT_STREQ(type_name_from_code(64), "KSBD");
  EXPECT_EQ(type_effect_kind(58), kKindMsk);
  EXPECT_EQ(type_effect_kind(59), kKindDec);
  EXPECT_EQ(type_effect_kind(3), kKindMsk);
  EXPECT_EQ(type_effect_kind(2), kKindDec);
  EXPECT_EQ(type_engine_kind(40), kKindZbq);
  for (int code = 0; code <= 64; ++code)
    EXPECT_EQ(type_code_from_name(type_name_from_code(code)), code) << code;
}

TEST(SynthTypes, NameLookupIsAPrefixTest) {
  EXPECT_EQ(type_code_from_name("BAMSVF.BASS.preset.zbl"), 7);
  EXPECT_EQ(type_code_from_name("NOTHING"), 32);  // any text starting with N is a noise synth
  EXPECT_EQ(type_code_from_name("KSBD"), 64);
  EXPECT_EQ(type_code_from_name("FMX"), 16);
  EXPECT_EQ(type_code_from_name("HELLO"), -1);
  EXPECT_EQ(type_code_from_name(""), -1);
}

TEST(SynthCost, TypeCostsAndTheBudget) {
  EXPECT_FLOAT_EQ(synth_cost(0, 0.0f), 5.9f);
  EXPECT_FLOAT_EQ(synth_cost(15, 1.0f), 13.1f);  // BFMSVF 12.1
  EXPECT_FLOAT_EQ(synth_cost(61, 0.0f), 5.9f);   // WAVRD
  EXPECT_FLOAT_EQ(synth_cost(64, 0.0f), 4.9f);
  EXPECT_FLOAT_EQ(synth_cost(SYNTH_TYPE_NONE, 2.0f), 2.0f);
  EXPECT_FLOAT_EQ(synth_cost(65535, 2.0f), 2.0f);

  std::vector<int32_t> expensive(16, 15);
  EXPECT_EQ(cost_overload_at(expensive.data(), 16), 8);  // 9 x 12.1 = 108.9
  // 10 x BAM 5.9 + 5 x BAMDEC 8.2 is exactly 100.0: allowed; one more synth is refused.
  std::vector<int32_t> exact(10, 0);
  exact.insert(exact.end(), 5, 2);
  EXPECT_EQ(cost_overload_at(exact.data(), 15), -1);
  exact.push_back(5);
  EXPECT_EQ(cost_overload_at(exact.data(), 16), 15);
}

TEST_F(GraphTest, AddingIsRefusedOnlyPastTheBudget) {
  std::vector<int> types(10, kBam);
  for (int i = 0; i < 5; ++i) types.push_back(2);
  for (size_t s = 0; s < types.size(); ++s) {
    song.synth_type[s] = types[s];
  }
  song.track_count = 14;
  EXPECT_TRUE(can_add_synth(2));   // the 15th reaches exactly 100.0
  song.track_count = 15;
  EXPECT_FALSE(can_add_synth(5));  // BAMRD would pass it
}

using GraphDeathTest = GraphTest;

TEST_F(GraphDeathTest, FatalCodesEndTheProcessWithStatus255) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Each says its code and reason in one line before it goes.
  EXPECT_EXIT(build_synth(16, kBam), ::testing::ExitedWithCode(255),
              "^zorbel: fatal error 0: synth number outside 0..15\n$");
  EXPECT_EXIT(build_synth(17, kBam), ::testing::ExitedWithCode(255), "fatal error 0:");
  EXPECT_EXIT(synth_cost(70, 0.0f), ::testing::ExitedWithCode(255), "fatal error 3: cost");
  EXPECT_EXIT(build_synth(0, 64), ::testing::ExitedWithCode(255), "fatal error 4: synth type");
  EXPECT_EXIT(type_name_from_code(65), ::testing::ExitedWithCode(255), "fatal error 8: type name");
  EXPECT_EXIT(
      {
        for (int i = 0; i <= kPoolSize; ++i) create_module(kKindBam, 0);  // 7
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        song.param_count[0] = 500;  // lanes of the synths below leave no room: 13
        build_synth(1, kBam);
      },
      ::testing::ExitedWithCode(255), "");
}

TEST_F(GraphDeathTest, RegistryAndRenderFaults) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  static const KindOps voice_as_process = {kKindVoice, "VOICE", 0.0f, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, 0, KindRole::kControl, -1, -1};
  EXPECT_EXIT(
      {
        registry_add(&voice_as_process, synth_modules[0].voice);  // 5: not a render kind
        sort_registry();
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        registry_add(&voice_as_process, nullptr);  // 9: no process function
        render_block();
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        registry_add(&kBamKind, nullptr);  // 10: no instance
        render_block();
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        song.track_count = 1;  // 11: a track without a voice
        render_block();
      },
      ::testing::ExitedWithCode(255), "");
}

TEST_F(GraphDeathTest, ATypeWithMoreThan52ParametersIsRefused) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  using HugeSvf = Stub<kKindSvf, 40>;  // BAMSVF would then declare 13 + 40 + 13 = 66
  EXPECT_EXIT(
      {
        set_kind_ops(kKindSvf, HugeSvf::ops());
        build_synth(0, kBamSvf);
      },
      ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace zorbel

namespace zorbel {
namespace {

using RealKindsTest = test::EngineTest;

// What the pitch glide reads from a step, per engine: pitch, EXPMULT and ENDOFFSET positions.
TEST_F(RealKindsTest, EveryEngineTellsTheGlideWhereItsPitchAndRatioAre) {
  struct Expected { int type, pitch, expmult, endoffset; bool note; };
  const Expected engines[] = {{0, 1, 2, 3, true},  {8, 2, 3, 4, true},  {16, 1, 2, 3, true},
                              {24, 4, 5, 6, true}, {32, 0, 1, 2, false}, {40, 0, 1, 2, true},
                              {48, 0, 1, 2, true}, {56, 3, 4, 5, false}};
  for (const Expected& e : engines) {
    if (!kind_ops(type_engine_kind(e.type))) continue;
    init_engine(test::kTestSeed);
    build_synth(0, e.type);
    const SynthModules& sm = synth_modules[0];
    EXPECT_EQ(sm.pitch_param, e.pitch) << e.type;
    EXPECT_EQ(sm.expmult_param, e.expmult) << e.type;
    EXPECT_EQ(sm.endoffset_param, e.endoffset) << e.type;
    EXPECT_EQ(sm.pitch_is_note, e.note) << e.type;
    EXPECT_EQ(sm.lfo == nullptr, e.type == 32) << e.type;
  }
}

TEST_F(RealKindsTest, NoiseStepsReachSampHoldThroughTheGlide) {
  if (!kind_ops(kKindN)) GTEST_SKIP();
  build_synth(0, 32);
  sort_registry();
  song.track_count = 1;
  float values[PARAM_SLOTS];
  for (int k = 0; k < song.param_count[0]; ++k) values[k] = song.param_slot[0][k].def;
  values[0] = 25.0f;
  apply_step_params(0, values);
  block_step();
  const NEngine& noise = *static_cast<const NEngine*>(synth_modules[0].generator);
  EXPECT_TRUE(static_cast<const PitchGlide*>(synth_modules[0].glide)->target.aims_at(&noise.samphold));
  EXPECT_EQ(noise.samphold, 25);
}

// Every parameter of every type lands in a field of the type its class writes, so no step value
// is ever written through a field of another width; a value of each class written at its
// maximum reaches exactly that field.
TEST_F(RealKindsTest, EveryTypeBindsEachParameterToAFieldOfItsClassType) {
  for (int type = 0; type < kTypeCount; ++type) {
    SCOPED_TRACE(type_name_from_code(type));
    init_engine(test::kTestSeed);
    build_synth(0, type);
    const int n = song.param_count[0];
    ASSERT_EQ(n, type_param_count(type));
    for (int q = 0; q < n; ++q) {
      const ParamSlot& slot = song.param_slot[0][q];
      SCOPED_TRACE(type_param(type, q)->name);
      const ParamDest::Kind want = param_dest_kind(slot.cls);
      // The noise engine's pitch slot is its glide's float value, which drives the 16-bit hold.
      if (type_engine_kind(type) == kKindN && q == 0) {
        EXPECT_EQ(slot.dest.kind, ParamDest::Kind::kFloat);
        continue;
      }
      // The LFO's classes act on the LFO; whatever field such a slot names is never written.
      if (want == ParamDest::Kind::kNone) continue;
      ASSERT_EQ(slot.dest.kind, want);
      float lo = 0.0f, hi = 0.0f;
      ASSERT_TRUE(type_param_range(type, q, slot.cls, &lo, &hi));
      write_param_value(synth_modules[0], slot.cls, slot.dest, hi, 0.0f);
      switch (want) {
        case ParamDest::Kind::kFloat:
          if (slot.cls == ParamClass::kNotePitch)
            EXPECT_EQ(*slot.dest.f, note_frequency(hi));
          else
            EXPECT_EQ(*slot.dest.f, slot.cls == ParamClass::kQuantLevels ? std::trunc(hi) : hi);
          break;
        case ParamDest::Kind::kInt16:
          EXPECT_EQ(*slot.dest.i16, truncate_to_16(hi));
          break;
        case ParamDest::Kind::kInt32:
          EXPECT_EQ(*slot.dest.i32, static_cast<int32_t>(truncate_to_u16(hi)));
          break;
        case ParamDest::Kind::kTable:
          EXPECT_EQ(*slot.dest.table, wavetable_row(hi));
          break;
        case ParamDest::Kind::kNone:
          break;
      }
    }
  }
}

}  // namespace
}  // namespace zorbel
