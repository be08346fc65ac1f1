// The shared random tables: repeatable from a seed, value ranges, and the one read position.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "synth/random_table.h"
#include "tests/support/engine_fixture.h"

namespace zorbel {
namespace {

using RandomTableTest = test::EngineTest;

TEST_F(RandomTableTest, SameSeedSameSequence) {
  seed_random_tables(99);
  float a[50];
  for (float& v : a) v = random_raw();
  seed_random_tables(99);
  for (float v : a) EXPECT_EQ(random_raw(), v);
  seed_random_tables(100);
  int same = 0;
  for (float v : a) same += random_raw() == v;
  EXPECT_LT(same, 5);
}

TEST_F(RandomTableTest, ConsumersStayInTheirRanges) {
  seed_random_tables(5);
  bool negative = false;
  for (int i = 0; i < 5000; ++i) {
    const float raw = random_raw();
    EXPECT_LE(std::abs(raw), 32766.0f);
    EXPECT_EQ(raw, std::trunc(raw));
    negative |= raw < 0.0f;
    const float unit = random_unit();
    EXPECT_GE(unit, 0.0f);
    EXPECT_LE(unit, 1.0f);
    const float s = random_signed();
    EXPECT_GE(s, -1.0f);
    EXPECT_LE(s, 1.0f);
    EXPECT_GE(random_unsigned_raw(), 0.0f);
    const float p = random_percent();
    EXPECT_GE(p, 0.0f);
    EXPECT_LE(p, 100.0f);
  }
  EXPECT_TRUE(negative);
}

TEST_F(RandomTableTest, ReadPositionWrapsPerConsumer) {
  set_random_read_position(4094);
  random_raw();
  EXPECT_EQ(random_read_position(), 0);
  set_random_read_position(4092);
  random_noise_value();
  EXPECT_EQ(random_read_position(), 0);
  // Past the noise engine's end (left there by another consumer) it reads on and wraps.
  set_random_read_position(4094);
  const float last = random_raw();
  set_random_read_position(4094);
  EXPECT_EQ(random_noise_value(), last);
  EXPECT_EQ(random_read_position(), 0);
  set_random_read_position(10);
  random_percent();
  EXPECT_EQ(random_read_position(), 12);
  set_random_read_position(4094);
  random_percent();
  EXPECT_EQ(random_read_position(), 0);
  // One before the end a double step would leave the table; it wraps instead.
  set_random_read_position(4093);
  random_percent();
  EXPECT_EQ(random_read_position(), 0);
}

TEST_F(RandomTableTest, BothThreadsReadingAtOnceStayInsideTheTable) {
  seed_random_tables(3);
  std::atomic<bool> outside{false};
  auto reader = [&outside](bool percent) {
    for (int i = 0; i < 200000; ++i) {
      const float v = percent ? random_percent() : random_raw();
      if (!(v >= -32767.0f && v <= 32767.0f)) outside = true;
      const int pos = random_read_position();
      if (pos < 0 || pos >= kRandomTableSize) outside = true;
    }
  };
  std::thread audio(reader, true);
  reader(false);
  audio.join();
  EXPECT_FALSE(outside.load());
}

}  // namespace
}  // namespace zorbel
