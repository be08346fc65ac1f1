// Song files: the exact layout of the header and the run blocks, the round trip of every saved
// field, and refusal of damaged files without touching the song in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "engine/mixer.h"
#include "engine/audio_stream.h"
#include "engine/song_templates.h"
#include "files/byte_io.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/wav_engine.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"
#include "tests/support/wav_bytes.h"

namespace zorbel {
namespace {

using test::read_bytes;
using test::write_bytes;

// Type code = engine x 8 + effect slot.
constexpr int kTypeBamPlain = 0;
constexpr int kTypeFmSvf = 23;
constexpr int kTypeNoise = 32;     // N: no pitch parameter
constexpr int kTypeWavPlain = 56;

TEST(SongFileTypes, CodesUsedHereNameTheIntendedTypes) {
  EXPECT_STREQ(type_name_from_code(kTypeBamPlain), "BAM");
  EXPECT_STREQ(type_name_from_code(kTypeFmSvf), "FMSVF");
  EXPECT_STREQ(type_name_from_code(kTypeNoise), "N");
  EXPECT_STREQ(type_name_from_code(kTypeWavPlain), "WAV");
}

void add_synth(int type) {
  const int t = song.track_count;
  build_synth(t, type, true);
  song.synth_type[t] = type;
  song.track_count = static_cast<int16_t>(t + 1);
  if (t + 1 < MAX_TRACKS) std::strcpy(song.track_name[t + 1], "~");
}

class SongFileTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
};

// Header and body of a song with no synths and every table at its start-up value: each run
// block is one run.
TEST_F(SongFileTest, DefaultSongIsHeaderAndSingleRuns) {
  const std::vector<uint8_t> b = encode_song("T.SEQ");
  const std::vector<uint8_t> header = {'T', '.', 'S', 'E', 'Q', 0, 0, 'Z', 'o', 'r', 'b',
                                       'e', 'l', '3', '.', '0', '0', 0, 0};
  ASSERT_GE(b.size(), header.size());
  EXPECT_TRUE(std::equal(header.begin(), header.end(), b.begin()));
  // B1, B4 600, B5..B8 11, B9..B11 three RLE16 runs, B13 and B14 one RLE32 run each, B16,
  // B17 3200 i32, B18 16 f32.
  EXPECT_EQ(b.size(), header.size() + 1 + 600 + 11 + 3 * 4 + 5 + 8 + 4 + 12800 + 64);
  ByteReader in(b.data() + header.size() + 1 + 600 + 11, 12);
  EXPECT_EQ(read_i16(in), 1000);  // B9: the whole song list in one run
  EXPECT_EQ(read_i16(in), 0);
  EXPECT_EQ(read_i16(in), 1000);  // B10
  EXPECT_EQ(read_i16(in), 1);
  EXPECT_EQ(read_i16(in), 1600);  // B11
  EXPECT_EQ(read_i16(in), 1);
}

TEST_F(SongFileTest, HeaderNameIsCutToItsSlot) {
  const std::vector<uint8_t> b = encode_song("A_VERY_LONG_SONG_NAME_INDEED.SEQ");
  EXPECT_EQ(b[19], 0);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 19), "A_VERY_LONG_SONG_NA");
  SongImage image;
  std::string reason;
  EXPECT_TRUE(parse_song_file(b.data(), b.size(), image, reason)) << reason;
}

TEST_F(SongFileTest, SixteenEqualTrackVolumesAreOneTaggedRun) {
  for (int t = 0; t < MAX_TRACKS; ++t) add_synth(kTypeBamPlain);
  const std::vector<uint8_t> b = encode_song("V.SEQ");
  SongImage image;
  std::string reason;
  ASSERT_TRUE(parse_song_file(b.data(), b.size(), image, reason)) << reason;
  // Locate B15 as the bytes just before B16 and B17: tag 0x50, then 1.0f.
  const std::vector<uint8_t> run = {0x50, 0x00, 0x00, 0x80, 0x3f};
  EXPECT_NE(std::search(b.begin(), b.end(), run.begin(), run.end()), b.end());
  for (float v : image.track_vol) EXPECT_EQ(v, 1.0f);
}

