// The run-length coder of the file formats: a count, then one value repeated count times.
#pragma once

#include <cstdint>
#include <type_traits>

#include "files/byte_io.h"

namespace zorbel {

// kRle16: count as i16. kRle32: count as i32. kTagged: one u8 tag whose low 6 bits are the count
// (1..63) and whose upper bits say the value type (0x40 f32, 0x80 i16).
enum class RunShape { kRle16, kRle32, kTagged };

constexpr int kTaggedMaxRun = 63;
constexpr uint8_t kTagF32 = 0x40;
constexpr uint8_t kTagI16 = 0x80;

namespace run_detail {

// Values are u8, i16 or f32; each is stored in the file type of the same width.
template <typename T>
void write_value(T value, ByteWriter& out) {
  if constexpr (std::is_same_v<T, float>)
    write_f32(value, out);
  else if constexpr (std::is_same_v<T, int16_t>)
    write_i16(value, out);
  else
    write_u8(value, out);
}

template <typename T>
T read_value(ByteReader& in) {
  if constexpr (std::is_same_v<T, float>)
    return read_f32(in);
  else if constexpr (std::is_same_v<T, int16_t>)
    return read_i16(in);
  else
    return read_u8(in);
}

template <typename T>
constexpr uint8_t tag_bits() {
  return std::is_same_v<T, float> ? kTagF32 : kTagI16;
}

}  // namespace run_detail

// Writes count values as maximal runs of equal neighbours (== for floats, so 0.0 and -0.0 share
// a run). RLE16 runs are cut at 32767 so the count never wraps.
template <typename T>
void write_runs(const T* values, int count, RunShape shape, ByteWriter& out) {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, int16_t> ||
                std::is_same_v<T, uint8_t>);
  const int max_run = shape == RunShape::kTagged ? kTaggedMaxRun
                      : shape == RunShape::kRle16 ? 32767
                                                  : 0x7fffffff;
  int i = 0;
  while (i < count) {
    const T value = values[i];
    int run = 1;
    while (i + run < count && run < max_run && values[i + run] == value) ++run;
    if (shape == RunShape::kRle16)
      write_i16(run, out);
    else if (shape == RunShape::kRle32)
      write_i32(run, out);
    else
      write_u8(run_detail::tag_bits<T>() | run, out);
    run_detail::write_value(value, out);
    i += run;
  }
}

// Fills all count elements from runs. A run passing the end is cut there. False when the data
// ends first or a run count is not positive (a damaged file); values may then be partly written,
// so callers decode into staging storage.
template <typename T>
bool read_runs(T* values, int count, RunShape shape, ByteReader& in) {
  int i = 0;
  while (i < count) {
    int32_t run;
    if (shape == RunShape::kRle16)
      run = read_i16(in);
    else if (shape == RunShape::kRle32)
      run = read_i32(in);
    else
      run = read_u8(in) & 0x3f;
    const T value = run_detail::read_value<T>(in);
    if (in.overrun() || run <= 0) return false;
    const int end = run < count - i ? i + run : count;
    for (; i < end; ++i) values[i] = value;
  }
  return true;
}

}  // namespace zorbel
