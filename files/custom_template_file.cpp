// Reading and rewriting one template of custom.zbi.
#include "files/custom_template_file.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "files/byte_io.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/text_lines.h"
#include "engine/synth_tracks.h"

namespace zorbel {

namespace {

// The end marker is recognised by its first 20 characters, the template lines by 13.
constexpr std::size_t kEndMarkerPrefix = 20;

std::string start_line(int n) { return "START_CUSTOM" + std::to_string(n); }
std::string end_line(int n) { return "END_CUSTOM" + std::to_string(n); }

// Where template n lies in the lines: its START line, its type lines and the line after them.
struct TemplatePlace {
  int end_marker = -1;   // the END_ZORBEL_SYNTH_INIT line
  int start = -1;        // the START_CUSTOMn line, -1 when absent
  int body_end = -1;     // the first line after start that names no type
};

// A line's type code, -1 when it names none. KSBD is named but never built: it is passed over.
int line_type(std::string_view text) { return type_code_from_name(std::string(text).c_str()); }

TemplatePlace find_template(const std::vector<TextLine>& lines, int n) {
  TemplatePlace place;
  const std::string_view end_prefix = std::string_view(kCustomTemplateEnd).substr(0, kEndMarkerPrefix);
  const std::string start = start_line(n);
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (line_starts_with(lines[i].text, end_prefix)) {
      place.end_marker = i;
      break;
    }
    if (place.start < 0 && line_starts_with(lines[i].text, start)) place.start = i;
  }
  if (place.start >= 0) {
    int i = place.start + 1;
    while (i < place.end_marker && line_type(lines[i].text) >= 0) ++i;
    place.body_end = i;
  }
  return place;
}

void append(std::vector<uint8_t>& out, std::string_view bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void append_line(std::vector<uint8_t>& out, const std::string& text) {
  append(out, text);
  append(out, "\r\n");
}

std::string custom_template_path() { return path_in_folder(kSongFolder, kCustomTemplateFile); }

bool read_template_file(std::vector<uint8_t>& bytes, std::string* reason) {
  if (read_whole_file(custom_template_path().c_str(), bytes, kMaxCustomTemplateBytes)) return true;
  if (reason) *reason = std::strerror(errno);
  return false;
}

// Splits the image and finds template n; false, with a reason, for a template number that does
// not exist or a file without its end marker.
bool locate_template(const uint8_t* data, std::size_t size, int n, std::vector<TextLine>& lines,
                     TemplatePlace& place, std::string& reason) {
  if (n < 0 || n >= kCustomTemplateCount) {
    reason = "no such template";
    return false;
  }
  lines = split_lines(data, size);
  place = find_template(lines, n);
  if (place.end_marker < 0) {
    reason = "no END_ZORBEL_SYNTH_INIT line";
    return false;
  }
  return true;
}

}  // namespace

bool parse_custom_template(const uint8_t* data, std::size_t size, int n,
                           int16_t slots[kCustomTemplateSlots], std::string& reason) {
  for (int i = 0; i < kCustomTemplateSlots; ++i) slots[i] = -1;
  std::vector<TextLine> lines;
  TemplatePlace place;
  if (!locate_template(data, size, n, lines, place, reason)) return false;
  int used = 0;
  for (int i = place.start + 1; place.start >= 0 && i < place.body_end; ++i) {
    const int type = line_type(lines[i].text);
    if (type >= kTypeCount || used == kCustomTemplateSynths) continue;
    slots[used++] = static_cast<int16_t>(type);
  }
  return true;
}

bool rewrite_custom_template(const uint8_t* data, std::size_t size, int n,
                             const int16_t slots[kCustomTemplateSlots], std::vector<uint8_t>& out,
                             std::string& reason) {
  out.clear();
  std::vector<TextLine> lines;
  TemplatePlace place;
  if (!locate_template(data, size, n, lines, place, reason)) return false;
  // Lines [0, keep_until) stay, then the new template, then the lines from resume on.
  int keep_until = place.end_marker;
  int resume = place.end_marker;
  if (place.start >= 0) {
    keep_until = place.start + 1;
    resume = place.body_end;
    if (resume < place.end_marker && line_starts_with(lines[resume].text, end_line(n))) ++resume;
  }
  for (int i = 0; i < keep_until; ++i) append(out, lines[i].raw);
  if (place.start < 0) append_line(out, start_line(n));
  for (int i = 0; i < kCustomTemplateSynths; ++i)
    if (slots[i] >= 0 && slots[i] < kTypeCount) append_line(out, type_name_from_code(slots[i]));
  append_line(out, end_line(n));
  for (int i = resume; i < static_cast<int>(lines.size()); ++i) append(out, lines[i].raw);
  return true;
}

bool load_custom_template(int n, std::string* reason) {
  for (int16_t& slot : custom_template_list) slot = -1;
  std::vector<uint8_t> bytes;
  if (!read_template_file(bytes, reason)) return false;
  int16_t slots[kCustomTemplateSlots];
  std::string why;
  if (!parse_custom_template(bytes.data(), bytes.size(), n, slots, why)) {
    if (reason) *reason = why;
    return false;
  }
  std::memcpy(custom_template_list, slots, sizeof slots);
  return true;
}

bool save_custom_template(int n, std::string* reason) {
  std::vector<uint8_t> bytes;
  if (!read_template_file(bytes, reason)) return false;
  std::vector<uint8_t> out;
  std::string why;
  if (!rewrite_custom_template(bytes.data(), bytes.size(), n, custom_template_list, out, why)) {
    if (reason) *reason = why;
    return false;
  }
  if (!replace_file(custom_template_path(), out, reason)) return false;
  return true;
}

int custom_template_cost_tenths(const int16_t slots[kCustomTemplateSlots]) {
  int sum = 0;
  for (int i = 0; i < kCustomTemplateSynths; ++i)
    if (slots[i] >= 0 && slots[i] < kTypeCount) sum += synth_cost_tenths(slots[i]);
  return sum;
}

}  // namespace zorbel
