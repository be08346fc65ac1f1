// Preset files: the template writer, the checked reader, SAVE PRESET's rewrite and the lookup.
#include "files/preset_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "engine/freq_mode.h"
#include "files/byte_io.h"
#include "files/file_names.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/text_lines.h"
#include "engine/synth_tracks.h"

namespace zorbel {

namespace {

bool buildable(int type) { return type >= 0 && type < kTypeCount; }

// Types whose pitch parameter is a note or a frequency by the track's frequency mode.
bool has_mode_pitch(int type) {
  for (int q = 0; q < type_param_count(type); ++q)
    if (type_param(type, q)->cls == ParamClass::kNotePitch) return true;
  return false;
}

int starting_freq_mode(int type) { return has_mode_pitch(type) ? 1 : 3; }

// The editor's range of parameter q of type under freq_mode (the pitch follows the mode).
void value_range(int type, int q, int freq_mode, float* lo, float* hi) {
  const ParamInfo* info = type_param(type, q);
  *lo = info->min;
  *hi = info->max;
  if (info->cls == ParamClass::kNotePitch) {
    *lo = freq_mode == 0 ? kAbsPitchLowest : kMidiPitchLowest;
    *hi = freq_mode == 0 ? kAbsPitchHighest : kMidiPitchHighest;
  }
}

std::string preset_name_of(std::string_view line) {
  std::string name;
  for (char c : line) {
    if (static_cast<unsigned char>(c) < '.' || name.size() == kPresetNameLength) break;
    name.push_back(c);
  }
  return name;
}

void fail(std::string* reason, const std::string& why) {
  if (reason) *reason = why;
}

}  // namespace

int preset_file_line_count(int type) {
  return kPresetsPerFile * (type_param_count(type) + 2) + 2;
}

std::string preset_file_name(int type, const char* name) {
  return std::string(type_name_from_code(type)) + "." + name + kPresetSuffix;
}

std::string preset_file_label(const std::string& file_name) {
  const std::size_t first = file_name.find('.');
  if (first == std::string::npos) return "";
  const std::size_t second = file_name.find('.', first + 1);
  return file_name.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                  : second - first - 1);
}

std::string synth_name_stem(const char* synth_name) {
  std::string stem;
  for (const char* c = synth_name; c && *c && static_cast<unsigned char>(*c) >= 'A'; ++c)
    stem.push_back(*c);
  return stem;
}

std::string template_value_text(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text - 2, value, std::chars_format::fixed);
  std::string out(text, result.ptr);
  if (out.find('.') == std::string::npos) out += ".0";
  return out;
}

