// zorbel-render run as a program: exit statuses, error lines, repeatable renders, --save.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/song_file.h"
#include "files/wav_recorder.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

using test::read_bytes;
using test::write_bytes;

struct Outcome {
  int status;
  std::string err;
};

// Runs the renderer in the working directory with the given arguments.
Outcome render(const std::string& args) {
  const std::string command =
      std::string(ZORBEL_BINARY_DIR) + "/zorbel-render " + args + " 2>stderr.txt";
  const int raw = std::system(command.c_str());
  std::ifstream err("stderr.txt");
  std::stringstream text;
  text << err.rdbuf();
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

int lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

class RenderCliTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    // A song with no synths: silence of a known length whatever the engines do.
    song.bpm = 240.0f;
    song.seqlen = 16;
    ASSERT_TRUE(save_song("QUIET.SEQ"));
  }
  test::TempWorkdir dir;
};

TEST_F(RenderCliTest, RendersTheRecordLengthOfLoopAndSongMode) {
  Outcome r = render("seq/QUIET.SEQ -o wav/Q.WAV --seed 3");
  ASSERT_EQ(r.status, 0) << r.err;
  // 240 BPM, 16 steps: 60 / 240 / 8 x 43.07 x 16 = 21.5 buffers, plus one.
  EXPECT_EQ(read_bytes("wav/Q.WAV").size(), 44u + 22u * 4096u);
  r = render("seq/QUIET.SEQ -o wav/S.WAV --mode song --seed 3");
  ASSERT_EQ(r.status, 0) << r.err;
  // The default song list: loop 0 once up to the RESTART at position 3... or the whole list.
  long reps = 0;
  for (int p = 0; p < SONG_LENGTH && song.song_list[p] >= 0; ++p) reps += song.song_reps[p];
  const long n = static_cast<long>(60.0 / 240.0 / 8.0 * (44100.0 / 1024.0) * 16 * reps) + 1;
  EXPECT_EQ(read_bytes("wav/S.WAV").size(), 44u + static_cast<size_t>(n) * 4096u);
  r = render("seq/QUIET.SEQ -o wav/B.WAV --blocks 5 --seed 3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_bytes("wav/B.WAV").size(), 44u + 5u * 4096u);
}

TEST_F(RenderCliTest, DefaultOutputIsNamedAfterTheSong) {
  ASSERT_EQ(render("seq/QUIET.SEQ --blocks 1").status, 0);
  EXPECT_TRUE(std::filesystem::exists("QUIET.WAV"));
}

TEST_F(RenderCliTest, DevNullIsAValidOutput) {
  const Outcome r = render("seq/QUIET.SEQ -o /dev/null --blocks 3");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

TEST_F(RenderCliTest, RefusesBadSongsWithOneLineNamingTheFile) {
  Outcome r = render("seq/MISSING.SEQ -o wav/X.WAV");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("seq/MISSING.SEQ"), std::string::npos) << r.err;

  std::vector<uint8_t> old = read_bytes("seq/QUIET.SEQ");
  std::copy_n("Zorbel2.99", 10, old.begin() + 12);  // after "QUIET.SEQ", 0, 0
  ASSERT_TRUE(write_bytes("seq/OLD.SEQ", old));
  r = render("seq/OLD.SEQ -o wav/X.WAV");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("seq/OLD.SEQ"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Zorbel3.00"), std::string::npos) << r.err;

  ASSERT_TRUE(write_bytes("seq/EMPTY.SEQ", {}));
  r = render("seq/EMPTY.SEQ -o wav/X.WAV");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("empty"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists("wav/X.WAV"));
}

TEST_F(RenderCliTest, RefusesAnOutputThatCannotBeWritten) {
  const Outcome r = render("seq/QUIET.SEQ -o nofolder/X.WAV --blocks 1");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("nofolder/X.WAV"), std::string::npos) << r.err;
}

TEST_F(RenderCliTest, RefusesBadArguments) {
  EXPECT_EQ(render("--mode sideways").status, 2);
  EXPECT_EQ(render("--blocks 0").status, 2);
  EXPECT_EQ(render("--loop 100").status, 2);
  EXPECT_EQ(render("--seed x").status, 2);
  EXPECT_EQ(render("--frobnicate").status, 2);
  EXPECT_EQ(render("A.SEQ B.SEQ").status, 2);
  EXPECT_EQ(render("-o").status, 2);
}

TEST_F(RenderCliTest, SaveWritesTheSongBackAndRendersNothingAlone) {
  Outcome r = render("seq/QUIET.SEQ --save seq/COPY.SEQ");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<uint8_t> a = read_bytes("seq/QUIET.SEQ");
  std::vector<uint8_t> b = read_bytes("seq/COPY.SEQ");
  // The same file but for the name in the header.
  ASSERT_EQ(a.size(), b.size() + 1);
  EXPECT_TRUE(std::equal(a.begin() + 11, a.end(), b.begin() + 10));
  EXPECT_FALSE(std::filesystem::exists("QUIET.WAV"));
  r = render("seq/QUIET.SEQ --save seq/COPY2.SEQ -o wav/C.WAV --blocks 2");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists("seq/COPY2.SEQ"));
  EXPECT_EQ(read_bytes("wav/C.WAV").size(), 44u + 2u * 4096u);
  EXPECT_NE(render("seq/QUIET.SEQ --save nofolder/A.SEQ").status, 0);
}

