// The edit layer: refusals that leave the song byte for byte as it was, change counting, the
// transport requests and the race between posting them and the callback taking them.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "engine/mixer.h"
#include "engine/audio_stream.h"
#include "engine/builtin_sounds.h"
#include "engine/clock.h"
#include "edit/edit.h"
#include "engine/freq_mode.h"
#include "engine/song_templates.h"
#include "engine/transport_requests.h"
#include "files/song_file.h"
#include "engine/synth_tracks.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_workdir.h"

namespace zorbel::test {
namespace {

class EditTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    build_startup_song();
  }
  void TearDown() override {
    set_callback_thread_running(false);
    EngineTest::TearDown();
  }
};

int type_named(const char* name) { return type_code_from_name(name); }

// Every refusal leaves the saved song identical and counts no change.
TEST_F(EditTest, RefusalsLeaveTheSongByteIdentical) {
  ASSERT_EQ(edit_new_song(0), EditResult::kOk);
  while (song.track_count > 1) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  std::vector<uint8_t> before = encode_song("X");
  uint32_t changes = song_change_count();
  EXPECT_EQ(edit_delete_last_synth(), EditResult::kLastSynth);
  EXPECT_STREQ(edit_result_text(EditResult::kLastSynth), "CAN NOT DELETE LAST SYNTH");
  EXPECT_EQ(encode_song("X"), before);
  EXPECT_EQ(song_change_count(), changes);

  // Sixteen noise synths fit the budget; the seventeenth is one synth too many.
  while (song.track_count < MAX_TRACKS) ASSERT_EQ(edit_add_synth(type_named("N")), EditResult::kOk);
  EXPECT_STREQ(song.track_name[MAX_TRACKS - 1], "N15      ");  // the first synth is no N
  before = encode_song("X");
  changes = song_change_count();
  EXPECT_EQ(can_add_synth_now(type_named("N")), EditResult::kMaxSynths);
  EXPECT_EQ(edit_add_synth(type_named("N")), EditResult::kMaxSynths);
  EXPECT_STREQ(edit_result_text(EditResult::kMaxSynths), "CANNOT ADD: MAX SYNTHS IN SONG");
  EXPECT_EQ(edit_add_synth(64), EditResult::kBadArgument);  // KSBD is named, never built
  EXPECT_EQ(encode_song("X"), before);
  EXPECT_EQ(song_change_count(), changes);

  // Eight BFMSVF cost 96.8 %: a ninth passes the budget.
  while (song.track_count > 1) ASSERT_EQ(edit_delete_last_synth(), EditResult::kOk);
  ASSERT_EQ(edit_delete_last_synth(), EditResult::kLastSynth);
  const int bfmsvf = type_named("BFMSVF");
  for (int i = 0; i < 7; ++i) ASSERT_EQ(edit_add_synth(bfmsvf), EditResult::kOk) << i;
  before = encode_song("X");
  changes = song_change_count();
  EXPECT_EQ(edit_add_synth(bfmsvf), EditResult::kCostOverload);
  EXPECT_STREQ(edit_result_text(EditResult::kCostOverload), "CANNOT ADD: EXECUTION TIME OVERLOAD");
  EXPECT_EQ(encode_song("X"), before);
  EXPECT_EQ(song_change_count(), changes);

  // A custom template past the budget is refused the same way, before the song is cleared.
  for (int i = 0; i < kCustomTemplateSlots; ++i) custom_template_list[i] = i < 10 ? bfmsvf : -1;
  EXPECT_EQ(edit_new_custom_song(), EditResult::kCostOverload);
  EXPECT_EQ(encode_song("X"), before);
  for (int16_t& entry : custom_template_list) entry = -1;
  EXPECT_EQ(edit_new_custom_song(), EditResult::kBadArgument);
  EXPECT_EQ(encode_song("X"), before);
}

