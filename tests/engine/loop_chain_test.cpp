// Loop boundaries, song-list chaining and the loop-change request queue.
#include <vector>

#include "engine/clock.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

class LoopChainTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    song.seqlen = 1;  // one step per loop: every step event is a loop boundary
  }
  // The loop that plays at each of the next n step events.
  std::vector<int> play(int n) {
    std::vector<int> loops;
    for (int i = 0; i < n; ++i) {
      loops.push_back(transport.current_loop);
      while (step_frames(1).empty()) {
      }
    }
    return loops;
  }
  void set_list(std::vector<int16_t> list, std::vector<int16_t> reps) {
    for (size_t i = 0; i < list.size(); ++i) song.song_list[i] = list[i];
    for (size_t i = 0; i < reps.size(); ++i) song.song_reps[i] = reps[i];
    transport.play_mode = 1;
    transport.song_pos = 0;
    transport.current_loop = song.song_list[0];
  }
};

TEST_F(LoopChainTest, SongListWithRepsAndRestart) {
  set_list({3, 5, SONG_RESTART}, {2, 1});
  EXPECT_EQ(play(9), (std::vector<int>{3, 3, 5, 3, 3, 5, 3, 3, 5}));
}

TEST_F(LoopChainTest, RepsZeroPlaysOnce) {
  set_list({3, 5, SONG_RESTART}, {0, 0});
  EXPECT_EQ(play(4), (std::vector<int>{3, 5, 3, 5}));
}

TEST_F(LoopChainTest, HaltStopsWithPositionZeroAndLoopKept) {
  set_list({3, SONG_HALT}, {1});
  play(1);
  EXPECT_NE(transport.transport_stopped.load(), 0);
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.current_loop, 3);
}

TEST_F(LoopChainTest, ListWithoutMarkerWrapsFrom999) {
  set_list({}, {});
  for (int p = 0; p <= SONG_LENGTH; ++p) song.song_list[p] = static_cast<int16_t>(p % 100);
  song.song_list[SONG_LENGTH] = -1;
  transport.song_pos = 999;
  next_loop();
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.current_loop, 0);
}

TEST_F(LoopChainTest, MarkerAtPositionZeroNeverSelectsAMissingLoop) {
  set_list({5, 6}, {1, 1});
  transport.song_pos = 1;
  transport.current_loop = 6;
  song.song_list[0] = SONG_RESTART;
  song.song_list[2] = SONG_RESTART;
  next_loop();
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_GE(transport.current_loop, 0);
  EXPECT_LT(transport.current_loop, MAX_LOOPS);
}

TEST_F(LoopChainTest, PreviousFromPositionZeroGoesToLastRealPosition) {
  set_list({1, 2, 3, 4, SONG_RESTART}, {1, 1, 1, 1});
  prev_loop();
  EXPECT_EQ(transport.song_pos, 3);
  EXPECT_EQ(transport.current_loop, 4);
}

TEST_F(LoopChainTest, PreviousFromPositionZeroWithoutMarkerStaysAtZero) {
  set_list({7, 8}, {1, 1});  // the rest of the list is loop 0, no marker anywhere
  prev_loop();
  EXPECT_EQ(transport.song_pos, 0);
  EXPECT_EQ(transport.current_loop, 7);
}

TEST_F(LoopChainTest, LoopModeWrapsBothWays) {
  transport.current_loop = 99;
  next_loop();
  EXPECT_EQ(transport.current_loop, 0);
  prev_loop();
  EXPECT_EQ(transport.current_loop, 99);
}

TEST_F(LoopChainTest, QueuedRequestsMoveByTheNetCountAtTheBoundary) {
  song.seqlen = 4;
  transport.instant_loop_switch = 0;
  transport.current_loop = 10;
  request_loop_change(+1);
  request_loop_change(+1);
  request_loop_change(+1);
  request_loop_change(-1);
  EXPECT_EQ(transport.current_loop, 10);  // nothing moves mid-loop
  play(3);
  EXPECT_EQ(transport.current_loop, 10);
  play(1);
  EXPECT_EQ(transport.current_loop, 12);
  EXPECT_EQ(transport.loop_up_requests.load(), 0);
  EXPECT_EQ(transport.loop_down_requests.load(), 0);
}

TEST_F(LoopChainTest, InstantSwitchActsAtOnceAndKeepsStepPos) {
  song.seqlen = 8;
  play(3);
  request_loop_change(+1);
  EXPECT_EQ(transport.current_loop, 1);
  EXPECT_EQ(transport.step_pos, 3);
}

TEST_F(LoopChainTest, SongModeIgnoresQueuedUserRequests) {
  set_list({3, 5, SONG_RESTART}, {1, 1});
  transport.loop_up_requests.store(2);
  EXPECT_EQ(play(3), (std::vector<int>{3, 5, 3}));
}

TEST_F(LoopChainTest, LoopChangeRepointsCursorsAndParameterRows) {
  song.track_count = 1;
  float lane[kLaneLength] = {};
  song.param_count[0] = 1;
  song.param_slot[0][0].lane = lane;
  next_loop();
  EXPECT_EQ(transport.play_cursor[0].trig_row, song.step_trig[1][0]);
  EXPECT_EQ(transport.play_cursor[0].vol_row, song.step_vol[1][0]);
  EXPECT_EQ(song.param_slot[0][0].row, lane + 64);
  song.param_count[0] = 0;
  song.param_slot[0][0] = ParamSlot{};
}

}  // namespace
}  // namespace zorbel::test
