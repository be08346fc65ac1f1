// Reading any sample file libsndfile understands into the mono 44.1 kHz sample memory the WAV
// engine plays: WAV of any depth or float, AIFF, FLAC, OGG/Vorbis and MP3 where the library has it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "synth/sample_data.h"

namespace zorbel {

constexpr int kSampleRate = 44100;
// Source rates a sample may have; the converter's ratio stays well inside what it supports.
constexpr int kDecodeMinRate = 2000;
constexpr int kDecodeMaxRate = 384000;
// The longest sample the sample memory takes, in frames at 44.1 kHz (256 MiB of 16-bit frames).
constexpr std::size_t kMaxSampleFrames = std::size_t{128} << 20;

// True when name ends in an extension of a sample format this build reads (.WAV .AIF .AIFF
// .FLAC .OGG, and .MP3 where the library decodes MPEG), ignoring case.
bool sample_extension_supported(const char* name);

// True when the library opens the file at path as audio with frames, 1 or more channels and a
// rate the converter takes. Reads the header only.
bool sample_file_readable(const std::string& path);

// What a decode gives: the sample (allocated as wav_set_sample expects, name empty) or null with
// the reason in words; out_of_memory is set when an allocation failed (a file longer than the
// sample memory allows is refused without it).
struct DecodedSample {
  SampleData* sample = nullptr;
  bool out_of_memory = false;
  std::string reason;
};

// Decodes the file at path. Channels are averaged into one; any rate is converted to 44.1 kHz
// with the best sinc converter. 8- and 16-bit integer data at 44.1 kHz is taken exactly as the
// canonical WAV reader takes it (8-bit data stays 8-bit), so a file with the same samples sounds
// the same in any container. A file that ends before the frames its header announces, or whose
// data is damaged, is refused.
DecodedSample decode_sample_file(const std::string& path);
// The same over a file image in memory (the fuzzer and tests).
DecodedSample decode_sample_bytes(const uint8_t* bytes, std::size_t size);

}  // namespace zorbel
