// Builds WAV file images for tests of the sample list and loader.
#pragma once

#include <cstdint>
#include <vector>

namespace zorbel::test {

// A canonical 44-byte PCM header followed by data (interleaved when stereo). The header's data
// size is data.size() unless declared_size is given.
std::vector<uint8_t> make_wav(int channels, int rate, int bits, const std::vector<uint8_t>& data,
                              int64_t declared_size = -1);
// 16-bit samples as little-endian bytes.
std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples);

}  // namespace zorbel::test
