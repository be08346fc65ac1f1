// Stem files: the difference of neighbouring cumulative mixes, quantised as the record tap does.
#include "files/stem_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/mixer.h"
#include "engine/song.h"
#include "files/wav_recorder.h"

namespace zorbel {

namespace {

// The record tap's conversion of a mix value: clamped as the mixer clamps, truncated toward zero.
int quantise(float x) { return static_cast<int>(std::clamp(x, -kClip, kClip) * 32768.0f); }

int16_t to_int16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

std::string StemFiles::file_name(int track) {
  char name[kTrackNameLen + 1] = {0};
  std::memcpy(name, song.track_name[track], kTrackNameLen);
  for (int i = static_cast<int>(std::strlen(name)) - 1; i >= 0 && name[i] == ' '; --i) name[i] = '\0';
  char text[32];
  std::snprintf(text, sizeof text, "%02d_%s.WAV", track + 1, name);
  return text;
}

bool StemFiles::open(const std::string& folder, const bool (&skipped)[MAX_TRACKS]) {
  folder_ = folder;
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  struct stat st;
  if (::stat(folder_.c_str(), &st) != 0) {
    if (::mkdir(folder_.c_str(), 0777) != 0) return false;
    created_folder_ = true;
  } else if (!S_ISDIR(st.st_mode)) {
    return false;
  }
  for (int t = 0; t < song.track_count; ++t) {
    if (skipped[t]) continue;
    files_[t] = std::make_unique<ReplacingFile>();
    if (!files_[t]->open(folder_ + file_name(t))) {
      discard();
      return false;
    }
    write_record_header(files_[t]->file());
    ++count_;
  }
  return true;
}

void StemFiles::add_buffer() {
  static int16_t frames[2 * kBufferFrames];  // main thread only
  for (int t = 0; t < song.track_count; ++t) {
    if (!files_[t]) continue;
    for (int i = 0; i < kBufferFrames; ++i) {
      // Each stem is what its track adds to the quantised mix of the tracks before it, so the
      // stems of a frame add up to the mix's own 16-bit value wherever it is not clipped.
      const int right = quantise(buses.stem_right[t][i]) - (t > 0 ? quantise(buses.stem_right[t - 1][i]) : 0);
      const int left = quantise(buses.stem_left[t][i]) - (t > 0 ? quantise(buses.stem_left[t - 1][i]) : 0);
      frames[2 * i] = to_int16(right);
      frames[2 * i + 1] = to_int16(left);
    }
    std::fwrite(frames, sizeof frames, 1, files_[t]->file());
  }
}

bool StemFiles::commit(long blocks) {
  bool ok = true;
  for (auto& file : files_) {
    if (!file) continue;
    patch_record_sizes(file->file(), blocks);
    ok = file->commit() && ok;
    file.reset();
  }
  count_ = 0;
  return ok;
}

void StemFiles::discard() {
  for (auto& file : files_) {
    if (file) file->discard();
    file.reset();
  }
  count_ = 0;
  if (created_folder_) ::rmdir(folder_.c_str());
  created_folder_ = false;
}

}  // namespace zorbel
