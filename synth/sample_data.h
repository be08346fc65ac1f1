// A loaded WAV sample as the sample player reads it.
#pragma once

#include <cstdint>

namespace zorbel {

// Sample frames in mono. Exactly one of data8 / data16 is set, depending on bits.
struct SampleData {
  uint8_t* data8 = nullptr;    // 8-bit data, read as byte * 256 - 32768
  int16_t* data16 = nullptr;   // 16-bit data
  int32_t length = 0;          // frames
  int16_t bits = 16;
  float rate_factor = 1.0f;    // file rate / 44100
  char name[64] = {0};         // file name as listed, for the song file
};

}  // namespace zorbel
