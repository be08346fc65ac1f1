// custom.zbi: reading one template, rewriting it with every other line kept byte for byte,
// refusing a file without its end marker, and the four shipped templates.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "edit/edit.h"
#include "engine/song.h"
#include "files/custom_template_file.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytes_of(const std::string& text) { return {text.begin(), text.end()}; }

void set_list(std::initializer_list<int> types) {
  for (int16_t& slot : custom_template_list) slot = -1;
  int i = 0;
  for (int type : types) custom_template_list[i++] = static_cast<int16_t>(type);
}

class CustomTemplateTest : public test::EngineTest {
 protected:
  test::TempWorkdir dir;
};

TEST_F(CustomTemplateTest, RewritingOneTemplateKeepsEveryOtherLineByteForByte) {
  // Mixed line ends, a heading, a template with more than 16 names and KSBD, lines after the end.
  const std::string head = "MY TEMPLATES\nSTART_CUSTOM0\r\nFMSVF\nNOISE\r\nEND_CUSTOM0\n";
  std::string many = "START_CUSTOM1\r\nKSBD\r\n";
  for (int i = 0; i < 18; ++i) many += i % 2 ? "BAM\r\n" : "ROTPCF\n";
  const std::string tail = "END_CUSTOM1\r\nSTART_CUSTOM3\nKS\nEND_CUSTOM3\nEND_ZORBEL_SYNTH_INIT\r\nnotes\n";
  const std::string original = head + many + tail;
  ASSERT_TRUE(test::write_bytes("seq/custom.zbi", bytes_of(original)));

  ASSERT_TRUE(load_custom_template(0));
  EXPECT_EQ(custom_template_list[0], 23);  // FMSVF, not FM
  EXPECT_EQ(custom_template_list[1], 32);  // any name starting with N is the noise synth
  EXPECT_EQ(custom_template_list[2], -1);
  ASSERT_TRUE(load_custom_template(1));
  EXPECT_EQ(custom_template_list[0], 52);   // KSBD is passed over
  EXPECT_EQ(custom_template_list[15], 0);
  EXPECT_EQ(custom_template_list[16], -1);  // only 16 are used
  ASSERT_TRUE(load_custom_template(2));     // absent: empty
  EXPECT_EQ(custom_template_list[0], -1);

  set_list({39, 7});
  ASSERT_TRUE(save_custom_template(1));
  EXPECT_EQ(test::read_bytes("seq/custom.zbi"),
            bytes_of(head + "START_CUSTOM1\r\nNSVF\r\nBAMSVF\r\nEND_CUSTOM1\r\n" + tail.substr(13)));
  // A template the file lacks is added before the end marker.
  set_list({24});
  ASSERT_TRUE(save_custom_template(2));
  const std::string expected = head + "START_CUSTOM1\r\nNSVF\r\nBAMSVF\r\nEND_CUSTOM1\r\n" +
                               "START_CUSTOM3\nKS\nEND_CUSTOM3\n" +
                               "START_CUSTOM2\r\nKS\r\nEND_CUSTOM2\r\nEND_ZORBEL_SYNTH_INIT\r\nnotes\n";
  EXPECT_EQ(test::read_bytes("seq/custom.zbi"), bytes_of(expected));
  ASSERT_TRUE(load_custom_template(2));
  EXPECT_EQ(custom_template_list[0], 24);

  // Without its end marker the file is refused: nothing loaded, nothing written.
  const std::vector<uint8_t> unfinished = bytes_of("START_CUSTOM0\nBAM\nEND_CUSTOM0\n");
  ASSERT_TRUE(test::write_bytes("seq/custom.zbi", unfinished));
  std::string reason;
  EXPECT_FALSE(load_custom_template(0, &reason));
  EXPECT_EQ(custom_template_list[0], -1);
  set_list({0});
  EXPECT_FALSE(save_custom_template(0, &reason));
  EXPECT_EQ(test::read_bytes("seq/custom.zbi"), unfinished);
}

// The shipped templates each hold several synths within the budget and build a song; a template
// above 100.0 is refused and leaves the file and the song alone.
TEST_F(CustomTemplateTest, ShippedTemplatesBuildAndOverloadIsRefused) {
  fs::copy_file(fs::path(ZORBEL_SOURCE_DIR) / "seq" / "custom.zbi", "seq/custom.zbi");
  for (int n = 0; n < kCustomTemplateCount; ++n) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(load_custom_template(n));
    EXPECT_LE(custom_template_cost_tenths(custom_template_list), kCostBudgetTenths);
    int count = 0;
    while (count < 16 && custom_template_list[count] >= 0) ++count;
    EXPECT_GE(count, 8);
    edit_loop_name(7, "RENAME");
    ASSERT_EQ(edit_build_custom_template(n, nullptr), EditResult::kOk);
    EXPECT_EQ(song.track_count, count);
    for (int t = 0; t < count; ++t) EXPECT_EQ(song.synth_type[t], custom_template_list[t]);
    EXPECT_STREQ(song.loop_name[7], "07");
  }
  const std::vector<uint8_t> before = test::read_bytes("seq/custom.zbi");
  set_list({15, 15, 15, 15, 15, 15, 15, 15, 15});  // 9 x 12.1
  EXPECT_EQ(edit_build_custom_template(0, nullptr), EditResult::kCostOverload);
  set_list({});
  EXPECT_EQ(edit_build_custom_template(0, nullptr), EditResult::kBadArgument);
  EXPECT_EQ(test::read_bytes("seq/custom.zbi"), before);
  EXPECT_EQ(song.synth_type[0], 0);  // still the last template built
}

}  // namespace
}  // namespace zorbel
