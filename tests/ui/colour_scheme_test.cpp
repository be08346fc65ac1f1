// The colour slots, channel packing, and loading and saving presets of the colour file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/colour_scheme.h"

namespace zorbel::test {
namespace {

namespace fs = std::filesystem;

const fs::path kShippedFile = fs::path(ZORBEL_SOURCE_DIR) / "seq" / "colors.zbc";

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Lines without their CR LF ending.
std::vector<std::string> split_crlf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "text after the last CR LF";
  return lines;
}

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

int colour_line(int preset, int slot) { return 2 + kColourPresetLines * preset + slot; }

TEST(ColourPacking, ChannelsPackAndUnpack) {
  EXPECT_EQ(rgb_to_565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(rgb_to_565(248, 252, 248), 0xFFFF);
  EXPECT_EQ(rgb_to_565(0, 0, 0), 0x0000);
  EXPECT_EQ(rgb_to_565(248, 28, 24), 0xF8E3);
  EXPECT_EQ(rgb_to_565(7, 3, 7), 0x0000);  // below one step of each channel
  EXPECT_EQ(rgb565_channels(0xF8E3), 31u | (7u << 8) | (3u << 16));
  EXPECT_EQ(rgb565_channels(0xFFFF), 31u | (63u << 8) | (31u << 16));
  for (uint32_t v = 0; v <= 0xFFFF; v += 97) {
    const uint32_t c = rgb565_channels(static_cast<uint16_t>(v));
    EXPECT_EQ(rgb_to_565((c & 0xFF) * 8, ((c >> 8) & 0xFF) * 4, ((c >> 16) & 0xFF) * 8), v);
  }
}

TEST(ColourPacking, NudgedChannelsStayWithinTheirRange) {
  const uint16_t almost_red = rgb_to_565(248, 100, 40);
  const uint16_t red_up = nudge_colour_channel(almost_red, kChannelRed, 8);
  EXPECT_EQ(rgb565_channels(red_up) & 0xFF, 31u);  // 256 is held at 255, still 31
  EXPECT_EQ(red_up & 0x07FF, almost_red & 0x07FF);  // green and blue untouched
  EXPECT_EQ(nudge_colour_channel(rgb_to_565(0, 4, 0), kChannelGreen, -8), 0x0000);
  EXPECT_EQ(nudge_colour_channel(rgb_to_565(0, 0, 16), kChannelBlue, 8), rgb_to_565(0, 0, 24));
  EXPECT_EQ(nudge_colour_channel(rgb_to_565(0, 0, 16), kChannelBlue, -8), rgb_to_565(0, 0, 8));
}

TEST(ColourSlots, BuiltInSchemeFillsActiveAndDefaultTables) {
  EXPECT_EQ(std::string(kColourSlotNames[kSlotActiveStep]).substr(0, 12), "ACTIVE STEP ");
  EXPECT_EQ(std::strlen(kColourSlotNames[0]) + 1, static_cast<size_t>(kColourSlotNameWidth));
  EXPECT_EQ(kColourSlotNames[kColourSlotCount][0], '~');
  EXPECT_EQ(kBuiltInColours[kSlotBackground], 0x0000);
  EXPECT_EQ(kBuiltInColours[kSlotOscilliscope], 0x5555);
  EXPECT_EQ(kBuiltInColours[kSlotSequencerCopy], 0x9B20);
  EXPECT_TRUE(std::equal(colour_scheme.defaults, colour_scheme.defaults + kColourSlotCount,
                         kBuiltInColours));
}

// Every test starts in the built-in colours in a fresh working directory with ./seq/.
class ColourFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_dir_ = fs::current_path();
    char pattern[] = "/tmp/zorbel-colours-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "seq");
    fs::current_path(dir_);
    restore_default_colours();
  }
  void TearDown() override {
    fs::current_path(previous_dir_);
    fs::remove_all(dir_);
    restore_default_colours();
  }

  void install_shipped_file() { fs::copy_file(kShippedFile, file_); }
  std::vector<uint16_t> active() const {
    return {colour_scheme.active, colour_scheme.active + kColourSlotCount};
  }

