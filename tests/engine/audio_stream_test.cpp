// The audio stream: the real PortAudio stream against a dummy JACK server (opens, calls back,
// pauses for a structural edit, closes; skipped where jackd is missing) and the error exit.
#include <portaudio.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "engine/audio_stream.h"
#include "tests/support/engine_fixture.h"

extern char** environ;

namespace zorbel::test {
namespace {

// Starts `jackd -r -d dummy -r 44100 -p 1024` and stops it again when the case ends.
class DummyJack {
 public:
  DummyJack() {
    if (access("/usr/bin/jackd", X_OK) != 0) return;
    const char* argv[] = {"jackd", "-r", "-d", "dummy", "-r", "44100", "-p", "1024", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, "/usr/bin/jackd", &actions, nullptr, const_cast<char**>(argv),
                    environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~DummyJack() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  bool started() const { return pid_ > 0; }

  // Waits until PortAudio sees a JACK default output.
  static bool ready() {
    // Each probe would otherwise print the sound libraries' device messages.
    quiet_audio_probing();
    for (int attempt = 0; attempt < 50; ++attempt) {
      bool ok = false;
      if (Pa_Initialize() == paNoError) {
        const PaHostApiInfo* host = Pa_GetHostApiInfo(Pa_GetDefaultHostApi());
        ok = host && host->type == paJACK && Pa_GetDefaultOutputDevice() != paNoDevice;
        Pa_Terminate();
      }
      if (ok) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

 private:
  pid_t pid_ = -1;
};

using LiveStreamTest = EngineTest;

TEST_F(LiveStreamTest, RunsPausesAndCloses) {
  DummyJack jack;
  if (!jack.started()) GTEST_SKIP() << "jackd is not installed";
  if (!DummyJack::ready()) GTEST_SKIP() << "no JACK output came up";

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
