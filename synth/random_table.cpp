// The shared random tables: signed noise, unsigned noise for the plucked string, one read position.
#include "synth/random_table.h"

#include <atomic>
#include <cstdlib>

namespace zorbel {

namespace {

float signed_table[kRandomTableSize];
float unsigned_table[kRandomTableSize];
// Read by the audio thread (engines, step draws) and the main thread (table building, LFO
// amounts applied from the editor), so every advance is one compare-exchange and every index
// read is kept inside the table.
std::atomic<uint16_t> read_position{0};

// A 15-bit linear congruential generator, so a seed gives the same tables on every platform.
struct Rand15 {
  uint32_t state;
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fff);
  }
};

// Returns the position to read and moves the shared position past it. last is the highest
// position this consumer reads before returning to 0; a double read (the trigger draw) takes
// a second step unless the first one wrapped.
int take_position(int last, bool double_step) {
  uint16_t seen = read_position.load(std::memory_order_relaxed);
  int pos;
  uint16_t next;
  do {
    // A consumer that wraps early (the noise engine) may find the position past its own end;
    // it still reads there and then wraps.
    pos = seen < kRandomTableSize ? seen : 0;
    next = static_cast<uint16_t>(pos + 1);
    if (next > last) {
      next = 0;
    } else if (double_step) {
      next = static_cast<uint16_t>(next + 1);
      // One before the end, the second step would leave the table: wrap instead.
      if (next > last) next = 0;
    }
  } while (!read_position.compare_exchange_weak(seen, next, std::memory_order_relaxed));
  return pos;
}

constexpr int kLast = kRandomTableSize - 1;  // 4094
constexpr int kNoiseLast = 4092;             // the noise engine wraps three entries early

}  // namespace

void seed_random_tables(uint32_t seed) {
  Rand15 rng{seed};
  for (int i = 0; i < kRandomTableSize; ++i) {
    // Per entry: the signed value, the unsigned value, then the sign draw.
    float value = static_cast<float>(rng.next() % 32767);
    unsigned_table[i] = static_cast<float>(rng.next() % 32767);
    if (rng.next() > 16383) value = -value;
    signed_table[i] = value;
  }
  read_position.store(0);
}

float random_raw() { return signed_table[take_position(kLast, false)]; }

float random_unit() { return std::abs(random_raw()) / 32767.0f; }

float random_signed() {
  const float scaled = random_raw() * 2.0f / 32767.0f;
  return scaled >= 0.0f ? scaled - 1.0f : scaled + 1.0f;
}

float random_between(float low, float high) { return low + random_unit() * (high - low); }

float random_unsigned_raw() { return unsigned_table[take_position(kLast, false)]; }

float random_noise_value() { return signed_table[take_position(kNoiseLast, false)]; }

float random_percent() {
  return std::abs(signed_table[take_position(kLast, true)]) / 32767.0f * 100.0f;
}

void refresh_noise() {
  // The tables are fixed once seeded; only the read position moves, and it moves with every read.
}

int random_read_position() { return read_position.load(std::memory_order_relaxed); }

void set_random_read_position(int position) {
  read_position.store(static_cast<uint16_t>(position >= 0 && position < kRandomTableSize ? position : 0));
}

}  // namespace zorbel