std::string saved_value_text(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

std::string preset_template_text(int type) {
  const char* name = type_name_from_code(type);
  std::string text = std::string(kPresetStartMarker) + name + "\n";
  std::string values;
  for (int q = 0; q < type_param_count(type); ++q)
    values += template_value_text(type_param(type, q)->def) + "\n";
  values += template_value_text(static_cast<float>(starting_freq_mode(type))) + "\n";
  for (int p = 0; p < kPresetsPerFile; ++p) {
    // Two digits throughout, PRESET00 to PRESET63, so the names list in order.
    char name[16];
    std::snprintf(name, sizeof name, "PRESET%02d\n", p);
    text += name + values;
  }
  return text + kPresetEndMarker + name + "\n";
}

bool parse_preset_file(const uint8_t* data, std::size_t size, int expected_type,
                       PresetFile& file, std::string& reason) {
  std::vector<TextLine> lines = split_lines(data, size);
  while (!lines.empty() && lines.back().text.empty()) lines.pop_back();
  if (lines.empty() || !line_starts_with(lines[0].text, kPresetStartMarker)) {
    reason = "no START_PRESET_SYNTH_ line";
    return false;
  }
  const std::string_view type_text = lines[0].text.substr(std::strlen(kPresetStartMarker));
  const int type = type_code_from_name(std::string(type_text).c_str());
  if (!buildable(type) || type_text != type_name_from_code(type)) {
    reason = "unknown synth type " + std::string(type_text);
    return false;
  }
  if (expected_type >= 0 && type != expected_type) {
    reason = std::string("presets for ") + type_name_from_code(type) + ", not " +
             type_name_from_code(expected_type);
    return false;
  }
  const int count = type_param_count(type);
  if (static_cast<int>(lines.size()) != preset_file_line_count(type)) {
    reason = std::to_string(lines.size()) + " lines, a " + type_name_from_code(type) +
             " preset file has " + std::to_string(preset_file_line_count(type));
    return false;
  }
  if (lines.back().text != std::string(kPresetEndMarker) + type_name_from_code(type)) {
    reason = "no END_PRESET_SYNTH_ line";
    return false;
  }
  file.type = type;
  for (int p = 0; p < kPresetsPerFile; ++p) {
    const int first = 1 + p * (count + 2);
    file.names[p] = preset_name_of(lines[first].text);
    float raw[PARAM_SLOTS + 1];
    for (int q = 0; q <= count; ++q) {
      if (!parse_decimal(lines[first + 1 + q].text, &raw[q])) {
        reason = "line " + std::to_string(first + 2 + q) + " is not a number";
        return false;
      }
    }
    PresetValues& values = file.presets[p];
    values.count = count;
    values.freq_mode = !has_mode_pitch(type) ? 3 : (raw[count] >= 0.5f ? 1 : 0);
    for (int q = 0; q < count; ++q) {
      float lo = 0.0f, hi = 0.0f;
      value_range(type, q, values.freq_mode, &lo, &hi);
      values.values[q] = std::clamp(raw[q], lo, hi);
    }
  }
  file.lines.clear();
  for (const TextLine& line : lines) file.lines.emplace_back(line.text);
  return true;
}

bool read_preset_file(const char* file_name, int expected_type, PresetFile& file,
                      std::string* reason) {
  std::vector<uint8_t> bytes;
  if (!read_whole_file(path_in_folder(kPresetFolder, file_name).c_str(), bytes,
                       kMaxPresetFileBytes)) {
    fail(reason, std::strerror(errno));
    return false;
  }
  std::string why;
  if (!parse_preset_file(bytes.data(), bytes.size(), expected_type, file, why)) {
    fail(reason, why);
    return false;
  }
  return true;
}

bool make_preset_file(int type, const char* name, std::string* reason) {
  if (!buildable(type) || !name || !*name) {
    fail(reason, "no such synth type or an empty name");
    return false;
  }
  const std::string text = preset_template_text(type);
  const std::string path = path_in_folder(kPresetFolder, preset_file_name(type, name).c_str());
  if (!replace_file(path, std::vector<uint8_t>(text.begin(), text.end()))) {
    fail(reason, std::strerror(errno));
    return false;
  }
  return true;
}

bool save_preset(const char* file_name, int type, int index, const char* new_name,
                 const PresetValues& values, std::string* reason) {
  if (index < 0 || index >= kPresetsPerFile || !new_name || !buildable(type) ||
      values.count != type_param_count(type)) {
    fail(reason, "no such preset");
    return false;
  }
  static PresetFile file;  // about 15 KB of values: kept off the stack
  if (!read_preset_file(file_name, type, file, reason)) return false;
  const int count = values.count;
  const int first = 1 + index * (count + 2);
  file.lines[first] = preset_name_of(new_name);
  for (int q = 0; q < count; ++q) file.lines[first + 1 + q] = saved_value_text(values.values[q]);
  file.lines[first + 1 + count] = saved_value_text(static_cast<float>(values.freq_mode));
  std::string text;
  for (const std::string& line : file.lines) text += line + "\r\n";
  if (!replace_file(path_in_folder(kPresetFolder, file_name),
                    std::vector<uint8_t>(text.begin(), text.end()))) {
    fail(reason, std::strerror(errno));
    return false;
  }
  return true;
}

std::vector<std::string> scan_presets() {
  return sorted_listing(kPresetFolder, "*.zbl", kPresetFileNameMax, kMaxPresetFiles);
}

std::vector<int> preset_files_for_synth(const std::vector<std::string>& files,
                                        const char* synth_name) {
  const std::string stem = synth_name_stem(synth_name);
  std::vector<int> found;
  if (stem.empty()) return found;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i];
    if (name.size() <= stem.size() || name[stem.size()] != '.') continue;
    if (same_ignoring_case(stem, std::string_view(name).substr(0, stem.size())))
      found.push_back(static_cast<int>(i));
  }
  return found;
}

}  // namespace zorbel
