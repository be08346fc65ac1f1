// The workstation under a desktop keyboard's real timing: taps and holds of given lengths, the
// KEY REPEAT delay, the free pointer, typed names and notes from the Shift piano.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/audio_stream.h"
#include "edit/edit.h"
#include "engine/mixer.h"
#include "files/song_file.h"
#include "synth/note_table.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/file_browser.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/screens/piano_keys.h"
#include "ui/widgets/state_table.h"
#include "ui/widgets/view_settings.h"

namespace zorbel::test {
namespace {

using KeyboardScenario = DriveTest;

int cursor() { return editor_link.cursor_step; }

std::string repeat(const std::string& line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line + "\n";
  return s;
}

// The track's pitch slot (a note number or a frequency), or -1.
int pitch_slot(int track) {
  for (int k = 0; k < song.param_count[track]; ++k)
    if (song.param_slot[track][k].cls == ParamClass::kNotePitch ||
        song.param_slot[track][k].cls == ParamClass::kHzPitch)
      return k;
  return -1;
}

float pitch_at(int track, int step) {
  return song.param_slot[track][pitch_slot(track)].lane[transport.current_loop * MAX_STEPS + step];
}

TEST_F(KeyboardScenario, TapsActOnceHoldsRepeatAfterTheDelayAndThePointerGoesFree) {
  ASSERT_EQ(view_settings.key_repeat_ms, kKeyRepeatDefaultMs);
  // Taps from far shorter than an acting tick to far longer each move the cursor exactly once.
  int expected = 0;
  for (int ms : {10, 40, 120, 250}) {
    run("press D-RT " + std::to_string(ms) + "ms\n");
    EXPECT_EQ(cursor(), ++expected) << ms << " ms";
  }
  // Ten 10 ms taps 20 ms apart, all between a few acting ticks: none is lost, none counts twice.
  run(repeat("hold D-RT\n wait 0.01\n release D-RT\n wait 0.02", 10) + "tick 12\n");
  EXPECT_EQ(cursor(), expected += 10);

  // Held for a second: one move at once, none before 300 ms, then one per acting tick (90 ms
  // with no other events: 18 frames of 5 ms).
  run("hold D-RT\n tick\n");
  EXPECT_EQ(cursor(), ++expected);
  run("wait 0.28\n");
  EXPECT_EQ(cursor(), expected);
  run("wait 0.12\n");
  const int first_repeat = cursor();
  EXPECT_EQ(first_repeat, expected + 1);
  run("wait 0.54\n release D-RT\n tick\n");
  EXPECT_EQ(cursor() - first_repeat, 6);  // 540 ms at 90 ms a tick
  expected = cursor();

  // The README's example typed with 150 ms taps: kicks on steps 0, 8, 16 and 24 only.
  run("press D-LT 150ms\n");
  run(repeat("press D-LT 20ms", cursor()));
  ASSERT_EQ(cursor(), 0);
  run("press X 150ms\n press A-RT 150ms\n press X 150ms\n press A-RT 150ms\n press X 150ms\n"
      "press A-RT 150ms\n press X 150ms\n");
  for (int s = 0; s < MAX_STEPS; ++s)
    EXPECT_EQ(song.step_trig[0][0][s], s % 8 == 0 && s <= 24 ? 100 : 0) << "step " << s;
  // One 150 ms tap of D-DN moves one track.
  run("press D-DN 150ms\n");
  EXPECT_EQ(editor_link.cursor_track, 1);

  // Combinations: X held with A-UP repeating lowers TRIG once, then again after the delay.
  run("press D-UP 50ms\n hold X\n tick\n hold A-DN\n tick\n");
  EXPECT_EQ(song.step_trig[0][0][24], 95);
  run("wait 0.2\n");
  EXPECT_EQ(song.step_trig[0][0][24], 95);
  run("wait 0.3\n release all\n tick\n");
  EXPECT_LT(song.step_trig[0][0][24], 95);

  // KEY REPEAT is the last entry of CONTROL: 0..1000 in steps of 50, stored by X.
  run(menu_path({0, 7, 2}));
  ASSERT_EQ(editor_state(), kStateKeyRepeat);
  EXPECT_TRUE(text_at(400 - 4 * 19, 296, "KEY REPEAT MS:  300", slot(kSlotActiveMenuText)));
  run(repeat("press D-DN", 7));
  EXPECT_TRUE(text_at(400 - 4 * 19, 296, "KEY REPEAT MS:    0", slot(kSlotActiveMenuText)));
  shot("keyboard_key_repeat_0");
  static int stored = 0;  // the program writes its settings file from this hook
  set_key_repeat_stored_hook([] { ++stored; });
  run("press X\n");
  set_key_repeat_stored_hook(nullptr);
  EXPECT_EQ(view_settings.key_repeat_ms, 0);
  EXPECT_EQ(stored, 1);
  // 0 is the console's own repeat: a held button acts on every acting tick from the first.
  const int before = cursor();
  run("hold D-RT\n tick 5\n release D-RT\n tick\n");
  EXPECT_EQ(cursor(), before + 5);
  // A letter held 150 ms in a name field still types once: typing repeats only after 300 ms.
  run(menu_path({0, 3}) + "press b 150ms\n");
  EXPECT_TRUE(text_at(name_field_x(kSongNameLength) + 1, 296, "B ", slot(kSlotActiveMenuText)));
  run("press START\n");
  // So does a note key under Shift: one note, one step on.
  const int at_note = cursor();
  run("hold SHIFT\n press z 150ms\n release SHIFT\n tick\n");
  EXPECT_EQ(cursor(), at_note + 1);
  run(menu_path({0, 7, 2}) + repeat("press D-UP", 30) + "press X\n");
  EXPECT_EQ(view_settings.key_repeat_ms, kKeyRepeatMaxMs);

  // The pointer without a button goes where it is moved, even to the window's top rows; a drag
  // still brings it back into its band so it can go on without end.
  run("mouse none -126\n tick 3\n");
  EXPECT_EQ(input.mouse_y, 10);
  run("mouse left 5\n");
  EXPECT_EQ(input.mouse_y, 222);
}

TEST_F(KeyboardScenario, NamesAreTypedAndNotesComeFromTheShiftPiano) {
  transport_set_stopped(true);
  // Track 0 in notes, track 1 in hertz.
  ASSERT_EQ(edit_set_freq_mode(0), EditResult::kOk);
  ASSERT_EQ(song.freq_mode[0], kFreqMidi);
  ASSERT_EQ(song.freq_mode[1], kFreqAbs);
  ASSERT_GE(pitch_slot(0), 0);

  // Shift+Z, X, C on the empty track 0: three hits with C, D and E of octave 4, one change each,
  // the cursor moving on; the letters are notes now, not X, SQ or the APAD.
  const uint32_t changes = song_change_count();
  run("hold SHIFT\n tick\n");
  EXPECT_TRUE(text_at(265, 196, "OCTAVE 4", slot(kSlotActiveText)));
  run("press z 60ms\n press x 60ms\n press c 60ms\n");
  EXPECT_EQ(song_change_count() - changes, 3u);
  EXPECT_EQ(cursor(), 3);
  EXPECT_EQ(editor_link.cursor_track, 0);
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(song.step_trig[0][0][s], 100);
    EXPECT_FLOAT_EQ(song.step_vol[0][0][s], 0.5f);
    EXPECT_FLOAT_EQ(pitch_at(0, s), 48.0f + 2.0f * s);
  }
  EXPECT_EQ(song.loop_track_enable[0][0], 1);  // G (SQ) did not mute: nothing pressed it
  // The note is heard at once, with the transport stopped.
  float out[2 * kBufferFrames];
  run("press v 30ms\n");
  ASSERT_TRUE(render_buffer(out));
  EXPECT_GT(*std::max_element(out, out + 2 * kBufferFrames), 0.001f);
  EXPECT_FLOAT_EQ(pitch_at(0, 3), 53.0f);  // F
  // Shift+D-UP: octave 5, shown. The upper row is one octave up: Q is C of octave 6 and 2 its
  // C sharp (not L-TR: the loop stays).
  run("press D-UP\n");
  EXPECT_EQ(view_settings.piano_octave, 5);
  EXPECT_TRUE(text_at(265, 196, "OCTAVE 5", slot(kSlotActiveText)));
  run("press q 60ms\n press 2 60ms\n");
  EXPECT_FLOAT_EQ(pitch_at(0, 4), 72.0f);
  EXPECT_FLOAT_EQ(pitch_at(0, 5), 73.0f);
  EXPECT_EQ(transport.current_loop, 0);
  // An existing hit keeps its volume: back to step 0 with D-LT under Shift, a note over it.
  edit_step_vol(0, 0, 0, 0.8f);
  run(repeat("press D-LT", 6) + "press u 60ms\n");
  EXPECT_FLOAT_EQ(pitch_at(0, 0), 83.0f);  // U: B of octave 6, the upper row's top
  EXPECT_FLOAT_EQ(song.step_vol[0][0][0], 0.8f);
  shot("keyboard_piano_octave");
  run("release SHIFT\n tick\n");
  EXPECT_FALSE(text_at(265, 196, "OCTAVE 5", slot(kSlotActiveText)));
  EXPECT_EQ(at(265 + 1, 196 + 1), slot(kSlotBackground));

