// The value texts by class and the parameter modifier's step sizes, triggers, sensitivity,
// ranges and many-step writes.
#include <gtest/gtest.h>

#include <cstring>

#include "edit/edit.h"
#include "engine/song_templates.h"
#include "tests/support/engine_fixture.h"
#include "ui/widgets/editor_state.h"
#include "ui/platform/input.h"
#include "ui/widgets/param_modifier.h"
#include "ui/screens/quick_params.h"
#include "ui/screens/sequencer_screen.h"
#include "ui/screens/step_editor.h"
#include "ui/widgets/view_settings.h"
#include "ui/widgets/value_text.h"

namespace zorbel::test {
namespace {

std::string text(int cls, float v, ValueTextUse use = ValueTextUse::kPageList) {
  char buffer[kValueTextCapacity];
  return value_text(static_cast<ParamClass>(cls), v, buffer, use);
}

TEST(ValueText, EveryClassFamily) {
  // Note names, padded to five characters after the leading blank.
  EXPECT_EQ(text(1, 0), " C_0  ");
  EXPECT_EQ(text(1, 1), " CS_0 ");
  EXPECT_EQ(text(1, 127), " G_10 ");
  EXPECT_EQ(text(1, 52.9f), " E_4  ");
  // General number text: fraction digits shrink as the whole part grows; floats meant as
  // round decimals read round.
  EXPECT_EQ(text(0, 0.05f), " 0.05000");
  EXPECT_EQ(text(0, 120.5f), " 120.500");
  EXPECT_EQ(text(0, 0.7f), " 0.70000");
  EXPECT_EQ(text(0, -3.25f), " -3.2500");
  EXPECT_EQ(text(0, 12.5f), " 12.5000");
  EXPECT_EQ(text(0, 22050.0f), " 22050.00");
  EXPECT_EQ(text(0, 200000.0f), " 200000.0");
  EXPECT_EQ(text(2, 480.0f), " 480.000");
  // Whole numbers, hexadecimal, and the named choices.
  EXPECT_EQ(text(7, 1999.9f), " 1999");
  EXPECT_EQ(text(26, 3.0f), " 3");
  EXPECT_EQ(text(20, 15432.0f), " 3c48");
  EXPECT_EQ(text(8, 20.0f), " SAW");
  EXPECT_EQ(text(8, 34.0f), " NOISER4");
  EXPECT_EQ(text(9, 14.0f), " TRIR4");
  EXPECT_EQ(text(4, 1.0f), " EXP");
  EXPECT_EQ(text(10, 0.0f), " OFF");
  EXPECT_EQ(text(11, 3.0f), " NOTCH");
  EXPECT_EQ(text(21, 1.0f), " LOOP");
  EXPECT_EQ(text(22, 2.0f), " XOR");
  EXPECT_EQ(text(23, 0.0f), " UNDER");
  EXPECT_EQ(text(24, 5.0f), " PC-RM");
  EXPECT_EQ(text(25, 3.0f), " CC");
  EXPECT_EQ(text(27, 2.0f), " PURPLE");
  EXPECT_EQ(text(6, 1.0f), " MOD");
  // The quick panel leaves classes 3 and 6 without text; a choice outside its list shows its
  // number instead of reading past the names.
  EXPECT_EQ(text(6, 1.0f, ValueTextUse::kQuickPanel), "");
  EXPECT_EQ(text(3, 1.0f, ValueTextUse::kQuickPanel), "");
  EXPECT_EQ(text(11, 9.0f), " 9");
  EXPECT_EQ(text(8, -1.0f), " -1");

  char tempo[kTempoTextCapacity];
  EXPECT_STREQ(tempo_text(7.5f, tempo), "BPM:   7.50");
  EXPECT_STREQ(tempo_text(120.5f, tempo), "BPM: 120.50");
  EXPECT_STREQ(tempo_text(60.05f, tempo), "BPM:  60.05");
  EXPECT_STREQ(tempo_text(999.0f, tempo), "BPM: 999.00");
}

class ModifierTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    build_startup_song();
    reset_input_state();
    reset_step_editor();
    reset_param_step_marks();
    editor_link.cursor_step = 5;
  }
  void hold(int key, bool held = true) { input.keys[key] = held ? 1 : 0; }
  float value(int track, int slot, int step = 5) { return param_value(track, slot, 0, step); }
};

constexpr int kBamWave = 4;   // WTTYPE1, class 8
constexpr int kBamFreq = 1;   // FREQ1
constexpr int kBamOffset = 6; // OFFSET, class 0, 0..4

