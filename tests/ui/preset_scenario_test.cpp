// The preset screens and the custom-template editor as a person uses them: making a preset
// file, finding a synth's files by name, previewing and loading a preset over one step, saving a
// sound and loading it back, and editing a template within the processor budget.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "edit/edit.h"
#include "engine/song_templates.h"
#include "files/custom_template_file.h"
#include "files/preset_file.h"
#include "engine/synth_tracks.h"
#include "tests/ui/drive_test_support.h"
#include "ui/screens/custom_template_screen.h"
#include "ui/widgets/editor_state.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFm = 16, kFmsvf = 23, kKsdec = 26, kWav = 56, kBfmsvf = 15, kNsvf = 39;

// From step edit into the SYNTH menu's item (3 MAKE PRESET FILE, 4 LOAD PRESET, 5 SAVE PRESET).
std::string synth_menu_item(int item) {
  std::string script = "press START\n press D-UP\n press X\n";
  for (int i = 0; i < item; ++i) script += "press D-DN\n";
  return script + "press X\n";
}

class PresetScenario : public DriveTest {
 protected:
  // The prompt box's text, centred on the screen.
  static ::testing::AssertionResult prompt_shows(const char* text,
                                                 int colour_slot = kSlotActiveMenuText) {
    return text_at(400 - 4 * static_cast<int>(std::strlen(text)), 296, text, slot(colour_slot));
  }
};

int param_index(int type, const char* name) {
  for (int q = 0; q < type_param_count(type); ++q)
    if (std::strcmp(type_param(type, q)->name, name) == 0) return q;
  ADD_FAILURE() << "no parameter " << name;
  return 0;
}

float lane(int track, int slot, int loop, int step) {
  return song.param_slot[track][slot].lane[loop * MAX_STEPS + step];
}

void build_song(std::initializer_list<int> types) {
  for (int16_t& s : custom_template_list) s = -1;
  int i = 0;
  for (int type : types) custom_template_list[i++] = static_cast<int16_t>(type);
  ASSERT_EQ(edit_new_custom_song(), EditResult::kOk);
  mark_song_saved();
}

std::string file_text(const std::string& path) {
  const std::vector<uint8_t> bytes = read_bytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(PresetScenario, MakePresetFileWritesTheTemplateValuesAndAsksBeforeReplacing) {
  // KSDEC is 26 types after BAM; the name KD is typed with D-UP and D-RT.
  run(synth_menu_item(3));
  EXPECT_TRUE(prompt_shows("MAKE PRESET FILE FOR: BAM   "));
  run("hold D-DN\n tick 26\n release D-DN\n tick\n");
  EXPECT_TRUE(prompt_shows("MAKE PRESET FILE FOR: KSDEC "));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateMakePresetName);
  EXPECT_TRUE(text_at(368, 296, "A", slot(kSlotActiveMenuText)));
  run("hold D-UP\n tick 10\n release D-UP\n tick\n press D-RT\n hold D-UP\n tick 4\n"
      "release D-UP\n tick\n");
  EXPECT_TRUE(text_at(368, 296, "KD      ", slot(kSlotActiveMenuText)));
  EXPECT_EQ(at(376, 304), slot(kSlotActiveMenuText));  // the cursor under the second character
  EXPECT_EQ(at(368, 304), slot(kSlotMenuBackground));
  shot("preset_make_name");
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // Line for line: the KS family part, the DEC part, the voice part and the frequency mode.
  const char* kValues =
      "1.0\n1.0\n1.0\n0.501\n52.0\n1.0\n1.0\n0.0\n0.0\n"
      "5.0\n32.0\n1.0\n"
      "1.0\n0.0\n1.0\n1.0\n0.5\n0.0\n2.0\n0.0\n0.5\n0.0\n0.999\n0.0\n0.5\n"
      "1.0\n";
  std::string expected = "START_PRESET_SYNTH_KSDEC\n";
  for (int p = 0; p < kPresetsPerFile; ++p)
    expected += "PRESET" + std::string(p < 10 ? "0" : "") + std::to_string(p) + "\n" + kValues;
  expected += "END_PRESET_SYNTH_KSDEC\n";
  const std::string path = "presets/KSDEC.KD.preset.zbl";
  EXPECT_EQ(file_text(path), expected);
  // The names keep two digits throughout, so the file reads back as KSDEC in name order.
  PresetFile made;
  ASSERT_TRUE(read_preset_file("KSDEC.KD.preset.zbl", kKsdec, made));
  EXPECT_EQ(made.names[0], "PRESET00");
  EXPECT_EQ(made.names[9], "PRESET09");
  EXPECT_EQ(made.names[10], "PRESET10");
  EXPECT_EQ(made.names[63], "PRESET63");

  // The same name again asks first; N keeps the file as it is, Y writes the template again.
  const std::string again = synth_menu_item(3) +
      "hold D-DN\n tick 26\n release D-DN\n tick\n press X\n hold D-UP\n tick 10\n"
      "release D-UP\n tick\n press D-RT\n hold D-UP\n tick 4\n release D-UP\n tick\n press X\n";
  ASSERT_TRUE(write_bytes(path, {'o', 'l', 'd', '\n'}));
  run(again);
  EXPECT_EQ(editor_state(), kStateMakePresetOverwrite);
  EXPECT_TRUE(prompt_shows("OVERWRITE KSDEC.KD.preset.zbl? N"));
  shot("preset_make_overwrite");
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(file_text(path), "old\n");
  run(again + "press D-UP\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE KSDEC.KD.preset.zbl? Y"));
  run("press X\n");
  EXPECT_EQ(file_text(path), expected);

  // START in the name field cancels without writing anything.
  run(synth_menu_item(3) + "press X\n press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FALSE(fs::exists("presets/BAM.A.preset.zbl"));
}

