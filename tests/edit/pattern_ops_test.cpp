// Pattern operations: clear, fill, shift and the copies between tracks and loops.
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "edit/edit.h"
#include "engine/freq_mode.h"
#include "engine/song_templates.h"
#include "files/song_file.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"
#include "synth/voice_output.h"
#include "synth/wav_engine.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

constexpr int kBam = 0, kBamSvf = 7, kBfm = 8, kFmSvf = 23, kKs = 24, kN = 32, kWav = 56;

void build_song(const std::vector<int>& types) {
  for (int i = 0; i < kCustomTemplateSlots; ++i)
    custom_template_list[i] = i < static_cast<int>(types.size()) ? types[i] : -1;
  new_custom_song();
  set_transport_stopped(0);
}

SampleData* test_sample(const char* name, int frames, int16_t first) {
  SampleData* s = new SampleData;
  s->length = frames;
  s->data16 = new int16_t[frames];
  for (int i = 0; i < frames; ++i) s->data16[i] = static_cast<int16_t>(first + i);
  std::strcpy(s->name, name);
  return s;
}

float lane(int track, int slot, int loop, int step) {
  return song.param_slot[track][slot].lane[loop * MAX_STEPS + step];
}
void set_lane(int track, int slot, int loop, int step, float v) {
  song.param_slot[track][slot].lane[loop * MAX_STEPS + step] = v;
}
bool legato(int loop, int track, int step) { return (song.legato_steps[loop][track] >> step) & 1; }

// A hit whose values tell it apart: trigger tag, volume tag / 100, every parameter tag + slot.
void put_hit(int loop, int track, int step, int tag, bool is_legato = false) {
  song.step_trig[loop][track][step] = static_cast<uint8_t>(tag);
  song.step_vol[loop][track][step] = tag / 100.0f;
  for (int k = 0; k < song.param_count[track]; ++k) set_lane(track, k, loop, step, tag + k * 0.5f);
  if (is_legato) song.legato_steps[loop][track] |= uint64_t{1} << step;
}

void expect_hit(int loop, int track, int step, int tag, const char* what) {
  EXPECT_EQ(song.step_trig[loop][track][step], tag) << what << " step " << step;
  EXPECT_FLOAT_EQ(song.step_vol[loop][track][step], tag / 100.0f) << what << " step " << step;
  for (int k = 0; k < song.param_count[track]; ++k)
    EXPECT_FLOAT_EQ(lane(track, k, loop, step), tag + k * 0.5f) << what << " step " << step << " slot " << k;
}

void expect_empty(int loop, int track, int step, const char* what) {
  EXPECT_EQ(song.step_trig[loop][track][step], 0) << what << " step " << step;
  EXPECT_EQ(song.step_vol[loop][track][step], 0.0f) << what << " step " << step;
}

class PatternOpsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    build_song({kBam, kBam, kWav, kWav, kBfm, kKs, kFmSvf, kBamSvf, kN});
  }
};

