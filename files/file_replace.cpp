// Temporary-file-and-rename writing, so a failed save never destroys the previous file.
#include "files/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
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

// The mode a newly made file gets: 0666 less the process's umask.
int new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~static_cast<int>(mask);
}

thread_local std::string last_failure;

}  // namespace

const std::string& last_replace_failure() { return last_failure; }

std::string failure_reason(int error) {
  if (error == ENOSPC || error == EDQUOT) return kDiskFullReason;
  return std::strerror(error);
}

void remove_pending_temp_file() {
  if (temp_pending.exchange(false)) ::unlink(pending_temp);
}

bool ReplacingFile::open(const std::string& path) {
  discard();
  target_ = path;
  reason_.clear();
  last_failure.clear();
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or pipe cannot be renamed over: it takes the bytes itself.
    temp_.clear();
    file_ = std::fopen(path.c_str(), "wb+");
    if (!file_) reason_ = last_failure = failure_reason(errno);
    return file_ != nullptr;
  }
  // Judged by the mode, so that a file made read-only stays so for root as well.
  if (exists && (st.st_mode & 0222) == 0) {
    reason_ = last_failure = kReadOnlyReason;
    errno = EACCES;
    return false;
  }
  mode_ = exists ? static_cast<int>(st.st_mode & 07777) : new_file_mode();
  // mkstemp makes a new file with O_EXCL: a link or file already at the name is never used.
  std::string pattern = path + ".tmpXXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    reason_ = last_failure = failure_reason(errno);
    return false;
  }
  file_ = ::fdopen(fd, "wb+");
  if (!file_) {
    reason_ = last_failure = failure_reason(errno);
    ::close(fd);
    ::unlink(pattern.c_str());
    return false;
  }
  temp_ = pattern;
  note_temp(temp_);
  return true;
}

bool ReplacingFile::commit() {
  if (!file_) return false;
  errno = 0;
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  if (ok && !temp_.empty()) ok = ::fchmod(::fileno(file_), static_cast<mode_t>(mode_)) == 0;
  if (ok && !temp_.empty()) ok = ::fsync(::fileno(file_)) == 0;
  int error = ok ? 0 : errno;
  if (std::fclose(file_) != 0 && ok) {
    ok = false;
    error = errno;
  }
  file_ = nullptr;
  if (ok && !temp_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (ok && !temp_.empty()) sync_folder_of(target_);
  if (!ok) {
    reason_ = last_failure = failure_reason(error != 0 ? error : EIO);
    if (!temp_.empty()) std::remove(temp_.c_str());
    errno = error != 0 ? error : EIO;
  }
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

bool replace_file(const std::string& path, const std::vector<uint8_t>& bytes,
                  std::string* reason) {
  ReplacingFile out;
  bool ok = out.open(path);
  if (ok && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) {
    const int error = errno;
    out.discard();
    last_failure = failure_reason(error != 0 ? error : EIO);
    if (reason) *reason = last_failure;
    return false;
  }
  if (ok) ok = out.commit();
  if (!ok && reason) *reason = out.reason();
  return ok;
}

}  // namespace zorbel