TEST_F(PresetScenario, LoadPresetFindsTheSynthsFilesPreviewsAndLoadsOneStep) {
  build_song({kFm, kFmsvf});
  const int carrfreq = param_index(kFmsvf, "CARRFREQ");
  const int modindex = param_index(kFmsvf, "MODINDEX");
  ASSERT_TRUE(make_preset_file(kFmsvf, "BASS"));
  ASSERT_TRUE(make_preset_file(kFmsvf, "AAA"));
  PresetValues warm = track_preset_values(1, 0, 0);
  warm.values[carrfreq] = 64.0f;
  warm.values[modindex] = 7.5f;
  ASSERT_TRUE(save_preset("FMSVF.BASS.preset.zbl", kFmsvf, 1, "WARM", warm));

  // FM is not offered FMSVF's files: its name must be followed by a ".".
  run(synth_menu_item(4));
  EXPECT_EQ(editor_state(), kStateLoadPreset);
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN FM1"));
  run("press X\n");

  // The cursor on step 5 of FMSVF; its files in name order, then the presets of BASS.
  run("press D-DN\n");
  for (int i = 0; i < 5; ++i) run("press D-RT\n");
  ASSERT_EQ(editor_link.cursor_track, 1);
  ASSERT_EQ(editor_link.cursor_step, 5);
  run(synth_menu_item(4) + "press X\n");
  EXPECT_EQ(editor_state(), kStateLoadPresetFile);
  EXPECT_TRUE(prompt_shows("PRESET FILE: AAA     "));
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("PRESET FILE: BASS    "));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateLoadPresetChoose);
  EXPECT_TRUE(prompt_shows("LOAD PRESET: PRESET00"));
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("LOAD PRESET: WARM    "));

  // L-TR plays it over the loop with the loop's own pitch; while it plays D-DN does not browse.
  run("press L-TR\n");
  EXPECT_TRUE(preset_preview_on());
  EXPECT_TRUE(prompt_shows("LOAD PRESET: WARM    ", kSlotInterpolateText));
  for (int s : {0, 5, 63}) {
    EXPECT_FLOAT_EQ(lane(1, modindex, 0, s), 7.5f);
    EXPECT_FLOAT_EQ(lane(1, carrfreq, 0, s), 52.0f);
  }
  shot("preset_preview");
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("LOAD PRESET: WARM    ", kSlotInterpolateText));
  run("press L-TR\n");
  EXPECT_FALSE(preset_preview_on());
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 5), 1.0f);
  EXPECT_TRUE(prompt_shows("LOAD PRESET: WARM    "));
  // R-TR plays its pitch too.
  run("press R-TR\n");
  EXPECT_FLOAT_EQ(lane(1, carrfreq, 0, 20), 64.0f);
  run("press R-TR\n");
  EXPECT_FLOAT_EQ(lane(1, carrfreq, 0, 20), 52.0f);
  EXPECT_FALSE(song_changed_since_save());

  // X: the pitch question (NO keeps it), then the range; YES and STEP write step 5 alone.
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateLoadPresetFreq);
  EXPECT_TRUE(prompt_shows("OVERWRITE FREQ DATA? NO "));
  run("press D-UP\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE FREQ DATA? YES"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateLoadPresetRange);
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? STEP"));
  run("press D-UP\n");
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? LOOP"));
  run("press D-UP\n");
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? SONG"));
  run("press D-UP\n");
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? STEP"));
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? SONG"));
  run("press D-DN\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("LOAD TO STEP, LOOP, OR SONG? STEP"));
  shot("preset_load_range");
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 5), 7.5f);
  EXPECT_FLOAT_EQ(lane(1, carrfreq, 0, 5), 64.0f);
  for (int s : {4, 6}) {
    EXPECT_FLOAT_EQ(lane(1, modindex, 0, s), 1.0f);
    EXPECT_FLOAT_EQ(lane(1, carrfreq, 0, s), 52.0f);
  }
  EXPECT_FLOAT_EQ(lane(1, modindex, 1, 5), 1.0f);
  EXPECT_FLOAT_EQ(lane(0, param_index(kFm, "MODINDEX"), 0, 5), 1.0f);
  EXPECT_TRUE(song_changed_since_save());

  // Leaving while a preview plays puts the loop back, and so does quitting: the recovery file
  // holds the song's own values.
  const std::string preview = synth_menu_item(4) + "press X\n press D-DN\n press X\n press D-DN\n press R-TR\n";
  run(preview);
  bool written = false;
  ASSERT_EQ(save_recovery_song(&written), EditResult::kOk);
  EXPECT_TRUE(written);
  EXPECT_FALSE(preset_preview_on());
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 30), 1.0f);
  run("press START\n");
  run(preview);
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 30), 7.5f);
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FALSE(preset_preview_on());
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 30), 1.0f);
  EXPECT_FLOAT_EQ(lane(1, modindex, 0, 5), 7.5f);

  // A file of the synth's name that does not read as its type is refused and left alone.
  const std::vector<uint8_t> damaged = {'S', 'T', 'A', 'R', 'T', '\n'};
  ASSERT_TRUE(write_bytes("presets/FMSVF.AAA.preset.zbl", damaged));
  run(synth_menu_item(4) + "press X\n press X\n");
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN FMSVF.AAA.preset.zbl"));
  EXPECT_EQ(read_bytes("presets/FMSVF.AAA.preset.zbl"), damaged);
}

