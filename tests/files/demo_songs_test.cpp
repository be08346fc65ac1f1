// The demo songs shipped in seq/: they load, chain several loops, cover the engines and effects,
// and play without silence, NaN or clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "engine/mixer.h"
#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "files/platform_dir.h"
#include "files/song_file.h"
#include "files/wav_recorder.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/shipped_files.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

class DemoSongsTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    // The songs find their sample in ./wav/, as the program would run them.
    test::copy_demo_files();
  }
  test::TempWorkdir dir;
};

TEST_F(DemoSongsTest, CoverEveryEngineAndFiveEffectsWithChainedLoops) {
  std::set<int> engines;
  std::set<int> effects;
  for (const std::string name : test::kDemoSongs) {
    std::string reason;
    ASSERT_TRUE(load_song((kSongFolder + name).c_str(), &reason)) << name << ": " << reason;
    // Type code = engine x 8 + effect slot (0: none).
    for (int t = 0; t < song.track_count; ++t) {
      engines.insert(song.synth_type[t] / 8);
      if (song.synth_type[t] % 8 != 0) effects.insert(song.synth_type[t] % 8);
    }
    std::set<int> loops;
    for (int p = 0; p < SONG_LENGTH && song.song_list[p] >= 0; ++p) loops.insert(song.song_list[p]);
    EXPECT_GE(loops.size(), 3u) << name;
  }
  EXPECT_EQ(engines.size(), 8u);
  EXPECT_GE(effects.size(), 5u);
}

TEST_F(DemoSongsTest, PlayAudiblyWithoutClippingOrNaN) {
  for (const std::string name : test::kDemoSongs) {
    ASSERT_TRUE(load_song((kSongFolder + name).c_str())) << name;
    transport.play_mode = 1;
    const long blocks = record_block_count();
    reset_playback();
    transport.current_loop = song.song_list[0];
    repoint_loop();
    static float out[2 * kBufferFrames];
    double sum = 0.0;
    long samples = 0;
    long clipped = 0;
    for (long b = 0; b < blocks; ++b) {
      ASSERT_TRUE(render_buffer(out));
      for (float v : out) {
        ASSERT_FALSE(std::isnan(v)) << name;
        sum += static_cast<double>(v) * v;
        clipped += std::fabs(v) >= kClip;
        ++samples;
      }
    }
    const double rms = std::sqrt(sum / static_cast<double>(samples));
    EXPECT_GT(rms, 0.05) << name;
    EXPECT_LT(rms, 0.4) << name;
    EXPECT_EQ(clipped, 0) << name;
  }
}

}  // namespace
}  // namespace zorbel
