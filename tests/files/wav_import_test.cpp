// WAV import: which files the list takes, decoding to mono, and the loader's outcomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/wav_engine.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"
#include "tests/support/wav_bytes.h"

namespace zorbel {
namespace {

using test::make_wav;
using test::pcm16;
using test::write_bytes;

struct SampleDeleter {
  void operator()(SampleData* s) const { free_sample_data(s); }
};
using SamplePtr = std::unique_ptr<SampleData, SampleDeleter>;

SamplePtr decode(const std::vector<uint8_t>& bytes) {
  return SamplePtr(decode_wav(bytes.data(), bytes.size()));
}

TEST(WavHeader, AcceptsOnlyTheCanonicalPcmHeader) {
  const std::vector<uint8_t> data(100, 0);
  EXPECT_TRUE(check_wav_header_bytes(make_wav(1, 44100, 16, data).data(), 144));
  EXPECT_TRUE(check_wav_header_bytes(make_wav(2, 2000, 8, data).data(), 144));
  EXPECT_TRUE(check_wav_header_bytes(make_wav(2, 100000, 16, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(1, 1999, 16, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(1, 100001, 16, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(1, 44100, 24, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(1, 44100, 32, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(3, 44100, 16, data).data(), 144));
  EXPECT_FALSE(check_wav_header_bytes(make_wav(1, 44100, 16, data, 0).data(), 144));
  std::vector<uint8_t> b = make_wav(1, 44100, 16, data);
  EXPECT_FALSE(check_wav_header_bytes(b.data(), 43));  // shorter than the header
  std::memcpy(b.data() + 36, "LIST", 4);               // a chunk before the data
  EXPECT_FALSE(check_wav_header_bytes(b.data(), b.size()));
  b = make_wav(1, 44100, 16, data);
  b[20] = 3;  // float samples
  EXPECT_FALSE(check_wav_header_bytes(b.data(), b.size()));
  b = make_wav(1, 44100, 16, data);
  b[16] = 18;  // extended format chunk
  EXPECT_FALSE(check_wav_header_bytes(b.data(), b.size()));
}

TEST(WavDecode, StereoBecomesMonoFrameByFrame) {
  const SamplePtr s16 = decode(make_wav(2, 44100, 16, std::vector<uint8_t>(4000, 0)));
  ASSERT_TRUE(s16);
  EXPECT_EQ(s16->length, 1000);
  EXPECT_EQ(s16->bits, 16);
  const SamplePtr s8 = decode(make_wav(1, 44100, 8, std::vector<uint8_t>(4000, 128)));
  ASSERT_TRUE(s8);
  EXPECT_EQ(s8->length, 4000);
  EXPECT_EQ(s8->bits, 8);

  // (left + right) >> 1, arithmetic on the integer sum.
  const SamplePtr mix16 = decode(make_wav(2, 22050, 16, pcm16({-3, 0, 32767, 32767, -32768, -32768})));
  ASSERT_TRUE(mix16);
  ASSERT_EQ(mix16->length, 3);
  EXPECT_EQ(mix16->data16[0], -2);
  EXPECT_EQ(mix16->data16[1], 32767);
  EXPECT_EQ(mix16->data16[2], -32768);
  EXPECT_FLOAT_EQ(mix16->rate_factor, 0.5f);
  // Unsigned bytes: (left >> 1) + (right >> 1).
  const SamplePtr mix8 = decode(make_wav(2, 44100, 8, {255, 255, 0, 1, 3, 3}));
  ASSERT_TRUE(mix8);
  EXPECT_EQ(mix8->data8[0], 254);
  EXPECT_EQ(mix8->data8[1], 0);
  EXPECT_EQ(mix8->data8[2], 2);
}

TEST(WavDecode, PlaysOnlyTheDataThatIsThere) {
  std::vector<uint8_t> data = pcm16(std::vector<int16_t>(200, 7));
  data.push_back(1);  // half a frame at the end
  const SamplePtr s = decode(make_wav(1, 44100, 16, data, 1000000));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->length, 200);
  EXPECT_EQ(s->data16[199], 7);
  // A header that claims data but has none gives nothing to play.
  EXPECT_FALSE(decode(make_wav(1, 44100, 16, {}, 400)));
  EXPECT_FALSE(decode(make_wav(2, 44100, 16, {1, 2})));
}

class WavFolderTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
  const std::vector<uint8_t> good_ = make_wav(1, 44100, 16, pcm16({1, 2, 3, 4}));

  std::vector<std::string> listed() const {
    std::vector<std::string> names(wav_list.names, wav_list.names + wav_list.count);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(WavFolderTest, ListsUsableFilesInUpperCase) {
  ASSERT_TRUE(write_bytes("wav/kick.wav", good_));
  ASSERT_TRUE(write_bytes("wav/ABCDEFGH.WAV", good_));    // 12 characters
  ASSERT_TRUE(write_bytes("wav/ABCDEFGHI.WAV", good_));   // 13 characters
  ASSERT_TRUE(write_bytes("wav/ABCDEFGHIJKLMNOPQRSTUVWXYZ012.WAV", good_));  // 33: too long
  // 24-bit data is read through the decoder; no data chunk at all is not a sample.
  ASSERT_TRUE(write_bytes("wav/deep.wav", make_wav(1, 44100, 24, std::vector<uint8_t>(30))));
  ASSERT_TRUE(write_bytes("wav/slow.wav", make_wav(1, 1000, 16, std::vector<uint8_t>(30))));
  std::vector<uint8_t> list_chunk = good_;
  std::memcpy(list_chunk.data() + 36, "LIST", 4);
  ASSERT_TRUE(write_bytes("wav/LIST.WAV", list_chunk));
  ASSERT_TRUE(write_bytes("wav/notes.txt", good_));
  scan_wav_folder();
  EXPECT_EQ(listed(),
            (std::vector<std::string>{"ABCDEFGH.WAV", "ABCDEFGHI.WAV", "DEEP.WAV", "KICK.WAV"}));
  EXPECT_GE(find_wav("KICK.WAV"), 0);
  EXPECT_EQ(find_wav("kick.wav"), find_wav("KICK.WAV"));
  EXPECT_EQ(find_wav("SNARE.WAV"), -1);
  EXPECT_EQ(find_wav(""), -1);
  EXPECT_TRUE(check_wav_header("KICK.WAV"));  // opened ignoring case
  EXPECT_FALSE(check_wav_header("NONE.WAV"));
}

TEST_F(WavFolderTest, ScanReplacesTheOldList) {
  ASSERT_TRUE(write_bytes("wav/A.WAV", good_));
  scan_wav_folder();
  EXPECT_EQ(wav_list.count, 1);
  std::remove("wav/A.WAV");
  scan_wav_folder();
  EXPECT_EQ(wav_list.count, 0);
  EXPECT_EQ(wav_list.names[0][0], '\0');
}

TEST_F(WavFolderTest, TheFirstSamplePlayerOfASongReadsTheFolder) {
  ASSERT_TRUE(write_bytes("wav/A.WAV", good_));
  build_synth(0, 56);  // WAV: the first sample player, so the list is read
  EXPECT_EQ(wav_list.count, 1);
  ASSERT_TRUE(write_bytes("wav/B.WAV", good_));
  build_synth(1, 57);  // a second one keeps the list as it was
  EXPECT_EQ(wav_list.count, 1);
  free_all_modules();
  build_synth(0, 63);  // after the song lost its players, a new one reads the folder again
  EXPECT_EQ(wav_list.count, 2);
}

class WavLoadTest : public WavFolderTest {
 protected:
  void SetUp() override {
    WavFolderTest::SetUp();
    build_synth(0, 56, true);  // WAV, no effect
    song.synth_type[0] = 56;
    song.track_count = 1;
  }
};

TEST_F(WavLoadTest, LoadsAListedNameIntoTheSynth) {
  ASSERT_TRUE(write_bytes("wav/kick.wav", good_));
  EXPECT_EQ(wav_sample(0), nullptr);  // the placeholder
  EXPECT_EQ(load_wav_sample("KICK.WAV", 0), kWavLoaded);
  const SampleData* s = wav_sample(0);
  ASSERT_NE(s, nullptr);
  EXPECT_STREQ(s->name, "KICK.WAV");
  EXPECT_EQ(s->length, 4);
  EXPECT_EQ(s->data16[3], 4);
  EXPECT_EQ(transport.transport_stopped.load(), 0);
}

// The placeholder plays silence but keeps the name of the sample the track held, so saving the
// song still names it; only a load that succeeds renames the track's sample.
TEST_F(WavLoadTest, UnreadableFileGivesThePlaceholderUnderTheOldName) {
  EXPECT_EQ(load_wav_sample("GONE.WAV", 0), kWavNotLoaded);
  EXPECT_EQ(wav_sample(0), nullptr);  // nothing held before: nothing to name
  ASSERT_TRUE(write_bytes("wav/KICK.WAV", good_));
  ASSERT_EQ(load_wav_sample("KICK.WAV", 0), kWavLoaded);
  EXPECT_EQ(load_wav_sample("GONE.WAV", 0), kWavNotLoaded);
  ASSERT_NE(wav_sample(0), nullptr);
  EXPECT_STREQ(wav_sample(0)->name, "KICK.WAV");
  EXPECT_EQ(wav_sample(0)->length, 0);
  // A file that changed into something else since the scan.
  ASSERT_TRUE(write_bytes("wav/BAD.WAV", {1, 2, 3}));
  EXPECT_EQ(load_wav_sample("BAD.WAV", 0), kWavNotLoaded);
  ASSERT_NE(wav_sample(0), nullptr);
  EXPECT_STREQ(wav_sample(0)->name, "KICK.WAV");
  EXPECT_EQ(wav_sample(0)->length, 0);
  EXPECT_EQ(load_wav_sample("KICK.WAV", 99), kWavNotLoaded);
}

// A file too large to take counts as memory running out; a sparse file costs no disk.
TEST_F(WavLoadTest, NoMemoryKeepsAPreviousSampleButNotANamedPlaceholder) {
  ASSERT_TRUE(write_bytes("wav/HUGE.WAV", good_));
  std::filesystem::resize_file("wav/HUGE.WAV", kMaxWavFileBytes + 1);
  // Only the placeholder, remembered under a name: there is no previous sample to keep.
  SampleData* named = new SampleData;
  std::strcpy(named->name, "GONE.WAV");
  wav_set_sample(0, named);
  EXPECT_EQ(load_wav_sample("HUGE.WAV", 0), kWavNotLoaded);
  ASSERT_NE(wav_sample(0), nullptr);
  EXPECT_STREQ(wav_sample(0)->name, "GONE.WAV");
  EXPECT_EQ(wav_sample(0)->length, 0);

  ASSERT_TRUE(write_bytes("wav/KICK.WAV", good_));
  ASSERT_EQ(load_wav_sample("KICK.WAV", 0), kWavLoaded);
  EXPECT_EQ(load_wav_sample("HUGE.WAV", 0), kWavReloadedPrevious);
  ASSERT_NE(wav_sample(0), nullptr);
  EXPECT_STREQ(wav_sample(0)->name, "KICK.WAV");
}

}  // namespace
}  // namespace zorbel
