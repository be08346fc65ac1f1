// Test tones through libsndfile.
#include "tests/support/sample_files.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace zorbel::test {

bool write_tone(const std::string& path, const ToneFile& tone) {
  SF_INFO info{};
  info.samplerate = tone.rate;
  info.channels = tone.channels;
  info.format = tone.format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  if (tone.title) sf_set_string(file, SF_STR_TITLE, tone.title);
  const long frames = std::lround(tone.seconds * tone.rate);
  std::vector<float> data(static_cast<std::size_t>(frames) * tone.channels);
  for (long f = 0; f < frames; ++f)
    for (int c = 0; c < tone.channels; ++c)
      data[f * tone.channels + c] = static_cast<float>(
          tone.amplitude * std::sin(2.0 * M_PI * tone.hz * static_cast<double>(f) / tone.rate));
  const bool ok = sf_writef_float(file, data.data(), frames) == frames;
  return sf_close(file) == 0 && ok;
}

bool have_sox() { return std::system("sox --version >/dev/null 2>&1") == 0; }

}  // namespace zorbel::test
