// MIDI through JACK, in process: the workstation's audio output and MIDI ports against a dummy
// JACK server of the test's own, and a small JACK client that listens to the clock and plays a
// clock, transport messages and a note to it.
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "edit/edit.h"
#include "edit/midi_dispatch.h"
#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/midi_ports.h"
#include "engine/midi_settings.h"
#include "engine/song_templates.h"
#include "tests/support/dummy_jack_server.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/midi_checks.h"
#include "tests/support/temp_workdir.h"

namespace zorbel::test {
namespace {

constexpr double kRate = 44100.0;
constexpr int kMostMessages = 4096;

struct Stamped {
  int64_t frame = 0;
  MidiEvent event;
};

// The other program: a JACK client with a MIDI input that records what arrives, stamped with
// the server's frame time, and a MIDI output that sends messages at the frames they are given.
class MidiProbe {
 public:
  MidiProbe() {
    jack_status_t status;
    client_ = jack_client_open("probe", JackNoStartServer, &status);
    if (!client_) return;
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, process, this);
    if (jack_activate(client_) != 0) return;
    connected_ = jack_connect(client_, "ZORBEL:midi_out", "probe:in") == 0 &&
                 jack_connect(client_, "probe:out", "ZORBEL:midi_in") == 0;
  }
  ~MidiProbe() {
    if (client_) jack_client_close(client_);
  }
  bool connected() const { return connected_; }

  int64_t now() const { return jack_frame_time(client_); }
  // Sends at frame (the server's frame time); messages must be given in time order.
  void send(int64_t frame, MidiEvent event) {
    const int n = send_count_.load();
    if (n == kMostMessages) return;
    to_send_[n] = {frame, event};
    send_count_.store(n + 1, std::memory_order_release);
  }
  // What arrived since the last call.
  std::vector<Stamped> take_received() {
    const int n = received_count_.load(std::memory_order_acquire);
    std::vector<Stamped> taken(received_ + taken_, received_ + n);
    taken_ = n;
    return taken;
  }

