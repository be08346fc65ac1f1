// The recovery file's folders, its dated backups, and the fallbacks for a folder that is full,
// read-only or missing.
#include "files/recovery_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "files/file_replace.h"
#include "files/platform_dir.h"

namespace zorbel {

namespace {

// The folders whose previous recovery file this process has already moved to the backups: the
// files written later in the same session replace their own.
std::vector<std::string> rotated_folders;

std::string with_slash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool make_folders(const std::string& path, mode_t mode) {
  std::string partial;
  for (std::size_t i = 0; i < path.size(); ++i) {
    partial += path[i];
    if ((path[i] == '/' || i + 1 == path.size()) && partial != "/")
      if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Modification time in nanoseconds, 0 when the file is missing.
int64_t modified_ns(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::string backup_name_for(const std::string& backups, const std::string& file) {
  struct stat st;
  const time_t when = ::stat(file.c_str(), &st) == 0 ? st.st_mtim.tv_sec : std::time(nullptr);
  struct tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name = backups + "RECOVER-" + stamp + ".SEQ";
  for (int n = 2; ::access(name.c_str(), F_OK) == 0; ++n)
    name = backups + "RECOVER-" + stamp + "-" + std::to_string(n) + ".SEQ";
  return name;
}

void prune_backups(const std::string& backups) {
  std::vector<std::string> names = list_folder(backups.c_str(), "RECOVER-*.SEQ");
  if (static_cast<int>(names.size()) <= kRecoveryBackupsKept) return;
  std::vector<std::pair<int64_t, std::string>> dated;
  for (const std::string& name : names) dated.emplace_back(modified_ns(backups + name), name);
  std::sort(dated.begin(), dated.end());
  const std::size_t excess = dated.size() - kRecoveryBackupsKept;
  for (std::size_t i = 0; i < excess; ++i) ::unlink((backups + dated[i].second).c_str());
}

// A folder under /tmp is used only when it is this user's own and no link.
bool own_private_folder(const std::string& folder) {
  struct stat st;
  if (::lstat(folder.c_str(), &st) != 0) {
    if (::mkdir(folder.c_str(), 0700) != 0) return false;
    if (::lstat(folder.c_str(), &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0077) == 0;
}

}  // namespace

std::string state_folder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return with_slash(state) + "zorbel/";
  const char* home = std::getenv("HOME");
  if (home && *home) return with_slash(home) + ".local/state/zorbel/";
  return "";
}

std::vector<std::string> recovery_folders() {
  std::vector<std::string> folders{kSongFolder};
  const std::string state = state_folder();
  if (!state.empty()) folders.push_back(state);
  folders.push_back("/tmp/zorbel-" + std::to_string(::geteuid()) + "/");
  return folders;
}

bool rotate_recovery_backups(const std::string& folder) {
  const std::string file = path_in_folder(folder.c_str(), kRecoverySongFile);
  if (::access(file.c_str(), F_OK) != 0) return true;
  const std::string backups = with_slash(folder) + kRecoveryBackupFolder;
  if (!make_folders(backups, 0755)) return false;
  if (std::rename(file.c_str(), backup_name_for(backups, file).c_str()) != 0) return false;
  prune_backups(backups);
  return true;
}

bool write_recovery_file(const std::vector<uint8_t>& bytes, std::string* where,
                         std::string* reason) {
  std::string first_reason;
  std::string last_reason;
  const std::vector<std::string> folders = recovery_folders();
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::string& folder = folders[i];
    const bool song_folder = i == 0;
    // The song folder is never made: without it the work goes to the state folder.
    if (!song_folder && (i + 1 == folders.size() ? !own_private_folder(folder)
                                                 : !make_folders(folder, 0700))) {
      last_reason = "cannot make " + folder;
      continue;
    }
    if (std::find(rotated_folders.begin(), rotated_folders.end(), folder) == rotated_folders.end()) {
      if (rotate_recovery_backups(folder)) rotated_folders.push_back(folder);
    }
    const std::string path = path_in_folder(folder.c_str(), kRecoverySongFile);
    std::string why;
    if (replace_file(path, bytes, &why)) {
      if (where) *where = path;
      if (reason) *reason = first_reason;
      return true;
    }
    last_reason = path + ": " + why;
    if (first_reason.empty()) first_reason = last_reason;
  }
  if (reason) *reason = last_reason;
  return false;
}

bool recovery_file_is_newest() {
  const std::string recovery = path_in_folder(kSongFolder, kRecoverySongFile);
  const int64_t written = modified_ns(recovery);
  if (written == 0 || ::access(recovery.c_str(), F_OK) != 0) return false;
  for (const std::string& name : list_folder(kSongFolder, "*.SEQ")) {
    const std::string path = std::string(kSongFolder) + name;
    if (path == recovery) continue;
    if (modified_ns(path) >= written) return false;
  }
  return true;
}

void reset_recovery_session() { rotated_folders.clear(); }

}  // namespace zorbel