TEST_F(SongFileTest, LegatoBlockIsAlways3200Values) {
  add_synth(kTypeBamPlain);
  song.legato_steps[99][15] = 0x8000000000000001ull;  // a track beyond the one synth
  const std::vector<uint8_t> b = encode_song("L.SEQ");
  SongImage image;
  std::string reason;
  ASSERT_TRUE(parse_song_file(b.data(), b.size(), image, reason)) << reason;
  EXPECT_EQ(image.legato_steps[99][15], 0x8000000000000001ull);
  const std::vector<uint8_t> lo_hi = {1, 0, 0, 0, 0, 0, 0, 0x80};
  // The last mask of B17 sits right before B18's 16 humanize values.
  const auto it = std::search(b.begin(), b.end(), lo_hi.begin(), lo_hi.end());
  ASSERT_NE(it, b.end());
}

TEST_F(SongFileTest, SongWithoutSampleSynthsEndsWithTheLastLane) {
  add_synth(kTypeBamPlain);
  const std::vector<uint8_t> b = encode_song("E.SEQ");
  SongImage image;
  std::string reason;
  ASSERT_TRUE(parse_song_file(b.data(), b.size(), image, reason)) << reason;
  EXPECT_TRUE(image.sample_names.empty());
  // Dropping the last byte cuts into B20.
  EXPECT_FALSE(parse_song_file(b.data(), b.size() - 1, image, reason));
}