 private:
  static int process(jack_nframes_t nframes, void* arg) {
    auto* self = static_cast<MidiProbe*>(arg);
    const int64_t start = jack_last_frame_time(self->client_);
    void* in = jack_port_get_buffer(self->in_, nframes);
    const uint32_t count = jack_midi_get_event_count(in);
    for (uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t e;
      const int n = self->received_count_.load(std::memory_order_relaxed);
      if (jack_midi_event_get(&e, in, i) != 0 || n == kMostMessages || e.size > 3) continue;
      Stamped& s = self->received_[n];
      s.frame = start + e.time;
      s.event.size = static_cast<uint8_t>(e.size);
      for (size_t b = 0; b < e.size; ++b) s.event.bytes[b] = e.buffer[b];
      self->received_count_.store(n + 1, std::memory_order_release);
    }
    void* out = jack_port_get_buffer(self->out_, nframes);
    jack_midi_clear_buffer(out);
    const int queued = self->send_count_.load(std::memory_order_acquire);
    while (self->sent_ < queued && self->to_send_[self->sent_].frame < start + nframes) {
      const Stamped& s = self->to_send_[self->sent_++];
      const int64_t at = s.frame < start ? 0 : s.frame - start;
      jack_midi_event_write(out, static_cast<jack_nframes_t>(at), s.event.bytes, s.event.size);
    }
    return 0;
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  bool connected_ = false;
  Stamped received_[kMostMessages];
  std::atomic<int> received_count_{0};
  int taken_ = 0;
  Stamped to_send_[kMostMessages];
  std::atomic<int> send_count_{0};
  int sent_ = 0;  // process thread
};

std::vector<int64_t> frames_of(const std::vector<Stamped>& messages, uint8_t status) {
  std::vector<int64_t> frames;
  for (const Stamped& s : messages)
    if (s.event.bytes[0] == status) frames.push_back(s.frame);
  return frames;
}

class MidiOverJack : public EngineTest {
 protected:
  void TearDown() override {
    if (audio_is_open()) close_audio_within(2000);
    midi_settings.sync.store(MidiSync::kOff);
    reset_midi_dispatch();
    EngineTest::TearDown();
  }
};

TEST_F(MidiOverJack, ClockOutClockInTransportAndNotes) {
  DummyJackServer server;
  if (!server.running()) GTEST_SKIP() << server.why_not();
  TempWorkdir workdir;
  build_startup_song();
  install_midi_jack_hooks();
  ASSERT_TRUE(try_open_audio(1024));
  ASSERT_EQ(open_midi_ports(), MidiPortKind::kJack);
  MidiProbe probe;
  ASSERT_TRUE(probe.connected());

  // ---- Clock out at 120 BPM: 24 pulses a beat of eight steps, 918.75 frames apart ----
  ASSERT_EQ(song.bpm, 120.0f);
  ASSERT_EQ(song.swing_pct, 50.0f);
  midi_settings.sync.store(MidiSync::kSend);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  transport_restart();
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  std::vector<Stamped> heard = probe.take_received();
  const std::vector<int64_t> starts = frames_of(heard, kMidiStart);
  ASSERT_EQ(starts.size(), 1u);
  std::vector<int64_t> pulses;
  for (int64_t f : frames_of(heard, kMidiClock))
    if (f >= starts[0]) pulses.push_back(f);
  ASSERT_GE(pulses.size(), 45u);
  const double ideal = kRate * 60.0 / (120.0 * kMidiPulsesPerBeat);
  const PulseSpacing spacing = pulse_spacing(std::vector<double>(pulses.begin(), pulses.end()));
  const double mean = spacing.mean, worst = spacing.worst;
  EXPECT_NEAR(mean / ideal, 1.0, 0.001) << "mean pulse interval " << mean << " frames";
  EXPECT_LT(worst / kRate, 0.001) << "jitter " << worst << " frames";
  std::printf("clock out at 120 BPM: %zu pulses, mean %.3f frames (ideal %.3f), worst %.2f frames\n",
              pulses.size(), mean, ideal, worst);
  // The first pulse after Start is the first step's.
  EXPECT_LE(pulses.front() - starts[0], static_cast<int64_t>(std::ceil(ideal * 3)));

  transport_set_stopped(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  heard = probe.take_received();
  ASSERT_EQ(frames_of(heard, kMidiStop).size(), 1u);
  EXPECT_TRUE(frames_of(heard, kMidiClock).empty() ||
              frames_of(heard, kMidiClock).back() <= frames_of(heard, kMidiStop)[0]);

  // ---- Clock in: Start and a clock at 90 BPM (1225 frames a pulse) ----
  midi_settings.sync.store(MidiSync::kFollow);
  ASSERT_NE(transport.transport_stopped.load(), 0);
  const int64_t begin = probe.now() + 2048;
  const double pulse90 = kRate * 60.0 / (90.0 * kMidiPulsesPerBeat);
  probe.send(begin, midi_event(0, kMidiStart));
  const int pulses_sent = 40;  // more than a beat, 1.1 s
  for (int k = 0; k < pulses_sent; ++k)
    probe.send(begin + 1 + static_cast<int64_t>(std::llround(k * pulse90)), midi_event(0, kMidiClock));
  const bool settled = run_midi_frames(4.0, -1, [&](const MidiNews&) {
    return probe.now() > begin + static_cast<int64_t>(pulses_sent * pulse90) + 2048;
  });
  EXPECT_TRUE(settled);
  EXPECT_NEAR(transport.followed_bpm, 90.0f, 0.05f);
  EXPECT_NEAR(playing_bpm(), 90.0f, 0.05f);
  EXPECT_EQ(transport.transport_stopped.load(), 0) << "Start did not start the transport";

  // ---- Stop ----
  probe.send(probe.now() + 1024, midi_event(0, kMidiStop));
  EXPECT_TRUE(run_midi_frames(1.0, -1, [](const MidiNews&) {
    return transport.transport_stopped.load() != 0;
  })) << "Stop did not stop the transport";
  // The tempo stays where the clock left it.
  EXPECT_NEAR(playing_bpm(), 90.0f, 0.05f);

  // ---- Note 60, velocity 64 in step edit: pitch and volume of the cursor step ----
  midi_settings.sync.store(MidiSync::kOff);
  midi_settings.note_input.store(true);
  const int track = 0, step = 5, loop = transport.current_loop;
  editor_link.cursor_step = step;
  ASSERT_EQ(song.step_trig[loop][track][step], 0);
  probe.send(probe.now() + 1024, midi_event(0, kMidiNoteOn, 60, 64, 3));
  EXPECT_TRUE(run_midi_frames(1.0, track, [](const MidiNews& news) { return news.notes_entered; }));
  EXPECT_EQ(editor_link.cursor_step, step + 1);
  expect_saved_note_hit("seq/NOTE.SEQ", loop, track, step, 60, 0.50f);
}

}  // namespace
}  // namespace zorbel::test
