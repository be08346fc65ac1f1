// The song files as a person uses them: the LOAD window over many songs, SAVE, SAVE AS with
// the name entry, the overwrite question, NEW, RENAME LOOP, RECORD, failed loads and saves, and
// the song kept aside when the program quits.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "engine/builtin_sounds.h"
#include "edit/autosave.h"
#include "edit/edit.h"
#include "engine/song_templates.h"
#include "files/song_file.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/file_browser.h"
#include "ui/screens/file_screens.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/state_table.h"

namespace zorbel::test {
namespace {


// START, then SYSTEM, then its item (0 NEW, 1 LOAD, 2 SAVE, 3 SAVE AS, 4 RECORD).
std::string system_item(int item) {
  std::string script = "press START\n press X\n";
  for (int i = 0; i < item; ++i) script += "press D-DN\n";
  return script + "press X\n";
}

std::string presses(const char* key, int count) {
  std::string script;
  for (int i = 0; i < count; ++i) script += std::string("press ") + key + "\n";
  return script;
}

class FileScreenScenario : public DriveTest {
 protected:
  // A prompt is centred on x 400 in the message box's text row.
  static ::testing::AssertionResult prompt_shows(const char* text) {
    const int x = 400 - 4 * static_cast<int>(std::strlen(text));
    return text_at(x, kNameFieldY, text, slot(kSlotActiveMenuText));
  }

  static ::testing::AssertionResult window_line(int line, const char* name, int colour_slot) {
    return text_at(kFileWindowX, kFileWindowY + 8 * line, name, slot(colour_slot));
  }