// Walks the body field by field with the plain readers, so two fields of the same encoding
// saved in each other's place (tempo and swing, song list and repetitions) are caught.
TEST_F(SongFileTest, BodyFieldsLieInTheirOrder) {
  add_synth(kTypeFmSvf);
  add_synth(kTypeWavPlain);
  std::memcpy(song.loop_name[1], "ABCDEF", 6);
  song.bpm = 140.0f;
  song.swing_pct = 62.5f;
  song.swing_steps = 5;
  song.seqlen = 32;
  song.song_list[0] = 7;
  song.song_reps[0] = 4;
  song.loop_track_enable[0][0] = 0;
  song.stereoize[0] = -1.0f;
  song.stereoize[1] = 1.0f;
  song.step_trig[0][0][0] = 90;
  song.step_vol[0][0][0] = 0.25f;
  song.track_vol[0] = 0.5f;
  song.track_vol[1] = 0.75f;
  song.master_vol = 0.9f;
  song.legato_steps[0][1] = 0x0000000300000002ull;
  song.humanize[15] = 0.125f;
  song.freq_mode[0] = 0;
  song.param_slot[0][0].lane[0] = 3.5f;
  const std::vector<uint8_t> b = encode_song("O.SEQ");
  ByteReader in(b.data(), b.size());
  for (int i = 0; i < 5 + 2 + 10 + 2; ++i) read_u8(in);  // header

  EXPECT_EQ(read_u8(in), 2);  // B1
  EXPECT_EQ(read_u8(in), kTypeFmSvf);  // B2, then B3 at once
  char name[kTrackNameLen];
  in.get(name, kTrackNameLen);
  EXPECT_EQ(0, std::memcmp(name, song.track_name[0], kTrackNameLen));
  EXPECT_EQ(read_u8(in), kTypeWavPlain);
  in.get(name, kTrackNameLen);
  char loop_names[MAX_LOOPS][6];
  in.get(loop_names, sizeof loop_names);  // B4
  EXPECT_EQ(0, std::memcmp(loop_names[1], "ABCDEF", 6));
  EXPECT_EQ(read_f32(in), 140.0f);  // B5
  EXPECT_EQ(read_f32(in), 62.5f);   // B6
  EXPECT_EQ(read_u8(in), 5);        // B7
  EXPECT_EQ(read_i16(in), 32);      // B8
  EXPECT_EQ(read_i16(in), 1);       // B9: one 7, then 999 of the default
  EXPECT_EQ(read_i16(in), 7);
  EXPECT_EQ(read_i16(in), 999);
  read_i16(in);
  EXPECT_EQ(read_i16(in), 1);  // B10: one 4, then the rest
  EXPECT_EQ(read_i16(in), 4);
  EXPECT_EQ(read_i16(in), 999);
  read_i16(in);
  EXPECT_EQ(read_i16(in), 1);  // B11: track 0 of loop 0 silent, then 1599 enabled
  EXPECT_EQ(read_i16(in), 0);
  EXPECT_EQ(read_i16(in), 1599);
  EXPECT_EQ(read_i16(in), 1);
  EXPECT_EQ(read_u8(in), 0);  // B12: ON
  EXPECT_EQ(read_u8(in), 1);  // OFF
  EXPECT_EQ(read_i32(in), 1);  // B13: RLE32 of u8
  EXPECT_EQ(read_u8(in), 90);
  EXPECT_EQ(read_i32(in), MAX_LOOPS * MAX_TRACKS * MAX_STEPS - 1);
  EXPECT_EQ(read_u8(in), 0);
  EXPECT_EQ(read_i32(in), 1);  // B14: RLE32 of f32
  EXPECT_EQ(read_f32(in), 0.25f);
  read_i32(in);
  read_f32(in);
  EXPECT_EQ(read_u8(in), 0x41);  // B15: tagged f32 runs
  EXPECT_EQ(read_f32(in), 0.5f);
  EXPECT_EQ(read_u8(in), 0x41);
  EXPECT_EQ(read_f32(in), 0.75f);
  EXPECT_EQ(read_f32(in), 0.9f);  // B16
  read_i32(in);                   // B17: loop 0, track 0 low and high halves
  read_i32(in);
  EXPECT_EQ(read_i32(in), 2);  // track 1 low half, then high half
  EXPECT_EQ(read_i32(in), 3);
  for (int i = 4; i < MAX_LOOPS * MAX_TRACKS * 2; ++i) read_i32(in);
  for (int t = 0; t < 15; ++t) read_f32(in);  // B18
  EXPECT_EQ(read_f32(in), 0.125f);
  EXPECT_EQ(read_u8(in), 0x81);  // B19: tagged i16 runs, ABS then none
  EXPECT_EQ(read_i16(in), 0);
  EXPECT_EQ(read_u8(in), 0x81);
  EXPECT_EQ(read_i16(in), 3);
  EXPECT_EQ(read_i16(in), 1);  // B20: the first synth's first lane
  EXPECT_EQ(read_f32(in), 3.5f);
  EXPECT_FALSE(in.overrun());
  EXPECT_EQ(b.back(), 0x60);  // B21: the sample player's (empty) name
}

