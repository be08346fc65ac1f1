// A throw-away working directory with the program's folders, for tests that touch files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbel::test {

// Creates a fresh directory with seq/, wav/ and presets/ and makes it the working directory;
// the destructor returns to the previous one and removes the directory tree.
class TempWorkdir {
 public:
  TempWorkdir();
  ~TempWorkdir();
  TempWorkdir(const TempWorkdir&) = delete;
  TempWorkdir& operator=(const TempWorkdir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

// Writes bytes to a file (relative to the working directory); false on failure.
bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_bytes(const std::string& path);

}  // namespace zorbel::test
