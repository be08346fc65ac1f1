// Preset files: the template MAKE PRESET FILE writes, the checked reader, SAVE PRESET's rewrite,
// the lookup by synth name, and the shipped presets playing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/builtin_sounds.h"
#include "engine/clock.h"
#include "edit/edit.h"
#include "engine/mixer.h"
#include "engine/song_templates.h"
#include "files/platform_dir.h"
#include "files/custom_template_file.h"
#include "files/preset_file.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"
#include "tests/support/shipped_files.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

namespace fs = std::filesystem;

std::string text_of(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

class PresetFileTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
};

// The value lines of every preset, as the format's tables give them: family part, variant part,
// common part, frequency mode.
TEST_F(PresetFileTest, MakePresetFileWritesTheTemplateValuesLineForLine) {
  const std::string common = "1.0 0.0 1.0 1.0 0.5 0.0 2.0 0.0 0.5 0.0 0.999 0.0 0.5 ";
  const std::string wav_common = "0.0 0.0 0.001 0.001 0.999 32000.0 1.0 0.0 0.5 0.0 0.999 0.0 0.5 ";
  const struct {
    int type;
    std::string values;
  } cases[] = {
      {7, "0.0 52.0 1.0 1.0 20.0 0.0 1.0 20.0 0.0 0.5 0.0 0.0 0.0 0.0 1.0 0.25 0.25 1.0 1.0 " +
              common + "1.0"},
      {8, "0.0 0.0 52.0 1.0 1.0 0.0 0.0 1.0 0.0 0.0 0.5 0.0 0.0 0.0 1.0 0.0 0.0 0.0 0.0 2.0 0.0 "
          "0.0 1.0 0.0 0.0 0.5 0.0 0.0 1.0 1.0 0.5 0.0 2.0 " + common + "1.0"},
      {19, "0.0 52.0 1.0 1.0 0.0 0.0 0.0 1.0 0.0 1.0 1.0 0.5 0.0 2.0 0.0 2.0 0.0 0.0 0.0 0.0 "
           "0.0 21845.0 1.0 " + common + "1.0"},
      {26, "1.0 1.0 1.0 0.501 52.0 1.0 1.0 0.0 0.0 5.0 32.0 1.0 " + common + "1.0"},
      {37, "1.0 1.0 1.0 0.2 " + common + "3.0"},
      {44, "52.0 1.0 1.0 0.5 1.0 0.5 0.5 0.0 0.0 0.0 0.5 1.0 " + common + "1.0"},
      {54, "52.0 1.0 1.0 1.0 15432.0 0.0 0.0 0.0 1.0 " + common + "1.0"},
      // WAVMSK's effect is MSK: its defaults, not those of the DEC slot of the other engines.
      {58, "0.0 0.0 64.0 1.0 1.0 1.0 0.0 1.0 0.0 0.0 0.0 0.0 21845.0 1.0 " + wav_common + "3.0"},
  };
  for (const auto& c : cases) {
    const char* name = type_name_from_code(c.type);
    SCOPED_TRACE(name);
    ASSERT_TRUE(make_preset_file(c.type, "BASS"));
    const std::string file = std::string(name) + ".BASS.preset.zbl";
    const std::string text = text_of(test::read_bytes(std::string("presets/") + file));
    const std::vector<std::string> lines = words(text);
    const std::vector<std::string> values = words(c.values);
    const int per_preset = static_cast<int>(values.size()) + 1;
    ASSERT_EQ(lines.size(), 64u * per_preset + 2);
    EXPECT_EQ(static_cast<int>(lines.size()), preset_file_line_count(c.type));
    EXPECT_EQ(text.find('\r'), std::string::npos);  // LF line ends
    EXPECT_EQ(lines.front(), std::string("START_PRESET_SYNTH_") + name);
    EXPECT_EQ(lines.back(), std::string("END_PRESET_SYNTH_") + name);
    for (int p = 0; p < 64; ++p) {
      // Two digits: PRESET00 .. PRESET09, then PRESET10 .. PRESET63.
      EXPECT_EQ(lines[1 + p * per_preset], "PRESET" + std::string(p < 10 ? "0" : "") + std::to_string(p));
      for (std::size_t v = 0; v < values.size(); ++v)
        ASSERT_EQ(lines[2 + p * per_preset + v], values[v]) << "preset " << p << " value " << v;
    }
    // The reader takes the file back for its own type and refuses it for another.
    PresetFile read;
    std::string reason;
    ASSERT_TRUE(read_preset_file(file.c_str(), c.type, read, &reason)) << reason;
    EXPECT_EQ(read.names[63], "PRESET63");
    EXPECT_EQ(read.presets[9].count, type_param_count(c.type));
    EXPECT_FALSE(read_preset_file(file.c_str(), c.type == 7 ? 6 : 7, read, &reason));
  }
}

