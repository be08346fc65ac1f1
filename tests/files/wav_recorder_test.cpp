// Recording to WAV: block counts for both play modes, the header, the sample order and
// conversion, and the transport state afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/engine_hooks.h"
#include "engine/mixer.h"
#include "files/wav_recorder.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

using test::read_bytes;

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

int16_t i16_at(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}

class RecorderTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
};

TEST_F(RecorderTest, BlockCountForLoopAndSongMode) {
  EXPECT_EQ(record_block_count(), 173);  // 120 BPM, 64 steps: 172.27 buffers, plus one
  song.seqlen = 16;
  EXPECT_EQ(record_block_count(), 44);   // 43.07 + 1

  song.seqlen = 64;
  transport.play_mode = 1;
  song.song_list[0] = 0;
  song.song_reps[0] = 2;
  song.song_list[1] = 5;
  song.song_reps[1] = 3;
  song.song_list[2] = SONG_HALT;
  EXPECT_EQ(record_block_count(), 862);  // 172.27 x 5 = 861.33

  song.song_list[0] = SONG_RESTART;
  EXPECT_EQ(record_block_count(), 1);
}

TEST_F(RecorderTest, BlockCountStaysInRangeForDamagedTempo) {
  song.bpm = 0.0f;
  EXPECT_EQ(record_block_count(), kMaxRecordBlocks);
  song.bpm = -120.0f;
  EXPECT_EQ(record_block_count(), 1);
  song.bpm = std::nanf("");
  EXPECT_EQ(record_block_count(), kMaxRecordBlocks);
}

TEST_F(RecorderTest, LoopRecordingHasTheExactHeaderAndLength) {
  ASSERT_TRUE(record_to_wav("wav/LOOP.WAV"));
  const std::vector<uint8_t> b = read_bytes("wav/LOOP.WAV");
  ASSERT_EQ(b.size(), 44u + 173u * 4096u);
  const std::vector<uint8_t> fixed = {'R', 'I', 'F', 'F'};
  EXPECT_TRUE(std::equal(fixed.begin(), fixed.end(), b.begin()));
  EXPECT_EQ(u32_at(b, 4), 173u * 4096u + 36u);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32_at(b, 16), 16u);
  EXPECT_EQ(i16_at(b, 20), 1);
  EXPECT_EQ(i16_at(b, 22), 2);
  EXPECT_EQ(u32_at(b, 24), 44100u);
  EXPECT_EQ(u32_at(b, 28), 176400u);
  EXPECT_EQ(i16_at(b, 32), 4);
  EXPECT_EQ(i16_at(b, 34), 16);
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(u32_at(b, 40), 173u * 4096u);
  EXPECT_FALSE(std::filesystem::exists("wav/LOOP.WAV.tmp"));
}

TEST_F(RecorderTest, SongStartingWithRestartRecordsOneBuffer) {
  transport.play_mode = 1;
  song.song_list[0] = SONG_RESTART;
  transport.current_loop = 7;
  ASSERT_TRUE(record_to_wav("wav/ONE.WAV"));
  EXPECT_EQ(read_bytes("wav/ONE.WAV").size(), 44u + 4096u);
  EXPECT_EQ(transport.current_loop, 7);  // no loop to move to
}

// Every block the voices give a constant right and left output on track 0.
void constant_voice() {
  for (int i = 0; i < kBlockFrames; ++i) {
    buses.right[0][i] = 16390.0f;  // 0.5 after the mixer's 32780 scale
    buses.left[0][i] = -8195.0f;   // -0.25
  }
}

TEST_F(RecorderTest, FramesHoldRightThenLeftTruncatedTo16Bits) {
  song.track_count = 1;
  hooks.render_block = constant_voice;
  ASSERT_TRUE(record_blocks_to_wav("wav/MIX.WAV", 2));
  const std::vector<uint8_t> b = read_bytes("wav/MIX.WAV");
  ASSERT_EQ(b.size(), 44u + 2u * 4096u);
  for (size_t frame = 0; frame < 2048; ++frame) {
    ASSERT_EQ(i16_at(b, 44 + 4 * frame), 16384) << frame;
    ASSERT_EQ(i16_at(b, 46 + 4 * frame), -8192) << frame;
  }
}

TEST_F(RecorderTest, PausedStaysPausedAndPlayingStaysPlaying) {
  set_transport_stopped(1);
  ASSERT_TRUE(record_blocks_to_wav("wav/A.WAV", 3));
  EXPECT_EQ(transport.transport_stopped.load(), 1);
  EXPECT_FALSE(transport.recording.load());

  set_transport_stopped(0);
  ASSERT_TRUE(record_blocks_to_wav("wav/A.WAV", 3));
  EXPECT_EQ(transport.transport_stopped.load(), 0);
}

TEST_F(RecorderTest, RecordingStartsAtTheFirstStep) {
  transport.step_pos = 17;
  transport.current_loop = 4;
  ASSERT_TRUE(record_blocks_to_wav("wav/A.WAV", 1));
  EXPECT_EQ(transport.current_loop, 4);
  // Rewound to step 0; at 120 BPM the next step is 2756 frames away, beyond this buffer.
  EXPECT_EQ(transport.step_pos, 0);
}

TEST_F(RecorderTest, SongRecordingStartsAtTheFirstSongPosition) {
  transport.play_mode = 1;
  song.song_list[0] = 5;
  song.song_list[1] = SONG_HALT;
  transport.song_pos = 3;
  transport.rep_count = 2;
  transport.current_loop = 2;
  ASSERT_TRUE(record_blocks_to_wav("wav/A.WAV", 1));
  EXPECT_EQ(transport.current_loop, 5);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.rep_count, 0);
}

TEST_F(RecorderTest, FailedRecordingKeepsTheOldFileAndState) {
  ASSERT_TRUE(test::write_bytes("wav/KEEP.WAV", {1, 2, 3}));
  set_transport_stopped(1);
  EXPECT_FALSE(record_blocks_to_wav("nofolder/X.WAV", 2));
  EXPECT_EQ(transport.transport_stopped.load(), 1);
  EXPECT_FALSE(record_blocks_to_wav("wav/KEEP.WAV", 0));
  EXPECT_EQ(read_bytes("wav/KEEP.WAV"), (std::vector<uint8_t>{1, 2, 3}));
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(record_blocks_to_wav("/dev/full", 4));
    EXPECT_FALSE(transport.recording.load());
  }
}

}  // namespace
}  // namespace zorbel
