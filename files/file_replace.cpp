// Temporary-file-and-rename writing, so a failed save never destroys the previous file.
#include "files/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace zorbel {

namespace {

// The temporary of the file being written most recently, for a signal handler to remove.
char pending_temp[4096];
std::atomic<bool> temp_pending{false};

void note_temp(const std::string& temp) {
  temp_pending.store(false);
  if (temp.empty() || temp.size() >= sizeof pending_temp) return;
  std::memcpy(pending_temp, temp.c_str(), temp.size() + 1);
  temp_pending.store(true);
}

// The new name must survive a power cut too: the folder's entry is synced after the rename.
void sync_folder_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void remove_pending_temp_file() {
  if (temp_pending.exchange(false)) ::unlink(pending_temp);
}

bool ReplacingFile::open(const std::string& path) {
  discard();
  target_ = path;
  struct stat st;
  const bool special = ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
  temp_ = special ? std::string() : path + ".tmp";
  file_ = std::fopen(special ? path.c_str() : temp_.c_str(), "wb+");
  if (file_) note_temp(temp_);
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
  if (ok) sync_folder_of(target_);
  if (!ok) std::remove(temp_.c_str());
  note_temp("");
  temp_.clear();
  return ok;
}

void ReplacingFile::discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) std::remove(temp_.c_str());
  note_temp("");
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