  fs::path previous_dir_;
  fs::path dir_;
  const fs::path file_ = "seq/colors.zbc";
};

TEST_F(ColourFileTest, ShippedFileHoldsEightLegiblePresets) {
  const std::vector<std::string> lines = split_crlf(read_bytes(kShippedFile));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kColourFileLines));
  install_shipped_file();
  for (int p = 0; p < kColourPresetCount; ++p) {
    EXPECT_EQ(lines[1 + kColourPresetLines * p][0], 'C') << "name line of preset " << p;
    ASSERT_EQ(load_colour_preset(p), ColourFileStatus::kDone) << p;
    if (p == 0) {
      EXPECT_EQ(active(), std::vector<uint16_t>(kBuiltInColours, kBuiltInColours + 20));
    }
    // Every slot stands out from the background; menu texts from the menu background.
    auto far_apart = [](uint16_t a, uint16_t b) {
      const uint32_t ca = rgb565_channels(a), cb = rgb565_channels(b);
      const int dr = std::abs(int(ca & 0xFF) - int(cb & 0xFF)) * 8;
      const int dg = std::abs(int((ca >> 8) & 0xFF) - int((cb >> 8) & 0xFF)) * 4;
      const int db = std::abs(int((ca >> 16) & 0xFF) - int((cb >> 16) & 0xFF)) * 8;
      return std::max({dr, dg, db}) >= 48;
    };
    for (int slot = 1; slot < kColourSlotCount; ++slot) {
      if (slot == kSlotMenuBackground) continue;
      EXPECT_TRUE(far_apart(colour_scheme.active[slot], colour_scheme.active[kSlotBackground]))
          << "preset " << p << " slot " << slot;
    }
    for (int slot : {kSlotActiveMenuText, kSlotInactiveMenuText, kSlotInterpolateText}) {
      EXPECT_TRUE(far_apart(colour_scheme.active[slot], colour_scheme.active[kSlotMenuBackground]))
          << "preset " << p << " slot " << slot;
    }
  }
}

TEST_F(ColourFileTest, WhiteLoadsAsFFFFAndSavesBackAs248_252_248) {
  install_shipped_file();
  std::vector<std::string> lines = split_crlf(read_bytes(file_));
  lines[colour_line(2, 5)] = "255 255 255";
  write_bytes(file_, join_crlf(lines));

  ASSERT_EQ(load_colour_preset(2), ColourFileStatus::kDone);
  EXPECT_EQ(colour_scheme.active[5], 0xFFFF);
  ASSERT_EQ(save_colour_preset(2), ColourFileStatus::kDone);
  EXPECT_EQ(split_crlf(read_bytes(file_))[colour_line(2, 5)], "248 252 248");
}

TEST_F(ColourFileTest, SavingPresetSevenKeepsTheFirst149LinesAndAll169) {
  install_shipped_file();
  const std::vector<std::string> before = split_crlf(read_bytes(file_));
  for (int slot = 0; slot < kColourSlotCount; ++slot) {
    colour_scheme.active[slot] = static_cast<uint16_t>(0x1111 * (slot % 16) + slot);
  }
  ASSERT_EQ(save_colour_preset(7), ColourFileStatus::kDone);
  const std::vector<std::string> after = split_crlf(read_bytes(file_));
  ASSERT_EQ(after.size(), 169u);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 149, after.begin()));
  const std::vector<uint16_t> saved = active();
  restore_default_colours();
  ASSERT_EQ(load_colour_preset(7), ColourFileStatus::kDone);
  EXPECT_EQ(active(), saved);
}

