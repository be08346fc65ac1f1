// Values the main thread writes and the audio thread reads (or the other way round), as relaxed
// atomics: on x86 these are the same plain loads and stores, and neither the compiler nor a
// thread checker sees a data race.
#pragma once

#include <atomic>

namespace zorbel {

// A song cell (step value, lane value, volume, tempo ...) read on the other thread. The tables
// stay plain arrays; only the few access points go through these.
template <typename T>
inline T shared_load(const T& cell) {
  // atomic_ref of a const object arrives only with C++26; the load never writes.
  return std::atomic_ref<T>(const_cast<T&>(cell)).load(std::memory_order_relaxed);
}

template <typename T, typename V>
inline void shared_store(T& cell, V value) {
  std::atomic_ref<T>(cell).store(static_cast<T>(value), std::memory_order_relaxed);
}

// A transport field that one thread writes and the other reads for display or decisions. Reads
// and writes look like those of a plain value; ordering between fields is not promised, which
// is all the screen needs.
template <typename T>
class RelaxedAtomic {
 public:
  constexpr RelaxedAtomic(T value = T{}) noexcept : value_(value) {}
  RelaxedAtomic(const RelaxedAtomic&) = delete;
  RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

  operator T() const noexcept { return load(); }
  RelaxedAtomic& operator=(T value) noexcept {
    store(value);
    return *this;
  }
  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

 private:
  std::atomic<T> value_;
};

}  // namespace zorbel
