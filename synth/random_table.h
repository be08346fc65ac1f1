// The shared random tables and their one read position, used by both threads.
#pragma once

#include <cstdint>

namespace zorbel {

constexpr int kRandomTableSize = 4095;

// Fills the signed and the unsigned table from seed, and sets the read position to 0.
void seed_random_tables(uint32_t seed);
// |value| / 32767, advancing the position by one.
float random_unit();
// value * 2 / 32767 folded toward zero, in -1..1, advancing by one.
float random_signed();
// The signed table's value itself, advancing by one.
float random_raw();
// The unsigned table's value (KS), advancing by one.
float random_unsigned_raw();
// The signed value for the noise engine, whose position returns to 0 after 4092.
float random_noise_value();
// A value in low..high (high itself is never reached), advancing by one.
float random_between(float low, float high);
// The step trigger draw 0..100, advancing by two.
float random_percent();
// Per-block refresh of the shared noise.
void refresh_noise();
// The shared read position, 0..4094 (tests and diagnostics).
int random_read_position();
void set_random_read_position(int position);

}  // namespace zorbel
