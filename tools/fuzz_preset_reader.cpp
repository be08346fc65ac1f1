// libFuzzer target: preset file decoding, and SAVE PRESET's rewrite of what was accepted.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/init_engine.h"
#include "files/preset_file.h"
#include "files/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorbel;
  static const bool started = (init_engine(1), true);
  (void)started;
  static PresetFile file;
  std::string reason;
  if (!parse_preset_file(data, size, -1, file, reason)) return 0;
  // Every value read lies in its range and is written back as a number the reader takes again.
  for (const PresetValues& preset : file.presets) {
    if (preset.count != static_cast<int>(file.presets[0].count)) std::abort();
    for (int q = 0; q < preset.count; ++q) {
      float again = 0.0f;
      if (!parse_decimal(saved_value_text(preset.values[q]), &again)) std::abort();
    }
  }
  // The accepted file, written back line by line with CR LF, reads as the same presets.
  std::string text;
  for (const std::string& line : file.lines) text += line + "\r\n";
  static PresetFile second;
  if (!parse_preset_file(reinterpret_cast<const uint8_t*>(text.data()), text.size(), file.type,
                         second, reason))
    std::abort();
  for (int p = 0; p < kPresetsPerFile; ++p)
    if (second.names[p] != file.names[p]) std::abort();
  return 0;
}