TEST_F(EditTest, ChangesAreCountedUntilSavedAndValuesKeptInRange) {
  TempWorkdir dir;
  ASSERT_EQ(edit_new_song(1), EditResult::kOk);
  EXPECT_FALSE(song_changed_since_save());  // a fresh template equals no file but has no edits
  edit_step_trig(3, 0, 5, 250);
  edit_step_vol(3, 0, 5, -2.0f);
  edit_step_legato(3, 0, 5, true);
  edit_bpm(1e-30f);
  edit_master_vol(1e30f);
  edit_swing(0.0f);
  edit_song_entry(2, 7, 500);
  EXPECT_TRUE(song_changed_since_save());
  EXPECT_EQ(song.step_trig[3][0][5], 100);
  EXPECT_EQ(song.step_vol[3][0][5], 0.0f);
  EXPECT_EQ(song.legato_steps[3][0], uint64_t{1} << 5);
  EXPECT_EQ(song.bpm, 1.0f);
  EXPECT_EQ(song.master_vol, 9.99f);
  EXPECT_EQ(song.swing_pct, 1.0f);
  EXPECT_EQ(song.song_reps[2], 99);
  edit_step_legato(3, 0, 5, false);
  EXPECT_EQ(song.legato_steps[3][0], 0u);

  // A pitch slot follows the track's frequency mode; a value is clamped to that range.
  int track = -1, pitch = -1;
  for (int t = 0; t < song.track_count && pitch < 0; ++t)
    for (int k = 0; k < song.param_count[t] && pitch < 0; ++k)
      if (song.param_slot[t][k].cls == ParamClass::kNotePitch && song.freq_mode[t] == kFreqMidi) {
        track = t;
        pitch = k;
      }
  ASSERT_GE(pitch, 0);
  edit_param_steps(track, pitch, 4, 0, 63, 1000.0f);
  EXPECT_EQ(param_value(track, pitch, 4, 63), kMidiPitchHighest);
  ASSERT_EQ(edit_set_freq_mode(track), EditResult::kOk);
  EXPECT_EQ(song.freq_mode[track], kFreqAbs);
  EXPECT_EQ(param_value(track, pitch, 4, 63), kAbsPitchLowest);
  edit_param(track, pitch, 4, 0, 1000.0f);
  EXPECT_EQ(param_value(track, pitch, 4, 0), 1000.0f);

  ASSERT_EQ(edit_save_song("EDITED.SEQ"), EditResult::kOk);
  EXPECT_FALSE(song_changed_since_save());
  const uint32_t replaced = editor_link.song_replaced.load();
  edit_track_vol(0, 3.0f);
  EXPECT_TRUE(song_changed_since_save());
  std::string reason;
  EXPECT_EQ(edit_load_song("./seq/NOTHERE.SEQ", &reason), EditResult::kLoadFailed);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(editor_link.song_replaced.load(), replaced);
  ASSERT_EQ(edit_load_song("./seq/edited.seq", &reason), EditResult::kOk) << reason;
  EXPECT_EQ(editor_link.song_replaced.load(), replaced + 1);
  EXPECT_FALSE(song_changed_since_save());
  EXPECT_EQ(song.track_vol[0], 1.0f);
  EXPECT_EQ(param_value(track, pitch, 4, 0), 1000.0f);
  EXPECT_EQ(song.song_list[2], 7);
}

// With no callback thread the poster applies a request itself; with one, the request waits for
// the callback's next block (or the loop end when queued), also while the transport is stopped.
TEST_F(EditTest, TransportRequestsWaitForTheCallbackThatRuns) {
  std::vector<float> out(2 * kBufferFrames);
  transport_loop_change(+1);
  EXPECT_EQ(transport.current_loop, 1);
  transport_toggle_play();
  EXPECT_NE(get_transport_stopped(), 0);
  transport_set_stopped(false);
  EXPECT_EQ(get_transport_stopped(), 0);

  set_callback_thread_running(true);
  transport_loop_change(+1);
  transport_loop_change(+1);
  transport_loop_change(-1);
  transport_toggle_play();
  transport_toggle_play();
  transport_toggle_play();
  EXPECT_EQ(transport.current_loop, 1);
  EXPECT_EQ(get_transport_stopped(), 0);
  EXPECT_FALSE(render_buffer(out.data()));  // three toggles: stopped before the first block
  EXPECT_EQ(transport.current_loop, 2);     // still followed while stopped
  EXPECT_EQ(transport.play_cursor[0].trig_row, song.step_trig[2][0]);
  EXPECT_EQ(song.param_slot[0][0].row, song.param_slot[0][0].lane + 2 * MAX_STEPS);
  transport_set_stopped(false);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(render_buffer(out.data()));
  EXPECT_GT(transport.step_pos, 0);
  transport_restart();
  EXPECT_GT(transport.step_pos, 0);
  EXPECT_EQ(editor_link.cursor_step, 0);
  ASSERT_TRUE(render_buffer(out.data()));
  EXPECT_LE(transport.step_pos, 1);  // rewound at the first block, then played on

  // Queued: nothing moves until the loop ends; then by the net count.
  transport_set_instant_switch(false);
  edit_seqlen(2);
  transport_loop_change(+1);
  transport_loop_change(+1);
  transport_loop_change(+1);
  EXPECT_EQ(transport.pending_switch, 1);
  const int before = transport.current_loop;
  ASSERT_TRUE(render_buffer(out.data()));  // a step is 2757 frames: no loop end yet
  EXPECT_EQ(transport.current_loop, before);
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(render_buffer(out.data()));
  EXPECT_EQ(transport.current_loop, before + 3);
  EXPECT_EQ(transport.pending_switch, 0);
  EXPECT_EQ(transport.loop_requests_taken.load(), 7u);

  // Song mode: restart goes to the loop of song position 0.
  transport_set_instant_switch(true);
  edit_song_entry(0, 42, 1);
  transport_toggle_song_mode();
  EXPECT_EQ(transport.play_mode, kPlaySong);
  transport_restart();
  render_buffer(out.data());
  EXPECT_EQ(transport.current_loop, 42);
  EXPECT_EQ(transport.song_pos, 0);
}