TEST_F(PatternOpsTest, FillCopiesTheCursorStepUpToTheLastStepAndLeavesTheTransportRunning) {
  const int loop = 7;
  song.seqlen = 16;  // the fill ignores the played length
  put_hit(loop, 0, 0, 80, true);
  put_hit(loop, 0, 2, 33);  // cleared: it lies after the cursor
  put_hit(loop, 1, 4, 44);  // another track: untouched
  set_transport_stopped(1);
  const uint32_t changes = song_change_count();
  ASSERT_EQ(fill_track(loop, 0, 0, 4), EditResult::kOk);
  EXPECT_EQ(song_change_count(), changes + 1);
  EXPECT_EQ(get_transport_stopped(), 0);
  for (int s = 0; s < MAX_STEPS; ++s) {
    if (s % 4 == 0) {
      expect_hit(loop, 0, s, 80, "fill 4");
      EXPECT_TRUE(legato(loop, 0, s)) << s;
    } else {
      expect_empty(loop, 0, s, "fill 4");
      EXPECT_FALSE(legato(loop, 0, s)) << s;
    }
  }
  EXPECT_FLOAT_EQ(lane(0, 3, loop, 2), 33 + 1.5f);  // a cleared step keeps its parameters
  expect_hit(loop, 1, 4, 44, "other track");
  EXPECT_EQ(song.step_trig[0][0][4], 0);  // other loops are untouched

  // A first copy beyond step 63 only clears, and a stopped transport stays stopped.
  put_hit(loop, 0, 50, 90);
  put_hit(loop, 0, 51, 91, true);
  set_transport_stopped(1);
  ASSERT_EQ(fill_track(loop, 0, 50, 16), EditResult::kOk);
  EXPECT_EQ(get_transport_stopped(), 1);
  expect_hit(loop, 0, 50, 90, "cursor step");
  for (int s = 51; s < MAX_STEPS; ++s) expect_empty(loop, 0, s, "fill 16");
  EXPECT_EQ(song.legato_steps[loop][0] >> 51, 0u);
  expect_hit(loop, 0, 48, 80, "before the cursor");

  // Distances outside 1..64 and tracks not in use change nothing.
  const uint32_t before = song_change_count();
  EXPECT_EQ(fill_track(loop, 0, 0, 0), EditResult::kBadArgument);
  EXPECT_EQ(fill_track(loop, 0, 0, 65), EditResult::kBadArgument);
  EXPECT_EQ(fill_track(loop, song.track_count, 0, 4), EditResult::kBadArgument);
  EXPECT_EQ(song_change_count(), before);
  expect_hit(loop, 0, 48, 80, "after refusals");
}

TEST_F(PatternOpsTest, ShiftMovesHitsWithinThePlayedLengthAndNeverWraps) {
  const int loop = 3;
  song.seqlen = 16;
  put_hit(loop, 0, 3, 30, true);
  put_hit(loop, 0, 12, 42);
  put_hit(loop, 0, 13, 43);
  put_hit(loop, 0, 14, 44);
  put_hit(loop, 0, 15, 45, true);
  put_hit(loop, 0, 20, 60, true);  // beyond the played length: left alone
  set_lane(0, 2, loop, 1, 7.5f);
  ASSERT_EQ(shift_track(loop, 0, 0, 2, false), EditResult::kOk);
  expect_hit(loop, 0, 5, 30, "3 moved to 5");
  EXPECT_TRUE(legato(loop, 0, 5));
  expect_empty(loop, 0, 3, "vacated");
  EXPECT_FALSE(legato(loop, 0, 3));
  EXPECT_FLOAT_EQ(lane(0, 2, loop, 3), 7.5f);  // step 1 moved here, parameters and all
  expect_empty(loop, 0, 1, "vacated");
  EXPECT_FLOAT_EQ(lane(0, 2, loop, 1), 7.5f);  // a vacated step keeps its parameters
  expect_hit(loop, 0, 14, 42, "12 moved to 14");
  expect_hit(loop, 0, 15, 43, "13 moved to 15");
  EXPECT_FALSE(legato(loop, 0, 15));  // the legato hit at 15 was pushed out
  expect_hit(loop, 0, 20, 60, "beyond seqlen");
  // The legato word moves as a whole, the bit beyond the played length with it.
  EXPECT_FALSE(legato(loop, 0, 20));
  EXPECT_TRUE(legato(loop, 0, 22));
  EXPECT_TRUE(legato(loop, 0, 17));
  for (int s = 16; s < MAX_STEPS; ++s)
    if (s != 20) expect_empty(loop, 0, s, "no wrap");

  // Earlier with keep, cursor 10: hits at 0 and 1 are lost even so, the others up to the cursor
  // are copied two steps earlier and stay; the hit above the cursor does not move.
  put_hit(loop, 1, 0, 10);
  put_hit(loop, 1, 1, 11, true);
  put_hit(loop, 1, 4, 14, true);
  put_hit(loop, 1, 9, 19);
  put_hit(loop, 1, 12, 22);
  ASSERT_EQ(shift_track(loop, 1, 10, -2, true), EditResult::kOk);
  expect_empty(loop, 1, 0, "lost before step 0");
  expect_empty(loop, 1, 1, "lost before step 0");
  EXPECT_TRUE(legato(loop, 1, 1));  // kept hits keep the old word under the moved one
  expect_hit(loop, 1, 2, 14, "4 copied to 2");
  EXPECT_TRUE(legato(loop, 1, 2));
  expect_hit(loop, 1, 4, 14, "4 kept");
  EXPECT_TRUE(legato(loop, 1, 4));
  expect_hit(loop, 1, 7, 19, "9 copied to 7");
  expect_hit(loop, 1, 9, 19, "9 kept");
  expect_hit(loop, 1, 12, 22, "above the cursor");
  expect_empty(loop, 1, 8, "nothing moved into 8");

  // Later with keep from cursor 4: only hits are copied, and the originals stay.
  put_hit(loop, 2, 2, 12);   // below the cursor: stays where it is
  put_hit(loop, 2, 5, 15);
  put_hit(loop, 2, 8, 18, true);
  ASSERT_EQ(shift_track(loop, 2, 4, 3, true), EditResult::kOk);
  expect_hit(loop, 2, 2, 12, "below the cursor");
  expect_empty(loop, 2, 7, "an empty step is not copied");
  expect_hit(loop, 2, 5, 15, "kept");
  expect_hit(loop, 2, 8, 15, "5 copied over 8");
  EXPECT_TRUE(legato(loop, 2, 8));  // 8 was legato and keeps it
  expect_hit(loop, 2, 11, 18, "8 copied to 11");
  EXPECT_TRUE(legato(loop, 2, 11));

  // Zero and out-of-range distances change nothing.
  const uint32_t before = song_change_count();
  EXPECT_EQ(shift_track(loop, 0, 0, 0, false), EditResult::kOk);
  EXPECT_EQ(shift_track(loop, 0, 0, 65, false), EditResult::kBadArgument);
  EXPECT_EQ(shift_track(loop, 0, 64, 1, false), EditResult::kBadArgument);
  EXPECT_EQ(song_change_count(), before);
}

