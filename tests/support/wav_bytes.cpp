// Builds WAV file images for tests of the sample list and loader.
#include "tests/support/wav_bytes.h"

#include <cstring>

namespace zorbel::test {

namespace {

void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void put_text(std::vector<uint8_t>& b, const char* text) {
  b.insert(b.end(), text, text + std::strlen(text));
}

}  // namespace

std::vector<uint8_t> make_wav(int channels, int rate, int bits, const std::vector<uint8_t>& data,
                              int64_t declared_size) {
  std::vector<uint8_t> b;
  const uint32_t size = declared_size < 0 ? static_cast<uint32_t>(data.size())
                                          : static_cast<uint32_t>(declared_size);
  put_text(b, "RIFF");
  put32(b, size + 36);
  put_text(b, "WAVEfmt ");
  put32(b, 16);
  put16(b, 1);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * channels * bits / 8);
  put16(b, channels * bits / 8);
  put16(b, bits);
  put_text(b, "data");
  put32(b, size);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> b;
  for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
  return b;
}

}  // namespace zorbel::test