// Every saved field set to a distinct non-default value.
void fill_song() {
  add_synth(kTypeFmSvf);
  add_synth(kTypeNoise);
  add_synth(kTypeBamPlain);
  for (int l = 0; l < MAX_LOOPS; ++l) std::snprintf(song.loop_name[l], kLoopNameLen, "LP%04d", l * 3);
  song.bpm = 133.5f;
  song.swing_pct = 57.25f;
  song.swing_steps = 3;
  song.seqlen = 48;
  for (int p = 0; p < SONG_LENGTH; ++p) {
    song.song_list[p] = static_cast<int16_t>(p % 7 == 6 ? SONG_HALT : (p * 13) % 100);
    song.song_reps[p] = static_cast<int16_t>(1 + p % 5);
  }
  song.song_list[999] = SONG_RESTART;
  for (int l = 0; l < MAX_LOOPS; ++l)
    for (int t = 0; t < MAX_TRACKS; ++t) {
      song.loop_track_enable[l][t] = static_cast<int16_t>((l + t) % 3 != 0);
      song.legato_steps[l][t] = (0x0123456789abcdefull * (l + 1)) ^ static_cast<uint64_t>(t);
      for (int s = 0; s < MAX_STEPS; ++s) {
        song.step_trig[l][t][s] = static_cast<uint8_t>((l * 7 + t * 3 + s) % 101);
        song.step_vol[l][t][s] = static_cast<float>((l + s) % 11) / 10.0f;
      }
    }
  song.stereoize[0] = -1.0f;
  song.stereoize[1] = 1.0f;
  song.stereoize[2] = -1.0f;
  song.track_vol[0] = 0.8f;
  song.track_vol[1] = 0.6f;
  song.track_vol[2] = 0.6f;
  song.master_vol = 0.7f;
  for (int t = 0; t < MAX_TRACKS; ++t) song.humanize[t] = 0.01f * static_cast<float>(t + 1);
  // Every lane differs from the others and varies along its length, inside the parameter's
  // range (a loaded song is kept in the ranges).
  for (int t = 0; t < song.track_count; ++t)
    for (int k = 0; k < song.param_count[t]; ++k) {
      float lo = 0.0f, hi = 0.0f;
      ASSERT_TRUE(type_param_range(song.synth_type[t], k, song.param_slot[t][k].cls, &lo, &hi));
      for (int i = 0; i < kLaneLength; ++i)
        song.param_slot[t][k].lane[i] =
            lo + (hi - lo) * static_cast<float>((t * 53 + k * 7 + i % 13) % 101) / 100.0f;
    }
}

TEST_F(SongFileTest, EveryFieldSurvivesSaveAndLoad) {
  fill_song();
  char default_names[MAX_TRACKS][kTrackNameLen];
  std::memcpy(default_names, song.track_name, sizeof default_names);
  std::strcpy(song.track_name[0], "RENAMED");
  const int counts[3] = {song.param_count[0], song.param_count[1], song.param_count[2]};
  const int freq_modes[3] = {song.freq_mode[0], song.freq_mode[1], song.freq_mode[2]};
  ASSERT_TRUE(save_song("ROUND.SEQ"));
  auto saved = std::make_unique<Song>();
  std::memcpy(static_cast<void*>(saved.get()), &song, sizeof song);
  std::vector<std::vector<float>> lanes;
  for (int t = 0; t < 3; ++t)
    for (int k = 0; k < counts[t]; ++k)
      lanes.emplace_back(song.param_slot[t][k].lane, song.param_slot[t][k].lane + kLaneLength);

  init_engine(test::kTestSeed);
  transport.play_mode = 1;
  transport.current_loop = 9;
  std::string reason;
  ASSERT_TRUE(load_song("./seq/ROUND.SEQ", &reason)) << reason;

  EXPECT_EQ(song.track_count, 3);
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(song.synth_type[t], saved->synth_type[t]);
    EXPECT_EQ(song.param_count[t], counts[t]);
    EXPECT_EQ(song.freq_mode[t], freq_modes[t]);
    EXPECT_STREQ(song.track_name[t], default_names[t]);  // names come from the types
  }
  EXPECT_STREQ(song.track_name[3], "~");
  EXPECT_EQ(song.synth_type[3], SYNTH_TYPE_NONE);
  EXPECT_EQ(0, std::memcmp(song.loop_name, saved->loop_name, sizeof song.loop_name));
  EXPECT_EQ(song.bpm, 133.5f);
  EXPECT_EQ(song.swing_pct, 57.25f);
  EXPECT_EQ(song.swing_steps, 3);
  EXPECT_EQ(song.seqlen, 48);
  EXPECT_EQ(0, std::memcmp(song.song_list, saved->song_list, sizeof song.song_list));
  EXPECT_EQ(0, std::memcmp(song.song_reps, saved->song_reps, sizeof song.song_reps));
  EXPECT_EQ(0, std::memcmp(song.loop_track_enable, saved->loop_track_enable,
                           sizeof song.loop_track_enable));
  EXPECT_EQ(0, std::memcmp(song.stereoize, saved->stereoize, sizeof song.stereoize));
  EXPECT_EQ(0, std::memcmp(song.step_trig, saved->step_trig, sizeof song.step_trig));
  EXPECT_EQ(0, std::memcmp(song.step_vol, saved->step_vol, sizeof song.step_vol));
  EXPECT_EQ(0, std::memcmp(song.track_vol, saved->track_vol, sizeof song.track_vol));
  EXPECT_EQ(song.master_vol, 0.7f);
  EXPECT_EQ(0, std::memcmp(song.legato_steps, saved->legato_steps, sizeof song.legato_steps));
  EXPECT_EQ(0, std::memcmp(song.humanize, saved->humanize, sizeof song.humanize));
  size_t lane = 0;
  for (int t = 0; t < 3; ++t)
    for (int k = 0; k < counts[t]; ++k, ++lane)
      ASSERT_EQ(0, std::memcmp(song.param_slot[t][k].lane, lanes[lane].data(),
                               sizeof(float) * kLaneLength))
          << "track " << t << " parameter " << k;

  // Playback restarts at step 0 of loop 0 in LOOP mode.
  EXPECT_EQ(transport.play_mode, 0);
  EXPECT_EQ(transport.current_loop, 0);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.play_cursor[1].trig_row, song.step_trig[0][1]);

  // Saving the loaded song gives the same file, but for the first synth's name (B3).
  ASSERT_TRUE(save_song("AGAIN.SEQ"));
  std::vector<uint8_t> a = read_bytes("seq/ROUND.SEQ");
  std::vector<uint8_t> b = read_bytes("seq/AGAIN.SEQ");
  ASSERT_EQ(a.size(), b.size());
  const size_t name_at = 9 + 2 + 10 + 2 + 2;  // header, B1, B2
  for (size_t i = 0; i < a.size(); ++i) {
    if (i < 9 || (i >= name_at && i < name_at + kTrackNameLen)) continue;
    ASSERT_EQ(a[i], b[i]) << "byte " << i;
  }
}

