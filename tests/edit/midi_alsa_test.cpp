// MIDI through the ALSA sequencer, in process: the workstation's port "ZORBEL" and a second
// sequencer client that listens to the clock and plays a clock, Start, Stop and a note to it.
// Buffers are rendered on a thread of the test's own at the audio's pace, as a sound card's
// callback would. Skipped, saying why, where the machine has no sequencer.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "edit/edit.h"
#include "engine/audio_stream.h"
#include "engine/clock.h"
#include "engine/midi_ports.h"
#include "engine/midi_settings.h"
#include "engine/song_templates.h"
#include "engine/transport_requests.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/midi_checks.h"
#include "tests/support/temp_workdir.h"

namespace zorbel::test {
namespace {

constexpr double kBufferSeconds = 1024 / 44100.0;

double monotonic_seconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Renders buffers at the audio's pace and hands each to the ALSA port as PortAudio's callback
// does: sounding 50 ms after it is rendered.
class PacedRenderer {
 public:
  PacedRenderer() {
    set_callback_thread_running(true);
    thread_ = std::thread([this] {
      std::vector<float> out(2 * 1024);
      const double start = monotonic_seconds();
      for (long n = 0; !done_.load(); ++n) {
        const double due = start + n * kBufferSeconds;
        while (monotonic_seconds() < due) std::this_thread::sleep_for(std::chrono::microseconds(500));
        render_buffer(out.data());
        midi_buffer_rendered_for_alsa(due + 0.05, monotonic_seconds());
      }
    });
  }
  ~PacedRenderer() {
    done_.store(true);
    thread_.join();
    set_callback_thread_running(false);
    take_all_requests();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// The other program: a sequencer client with one port subscribed both ways to ZORBEL, whose
// incoming events carry its own queue's real time.
class SequencerProbe {
 public:
  SequencerProbe() {
    if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) return;
    queue_ = snd_seq_alloc_queue(seq_);
    snd_seq_port_info_t* info = nullptr;
    snd_seq_port_info_alloca(&info);
    snd_seq_port_info_set_name(info, "probe");
    snd_seq_port_info_set_capability(info, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                               SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
    snd_seq_port_info_set_type(info, SND_SEQ_PORT_TYPE_APPLICATION);
    snd_seq_port_info_set_timestamping(info, 1);
    snd_seq_port_info_set_timestamp_real(info, 1);
    snd_seq_port_info_set_timestamp_queue(info, queue_);
    if (snd_seq_create_port(seq_, info) < 0) return;
    port_ = snd_seq_port_info_get_port(info);
    snd_seq_start_queue(seq_, queue_, nullptr);
    snd_seq_drain_output(seq_);
    snd_seq_addr_t zorbel;
    connected_ = snd_seq_parse_address(seq_, &zorbel, "ZORBEL:0") == 0 &&
                 snd_seq_connect_from(seq_, port_, zorbel.client, zorbel.port) == 0 &&
                 snd_seq_connect_to(seq_, port_, zorbel.client, zorbel.port) == 0;
  }
  ~SequencerProbe() {
    if (seq_) snd_seq_close(seq_);
  }
  bool connected() const { return connected_; }
  double now() const {
    snd_seq_queue_status_t* status = nullptr;
    snd_seq_queue_status_alloca(&status);
    snd_seq_get_queue_status(seq_, queue_, status);
    const snd_seq_real_time_t* t = snd_seq_queue_status_get_real_time(status);
    return t->tv_sec + t->tv_nsec * 1e-9;
  }
  // Sends at time (seconds of the probe's queue).
  void send(double at, snd_seq_event_type_t type, int channel = 0, int note = 0, int velocity = 0) {
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    ev.type = type;
    if (type == SND_SEQ_EVENT_NOTEON) snd_seq_ev_set_noteon(&ev, channel, note, velocity);
    snd_seq_ev_set_source(&ev, port_);
    snd_seq_ev_set_subs(&ev);
    snd_seq_real_time_t when{static_cast<unsigned>(at), static_cast<unsigned>((at - std::floor(at)) * 1e9)};
    snd_seq_ev_schedule_real(&ev, queue_, 0, &when);
    snd_seq_event_output(seq_, &ev);
    snd_seq_drain_output(seq_);
  }
  // The times of the events of type that arrived since the last call.
  std::vector<double> take(snd_seq_event_type_t type) {
    std::vector<double> times;
    snd_seq_event_t* ev = nullptr;
    while (snd_seq_event_input(seq_, &ev) >= 0 && ev)
      if (ev->type == type) times.push_back(ev->time.time.tv_sec + ev->time.time.tv_nsec * 1e-9);
    return times;
  }

 private:
  snd_seq_t* seq_ = nullptr;
  int port_ = -1;
  int queue_ = -1;
  bool connected_ = false;
};

class MidiOverAlsa : public EngineTest {
 protected:
  void TearDown() override {
    close_midi_ports();
    reset_midi_settings();
    reset_midi_dispatch();
    EngineTest::TearDown();
  }
};

TEST_F(MidiOverAlsa, ClockOutClockInTransportAndNotes) {
  if (access("/dev/snd/seq", R_OK | W_OK) != 0)
    GTEST_SKIP() << "no ALSA sequencer on this machine: /dev/snd/seq is missing";
  TempWorkdir workdir;
  build_startup_song();
  ASSERT_EQ(open_midi_ports(), MidiPortKind::kAlsa);
  SequencerProbe probe;
  ASSERT_TRUE(probe.connected());
  PacedRenderer renderer;

  // Clock out at 120 BPM, on the probe's queue time.
  midi_settings.sync.store(MidiSync::kSend);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  transport_restart();
  std::this_thread::sleep_for(std::chrono::milliseconds(1400));
  ASSERT_FALSE(probe.take(SND_SEQ_EVENT_START).empty());
  const std::vector<double> pulses = probe.take(SND_SEQ_EVENT_CLOCK);
  ASSERT_GE(pulses.size(), 40u);
  const PulseSpacing spacing = pulse_spacing(pulses);
  EXPECT_NEAR(spacing.mean / (60.0 / (120.0 * kMidiPulsesPerBeat)), 1.0, 0.001);
  EXPECT_LT(spacing.worst, 0.001);
  transport_set_stopped(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(probe.take(SND_SEQ_EVENT_STOP).empty());

  // Clock in at 90 BPM with a Start, then Stop.
  midi_settings.sync.store(MidiSync::kFollow);
  const double begin = probe.now() + 0.05, period = 60.0 / (90.0 * kMidiPulsesPerBeat);
  probe.send(begin, SND_SEQ_EVENT_START);
  for (int k = 0; k < 40; ++k) probe.send(begin + 0.001 + k * period, SND_SEQ_EVENT_CLOCK);
  run_midi_frames(40 * period + 0.3, -1, [](const MidiNews&) { return false; });
  EXPECT_NEAR(playing_bpm(), 90.0f, 0.05f);
  EXPECT_EQ(transport.transport_stopped.load(), 0);
  probe.send(probe.now() + 0.01, SND_SEQ_EVENT_STOP);
  EXPECT_TRUE(run_midi_frames(1.0, -1, [](const MidiNews&) { return transport.transport_stopped.load() != 0; }));

  // Note 60, velocity 64, in step edit.
  midi_settings.sync.store(MidiSync::kOff);
  const int loop = transport.current_loop, track = 0, step = 5;
  editor_link.cursor_step = step;
  probe.send(probe.now() + 0.01, SND_SEQ_EVENT_NOTEON, 0, 60, 64);
  EXPECT_TRUE(run_midi_frames(1.0, track, [](const MidiNews& news) { return news.notes_entered; }));
  expect_saved_note_hit("seq/NOTE.SEQ", loop, track, step, 60, 0.50f);
}

}  // namespace
}  // namespace zorbel::test
