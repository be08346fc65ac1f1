// Writing a file so that an older file of the same name survives until the new one is complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorbel {

// Writes go to a temporary file beside the target; commit() flushes it and renames it over the
// target. A target that exists but is not a regular file (such as /dev/null) is written in place.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile() { discard(); }

  // Opens the temporary for binary read-write. False when it cannot be created.
  bool open(const std::string& path);
  std::FILE* file() const { return file_; }
  // Flushes, closes and renames. False, with the temporary removed and the target untouched,
  // when any write failed.
  bool commit();
  // Closes and removes the temporary; the target stays as it was.
  void discard();

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;  // empty when writing in place
};

// Removes the temporary of the file being written (the most recent one opened), if any. Safe
// in a signal handler: a killed save or render leaves no temporary behind.
void remove_pending_temp_file();

// Replaces the file at path with bytes. False (and the old file intact) on any failure.
bool replace_file(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace zorbel
