// The colour slot tables and loading and saving one preset of the colour file.
#include "files/colour_scheme.h"

#include <algorithm>
#include <cstdio>

#include "files/file_replace.h"
#include "files/platform_dir.h"

namespace zorbel {

namespace {

ColourScheme initial_scheme() {
  ColourScheme scheme{};
  std::copy_n(kBuiltInColours, kColourSlotCount, scheme.active);
  std::copy_n(kBuiltInColours, kColourSlotCount, scheme.defaults);
  std::copy_n(kBuiltInColours, kColourSlotCount, scheme.working);
  return scheme;
}

// Longest colour-file line kept, terminator included; a longer line makes the file malformed
// (the heading and name lines of a well-formed file are short).
constexpr int kColourLineCapacity = 256;

enum class LineRead { kLine, kOverlong, kEnd };

// Reads one line into line (kColourLineCapacity bytes) without its LF or CR LF ending.
// A line that does not fit is consumed to its end and reported as overlong.
LineRead read_line(std::FILE* file, char* line) {
  int length = 0;
  bool overlong = false;
  int c = std::fgetc(file);
  if (c == EOF) return LineRead::kEnd;
  for (; c != EOF && c != '\n'; c = std::fgetc(file)) {
    if (length < kColourLineCapacity - 1) {
      line[length++] = static_cast<char>(c);
    } else {
      overlong = true;
    }
  }
  if (length > 0 && line[length - 1] == '\r') --length;
  line[length] = '\0';
  return overlong ? LineRead::kOverlong : LineRead::kLine;
}

// One channel: a run of digits worth 0..255 (leading zeros allowed). Advances text past the
// digits. A value past 255 is refused as soon as it is seen, so a long run cannot overflow.
bool parse_channel(const char*& text, int& value) {
  int digits = 0;
  value = 0;
  while (*text >= '0' && *text <= '9') {
    ++digits;
    value = value * 10 + (*text++ - '0');
    if (value > 255) return false;
  }
  return digits > 0;
}

// A colour line: red, green and blue, each pair separated by exactly one non-digit
// character. Whatever follows the blue digits is ignored.
bool parse_colour_line(const char* line, uint16_t& colour) {
  int red = 0;
  int green = 0;
  int blue = 0;
  const char* text = line;
  if (!parse_channel(text, red) || *text++ == '\0') return false;
  if (!parse_channel(text, green) || *text++ == '\0') return false;
  if (!parse_channel(text, blue)) return false;
  colour = rgb_to_565(red, green, blue);
  return true;
}

bool is_name_line(const char* line) { return line[0] == 'C'; }

constexpr int name_line_of(int preset) { return 1 + kColourPresetLines * preset; }

bool valid_preset(int preset) { return preset >= 0 && preset < kColourPresetCount; }

void write_line(std::FILE* file, const char* line) {
  std::fputs(line, file);
  std::fputs("\r\n", file);
}

// The colour file as read by save_colour_preset; static so saving allocates nothing.
char file_lines[kColourFileLines][kColourLineCapacity];

// Reads exactly the 169 lines of the format into file_lines.
ColourFileStatus read_whole_file(std::FILE* file) {
  for (int i = 0; i < kColourFileLines; ++i) {
    if (read_line(file, file_lines[i]) != LineRead::kLine) return ColourFileStatus::kMalformed;
  }
  // Refuse lines past the format rather than drop them.
  char extra[kColourLineCapacity];
  if (read_line(file, extra) != LineRead::kEnd) return ColourFileStatus::kMalformed;
  for (int p = 0; p < kColourPresetCount; ++p) {
    if (!is_name_line(file_lines[name_line_of(p)])) return ColourFileStatus::kMalformed;
  }
  return ColourFileStatus::kDone;
}

}  // namespace

ColourScheme colour_scheme = initial_scheme();

uint16_t nudge_colour_channel(uint16_t colour, ColourChannel channel, int delta) {
  const uint32_t channels = rgb565_channels(colour);
  int values[3] = {static_cast<int>(channels & 0xFF) * 8,
                   static_cast<int>((channels >> 8) & 0xFF) * 4,
                   static_cast<int>((channels >> 16) & 0xFF) * 8};
  values[channel] = std::clamp(values[channel] + delta, 0, 255);
  return rgb_to_565(values[kChannelRed], values[kChannelGreen], values[kChannelBlue]);
}

void restore_default_colours() {
  std::copy_n(colour_scheme.defaults, kColourSlotCount, colour_scheme.active);
}

void begin_colour_editing() {
  std::copy_n(colour_scheme.active, kColourSlotCount, colour_scheme.working);
  colour_scheme.clipboard = 0;
}

void apply_working_colours() {
  std::copy_n(colour_scheme.working, kColourSlotCount, colour_scheme.active);
}

ColourFileStatus load_colour_preset(int preset, const char* path) {
  if (!valid_preset(preset)) return ColourFileStatus::kBadPreset;
  std::FILE* file = std::fopen(path_ignoring_case(path).c_str(), "rb");
  if (!file) return ColourFileStatus::kMissing;

  // Everything is parsed into a copy first, so a bad line changes nothing.
  uint16_t loaded[kColourSlotCount];
  char line[kColourLineCapacity];
  ColourFileStatus status = ColourFileStatus::kDone;
  for (int i = 0; i <= name_line_of(preset) && status == ColourFileStatus::kDone; ++i) {
    if (read_line(file, line) == LineRead::kEnd) status = ColourFileStatus::kMalformed;
  }
  if (status == ColourFileStatus::kDone && !is_name_line(line)) {
    status = ColourFileStatus::kMalformed;
  }
  for (int slot = 0; slot < kColourSlotCount && status == ColourFileStatus::kDone; ++slot) {
    if (read_line(file, line) != LineRead::kLine || !parse_colour_line(line, loaded[slot])) {
      status = ColourFileStatus::kMalformed;
    }
  }
  std::fclose(file);
  if (status == ColourFileStatus::kDone) {
    std::copy_n(loaded, kColourSlotCount, colour_scheme.active);
  }
  return status;
}

ColourFileStatus save_colour_preset(int preset, const char* path) {
  if (!valid_preset(preset)) return ColourFileStatus::kBadPreset;
  // "COLORS.ZBC" is the same file: it is read and replaced under its own name.
  const std::string found = path_ignoring_case(path);
  std::FILE* file = std::fopen(found.c_str(), "rb");
  if (!file) return ColourFileStatus::kMissing;
  const ColourFileStatus read_status = read_whole_file(file);
  std::fclose(file);
  if (read_status != ColourFileStatus::kDone) return read_status;

  ReplacingFile replacement;
  if (!replacement.open(found)) return ColourFileStatus::kWriteFailed;
  std::FILE* out = replacement.file();
  const int first_colour_line = name_line_of(preset) + 1;
  for (int i = 0; i < first_colour_line; ++i) write_line(out, file_lines[i]);
  for (int slot = 0; slot < kColourSlotCount; ++slot) {
    const uint32_t channels = rgb565_channels(colour_scheme.active[slot]);
    std::fprintf(out, "%u %u %u\r\n", (channels & 0xFF) * 8, ((channels >> 8) & 0xFF) * 4,
                 ((channels >> 16) & 0xFF) * 8);
  }
  for (int i = first_colour_line + kColourSlotCount; i < kColourFileLines; ++i) {
    write_line(out, file_lines[i]);
  }
  if (!replacement.commit()) return ColourFileStatus::kWriteFailed;
  return ColourFileStatus::kDone;
}

}  // namespace zorbel