TEST_F(ModifierTest, StepSizesTriggersSensitivityAndRanges) {
  // Track 9 (BAMSVF) keeps MIDI note numbers; track 0 (BAM sound 1) holds its pitch in Hz.
  ASSERT_EQ(song.param_slot[9][kBamFreq].cls, ParamClass::kNotePitch);
  ASSERT_EQ(song.param_slot[0][kBamFreq].cls, ParamClass::kHzPitch);
  edit_param(9, kBamWave, 0, 5, 20.0f);
  // With L-TR a D-pad change moves a choice by one, with R-TR by ten; a note by an octave.
  hold(kBtnLTr);
  modify_parameter(kStateGenPage, 9, kBamWave, 1, kSourceDpad);
  EXPECT_FLOAT_EQ(value(9, kBamWave), 21.0f);
  hold(kBtnLTr, false);
  hold(kBtnRTr);
  modify_parameter(kStateGenPage, 9, kBamWave, -1, kSourceDpad);
  EXPECT_FLOAT_EQ(value(9, kBamWave), 11.0f);
  const float note = value(9, kBamFreq);
  modify_parameter(kStateGenPage, 9, kBamFreq, 1, kSourceDpad);
  EXPECT_FLOAT_EQ(value(9, kBamFreq), note + 12.0f);
  // A continuous value from the D-pad with R-TR: the fine step, then x 10.
  const float offset = value(9, kBamOffset);
  modify_parameter(kStateGenPage, 9, kBamOffset, 1, kSourceDpad);
  EXPECT_NEAR(value(9, kBamOffset), offset + 0.03125f, 1e-6);
  hold(kBtnRTr, false);

  // The APAD scales by the sensitivity: level 7 is 1.0, level 0 a hundredth.
  ParamRange range;
  ASSERT_TRUE(parameter_range(9, kBamOffset, &range));
  const float before = value(9, kBamOffset);
  modify_parameter(kStateStepEdit, 9, kBamOffset, -3, kSourceApad);
  EXPECT_NEAR(value(9, kBamOffset), before - range.step[2], 1e-6);
  view_settings.apad_sensitivity = 0;
  modify_parameter(kStateStepEdit, 9, kBamOffset, 3, kSourceApad);
  EXPECT_NEAR(value(9, kBamOffset), before - range.step[2] * 0.99f, 1e-6);

  // Single changes are clamped to the range: a note stops at 127, a pitch in Hz at 22050.
  edit_param(9, kBamFreq, 0, 5, 126.0f);
  hold(kBtnRTr);
  modify_parameter(kStateGenPage, 9, kBamFreq, 1, kSourceDpad);
  EXPECT_FLOAT_EQ(value(9, kBamFreq), 127.0f);
  hold(kBtnRTr, false);

  // ROT's pitch has its own limits: 1..2756 Hz, notes up to 100.
  ASSERT_EQ(edit_add_synth(48), EditResult::kOk);
  const int rot = song.track_count - 1;
  ASSERT_TRUE(parameter_range(rot, 0, &range));
  EXPECT_FLOAT_EQ(range.max, 100.0f);
  edit_set_freq_mode(rot);
  ASSERT_TRUE(parameter_range(rot, 0, &range));
  EXPECT_FLOAT_EQ(range.min, 1.0f);
  EXPECT_FLOAT_EQ(range.max, 2756.0f);

  // The quick parameters and how the panel writes them.
  QuickParam q;
  ASSERT_TRUE(quick_param(rot, 1, &q));
  EXPECT_STREQ(q.name, "VAL");
  EXPECT_EQ(q.text_class, ParamClass::kHexWord);
  ASSERT_TRUE(quick_param(9, 0, &q));
  EXPECT_EQ(q.slot, kBamFreq);
  EXPECT_EQ(q.text_class, ParamClass::kNotePitch);
  ASSERT_TRUE(quick_param(9, 1, &q));  // BAMSVF: the effect's MIX
  EXPECT_STREQ(q.name, "MIX");
  EXPECT_EQ(q.slot, 13 + 5);
  ASSERT_TRUE(quick_param(3, 0, &q));  // NSVF: SAMPHOLD as a whole number
  EXPECT_EQ(q.text_class, ParamClass::kHoldCount);
  EXPECT_STREQ(q.name, "SAMPHOLD");
}

TEST_F(ModifierTest, PageWritesEveryStepMarkedStepsOrKeepsTheDifference) {
  const int t = 9;
  edit_param_steps(t, kBamOffset, 0, 0, MAX_STEPS - 1, 1.0f);
  // TRI held on a page: the changed value goes to all 64 steps.
  hold(kBtnTri);
  modify_parameter(kStateGenPage, t, kBamOffset, 3, kSourceApad);
  const float v = value(t, kBamOffset);
  EXPECT_GT(v, 1.0f);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 0), v);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 63), v);
  // ... or only to the marked steps when the cursor step is marked for this parameter.
  param_step_marks.param = kBamOffset;
  param_step_marks.step[5] = param_step_marks.step[7] = true;
  modify_parameter(kStateGenPage, t, kBamOffset, 3, kSourceApad);
  EXPECT_GT(value(t, kBamOffset, 7), v);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 6), v);
  hold(kBtnTri, false);
  reset_param_step_marks();

  // O held: every triggered step moves by the change, refused as a whole if one would leave
  // the range (OFFSET: 0..4).
  edit_step_trig(0, t, 2, 100);
  edit_step_trig(0, t, 5, 100);
  edit_param(t, kBamOffset, 0, 2, 4.0f);
  edit_param(t, kBamOffset, 0, 5, 2.0f);
  hold(kBtnO);
  modify_parameter(kStateGenPage, t, kBamOffset, 3, kSourceApad);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 2), 4.0f);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 5), 2.0f);
  modify_parameter(kStateGenPage, t, kBamOffset, -3, kSourceApad);
  EXPECT_LT(value(t, kBamOffset, 2), 4.0f);
  EXPECT_NEAR(4.0f - value(t, kBamOffset, 2), 2.0f - value(t, kBamOffset, 5), 1e-6);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 3), v);  // not triggered: untouched
  // In step edit O and TRI do not spread a change: only the cursor step moves.
  hold(kBtnO, false);
  hold(kBtnTri);
  const float at3 = value(t, kBamOffset, 3);
  modify_parameter(kStateStepEdit, t, kBamOffset, 3, kSourceApad);
  EXPECT_FLOAT_EQ(value(t, kBamOffset, 3), at3);
}

}  // namespace
}  // namespace zorbel::test
