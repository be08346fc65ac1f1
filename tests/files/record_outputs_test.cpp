// What a recording gives besides the WAV mix: stems that add up to it, FLAC and Ogg Vorbis
// encodings of the same frames, the closing line with peak and loudness, and cancelling.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/init_engine.h"
#include "engine/song.h"
#include "files/loudness_meter.h"
#include "files/song_file.h"
#include "files/stem_files.h"
#include "files/wav_recorder.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

namespace fs = std::filesystem;

constexpr long kBlocks = 60;
constexpr long kFrames = kBlocks * 1024;

// Interleaved 16-bit frames of any file libsndfile reads.
std::vector<short> read_frames(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {};
  std::vector<short> frames(static_cast<std::size_t>(info.frames) * info.channels);
  frames.resize(static_cast<std::size_t>(sf_readf_short(file, frames.data(), info.frames)) * info.channels);
  sf_close(file);
  return frames;
}

class RecordOutputsTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
  // The demo song from its first loop, one track muted in that loop, the engine seeded.
  void load_demo() {
    init_engine(test::kTestSeed);
    fs::copy_file(fs::path(ZORBEL_SOURCE_DIR) / "wav" / "VOXSTAB.WAV", "wav/VOXSTAB.WAV",
                  fs::copy_options::overwrite_existing);
    ASSERT_TRUE(load_song((std::string(ZORBEL_SOURCE_DIR) + "/seq/NEONRUN.SEQ").c_str()));
    transport.play_mode = kPlayLoop;
    transport.current_loop = song.song_list[0];
    song.loop_track_enable[transport.current_loop][2] = 0;
  }
  RecordOutcome render(const char* path, const char* stems = nullptr, RecordStats* stats = nullptr,
                       RecordProgress progress = nullptr) {
    RecordRequest request;
    request.path = path;
    request.blocks = kBlocks;
    request.stems_folder = stems;
    request.progress = progress;
    return record(request, stats);
  }
};

TEST_F(RecordOutputsTest, StemsAddUpToTheMixAndEveryFormatCarriesTheSameFrames) {
  load_demo();
  ASSERT_GE(song.track_count, 4);
  ASSERT_EQ(song.loop_track_enable[transport.current_loop][2], 0);
  RecordStats stats;
  ASSERT_EQ(render("wav/MIX.WAV", "wav/MIX", &stats), RecordOutcome::kDone);
  const std::vector<short> mix = read_frames("wav/MIX.WAV");
  ASSERT_EQ(mix.size(), static_cast<std::size_t>(2 * kFrames));

  // One stem per unmuted track, named by number and synth, as long as the mix.
  std::vector<std::vector<short>> stems;
  for (int t = 0; t < song.track_count; ++t) {
    const std::string path = "wav/MIX/" + StemFiles::file_name(t);
    const bool muted = song.loop_track_enable[transport.current_loop][t] == 0;
    EXPECT_EQ(fs::exists(path), !muted) << path;
    if (muted) continue;
    stems.push_back(read_frames(path));
    ASSERT_EQ(stems.back().size(), mix.size()) << path;
  }
  EXPECT_EQ(StemFiles::file_name(0), "01_BAM1.WAV");  // the synth name without its padding
  long unclipped = 0;
  long worst = 0;
  int sounding = 0;
  for (const auto& stem : stems) {
    bool any = false;
    for (short v : stem) any = any || v != 0;
    sounding += any;
  }
  for (std::size_t i = 0; i < mix.size(); ++i) {
    if (std::abs(mix[i]) >= 32735) continue;  // the mixer's clamp
    long sum = 0;
    for (const auto& stem : stems) sum += stem[i];
    worst = std::max(worst, std::abs(sum - mix[i]));
    ++unclipped;
  }
  EXPECT_GT(unclipped, kFrames);
  EXPECT_LE(worst, 1);
  EXPECT_GE(sounding, 3);

  // The measurements of the mix itself.
  EXPECT_EQ(stats.frames, kFrames);
  short peak = 0;
  for (short v : mix) peak = std::max<short>(peak, static_cast<short>(std::abs(v)));
  EXPECT_DOUBLE_EQ(stats.peak, peak / 32768.0);
  EXPECT_TRUE(std::isfinite(stats.lufs));
  EXPECT_LT(stats.lufs, 0.0);

  // FLAC holds exactly the WAV's frames; Ogg Vorbis is lossy but as long and as loud.
  load_demo();
  ASSERT_EQ(render("wav/MIX.flac"), RecordOutcome::kDone);
  EXPECT_EQ(read_frames("wav/MIX.flac"), mix);
  load_demo();
  RecordStats ogg_stats;
  ASSERT_EQ(render("wav/MIX.OGG", nullptr, &ogg_stats), RecordOutcome::kDone);
  const std::vector<short> ogg = read_frames("wav/MIX.OGG");
  EXPECT_EQ(ogg.size(), mix.size());
  EXPECT_DOUBLE_EQ(ogg_stats.lufs, stats.lufs);  // measured on the frames before encoding
  LoudnessMeter decoded;
  decoded.add(ogg.data(), static_cast<long>(ogg.size() / 2));
  EXPECT_NEAR(decoded.integrated_lufs(), stats.lufs, 0.2);
}

