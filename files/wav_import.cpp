// WAV sample import: folder scan, canonical header check, decoding to mono, loading into a synth.
#include "files/wav_import.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "files/byte_io.h"
#include "engine/synth_tracks.h"
#include "files/platform_dir.h"
#include "files/sample_decoder.h"
#include "synth/wav_engine.h"

namespace zorbel {

WavList wav_list;

namespace {

uint32_t u32_at(const uint8_t* b) {
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t u16_at(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

bool same_ignoring_case(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

// A failed load: the synth plays the silent placeholder, which keeps the name of the sample the
// track held, so the song still names it when saved.
PreparedSample placeholder_for(int track) {
  PreparedSample prepared;
  prepared.result = kWavNotLoaded;
  const SampleData* held = wav_sample(track);
  if (held && held->name[0] != '\0') {
    prepared.sample = new (std::nothrow) SampleData;
    if (prepared.sample) std::memcpy(prepared.sample->name, held->name, sizeof held->name);
  }
  return prepared;
}

}  // namespace

bool check_wav_header_bytes(const uint8_t* b, std::size_t size) {
  static const uint8_t kFormat[14] = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                      0x10, 0x00, 0x00, 0x00, 0x01, 0x00};
  if (size < static_cast<std::size_t>(kWavHeaderBytes)) return false;
  if (std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, kFormat, 14) != 0 ||
      std::memcmp(b + 36, "data", 4) != 0)
    return false;
  const uint16_t channels = u16_at(b + 22);
  const uint32_t rate = u32_at(b + 24);
  const uint16_t bits = u16_at(b + 34);
  return (channels == 1 || channels == 2) && rate >= kWavMinRate && rate <= kWavMaxRate &&
         (bits == 8 || bits == 16) && u32_at(b + 40) != 0;
}

bool check_wav_header(const char* name) {
  std::FILE* file = open_in_folder(kWavFolder, name, "rb");
  if (!file) return false;
  uint8_t header[48];
  const std::size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  return check_wav_header_bytes(header, got);
}

// The engine asks for the list to be read afresh when the song gains its only sample player.
// Installed before main runs, so every program that can load samples keeps its list current.
[[maybe_unused]] const bool kListensForSamplePlayers = (song_events.sample_player_added = scan_wav_folder, true);

void scan_wav_folder() {
  std::memset(&wav_list, 0, sizeof wav_list);
  for (const std::string& found : list_folder(kWavFolder, "*")) {
    if (wav_list.count >= kWavListSize) break;
    if (found.size() > static_cast<std::size_t>(kWavMaxNameChars)) continue;
    if (!sample_extension_supported(found.c_str()) || !sample_usable(found.c_str())) continue;
    char* slot = wav_list.names[wav_list.count++];
    for (std::size_t i = 0; i < found.size(); ++i)
      slot[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(found[i])));
  }
}

bool sample_usable(const char* name) {
  return check_wav_header(name) || sample_file_readable(path_in_folder(kWavFolder, name));
}

int find_wav(const char* name) {
  if (!name || !*name) return -1;
  for (int k = 0; k < wav_list.count; ++k)
    if (same_ignoring_case(wav_list.names[k], name)) return k;
  return -1;
}

SampleData* decode_wav(const uint8_t* bytes, std::size_t size, bool* out_of_memory) {
  if (!check_wav_header_bytes(bytes, size)) return nullptr;
  const int channels = u16_at(bytes + 22);
  const int bits = u16_at(bytes + 34);
  const int frame_bytes = channels * bits / 8;
  // Only the data actually in the file is played, whatever the size field claims.
  std::size_t data_bytes = u32_at(bytes + 40);
  const std::size_t present = size - kWavHeaderBytes;
  if (data_bytes > present) data_bytes = present;
  const std::size_t frames = data_bytes / frame_bytes;
  if (frames == 0 || frames > 0x7fffffff) return nullptr;

  SampleData* sample = new (std::nothrow) SampleData;
  if (!sample) {
    if (out_of_memory) *out_of_memory = true;
    return nullptr;
  }
  const uint8_t* in = bytes + kWavHeaderBytes;
  if (bits == 16) {
    sample->data16 = new (std::nothrow) int16_t[frames];
    if (sample->data16)
      for (std::size_t f = 0; f < frames; ++f) {
        const int16_t left = static_cast<int16_t>(u16_at(in + f * frame_bytes));
        if (channels == 1) {
          sample->data16[f] = left;
        } else {
          const int16_t right = static_cast<int16_t>(u16_at(in + f * frame_bytes + 2));
          sample->data16[f] = static_cast<int16_t>((left + right) >> 1);
        }
      }
  } else {
    sample->data8 = new (std::nothrow) uint8_t[frames];
    if (sample->data8)
      for (std::size_t f = 0; f < frames; ++f) {
        const uint8_t left = in[f * frame_bytes];
        sample->data8[f] =
            channels == 1 ? left : static_cast<uint8_t>((left >> 1) + (in[f * frame_bytes + 1] >> 1));
      }
  }
  if (!sample->data16 && !sample->data8) {
    if (out_of_memory) *out_of_memory = true;
    delete sample;
    return nullptr;
  }
  sample->length = static_cast<int32_t>(frames);
  sample->bits = static_cast<int16_t>(bits);
  sample->rate_factor = static_cast<float>(u32_at(bytes + 24) / 44100.0);
  return sample;
}

namespace {

// The canonical reader takes the file only at the engine's own rate; any other rate is converted.
bool canonical_at_engine_rate(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t header[48];
  const std::size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  return check_wav_header_bytes(header, got) && u32_at(header + 24) == kSampleRate;
}

SampleData* read_canonical(const std::string& path, bool* out_of_memory) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return nullptr;
  long file_size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) file_size = std::ftell(file);
  std::fclose(file);
  if (file_size < 0) return nullptr;
  *out_of_memory = static_cast<std::size_t>(file_size) > kMaxWavFileBytes;
  std::vector<uint8_t> bytes;
  bool read = false;
  if (!*out_of_memory) {
    try {
      read = read_whole_file(path.c_str(), bytes, kMaxWavFileBytes);
    } catch (const std::bad_alloc&) {
      *out_of_memory = true;
    }
  }
  return read ? decode_wav(bytes.data(), bytes.size(), out_of_memory) : nullptr;
}

}  // namespace

