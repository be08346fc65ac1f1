// The edit layer's recording: the offline render into the WAV folder.
#include "edit/edit.h"

#include <string>

#include "files/platform_dir.h"
#include "files/wav_recorder.h"

namespace zorbel {

EditResult edit_record_wav(const char* file_name) {
  if (!file_name || !*file_name) return EditResult::kBadArgument;
  // The recorder stops the stream for the render and starts it again; the song is not changed.
  const std::string path = path_in_folder(kWavFolder, file_name);
  return record_to_wav(path.c_str()) ? EditResult::kOk : EditResult::kSaveFailed;
}

bool edit_record_begin(RecordJob& job, const char* file_name, int mode, bool stems) {
  if (!file_name || !*file_name) return false;
  const std::string path = path_in_folder(kWavFolder, file_name);
  std::string folder = path.substr(0, path.find_last_of('.'));
  RecordRequest request;
  request.path = path.c_str();
  request.mode = mode;
  request.stems_folder = stems ? folder.c_str() : nullptr;
  return job.start(request);
}

}  // namespace zorbel
