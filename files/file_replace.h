// Writing a file so that an older file of the same name survives until the new one is complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorbel {

// What a refused or failed replacement says on stderr besides the system's own error texts.
constexpr const char* kReadOnlyReason = "READ-ONLY";
constexpr const char* kDiskFullReason = "DISK FULL";

// The reason text for an errno value: "DISK FULL" for a full device or quota, otherwise the
// system's error text.
std::string failure_reason(int error);

// Writes go to a temporary file created new beside the target (never through an existing name
// or link); commit() flushes it, gives it the target's permission bits and renames it over the
// target. A target whose mode has no write bit is refused, whoever the user is. A target that
// exists but is not a regular file (such as /dev/null) is written in place.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile() { discard(); }

  // Opens the temporary for binary read-write. False, with reason() set, when the target is
  // read-only or the temporary cannot be created.
  bool open(const std::string& path);
  std::FILE* file() const { return file_; }
  // Flushes, closes and renames. False, with the temporary removed, the target untouched and
  // reason() set, when any write failed.
  bool commit();
  // Closes and removes the temporary; the target stays as it was.
  void discard();
  // Why the last open or commit failed ("" after a success).
  const std::string& reason() const { return reason_; }

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;  // empty when writing in place
  std::string reason_;
  int mode_ = 0;  // permission bits the replaced file keeps
};

// Removes the temporary of the file being written (the most recent one opened), if any. Safe
// in a signal handler: a killed save or render leaves no temporary behind.
void remove_pending_temp_file();

// Why the last replacement begun on this thread failed ("" when it succeeded), for callers that
// report a failed save made through another layer.
const std::string& last_replace_failure();

// Replaces the file at path with bytes. False (and the old file intact) on any failure, with
// the reason in *reason when given.
bool replace_file(const std::string& path, const std::vector<uint8_t>& bytes,
                  std::string* reason = nullptr);

}  // namespace zorbel
