// Writes test tones in any format libsndfile writes, and through sox where a test wants a file
// made by another program.
#pragma once

#include <string>

namespace zorbel::test {

struct ToneFile {
  int format;             // libsndfile's major | sub format
  int rate = 44100;
  int channels = 1;
  double seconds = 0.25;
  double hz = 441.0;
  double amplitude = 0.5;  // of full scale
  const char* title = nullptr;  // written as a text chunk (LIST INFO in a WAV)
};

// Writes the tone to path; false when libsndfile refused.
bool write_tone(const std::string& path, const ToneFile& tone);

// True when sox is on the PATH.
bool have_sox();

}  // namespace zorbel::test