TEST_F(SongFileTest, StereoSwitchAndFrequencyModeAdjustClasses) {
  add_synth(kTypeBamPlain);
  add_synth(kTypeBamPlain);
  song.freq_mode[0] = 0;  // ABS
  song.freq_mode[1] = 1;  // MIDI
  ASSERT_TRUE(save_song("F.SEQ"));
  init_engine(test::kTestSeed);
  ASSERT_TRUE(load_song("./seq/F.SEQ"));
  bool saw_abs = false;
  for (int k = 0; k < song.param_count[0]; ++k) {
    EXPECT_NE(song.param_slot[0][k].cls, ParamClass::kNotePitch);
    if (song.param_slot[0][k].cls == ParamClass::kHzPitch) {
      saw_abs = true;
      EXPECT_EQ(song.param_slot[0][k].def, 200.0f);
    }
  }
  EXPECT_TRUE(saw_abs);
  for (int k = 0; k < song.param_count[1]; ++k) EXPECT_NE(song.param_slot[1][k].cls, ParamClass::kHzPitch);
}

TEST_F(SongFileTest, SampleNamesAreRestoredFromTheWavFolder) {
  ASSERT_TRUE(write_bytes("wav/other.wav", test::make_wav(1, 44100, 16, test::pcm16({1, 2}))));
  ASSERT_TRUE(write_bytes("wav/kick.wav", test::make_wav(1, 44100, 16, test::pcm16({5, 6, 7}))));
  add_synth(kTypeBamPlain);
  add_synth(kTypeWavPlain);
  scan_wav_folder();
  const int k = find_wav("KICK.WAV");
  ASSERT_GE(k, 0);
  ASSERT_EQ(load_wav_sample(wav_list.names[k], 1), kWavLoaded);
  ASSERT_TRUE(save_song("S.SEQ"));
  const std::vector<uint8_t> b = read_bytes("seq/S.SEQ");
  const std::string tail = "KICK.WAV`";
  EXPECT_EQ(std::string(b.end() - tail.size(), b.end()), tail);

  init_engine(test::kTestSeed);
  ASSERT_TRUE(load_song("./seq/S.SEQ"));
  const SampleData* sample = wav_sample(1);
  ASSERT_NE(sample, nullptr);
  EXPECT_STREQ(sample->name, "KICK.WAV");
  EXPECT_EQ(sample->length, 3);
  for (int i = 0; i < kLaneLength; i += 997)
    EXPECT_EQ(song.param_slot[1][0].lane[i], static_cast<float>(k));

  // A snapshot (what the autosave copies with the audio held) encodes as the song did when it
  // was taken, sample name included, whatever changes afterwards.
  song.param_slot[0][2].lane[4321] = 0.375f;
  SongSnapshot snapshot;
  prepare_song_snapshot(snapshot);
  take_song_snapshot(snapshot);
  const std::vector<uint8_t> live = encode_song("S.SEQ");
  song.param_slot[0][2].lane[4321] = 0.5f;
  song.bpm = 99.0f;
  song.step_trig[7][1][3] = 100;
  wav_set_sample(1, nullptr);
  EXPECT_EQ(encode_song(snapshot, "S.SEQ"), live);
  EXPECT_NE(encode_song("S.SEQ"), live);
}

