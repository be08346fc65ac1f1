// One 16-bit stereo WAV per track beside a recording: each track's share of the mix, taken from
// the mixer's stem taps, written so that the stems add up to the mix.
#pragma once

#include <memory>
#include <string>

#include "files/file_replace.h"
#include "engine/song.h"

namespace zorbel {

class StemFiles {
 public:
  // Creates folder (one level) when missing and opens a stem for every track that is not
  // skipped, named "NN_SYNTH.WAV" after its track number (from 01) and synth name. False, with
  // nothing left behind, when a file cannot be created.
  bool open(const std::string& folder, const bool (&skipped)[MAX_TRACKS]);
  // Appends the current device buffer of every open stem (from buses.stem_right / stem_left).
  void add_buffer();
  // Patches the sizes and puts every stem in place. False when any write failed.
  bool commit(long blocks);
  // Removes what was written, and the folder if open() created it.
  void discard();
  bool active() const { return count_ > 0; }
  // The name of track t's stem file.
  static std::string file_name(int track);

 private:
  std::unique_ptr<ReplacingFile> files_[MAX_TRACKS];
  int count_ = 0;
  std::string folder_;
  bool created_folder_ = false;
};

}  // namespace zorbel