// SAVE PRESET keeps the sign of every value and every other line of the file; values read are
// clamped to their ranges; damaged files are refused and stay as they were.
TEST_F(PresetFileTest, SavedValuesKeepTheirSignAndDamagedFilesAreRefusedUntouched) {
  const int wav = 56;  // RDSPEED (parameter 3) may be negative
  ASSERT_TRUE(make_preset_file(wav, "SIGNS"));
  const char* file = "WAV.SIGNS.preset.zbl";
  PresetValues values;
  values.count = type_param_count(wav);
  for (int q = 0; q < values.count; ++q) values.values[q] = type_param(wav, q)->def;
  values.values[3] = -0.5f;
  values.freq_mode = 3;
  ASSERT_TRUE(save_preset(file, wav, 5, "REVERSE", values));
  PresetFile read;
  ASSERT_TRUE(read_preset_file(file, wav, read));
  EXPECT_EQ(read.names[5], "REVERSE");
  EXPECT_EQ(read.presets[5].values[3], -0.5f);
  EXPECT_EQ(read.presets[4].values[3], 1.0f);
  EXPECT_EQ(read.names[6], "PRESET06");
  const std::string text = text_of(test::read_bytes(std::string("presets/") + file));
  EXPECT_NE(text.find("REVERSE\r\n0.000000\r\n0.000000\r\n64.000000\r\n-0.500000\r\n"),
            std::string::npos);

  // Out-of-range values come back clamped; a pitch follows the mode the preset was saved in.
  std::string edited = text;
  edited.replace(edited.find("-0.500000"), 9, "-99");
  ASSERT_TRUE(test::write_bytes(std::string("presets/") + file,
                                std::vector<uint8_t>(edited.begin(), edited.end())));
  ASSERT_TRUE(read_preset_file(file, wav, read));
  EXPECT_EQ(read.presets[5].values[3], -20.0f);
  const int bam = 0;
  std::string bam_text = preset_template_text(bam);
  bam_text.replace(bam_text.find("\n52.0\n") + 1, 4, "9000");  // FREQ1 of preset 0, MIDI mode
  std::string abs_text = bam_text;
  abs_text.replace(abs_text.find("\n1.0\nPRESET01\n") + 1, 3, "0.0");  // preset 0 saved in ABS
  std::string reason;
  ASSERT_TRUE(parse_preset_file(reinterpret_cast<const uint8_t*>(bam_text.data()), bam_text.size(),
                                bam, read, reason)) << reason;
  EXPECT_EQ(read.presets[0].values[1], 127.0f);
  EXPECT_EQ(read.presets[0].freq_mode, 1);
  ASSERT_TRUE(parse_preset_file(reinterpret_cast<const uint8_t*>(abs_text.data()), abs_text.size(),
                                bam, read, reason)) << reason;
  EXPECT_EQ(read.presets[0].values[1], 9000.0f);
  EXPECT_EQ(read.presets[0].freq_mode, 0);

  // Refused: a line short, a value that is no number, no end marker. Nothing is written.
  const std::string wrong_count = bam_text.substr(0, bam_text.rfind("1.0\nEND")) + "END_PRESET_SYNTH_BAM\n";
  std::string not_a_number = bam_text;
  not_a_number.replace(not_a_number.find("\n0.5\n") + 1, 3, "1,5");
  std::string no_end = bam_text;
  no_end.replace(no_end.find("END_PRESET"), 3, "FIN");
  for (const std::string& bad : {wrong_count, not_a_number, no_end}) {
    const std::vector<uint8_t> bytes(bad.begin(), bad.end());
    EXPECT_FALSE(parse_preset_file(bytes.data(), bytes.size(), bam, read, reason));
    ASSERT_TRUE(test::write_bytes("presets/BAM.BAD.preset.zbl", bytes));
    EXPECT_FALSE(save_preset("BAM.BAD.preset.zbl", bam, 0, "NEW", read.presets[1], &reason));
    EXPECT_EQ(test::read_bytes("presets/BAM.BAD.preset.zbl"), bytes);
  }
}

