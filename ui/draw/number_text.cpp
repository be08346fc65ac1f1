// The one number formatter: an integer as digits in a given base.
#include "ui/draw/number_text.h"

#include <algorithm>
#include <cstdint>

namespace zorbel {

char* int_to_text(int value, char* buffer, int base) {
  buffer[0] = '\0';
  if (base < 2 || base > 36) return buffer;
  char* out = buffer;
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (base == 10 && value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;  // also right for the most negative value
  }
  char* first_digit = out;
  do {
    const uint32_t digit = magnitude % static_cast<uint32_t>(base);
    *out++ = static_cast<char>(digit < 10 ? '0' + digit : 'a' + (digit - 10));
    magnitude /= static_cast<uint32_t>(base);
  } while (magnitude != 0);
  *out = '\0';
  std::reverse(first_digit, out);
  return buffer;
}

}  // namespace zorbel
