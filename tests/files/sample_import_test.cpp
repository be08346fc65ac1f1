// Samples in every common format: what the list takes, how each decodes, pitch after rate
// conversion, and damaged files refused with the old sample kept.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "engine/synth_tracks.h"
#include "files/sample_decoder.h"
#include "files/wav_import.h"
#include "synth/wav_engine.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/sample_files.h"
#include "tests/support/signal_measure.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

using test::ToneFile;
using test::write_tone;

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

std::vector<float> as_float(const SampleData& s) {
  std::vector<float> x(static_cast<std::size_t>(s.length));
  for (int i = 0; i < s.length; ++i)
    x[i] = s.bits == 8 ? s.data8[i] * 256.0f - 32768.0f : static_cast<float>(s.data16[i]);
  return x;
}

double cents(double a, double b) { return 1200.0 * std::log2(a / b); }

class SampleImportTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
  void SetUp() override {
    test::EngineTest::SetUp();
    build_synth(0, 56, true);  // WAV, no effect
    song.synth_type[0] = 56;
    song.track_count = 1;
  }
  // Loads a listed name into track 0 and returns what the synth holds.
  const SampleData* load(const char* name) {
    EXPECT_EQ(load_wav_sample(name, 0), kWavLoaded) << name;
    const SampleData* s = wav_sample(0);
    EXPECT_NE(s, nullptr) << name;
    return s;
  }
};

