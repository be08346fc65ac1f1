// A JACK server of the test's own (dummy back-end, 44100 Hz, 1024-frame periods, named after the
// process), started for a case and stopped with it; programs and clients of the case find it
// through JACK_DEFAULT_SERVER.
#pragma once

#include <sys/types.h>

#include <string>

namespace zorbel::test {

class DummyJackServer {
 public:
  // Starts `jackd -n NAME -r -d dummy -r 44100 -p 1024` and waits (up to 5 s) until a client can
  // open on it. why_not() says what went wrong when running() is false.
  DummyJackServer();
  ~DummyJackServer();
  DummyJackServer(const DummyJackServer&) = delete;
  DummyJackServer& operator=(const DummyJackServer&) = delete;

  bool running() const { return running_; }
  const std::string& why_not() const { return why_not_; }
  const std::string& name() const { return name_; }

 private:
  void remove_shared_memory() const;
  pid_t pid_ = -1;
  bool running_ = false;
  std::string name_;
  std::string why_not_;
  std::string previous_server_;
  bool had_previous_ = false;
};

}  // namespace zorbel::test
