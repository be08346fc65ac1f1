// The files shipped in the source tree that tests copy into their scratch folder, by name, so
// that nothing the workstation saved there (seq/RECOVER.SEQ, a user's own preset file) is read.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zorbel::test {

// The demo songs in seq/ and the sample they play from wav/.
inline constexpr const char* kDemoSongs[] = {"CLOCKWORK.SEQ", "NEONRUN.SEQ", "TIDEPOOL.SEQ"};
inline constexpr const char* kDemoSamples[] = {"VOXSTAB.WAV"};

// The label of the preset files the project ships, TYPE.FACTORY.preset.zbl.
inline constexpr const char* kShippedPresetSuffix = ".FACTORY.preset.zbl";

// Copies the demo songs and their sample into seq/ and wav/ of the working directory.
// Precondition: the test program defines ZORBEL_SOURCE_DIR.
inline void copy_demo_files() {
  namespace fs = std::filesystem;
  const fs::path source(ZORBEL_SOURCE_DIR);
  for (const char* song : kDemoSongs) fs::copy_file(source / "seq" / song, fs::path("seq") / song);
  for (const char* sample : kDemoSamples)
    fs::copy_file(source / "wav" / sample, fs::path("wav") / sample);
}

// Copies the shipped preset files into presets/ of the working directory; returns their names.
inline std::vector<std::string> copy_shipped_presets() {
  namespace fs = std::filesystem;
  const std::string suffix = kShippedPresetSuffix;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(ZORBEL_SOURCE_DIR) / "presets")) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    fs::copy_file(entry.path(), fs::path("presets") / name);
    names.push_back(name);
  }
  return names;
}

}  // namespace zorbel::test
