// Whole-song replacement: templates, built-in sounds, the start-up song and custom templates.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/builtin_sounds.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

using TemplatesTest = EngineTest;

TEST_F(TemplatesTest, EveryTemplateBuildsItsSynthsAndSoundsInOrder) {
  for (int n = 0; n < kTemplateCount; ++n) {
    init_engine(kTestSeed);
    new_song(n);
    const SongTemplate& tmpl = kSongTemplates[n];
    ASSERT_EQ(song.track_count, tmpl.count) << tmpl.name;
    for (int t = 0; t < tmpl.count; ++t) {
      EXPECT_EQ(song.synth_type[t], tmpl.entries[t].type) << tmpl.name << " track " << t;
      const int sound = tmpl.entries[t].sound;
      if (sound < 0) continue;
      const BuiltinSound& s = kBuiltinSounds[sound];
      ASSERT_EQ(song.param_count[t], s.value_count) << tmpl.name << " track " << t;
      EXPECT_EQ(song.freq_mode[t], s.freq_mode);
      for (int k = 0; k < s.value_count; ++k) {
        const ParamSlot& slot = song.param_slot[t][k];
        EXPECT_EQ(slot.def, s.values[k]) << tmpl.name << " track " << t << " slot " << k;
        EXPECT_EQ(slot.lane[0], s.values[k]);
        EXPECT_EQ(slot.lane[kLaneLength - 1], s.values[k]);
      }
    }
    for (int t = tmpl.count; t < MAX_TRACKS; ++t) EXPECT_EQ(song.synth_type[t], SYNTH_TYPE_NONE);
    if (tmpl.count < MAX_TRACKS) {
      EXPECT_STREQ(song.track_name[tmpl.count], "~");
    }
  }
}

TEST_F(TemplatesTest, SoundsInHzSwitchThePitchClass) {
  new_song(0);
  EXPECT_EQ(song.param_slot[0][1].cls, ParamClass::kHzPitch);  // BAM with sound 1: FREQ1 in Hz
  EXPECT_EQ(song.freq_mode[0], 0);
  EXPECT_EQ(song.param_slot[9][1].cls, ParamClass::kNotePitch);  // BAMSVF without a sound: note numbers
  new_song(2);
  EXPECT_EQ(song.param_slot[0][0].cls, ParamClass::kHzPitch);  // ROT with sound 4
}

TEST_F(TemplatesTest, NewKeepsTempoAndSeqlenButResetsSwingAndList) {
  song.bpm = 90.0f;
  song.swing_pct = 70.0f;
  song.swing_steps = 3;
  song.seqlen = 16;
  transport.play_mode = 1;
  song.step_trig[5][2][7] = 100;
  song.song_list[10] = 42;
  new_song(1);
  EXPECT_EQ(song.bpm, 90.0f);
  EXPECT_EQ(song.swing_pct, 50.0f);
  EXPECT_EQ(song.swing_steps, 3);
  EXPECT_EQ(song.seqlen, 16);
  EXPECT_EQ(transport.play_mode, 1);
  EXPECT_EQ(song.step_trig[5][2][7], 0);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(song.song_list[p], 0);
  EXPECT_EQ(song.song_list[3], SONG_RESTART);
  EXPECT_EQ(song.song_list[10], 0);
  EXPECT_STREQ(song.loop_name[7], "07");
  EXPECT_STREQ(song.loop_name[42], "42");
  EXPECT_STREQ(editor_link.song_name, "NOSAVENAMEYET");
}

TEST_F(TemplatesTest, StartupSongIs808IshWithTheListRestartingAfterPosition3) {
  build_startup_song();
  EXPECT_EQ(song.track_count, 13);
  for (int t = 0; t < 13; ++t) EXPECT_EQ(song.synth_type[t], kSongTemplates[0].entries[t].type);
  for (int t = 13; t < MAX_TRACKS; ++t) EXPECT_STREQ(song.track_name[t], "~");
  for (int p = 0; p < 4; ++p) EXPECT_EQ(song.song_list[p], 0);
  EXPECT_EQ(song.song_list[4], SONG_RESTART);
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  EXPECT_EQ(transport.instant_loop_switch, 1);
  EXPECT_EQ(song.bpm, 120.0f);
}

TEST_F(TemplatesTest, StartupSongIsSilentWhileTheStepsAdvance) {
  build_startup_song();
  std::vector<float> out(2048);
  float peak = 0.0f;
  for (int i = 0; i < 40; ++i) {
    render_buffer(out.data());
    for (float v : out) peak = std::max(peak, std::abs(v));
  }
  EXPECT_EQ(peak, 0.0f);
  EXPECT_EQ(transport.step_pos, 14);  // 40960 frames: events at 2757, 5514, ... 38600
}

TEST_F(TemplatesTest, OldskoolFillsAllSixteenTracks) {
  new_song(3);
  EXPECT_EQ(song.track_count, MAX_TRACKS);
}

TEST_F(TemplatesTest, CustomTemplate) {
  for (int16_t& entry : custom_template_list) entry = -1;
  new_custom_song();
  EXPECT_EQ(song.track_count, 0);
  std::vector<float> out(2048, 1.0f);
  render_buffer(out.data());
  for (float v : out) ASSERT_EQ(v, 0.0f);

  song.swing_pct = 65.0f;
  custom_template_list[0] = 7;   // BAMSVF
  custom_template_list[1] = 48;  // ROT
  new_custom_song();
  EXPECT_EQ(song.track_count, 2);
  EXPECT_EQ(song.synth_type[0], 7);
  EXPECT_EQ(song.synth_type[1], 48);
  EXPECT_STREQ(song.track_name[2], "~");
  EXPECT_EQ(song.swing_pct, 65.0f);  // unlike a built-in template, swing stays
}

TEST_F(TemplatesTest, CustomTemplateWithAGapKeepsEveryBuiltSynthInTheSong) {
  for (int16_t& entry : custom_template_list) entry = -1;
  custom_template_list[0] = 0;
  custom_template_list[2] = 24;
  new_custom_song();
  EXPECT_EQ(song.track_count, 2);
  EXPECT_EQ(song.synth_type[1], 24);
  for (int16_t& entry : custom_template_list) entry = -1;
}

}  // namespace
}  // namespace zorbel::test