// A song that uses the random tables: a noise synth, and steps that sound half of the time.
void build_random_song() {
  for (int type : {0, 32}) {  // BAM, N
    const int t = song.track_count;
    build_synth(t, type, true);
    song.track_count = static_cast<int16_t>(t + 1);
    for (int k = 0; k < song.param_count[t]; ++k)
      if (std::string(type_param(type, k)->name) == "VOL")
        for (int i = 0; i < kLaneLength; ++i) song.param_slot[t][k].lane[i] = 0.8f;
    for (int s = 0; s < MAX_STEPS; s += 4) {
      song.step_trig[0][t][s] = 50;
      song.step_vol[0][t][s] = 0.9f;
    }
  }
  std::strcpy(song.track_name[2], "~");
  sort_registry();
}

TEST_F(RenderCliTest, SeededRendersRepeatBitForBitAndMatchRecording) {
  build_random_song();
  ASSERT_TRUE(save_song("RANDOM.SEQ"));
  ASSERT_EQ(render("seq/RANDOM.SEQ --seed 7 --blocks 40 -o wav/A.WAV").status, 0);
  ASSERT_EQ(render("seq/RANDOM.SEQ --seed 7 --blocks 40 -o wav/B.WAV").status, 0);
  ASSERT_EQ(render("seq/RANDOM.SEQ --seed 8 --blocks 40 -o wav/C.WAV").status, 0);
  const std::vector<uint8_t> a = read_bytes("wav/A.WAV");
  ASSERT_EQ(a.size(), 44u + 40u * 4096u);
  EXPECT_TRUE(a == read_bytes("wav/B.WAV"));
  EXPECT_FALSE(a == read_bytes("wav/C.WAV"));
  EXPECT_TRUE(std::any_of(a.begin() + 44, a.end(), [](uint8_t b) { return b != 0; }));

  // The same file as recording inside the program after loading the song with that seed.
  init_engine(7);
  ASSERT_TRUE(load_song("seq/RANDOM.SEQ"));
  ASSERT_TRUE(record_blocks_to_wav("wav/IN.WAV", 40));
  EXPECT_TRUE(a == read_bytes("wav/IN.WAV"));
}

}  // namespace
}  // namespace zorbel

namespace zorbel {
namespace {

// A day is the longest default render: a slow song list of many repetitions needs --blocks, and
// a render killed with TERM leaves neither its output nor a temporary behind.
TEST_F(RenderCliTest, RefusesRendersPastADayAndCleansUpWhenKilled) {
  song.bpm = 1.0f;  // a step lasts 7.5 s, a 64-step loop 8 minutes
  song.seqlen = 64;
  song.song_list[0] = 0;
  song.song_list[1] = 0;
  song.song_list[2] = SONG_RESTART;
  song.song_reps[0] = song.song_reps[1] = 99;  // 2 x 99 x 8 minutes: 26.4 hours
  ASSERT_TRUE(save_song("SLOW.SEQ"));
  Outcome r = render("seq/SLOW.SEQ --mode song -o wav/SLOW.WAV");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("26 hours"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--blocks"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists("wav/SLOW.WAV"));
  r = render("seq/SLOW.SEQ -o wav/LOOP.WAV --blocks 2");
  EXPECT_EQ(r.status, 0) << r.err;

  // The longest --blocks render, stopped as soon as its temporary exists.
  const std::string command = std::string(ZORBEL_BINARY_DIR) +
                              "/zorbel-render seq/SLOW.SEQ -o wav/BIG.WAV --blocks " +
                              std::to_string(kMaxRecordBlocks) + " 2>/dev/null & pid=$!; " +
                              "while ! ls wav/BIG.WAV.tmp* > /dev/null 2>&1; do sleep 0.01; done; " +
                              "kill -TERM $pid; wait $pid; echo $? > status.txt";
  ASSERT_EQ(std::system(("sh -c '" + command + "'").c_str()), 0);
  EXPECT_EQ(read_bytes("status.txt"), (std::vector<uint8_t>{'1', '4', '3', '\n'}));
  for (const auto& entry : std::filesystem::directory_iterator("wav"))
    EXPECT_EQ(entry.path().filename().string().rfind("BIG.WAV", 0), std::string::npos)
        << entry.path();
}

}  // namespace
}  // namespace zorbel
