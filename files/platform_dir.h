// The program's folders and the directory listing and case-insensitive opening they need.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zorbel {

// Relative to the working directory; the program never creates them.
constexpr const char* kSongFolder = "./seq/";
constexpr const char* kWavFolder = "./wav/";
constexpr const char* kPresetFolder = "./presets/";

// True when name matches pattern, ignoring case; '*' matches any run of characters, '?' one.
bool name_matches(const char* pattern, const char* name);

// The regular files of folder whose names match pattern (such as "*.SEQ"), in the order the
// directory returns them, at most max_names. Empty when the folder is missing.
std::vector<std::string> list_folder(const char* folder, const char* pattern,
                                     std::size_t max_names = 100000);

// The path of name inside folder: the exact name when it exists, else the first directory entry
// equal to it ignoring case, else folder + name (for creating a new file).
std::string path_in_folder(const char* folder, const char* name);

// The same for a whole path: its last component is found ignoring case inside its folder ("."
// when the path names none).
std::string path_ignoring_case(const std::string& path);

// Opens name inside folder with fopen's mode, finding it ignoring case.
std::FILE* open_in_folder(const char* folder, const char* name, const char* mode);

}  // namespace zorbel
