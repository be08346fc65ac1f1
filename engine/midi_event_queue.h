// A fixed-size lock-free queue of MIDI events between exactly one writing and one reading thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/midi_message.h"

namespace zorbel {

// Capacity is a power of two. push and pop never allocate, lock or wait; a full queue refuses
// the event (and counts it), so the writer, which may be the audio thread, never blocks.
template <uint32_t Capacity>
class MidiEventQueue {
  static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

 public:
  bool push(const MidiEvent& event) {
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= Capacity) {
      dropped_.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    events_[head & (Capacity - 1)] = event;
    head_.store(head + 1, std::memory_order_release);
    return true;
  }
  bool pop(MidiEvent* event) {
    const uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    *event = events_[tail & (Capacity - 1)];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }
  // Reader side: forgets everything queued.
  void clear() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }
  uint32_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  MidiEvent events_[Capacity];
  std::atomic<uint32_t> head_{0};
  std::atomic<uint32_t> tail_{0};
  std::atomic<uint32_t> dropped_{0};
};

}  // namespace zorbel