// One thread posts thousands of requests while another runs the callback without pause. Every
// loop move posted is applied, the loop stays a loop and every row points into its tables.
TEST_F(EditTest, StressPostingWhileTheCallbackRuns) {
  constexpr int kPosts = 20000;
  std::atomic<bool> done{false};
  std::atomic<int> bad_rows{0};
  std::atomic<int> buffers{0};
  set_callback_thread_running(true);
  std::thread audio([&] {
    std::vector<float> out(2 * kBufferFrames);
    while (!done.load()) {
      render_buffer(out.data());
      buffers.fetch_add(1);
      const int loop = transport.current_loop;
      if (loop < 0 || loop >= MAX_LOOPS) bad_rows.fetch_add(1);
      for (int t = 0; t < song.track_count; ++t) {
        if (transport.play_cursor[t].trig_row != song.step_trig[loop][t] ||
            transport.play_cursor[t].vol_row != song.step_vol[loop][t])
          bad_rows.fetch_add(1);
        for (int k = 0; k < song.param_count[t]; ++k)
          if (song.param_slot[t][k].row != song.param_slot[t][k].lane + loop * MAX_STEPS)
            bad_rows.fetch_add(1);
      }
    }
  });
  std::mt19937 random(7);
  long net = 0;
  int moves = 0;
  for (int i = 0; i < kPosts; ++i) {
    switch (random() % 8) {
      case 0: transport_restart(); break;
      case 1: transport_toggle_play(); break;
      case 2: edit_step_trig(static_cast<int>(random() % 100), 0, i % 64, i % 101); break;
      default: {
        const int direction = random() % 2 ? 1 : -1;
        transport_loop_change(direction);
        net += direction;
        ++moves;
      }
    }
    // Posting stays spread over many buffers, so posts and takes really interleave.
    if (i % 200 == 0)
      for (const int seen = buffers.load(); buffers.load() == seen;) std::this_thread::yield();
  }
  // Let the callback take what is left, then stop it.
  while (transport.loop_requests_taken.load() != static_cast<uint32_t>(moves))
    std::this_thread::yield();
  done.store(true);
  audio.join();
  set_callback_thread_running(false);
  EXPECT_GE(buffers.load(), kPosts / 200);
  EXPECT_EQ(bad_rows.load(), 0);
  EXPECT_EQ(transport.loop_requests_taken.load(), static_cast<uint32_t>(moves));
  EXPECT_EQ(transport.current_loop, static_cast<int>(((net % MAX_LOOPS) + MAX_LOOPS) % MAX_LOOPS));
  EXPECT_EQ(transport.loop_up_requests.load(), 0);
  EXPECT_EQ(transport.loop_down_requests.load(), 0);
}

// The built-in templates and sounds lie inside the editor's ranges (a loaded song is brought
// into them, so one outside would change on its first save and load), and so do the demo songs.
TEST_F(EditTest, BuiltInSoundsTemplatesAndDemosLieInsideTheRanges) {
  for (int tmpl = 0; tmpl < kTemplateCount; ++tmpl) {
    ASSERT_EQ(edit_new_song(tmpl), EditResult::kOk);
    for (int t = 0; t < song.track_count; ++t)
      for (int k = 0; k < song.param_count[t]; ++k) {
        float lo = 0.0f, hi = 0.0f;
        ASSERT_TRUE(param_range(t, k, &lo, &hi));
        const float v = param_value(t, k, 0, 0);
        EXPECT_TRUE(v >= lo && v <= hi) << "template " << tmpl << " track " << t << " slot " << k
                                        << ": " << v << " outside " << lo << ".." << hi;
      }
  }
  for (int s = 0; s < kBuiltinSoundCount; ++s) {
    init_engine(kTestSeed);
    build_synth(0, kBuiltinSounds[s].type);
    song.track_count = 1;
    apply_sound(0, s);
    for (int k = 0; k < kBuiltinSounds[s].value_count && k < song.param_count[0]; ++k) {
      float lo = 0.0f, hi = 0.0f;
      ASSERT_TRUE(param_range(0, k, &lo, &hi));
      EXPECT_TRUE(kBuiltinSounds[s].values[k] >= lo && kBuiltinSounds[s].values[k] <= hi)
          << "sound " << s << " value " << k;
    }
  }
  for (const char* demo : {"CLOCKWORK", "NEONRUN", "TIDEPOOL"}) {
    SongImage image;
    std::string reason;
    ASSERT_TRUE(read_song_file((std::string(ZORBEL_SOURCE_DIR) + "/seq/" + demo + ".SEQ").c_str(),
                               image, &reason))
        << reason;
    EXPECT_EQ(image.corrected, "") << demo;
  }
}

}  // namespace
}  // namespace zorbel::test
