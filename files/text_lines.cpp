// Line splitting and the strict decimal reader of the text file formats.
#include "files/text_lines.h"

#include <charconv>
#include <cmath>

namespace zorbel {

std::vector<TextLine> split_lines(const uint8_t* data, std::size_t size) {
  std::vector<TextLine> lines;
  const char* text = reinterpret_cast<const char*>(data);
  std::size_t start = 0;
  while (start < size) {
    std::size_t end = start;
    while (end < size && text[end] != '\n') ++end;
    const std::size_t next = end < size ? end + 1 : end;
    std::size_t content = end;
    if (content > start && text[content - 1] == '\r') --content;
    lines.push_back({std::string_view(text + start, content - start),
                     std::string_view(text + start, next - start)});
    start = next;
  }
  return lines;
}

bool parse_decimal(std::string_view text, float* value) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  // from_chars also reads "inf" and "nan"; a number starts with a digit, a sign or a point.
  const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
  if (!(first == '.' || (first >= '0' && first <= '9'))) return false;
  float v = 0.0f;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

}  // namespace zorbel