TEST_F(PatternOpsTest, ClearResetsTheRangeAndEveryLegatoBitAndSilencesTheVoice) {
  const int loop = 5;
  for (int s : {9, 10, 11, 12, 13}) put_hit(loop, 0, s, 50 + s, s == 11);
  song.legato_steps[loop][0] |= (uint64_t{1} << 0) | (uint64_t{1} << 40);
  song.hit_marks[loop][0] = ~uint64_t{0};
  put_hit(loop + 1, 0, 11, 77, true);  // another loop: untouched
  auto* voice = static_cast<VoiceOutput*>(synth_modules[0].voice);
  voice_start(*voice, 1.0f, false);
  ASSERT_NE(voice->stage, kStageRelease);
  ASSERT_EQ(clear_steps(loop, 0, 10, 12), EditResult::kOk);
  EXPECT_EQ(song.legato_steps[loop][0], 0u);
  EXPECT_EQ(song.hit_marks[loop][0], 0u);
  for (int s = 10; s <= 12; ++s) {
    expect_empty(loop, 0, s, "cleared");
    for (int k = 0; k < song.param_count[0]; ++k)
      EXPECT_EQ(lane(0, k, loop, s), song.param_slot[0][k].def) << "slot " << k;
  }
  expect_hit(loop, 0, 9, 59, "before the range");
  expect_hit(loop, 0, 13, 63, "after the range");
  expect_hit(loop + 1, 0, 11, 77, "other loop");
  EXPECT_TRUE(legato(loop + 1, 0, 11));
  EXPECT_EQ(voice->stage, kStageRelease);
  EXPECT_EQ(voice->level, 0.0f);
  EXPECT_EQ(get_transport_stopped(), 0);

  // A WAV track keeps each step's sample choice (its slot 0) and loses the rest.
  for (int s = 0; s < MAX_STEPS; ++s) put_hit(loop, 2, s, 3);
  ASSERT_EQ(clear_loop(loop), EditResult::kOk);
  for (int s = 0; s < MAX_STEPS; ++s) {
    EXPECT_FLOAT_EQ(lane(2, 0, loop, s), 3.0f) << s;
    EXPECT_EQ(lane(2, 1, loop, s), song.param_slot[2][1].def) << s;
    for (int t = 0; t < song.track_count; ++t) expect_empty(loop, t, s, "clear loop");
  }
  expect_hit(loop + 1, 0, 11, 77, "other loop after clear loop");

  EXPECT_EQ(clear_steps(loop, 0, 12, 10), EditResult::kBadArgument);
  EXPECT_EQ(clear_steps(loop, 0, 0, 64), EditResult::kBadArgument);
  EXPECT_EQ(clear_loop(MAX_LOOPS), EditResult::kBadArgument);
}

