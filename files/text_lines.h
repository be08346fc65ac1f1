// Splitting a text file image held in memory into lines, for the preset and template files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorbel {

// One line of a file image: its text without the line end, and its bytes with the line end
// (LF or CR LF; the last line may have none), so a rewrite can keep it byte for byte.
struct TextLine {
  std::string_view text;
  std::string_view raw;
};

// The lines of data, which must outlive the result. A file ending in a line end has no empty
// line after it.
std::vector<TextLine> split_lines(const uint8_t* data, std::size_t size);

// True when line begins with prefix.
inline bool line_starts_with(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// A decimal number with an optional sign, fraction and exponent, blanks around it allowed.
// False for anything else (empty, hexadecimal, "inf", "nan", trailing text).
bool parse_decimal(std::string_view text, float* value);

}  // namespace zorbel