TEST_F(SongFileTest, MissingSampleLeavesThePlaceholder) {
  add_synth(kTypeWavPlain);
  // Hand-made sample name for a file that is not in the folder.
  std::vector<uint8_t> b = encode_song("M.SEQ");
  ASSERT_EQ(b.back(), 0x60);
  b.pop_back();
  const std::string name = "GONE.WAV`";
  b.insert(b.end(), name.begin(), name.end());
  ASSERT_TRUE(write_bytes("seq/M.SEQ", b));
  init_engine(test::kTestSeed);
  ASSERT_TRUE(load_song("./seq/M.SEQ"));
  EXPECT_EQ(song.track_count, 1);
  // The placeholder plays, but the synth keeps the name, so saving again still names the file.
  const SampleData* sample = wav_sample(0);
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(sample->length, 0);
  EXPECT_STREQ(sample->name, "GONE.WAV");
  ASSERT_TRUE(save_song("M2.SEQ"));
  const std::vector<uint8_t> again = read_bytes("seq/M2.SEQ");
  EXPECT_EQ(std::string(again.end() - name.size(), again.end()), name);
}

// A song in memory, its fingerprint, and a check that a refused file changed nothing.
class DamagedFileTest : public SongFileTest {
 protected:
  void SetUp() override {
    SongFileTest::SetUp();
    add_synth(kTypeFmSvf);
    add_synth(kTypeWavPlain);
    song.bpm = 99.0f;
    song.step_trig[3][1][5] = 77;
    good_ = encode_song("GOOD.SEQ");
    transport.current_loop = 2;
    before_ = std::make_unique<Song>();
    std::memcpy(static_cast<void*>(before_.get()), &song, sizeof song);
  }

  void expect_refused(const std::vector<uint8_t>& bytes, const char* why) {
    ASSERT_TRUE(write_bytes("seq/BAD.SEQ", bytes));
    std::string reason;
    EXPECT_FALSE(load_song("./seq/BAD.SEQ", &reason)) << why;
    EXPECT_FALSE(reason.empty()) << why;
    EXPECT_EQ(0, std::memcmp(static_cast<void*>(before_.get()), &song, sizeof song)) << why;
    EXPECT_EQ(transport.current_loop, 2) << why;
    EXPECT_EQ(transport.transport_stopped.load(), 0) << why;
  }

  // Offset of the body: name "GOOD.SEQ", 0, 0, version, 0, 0.
  static constexpr size_t kBody = 8 + 2 + 10 + 2;
  std::vector<uint8_t> good_;
  std::unique_ptr<Song> before_;
};

