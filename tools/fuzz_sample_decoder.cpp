// libFuzzer target: decoding any file image through the sample decoder (libsndfile's containers
// and codecs, then rate conversion to 44.1 kHz).
#include <cstdint>
#include <cstdlib>

#include "files/sample_decoder.h"
#include "synth/wav_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorbel;
  DecodedSample decoded = decode_sample_bytes(data, size);
  if (SampleData* s = decoded.sample) {
    // A decoded sample has frames, one kind of data, and every frame inside the sample memory.
    if (s->length <= 0 || static_cast<std::size_t>(s->length) > kMaxSampleFrames) std::abort();
    if ((s->data8 == nullptr) == (s->data16 == nullptr)) std::abort();
    long sum = 0;
    for (int32_t i = 0; i < s->length; ++i) sum += s->data16 ? s->data16[i] : s->data8[i];
    if (sum == 0x7fffffffffffL) std::abort();  // reads every frame
  } else if (decoded.reason.empty()) {
    std::abort();  // a refusal always says why
  }
  free_sample_data(decoded.sample);
  return 0;
}
