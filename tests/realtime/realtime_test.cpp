// The audio callback must never allocate: count every operator new made while it renders busy
// songs of every synth type. The realtime-sanitizer build runs the same cases and also aborts
// on malloc, locks and blocking calls anywhere under the callback.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/realtime.h"
#include "engine/song.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
// Only the rendering thread's allocations count (the main thread may allocate meanwhile).
thread_local bool rendering_thread = false;
}  // namespace

// These replace the global allocation functions, so freeing with free is correct here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (rendering_thread && counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (rendering_thread && counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#include <chrono>
#include <filesystem>
#include <thread>

#include "edit/autosave.h"
#include "edit/edit.h"
#include "edit/midi_dispatch.h"
#include "edit/note_entry.h"
#include "edit/undo_journal.h"
#include "engine/clock.h"
#include "engine/jack_output.h"
#include "engine/midi_clock_out.h"
#include "engine/midi_ports.h"
#include "engine/midi_settings.h"
#include "engine/shared_value.h"
#include "tests/support/dummy_jack_server.h"

namespace zorbel {
namespace {

// Every step of every track of every loop sounds, with some legato steps and moving values.
void trigger_everything() {
  for (int l = 0; l < MAX_LOOPS; ++l)
    for (int t = 0; t < MAX_TRACKS; ++t) {
      song.legato_steps[l][t] = 0x00FF00FF00FF00FFull;
      for (int s = 0; s < MAX_STEPS; ++s) {
        song.step_trig[l][t][s] = 100;
        song.step_vol[l][t][s] = 0.8f;
      }
    }
}

long allocations_while_rendering(int buffers) {
  std::vector<float> out(2 * 1024);
  allocations.store(0);
  rendering_thread = true;
  counting.store(true);
  for (int i = 0; i < buffers; ++i) render_buffer(out.data());
  counting.store(false);
  rendering_thread = false;
  return allocations.load();
}

TEST(RealtimeCallback, StartupSongWithEveryStepTriggered) {
  init_engine(7);
  build_startup_song();
  trigger_everything();
  // Song mode walks the song list, so loop changes and re-pointing are exercised too.
  transport.play_mode = 1;
  song.seqlen = 8;
  EXPECT_EQ(allocations_while_rendering(300), 0);
}

TEST(RealtimeCallback, EveryTemplateWithEveryStepTriggered) {
  for (int t = 0; t < 5; ++t) {
    init_engine(11);
    new_song(t);
    trigger_everything();
    EXPECT_EQ(allocations_while_rendering(60), 0) << "template " << t;
  }
}

TEST(RealtimeCallback, EverySynthTypeAlone) {
  for (int type = 0; type < kTypeCount; ++type) {
    init_engine(13);
    build_synth(0, type);
    sort_registry();
    song.track_count = 1;
    reset_play_cursor(0);
    trigger_everything();
    EXPECT_EQ(allocations_while_rendering(20), 0) << type_name_from_code(type);
  }
}

// A thread standing in for the audio callback: renders buffers until stopped. Counting of its
// allocations starts once it has rendered two buffers.
class BackgroundRenderer {
 public:
  BackgroundRenderer() : thread_([this] {
      rendering_thread = true;
      while (!done_.load()) {
        render_buffer(out_.data());
        rendered_.fetch_add(1);
      }
    }) {
    while (rendered_.load() < 2) std::this_thread::yield();
    allocations.store(0);
    counting.store(true);
  }
  ~BackgroundRenderer() { stop(); }
  // Stops counting and the thread; the buffers rendered so far.
  long stop() {
    counting.store(false);
    done_.store(true);
    if (thread_.joinable()) thread_.join();
    return rendered_.load();
  }
  long rendered() const { return rendered_.load(); }