TEST_F(DamagedFileTest, OtherVersionsAreRefused) {
  // The version follows "GOOD.SEQ", 0, 0; a shorter one ends early with its own zero.
  for (const std::string version : {"Zorbel2.99", "Zorbel3.01", "zorbel3.00", "Zorbel3.0"}) {
    std::vector<uint8_t> b = good_;
    for (size_t i = 0; i < 10; ++i) b[10 + i] = i < version.size() ? version[i] : 0;
    expect_refused(b, version.c_str());
  }
}

TEST_F(DamagedFileTest, EmptyMissingAndTruncatedFilesAreRefused) {
  expect_refused({}, "empty");
  std::string reason;
  EXPECT_FALSE(load_song("./seq/NOPE.SEQ", &reason));
  EXPECT_FALSE(reason.empty());
  for (size_t cut : {size_t{1}, size_t{5}, size_t{15}, kBody, kBody + 1, kBody + 200,
                     kBody + 700, good_.size() / 2, good_.size() - 13000, good_.size() - 1})
    expect_refused(std::vector<uint8_t>(good_.begin(), good_.begin() + cut),
                   ("cut at " + std::to_string(cut)).c_str());
}

TEST_F(DamagedFileTest, TextsWithoutTheirEndAreRefused) {
  std::vector<uint8_t> b(40, 'A');  // no terminator within the name slot
  b.insert(b.end(), good_.begin() + 8, good_.end());
  expect_refused(b, "long name");
  std::vector<uint8_t> v(good_.begin(), good_.begin() + 10);
  const std::string version = "Zorbel3.00Zorbel3.00";
  v.insert(v.end(), version.begin(), version.end());
  v.insert(v.end(), good_.begin() + 20, good_.end());
  expect_refused(v, "long version");
}

TEST_F(DamagedFileTest, ValuesNoSongCanHoldAreRefused) {
  std::vector<uint8_t> b = good_;
  b[kBody] = 17;
  expect_refused(b, "17 synths");
  b = good_;
  b[kBody + 1] = 64;  // KSBD: named but never built
  expect_refused(b, "type 64");
  b = good_;
  b[kBody + 1] = 200;
  expect_refused(b, "type 200");
  // B8: after B1, two synths of 11 bytes, B4, B5, B6, B7.
  const size_t seqlen_at = kBody + 1 + 22 + 600 + 9;
  b = good_;
  b[seqlen_at] = 0;
  expect_refused(b, "seqlen 0");
  b = good_;
  b[seqlen_at] = 65;
  expect_refused(b, "seqlen 65");
  b = good_;
  b[kBody + 1 + 22 + 600 + 3] = 0;  // bpm 99.0 -> 0x00xxxxxx: a tiny positive; then zero it all
  b[kBody + 1 + 22 + 600 + 2] = 0;
  b[kBody + 1 + 22 + 600 + 1] = 0;
  b[kBody + 1 + 22 + 600 + 0] = 0;
  expect_refused(b, "bpm 0");
  b = good_;
  b[seqlen_at + 4] = 100;  // B9's first run value: loop 100 does not exist
  expect_refused(b, "song list loop 100");
  b = good_;
  b[seqlen_at + 2] = 0;  // B9's first run count 0
  b[seqlen_at + 3] = 0;
  expect_refused(b, "zero run");
  b = good_;
  const size_t swing_at = kBody + 1 + 22 + 600 + 4;  // the f32 after bpm
  const uint8_t nan_bytes[4] = {0x00, 0x00, 0xC0, 0x7F};
  std::copy(nan_bytes, nan_bytes + 4, b.begin() + static_cast<std::ptrdiff_t>(swing_at));
  expect_refused(b, "swing NaN");
}

TEST_F(DamagedFileTest, TrailingBytesAreIgnoredAndTheGoodFileLoads) {
  std::vector<uint8_t> b = good_;
  b.push_back(1);
  ASSERT_TRUE(write_bytes("seq/GOOD.SEQ", b));
  std::string reason;
  EXPECT_TRUE(load_song("./seq/good.seq", &reason)) << reason;
  EXPECT_EQ(song.step_trig[3][1][5], 77);
  EXPECT_EQ(song.bpm, 99.0f);
}

