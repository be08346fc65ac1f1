// New songs from templates, and loading and saving song files.
#include "edit/edit.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "edit/autosave.h"
#include "edit/edit_support.h"
#include "engine/builtin_sounds.h"
#include "engine/freq_mode.h"
#include "engine/song_templates.h"
#include "engine/synth_tracks.h"
#include "engine/transport_requests.h"
#include "files/file_replace.h"
#include "files/platform_dir.h"
#include "files/recovery_file.h"
#include "files/song_file.h"
#include "files/wav_import.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"

namespace zorbel {

EditResult edit_new_song(int template_number) {
  if (template_number < 0 || template_number >= kTemplateCount) return EditResult::kBadArgument;
  const SongTemplate& tmpl = kSongTemplates[template_number];
  int32_t types[MAX_TRACKS];
  for (int i = 0; i < tmpl.count && i < MAX_TRACKS; ++i) types[i] = tmpl.entries[i].type;
  // The built-in templates are the program's own songs: some pass the budget that adding a
  // synth keeps to, and they play as they always have.
  const EditResult ok = check_synth_list(types, tmpl.count, false);
  if (ok != EditResult::kOk) return ok;
  keep_song_before_replacing();
  edit_begin_reshape("NEW SONG");
  with_audio_paused([&] { new_song(template_number); });
  post_play_set(false);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_new_custom_song() {
  int32_t types[kCustomTemplateSlots];
  int count = 0;
  for (int i = 0; i < kCustomTemplateSlots; ++i)
    if (custom_template_list[i] >= 0) types[count++] = custom_template_list[i];
  if (count == 0) return EditResult::kBadArgument;
  const EditResult ok = check_synth_list(types, count);
  if (ok != EditResult::kOk) return ok;
  keep_song_before_replacing();
  edit_begin_reshape("NEW SONG");
  with_audio_paused([] { new_custom_song(); });
  post_play_set(false);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

EditResult edit_load_song(const char* path, std::string* reason) {
  // The file is read and checked while the audio plays on; only the replacement holds it.
  SongImage image;
  if (!path || !read_song_file(path, image, reason)) return EditResult::kLoadFailed;
  keep_song_before_replacing();
  edit_begin_reshape("LOAD SONG");
  with_audio_paused([&] { apply_song_image(image); });
  warn_song_corrections(path, image);
  song_replaced();
  mark_song_saved();
  return EditResult::kOk;
}

std::unique_ptr<SongSnapshot> snapshot_song() {
  auto snapshot = std::make_unique<SongSnapshot>();
  prepare_song_snapshot(*snapshot);
  // Only read: the cursors need no re-priming afterwards.
  const unsigned previous = pause_audio();
  take_song_snapshot(*snapshot);
  resume_audio(previous);
  return snapshot;
}

EditResult edit_save_song(const char* file_name) {
  if (!file_name) return EditResult::kSaveFailed;
  // Encoding and writing and syncing the file run with the audio playing.
  const std::vector<uint8_t> bytes = encode_song(*snapshot_song(), file_name);
  // A song saved under the recovery file's name must not take the unsaved work's place: the
  // file there moves to the backups first, as at the start of a session's recovery writes.
  if (strcasecmp(file_name, kRecoverySongFile) == 0 && !rotate_recovery_backups(kSongFolder))
    return EditResult::kSaveFailed;
  if (!replace_file(path_in_folder(kSongFolder, file_name), bytes)) return EditResult::kSaveFailed;
  mark_song_saved();
  return EditResult::kOk;
}

}  // namespace zorbel
