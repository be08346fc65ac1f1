// The edit layer's preset operations: the range a preset is written to, keeping the frequency
// data, pitch between ABS and MIDI, the preview, and the recovery save on quit.
#include <gtest/gtest.h>

#include <string>

#include "edit/edit.h"
#include "engine/song.h"
#include "files/preset_file.h"
#include "files/song_file.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel {
namespace {

constexpr int kTrack = 0;  // BAM in the start-up song; parameter 1 is its pitch FREQ1
constexpr int kPitch = 1;
constexpr int kOscMix = 9;

class EditPresetsTest : public test::EngineTest {
 protected:
  void SetUp() override {
    test::EngineTest::SetUp();
    ASSERT_EQ(edit_new_song(1), EditResult::kOk);  // MELODEE: track 0 is BAM with its sound
    // Track 0 in MIDI mode with note 40 everywhere, OSCMIX 0.25.
    if (song.freq_mode[kTrack] != 1) edit_set_freq_mode(kTrack);
    edit_param_all_loops(kTrack, kPitch, 40.0f);
    edit_param_all_loops(kTrack, kOscMix, 0.25f);
    preset = track_preset_values(kTrack, 0, 0);
    preset.values[kPitch] = 69.0f;
    preset.values[kOscMix] = 0.75f;
  }
  float value(int slot, int loop, int step) { return param_value(kTrack, slot, loop, step); }
  PresetValues preset;
  test::TempWorkdir dir;
};

TEST_F(EditPresetsTest, PresetGoesToStepLoopOrSongAndKeepsTheFrequencyDataWhenAsked) {
  ASSERT_EQ(edit_apply_preset(kTrack, preset, PresetRange::kStep, 2, 5, true), EditResult::kOk);
  EXPECT_EQ(value(kOscMix, 2, 5), 0.75f);
  EXPECT_EQ(value(kOscMix, 2, 4), 0.25f);
  EXPECT_EQ(value(kOscMix, 2, 6), 0.25f);
  EXPECT_EQ(value(kPitch, 2, 5), 40.0f);  // kept
  ASSERT_EQ(edit_apply_preset(kTrack, preset, PresetRange::kLoop, 3, 0, false), EditResult::kOk);
  EXPECT_EQ(value(kPitch, 3, 0), 69.0f);
  EXPECT_EQ(value(kPitch, 3, 63), 69.0f);
  EXPECT_EQ(value(kPitch, 4, 0), 40.0f);
  EXPECT_EQ(value(kOscMix, 2, 4), 0.25f);

  // A preset saved in ABS: its pitch is converted while other steps keep their notes...
  PresetValues hz = preset;
  hz.freq_mode = 0;
  hz.values[kPitch] = 880.0f;
  ASSERT_EQ(edit_apply_preset(kTrack, hz, PresetRange::kStep, 0, 0, false), EditResult::kOk);
  EXPECT_EQ(song.freq_mode[kTrack], 1);
  EXPECT_EQ(value(kPitch, 0, 0), 81.0f);  // A5
  // ...and the track turns to ABS when the whole song's pitch is overwritten.
  ASSERT_EQ(edit_apply_preset(kTrack, hz, PresetRange::kSong, 0, 0, false), EditResult::kOk);
  EXPECT_EQ(song.freq_mode[kTrack], 0);
  EXPECT_EQ(song.param_slot[kTrack][kPitch].cls, ParamClass::kHzPitch);
  EXPECT_EQ(value(kPitch, 99, 63), 880.0f);
  EXPECT_EQ(value(kOscMix, 50, 10), 0.75f);

  // Presets of another type's size or for steps that do not exist change nothing.
  PresetValues other = preset;
  other.count = preset.count + 3;
  EXPECT_EQ(edit_apply_preset(kTrack, other, PresetRange::kSong, 0, 0, false), EditResult::kBadArgument);
  EXPECT_EQ(edit_apply_preset(kTrack, preset, PresetRange::kStep, 0, 64, false), EditResult::kBadArgument);
  EXPECT_EQ(value(kOscMix, 0, 63), 0.75f);
}

TEST_F(EditPresetsTest, PreviewPlaysThePresetAndPutsTheLoopBackUncounted) {
  mark_song_saved();
  edit_param(kTrack, kOscMix, transport.current_loop, 7, 0.5f);
  mark_song_saved();
  const int loop = transport.current_loop;
  ASSERT_EQ(edit_preview_preset(kTrack, preset, true), EditResult::kOk);
  EXPECT_TRUE(preset_preview_on());
  EXPECT_EQ(value(kOscMix, loop, 7), 0.75f);
  EXPECT_EQ(value(kPitch, loop, 7), 40.0f);
  PresetValues next = preset;
  next.values[kOscMix] = 1.0f;
  ASSERT_EQ(edit_preview_preset(kTrack, next, false), EditResult::kOk);  // the next preset shown
  EXPECT_EQ(value(kOscMix, loop, 0), 1.0f);
  EXPECT_EQ(value(kPitch, loop, 0), 69.0f);
  edit_end_preset_preview();
  EXPECT_FALSE(preset_preview_on());
  EXPECT_EQ(value(kOscMix, loop, 7), 0.5f);
  EXPECT_EQ(value(kOscMix, loop, 8), 0.25f);
  EXPECT_EQ(value(kPitch, loop, 0), 40.0f);
  EXPECT_FALSE(song_changed_since_save());
}

TEST_F(EditPresetsTest, SavePresetStoresTheStepValuesAndQuitWritesARecoveryOnlyAfterAChange) {
  ASSERT_TRUE(make_preset_file(song.synth_type[kTrack], "MINE"));
  edit_param(kTrack, kOscMix, 1, 2, 0.125f);
  std::string reason;
  ASSERT_EQ(edit_save_preset(kTrack, 1, 2, "BAM.MINE.preset.zbl", 7, "SOFT", &reason),
            EditResult::kOk) << reason;
  PresetFile file;
  ASSERT_TRUE(read_preset_file("BAM.MINE.preset.zbl", 0, file));
  EXPECT_EQ(file.names[7], "SOFT");
  EXPECT_EQ(file.presets[7].values[kOscMix], 0.125f);
  EXPECT_EQ(file.presets[7].values[kPitch], 40.0f);
  EXPECT_EQ(file.presets[7].freq_mode, 1);
  EXPECT_EQ(edit_save_preset(kTrack, 1, 2, "BAM.NONE.preset.zbl", 7, "SOFT", &reason),
            EditResult::kSaveFailed);

  bool written = true;
  mark_song_saved();
  ASSERT_EQ(save_recovery_song(&written), EditResult::kOk);
  EXPECT_FALSE(written);
  EXPECT_TRUE(test::read_bytes("seq/RECOVER.SEQ").empty());
  edit_bpm(97.0f);
  ASSERT_EQ(save_recovery_song(&written), EditResult::kOk);
  EXPECT_TRUE(written);
  EXPECT_STREQ(editor_link.song_name, kNoSongName);
  EXPECT_TRUE(song_changed_since_save());
  edit_bpm(120.0f);
  ASSERT_TRUE(load_song("seq/RECOVER.SEQ"));
  EXPECT_EQ(song.bpm, 97.0f);
}

}  // namespace
}  // namespace zorbel
