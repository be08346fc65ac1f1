// Temporary-file-and-rename writing, so a failed save never destroys the previous file.
#include "files/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace zorbel {

bool ReplacingFile::open(const std::string& path) {
  discard();
  target_ = path;
  struct stat st;
  const bool special = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
  temp_ = special ? std::string() : path + ".tmp";
  file_ = std::fopen(special ? path.c_str() : temp_.c_str(), "wb+");
  return file_ != nullptr;
}

bool ReplacingFile::commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  if (ok && !temp_.empty()) ok = ::fsync(::fileno(file_)) == 0;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (temp_.empty()) return ok;
  if (ok) ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) std::remove(temp_.c_str());
  temp_.clear();
  return ok;
}

void ReplacingFile::discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) std::remove(temp_.c_str());
  temp_.clear();
}

bool replace_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  ReplacingFile out;
  if (!out.open(path)) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) {
    out.discard();
    return false;
  }
  return out.commit();
}

}  // namespace zorbel