TEST_F(PatternOpsTest, LoopCopiesTakeTheMuteStatesOnlyForTheWholeLoop) {
  put_hit(2, 0, 5, 25, true);
  put_hit(2, 4, 6, 26);
  song.loop_track_enable[2][0] = 0;
  song.loop_track_enable[2][4] = 0;
  song.hit_marks[2][0] = 1;
  ASSERT_EQ(copy_loop(2, 9), EditResult::kOk);
  expect_hit(9, 0, 5, 25, "copy loop");
  EXPECT_TRUE(legato(9, 0, 5));
  expect_hit(9, 4, 6, 26, "copy loop");
  EXPECT_EQ(song.loop_track_enable[9][0], 0);
  EXPECT_EQ(song.loop_track_enable[9][4], 0);
  EXPECT_EQ(song.loop_track_enable[9][1], 1);
  EXPECT_EQ(song.hit_marks[9][0], 0u);

  ASSERT_EQ(copy_track_to_loop(0, 2, 11), EditResult::kOk);
  expect_hit(11, 0, 5, 25, "track to loop");
  EXPECT_TRUE(legato(11, 0, 5));
  EXPECT_EQ(song.loop_track_enable[11][0], 1);
  expect_empty(11, 4, 6, "other track");

  const uint32_t changes = song_change_count();
  ASSERT_EQ(copy_track_to_all_loops(4, 2), EditResult::kOk);
  EXPECT_EQ(song_change_count(), changes + 1);
  for (int l = 0; l < MAX_LOOPS; ++l) {
    expect_hit(l, 4, 6, 26, "all loops");
    EXPECT_EQ(song.loop_track_enable[l][4], l == 2 || l == 9 ? 0 : 1) << l;
  }
  expect_empty(0, 0, 5, "other track, all loops");
}