TEST_F(ColourFileTest, SavingAMiddlePresetRewritesOnlyItsTwentyLines) {
  install_shipped_file();
  const std::vector<std::string> before = split_crlf(read_bytes(file_));
  colour_scheme.active[0] = rgb_to_565(8, 12, 16);
  colour_scheme.active[19] = rgb_to_565(200, 100, 50);
  ASSERT_EQ(save_colour_preset(3), ColourFileStatus::kDone);
  const std::vector<std::string> after = split_crlf(read_bytes(file_));
  ASSERT_EQ(after.size(), before.size());
  for (int i = 0; i < kColourFileLines; ++i) {
    const bool in_preset = i >= colour_line(3, 0) && i <= colour_line(3, 19);
    if (!in_preset) {
      EXPECT_EQ(after[i], before[i]) << "line " << i;
    }
  }
  EXPECT_EQ(after[colour_line(3, 0)], "8 12 16");
  EXPECT_EQ(after[colour_line(3, 19)], "200 100 48");
  EXPECT_FALSE(fs::exists("seq/colors.zbc.tmp"));
}

TEST_F(ColourFileTest, MissingFileChangesNothingAndIsNotCreated) {
  colour_scheme.active[3] = 0x1234;
  const std::vector<uint16_t> before = active();
  EXPECT_EQ(load_colour_preset(1), ColourFileStatus::kMissing);
  EXPECT_EQ(save_colour_preset(1), ColourFileStatus::kMissing);
  EXPECT_EQ(active(), before);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(ColourFileTest, PresetNumbersOutsideZeroToSevenAreRefused) {
  install_shipped_file();
  const std::string bytes = read_bytes(file_);
  for (int preset : {-1, 8, 1000}) {
    EXPECT_EQ(load_colour_preset(preset), ColourFileStatus::kBadPreset);
    EXPECT_EQ(save_colour_preset(preset), ColourFileStatus::kBadPreset);
  }
  EXPECT_EQ(read_bytes(file_), bytes);
}

TEST_F(ColourFileTest, DamagedFilesChangeNeitherTheColoursNorTheFile) {
  const std::vector<std::string> good = split_crlf(read_bytes(kShippedFile));
  // Damage to the file's structure stops saving as well; a bad colour line only stops loading,
  // since saving that preset replaces it.
  struct Damage {
    const char* what;
    std::string bytes;
    bool structural;
  };
  auto with_line = [&](int index, const std::string& text) {
    std::vector<std::string> lines = good;
    lines[index] = text;
    return join_crlf(lines);
  };
  std::vector<std::string> short_lines(good.begin(), good.begin() + 100);
  const Damage damages[] = {
      {"empty file", "", true},
      {"short file", join_crlf(short_lines), true},
      {"overlong line", with_line(colour_line(5, 4), std::string(5000, '7')), true},
      {"name line without C", with_line(1 + kColourPresetLines * 5, "PRESET 5"), true},
      {"binary bytes", std::string("\0\x01\xff\r\n\n\n", 7) + std::string(300, '\xfe'), true},
      {"letters in a colour", with_line(colour_line(5, 4), "12 abc 4"), false},
      {"channel above 255", with_line(colour_line(5, 4), "300 0 0"), false},
      {"channel far above 255", with_line(colour_line(5, 4), "0 99999999999999999999 0"), false},
      {"two separators", with_line(colour_line(5, 4), "1  2 3"), false},
      {"missing blue", with_line(colour_line(5, 4), "10 20"), false},
      {"empty colour line", with_line(colour_line(5, 4), ""), false},
      {"sign", with_line(colour_line(5, 4), "-8 0 0"), false},
  };
  for (const Damage& damage : damages) {
    write_bytes(file_, damage.bytes);
    colour_scheme.active[7] = 0xABCD;
    const std::vector<uint16_t> before = active();
    EXPECT_EQ(load_colour_preset(5), ColourFileStatus::kMalformed) << damage.what;
    EXPECT_EQ(active(), before) << damage.what;
    EXPECT_FALSE(fs::exists("seq/colors.zbc.tmp")) << damage.what;
    if (damage.structural) {
      EXPECT_EQ(save_colour_preset(5), ColourFileStatus::kMalformed) << damage.what;
      EXPECT_EQ(read_bytes(file_), damage.bytes) << damage.what;
      EXPECT_FALSE(fs::exists("seq/colors.zbc.tmp")) << damage.what;
    } else {
      // The bad line is replaced; loading works again.
      EXPECT_EQ(save_colour_preset(5), ColourFileStatus::kDone) << damage.what;
      EXPECT_EQ(load_colour_preset(5), ColourFileStatus::kDone) << damage.what;
      EXPECT_EQ(active(), before) << damage.what;
    }
  }
}

TEST_F(ColourFileTest, LinesPastTheFormatAreNeitherDroppedNorRewritten) {
  std::vector<std::string> lines = split_crlf(read_bytes(kShippedFile));
  lines.push_back("NOTES THE USER KEPT HERE");
  const std::string bytes = join_crlf(lines);
  write_bytes(file_, bytes);
  EXPECT_EQ(load_colour_preset(7), ColourFileStatus::kDone);
  EXPECT_EQ(save_colour_preset(7), ColourFileStatus::kMalformed);
  EXPECT_EQ(read_bytes(file_), bytes);
}

TEST_F(ColourFileTest, OtherPresetsStillLoadBesideADamagedOne) {
  std::vector<std::string> lines = split_crlf(read_bytes(kShippedFile));
  lines[colour_line(5, 4)] = "oops";
  write_bytes(file_, join_crlf(lines));
  EXPECT_EQ(load_colour_preset(4), ColourFileStatus::kDone);
  EXPECT_EQ(load_colour_preset(6), ColourFileStatus::kDone);
  EXPECT_EQ(load_colour_preset(5), ColourFileStatus::kMalformed);
}

TEST_F(ColourFileTest, AnyNonDigitSeparatesAndTrailingTextIsIgnored) {
  std::vector<std::string> lines = split_crlf(read_bytes(kShippedFile));
  lines[colour_line(1, 0)] = "8,12;16";
  lines[colour_line(1, 1)] = "248 0 24 trailing words";
  lines[colour_line(1, 2)] = "0255 000000064 08";  // decimal numbers may carry leading zeros
  write_bytes(file_, join_crlf(lines));
  ASSERT_EQ(load_colour_preset(1), ColourFileStatus::kDone);
  EXPECT_EQ(colour_scheme.active[0], rgb_to_565(8, 12, 16));
  EXPECT_EQ(colour_scheme.active[1], rgb_to_565(248, 0, 24));
  EXPECT_EQ(colour_scheme.active[2], rgb_to_565(255, 64, 8));
}

TEST_F(ColourFileTest, LineFeedOnlyFileLoadsAndIsSavedWithCrLf) {
  const std::vector<std::string> lines = split_crlf(read_bytes(kShippedFile));
  std::string lf_only;
  for (const std::string& line : lines) lf_only += line + "\n";
  write_bytes(file_, lf_only);
  ASSERT_EQ(load_colour_preset(6), ColourFileStatus::kDone);
  const std::vector<uint16_t> loaded = active();
  ASSERT_EQ(save_colour_preset(6), ColourFileStatus::kDone);
  EXPECT_EQ(split_crlf(read_bytes(file_)), lines);
  restore_default_colours();
  ASSERT_EQ(load_colour_preset(6), ColourFileStatus::kDone);
  EXPECT_EQ(active(), loaded);
}

TEST_F(ColourFileTest, DefaultsEditingAndConfirmationMoveBetweenTheTables) {
  install_shipped_file();
  ASSERT_EQ(load_colour_preset(3), ColourFileStatus::kDone);
  const std::vector<uint16_t> paper = active();
  colour_scheme.clipboard = 0x1234;
  begin_colour_editing();
  EXPECT_EQ(colour_scheme.clipboard, 0);
  EXPECT_TRUE(std::equal(paper.begin(), paper.end(), colour_scheme.working));
  colour_scheme.working[4] = 0x0F0F;
  EXPECT_EQ(active(), paper);  // editing alone changes nothing on screen
  apply_working_colours();
  EXPECT_EQ(colour_scheme.active[4], 0x0F0F);
  restore_default_colours();
  EXPECT_EQ(active(), std::vector<uint16_t>(kBuiltInColours, kBuiltInColours + 20));
}

}  // namespace
}  // namespace zorbel::test
