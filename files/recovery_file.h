// Where the unsaved song is kept: the recovery file, its dated backups, and the places tried
// when the song folder cannot take it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbel {

constexpr const char* kRecoverySongFile = "RECOVER.SEQ";
constexpr const char* kRecoverySongName = "RECOVER";  // the FILE line's name for it
constexpr const char* kRecoveryBackupFolder = "backup/";
constexpr int kRecoveryBackupsKept = 10;

// The state folder: $XDG_STATE_HOME/zorbel/, or ~/.local/state/zorbel/ without it ("" when
// neither variable is set).
std::string state_folder();

// The folders the recovery file is tried in, in order: the song folder, the state folder, and a
// folder of this user's own under /tmp.
std::vector<std::string> recovery_folders();

// Moves folder/RECOVER.SEQ (if there is one) to folder/backup/RECOVER-YYYYMMDD-HHMMSS.SEQ, named
// after the time it was written, and removes the oldest backups beyond kRecoveryBackupsKept.
// A backup of the same second gets "-2", "-3"... False when the file could not be moved.
bool rotate_recovery_backups(const std::string& folder);

// Writes bytes as the recovery file in the first folder of recovery_folders() that takes it.
// The first write of a session to a folder moves the previous session's file to its backups.
// *where is the path written; *reason says why the song folder was passed over or, when every
// folder failed, why the last one did. False when no folder took it.
bool write_recovery_file(const std::vector<uint8_t>& bytes, std::string* where,
                         std::string* reason);

// The recovery file of the song folder is newer than every other song in it.
bool recovery_file_is_newest();

// Forgets which folders this session has already moved to backups (tests).
void reset_recovery_session();

}  // namespace zorbel