TEST_F(PatternOpsTest, TrackCopiesKeepToTheirGroupAndTheirKind) {
  const int loop = 4;
  // Tracks: 0 BAM, 1 BAM, 2 WAV, 3 WAV, 4 BFM, 5 KS, 6 FMSVF, 7 BAMSVF, 8 N.
  put_hit(loop, 0, 1, 21, true);
  song.track_vol[0] = 0.7f;
  ASSERT_EQ(copy_trig(loop, 0, 5), EditResult::kOk);
  EXPECT_EQ(song.step_trig[loop][5][1], 21);
  EXPECT_TRUE(legato(loop, 5, 1));
  EXPECT_NE(lane(5, 0, loop, 1), lane(0, 0, loop, 1));  // parameters stay

  // COPY TRACK: same type only; the whole current loop of the track plus its settings.
  EXPECT_FALSE(track_copy_allowed(TrackCopy::kTrack, 0, 7));
  EXPECT_EQ(copy_track(loop, 0, 7), EditResult::kBadArgument);
  ASSERT_EQ(copy_track(loop, 0, 1), EditResult::kOk);
  expect_hit(loop, 1, 1, 21, "copy track");
  EXPECT_FLOAT_EQ(song.track_vol[1], 0.7f);
  EXPECT_TRUE(legato(loop, 1, 1));

  // A WAV copy duplicates the sample: same name and frames, its own memory.
  wav_set_sample(2, test_sample("KICK.WAV", 32, 100));
  wav_set_sample(3, test_sample("SNARE.WAV", 8, -5));
  ASSERT_EQ(copy_track(loop, 2, 3), EditResult::kOk);
  const SampleData* a = wav_sample(2);
  const SampleData* b = wav_sample(3);
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_STREQ(b->name, "KICK.WAV");
  ASSERT_EQ(b->length, 32);
  EXPECT_EQ(std::memcmp(a->data16, b->data16, 32 * sizeof(int16_t)), 0);

  // COPY FX between two engines with the same effect: the effect block sits after each one's own
  // generator block. FMSVF: FM 20 + SVF; BAMSVF: BAM 13 + SVF.
  const int fm_gen = kind_ops(kKindFm)->param_count;
  const int bam_gen = kind_ops(kKindBam)->param_count;
  const int svf = kind_ops(kKindSvf)->param_count;
  for (int k = 0; k < song.param_count[6]; ++k) set_lane(6, k, loop, 9, 1000.0f + k);
  song.param_slot[6][fm_gen].def = 0.25f;
  const float bam_gen_last = lane(7, bam_gen - 1, loop, 9);
  const float bam_voice = lane(7, bam_gen + svf, loop, 9);
  ASSERT_EQ(copy_fx(loop, 6, 7), EditResult::kOk);
  for (int k = 0; k < svf; ++k) EXPECT_FLOAT_EQ(lane(7, bam_gen + k, loop, 9), 1000.0f + fm_gen + k);
  EXPECT_FLOAT_EQ(song.param_slot[7][bam_gen].def, 0.25f);
  EXPECT_EQ(lane(7, bam_gen - 1, loop, 9), bam_gen_last);
  EXPECT_EQ(lane(7, bam_gen + svf, loop, 9), bam_voice);
  EXPECT_EQ(copy_fx(loop, 0, 7), EditResult::kBadArgument);  // BAM has no effect
  // COPY GEN needs the same generator kind: a BFM block would overrun a KS track's list.
  EXPECT_EQ(copy_gen(loop, 4, 5), EditResult::kBadArgument);
  EXPECT_EQ(copy_gen(loop, 0, 7), EditResult::kOk);

  // COPY ENV: all 13 voice values but the two pans; defaults except ENVTYPE's.
  const int v6 = fm_gen + svf, v0 = bam_gen;
  for (int v = 0; v < kVoiceParamCount; ++v) song.param_slot[6][v6 + v].def = 500.0f + v;
  const float pan = lane(0, v0 + 8, loop, 9), exp_pan = lane(0, v0 + 12, loop, 9);
  const float envtype_def = song.param_slot[0][v0].def;
  ASSERT_EQ(copy_env(loop, 6, 0), EditResult::kOk);
  for (int v = 0; v < kVoiceParamCount; ++v) {
    if (v == 8 || v == 12) continue;
    EXPECT_FLOAT_EQ(lane(0, v0 + v, loop, 9), 1000.0f + v6 + v) << v;
    if (v > 0) {
      EXPECT_FLOAT_EQ(song.param_slot[0][v0 + v].def, 500.0f + v) << v;
    }
  }
  EXPECT_EQ(lane(0, v0 + 8, loop, 9), pan);
  EXPECT_EQ(lane(0, v0 + 12, loop, 9), exp_pan);
  EXPECT_EQ(song.param_slot[0][v0].def, envtype_def);

  // COPY FREQ: BFM's pitch is slot 2, KS's slot 4. N and WAV have no frequency mode.
  EXPECT_EQ(synth_modules[4].pitch_param, 2);
  EXPECT_EQ(synth_modules[5].pitch_param, 4);
  EXPECT_FALSE(track_copy_allowed(TrackCopy::kFreq, 4, 8));
  EXPECT_FALSE(track_copy_allowed(TrackCopy::kFreq, 2, 5));
  for (int s = 0; s < MAX_STEPS; ++s) set_lane(4, 2, loop, s, 60.0f + s % 12);
  EXPECT_FALSE(copy_changes_freq_mode(TrackCopy::kFreq, 4, 5));
  ASSERT_EQ(copy_freq(loop, 4, 5), EditResult::kOk);
  for (int s = 0; s < MAX_STEPS; ++s) EXPECT_FLOAT_EQ(lane(5, 4, loop, s), 60.0f + s % 12);

  // From ABS to a MIDI track: the destination switches to ABS first, so its other loops hold
  // the ABS lowest value, never note numbers read as frequencies.
  ASSERT_EQ(edit_set_freq_mode(4), EditResult::kOk);
  for (int s = 0; s < MAX_STEPS; ++s) set_lane(4, 2, loop, s, 440.0f);
  set_lane(5, 4, loop + 1, 0, 64.0f);
  ASSERT_TRUE(copy_changes_freq_mode(TrackCopy::kFreq, 4, 5));
  ASSERT_EQ(copy_freq(loop, 4, 5), EditResult::kOk);
  EXPECT_EQ(song.freq_mode[5], 0);
  EXPECT_EQ(song.param_slot[5][4].cls, ParamClass::kHzPitch);
  EXPECT_FLOAT_EQ(lane(5, 4, loop, 7), 440.0f);
  EXPECT_FLOAT_EQ(lane(5, 4, loop + 1, 0), kAbsPitchLowest);
}

