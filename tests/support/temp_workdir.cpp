// A throw-away working directory with the program's folders, for tests that touch files.
#include "tests/support/temp_workdir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace zorbel::test {

TempWorkdir::TempWorkdir() {
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd)) previous_ = cwd;
  char pattern[] = "/tmp/zorbel-test-XXXXXX";
  if (::mkdtemp(pattern)) path_ = pattern;
  for (const char* sub : {"seq", "wav", "presets"})
    std::filesystem::create_directory(path_ + "/" + sub);
  if (::chdir(path_.c_str()) != 0) std::abort();
}

TempWorkdir::~TempWorkdir() {
  if (!previous_.empty() && ::chdir(previous_.c_str()) != 0) std::abort();
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> read_bytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

}  // namespace zorbel::test
