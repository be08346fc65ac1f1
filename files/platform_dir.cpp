// Directory listing by wildcard and case-insensitive file lookup over POSIX directories.
#include "files/platform_dir.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>

namespace zorbel {

namespace {

bool same_letter(char a, char b) {
  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

bool is_regular(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool equal_ignoring_case(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (!same_letter(*a, *b)) return false;
  return *a == *b;
}

}  // namespace

bool name_matches(const char* pattern, const char* name) {
  // Iterative matcher: on a mismatch after a '*', the star absorbs one more character.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && same_letter(*pattern, *name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

std::vector<std::string> list_folder(const char* folder, const char* pattern,
                                     std::size_t max_names) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder);
  if (!dir) return names;
  const std::string base = folder;
  while (names.size() < max_names) {
    const dirent* entry = ::readdir(dir);
    if (!entry) break;
    if (!name_matches(pattern, entry->d_name)) continue;
    if (!is_regular(base + entry->d_name)) continue;
    names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

std::string path_in_folder(const char* folder, const char* name) {
  const std::string exact = std::string(folder) + name;
  if (exists(exact)) return exact;
  std::string found = exact;
  if (DIR* dir = ::opendir(folder)) {
    while (const dirent* entry = ::readdir(dir)) {
      if (equal_ignoring_case(entry->d_name, name)) {
        found = std::string(folder) + entry->d_name;
        break;
      }
    }
    ::closedir(dir);
  }
  return found;
}

std::string path_ignoring_case(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return path_in_folder("./", path.c_str()).substr(2);
  return path_in_folder(path.substr(0, slash + 1).c_str(), path.c_str() + slash + 1);
}

std::FILE* open_in_folder(const char* folder, const char* name, const char* mode) {
  return std::fopen(path_in_folder(folder, name).c_str(), mode);
}

}  // namespace zorbel