TEST_F(PresetFileTest, FilesAreOfferedToTheSynthWhoseNameIsFollowedByAPoint) {
  for (const char* name : {"FMSVF.BASS.preset.zbl", "fm.lead.preset.zbl", "FM.ARP.preset.zbl",
                           "FMSVFX.ODD.preset.zbl", "BAM.A-VERY-LONG-NAME-THAT-IS-NOT-LISTED.zbl"})
    ASSERT_TRUE(test::write_bytes(std::string("presets/") + name, {'x'}));
  const std::vector<std::string> files = scan_presets();
  ASSERT_EQ(files, (std::vector<std::string>{"FM.ARP.preset.zbl", "fm.lead.preset.zbl",
                                             "FMSVF.BASS.preset.zbl", "FMSVFX.ODD.preset.zbl"}));
  EXPECT_EQ(preset_files_for_synth(files, "FMSVF1"), std::vector<int>{2});
  EXPECT_EQ(preset_files_for_synth(files, "FM12"), (std::vector<int>{0, 1}));
  EXPECT_TRUE(preset_files_for_synth(files, "BAM1").empty());
  EXPECT_EQ(preset_file_label(files[2]), "BASS");
  // The start marker names FMSVF, not FM: the longer name is matched first.
  const std::string text = preset_template_text(23);
  PresetFile read;
  std::string reason;
  ASSERT_TRUE(parse_preset_file(reinterpret_cast<const uint8_t*>(text.data()), text.size(), -1,
                                read, reason));
  EXPECT_EQ(read.type, 23);
}

// Every shipped preset file reads; it holds the built-in sounds of its type, then designed
// sounds, each different from the others and audible; the rest are the defaults.
TEST_F(PresetFileTest, ShippedPresetsLoadAndTheirSoundsPlay) {
  const std::vector<std::string> files = test::copy_shipped_presets();
  ASSERT_FALSE(files.empty());
  std::set<int> shipped;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    PresetFile presets;
    std::string reason;
    ASSERT_TRUE(read_preset_file(file.c_str(), -1, presets, &reason)) << reason;
    shipped.insert(presets.type);
    custom_template_list[0] = static_cast<int16_t>(presets.type);
    for (int i = 1; i < kCustomTemplateSlots; ++i) custom_template_list[i] = -1;
    ASSERT_EQ(edit_new_custom_song(), EditResult::kOk);
    for (int s = 0; s < MAX_STEPS; s += 16) {
      edit_step_trig(0, 0, s, 100);
      edit_step_vol(0, 0, s, 0.5f);
    }
    int builtin = 0;
    for (const BuiltinSound& sound : kBuiltinSounds) builtin += sound.type == presets.type;
    std::set<std::vector<float>> sounds;
    for (int p = 0; p < kPresetsPerFile; ++p) {
      const PresetValues& preset = presets.presets[p];
      if (presets.names[p].rfind("PRESET", 0) == 0) {
        EXPECT_GE(p, builtin + 3) << "fewer than three designed sounds";
        continue;
      }
      SCOPED_TRACE(presets.names[p]);
      EXPECT_TRUE(sounds.insert(std::vector<float>(preset.values, preset.values + preset.count)).second)
          << "the same values as an earlier preset";
      ASSERT_EQ(edit_apply_preset(0, preset, PresetRange::kSong, 0, 0, false), EditResult::kOk);
      transport_restart();
      static float out[2 * kBufferFrames];
      std::vector<float> left;
      for (int b = 0; b < 44; ++b) {  // one second: 16 steps at 120 BPM
        ASSERT_TRUE(render_buffer(out));
        left.insert(left.end(), out, out + 2 * kBufferFrames);
      }
      ASSERT_TRUE(test::all_finite(left.data(), static_cast<int>(left.size())));
      EXPECT_GT(test::rms(left.data(), static_cast<int>(left.size())), 0.003);
    }
  }
  // Every type the built-in templates and the shipped custom templates use has its file.
  for (const SongTemplate& t : kSongTemplates)
    for (int i = 0; i < t.count; ++i) EXPECT_TRUE(shipped.count(t.entries[i].type)) << t.name << " " << i;
  fs::copy_file(fs::path(ZORBEL_SOURCE_DIR) / "seq" / kCustomTemplateFile,
                fs::path("seq") / kCustomTemplateFile);
  for (int n = 0; n < kCustomTemplateCount; ++n) {
    ASSERT_TRUE(load_custom_template(n));
    for (int i = 0; i < kCustomTemplateSynths && custom_template_list[i] >= 0; ++i)
      EXPECT_TRUE(shipped.count(custom_template_list[i]))
          << "CUSTOM" << n << " " << type_name_from_code(custom_template_list[i]);
  }
}

}  // namespace
}  // namespace zorbel
