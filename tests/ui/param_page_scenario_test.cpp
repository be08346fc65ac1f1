// The parameter pages as a person uses them: many-step edits, paced changes, every page of every
// synth on screen, a page edit heard on its step, samples, FREQMODE, and values kept in range
// whatever the keys.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "files/wav_import.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"
#include "tests/support/signal_measure.h"
#include "tests/support/wav_bytes.h"
#include "tests/ui/drive_test_support.h"
#include "ui/widgets/editor_state.h"
#include "ui/widgets/list_view.h"
#include "ui/screens/menu_tree.h"
#include "ui/widgets/param_modifier.h"
#include "ui/screens/param_page.h"
#include "ui/widgets/state_table.h"
#include "ui/screens/step_editor.h"

namespace zorbel::test {
namespace {


float lane_at(int track, int slot, int step) {
  return song.param_slot[track][slot].lane[transport.current_loop * MAX_STEPS + step];
}

// The page line showing the parameter called name at the cursor step, or -1.
int line_of(const char* name) {
  const int step = editor_link.cursor_step;
  for (int line = 0; line < page_line_count(step); ++line) {
    const ParamInfo* info = type_param(song.synth_type[param_page.track], page_line_slot(line, step));
    if (info && std::string(info->name) == name) return line;
  }
  return -1;
}

std::string repeat(const std::string& line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line + "\n";
  return s;
}

// Script lines that bring the parameter cursor from line 0 down to line.
std::string cursor_to(int line) { return repeat("press D-DN", line); }

// Only track 0 (BAM1) stays, with no hits in loop 0.
void single_synth_song() {
  while (song.track_count > 1) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  ASSERT_EQ(clear_steps(0, 0, 0, MAX_STEPS - 1), EditResult::kOk);
}

class ParamPageScenario : public DriveTest {
 protected:
  // Text of the highlighted page row in the colour it is drawn in.
  static ::testing::AssertionResult highlighted_row(const char* text, int colour_slot) {
    const char* list = param_page.list;
    return text_at(menu_item_x(list), menu_item_y(list, kListCentred, param_page.cursor), text,
                   colour_scheme.active[colour_slot]);
  }
};

TEST_F(ParamPageScenario, InterpolationRandomFillMarksAndManyStepChanges) {
  single_synth_song();
  for (int s : {4, 8}) edit_step_trig(0, 0, s, 100);
  // 8+9+0 offers GEN and ENV for a synth without an effect; X opens GEN.
  run("hold 8 9 0\n tick\n release all\n tick\n press X\n");
  ASSERT_EQ(editor_state(), kStateGenPage);
  const int mix_line = line_of("OSCMIX");
  const int mix = page_line_slot(mix_line, 0);
  ASSERT_GE(mix_line, 0);
  edit_param(0, mix, 0, 4, 0.0f);
  edit_param(0, mix, 0, 8, 1.0f);
  const float before = lane_at(0, mix, 6);

  // Interpolation from step 4 (0) to step 8 (1), the two hits A-RT finds; the first point
  // shows the row in the interpolate colour.
  run(cursor_to(mix_line) + "press A-RT\n press SELECT\n");
  EXPECT_EQ(editor_link.cursor_step, 4);
  EXPECT_TRUE(highlighted_row("OSCMIX", kSlotInterpolateText));
  EXPECT_EQ(lane_at(0, mix, 6), before);
  run("press A-RT\n");
  EXPECT_TRUE(highlighted_row("OSCMIX", kSlotActiveMenuText));  // not the point's step
  run("press SELECT\n");
  EXPECT_EQ(editor_link.cursor_step, 8);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 4), 0.0f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 5), 0.25f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 6), 0.5f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 7), 0.75f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 8), 1.0f);
  EXPECT_TRUE(highlighted_row("OSCMIX    1.00000", kSlotActiveMenuText));

  // SELECT twice on one step changes nothing and starts over.
  run("press SELECT\n press SELECT\n");
  EXPECT_EQ(param_page.interpolation.count, 0);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 7), 0.75f);

  // Across the wrap at SEQLEN 16: from step 14 (0) to step 2 (1) sets 15, 0 and 1 (n = 4).
  edit_seqlen(16);
  for (int s : {4, 8}) edit_step_trig(0, 0, s, 0);
  for (int s : {2, 14}) edit_step_trig(0, 0, s, 100);
  edit_param(0, mix, 0, 14, 0.0f);
  edit_param(0, mix, 0, 2, 1.0f);
  edit_param(0, mix, 0, 3, 0.3f);
  run("press A-RT\n");
  EXPECT_EQ(editor_link.cursor_step, 14);
  run("press SELECT\n press A-RT\n press SELECT\n");
  EXPECT_EQ(editor_link.cursor_step, 2);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 15), 0.25f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 0), 0.5f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 1), 0.75f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 3), 0.3f);

  // X twice: random values between the two points' values on every step between them.
  run("press X\n");
  EXPECT_TRUE(highlighted_row("OSCMIX", kSlotInterpolateText));
  run("press A-LT\n press X\n");
  EXPECT_EQ(editor_link.cursor_step, 14);
  for (int s = 2; s <= 14; ++s) {
    EXPECT_GE(lane_at(0, mix, s), 0.0f) << s;
    EXPECT_LE(lane_at(0, mix, s), 1.0f) << s;
  }
  EXPECT_NE(lane_at(0, mix, 5), lane_at(0, mix, 9));

  // D-RT marks steps 14 and 2; TRI + A-UP then writes the cursor's value + the change to the
  // marked steps only.
  run("press D-RT\n press A-RT\n press D-RT\n");
  EXPECT_TRUE(highlighted_row("OSCMIX", kSlotInterpolateText));
  edit_param(0, mix, 0, 2, 0.5f);
  const float unmarked = lane_at(0, mix, 9);
  run("hold TRI A-UP\n tick\n release all\n tick\n");
  EXPECT_NEAR(lane_at(0, mix, 2), 0.505f, 1e-6);
  EXPECT_NEAR(lane_at(0, mix, 14), 0.505f, 1e-6);
  EXPECT_EQ(lane_at(0, mix, 9), unmarked);
  // Moving the cursor takes the marks along to the new parameter.
  run("press D-UP\n");
  EXPECT_EQ(param_step_marks.param, page_line_slot(mix_line - 1, 2));
  EXPECT_TRUE(param_step_marks.step[2] && param_step_marks.step[14]);
  // Unmarking both steps; TRI then writes all 64 steps.
  run("press D-DN\n press D-RT\n press A-RT\n press D-RT\n press A-RT\n");
  EXPECT_EQ(editor_link.cursor_step, 2);
  EXPECT_FALSE(param_step_marks.step[2] || param_step_marks.step[14]);
  run("hold TRI A-DN\n tick\n release all\n tick\n");
  for (int s = 0; s < MAX_STEPS; ++s) EXPECT_NEAR(lane_at(0, mix, s), 0.5f, 1e-6) << s;

  // O keeps the difference of the triggered steps: at the maximum an increase is refused as
  // a whole, a decrease is allowed.
  edit_param(0, mix, 0, 14, 1.0f);
  run("hold O A-UP\n tick 3\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, mix, 14), 1.0f);
  EXPECT_FLOAT_EQ(lane_at(0, mix, 2), 0.5f);
  run("hold O A-DN\n tick 2\n release all\n tick\n");
  EXPECT_NEAR(lane_at(0, mix, 14), 0.99f, 1e-6);
  EXPECT_NEAR(lane_at(0, mix, 2), 0.49f, 1e-6);
  EXPECT_NEAR(lane_at(0, mix, 5), 0.5f, 1e-6);  // no hit there

  // SQ: the default at the cursor step only.
  run("press SQ\n");
  EXPECT_FLOAT_EQ(lane_at(0, mix, 2), song.param_slot[0][mix].def);
  EXPECT_NEAR(lane_at(0, mix, 14), 0.99f, 1e-6);
  shot("param_page_bam_gen_marked");

  // D-LT goes back to the GEN/ENV choice of the track, START to step edit with no marks.
  run("press D-LT\n");
  EXPECT_EQ(editor_state(), kMenuTrackPageFirst);
  EXPECT_EQ(current_menu().selection, 0);
  run("press D-DN\n press X\n");
  EXPECT_EQ(editor_state(), kStateEnvPage);
  run("press D-RT\n press START\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(param_step_marks.param, -1);
  EXPECT_FALSE(param_step_marks.step[2]);
}

TEST_F(ParamPageScenario, DpadPacingChoicesApadMouseAndTheVolumeLine) {
  single_synth_song();
  run("hold 8 9 0\n tick\n release all\n tick\n press X\n");
  const int wt_line = line_of("WTTYPE1");
  const int wt = page_line_slot(wt_line, 0);
  edit_param(0, wt, 0, 0, 0.0f);
  run(cursor_to(wt_line));
  EXPECT_TRUE(highlighted_row("WTTYPE1   SINE", kSlotActiveMenuText));

  // L-TR + D-UP: one choice at once, then one every sixth acting tick while held.
  run("hold L-TR D-UP\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 1.0f);
  EXPECT_TRUE(highlighted_row("WTTYPE1   SINE2", kSlotActiveMenuText));
  run("tick 5\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 1.0f);
  run("tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 2.0f);
  run("tick 6\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 3.0f);
  // R-TR moves a choice by ten. The pacing holds back only a change that repeats: a new press
  // acts at once, however short the pause before it.
  run("release all\n tick 3\n hold R-TR D-UP\n tick\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 13.0f);
  run("hold R-TR D-UP\n tick\n release all\n tick 10\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 23.0f);
  run("hold L-TR D-DN\n tick\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 22.0f);
  // Two 10 ms taps of D-UP 30 ms apart under a held L-TR: two changes, though both fall
  // between the same two acting ticks.
  run("hold L-TR\n tick\n hold D-UP\n wait 0.01\n release D-UP\n wait 0.03\n hold D-UP\n"
      "wait 0.01\n release D-UP\n tick 3\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 24.0f);
  run("hold L-TR D-DN\n tick\n release all\n tick\n press L-TR D-DN\n");
  EXPECT_FLOAT_EQ(lane_at(0, wt, 0), 22.0f);
  EXPECT_EQ(param_page.cursor, wt_line);  // a change with a trigger leaves the cursor

  // D-UP alone moves the cursor on every tick, wrapping past the first line.
  run("hold D-UP\n tick " + std::to_string(wt_line + 1) + "\n release all\n tick\n");
  EXPECT_EQ(param_page.cursor, page_line_count(0) - 1);
  run("press D-DN\n");
  EXPECT_EQ(param_page.cursor, 0);

  // The APAD changes on every tick, by the coarse step times the sensitivity factor.
  const int mix_line = line_of("OSCMIX");
  const int mix = page_line_slot(mix_line, 0);
  edit_param(0, mix, 0, 0, 0.5f);
  run(cursor_to(mix_line) + "hold A-UP\n tick 4\n release all\n tick\n");
  EXPECT_NEAR(lane_at(0, mix, 0), 0.52f, 1e-6);
  // A drag: the left button 1 step a pixel, the right button the coarse step.
  run("mouse left -10\n");
  EXPECT_NEAR(lane_at(0, mix, 0), 0.53f, 1e-6);
  run("mouse right 4\n");
  EXPECT_NEAR(lane_at(0, mix, 0), 0.51f, 1e-6);

  // The ENV page: line 7 is the step volume itself, in both the list and the change; ENVTYPE
  // EXP shows the EXP lines, with the volume on line 3.
  run("press D-LT\n press D-DN\n press X\n");
  ASSERT_EQ(editor_state(), kStateEnvPage);
  const int voice = song.param_count[0] - 13;
  edit_param(0, voice, 0, 0, 0.0f);
  edit_step_vol(0, 0, 0, 0.4f);
  run(cursor_to(7) + "hold A-UP\n tick 2\n release all\n tick\n");
  EXPECT_NEAR(song.step_vol[0][0][0], 0.41f, 1e-6);
  EXPECT_TRUE(highlighted_row("VOL      0.41000", kSlotActiveMenuText));
  run("press SQ\n");
  EXPECT_FLOAT_EQ(song.step_vol[0][0][0], 0.5f);
  EXPECT_EQ(page_line_count(0), 9);
  run(repeat("press D-DN", 2) + "hold L-TR D-UP\n tick\n release all\n tick\n");
  EXPECT_EQ(param_page.cursor, 0);
  EXPECT_FLOAT_EQ(lane_at(0, voice, 0), 1.0f);
  EXPECT_EQ(page_line_count(0), 5);
  EXPECT_TRUE(highlighted_row("ENVTYPE EXP", kSlotActiveMenuText));
  EXPECT_TRUE(page_line_is_step_volume(3, 0));
  EXPECT_EQ(page_line_slot(4, 0), voice + 12);
  shot("param_page_env_exp");
}

TEST_F(ParamPageScenario, EveryPageOfEveryEngineAndEffectIsDrawn) {
  // A song of one BAM, to which each type in turn is added as track 1.
  single_synth_song();
  const char* engines[] = {"WAV", "BFM", "FM", "N", "KS", "ZBQ", "ROT", "BAM"};
  const char* effects[] = {"CLP", "DEC", "MSK", "PCF", "RD", "SHP", "SVF"};
  for (int e = 0; e < 8; ++e) {
    const std::string name = std::string(engines[e]) + effects[e % 7];
    const int type = type_code_from_name(name.c_str());
    ASSERT_GE(type, 0) << name;
    ASSERT_EQ(edit_add_synth(type), EditResult::kOk) << name;
    for (int page = kStateGenPage; page <= kStateEnvPage; ++page) {
      ASSERT_TRUE(open_parameter_page(page, 1)) << name;
      const char* list = param_page.list;
      const int n = page_line_count(0);
      EXPECT_EQ(list_entry_width(list), kPageLineWidth);
      EXPECT_GT(n, 0);
      // Names are padded to the longest on the page: every value text starts in one column.
      const ParamInfo* first = type_param(type, page_line_slot(0, 0));
      EXPECT_EQ(std::string(list_entry(list, 0)).rfind(first->name, 0), 0u) << name;
      EXPECT_TRUE(highlighted_row(first->name, kSlotActiveMenuText)) << name << " " << page;
      const int top = menu_item_y(list, kListCentred, 0);
      const bool fm_gen = page == kStateGenPage && type_engine_kind(type) == kKindFm;
      EXPECT_EQ(top, 300 - 4 * n + (fm_gen ? 12 : 0)) << name;
      shot("param_page_" + name + "_" + (page == kStateGenPage ? "gen" : page == kStateFxPage ? "fx" : "env"));
    }
    if (type_engine_kind(type) == kKindBfm) {
      // FMPARAMS MOD: the modulator's lines, 17 slots further on.
      ASSERT_TRUE(open_parameter_page(kStateGenPage, 1));
      EXPECT_EQ(page_line_count(0), 18);
      edit_param(1, 0, 0, 0, 1.0f);
      draw_parameter_page();
      EXPECT_EQ(page_line_count(0), 16);
      EXPECT_EQ(page_line_slot(1, 0), 18);
      EXPECT_EQ(std::string(type_param(type, 18)->name), "MSH1");
      EXPECT_TRUE(highlighted_row("FMPARAMS MOD", kSlotActiveMenuText));
      shot("param_page_BFM_gen_mod_view");
    }
    ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  }
  // A synth without an effect has no FX page.
  EXPECT_FALSE(open_parameter_page(kStateFxPage, 0));
}

// Right channel of the raw frames the drive wrote (right first, 16-bit).
std::vector<float> right_channel(std::FILE* f) {
  std::vector<float> out;
  std::rewind(f);
  int16_t frame[2];
  while (std::fread(frame, sizeof frame[0], 2, f) == 2) out.push_back(frame[0]);
  return out;
}

TEST_F(ParamPageScenario, APitchSetOnAPageAtOneStepIsHeardAtThatStepOnly) {
  single_synth_song();
  transport_set_stopped(true);
  // Every step of track 0 sounds the same note, in MIDI mode.
  ASSERT_EQ(edit_set_freq_mode(0), EditResult::kOk);
  ASSERT_EQ(song.freq_mode[0], kFreqMidi);
  for (int s = 0; s < MAX_STEPS; ++s) {
    edit_step_trig(0, 0, s, 100);
    edit_step_vol(0, 0, s, 0.5f);
  }
  run("hold 8 9 0\n tick\n release all\n tick\n press X\n");
  const int pitch_line = line_of("FREQ1");
  const int pitch = page_line_slot(pitch_line, 0);
  edit_param_steps(0, pitch, 0, 0, MAX_STEPS - 1, 69.0f);
  // Step 5, an octave up: R-TR + D-UP moves a note by twelve.
  run(repeat("press A-RT", 5) + cursor_to(pitch_line) + "hold R-TR D-UP\n tick\n release all\n"
      "press START\n");
  EXPECT_FLOAT_EQ(lane_at(0, pitch, 5), 81.0f);
  EXPECT_FLOAT_EQ(lane_at(0, pitch, 4), 69.0f);
  EXPECT_EQ(editor_state(), kStateStepEdit);

  std::FILE* capture = std::tmpfile();
  ASSERT_NE(capture, nullptr);
  set_drive_wav(capture);
  transport_restart();
  transport_set_stopped(false);
  run("wait 1\n");
  set_drive_wav(nullptr);
  const std::vector<float> right = right_channel(capture);
  std::fclose(capture);
  size_t onset = 0;
  while (onset < right.size() && std::fabs(right[onset]) < 50.0f) ++onset;
  ASSERT_LT(onset + 10 * 2757, right.size());
  // A step lasts 2756.25 frames at 120 BPM; measure the middle of steps 3 to 7.
  std::vector<double> hz;
  for (int s = 3; s <= 7; ++s) {
    const size_t from = onset + static_cast<size_t>(s * 2756.25) + 400;
    hz.push_back(zero_crossing_frequency(&right[from], 2000));
  }
  for (int i : {0, 1, 3, 4}) EXPECT_NEAR(hz[i], hz[0], hz[0] * 0.03) << i;
  EXPECT_NEAR(hz[2] / hz[1], 2.0, 0.1) << hz[0] << " " << hz[1] << " " << hz[2] << " " << hz[3] << " onset " << onset;
}

TEST_F(ParamPageScenario, SamplesLoadForTheWholeSongAndAFailedLoadKeepsWhatPlayed) {
  single_synth_song();
  std::vector<int16_t> ramp(400);
  for (int i = 0; i < 400; ++i) ramp[i] = static_cast<int16_t>(i * 50);
  ASSERT_TRUE(write_bytes("wav/A.WAV", make_wav(1, 44100, 16, pcm16(ramp))));
  ASSERT_TRUE(write_bytes("wav/B.WAV", make_wav(2, 22050, 16, pcm16(ramp))));
  // A header that passes the list check over data that holds not one frame.
  std::vector<uint8_t> damaged = make_wav(2, 44100, 16, {1}, 4000);
  ASSERT_TRUE(write_bytes("wav/C.WAV", damaged));
  ASSERT_EQ(edit_add_synth(type_code_from_name("WAV")), EditResult::kOk);
  ASSERT_EQ(wav_list.count, 3);
  editor_link.cursor_track = 1;
  run("hold 8 9 0\n tick\n release all\n tick\n press X\n");
  ASSERT_EQ(editor_state(), kStateGenPage);
  ASSERT_EQ(param_page.track, 1);

  // The list is in directory order; the sample number goes up to its last entry.
  const int a_wav = find_wav("A.WAV"), b_wav = find_wav("B.WAV"), c_wav = find_wav("C.WAV");
  run("hold R-TR D-UP\n tick\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(1, 0, 0), 2.0f);
  run("tick 10\n hold L-TR D-DN\n tick\n release all\n tick\n");
  EXPECT_FLOAT_EQ(lane_at(1, 0, 0), 1.0f);
  edit_param(1, 0, 0, 0, static_cast<float>(b_wav));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateGenPage);
  ASSERT_NE(wav_sample(1), nullptr);
  EXPECT_STREQ(wav_sample(1)->name, "B.WAV");
  EXPECT_NEAR(wav_sample(1)->length, 400, 2);  // 200 frames at 22.05 kHz, brought to 44.1 kHz
  // The FILENAME line names the sample, not its number.
  EXPECT_TRUE(highlighted_row("FILENAME  B.WAV", kSlotActiveMenuText));
  shot("param_page_sample_name");
  for (int i = 0; i < kLaneLength; i += 97)
    EXPECT_FLOAT_EQ(song.param_slot[1][0].lane[i], static_cast<float>(b_wav));

  // C.WAV is damaged: "WAV NOT LOADED", B.WAV keeps playing under its name, every sample
  // number returns to it.
  const SampleData* before = wav_sample(1);
  edit_param(1, 0, 0, 0, static_cast<float>(c_wav));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateWavNotLoaded);
  EXPECT_TRUE(text_at(400 - 4 * 14, 296, "WAV NOT LOADED", slot(kSlotActiveMenuText)));
  shot("param_page_wav_not_loaded");
  EXPECT_EQ(wav_sample(1), before);
  EXPECT_STREQ(wav_sample(1)->name, "B.WAV");
  for (int i = 0; i < kLaneLength; i += 89)
    EXPECT_FLOAT_EQ(song.param_slot[1][0].lane[i], static_cast<float>(b_wav));
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);

  // A file gone since the list was made fails the same way from a paste: nothing is pasted.
  edit_param(1, 0, 0, 3, static_cast<float>(a_wav));
  editor_link.cursor_step = 3;
  run("hold O\n tick\n press L-TR\n release all\n tick\n");
  ASSERT_TRUE(step_editor.copy.selected);
  std::remove("wav/A.WAV");
  editor_link.cursor_step = 6;
  edit_step_trig(0, 1, 3, 70);
  run("hold O\n tick\n press R-TR\n release all\n tick\n");
  EXPECT_EQ(editor_state(), kStateWavNotLoaded);
  EXPECT_EQ(song.step_trig[0][1][6], 0);
  EXPECT_STREQ(wav_sample(1)->name, "B.WAV");
  EXPECT_FLOAT_EQ(lane_at(1, 0, 3), static_cast<float>(b_wav));
  run("press START\n");

  // The copy, which names A.WAV, pasted once the file is back: loaded for the whole song.
  ASSERT_TRUE(write_bytes("wav/A.WAV", make_wav(1, 44100, 16, pcm16(ramp))));
  ASSERT_TRUE(step_editor.copy.selected);
  run("hold O\n tick\n press R-TR\n release all\n tick\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_STREQ(wav_sample(1)->name, "A.WAV");
  EXPECT_EQ(song.step_trig[0][1][6], 70);
  for (int i = 0; i < kLaneLength; i += 101)
    EXPECT_FLOAT_EQ(song.param_slot[1][0].lane[i], static_cast<float>(a_wav));

  // A song whose sample has gone since it was saved loads all the same, and says which.
  ASSERT_EQ(edit_save_song("SMP.SEQ"), EditResult::kOk);
  std::remove("wav/A.WAV");
  run("press START\n press X\n press D-DN\n press X\n press X\n");  // SYSTEM > LOAD, the one song
  EXPECT_EQ(editor_state(), kStateWavNotLoaded);
  const char* missing = "WAV NOT LOADED: A.WAV";
  EXPECT_TRUE(text_at(400 - 4 * static_cast<int>(std::strlen(missing)), 296, missing,
                      slot(kSlotActiveMenuText)));
  shot("param_page_song_sample_missing");
  EXPECT_STREQ(editor_link.song_name, "SMP");
  EXPECT_EQ(song.step_trig[0][1][6], 70);
}

TEST_F(ParamPageScenario, FreqModeAsksAndSwitchesOnlyOnAChange) {
  // CONFIG is the sixth item of the root menu, FREQMODE its first.
  const int pitch = 1;  // BAM's FREQ1
  ASSERT_EQ(song.freq_mode[0], kFreqAbs);
  edit_param(0, pitch, 0, 0, 300.0f);
  run("press START\n" + repeat("press D-DN", 5) + "press X\n press X\n");
  ASSERT_EQ(editor_state(), kStateFreqMode);
  EXPECT_EQ(current_menu().selection, 0);
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateFreqModeQuestion);
  const std::string abs_question = "SET " + std::string("BAM1") + " FREQ MODE: ABS ";
  const int x = 400 - 4 * static_cast<int>(abs_question.size());
  EXPECT_TRUE(text_at(x, 296, abs_question.c_str(), slot(kSlotActiveMenuText)));
  // The mode it has already: nothing changes.
  run("press X\n");
  EXPECT_EQ(editor_state(), kStateStepEdit);
  EXPECT_EQ(song.freq_mode[0], kFreqAbs);
  EXPECT_FLOAT_EQ(lane_at(0, pitch, 0), 300.0f);

  // D-UP turns the answer to MIDI; X switches, every pitch value becomes note 0.
  run("press START\n" + repeat("press D-DN", 5) + "press X\n press X\n press X\n press D-UP\n");
  EXPECT_TRUE(text_at(x, 296, "SET BAM1 FREQ MODE: MIDI", slot(kSlotActiveMenuText)));
  shot("freq_mode_question");
  run("press X\n");
  EXPECT_EQ(song.freq_mode[0], kFreqMidi);
  EXPECT_FLOAT_EQ(lane_at(0, pitch, 0), 0.0f);
  EXPECT_EQ(song.param_slot[0][pitch].cls, ParamClass::kNotePitch);

  // With no synth that has a pitch, FREQMODE leaves the CONFIG menu as it is.
  single_synth_song();
  ASSERT_EQ(edit_add_synth(type_code_from_name("N")), EditResult::kOk);
  ASSERT_EQ(edit_delete_synth(0), EditResult::kOk);
  run("press START\n" + repeat("press D-DN", 5) + "press X\n press X\n");
  EXPECT_EQ(editor_state(), kMenuConfig);
}

TEST_F(ParamPageScenario, RandomKeysKeepEveryValueOfEveryTypeInItsRange) {
  single_synth_song();
  std::mt19937 rng(12);
  const char* keys[] = {"X", "O", "SQ", "TRI", "L-TR", "R-TR", "SELECT", "D-UP", "D-DN", "D-RT",
                        "A-UP", "A-DN", "A-LT", "A-RT"};
  for (int type = 0; type < kTypeCount; ++type) {
    ASSERT_EQ(edit_add_synth(type), EditResult::kOk) << type;
    for (int s = 0; s < MAX_STEPS; s += 1 + static_cast<int>(rng() % 5)) edit_step_trig(0, 1, s, 100);
    for (int page = kStateGenPage; page <= kStateEnvPage; ++page) {
      if (!open_parameter_page(page, 1)) continue;
      std::string script;
      for (int i = 0; i < 40; ++i) {
        const int r = static_cast<int>(rng() % 20);
        if (r < 14) {
          script += std::string("hold ") + keys[r] + "\n";
        } else if (r < 16) {
          script += "release all\n";
        } else if (r < 18) {
          script += "mouse " + std::string(r == 16 ? "left " : "right ") +
                    std::to_string(static_cast<int>(rng() % 200) - 100) + "\n";
        } else {
          script += "tick " + std::to_string(1 + rng() % 6) + "\n";
        }
        script += "tick\n";
      }
      // A sample load that fails leaves the page for its message, and the keys act on.
      run(script + "release all\n tick\n");
    }
    for (int slot = 0; slot < song.param_count[1]; ++slot) {
      ParamRange r;
      ASSERT_TRUE(parameter_range(1, slot, &r));
      for (int i = 0; i < kLaneLength; ++i) {
        const float v = song.param_slot[1][slot].lane[i];
        ASSERT_TRUE(v >= r.min && v <= r.max)
            << type_name_from_code(type) << " slot " << slot << " value " << v;
      }
    }
    for (int s = 0; s < MAX_STEPS; ++s) {
      ASSERT_GE(song.step_vol[0][1][s], 0.0f);
      ASSERT_LE(song.step_vol[0][1][s], 1.0f);
    }
    return_to_step_edit();
    ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  }
}

}  // namespace
}  // namespace zorbel::test
