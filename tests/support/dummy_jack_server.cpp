// Starting and stopping a test's own dummy JACK server.
#include "tests/support/dummy_jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "engine/audio_stream.h"

extern char** environ;

namespace zorbel::test {

namespace {

constexpr const char* kJackd = "/usr/bin/jackd";
constexpr int kReadyAttempts = 50;  // 100 ms apart

}  // namespace

DummyJackServer::DummyJackServer() {
  if (access(kJackd, X_OK) != 0) {
    why_not_ = "jackd is not installed";
    return;
  }
  // The library's own complaints while the server is still coming up.
  quiet_audio_probing();
  name_ = "zorbel-test-" + std::to_string(getpid());
  if (const char* previous = std::getenv("JACK_DEFAULT_SERVER")) {
    had_previous_ = true;
    previous_server_ = previous;
  }
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  const char* argv[] = {"jackd", "-n", name_.c_str(), "-r", "-d", "dummy", "-r", "44100",
                        "-p", "1024", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&pid_, kJackd, &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  if (pid_ <= 0) {
    why_not_ = "jackd could not be started";
    return;
  }
  for (int attempt = 0; attempt < kReadyAttempts && !running_; ++attempt) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      why_not_ = "jackd ended at once (too many servers, or no shared memory)";
      return;
    }
    jack_status_t jack_status;
    if (jack_client_t* probe = jack_client_open("probe", JackNoStartServer, &jack_status)) {
      jack_client_close(probe);
      running_ = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (!running_) why_not_ = "the JACK server did not answer within 5 s";
}

DummyJackServer::~DummyJackServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  remove_shared_memory();
  if (had_previous_)
    setenv("JACK_DEFAULT_SERVER", previous_server_.c_str(), 1);
  else
    unsetenv("JACK_DEFAULT_SERVER");
}

// What a server of this name leaves in /dev/shm when it is killed; no other server's files.
void DummyJackServer::remove_shared_memory() const {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind("jack", 0) == 0 && file.find("_" + name_ + "_") != std::string::npos)
      std::filesystem::remove(entry.path(), ec);
  }
}

}  // namespace zorbel::test
