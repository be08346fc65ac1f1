// The one number formatter: an integer as digits in a given base.
#pragma once

namespace zorbel {

// Longest text int_to_text writes: 32 binary digits, a sign and the terminating zero.
constexpr int kIntTextCapacity = 34;

// Writes value in base (2..36) into buffer, most significant digit first, zero-terminated,
// and returns buffer. Digits past 9 are lower case ("ff"; the font shows them as upper case).
// Only base 10 writes a negative value with a leading "-"; other bases write the value's
// 32-bit two's-complement pattern. A base outside 2..36 writes an empty text.
// Precondition: buffer holds kIntTextCapacity bytes.
char* int_to_text(int value, char* buffer, int base);

}  // namespace zorbel
