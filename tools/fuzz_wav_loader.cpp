// libFuzzer target: the WAV header check and decoding a WAV file image into a sample.
#include <cstdint>
#include <cstdlib>

#include "files/wav_import.h"
#include "synth/wav_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorbel;
  const bool accepted = check_wav_header_bytes(data, size);
  SampleData* sample = decode_wav(data, size);
  if (sample && !accepted) std::abort();  // only canonical files decode
  if (sample) {
    // Every decoded frame lies inside the data the file holds.
    const int channels = data[22];
    const size_t frame_bytes = static_cast<size_t>(channels) * sample->bits / 8;
    if (44 + static_cast<size_t>(sample->length) * frame_bytes > size) std::abort();
  }
  free_sample_data(sample);
  return 0;
}