bool cancel_after_three(long done, long) { return done < 3; }

TEST_F(RecordOutputsTest, CancellingLeavesNoFileAndKeepsAnOlderOne) {
  load_demo();
  ASSERT_TRUE(test::write_bytes("wav/OLD.WAV", {1, 2, 3}));
  EXPECT_EQ(render("wav/NEW.WAV", "wav/NEW", nullptr, cancel_after_three), RecordOutcome::kCancelled);
  EXPECT_EQ(render("wav/OLD.WAV", nullptr, nullptr, cancel_after_three), RecordOutcome::kCancelled);
  EXPECT_EQ(render("wav/NEW.flac", nullptr, nullptr, cancel_after_three), RecordOutcome::kCancelled);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator("wav")) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"OLD.WAV", "VOXSTAB.WAV"}));
  EXPECT_EQ(test::read_bytes("wav/OLD.WAV"), (std::vector<uint8_t>{1, 2, 3}));
  // A stem folder that cannot be made refuses the recording before anything is written.
  EXPECT_EQ(render("wav/NEW.WAV", "wav/OLD.WAV"), RecordOutcome::kFailed);
  EXPECT_FALSE(fs::exists("wav/NEW.WAV"));
}

TEST(Loudness, ReferenceSineAndTheClosingLine) {
  // A 1 kHz sine peaking at -20 dBFS in one channel reads -23.0 LUFS.
  std::vector<int16_t> frames(2 * 44100 * 10, 0);
  const double amplitude = 32768.0 * std::pow(10.0, -20.0 / 20.0);
  for (std::size_t f = 0; f < frames.size() / 2; ++f)
    frames[2 * f] = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * 1000.0 * f / 44100.0)));
  LoudnessMeter meter;
  meter.add(frames.data(), static_cast<long>(frames.size() / 2));
  EXPECT_NEAR(meter.integrated_lufs(), -23.0, 0.1);
  EXPECT_NEAR(to_dbfs(meter.peak()), -20.0, 0.01);

  RecordStats stats;
  stats.frames = 16 * 44100 + 20000;
  stats.peak = std::pow(10.0, -2.9 / 20.0);
  stats.lufs = -14.1;
  EXPECT_EQ(record_summary("A.WAV", stats), "A.WAV 0:16 PEAK -2.9 DB -14.1 LUFS");
  stats.frames = 125 * 44100;
  stats.peak = 0.0;
  stats.lufs = -HUGE_VAL;
  EXPECT_EQ(record_summary("QUIET.FLAC", stats), "QUIET.FLAC 2:05 PEAK -INF DB -INF LUFS");
  LoudnessMeter silent;
  silent.add(frames.data() + 1, 0);
  EXPECT_FALSE(std::isfinite(silent.integrated_lufs()));
}

}  // namespace
}  // namespace zorbel