// ---- Property: nothing outside an operation's own track, loop and step range changes ----

// What an operation may change; everything else must save to the same bytes as before.
struct Region {
  std::vector<char> cell = std::vector<char>(MAX_LOOPS * MAX_TRACKS * MAX_STEPS);   // trig, vol
  std::vector<char> legato = std::vector<char>(MAX_LOOPS * MAX_TRACKS * MAX_STEPS);
  std::vector<char> lane = std::vector<char>(MAX_TRACKS * PARAM_SLOTS * kLaneLength);
  bool enable[MAX_LOOPS][MAX_TRACKS] = {};
  bool track_settings[MAX_TRACKS] = {};  // track_vol, freq_mode
  int sample_track = -1;

  static int at(int l, int t, int s) { return (l * MAX_TRACKS + t) * MAX_STEPS + s; }
  void steps(int l, int t, int first, int last, bool with_lanes = true) {
    for (int s = first; s <= last; ++s) {
      cell[at(l, t, s)] = legato[at(l, t, s)] = 1;
      if (with_lanes)
        for (int k = 0; k < song.param_count[t]; ++k) lanes(t, k, l, s, s);
    }
  }
  void legato_word(int l, int t) {
    for (int s = 0; s < MAX_STEPS; ++s) legato[at(l, t, s)] = 1;
  }
  void lanes(int t, int k, int l, int first, int last) {
    for (int s = first; s <= last; ++s) lane[(t * PARAM_SLOTS + k) * kLaneLength + l * MAX_STEPS + s] = 1;
  }
  // A frequency-mode switch rewrites every pitch value of the track in every loop.
  void pitch_lanes(int t) {
    for (int k = 0; k < song.param_count[t]; ++k)
      if (song.param_slot[t][k].cls == ParamClass::kNotePitch || song.param_slot[t][k].cls == ParamClass::kHzPitch)
        for (int l = 0; l < MAX_LOOPS; ++l) lanes(t, k, l, 0, MAX_STEPS - 1);
  }
};

struct LaneCopy {
  std::vector<float> values;
  void take() {
    values.clear();
    for (int t = 0; t < song.track_count; ++t)
      for (int k = 0; k < song.param_count[t]; ++k)
        values.insert(values.end(), song.param_slot[t][k].lane, song.param_slot[t][k].lane + kLaneLength);
  }
  float* at(int t, int k) { return values.data() + (first_param_slot(t) + k) * kLaneLength; }
  void put() {
    for (int t = 0; t < song.track_count; ++t)
      for (int k = 0; k < song.param_count[t]; ++k)
        std::memcpy(song.param_slot[t][k].lane, at(t, k), kLaneLength * sizeof(float));
  }
};

// The song before the operation with only the region taken from after it.
void merge_region(const Song& before, LaneCopy& before_lanes, const Song& after, LaneCopy& after_lanes,
                  const Region& r) {
  song = before;
  before_lanes.put();
  for (int l = 0; l < MAX_LOOPS; ++l)
    for (int t = 0; t < MAX_TRACKS; ++t) {
      if (r.enable[l][t]) song.loop_track_enable[l][t] = after.loop_track_enable[l][t];
      for (int s = 0; s < MAX_STEPS; ++s) {
        if (r.cell[Region::at(l, t, s)]) {
          song.step_trig[l][t][s] = after.step_trig[l][t][s];
          song.step_vol[l][t][s] = after.step_vol[l][t][s];
        }
        const uint64_t bit = uint64_t{1} << s;
        if (r.legato[Region::at(l, t, s)])
          song.legato_steps[l][t] = (song.legato_steps[l][t] & ~bit) | (after.legato_steps[l][t] & bit);
      }
    }
  for (int t = 0; t < song.track_count; ++t) {
    if (r.track_settings[t]) {
      song.track_vol[t] = after.track_vol[t];
      song.freq_mode[t] = after.freq_mode[t];
    }
    for (int k = 0; k < song.param_count[t]; ++k)
      for (int i = 0; i < kLaneLength; ++i)
        if (r.lane[(t * PARAM_SLOTS + k) * kLaneLength + i])
          song.param_slot[t][k].lane[i] = after_lanes.at(t, k)[i];
  }
}