  // A track in the hertz mode takes the note as its frequency.
  editor_link.cursor_track = 1;
  editor_link.cursor_step = 7;
  run("hold SHIFT\n press d 60ms\n release SHIFT\n tick\n");
  EXPECT_NEAR(pitch_at(1, 7), note_frequency(63.0f), 0.01f);  // D sharp of octave 5
  EXPECT_EQ(song.step_trig[0][1][7], 100);
  editor_link.cursor_track = 0;

  // SAVE AS: the proposed name gives way to typed letters; H and J type, not X and O.
  run(menu_path({0, 3}));
  ASSERT_EQ(editor_state(), kStateSaveAs);
  run("type HJ\n");
  EXPECT_EQ(editor_state(), kStateSaveAs);
  EXPECT_TRUE(text_at(name_field_x(kSongNameLength) + 1, 296, "HJ", slot(kSlotActiveMenuText)));
  run("press BACKSPACE\n press BACKSPACE\n type BEAT\n");
  EXPECT_TRUE(text_at(name_field_x(kSongNameLength) + 1, 296, "BEAT", slot(kSlotActiveMenuText)));
  shot("keyboard_typed_name");
  run("press RETURN\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_STREQ(editor_link.song_name, "BEAT");
  ASSERT_TRUE(std::filesystem::exists("seq/BEAT.SEQ"));

  // Read back from the file: the notes and hits as entered.
  SongImage saved;
  ASSERT_TRUE(read_song_file("seq/BEAT.SEQ", saved));
  const float* lane = saved.lanes.data() + pitch_slot(0) * kLaneLength;
  const float notes[] = {83.0f, 50.0f, 52.0f, 53.0f, 72.0f, 73.0f};
  for (int s = 0; s < 6; ++s) {
    EXPECT_FLOAT_EQ(lane[s], notes[s]) << "step " << s;
    EXPECT_EQ(saved.step_trig[s], 100) << "step " << s;
  }
  EXPECT_EQ(saved.step_trig[6], 0);
}

}  // namespace
}  // namespace zorbel::test
