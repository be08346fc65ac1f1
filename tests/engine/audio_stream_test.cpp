// The audio stream: the real output against a dummy JACK server of the test's own (opens, calls
// back, pauses for a structural edit, closes; skipped where no server can start) and the error
// exit.
#include <portaudio.h>

#include <chrono>
#include <thread>

#include "engine/audio_stream.h"
#include "tests/support/dummy_jack_server.h"
#include "tests/support/engine_fixture.h"

namespace zorbel::test {
namespace {

using LiveStreamTest = EngineTest;

TEST_F(LiveStreamTest, RunsPausesAndCloses) {
  DummyJackServer jack;
  if (!jack.running()) GTEST_SKIP() << jack.why_not();

  open_audio(1024);
  ASSERT_TRUE(audio_is_open());
  start_audio();
  // 0.6 s of audio holds about nine step events at 120 BPM.
  for (int i = 0; i < 100 && transport.step_pos < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(transport.step_pos, 3);

  const unsigned previous = pause_audio();
  const uint16_t parked = transport.step_pos;
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(transport.step_pos, parked);  // no buffer rendered while paused
  EXPECT_EQ(transport.in_callback.load(), 0);
  resume_audio(previous);

  stop_audio();
  close_audio();
  EXPECT_FALSE(audio_is_open());
}

TEST(AudioFatal, PrintsThreeLinesAndExitsWithFailure) {
  EXPECT_EXIT(audio_fatal(paInvalidSampleRate), ::testing::ExitedWithCode(1),
              "An error occured while using the portaudio stream\nError number: -9997\n"
              "Error message: Invalid sample rate");
}

}  // namespace
}  // namespace zorbel::test