TEST_F(SampleImportTest, EveryCommonFormatIsListedAndDecodesToTheSameTone) {
  const ToneFile tone{kWav16};
  ASSERT_TRUE(write_tone("wav/REF.WAV", tone));
  ASSERT_TRUE(check_wav_header("REF.WAV"));  // the canonical reader's own file
  struct Case {
    const char* name;
    int format;
    int rate;
    int channels;
    int tolerance;  // LSBs from the reference; -1: only length, level and pitch are compared
  };
  const Case cases[] = {
      {"AIFF16.AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 1, 0},
      {"short.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2, 0},
      {"FLAC16.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 0},
      {"STEREO.WAV", kWav16, 44100, 2, 0},
      {"QUAD.WAV", kWav16, 44100, 4, 0},
      {"W24.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100, 1, 1},
      {"W32.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 44100, 2, 1},
      {"FLOAT.WAV", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 1},
      {"FLAC24.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, 1},
      {"R22050.WAV", kWav16, 22050, 1, -1},
      {"R48000.WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, -1},
      {"R96000.FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 96000, 1, -1},
      {"VORBIS.OGG", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, -1},
  };
  for (const Case& c : cases) {
    ToneFile t = tone;
    t.format = c.format;
    t.rate = c.rate;
    t.channels = c.channels;
    ASSERT_TRUE(write_tone(std::string("wav/") + c.name, t)) << c.name;
  }
  // A text chunk before the data, as most editors write.
  ToneFile titled = tone;
  titled.title = "kick from the session";
  ASSERT_TRUE(write_tone("wav/TITLED.WAV", titled));
  EXPECT_FALSE(check_wav_header("TITLED.WAV"));
  // Made by another program: 24-bit stereo AIFF at 48 kHz.
  const bool sox = test::have_sox();
  if (sox) {
    ASSERT_EQ(std::system("sox -q -n -r 48000 -c 2 -b 24 wav/SOX.AIFF synth 0.25 sine 441 vol 0.5"), 0);
  }
  // Not samples: a text file with a sample's extension, a name too long, another extension.
  ASSERT_TRUE(test::write_bytes("wav/NOTES.FLAC", {'h', 'e', 'l', 'l', 'o'}));
  ASSERT_TRUE(write_tone("wav/ABCDEFGHIJKLMNOPQRSTUVWXYZ012.WAV", tone));
  ASSERT_TRUE(write_tone("wav/TONE.RAW", ToneFile{SF_FORMAT_RAW | SF_FORMAT_PCM_16}));

  scan_wav_folder();
  EXPECT_EQ(wav_list.count, 15 + (sox ? 1 : 0));
  EXPECT_GE(find_wav("SHORT.AIF"), 0);  // upper case, as every name
  EXPECT_GE(find_wav("TITLED.WAV"), 0);
  EXPECT_EQ(find_wav("NOTES.FLAC"), -1);
  EXPECT_EQ(find_wav("TONE.RAW"), -1);
  EXPECT_EQ(find_wav("ABCDEFGHIJKLMNOPQRSTUVWXYZ012.WAV"), -1);

  const std::vector<float> ref = as_float(*load("REF.WAV"));
  ASSERT_EQ(ref.size(), 11025u);
  const double ref_hz = test::zero_crossing_frequency(ref.data(), static_cast<int>(ref.size()));
  const double ref_rms = test::rms(ref.data(), static_cast<int>(ref.size()));
  EXPECT_NEAR(ref_hz, 441.0, 0.5);

  std::vector<const char*> names = {"TITLED.WAV"};
  for (const Case& c : cases) names.push_back(c.name);
  if (sox) names.push_back("SOX.AIFF");
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const SampleData* s = load(name);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->bits, 16);
    EXPECT_FLOAT_EQ(s->rate_factor, 1.0f);  // every rate arrives at 44.1 kHz
    const std::vector<float> x = as_float(*s);
    int tolerance = -1;
    for (const Case& c : cases)
      if (std::string(c.name) == name) tolerance = c.tolerance;
    if (std::string(name) == "TITLED.WAV") tolerance = 0;
    if (tolerance >= 0) {
      ASSERT_EQ(x.size(), ref.size());
      float worst = 0.0f;
      for (std::size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::fabs(x[i] - ref[i]));
      EXPECT_LE(worst, static_cast<float>(tolerance));
    } else {
      EXPECT_NEAR(static_cast<double>(x.size()), 11025.0, 40.0);
      EXPECT_NEAR(test::rms(x.data() + 500, static_cast<int>(x.size()) - 1000), ref_rms, ref_rms * 0.02);
      EXPECT_LT(std::fabs(cents(test::zero_crossing_frequency(x.data(), static_cast<int>(x.size())), ref_hz)), 1.0);
    }
  }
}

TEST_F(SampleImportTest, EightBitFilesKeepTheCanonicalBytesInAnyContainer) {
  ToneFile t{SF_FORMAT_WAV | SF_FORMAT_PCM_U8};
  t.channels = 2;
  ASSERT_TRUE(write_tone("wav/U8.WAV", t));
  t.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_S8;
  ASSERT_TRUE(write_tone("wav/S8.AIFF", t));
  scan_wav_folder();
  const SampleData* canonical = load("U8.WAV");
  ASSERT_EQ(canonical->bits, 8);
  const std::vector<uint8_t> bytes(canonical->data8, canonical->data8 + canonical->length);
  const SampleData* aiff = load("S8.AIFF");
  ASSERT_EQ(aiff->bits, 8);
  ASSERT_EQ(aiff->length, static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(std::vector<uint8_t>(aiff->data8, aiff->data8 + aiff->length), bytes);
}

// A 48 kHz tone converted to 44.1 kHz keeps its pitch within a cent of the same tone recorded
// at 44.1 kHz, and lasts as long.
TEST_F(SampleImportTest, RateConversionKeepsPitchWithinACent) {
  ToneFile t{kWav16};
  t.seconds = 1.0;
  t.hz = 1000.0;
  ASSERT_TRUE(write_tone("wav/A44.WAV", t));
  t.rate = 48000;
  ASSERT_TRUE(write_tone("wav/A48.WAV", t));
  scan_wav_folder();
  const std::vector<float> a44 = as_float(*load("A44.WAV"));
  const std::vector<float> a48 = as_float(*load("A48.WAV"));
  EXPECT_NEAR(static_cast<double>(a48.size()), 44100.0, 2.0);
  const double f44 = test::zero_crossing_frequency(a44.data(), static_cast<int>(a44.size()));
  const double f48 = test::zero_crossing_frequency(a48.data(), static_cast<int>(a48.size()));
  EXPECT_LT(std::fabs(cents(f48, f44)), 1.0) << f48 << " Hz against " << f44 << " Hz";
}

// A damaged FLAC and an AIFF cut short are listed (their headers are fine) but refused on load:
// the track keeps playing the sample it had, under its number.
TEST_F(SampleImportTest, DamagedFilesAreRefusedAndTheOldSampleKept) {
  ASSERT_TRUE(write_tone("wav/GOOD.WAV", ToneFile{kWav16}));
  ToneFile t{SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
  t.seconds = 1.0;
  ASSERT_TRUE(write_tone("wav/BROKEN.FLAC", t));
  std::vector<uint8_t> flac = test::read_bytes("wav/BROKEN.FLAC");
  for (std::size_t i = flac.size() / 3; i < flac.size() / 3 + 400; ++i) flac[i] ^= 0x5a;
  ASSERT_TRUE(test::write_bytes("wav/BROKEN.FLAC", flac));
  t.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
  ASSERT_TRUE(write_tone("wav/CUT.AIFF", t));
  std::filesystem::resize_file("wav/CUT.AIFF", std::filesystem::file_size("wav/CUT.AIFF") / 2);
  scan_wav_folder();
  const int good = find_wav("GOOD.WAV");
  ASSERT_GE(good, 0);
  ASSERT_EQ(edit_load_track_sample(0, good, 0), kWavLoaded);
  const SampleData* before = wav_sample(0);
  for (const char* name : {"BROKEN.FLAC", "CUT.AIFF"}) {
    SCOPED_TRACE(name);
    const int k = find_wav(name);
    ASSERT_GE(k, 0);
    EXPECT_EQ(edit_load_track_sample(0, k, good), kWavNotLoaded);
    EXPECT_EQ(wav_sample(0), before);
    EXPECT_STREQ(wav_sample(0)->name, "GOOD.WAV");
    EXPECT_EQ(song.param_slot[0][0].lane[0], static_cast<float>(good));
  }
  // The same refusal from a file image, with the library's reason.
  const DecodedSample d = decode_sample_bytes(flac.data(), flac.size());
  EXPECT_EQ(d.sample, nullptr);
  EXPECT_FALSE(d.reason.empty());
}

}  // namespace
}  // namespace zorbel
