// Choosing the folder the programs work in, and making the user's own one from the factory files.
#include "files/work_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zorbel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "zorbel";

bool is_folder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::string home_folder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  if (const passwd* entry = ::getpwuid(::getuid()))
    if (entry->pw_dir && entry->pw_dir[0] == '/') return entry->pw_dir;
  return "";
}

// The permissions mkdir would give a new folder under the process's umask.
fs::perms folder_permissions() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<fs::perms>(0777 & ~mask);
}

// Copies the regular files of from into to (one level; links are followed).
bool copy_files(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(from, ec)) return true;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    if (!fs::copy_file(entry.path(), to / entry.path().filename(), ec)) {
      *error = "cannot copy " + entry.path().string() + ": " + ec.message();
      return false;
    }
    fs::permissions(to / entry.path().filename(), fs::perms::owner_write, fs::perm_options::add,
                    ec);
  }
  if (ec) {
    *error = "cannot read " + from.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

std::string user_folder_path() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home && data_home[0] == '/') return std::string(data_home) + "/" + kFolderName;
  const std::string home = home_folder();
  if (home.empty()) return "";
  return home + "/.local/share/" + kFolderName;
}

std::string factory_folder_path() {
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return (program.parent_path().parent_path() / "share" / kFolderName).string();
}

bool make_user_folder(const std::string& folder, const std::string& factory, std::string* error) {
  const fs::path target = folder;
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  if (ec) {
    *error = "cannot make " + target.parent_path().string() + ": " + ec.message();
    return false;
  }
  std::string pattern =
      (target.parent_path() / ("." + target.filename().string() + ".new-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {
    *error = "cannot make a folder in " + target.parent_path().string() + ": " +
             std::strerror(errno);
    return false;
  }
  const fs::path draft = pattern;
  bool ok = true;
  for (const char* sub : kWorkSubfolders) {
    if (!fs::create_directory(draft / sub, ec)) {
      *error = "cannot make " + (draft / sub).string() + ": " + ec.message();
      ok = false;
      break;
    }
    if (!copy_files(fs::path(factory) / sub, draft / sub, error)) {
      ok = false;
      break;
    }
  }
  if (ok) fs::permissions(draft, folder_permissions(), ec);
  if (ok && ::rename(draft.c_str(), target.c_str()) != 0) {
    // Another start made it first: theirs is as good as ours.
    if (!is_folder(target.string())) {
      *error = "cannot make " + target.string() + ": " + std::strerror(errno);
      ok = false;
    }
  }
  fs::remove_all(draft, ec);
  return ok;
}

std::string enter_work_folder(const char* program, const std::string& factory) {
  const std::string here = current_folder();
  if (is_folder("seq")) return here;

  const std::string folder = user_folder_path();
  if (folder.empty()) {
    std::fprintf(stderr, "%s: no home folder is known; working in %s\n", program, here.c_str());
    return here;
  }
  std::string error;
  if (!is_folder(folder)) {
    if (!make_user_folder(folder, factory, &error)) {
      std::fprintf(stderr, "%s: %s; working in %s\n", program, error.c_str(), here.c_str());
      return here;
    }
    const bool has_factory = is_folder(factory + "/seq");
    std::printf("%s: made %s for your songs (seq/), samples and recordings (wav/) and presets "
                "(presets/)%s\n",
                program, folder.c_str(), has_factory ? ", with the factory files" : "");
    std::fflush(stdout);
    if (!has_factory)
      std::fprintf(stderr, "%s: no factory files at %s; the folders start empty\n", program,
                   factory.c_str());
  }
  std::error_code ec;
  for (const char* sub : kWorkSubfolders) fs::create_directory(fs::path(folder) / sub, ec);
  if (::chdir(folder.c_str()) != 0) {
    std::fprintf(stderr, "%s: cannot enter %s: %s; working in %s\n", program, folder.c_str(),
                 std::strerror(errno), here.c_str());
    return here;
  }
  return folder;
}

std::string absolute_from(const std::string& from, const std::string& path) {
  if (path.empty() || path[0] == '/' || from.empty()) return path;
  return from + "/" + path;
}

std::string current_folder() {
  std::error_code ec;
  const fs::path path = fs::current_path(ec);
  return ec ? "" : path.string();
}

}  // namespace zorbel
