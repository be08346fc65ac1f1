// A two-synth BAM song rendered through the callback and compared with a stored render.
// Run with ZORBEL_REGENERATE_GOLDEN=1 to rewrite the stored render after an intended change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/mixer.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

constexpr int kBuffers = 6;
const char* const kGoldenPath = ZORBEL_SOURCE_DIR "/tests/synth/golden/bam_pair.f32";

void set_lane(int track, int q, float v) {
  for (int i = 0; i < kLaneLength; ++i) song.param_slot[track][q].lane[i] = v;
}

std::vector<float> render_song() {
  init_engine(test::kTestSeed);
  build_synth(0, 0);
  build_synth(1, 0);
  sort_registry();
  song.track_count = 2;
  for (int t = 0; t < 2; ++t) reset_play_cursor(t);
  // Synth 0: saw pair, detuned, falling glide; synth 1: square with ring, LFO, DADSR, panned.
  set_lane(0, 6, 1.005f);   // OFFSET
  set_lane(0, 2, 0.995f);   // EXPMULT
  set_lane(0, 3, 0.5f);     // ENDOFFSET
  set_lane(1, 4, 27.0f);    // WTTYPE1 SQ
  set_lane(1, 7, 0.0f);     // WTTYPE2 SINE
  set_lane(1, 6, 2.0f);     // OFFSET
  set_lane(1, 10, 0.3f);    // RINGMIX
  set_lane(1, 11, 0.5f);    // WARP
  set_lane(1, 13, 0.0f);    // ENVTYPE DADSR
  set_lane(1, 15, 0.01f);   // ATTACK
  set_lane(1, 21, 0.8f);    // PAN
  for (int s = 0; s < MAX_STEPS; s += 2) {
    song.step_trig[0][0][s] = 100;
    song.step_vol[0][0][s] = 0.6f;
    song.param_slot[0][1].lane[s] = static_cast<float>(40 + (s * 5) % 24);
  }
  for (int s = 1; s < MAX_STEPS; s += 3) {
    song.step_trig[0][1][s] = 100;
    song.step_vol[0][1][s] = 0.9f;
    song.param_slot[1][1].lane[s] = static_cast<float>(52 + (s * 7) % 12);
  }
  song.legato_steps[0][1] = 1ull << 4;
  song.bpm = 480.0f;  // steps every 689 frames, so a few buffers hold many notes
  transport.step_countdown = 1.0f;
  std::vector<float> all;
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < kBuffers; ++b) {
    render_buffer(out.data());
    all.insert(all.end(), out.begin(), out.end());
  }
  return all;
}

TEST(GoldenRender, TwoBamSynthsMatchTheStoredRender) {
  const std::vector<float> rendered = render_song();
  ASSERT_TRUE(test::all_finite(rendered.data(), static_cast<int>(rendered.size())));
  ASSERT_GT(test::rms(rendered.data(), static_cast<int>(rendered.size())), 0.01);
  if (std::getenv("ZORBEL_REGENERATE_GOLDEN")) {
    std::FILE* f = std::fopen(kGoldenPath, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(rendered.data(), sizeof(float), rendered.size(), f);
    std::fclose(f);
    GTEST_SKIP() << "stored render rewritten";
  }
  std::vector<float> golden(rendered.size());
  std::FILE* f = std::fopen(kGoldenPath, "rb");
  ASSERT_NE(f, nullptr) << "no stored render; run with ZORBEL_REGENERATE_GOLDEN=1";
  const size_t read = std::fread(golden.data(), sizeof(float), golden.size(), f);
  std::fclose(f);
  ASSERT_EQ(read, golden.size());
  // Bit for bit: speed work on the engines must not change a single sample.
  for (size_t i = 0; i < golden.size(); ++i)
    ASSERT_EQ(std::memcmp(&rendered[i], &golden[i], sizeof(float)), 0)
        << "sample " << i / 2 << (i % 2 ? " right" : " left") << ": " << rendered[i] << " instead of "
        << golden[i];
}

}  // namespace
}  // namespace zorbel