TEST_F(SongFileTest, FailedSaveKeepsTheOldFile) {
  ASSERT_TRUE(write_bytes("seq/OLD.SEQ", {1, 2, 3}));
  std::filesystem::remove_all("seq");
  EXPECT_FALSE(save_song("OLD.SEQ"));
  std::filesystem::create_directory("seq");
  ASSERT_TRUE(write_bytes("seq/OLD.SEQ", {1, 2, 3}));
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(save_song_to_path("/dev/full"));
  }
  EXPECT_EQ(read_bytes("seq/OLD.SEQ"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(save_song("OLD.SEQ"));
  EXPECT_GT(read_bytes("seq/OLD.SEQ").size(), 3u);
}

TEST_F(SongFileTest, SavingReplacesAFileNamedInOtherCase) {
  ASSERT_TRUE(write_bytes("seq/kicks.seq", {1}));
  ASSERT_TRUE(save_song("KICKS.SEQ"));
  EXPECT_GT(read_bytes("seq/kicks.seq").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists("seq/KICKS.SEQ"));
}

}  // namespace
}  // namespace zorbel

namespace zorbel {
namespace {

// A damaged song plays inside the editor's ranges: nothing it holds can blast at full scale or
// make a render run for days, and one stderr line says what was corrected.
TEST_F(SongFileTest, DamagedValuesAreBroughtIntoRangeWithOneWarning) {
  build_startup_song();
  for (int t = 0; t < song.track_count; ++t)
    for (int s = 0; s < MAX_STEPS; s += 2) {
      song.step_trig[0][t][s] = 255;
      song.step_vol[0][t][s] = 40.0f;
    }
  song.bpm = 1e-30f;
  song.swing_pct = -3.0f;
  song.swing_steps = 200;
  song.song_reps[0] = 32767;
  song.master_vol = -1e30f;
  song.track_vol[0] = 1e30f;
  song.humanize[1] = 7.0f;
  for (int i = 0; i < kLaneLength; ++i) song.param_slot[0][0].lane[i] = 1e9f;
  ASSERT_TRUE(save_song("DAMAGED.SEQ"));

  init_engine(test::kTestSeed);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(load_song("./seq/DAMAGED.SEQ"));
  const std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
  for (const char* what : {"DAMAGED.SEQ", "tempo", "swing", "swing steps", "repetitions",
                           "master volume", "track volumes", "humanize", "step odds",
                           "step volumes", "parameter values"})
    EXPECT_NE(warning.find(what), std::string::npos) << what << " in " << warning;
  EXPECT_EQ(song.bpm, 1.0f);
  EXPECT_EQ(song.swing_pct, 1.0f);
  EXPECT_EQ(song.swing_steps, 64);
  EXPECT_EQ(song.song_reps[0], 99);
  EXPECT_EQ(song.master_vol, 0.0f);
  EXPECT_EQ(song.track_vol[0], 9.99f);
  EXPECT_EQ(song.humanize[1], 1.0f);
  EXPECT_EQ(song.step_trig[0][0][0], 100);
  EXPECT_EQ(song.step_vol[0][0][0], 1.0f);
  float lo = 0.0f, hi = 0.0f;
  ASSERT_TRUE(type_param_range(song.synth_type[0], 0, song.param_slot[0][0].cls, &lo, &hi));
  EXPECT_EQ(song.param_slot[0][0].lane[6399], hi);

  // The master volume the damage asked for is below zero: silence, not clipping.
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < 20; ++b) {
    ASSERT_TRUE(render_buffer(out.data()));
    for (float v : out) ASSERT_EQ(v, 0.0f);
  }

  // A clean song loads without a word.
  ASSERT_TRUE(save_song("CLEAN.SEQ"));
  init_engine(test::kTestSeed);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(load_song("./seq/CLEAN.SEQ"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace zorbel