void randomize_song(std::mt19937& rng) {
  // A few types, some of them twice, so every copy finds partners.
  std::vector<int> types;
  std::uniform_int_distribution<int> type_of(0, kTypeCount - 1);
  int pool[3] = {type_of(rng), type_of(rng), type_of(rng)};
  const int count = std::uniform_int_distribution<int>(2, 6)(rng);
  for (int i = 0; i < count; ++i) {
    types.push_back(pool[rng() % 3]);
    if (cost_overload_at(types.data(), static_cast<int>(types.size())) >= 0) types.pop_back();
  }
  build_song(types);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int l = 0; l < MAX_LOOPS; ++l)
    for (int t = 0; t < song.track_count; ++t) {
      song.loop_track_enable[l][t] = static_cast<int16_t>(rng() % 2);
      song.legato_steps[l][t] = (uint64_t{rng()} << 32) | rng();
      for (int s = 0; s < MAX_STEPS; ++s) {
        song.step_trig[l][t][s] = rng() % 2 ? static_cast<uint8_t>(rng() % 101) : 0;
        song.step_vol[l][t][s] = unit(rng);
      }
    }
  for (int t = 0; t < song.track_count; ++t) {
    song.track_vol[t] = unit(rng) * 2.0f;
    if (rng() % 2) set_freq_mode(t);
    for (int k = 0; k < song.param_count[t]; ++k)
      for (int i = 0; i < kLaneLength; ++i) song.param_slot[t][k].lane[i] = static_cast<float>(rng() % 7);
    if (type_engine_kind(song.synth_type[t]) == kKindWav) {
      const std::string name = "S" + std::to_string(t) + ".WAV";
      wav_set_sample(t, test_sample(name.c_str(), 4 + t, static_cast<int16_t>(t * 10)));
    }
  }
}

int group_start(int track, TrackCopy what) {
  const int type = song.synth_type[track];
  const int gen = kind_ops(type_engine_kind(type))->param_count;
  const int fx_kind = type_effect_kind(type);
  const int fx = fx_kind >= 0 ? kind_ops(fx_kind)->param_count : 0;
  return what == TrackCopy::kFx ? gen : gen + fx;
}

