// The ALSA sequencer back-end: client "ZORBEL" with one port "ZORBEL" that others subscribe to.
// Outgoing clock is scheduled on the client's own queue at the real time its buffer sounds;
// incoming messages are stamped with that queue's real time. A thread of its own talks to the
// sequencer, so the audio callback only hands messages over through a lock-free queue.
#include <alsa/asoundlib.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/midi_backends.h"
#include "engine/midi_clock_out.h"
#include "engine/realtime.h"

namespace zorbel {

namespace {

constexpr const char* kSequencerDevice = "/dev/snd/seq";
constexpr double kSampleRate = 44100.0;
constexpr int kPollMs = 2;
constexpr unsigned kOutCapacity = 512;
constexpr double kBufferSeconds = 1024 / kSampleRate;
// Two clocks closer than this are taken as one (PortAudio's is CLOCK_MONOTONIC on Linux).
constexpr double kSameClockSeconds = 0.5;
// A buffer that sounds this close to where the one before it ended follows on without a gap:
// the difference is the callback's own timing, not the device's.
constexpr double kBufferJitterSeconds = 0.004;

struct AlsaMidi {
  snd_seq_t* seq = nullptr;
  int port = -1;
  int queue = -1;
  double queue_start = 0.0;  // CLOCK_MONOTONIC seconds at which the queue's real time was 0
  std::thread thread;
  std::atomic<bool> quit{false};
  std::atomic<bool> open{false};
  MidiEventQueue<kOutCapacity> out;  // audio thread -> sequencer thread, times in queue seconds
  // Audio thread: when the next buffer should sound (queue seconds), once a buffer has.
  double next_buffer_at = 0.0;
  bool follows_on = false;
};

AlsaMidi alsa;

double monotonic_seconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void push_input(double time, uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
  midi_input_queue().push(midi_event(time, status, data1, data2, static_cast<uint8_t>(midi_message_size(status))));
}

void read_input(const snd_seq_event_t* ev) {
  double time = monotonic_seconds() - alsa.queue_start;
  if ((ev->flags & SND_SEQ_TIME_STAMP_MASK) == SND_SEQ_TIME_STAMP_REAL)
    time = static_cast<double>(ev->time.time.tv_sec) + ev->time.time.tv_nsec * 1e-9;
  const uint8_t channel = ev->data.note.channel & kMidiChannelMask;
  switch (ev->type) {
    case SND_SEQ_EVENT_CLOCK: return push_input(time, kMidiClock);
    case SND_SEQ_EVENT_START: return push_input(time, kMidiStart);
    case SND_SEQ_EVENT_CONTINUE: return push_input(time, kMidiContinue);
    case SND_SEQ_EVENT_STOP: return push_input(time, kMidiStop);
    case SND_SEQ_EVENT_SONGPOS: {
      const int value = ev->data.control.value & kMidiSongPositionMost;
      return push_input(time, kMidiSongPosition, value & 0x7F, (value >> 7) & 0x7F);
    }
    case SND_SEQ_EVENT_NOTEON:
      return push_input(time, kMidiNoteOn | channel, ev->data.note.note & 0x7F, ev->data.note.velocity & 0x7F);
    case SND_SEQ_EVENT_NOTEOFF:
      return push_input(time, kMidiNoteOff | channel, ev->data.note.note & 0x7F, ev->data.note.velocity & 0x7F);
    default: return;
  }
}

void send_output(const MidiEvent& e) {
  snd_seq_event_t ev;
  snd_seq_ev_clear(&ev);
  switch (e.bytes[0]) {
    case kMidiClock: ev.type = SND_SEQ_EVENT_CLOCK; break;
    case kMidiStart: ev.type = SND_SEQ_EVENT_START; break;
    case kMidiContinue: ev.type = SND_SEQ_EVENT_CONTINUE; break;
    case kMidiStop: ev.type = SND_SEQ_EVENT_STOP; break;
    case kMidiSongPosition:
      ev.type = SND_SEQ_EVENT_SONGPOS;
      ev.data.control.value = e.bytes[1] | (e.bytes[2] << 7);
      break;
    default: return;
  }
  snd_seq_ev_set_source(&ev, alsa.port);
  snd_seq_ev_set_subs(&ev);
  const double at = e.time > 0.0 ? e.time : 0.0;
  snd_seq_real_time_t when;
  when.tv_sec = static_cast<unsigned>(at);
  when.tv_nsec = static_cast<unsigned>((at - std::floor(at)) * 1e9);
  snd_seq_ev_schedule_real(&ev, alsa.queue, 0, &when);
  snd_seq_event_output(alsa.seq, &ev);
}

void run_sequencer_thread() {
  const int count = snd_seq_poll_descriptors_count(alsa.seq, POLLIN);
  std::vector<pollfd> fds(count > 0 ? count : 0);
  if (count > 0) snd_seq_poll_descriptors(alsa.seq, fds.data(), count, POLLIN);
  while (!alsa.quit.load()) {
    poll(fds.data(), fds.size(), kPollMs);
    snd_seq_event_t* ev = nullptr;
    while (snd_seq_event_input(alsa.seq, &ev) >= 0 && ev) read_input(ev);
    MidiEvent e;
    bool sent = false;
    while (alsa.out.pop(&e)) {
      send_output(e);
      sent = true;
    }
    if (sent) snd_seq_drain_output(alsa.seq);
  }
}

// The queue keeps time with the high-resolution timer where the kernel has one (a system timer
// of 4 ms ticks would jitter the clock); otherwise the default stays.
void use_high_resolution_timer() {
  snd_seq_queue_timer_t* timer = nullptr;
  snd_seq_queue_timer_alloca(&timer);
  if (snd_seq_get_queue_timer(alsa.seq, alsa.queue, timer) < 0) return;
  snd_timer_id_t* id = nullptr;
  snd_timer_id_alloca(&id);
  snd_timer_id_set_class(id, SND_TIMER_CLASS_GLOBAL);
  snd_timer_id_set_sclass(id, SND_TIMER_SCLASS_NONE);
  snd_timer_id_set_card(id, -1);
  snd_timer_id_set_device(id, SND_TIMER_GLOBAL_HRTIMER);
  snd_timer_id_set_subdevice(id, 0);
  snd_seq_queue_timer_set_id(timer, id);
  snd_seq_set_queue_timer(alsa.seq, alsa.queue, timer);
}

bool fail(std::string* reason, const std::string& what, int error) {
  *reason = "the ALSA sequencer " + what + ": " + snd_strerror(error);
  if (alsa.seq) snd_seq_close(alsa.seq);
  alsa.seq = nullptr;
  return false;
}

}  // namespace

bool open_alsa_midi(std::string* reason) {
  if (alsa.open.load()) return true;
  if (access(kSequencerDevice, R_OK | W_OK) != 0) {
    *reason = std::string("no ALSA sequencer: ") + kSequencerDevice +
              (errno == ENOENT ? " is missing" : std::string(": ") + std::strerror(errno));
    return false;
  }
  int error = snd_seq_open(&alsa.seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
  if (error < 0) return fail(reason, "could not be opened", error);
  snd_seq_set_client_name(alsa.seq, "ZORBEL");
  alsa.queue = snd_seq_alloc_named_queue(alsa.seq, "ZORBEL");
  if (alsa.queue < 0) return fail(reason, "gave no queue", alsa.queue);
  use_high_resolution_timer();
  snd_seq_port_info_t* info = nullptr;
  snd_seq_port_info_alloca(&info);
  snd_seq_port_info_set_name(info, "ZORBEL");
  snd_seq_port_info_set_capability(info, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                             SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
  snd_seq_port_info_set_type(info, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  // Incoming events carry the queue's real time, the clock the tempo is measured in.
  snd_seq_port_info_set_timestamping(info, 1);
  snd_seq_port_info_set_timestamp_real(info, 1);
  snd_seq_port_info_set_timestamp_queue(info, alsa.queue);
  error = snd_seq_create_port(alsa.seq, info);
  if (error < 0) return fail(reason, "gave no port", error);
  alsa.port = snd_seq_port_info_get_port(info);
  error = snd_seq_start_queue(alsa.seq, alsa.queue, nullptr);
  if (error >= 0) error = snd_seq_drain_output(alsa.seq);
  if (error < 0) return fail(reason, "did not start its queue", error);
  alsa.queue_start = monotonic_seconds();
  alsa.follows_on = false;
  alsa.out.clear();
  alsa.quit.store(false);
  alsa.thread = std::thread(run_sequencer_thread);
  alsa.open.store(true);
  return true;
}

void close_alsa_midi() {
  if (!alsa.open.exchange(false)) return;
  alsa.quit.store(true);
  if (alsa.thread.joinable()) alsa.thread.join();
  snd_seq_close(alsa.seq);
  alsa.seq = nullptr;
}

void alsa_midi_buffer_rendered(double heard_at, double stream_now) ZORBEL_REALTIME {
  const MidiEvent* events = nullptr;
  const int count = take_rendered_midi(&events);
  if (!alsa.open.load()) return;
  const double now = monotonic_seconds();
  double at = std::fabs(stream_now - now) < kSameClockSeconds ? heard_at : now + (heard_at - stream_now);
  at -= alsa.queue_start;
  if (alsa.follows_on && std::fabs(at - alsa.next_buffer_at) < kBufferJitterSeconds) at = alsa.next_buffer_at;
  alsa.next_buffer_at = at + kBufferSeconds;
  alsa.follows_on = true;
  for (int i = 0; i < count; ++i) {
    MidiEvent e = events[i];
    e.time = at + e.time / kSampleRate;
    alsa.out.push(e);
  }
}

}  // namespace zorbel