PreparedSample prepare_wav_sample(const char* name, int track) {
  if (track < 0 || track >= MAX_TRACKS || !name) return PreparedSample{};
  const std::string path = path_in_folder(kWavFolder, name);
  // Nothing is freed before the new sample is complete, so running out of memory keeps the
  // previous sample playing without reading it again.
  bool out_of_memory = false;
  SampleData* sample = nullptr;
  std::string reason = "not a sample this program reads";
  if (canonical_at_engine_rate(path)) {
    sample = read_canonical(path, &out_of_memory);
    if (out_of_memory) reason = "out of memory";
  } else {
    DecodedSample decoded = decode_sample_file(path);
    sample = decoded.sample;
    out_of_memory = decoded.out_of_memory;
    reason = decoded.reason;
  }
  if (!sample) {
    std::fprintf(stderr, "zorbel: sample %s not loaded: %s\n", path.c_str(), reason.c_str());
    // A sample without frames is the placeholder under a remembered name: nothing to keep.
    const SampleData* held = wav_sample(track);
    if (out_of_memory && held && held->length > 0) return PreparedSample{nullptr, kWavReloadedPrevious};
    return placeholder_for(track);
  }
  std::strncpy(sample->name, name, sizeof sample->name - 1);
  for (char* c = sample->name; *c; ++c)
    *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  return PreparedSample{sample, kWavLoaded};
}

void install_wav_sample(int track, const PreparedSample& prepared) {
  if (prepared.result == kWavReloadedPrevious) return;  // the previous sample plays on
  wav_set_sample(track, prepared.sample);
}

int load_wav_sample(const char* name, int track) {
  const PreparedSample prepared = prepare_wav_sample(name, track);
  if (track >= 0 && track < MAX_TRACKS) install_wav_sample(track, prepared);
  return prepared.result;
}

}  // namespace zorbel