// Runs one random operation and marks what it may change.
std::string run_random_operation(std::mt19937& rng, Region& r) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int loop = pick(0, MAX_LOOPS - 1), other = pick(0, MAX_LOOPS - 1);
  const int n = song.track_count;
  const int a = pick(0, n - 1), b = pick(0, n - 1);
  const int op = pick(0, 12);
  const std::string args = std::to_string(loop) + " " + std::to_string(a) + " " + std::to_string(b);
  switch (op) {
    case 0: {
      const int first = pick(0, 63), last = pick(first, 63);
      clear_steps(loop, a, first, last);
      r.steps(loop, a, first, last);
      r.legato_word(loop, a);  // the legato word goes whole
      return "clear " + args + " " + std::to_string(first) + ".." + std::to_string(last);
    }
    case 1:
      clear_loop(loop);
      for (int t = 0; t < n; ++t) r.steps(loop, t, 0, 63);
      return "clear loop " + args;
    case 2: {
      const int step = pick(0, 63), distance = pick(1, 64);
      fill_track(loop, a, step, distance);
      if (step < 63) r.steps(loop, a, step + 1, 63);
      return "fill " + args + " " + std::to_string(step) + " " + std::to_string(distance);
    }
    case 3: {
      const int step = pick(0, 63), distance = pick(-64, 64);
      const bool keep = rng() % 2;
      shift_track(loop, a, step, distance, keep);
      if (distance > 0 && step < song.seqlen) r.steps(loop, a, step, song.seqlen - 1);
      if (distance < 0) r.steps(loop, a, 0, step);
      if (distance != 0) r.legato_word(loop, a);  // the word moves as a whole
      return "shift " + args + " " + std::to_string(step) + " " + std::to_string(distance) +
             (keep ? " keep" : "");
    }
    case 4: case 5: case 6: case 7: case 8: case 9: {
      const TrackCopy what = static_cast<TrackCopy>(op - 4);
      const bool allowed = track_copy_allowed(what, a, b);
      if (copy_changes_freq_mode(what, a, b)) r.pitch_lanes(b);
      const int pitch = synth_modules[b].pitch_param;
      const int start = group_start(b, what), gen = group_start(b, TrackCopy::kFx);
      EXPECT_EQ(copy_between_tracks(what, loop, a, b) == EditResult::kBadArgument, !allowed);
      if (!allowed) return "refused copy " + std::to_string(op) + " " + args;
      if (what == TrackCopy::kTrig) r.steps(loop, b, 0, 63, false);
      if (what == TrackCopy::kTrack) {
        r.steps(loop, b, 0, 63);
        r.track_settings[b] = true;
        r.sample_track = b;
      }
      if (what == TrackCopy::kGen) {
        for (int k = 0; k < gen; ++k) r.lanes(b, k, loop, 0, 63);
        r.track_settings[b] = true;
      }
      if (what == TrackCopy::kFx)
        for (int k = start; k < group_start(b, TrackCopy::kEnv); ++k) r.lanes(b, k, loop, 0, 63);
      if (what == TrackCopy::kEnv)
        for (int v = 0; v < kVoiceParamCount; ++v)
          if (v != 8 && v != 12) r.lanes(b, start + v, loop, 0, 63);
      if (what == TrackCopy::kFreq) {
        r.lanes(b, pitch, loop, 0, 63);
        r.track_settings[b] = true;
      }
      return "copy " + std::to_string(op) + " " + args;
    }
    case 10:
      copy_loop(loop, other);
      if (loop != other)
        for (int t = 0; t < n; ++t) {
          r.steps(other, t, 0, 63);
          r.enable[other][t] = true;
        }
      return "copy loop " + args + " " + std::to_string(other);
    case 11:
      copy_track_to_loop(a, loop, other);
      if (loop != other) r.steps(other, a, 0, 63);
      return "track to loop " + args + " " + std::to_string(other);
    default:
      copy_track_to_all_loops(a, loop);
      for (int l = 0; l < MAX_LOOPS; ++l)
        if (l != loop) r.steps(l, a, 0, 63);
      return "track to all loops " + args;
  }
}

TEST(PatternOpsProperty, NoOperationWritesOutsideItsTrackLoopOrSteps) {
  std::mt19937 rng(20240613);
  auto before = std::make_unique<Song>();
  auto after = std::make_unique<Song>();
  LaneCopy before_lanes, after_lanes;
  for (int song_number = 0; song_number < 6; ++song_number) {
    init_engine(kTestSeed + song_number);
    randomize_song(rng);
    for (int i = 0; i < 25; ++i) {
      song.seqlen = static_cast<uint16_t>(std::uniform_int_distribution<int>(1, 64)(rng));
      *before = song;
      before_lanes.take();
      std::vector<std::string> samples;
      for (int t = 0; t < song.track_count; ++t)
        samples.push_back(wav_sample(t) ? wav_sample(t)->name : "");
      auto region = std::make_unique<Region>();
      const std::string what = run_random_operation(rng, *region);
      const std::vector<uint8_t> saved = encode_song("P");
      *after = song;
      after_lanes.take();
      merge_region(*before, before_lanes, *after, after_lanes, *region);
      const std::vector<uint8_t> merged = encode_song("P");
      const auto differ = std::mismatch(merged.begin(), merged.end(), saved.begin(), saved.end());
      ASSERT_TRUE(differ.first == merged.end() && differ.second == saved.end())
          << "song " << song_number << ": " << what << ": first difference at byte "
          << (differ.first - merged.begin()) << " of " << saved.size();
      song = *after;
      after_lanes.put();
      for (int t = 0; t < song.track_count; ++t)
        if (t != region->sample_track) {
          EXPECT_EQ(samples[t], wav_sample(t) ? wav_sample(t)->name : "") << what;
        }
    }
  }
  init_engine(kTestSeed);
}

}  // namespace
}  // namespace zorbel::test
