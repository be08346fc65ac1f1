// A BAM synth heard through the whole render path: step, glide, envelope, voice, mixer.
#include <gtest/gtest.h>

#include <vector>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "synth/bam_engine.h"
#include "synth/module_graph.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

enum BamParam { kSh1, kFreq1, kExpmult, kEndoffset, kWttype1, kSh2, kOffset, kWttype2 };
constexpr int kVoiceFirst = 13;  // a plain BAM's voice block follows its 13 generator params

class BamRenderTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    build_synth(0, 0);
    sort_registry();
    song.track_count = 1;
    reset_play_cursor(0);
  }
  // Every loop's value of parameter q.
  void set_lane(int q, float v) {
    for (int i = 0; i < kLaneLength; ++i) song.param_slot[0][q].lane[i] = v;
  }
  void hit(int step, float volume) {
    song.step_trig[0][0][step] = 100;
    song.step_vol[0][0][step] = volume;
  }
  // Renders `buffers` device buffers and returns the left channel.
  std::vector<float> render_left(int buffers) {
    std::vector<float> out(2 * kBufferFrames);
    std::vector<float> left;
    for (int b = 0; b < buffers; ++b) {
      render_buffer(out.data());
      for (int i = 0; i < kBufferFrames; ++i) left.push_back(out[2 * i]);
    }
    return left;
  }
  BamEngine& bam() { return *static_cast<BamEngine*>(synth_modules[0].generator); }
};

TEST_F(BamRenderTest, Note69WithSineTablesSoundsAt440Hz) {
  set_lane(kFreq1, 69.0f);
  set_lane(kWttype1, 0.0f);
  set_lane(kWttype2, 0.0f);
  hit(0, 1.0f);
  const std::vector<float> left = render_left(20);
  ASSERT_TRUE(test::all_finite(left.data(), static_cast<int>(left.size())));
  // Skip the first block, in which the note starts.
  const double hz = test::zero_crossing_frequency(left.data() + 256, static_cast<int>(left.size()) - 256);
  EXPECT_NEAR(hz, 440.0, 0.5);
  EXPECT_GT(test::rms(left.data(), 4096), 0.05);
}

}  // namespace
}  // namespace zorbel
