// Where the programs keep songs, samples and presets: the working directory when it holds seq/,
// else the user's own data folder, made on the first start from the factory files.
#pragma once

#include <string>

namespace zorbel {

// The subfolders every work folder has, relative to it.
constexpr const char* kWorkSubfolders[] = {"seq", "wav", "presets"};

// $XDG_DATA_HOME/zorbel, or ~/.local/share/zorbel when XDG_DATA_HOME is unset, empty or not
// absolute (relative values are ignored, as the XDG base directories rule says). Empty when
// neither XDG_DATA_HOME nor a home folder is known.
std::string user_folder_path();

// The factory files installed beside the running program: <dir of the executable>/../
// share/zorbel, so a package unpacked under any prefix finds its own.
std::string factory_folder_path();

// Makes folder with seq/, wav/ and presets/ holding copies of the regular files in the same
// subfolders of factory (a missing factory gives empty subfolders). The folder is assembled
// under a temporary name beside it and renamed into place, so an interrupted first start leaves
// no half-filled folder; when another process made it meanwhile, that one is kept. False with
// the reason in *error when it could not be made.
bool make_user_folder(const std::string& folder, const std::string& factory, std::string* error);

// The start-up rule of every program: a working directory with seq/ is used as it is (nothing
// printed, nothing created). Otherwise the program changes into the user folder, making it from
// factory on the first start and saying so once on stdout; missing subfolders of an existing
// one are made again, empty. On failure it stays where it is, with the reason on stderr.
// Returns the folder worked in, absolute.
std::string enter_work_folder(const char* program,
                              const std::string& factory = factory_folder_path());

// path made absolute against from (itself when already absolute or empty).
std::string absolute_from(const std::string& from, const std::string& path);

// The working directory, absolute; empty when unknown.
std::string current_folder();

}  // namespace zorbel
