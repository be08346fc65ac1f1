// Conversions of step values into the integer fields that parameter classes write.
#pragma once

#include <cstdint>

namespace zorbel {

// Truncation toward zero that stays defined for any float: NaN gives 0, values beyond the
// 32-bit range saturate.
inline int32_t truncate_to_int32(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncation to a 16-bit field: the low 16 bits of the truncated value, so 65535 reads back as
// -1 and a 16-bit pattern (ROT's VAL) survives the trip through a float lane.
inline int16_t truncate_to_16(float v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(truncate_to_int32(v))));
}

// The same 16 bits read back as unsigned, for fields that hold 0..65535.
inline uint16_t truncate_to_u16(float v) {
  return static_cast<uint16_t>(static_cast<uint32_t>(truncate_to_int32(v)));
}

}  // namespace zorbel
