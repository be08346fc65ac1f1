// WAV sample import: the list of usable files in the WAV folder, the header check, the loader.
#pragma once

#include <cstddef>
#include <cstdint>

#include "synth/sample_data.h"

namespace zorbel {

constexpr int kWavListSize = 1000;
// Names up to 31 characters: an eight-letter name with any extension fits, and songs keep up to
// 63 characters of a sample's name.
constexpr int kWavNameSlot = 32;
constexpr int kWavMaxNameChars = kWavNameSlot - 1;
constexpr int kWavHeaderBytes = 44;
constexpr int kWavMinRate = 2000;
constexpr int kWavMaxRate = 100000;
// Larger files are refused rather than read (the longest 16-bit stereo file at the highest rate
// this allows is over two minutes at 100 kHz).
constexpr std::size_t kMaxWavFileBytes = 256u << 20;

// Usable samples of the WAV folder (every format the decoder reads), upper case, in directory
// order.
struct WavList {
  char names[kWavListSize][kWavNameSlot];
  int count;
};
extern WavList wav_list;

// Load results.
constexpr int kWavLoaded = 1;
constexpr int kWavReloadedPrevious = -1;  // no memory for the new file; the previous is back
constexpr int kWavNotLoaded = -2;         // unreadable file (or no memory): the placeholder plays
constexpr int kWavNoOldRealloc = -3;      // no memory for the new or the previous file

// Rebuilds wav_list from the WAV folder: names of at most kWavMaxNameChars characters with a
// supported extension whose canonical header passes or that the decoder opens.
void scan_wav_folder();
// True when kWavFolder + name (found ignoring case) is a sample the list takes.
bool sample_usable(const char* name);
// Position of name in wav_list (compared ignoring case), or -1.
int find_wav(const char* name);

// True when the first bytes hold the canonical 44-byte PCM header: mono or stereo, 8 or 16 bits,
// 2000..100000 Hz, "data" at byte 36 with a size that is not 0.
bool check_wav_header_bytes(const uint8_t* bytes, std::size_t size);
// The same for kWavFolder + name (found ignoring case).
bool check_wav_header(const char* name);

// Decodes a WAV file image into a mono sample (stereo frames averaged), or null when the header
// is not canonical, holds no whole frame, or memory ran out (then *out_of_memory is set). A data
// size larger than the file yields only the frames present. The result is allocated as
// wav_set_sample expects; name is left empty.
SampleData* decode_wav(const uint8_t* bytes, std::size_t size, bool* out_of_memory = nullptr);

// A sample read and decoded, ready to be swapped in. sample is null for the nameless
// placeholder (and for kWavReloadedPrevious, which keeps the previous sample).
struct PreparedSample {
  SampleData* sample = nullptr;
  int result = kWavNotLoaded;
};

// Reads and decodes kWavFolder + name for track's WAV synth, named after the file in upper case.
// A canonical 44.1 kHz WAV goes through decode_wav; every other file through the decoder, which
// converts its rate to 44.1 kHz. A failure prints the file and the reason on stderr.
// A failed load prepares the silent placeholder under the name the track held, so the song
// still names that sample. Main thread, with the audio playing: nothing is swapped yet.
PreparedSample prepare_wav_sample(const char* name, int track);
// Swaps the prepared sample in (freeing the previous one). The caller holds the audio.
void install_wav_sample(int track, const PreparedSample& prepared);
// Both, for the song loader and tools: every outcome leaves the synth playable. Returns one of
// the load results above. The caller holds the audio (the edit layer's edit_load_sample does).
int load_wav_sample(const char* name, int track);

}  // namespace zorbel
