// Keeping the unsaved song: the recovery save on the way out and the periodic autosave.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "edit/autosave.h"
#include "edit/edit.h"
#include "edit/edit_support.h"
#include "files/file_replace.h"
#include "files/recovery_file.h"
#include "files/song_file.h"

namespace zorbel {

namespace {

// Only one thread writes the recovery file at a time.
std::mutex recovery_write;


struct Autosave {
  std::thread worker;
  std::mutex lock;
  std::condition_variable wake;
  std::unique_ptr<SongSnapshot> pending;  // the song waiting for the worker
  bool has_pending = false;
  bool stopping = false;
  bool writing = false;
  bool requested = false;
  bool enabled = false;
  bool clock_started = false;
  uint32_t last_ms = 0;
  uint32_t saved_change = 0;  // the change count the last handed-over copy holds
  bool saved_any = false;
  int written = 0;
};

Autosave autosave;

void worker_loop() {
  std::unique_lock<std::mutex> hold(autosave.lock);
  for (;;) {
    autosave.wake.wait(hold, [] { return autosave.has_pending || autosave.stopping; });
    if (!autosave.has_pending) return;
    std::unique_ptr<SongSnapshot> snapshot = std::move(autosave.pending);
    autosave.has_pending = false;
    autosave.writing = true;
    hold.unlock();
    const std::vector<uint8_t> bytes = encode_song(*snapshot, kRecoverySongFile);
    snapshot.reset();
    std::string where, reason;
    bool ok;
    {
      std::lock_guard<std::mutex> writing(recovery_write);
      ok = write_recovery_file(bytes, &where, &reason);
    }
    if (!ok) std::fprintf(stderr, "zorbel: autosave failed: %s\n", reason.c_str());
    hold.lock();
    autosave.writing = false;
    if (ok) ++autosave.written;
    autosave.wake.notify_all();
  }
}

// The caller holds autosave.lock.
void hand_to_worker(std::unique_ptr<SongSnapshot> snapshot, uint32_t change) {
  autosave.saved_change = change;
  autosave.saved_any = true;
  if (!autosave.worker.joinable()) {
    autosave.stopping = false;
    autosave.worker = std::thread(worker_loop);
  }
  autosave.pending = std::move(snapshot);
  autosave.has_pending = true;
  autosave.wake.notify_all();
}

}  // namespace

EditResult save_recovery_song(bool* written, std::string* where, std::string* reason) {
  if (written) *written = false;
  // A preset still previewing on quit is not part of the song: the loop gets its values back.
  edit_end_preset_preview();
  if (!song_changed_since_save()) return EditResult::kOk;
  const std::vector<uint8_t> bytes = encode_song(*snapshot_song(), kRecoverySongFile);
  std::string path, why;
  bool ok;
  {
    std::lock_guard<std::mutex> writing(recovery_write);
    ok = write_recovery_file(bytes, &path, &why);
  }
  if (where) *where = path;
  if (reason) *reason = why;
  if (!ok) return EditResult::kSaveFailed;
  if (written) *written = true;
  return EditResult::kOk;
}

void enable_autosave(bool on) { autosave.enabled = on; }

void autosave_tick(uint32_t now_ms) {
  if (!autosave.enabled) return;
  if (!autosave.clock_started) {
    autosave.clock_started = true;
    autosave.last_ms = now_ms;
  }
  const bool due = autosave.requested || now_ms - autosave.last_ms >= kAutosaveIntervalMs;
  if (!due) return;
  const uint32_t change = song_change_count();
  if (!song_changed_since_save() || (autosave.saved_any && change == autosave.saved_change)) {
    autosave.requested = false;
    autosave.last_ms = now_ms;
    return;
  }
  {
    std::lock_guard<std::mutex> hold(autosave.lock);
    // A write still running takes the next copy at the next tick.
    if (autosave.writing || autosave.has_pending) return;
  }
  edit_end_preset_preview();
  std::unique_ptr<SongSnapshot> snapshot = snapshot_song();
  autosave.requested = false;
  autosave.last_ms = now_ms;
  std::lock_guard<std::mutex> hold(autosave.lock);
  hand_to_worker(std::move(snapshot), change);
}

void request_autosave() { autosave.requested = true; }

void keep_song_before_replacing() {
  if (!autosave.enabled) return;
  edit_end_preset_preview();
  const uint32_t change = song_change_count();
  if (!song_changed_since_save() || (autosave.saved_any && change == autosave.saved_change)) return;
  std::unique_ptr<SongSnapshot> snapshot = snapshot_song();
  std::unique_lock<std::mutex> hold(autosave.lock);
  autosave.wake.wait(hold, [] { return !autosave.writing && !autosave.has_pending; });
  hand_to_worker(std::move(snapshot), change);
}

void finish_autosave() {
  {
    std::lock_guard<std::mutex> hold(autosave.lock);
    autosave.stopping = true;
    autosave.wake.notify_all();
  }
  if (autosave.worker.joinable()) autosave.worker.join();
}

int autosaves_written() {
  std::lock_guard<std::mutex> hold(autosave.lock);
  return autosave.written;
}

void reset_autosave() {
  finish_autosave();
  std::lock_guard<std::mutex> hold(autosave.lock);
  autosave.pending.reset();
  autosave.has_pending = false;
  autosave.stopping = false;
  autosave.writing = false;
  autosave.requested = false;
  autosave.enabled = false;
  autosave.clock_started = false;
  autosave.saved_any = false;
  autosave.written = 0;
}

}  // namespace zorbel