  // The name field of a 12- or 6-position entry shows text with the cursor line under position.
  static ::testing::AssertionResult field_shows(const char* text, int cursor, int length = 12) {
    const int x = name_field_x(length) + 1;
    const uint16_t active = slot(kSlotActiveMenuText);
    auto shown = text_at(x, kNameFieldY, text, active);
    if (!shown) return shown;
    for (int p = 0; p < length; ++p) {
      const bool line = at(x + 8 * p + 3, kNameFieldCursorY) == active;
      if (line != (p == cursor))
        return ::testing::AssertionFailure() << "cursor line " << (line ? "under" : "missing at")
                                             << " position " << p;
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(FileScreenScenario, WindowOverTwentySongsSaveAndTheOverwriteQuestion) {
  // Twenty songs: KICKS at 133 BPM, then S01..S19, listed KICKS first whatever the case.
  edit_bpm(133.0f);
  ASSERT_EQ(edit_save_song("KICKS.SEQ"), EditResult::kOk);
  edit_bpm(120.0f);
  for (int i = 1; i < 20; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, i % 2 ? "S%02d.SEQ" : "s%02d.seq", i);
    ASSERT_EQ(edit_save_song(name), EditResult::kOk);
  }
  ASSERT_STREQ(editor_link.song_name, kNoSongName);

  // SAVE right after start-up has no name to save under: it goes to SAVE AS with "A".
  run(system_item(2));
  EXPECT_EQ(editor_state(), kStateSaveAs);
  EXPECT_TRUE(field_shows("A", 0));
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // LOAD: with the selection on song 1 the window shows 18, 19, 0 above it and 2..5 below.
  run(system_item(1) + "press D-DN\n");
  EXPECT_EQ(editor_state(), kStateLoad);
  EXPECT_TRUE(window_line(0, "s18.seq", kSlotInactiveMenuText));
  EXPECT_TRUE(window_line(1, "S19.SEQ", kSlotInactiveMenuText));
  EXPECT_TRUE(window_line(2, "KICKS.SEQ", kSlotInactiveMenuText));
  EXPECT_TRUE(window_line(3, "S01.SEQ", kSlotActiveMenuText));
  EXPECT_TRUE(window_line(4, "s02.seq", kSlotInactiveMenuText));
  EXPECT_TRUE(window_line(7, "S05.SEQ", kSlotInactiveMenuText));
  shot("file_load_twenty_songs");
  // TRI with D-DN jumps eight, with D-UP eight back, wrapping past the first name.
  run("hold TRI\n tick\n press D-DN\n");
  EXPECT_TRUE(window_line(3, "S09.SEQ", kSlotActiveMenuText));
  run("press D-UP\n press D-UP\n release all\n tick\n");
  EXPECT_TRUE(window_line(3, "s13.seq", kSlotActiveMenuText));
  EXPECT_TRUE(window_line(0, "s10.seq", kSlotInactiveMenuText));
  // D-DN past the last name comes to the first; O goes back to SYSTEM and loads nothing.
  run(presses("D-DN", 7));
  EXPECT_TRUE(window_line(3, "KICKS.SEQ", kSlotActiveMenuText));
  run("press O\n");
  EXPECT_EQ(editor_state(), kMenuSystem);
  EXPECT_FLOAT_EQ(song.bpm, 120.0f);

  // LOAD opens on the first name again; X loads it, its name becomes the song's name and
  // shows on the FILE line.
  run("press D-DN\n press X\n");
  EXPECT_TRUE(window_line(3, "KICKS.SEQ", kSlotActiveMenuText));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_FLOAT_EQ(song.bpm, 133.0f);
  EXPECT_STREQ(editor_link.song_name, "KICKS");
  EXPECT_TRUE(text_at(kFileNameX, kFileY, "KICKS.SEQ", slot(kSlotActiveText)));
  EXPECT_FALSE(song_changed_since_save());

  // Now SAVE asks straight away about KICKS.SEQ, Y on offer; N saves nothing.
  const auto kicks = read_bytes("seq/KICKS.SEQ");
  edit_bpm(140.0f);
  run(system_item(2));
  EXPECT_EQ(editor_state(), kStateOverwrite);
  EXPECT_TRUE(prompt_shows("OVERWRITE KICKS.SEQ? Y"));
  shot("file_save_overwrite_question");
  run("press D-UP\n");
  EXPECT_TRUE(prompt_shows("OVERWRITE KICKS.SEQ? N"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(read_bytes("seq/KICKS.SEQ"), kicks);
  EXPECT_STREQ(editor_link.song_name, "KICKS");
  EXPECT_TRUE(song_changed_since_save());
  // D-LT cancels too; Y with D-RT replaces the file with the song as it is now.
  run(system_item(2) + "press D-LT\n");
  EXPECT_EQ(read_bytes("seq/KICKS.SEQ"), kicks);
  run(system_item(2) + "press D-RT\n");
  EXPECT_NE(read_bytes("seq/KICKS.SEQ"), kicks);
  EXPECT_FALSE(song_changed_since_save());
  edit_bpm(90.0f);
  ASSERT_EQ(edit_load_song("seq/KICKS.SEQ", nullptr), EditResult::kOk);
  EXPECT_FLOAT_EQ(song.bpm, 140.0f);
  // Replaced in place: no second KICKS, no temporary left. The LOAD over a changed song may
  // have kept that song in the recovery file first, in the background: that write ends first.
  finish_autosave();
  EXPECT_EQ(std::count_if(std::filesystem::directory_iterator("seq"), {},
                          [](const auto& entry) {
                            const std::string name = entry.path().filename().string();
                            return name != "RECOVER.SEQ" && name != "backup";
                          }),
            20);
}

TEST_F(FileScreenScenario, EditSaveAsNewLoadAndRenameLoop) {
  // A hit on step 5 of track 0, then SAVE AS: the alphabet wraps both ways.
  run(presses("D-RT", 5) + "press X\n");
  ASSERT_EQ(song.step_trig[0][0][5], 100);
  run(system_item(3));
  EXPECT_EQ(editor_state(), kStateSaveAs);
  run("press D-DN\n");
  EXPECT_TRUE(field_shows("9", 0));  // A goes down to 9
  run("press D-UP\n");
  EXPECT_TRUE(field_shows("A", 0));  // and 9 up to A
  run("hold D-DN\n tick 11\n release D-DN\n tick\n");
  EXPECT_TRUE(field_shows("Z", 0));  // down through 9..0 to Z
  run("press D-UP\n");
  EXPECT_TRUE(field_shows("0", 0));  // Z up gives 0
  run("press D-DN\n");
  EXPECT_TRUE(field_shows("Z", 0));
  // D-RT steps onto the empty position after the name but no further; there D-UP and a drag
  // upwards make A then B; D-DN makes it A again.
  run("press D-RT\n press D-RT\n press D-RT\n");
  EXPECT_TRUE(field_shows("Z", 1));
  run("press D-UP\n mouse left -3\n");
  EXPECT_TRUE(field_shows("ZB", 1));
  run("press D-RT\n press D-UP\n press D-LT\n press D-LT\n press D-LT\n");
  EXPECT_TRUE(field_shows("ZBA", 0));
  // Delete removes the character at the cursor: the rest moves left.
  run("press DELETE\n");
  EXPECT_TRUE(field_shows("BA", 0));
  run("press D-RT\n press D-RT\n press D-DN\n press D-DN\n");
  EXPECT_TRUE(field_shows("BA9", 2));
  shot("file_save_as_name_entry");
  run("press RETURN\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_STREQ(editor_link.song_name, "BA9");
  EXPECT_TRUE(std::filesystem::exists("seq/BA9.SEQ"));

  // SAVE AS a name that exists asks first, Y on offer.
  run(system_item(3) + "press D-UP\n press D-RT\n press D-UP\n press D-RT\n" +
      presses("D-DN", 2) + "press RETURN\n");
  EXPECT_EQ(editor_state(), kStateOverwrite);
  EXPECT_TRUE(prompt_shows("OVERWRITE BA9.SEQ? Y"));
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // NEW: MELODEE after its question (N on offer). The song and its name are new.
  run(system_item(0) + "press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateNewConfirm);
  EXPECT_TRUE(prompt_shows("RESET ZORBEL, GET PRESET MELODEE? N"));
  shot("file_new_question");
  run("press X\n");  // N: nothing happens
  EXPECT_EQ(song.step_trig[0][0][5], 100);
  run(system_item(0) + "press D-DN\n press X\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_STREQ(editor_link.song_name, kNoSongName);
  EXPECT_EQ(song.track_count, kSongTemplates[1].count);
  EXPECT_EQ(song.synth_type[0], kSongTemplates[1].entries[0].type);
  EXPECT_TRUE(text_at(kFileNameX, kFileY, "-------------", slot(kSlotActiveText)));

  // LOAD brings the edit back: one song, drawn on line 0 in the selected colour.
  transport_set_stopped(true);
  run("tick 2\n" + system_item(1));
  EXPECT_TRUE(window_line(0, "BA9.SEQ", kSlotActiveMenuText));
  run("press X\n");
  EXPECT_EQ(song.step_trig[0][0][5], 100);
  EXPECT_STREQ(editor_link.song_name, "BA9");

  // CUSTOM1 without custom.zbi cannot open; with one, the template editor gets template 1.
  static int opened = -1;
  set_custom_template_editor([](int n) {
    opened = n;
    set_editor_state(kStateCustomTemplate);
  });
  run(system_item(0) + presses("D-DN", 6) + "press X\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN custom.zbi"));
  EXPECT_EQ(opened, -1);
  run("press X\n");
  ASSERT_TRUE(write_bytes("seq/custom.zbi",
                          {'S', 'T', 'A', 'R', 'T', '_', 'C', 'U', 'S', 'T', 'O', 'M', '1', '\n',
                           'F', 'M', 'S', 'V', 'F', '\n', 'E', 'N', 'D', '_', 'C', 'U', 'S', 'T',
                           'O', 'M', '1', '\n'}));
  std::ofstream("seq/custom.zbi", std::ios::app) << "END_ZORBEL_SYNTH_INIT\n";
  run(system_item(0) + presses("D-DN", 6) + "press X\n press D-UP\n press X\n");
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(editor_state(), kStateCustomTemplate);
  EXPECT_EQ(custom_template_list[0], 23);  // FMSVF
  EXPECT_EQ(custom_template_list[1], -1);
  // The workstation's own editor is what the NEW list reaches once the screens are registered.
  return_to_step_edit();
  register_all_screens();
  opened = -1;
  run(system_item(0) + presses("D-DN", 6) + "press X\n press D-UP\n press X\n");
  EXPECT_EQ(opened, -1);
  EXPECT_EQ(editor_state(), kStateCustomTemplate);
  run("press O\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // RENAME LOOP: D-DN from loop 0 to 99, D-UP twice to 1, then a 6-position name.
  run("press START\n" + presses("D-DN", 3) + "press X\n" + presses("D-DN", 4) + "press X\n");
  EXPECT_EQ(editor_state(), kStateRenameLoop);
  EXPECT_TRUE(prompt_shows("RENAME LOOP 00"));
  run("press D-DN\n");
  EXPECT_TRUE(prompt_shows("RENAME LOOP 99"));
  run("press D-UP\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateRenameLoopName);
  EXPECT_TRUE(field_shows("A", 0, 6));
  run(presses("D-RT", 9) + "press D-UP\n press D-UP\n");  // only as far as the empty position
  EXPECT_TRUE(field_shows("AB", 1, 6));
  shot("file_rename_loop");
  run("press RETURN\n");
  EXPECT_STREQ(song.loop_name[1], "AB");
  EXPECT_STREQ(song.loop_name[0], "00");
}

// The length the recorder must write for the song's tempo and SEQLEN in loop mode.
long loop_blocks(double bpm, int seqlen) {
  return static_cast<long>(60.0 / bpm / 8.0 * (44100.0 / 1024.0) * seqlen) + 1;
}

int peak_of(const std::vector<uint8_t>& wav) {
  int peak = 0;
  for (size_t i = 44; i + 1 < wav.size(); i += 2)
    peak = std::max(peak, std::abs(static_cast<int16_t>(wav[i] | (wav[i + 1] << 8))));
  return peak;
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST_F(FileScreenScenario, RecordLoopWritesTheSongsLengthAndPutsTheTransportBack) {
  edit_bpm(100.0f);
  edit_seqlen(16);
  transport_set_stopped(true);
  run("tick 2\n press X\n press D-RT\n press D-RT\n press D-RT\n press D-RT\n press X\n");
  ASSERT_EQ(song.step_trig[0][0][0], 100);

  // RECORD lists the loop, the song and the stems, at the play mode's item; RECORD LOOP? with
  // Y on offer, then a name: "A" stays, X records wav/A.WAV and closes with its figures.
  run(system_item(4));
  EXPECT_EQ(editor_state(), kStateRecord);
  EXPECT_EQ(current_menu().selection, 0);
  shot("file_record_list");
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateRecordQuestion);
  EXPECT_TRUE(prompt_shows("RECORD LOOP? Y"));
  run("press D-DN\n press D-UP\n press X\n");
  EXPECT_EQ(editor_state(), kStateRecordName);
  EXPECT_TRUE(field_shows("A", 0));
  run("press RETURN\n wait 1\n");
  EXPECT_EQ(editor_state(), kStateMessage18);
  shot("file_record_done");
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  const long blocks = loop_blocks(100.0, 16);
  const auto wav = read_bytes("wav/A.WAV");
  ASSERT_EQ(wav.size(), 44u + 4096u * blocks);
  EXPECT_EQ(u32_at(wav, 4), 36u + 4096u * blocks);
  EXPECT_EQ(u32_at(wav, 40), 4096u * blocks);
  EXPECT_GT(peak_of(wav), 1000);  // the hits sound
  EXPECT_EQ(transport.transport_stopped.load(), 1);  // paused before, paused after

  // Playing now: RECORD again under A asks about A.WAV; N records nothing.
  transport_set_stopped(false);
  edit_seqlen(8);
  run("tick 2\n" + system_item(4) + "press X\n press X\n press RETURN\n");
  EXPECT_EQ(editor_state(), kStateRecordOverwrite);
  EXPECT_TRUE(prompt_shows("OVERWRITE A.WAV? Y"));
  shot("file_record_overwrite");
  run("press D-DN\n press X\n");
  EXPECT_EQ(read_bytes("wav/A.WAV"), wav);
  // Y replaces it with the new length, and the song plays on afterwards.
  run(system_item(4) + "press X\n press X\n press RETURN\n press X\n wait 1\n press X\n");
  EXPECT_EQ(read_bytes("wav/A.WAV").size(), 44u + 4096u * loop_blocks(100.0, 8));
  EXPECT_EQ(transport.transport_stopped.load(), 0);

  // A recording that cannot be written says so and leaves the older file as it was.
  const auto older = read_bytes("wav/A.WAV");
  ::chmod("wav/A.WAV", 0444);  // read-only: refused by its mode
  run(system_item(4) + "press X\n press X\n press RETURN\n press X\n");
  EXPECT_EQ(editor_state(), kStateMessage18);
  EXPECT_TRUE(prompt_shows("COULD NOT SAVE A.WAV"));
  EXPECT_EQ(read_bytes("wav/A.WAV"), older);
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

// RECORD STEMS writes the mix and a stem per track and closes with the figures; START during
// a long song recording stops it, says so and leaves no file.
TEST_F(FileScreenScenario, RecordStemsAndCancelALongRecording) {
  edit_seqlen(16);
  for (int t = 0; t < 3; ++t) {
    edit_step_trig(0, t, 4 * t, 100);
    edit_step_vol(0, t, 4 * t, 0.5f);
  }
  edit_track_enable(0, 3, false);
  transport_set_stopped(false);
  run(system_item(4) + "press D-DN\n press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateRecordQuestion);
  EXPECT_TRUE(prompt_shows("RECORD STEMS? Y"));
  run("press X\n press RETURN\n wait 1\n");
  EXPECT_EQ(editor_state(), kStateMessage18);
  shot("file_record_stems_done");
  const auto mix = read_bytes("wav/A.WAV");
  ASSERT_GT(mix.size(), 44u);
  int stems = 0;
  for (const auto& entry : std::filesystem::directory_iterator("wav/A")) {
    EXPECT_EQ(read_bytes(entry.path().string()).size(), mix.size()) << entry.path();
    ++stems;
  }
  EXPECT_EQ(stems, song.track_count - 1);  // the muted track has none
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(transport.transport_stopped.load(), 0);

  // The song list played 99 times over at 5 BPM: over forty minutes of audio, which no
  // machine renders within the frames before START, however fast.
  edit_bpm(5.0f);
  transport.play_mode = kPlaySong;
  transport_set_stopped(true);  // START while a song plays opens the visualizer
  edit_song_entry(0, 0, 99);
  std::remove("wav/A.WAV");
  run(system_item(4) + "press X\n press X\n press RETURN\n wait 0.2\n");
  EXPECT_EQ(editor_state(), kStateRecording);
  shot("file_record_progress");
  run("press START\n");
  EXPECT_EQ(editor_state(), kStateMessage18);
  EXPECT_TRUE(prompt_shows("RECORDING CANCELLED"));
  EXPECT_FALSE(std::filesystem::exists("wav/A.WAV"));
  EXPECT_FALSE(std::filesystem::exists("wav/A.WAV.tmp"));
  EXPECT_EQ(transport.play_mode, kPlaySong);
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

TEST_F(FileScreenScenario, FailedLoadAndSaveKeepTheSongItsNameAndTheFile) {
  edit_bpm(111.0f);
  ASSERT_EQ(edit_save_song("GOOD.SEQ"), EditResult::kOk);
  ASSERT_TRUE(write_bytes("seq/BROKEN.SEQ", {'Z', 'o', 'r', 'b', 'e', 'l', '3', 1, 2, 3}));
  run(system_item(1) + "press X\n");  // BROKEN.SEQ sorts first
  ASSERT_STREQ(editor_link.song_name, kNoSongName);
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  EXPECT_TRUE(prompt_shows("COULD NOT OPEN BROKEN.SEQ"));
  shot("file_could_not_open");
  run("press X\n");
  EXPECT_FLOAT_EQ(song.bpm, 111.0f);

  // Load GOOD, change it, and SAVE where nothing can be written: the name and file stay.
  run(system_item(1) + "press D-DN\n press X\n");
  ASSERT_STREQ(editor_link.song_name, "GOOD");
  const auto good = read_bytes("seq/GOOD.SEQ");
  edit_bpm(150.0f);
  ::chmod("seq/GOOD.SEQ", 0444);  // no write bit: refused whoever runs the test
  run(system_item(2) + "press X\n");
  EXPECT_EQ(editor_state(), kStateMessage18);
  EXPECT_TRUE(prompt_shows("COULD NOT SAVE GOOD.SEQ"));
  EXPECT_EQ(read_bytes("seq/GOOD.SEQ"), good);
  EXPECT_STREQ(editor_link.song_name, "GOOD");
  EXPECT_TRUE(song_changed_since_save());
  // An empty list says so, and X there loads nothing.
  std::filesystem::remove("seq/GOOD.SEQ");
  std::filesystem::remove("seq/BROKEN.SEQ");
  run("press X\n" + system_item(1));
  EXPECT_TRUE(window_line(0, "NO FILES TO LOAD", kSlotActiveMenuText));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateLoad);
  EXPECT_FLOAT_EQ(song.bpm, 150.0f);
}

TEST_F(FileScreenScenario, SaveAfterLoadWritesTheLoadedFileWhateverItsName) {
  // A.B.SEQ at 140 BPM beside A.SEQ at 100, and a file named only ".SEQ" at 90.
  edit_bpm(100.0f);
  ASSERT_EQ(edit_save_song("A.SEQ"), EditResult::kOk);
  edit_bpm(140.0f);
  ASSERT_EQ(edit_save_song("A.B.SEQ"), EditResult::kOk);
  edit_bpm(90.0f);
  ASSERT_EQ(edit_save_song(".SEQ"), EditResult::kOk);
  const auto a = read_bytes("seq/A.SEQ");
  const std::vector<std::string> listed = scan_files(kFileKindSong);
  auto load = [&](const char* file) {
    const auto at = std::find(listed.begin(), listed.end(), file) - listed.begin();
    ASSERT_LT(at, static_cast<long>(listed.size())) << file;
    run(system_item(1) + presses("D-DN", static_cast<int>(at)) + "press X\n");
  };

  load("A.B.SEQ");
  EXPECT_STREQ(editor_link.song_name, "A.B");
  EXPECT_FLOAT_EQ(song.bpm, 140.0f);
  edit_bpm(141.0f);
  run(system_item(2));
  EXPECT_TRUE(prompt_shows("OVERWRITE A.B.SEQ? Y"));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(read_bytes("seq/A.SEQ"), a);
  SongImage saved;
  ASSERT_TRUE(read_song_file("seq/A.B.SEQ", saved));
  EXPECT_FLOAT_EQ(saved.bpm, 141.0f);
  EXPECT_FALSE(song_changed_since_save());

  load(".SEQ");
  EXPECT_FLOAT_EQ(song.bpm, 90.0f);
  edit_bpm(91.0f);
  run(system_item(2));
  EXPECT_TRUE(prompt_shows("OVERWRITE .SEQ? Y"));
  run("press X\n");
  EXPECT_EQ(read_bytes("seq/A.SEQ"), a);
  ASSERT_TRUE(read_song_file("seq/.SEQ", saved));
  EXPECT_FLOAT_EQ(saved.bpm, 91.0f);

  // After SAVE AS the song's own file is the new one; a read-only one is refused, untouched.
  run(system_item(3) + "press RETURN\n");  // the entry starts at "A"
  run("press X\n");                   // A.SEQ exists: the question, Y
  EXPECT_STREQ(editor_link.song_name, "A");
  const auto a_now = read_bytes("seq/A.SEQ");
  ASSERT_TRUE(read_song_file("seq/A.SEQ", saved));
  EXPECT_FLOAT_EQ(saved.bpm, 91.0f);
  ::chmod("seq/A.SEQ", 0444);
  edit_bpm(92.0f);
  run(system_item(2) + "press X\n");
  EXPECT_TRUE(prompt_shows("COULD NOT SAVE A.SEQ"));
  shot("file_save_read_only");
  EXPECT_EQ(read_bytes("seq/A.SEQ"), a_now);
}

TEST_F(FileScreenScenario, UnsavedWorkIsNamedAtStartAndASaveOverItKeepsItAside) {
  // The last session left a song and, later, its unsaved work.
  edit_bpm(133.0f);
  ASSERT_EQ(edit_save_song("OLD.SEQ"), EditResult::kOk);
  edit_bpm(150.0f);
  ASSERT_EQ(edit_save_song("RECOVER.SEQ"), EditResult::kOk);
  const auto recovered = read_bytes("seq/RECOVER.SEQ");
  const auto hour_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time("seq/OLD.SEQ", hour_ago);
  TearDown();
  SetUp();

  // The FILE line names it and the box says so; the start-up song plays, unchanged.
  EXPECT_TRUE(text_at(397, 176, "RECOVER.SEQ", slot(kSlotActiveText)));
  EXPECT_TRUE(prompt_shows("UNSAVED WORK IN RECOVER.SEQ"));
  shot("file_unsaved_work_at_start");
  EXPECT_FLOAT_EQ(song.bpm, 120.0f);
  EXPECT_FALSE(song_changed_since_save());

  // SAVE under that name does not lose the work: it moves to the backups first.
  run("press X\n" + system_item(2));
  EXPECT_TRUE(prompt_shows("OVERWRITE RECOVER.SEQ? Y"));
  run("press X\n");
  SongImage saved;
  ASSERT_TRUE(read_song_file("seq/RECOVER.SEQ", saved));
  EXPECT_FLOAT_EQ(saved.bpm, 120.0f);
  std::vector<std::filesystem::path> backups;
  for (const auto& entry : std::filesystem::directory_iterator("seq/backup"))
    backups.push_back(entry.path());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(read_bytes(backups[0].string()), recovered);
}

// zorbel-drive in the scratch folder; its standard output.
std::string run_program(const std::string& script) {
  std::ofstream("script.txt") << script;
  const std::string command =
      std::string(ZORBEL_BINARY_DIR) + "/zorbel-drive script.txt > out.txt 2> err.txt";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  std::ifstream in("out.txt");
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(QuitScenario, EscAfterAnEditKeepsTheSongAsideAndTheSavedFileUntouched) {
  TempWorkdir dir;
  // Quitting unchanged writes nothing and says nothing.
  EXPECT_EQ(run_program("tick 2\n press ESC\n"), "");
  EXPECT_FALSE(std::filesystem::exists("seq/RECOVER.SEQ"));

  // Save as A, add a hit on step 3, quit with Esc.
  const std::string out = run_program(system_item(3) + "press RETURN\n" + presses("D-RT", 3) +
                                      "press X\n press ESC\n tick\n");
  EXPECT_NE(out.find("seq/RECOVER.SEQ"), std::string::npos) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  SongImage saved, recovered;
  ASSERT_TRUE(read_song_file("seq/A.SEQ", saved));
  ASSERT_TRUE(read_song_file("seq/RECOVER.SEQ", recovered));
  EXPECT_EQ(saved.step_trig[3], 0);  // loop 0, track 0, step 3: saved before the edit
  EXPECT_EQ(recovered.step_trig[3], 100);
  EXPECT_EQ(recovered.step_trig[0], 0);
  EXPECT_FALSE(std::filesystem::exists("seq/RECOVER.SEQ.tmp"));
}

TEST(QuitScenario, AutosaveKeepsAnEditThroughAKill) {
  TempWorkdir dir;
  // A hit on step 0, then more virtual time than the program will get: the autosave after 60 s
  // must reach the disk while the driver still runs, and survive SIGKILL.
  std::ofstream("script.txt") << "press X\n wait 61\n wait 3000\n";
  const std::string command = std::string(ZORBEL_BINARY_DIR) +
                              "/zorbel-drive script.txt > out.txt 2> err.txt & echo $! > pid.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  pid_t pid = 0;
  std::ifstream("pid.txt") >> pid;
  ASSERT_GT(pid, 0);
  for (int i = 0; i < 1200 && !std::filesystem::exists("seq/RECOVER.SEQ"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const bool still_running = ::kill(pid, SIGKILL) == 0;
  EXPECT_TRUE(still_running);
  for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  SongImage recovered;
  ASSERT_TRUE(read_song_file("seq/RECOVER.SEQ", recovered));
  EXPECT_EQ(recovered.step_trig[0], 100);
  // The file is complete the moment it has its name: no temporary was left by the kill.
  for (const auto& entry : std::filesystem::directory_iterator("seq"))
    EXPECT_EQ(entry.path().filename(), "RECOVER.SEQ");
}

}  // namespace
}  // namespace zorbel::test
