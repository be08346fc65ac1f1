// The song order list, ADD/DEL SYNTH and the colour menus, driven through their keys.
#include <fstream>

#include "edit/edit.h"
#include "engine/synth_tracks.h"
#include "tests/support/temp_workdir.h"
#include "tests/ui/menu_test_support.h"
#include "ui/widgets/prompt.h"
#include "ui/widgets/text_list.h"

namespace zorbel::test {
namespace {

class SongOrderTest : public MenuScreenTest {
 protected:
  // The highlighted line of the song order list, at (304, 292).
  std::string selected_line() const { return read_text(304, 292, 24, colour(kSlotActiveMenuText)); }
};
using SynthMenusTest = MenuScreenTest;
using ColourMenusTest = MenuScreenTest;

TEST_F(SongOrderTest, EditsLoopsRepsInsertsDeletesAndPlays) {
  open_path({4, 0});
  ASSERT_EQ(editor_state(), kStateSongOrder);
  EXPECT_EQ(selected_line(), "000: LOOP 00     REPS 01");
  // The line above wraps round to the end of the list.
  EXPECT_EQ(read_text(304, 284, 24, colour(kSlotInactiveMenuText)), "999: LOOP 00     REPS 01");
  save_image("song_order");

  // Position 0 offers only loops: 0 down is 99, 99 up is 0.
  tick({kBtnLTr, kBtnADn});
  EXPECT_EQ(song.song_list[0], 99);
  EXPECT_EQ(selected_line(), "000: LOOP 99     REPS 01");
  drag(4, kMouseLeft);
  EXPECT_EQ(song.song_list[0], 0);
  // Elsewhere 99 goes on to HALT, then RESTART, then 0.
  press({kBtnDDn});
  edit_song_entry(1, 98, 1);
  const int16_t expected[] = {99, SONG_HALT, SONG_RESTART, 0};
  for (int16_t e : expected) {
    tick({kBtnLTr, kBtnAUp});
    EXPECT_EQ(song.song_list[1], e);
  }
  tick({kBtnLTr, kBtnADn});  // and 0 down is HALT
  EXPECT_EQ(song.song_list[1], SONG_HALT);
  EXPECT_EQ(selected_line(), "001: HALT               ");
  // REPS stop at 99 and at 1.
  for (int i = 0; i < 120; ++i) tick({kBtnRTr, kBtnAUp});
  EXPECT_EQ(song.song_reps[1], 99);
  for (int i = 0; i < 120; ++i) drag(-2, kMouseRight);
  EXPECT_EQ(song.song_reps[1], 1);
  edit_song_entry(1, 5, 12);

  // Insert at position 1: the entries below move down; loop edits wait ten calls.
  const int16_t old_two = song.song_list[2];
  tick({kBtnTri, kBtnDDn});
  EXPECT_EQ(song.song_list[1], 0);
  EXPECT_EQ(song.song_list[2], 5);
  EXPECT_EQ(song.song_reps[2], 12);
  EXPECT_EQ(song.song_list[3], old_two);
  for (int i = 0; i < 9; ++i) tick({kBtnLTr, kBtnAUp});
  EXPECT_EQ(song.song_list[1], 0);
  tick({kBtnLTr, kBtnAUp});
  EXPECT_EQ(song.song_list[1], 1);
  // Insert refuses when the last position holds something it would push off the end.
  edit_song_entry(999, 7, 1);
  tick({kBtnTri, kBtnDDn});
  EXPECT_EQ(song.song_list[2], 5);
  // Delete: the later entries move up and the last becomes loop 0, REPS 1.
  tick({kBtnTri, kBtnDUp});
  EXPECT_EQ(song.song_list[1], 5);
  EXPECT_EQ(song.song_list[998], 7);
  EXPECT_EQ(song.song_list[999], 0);

  // Scrolling by one and by ten; X plays the selected position's loop.
  tick();
  tick({kBtnSq, kBtnDDn});
  tick({kBtnDDn});
  tick({kBtnDUp});
  tick({kBtnDDn});
  EXPECT_EQ(selected_line().substr(0, 3), "012");
  edit_song_entry(12, 42, 3);
  press({kBtnX});
  EXPECT_EQ(transport.current_loop, 42);
  EXPECT_EQ(transport.play_cursor[0].trig_row, song.step_trig[42][0]);
  edit_song_entry(12, SONG_HALT, 3);
  press({kBtnX});  // HALT is not a loop to play
  EXPECT_EQ(transport.current_loop, 42);
  press({kBtnO});
  EXPECT_EQ(editor_state(), kMenuSong);

  // In song mode the list opens at the song position, and X also moves the song there.
  transport.play_mode = 1;
  transport.song_pos = 3;
  edit_song_entry(4, 2, 1);
  press({kBtnX});
  EXPECT_EQ(selected_line().substr(0, 3), "003");
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(transport.song_pos, 4);
  EXPECT_EQ(transport.current_loop, song.song_list[4]);
  press({kBtnStart});
  EXPECT_EQ(editor_state(), kStateStepEdit);
}

TEST_F(SynthMenusTest, AddSynthWithinLimitsAndDeleteOnlyAfterYes) {
  while (song.track_count > 2) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  // ADD SYNTH: the 64 types wrap both ways; X adds through the edit layer.
  open_path({6, 1});
  ASSERT_EQ(editor_state(), kStateAddSynthChoose);
  expect_prompt("ADD SYNTH: BAM   ");
  press({kBtnDUp});
  expect_prompt("ADD SYNTH: WAVSVF");
  press({kBtnDDn});
  press({kBtnDDn});
  expect_prompt("ADD SYNTH: BAMCLP");
  save_image("add_synth");
  press({kBtnX});
  EXPECT_EQ(song.track_count, 3);
  EXPECT_EQ(song.synth_type[2], 1);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // BFMSVF (12.1) until the budget refuses one: a message, and nothing added.
  for (;;) {
    open_path({6, 1});
    for (int i = 0; i < 15; ++i) press({kBtnDDn});
    const int before = song.track_count;
    press({kBtnX});
    if (editor_state() != kStateStepEdit) {
      EXPECT_EQ(editor_state(), kStateCannotAdd);
      EXPECT_EQ(song.track_count, before);
      expect_prompt("CANNOT ADD: EXECUTION TIME OVERLOAD");
      break;
    }
    ASSERT_LT(song.track_count, MAX_TRACKS);
  }
  save_image("add_synth_overload");
  press({kBtnO});
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // DEL SYNTH asks about the synth chosen in the list; N deletes nothing.
  init_engine(12345);
  build_startup_song();
  editor_link.cursor_track = 3;
  edit_step_trig(0, 4, 9, 77);
  edit_step_trig(0, 3, 1, 55);
  const int32_t type_four = song.synth_type[4];
  const int count = song.track_count;
  open_path({6, 2});
  ASSERT_EQ(editor_state(), kStateDelSynth);
  EXPECT_EQ(current_menu().selection, 3);
  press({kBtnX});
  const std::string name = PromptText().add_trimmed(song.track_name[3]).c_str();
  expect_prompt("DEL SYNTH " + name + "? N");
  save_image("del_synth_question");
  press({kBtnX});
  EXPECT_EQ(song.track_count, count);
  EXPECT_EQ(editor_state(), kStateStepEdit);
  // Y deletes that synth; the ones above move down with their steps, the freed track is empty.
  open_path({6, 2});
  press({kBtnX});
  press({kBtnDDn});
  expect_prompt("DEL SYNTH " + name + "? Y");
  press({kBtnX});
  EXPECT_EQ(song.track_count, count - 1);
  EXPECT_EQ(song.synth_type[3], type_four);
  EXPECT_EQ(song.step_trig[0][3][9], 77);
  EXPECT_EQ(song.step_trig[0][3][1], 0);
  EXPECT_EQ(song.step_trig[0][count - 1][9], 0);
  EXPECT_EQ(song.track_name[count - 1][0], '~');

  // One synth left: refused with a message; 16 synths: ADD SYNTH refuses at once.
  while (song.track_count > 1) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  open_path({6, 2});
  EXPECT_EQ(editor_state(), kStateLastSynth);
  expect_prompt("CAN NOT DELETE LAST SYNTH");
  press({kBtnX});
  while (song.track_count < MAX_TRACKS) ASSERT_EQ(edit_add_synth(32), EditResult::kOk);  // N
  open_path({6, 1});
  EXPECT_EQ(editor_state(), kStateMaxSynths);
  expect_prompt("CANNOT ADD: MAX SYNTHS IN SONG");
  press({kBtnStart});
  // The synth list of a full song ends after its 16 names.
  clear_surface();
  open_path({6, 0});
  EXPECT_EQ(count_list_entries(synth_name_list()), 16);
  save_image("del_synth_list_full");
  EXPECT_TRUE(outside_untouched());
}

TEST_F(ColourMenusTest, EditorConfirmationDefaultsAndPresetFiles) {
  // SET COLORS: the slot names lowered by 16 with their swatches, slot 0 highlighted.
  open_path({0, 6, 2});
  ASSERT_EQ(editor_state(), kStateSetColours);
  EXPECT_EQ(read_text(300, 236, 10, colour(kSlotActiveMenuText)), "BACKGROUND");
  EXPECT_EQ(at(465, 238), colour_scheme.working[0]);
  EXPECT_EQ(at(464, 237), 0xFFFF);
  // Green of black up by 8 per drag event; red of TRACKNAME (248) stops at 255.
  drag(3, kMouseLeft, {kBtnX});
  EXPECT_EQ(colour_scheme.working[0], rgb_to_565(0, 8, 0));
  EXPECT_EQ(at(466, 239), rgb_to_565(0, 8, 0));
  press({kBtnDDn});
  EXPECT_EQ(read_text(300, 244, 9, colour(kSlotActiveMenuText)), "TRACKNAME");
  drag(3, kMouseLeft, {kBtnSq});
  EXPECT_EQ(colour_scheme.working[1] >> 11, 31);
  // Copy slot 1, paste into slot 2 through the clipboard.
  press({kBtnLTr});
  press({kBtnDDn});
  drag(-3, kMouseLeft, {kBtnO});
  press({kBtnRTr});
  EXPECT_EQ(colour_scheme.working[2], colour_scheme.working[1]);
  save_image("set_colors");
  // D-LT discards the working table.
  press({kBtnDLt});
  EXPECT_EQ(editor_state(), kMenuDisplay);
  EXPECT_EQ(colour_scheme.active[0], kBuiltInColours[0]);

  // TRI asks first; N keeps the colours, Y applies them to everything drawn afterwards.
  for (bool yes : {false, true}) {
    open_path({0, 6, 2});
    press({kBtnDUp});  // slot 19
    press({kBtnDUp});  // slot 18
    for (int i = 0; i < 4; ++i) press({kBtnDDn});  // slot 2
    press({kBtnDUp});
    press({kBtnDUp});  // slot 0
    for (int i = 0; i < 14; ++i) press({kBtnDUp});  // slot 6
    for (int i = 0; i < 8; ++i) press({kBtnDDn});  // slot 14, MENU BACKGROUND
    drag(5, kMouseLeft, {kBtnO});
    press({kBtnTri});
    EXPECT_EQ(editor_state(), kStateSetColoursConfirm);
    expect_prompt("REALLY SET COLORS? N");
    if (yes) press({kBtnDUp});
    press({kBtnX});
    EXPECT_EQ(editor_state(), kStateStepEdit);
  }
  EXPECT_EQ(colour_scheme.active[kSlotMenuBackground], rgb_to_565(0, 0, 8));
  clear_surface();
  open_main_menu();
  EXPECT_EQ(at(368, 264), rgb_to_565(0, 0, 8));
  save_image("set_colors_applied");
  // DEFAULT COLORS brings back the built-in scheme.
  press({kBtnStart});
  open_path({0, 6, 3});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(0, std::memcmp(colour_scheme.active, kBuiltInColours, sizeof kBuiltInColours));

  // LOAD and SAVE COLORS: a missing file says so and changes nothing; with the file, a saved
  // preset comes back.
  TempWorkdir dir;
  open_path({0, 6, 0});
  EXPECT_EQ(editor_state(), kStateLoadColours);
  save_image("load_colors");
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateCouldNotOpen);
  expect_prompt("COULD NOT OPEN COLORS.ZBC");
  press({kBtnX});
  {
    std::ofstream file("seq/colors.zbc", std::ios::binary);
    file << "ZORBEL COLORS\r\n";
    for (int p = 0; p < kColourPresetCount; ++p) {
      file << "COLOR PRESET " << p << "\r\n";
      for (int s = 0; s < kColourSlotCount; ++s) file << "0 0 0\r\n";
    }
  }
  colour_scheme.active[kSlotTrackName] = rgb_to_565(16, 32, 64);
  open_path({0, 6, 1});
  press({kBtnDDn});
  press({kBtnX});
  EXPECT_EQ(editor_state(), kStateStepEdit);
  colour_scheme.active[kSlotTrackName] = 0;
  open_path({0, 6, 0});
  press({kBtnDDn});
  press({kBtnDRt});
  EXPECT_EQ(colour_scheme.active[kSlotTrackName], rgb_to_565(16, 32, 64));
  EXPECT_EQ(colour_scheme.active[kSlotActiveMenuText], kBuiltInColours[kSlotActiveMenuText]);
}

}  // namespace
}  // namespace zorbel::test