TEST_F(PresetScenario, SavePresetKeepsANegativeValueThroughSavingAndLoading) {
  build_song({kFm, kFmsvf, kWav});
  const int speed = param_index(kWav, "RDSPEED");
  ASSERT_TRUE(make_preset_file(kWav, "SPEEDS"));
  edit_param(2, speed, 0, 0, -0.5f);
  run("press D-DN\n press D-DN\n");
  ASSERT_EQ(editor_link.cursor_track, 2);

  // SAVE PRESET takes the synth under the cursor; the name field starts with the old name.
  run(synth_menu_item(5));
  EXPECT_EQ(editor_state(), kStateSavePreset);
  EXPECT_TRUE(prompt_shows("PRESET FILE: SPEEDS  "));
  run("press X\n");
  EXPECT_TRUE(prompt_shows("SAVE PRESET: PRESET00"));
  run("press D-UP\n press D-DN\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("SAVE PRESET: PRESET01"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateSavePresetName);
  EXPECT_TRUE(text_at(368, 296, "PRESET01", slot(kSlotActiveMenuText)));
  // O deletes at the cursor; D-RT stops one past the name's end.
  run("press O\n");
  for (int i = 0; i < 8; ++i) run("press D-RT\n");
  run("press D-UP\n");
  EXPECT_TRUE(text_at(368, 296, "RESET01A", slot(kSlotActiveMenuText)));
  shot("preset_save_name");
  run("press X\n");
  EXPECT_TRUE(prompt_shows("SAVE PRESET RESET01A OVER PRESET01? N"));
  run("press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  const std::string text = file_text("presets/WAV.SPEEDS.preset.zbl");
  const int per_preset = type_param_count(kWav) + 2;
  EXPECT_NE(text.find("\r\nRESET01A\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n-0.500000\r\n"), std::string::npos);
  PresetFile read;
  ASSERT_TRUE(read_preset_file("WAV.SPEEDS.preset.zbl", kWav, read));
  EXPECT_EQ(read.names[1], "RESET01A");
  EXPECT_FLOAT_EQ(read.presets[1].values[speed], -0.5f);
  EXPECT_EQ(static_cast<int>(read.lines.size()), kPresetsPerFile * per_preset + 2);

  // Loaded back over the loop (no pitch question: the sample player has no frequency mode).
  edit_param_steps(2, speed, 0, 0, MAX_STEPS - 1, 1.0f);
  run(synth_menu_item(4));
  EXPECT_EQ(current_menu().selection, 2);
  run("press X\n press X\n press D-DN\n");
  EXPECT_TRUE(prompt_shows("LOAD PRESET: RESET01A"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateLoadPresetRange);
  run("press D-UP\n press X\n");
  for (int s : {0, 17, 63}) EXPECT_FLOAT_EQ(lane(2, speed, 0, s), -0.5f);
  EXPECT_FLOAT_EQ(lane(2, speed, 1, 0), 1.0f);

  // A save that cannot be written says so and keeps the file.
  const std::vector<uint8_t> before = read_bytes("presets/WAV.SPEEDS.preset.zbl");
  fs::create_directories("presets/WAV.SPEEDS.preset.zbl.tmp/blocker");
  run(synth_menu_item(5) + "press X\n press X\n press X\n press D-UP\n press X\n");
  EXPECT_TRUE(prompt_shows("COULD NOT SAVE WAV.SPEEDS.preset.zbl"));
  EXPECT_EQ(read_bytes("presets/WAV.SPEEDS.preset.zbl"), before);
  fs::remove_all("presets/WAV.SPEEDS.preset.zbl.tmp");
}

// Template 2 of a custom.zbi with lines of its own round the templates.
std::string template_file(const std::string& template2) {
  return "MY OWN NOTES\r\nSTART_CUSTOM0\r\nBAM\r\nEND_CUSTOM0\nKEEP THIS LINE\n"
         "START_CUSTOM1\nNSVF\nEND_CUSTOM1\nSTART_CUSTOM2\n" + template2 +
         "END_CUSTOM2\nSTART_CUSTOM3\nKS\nEND_CUSTOM3\nEND_ZORBEL_SYNTH_INIT\n";
}

std::string template_line(int slot, const char* name) {
  return (slot < 10 ? "0" : "") + std::to_string(slot) + ":  " + name;
}

constexpr int kTemplateX = 352;  // the list's text: 12 characters wide, 17 lines
int template_y(int line) { return 232 + 8 * line; }

TEST_F(PresetScenario, CustomTemplateEditorStaysWithinTheBudgetAndKeepsTheOtherLines) {
  // A file without its end line is refused and left as it was.
  const std::string unfinished = "START_CUSTOM0\nBAM\nEND_CUSTOM0\n";
  ASSERT_TRUE(write_bytes("seq/custom.zbi", {unfinished.begin(), unfinished.end()}));
  open_custom_template_editor(0);
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN custom.zbi"));
  EXPECT_EQ(file_text("seq/custom.zbi"), unfinished);
  run("press X\n");

  std::string eight;
  for (int i = 0; i < 8; ++i) eight += "BFMSVF\n";
  const std::string original = template_file(eight + "NSVF\n");
  ASSERT_TRUE(write_bytes("seq/custom.zbi", {original.begin(), original.end()}));
  const int base = 8 * synth_cost_tenths(kBfmsvf);
  const auto load_text = [](int tenths) {
    return "LD:  " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
  };
  open_custom_template_editor(2);
  EXPECT_EQ(editor_state(), kStateCustomTemplate);
  EXPECT_TRUE(text_at(kTemplateX, template_y(0), template_line(0, "BFMSVF").c_str(),
                      slot(kSlotActiveMenuText)));
  EXPECT_TRUE(text_at(kTemplateX, template_y(8), template_line(8, "NSVF").c_str(),
                      slot(kSlotInactiveMenuText)));
  EXPECT_TRUE(text_at(kTemplateX, template_y(9), template_line(9, "-------").c_str(),
                      slot(kSlotInactiveMenuText)));
  EXPECT_TRUE(text_at(kTemplateX, template_y(16),
                      load_text(base + synth_cost_tenths(kNsvf)).c_str(), slot(kSlotInactiveMenuText)));
  shot("custom_template_editor");

  // D-UP from slot 0 goes to the first empty slot; D-DN stops there.
  run("press D-UP\n press D-DN\n");
  EXPECT_TRUE(text_at(kTemplateX, template_y(9), template_line(9, "-------").c_str(),
                      slot(kSlotActiveMenuText)));
  // SQ empties only the last filled slot, never the one before it.
  run("press D-UP\n press D-UP\n press SQ\n");
  EXPECT_EQ(custom_template_list[7], kBfmsvf);
  run("press D-DN\n press SQ\n");
  EXPECT_EQ(custom_template_list[8], -1);
  // TRI with A-DN: an empty slot becomes BAM and steps up to BFMSVF, past the budget.
  run("hold TRI A-DN\n tick 16\n release all\n tick\n");
  EXPECT_EQ(custom_template_list[8], kBfmsvf);
  const int over = base + synth_cost_tenths(kBfmsvf);
  ASSERT_GT(over, kCostBudgetTenths);
  EXPECT_TRUE(text_at(kTemplateX, template_y(16), load_text(over).c_str(), slot(kSlotInactiveMenuText)));
  // TRI with A-UP steps down, from 0 to 63.
  run("hold TRI A-UP\n tick 16\n release all\n tick\n");
  EXPECT_EQ(custom_template_list[8], kTypeCount - 1);
  run("hold TRI A-DN\n tick 16\n release all\n tick\n");
  EXPECT_EQ(custom_template_list[8], kBfmsvf);
  shot("custom_template_over_budget");
  const int tracks_before = song.track_count;
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateCustomTemplate);  // above 100.0 X does nothing
  EXPECT_EQ(file_text("seq/custom.zbi"), original);
  EXPECT_EQ(song.track_count, tracks_before);

  // Within the budget, a save that cannot be written leaves the file and the song alone.
  run("press SQ\n");
  fs::create_directories("seq/custom.zbi.tmp/blocker");
  run("press X\n");
  EXPECT_TRUE(prompt_shows("COULD NOT SAVE custom.zbi"));
  EXPECT_EQ(file_text("seq/custom.zbi"), original);
  EXPECT_EQ(song.track_count, tracks_before);
  fs::remove_all("seq/custom.zbi.tmp");
  run("press X\n");

  // Again from the file: the NSVF is back; this time it goes and X builds the song.
  open_custom_template_editor(2);
  EXPECT_EQ(custom_template_list[8], kNsvf);
  for (int i = 0; i < 8; ++i) run("press D-DN\n");
  edit_loop_name(3, "MINE");
  run("press SQ\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  ASSERT_EQ(song.track_count, 8);
  for (int t = 0; t < 8; ++t) EXPECT_EQ(song.synth_type[t], kBfmsvf);
  EXPECT_STREQ(song.loop_name[3], "03");
  std::string rewritten;
  for (int i = 0; i < 8; ++i) rewritten += "BFMSVF\r\n";
  std::string expected = template_file(rewritten);
  expected.replace(expected.find("END_CUSTOM2\n"), 12, "END_CUSTOM2\r\n");
  EXPECT_EQ(file_text("seq/custom.zbi"), expected);
}

}  // namespace
}  // namespace zorbel::test