 private:
  std::atomic<bool> done_{false};
  std::atomic<long> rendered_{0};
  std::vector<float> out_ = std::vector<float>(2 * 1024);
  std::thread thread_;
};

// Undo and redo (values and a synth added) while another thread renders: they hold the callback with the
// same handshake as every structural change, and the rendering thread never allocates.
TEST(RealtimeCallback, UndoAndRedoWhileRendering) {
  init_engine(17);
  new_song(0);
  reset_journal();
  trigger_everything();
  edit_add_synth(0);
  copy_track_to_all_loops(0, 0);
  for (int s = 0; s < MAX_STEPS; ++s) edit_step_trig(1, 0, s, s % 2 ? 100 : 0);
  edit_bpm(200.0f);
  BackgroundRenderer renderer;
  const long rendered_before = renderer.rendered();
  for (int round = 0; round < 20; ++round) {
    while (undo_change().done) {
    }
    while (redo_change().done) {
    }
  }
  EXPECT_GT(renderer.stop(), rendered_before);
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_EQ(shared_load(song.bpm), 200.0f);
}

// The autosave while another thread renders: the song is copied out with the same handshake,
// encoded and written on the worker, and the rendering thread never allocates or waits.
TEST(RealtimeCallback, AutosaveWhileRendering) {
  char folder[] = "/tmp/zorbel-rt-autosave-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  std::filesystem::create_directory("seq");
  init_engine(19);
  new_song(2);
  trigger_everything();
  reset_autosave();
  enable_autosave(true);
  BackgroundRenderer renderer;
  uint32_t now_ms = 0;
  autosave_tick(now_ms);  // the interval is counted from the first tick
  for (int round = 0; round < 5; ++round) {
    edit_step_trig(0, 0, round, 50);
    autosave_tick(now_ms += kAutosaveIntervalMs);
    for (int wait = 0; wait < 5000 && autosaves_written() <= round; ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(autosaves_written(), 5);
  renderer.stop();
  reset_autosave();
  EXPECT_EQ(allocations.load(), 0);
  EXPECT_TRUE(std::filesystem::exists("seq/RECOVER.SEQ"));
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
}

// MIDI clock out with every transport message, a followed tempo and live notes: the audio side
// computes, stamps and hands over its messages without allocating.
TEST(RealtimeCallback, MidiClockSendAndFollow) {
  init_engine(19);
  build_startup_song();
  trigger_everything();
  reset_midi_clock_out();
  midi_settings.sync.store(MidiSync::kSend);
  std::vector<float> out(2 * 1024);
  long made = 0;
  int messages = 0;
  const MidiEvent* events = nullptr;
  for (int round = 0; round < 6; ++round) {
    if (round == 1) transport_restart();
    if (round == 2) transport_set_stopped(true);
    if (round == 3) transport_set_stopped(false);
    if (round == 4) song.swing_pct = 70.0f;
    if (round == 5) transport_play_song_position(0);
    made += allocations_while_rendering(20);
    // What a port back-end does after each buffer, here after the last one.
    messages += take_rendered_midi(&events);
    midi_buffer_rendered_for_alsa(1.02, 1.0);
  }
  EXPECT_GT(messages, 0);
  // FOLLOW: the clock plays at the followed tempo; a MIDI keyboard plays a track live.
  midi_settings.sync.store(MidiSync::kFollow);
  transport.followed_bpm = 133.0f;
  for (int t = 0; t < 4; ++t) play_live_note(t, 48 + t, 100);
  made += allocations_while_rendering(40);
  EXPECT_EQ(made, 0);
  midi_settings.sync.store(MidiSync::kOff);
  reset_midi_dispatch();
}

// The same through a live JACK client whose MIDI output is connected to its own input, so the
// process thread reads, stamps and writes MIDI every cycle (skipped without jackd).
TEST(RealtimeCallback, MidiThroughJackLoopback) {
  test::DummyJackServer server;
  if (!server.running()) GTEST_SKIP() << server.why_not();
  init_engine(23);
  build_startup_song();
  trigger_everything();
  reset_midi_clock_out();
  midi_settings.sync.store(MidiSync::kSend);
  install_midi_jack_hooks();
  ASSERT_TRUE(try_open_audio(1024));
  ASSERT_EQ(open_midi_ports(), MidiPortKind::kJack);
  ASSERT_EQ(jack_connect(jack_output_client(), "ZORBEL:midi_out", "ZORBEL:midi_in"), 0);
  transport_restart();
  int pulses = 0;
  MidiEvent event;
  for (int i = 0; i < 60; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    while (next_midi_input(&event)) pulses += event.bytes[0] == kMidiClock;
  }
  EXPECT_GT(pulses, 20);
  midi_settings.sync.store(MidiSync::kFollow);
  transport_set_stopped(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  close_audio_within(2000);
  midi_settings.sync.store(MidiSync::kOff);
  reset_midi_dispatch();
}

#if defined(ZORBEL_RTSAN)
// The sanitizer itself must be live in this build, or the cases above prove nothing.
int allocate_in_realtime_context() ZORBEL_REALTIME {
  void* p = std::malloc(64);
  asm volatile("" : : "r"(p) : "memory");  // keeps the optimiser from dropping the pair
  const int ok = p != nullptr;
  std::free(p);
  return ok;
}

TEST(RealtimeSanitizer, CatchesAnAllocationInTheRealtimeContext) {
  EXPECT_DEATH(allocate_in_realtime_context(), "RealtimeSanitizer");
}
#endif

}  // namespace
}  // namespace zorbel
