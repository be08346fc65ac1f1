// Preset files: 64 named parameter sets for one synth type, in ./presets/.
//
// A file is named TYPE.NAME.preset.zbl and holds, one token a line:
//   START_PRESET_SYNTH_TYPE
//   64 times: the preset's name, then P + 1 value lines (the type's P parameters in order,
//             then the frequency mode the synth had: 0 ABS, 1 MIDI, 3 no pitch)
//   END_PRESET_SYNTH_TYPE
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/song.h"

namespace zorbel {

constexpr int kPresetsPerFile = 64;
constexpr int kPresetNameLength = 8;    // the name entry's width
constexpr int kMaxPresetFiles = 512;
constexpr int kPresetFileNameMax = 39;  // longer names are not listed
constexpr std::size_t kMaxPresetFileBytes = 1u << 20;
constexpr const char* kPresetStartMarker = "START_PRESET_SYNTH_";
constexpr const char* kPresetEndMarker = "END_PRESET_SYNTH_";
constexpr const char* kPresetSuffix = ".preset.zbl";

// One preset's values, clamped to each parameter's range.
struct PresetValues {
  int count = 0;                 // P, the type's parameter count
  float values[PARAM_SLOTS] = {};
  int freq_mode = 3;             // 0 ABS, 1 MIDI, 3 for types without a pitch that follows it
};

// A preset file read and checked whole.
struct PresetFile {
  int type = -1;
  std::string names[kPresetsPerFile];  // cut at the first character below "." and to 8
  PresetValues presets[kPresetsPerFile];
  std::vector<std::string> lines;      // every line's text, for rewriting one preset
};

// Lines a preset file of type has: 64 x (P + 2) + 2.
int preset_file_line_count(int type);
// TYPE.NAME.preset.zbl
std::string preset_file_name(int type, const char* name);
// The text between a file name's first and second "." ("BASS" of "FMSVF.BASS.preset.zbl").
std::string preset_file_label(const std::string& file_name);
// The leading characters of a synth name from "A" upwards: "BAMSVF" of "BAMSVF2".
std::string synth_name_stem(const char* synth_name);

// The value line of a default as MAKE PRESET FILE writes it: "52.0", "0.25", "21845.0".
std::string template_value_text(float value);
// A value line as SAVE PRESET writes it: fixed point with six decimals, sign kept ("-0.500000").
std::string saved_value_text(float value);
// The whole file MAKE PRESET FILE writes for type: 64 presets PRESET0..PRESET63, each holding
// the type's defaults and its starting frequency mode. LF line ends.
std::string preset_template_text(int type);

// Decodes a preset file. expected_type is the synth's type, or -1 to take the file's. False,
// with a short reason, for a file of another type, with the wrong number of lines, without its
// markers, or with a value line that is not a number.
bool parse_preset_file(const uint8_t* data, std::size_t size, int expected_type,
                       PresetFile& file, std::string& reason);
// Reads kPresetFolder + file_name (found ignoring case) and decodes it.
bool read_preset_file(const char* file_name, int expected_type, PresetFile& file,
                      std::string* reason = nullptr);

// Writes kPresetFolder + preset_file_name(type, name) with the template text. The older file of
// that name is replaced only once the new one is complete.
bool make_preset_file(int type, const char* name, std::string* reason = nullptr);
// Replaces preset index of file_name (which must read as type) with new_name and values, every
// other line kept; every line is written with CR LF. The file is replaced only when complete;
// a file that does not read is left untouched.
bool save_preset(const char* file_name, int type, int index, const char* new_name,
                 const PresetValues& values, std::string* reason = nullptr);

// The *.zbl files of kPresetFolder whose names fit 39 characters, at most 512, sorted by name
// ignoring case.
std::vector<std::string> scan_presets();
// Indices into files, in list order, of the files for a synth called synth_name: the name's
// stem followed at once by "." (ignoring case). So FMSVF.BASS.preset.zbl is offered to
// FMSVF1, not to FM1.
std::vector<int> preset_files_for_synth(const std::vector<std::string>& files,
                                        const char* synth_name);

}  // namespace zorbel
