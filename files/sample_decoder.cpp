// Sample decoding through libsndfile (containers and codecs) and libsamplerate (rate conversion).
#include "files/sample_decoder.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace zorbel {

namespace {

constexpr int kMaxChannels = 256;
constexpr sf_count_t kChunkFrames = 1024;

bool library_reads_mpeg() {
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int k = 0; k < count; ++k) {
    SF_FORMAT_INFO format{};
    format.format = k;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &format, sizeof format) == 0 &&
        format.format == SF_FORMAT_MPEG)
      return true;
  }
  return false;
}

bool ends_with_ignoring_case(const char* name, const char* suffix) {
  const std::size_t n = std::strlen(name);
  const std::size_t s = std::strlen(suffix);
  if (n <= s) return false;
  for (std::size_t i = 0; i < s; ++i)
    if (std::toupper(static_cast<unsigned char>(name[n - s + i])) != suffix[i]) return false;
  return true;
}

bool header_usable(const SF_INFO& info) {
  return info.frames > 0 && info.channels >= 1 && info.channels <= kMaxChannels &&
         info.samplerate >= kDecodeMinRate && info.samplerate <= kDecodeMaxRate;
}

// 8- and 16-bit integer data at the engine's rate is copied, not converted.
bool takes_exact_path(const SF_INFO& info) {
  const int sub = info.format & SF_FORMAT_SUBMASK;
  return info.samplerate == kSampleRate &&
         (sub == SF_FORMAT_PCM_16 || sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_U8);
}

// Codecs whose frame count is an estimate: a shorter stream is not a damaged one.
bool frame_count_is_exact(const SF_INFO& info) {
  return (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG;
}

int16_t to_int16(float x) {
  const long v = std::lrintf(x * 32768.0f);
  return static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
}

// Floor of sum / n for the average of n channels; for two it is the canonical (l + r) >> 1.
int floor_average(int sum, int n) { return sum >= 0 ? sum / n : -((-sum + n - 1) / n); }

DecodedSample refuse(const char* reason, bool out_of_memory = false) {
  DecodedSample d;
  d.reason = reason;
  d.out_of_memory = out_of_memory;
  return d;
}

DecodedSample read_exact(SNDFILE* file, const SF_INFO& info, sf_count_t* read) {
  const std::size_t frames = static_cast<std::size_t>(info.frames);
  const int channels = info.channels;
  const int sub = info.format & SF_FORMAT_SUBMASK;
  const bool eight_bit = sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_U8;
  SampleData* sample = new (std::nothrow) SampleData;
  if (!sample) return refuse("out of memory", true);
  if (eight_bit)
    sample->data8 = new (std::nothrow) uint8_t[frames];
  else
    sample->data16 = new (std::nothrow) int16_t[frames];
  std::vector<short> chunk;
  try {
    chunk.resize(static_cast<std::size_t>(kChunkFrames) * channels);
  } catch (const std::bad_alloc&) {
  }
  if ((!sample->data8 && !sample->data16) || chunk.empty()) {
    delete[] sample->data8;
    delete[] sample->data16;
    delete sample;
    return refuse("out of memory", true);
  }
  std::size_t done = 0;
  while (done < frames) {
    const sf_count_t want = std::min<sf_count_t>(kChunkFrames, static_cast<sf_count_t>(frames - done));
    const sf_count_t got = sf_readf_short(file, chunk.data(), want);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f) {
      const short* in = chunk.data() + f * channels;
      if (eight_bit) {
        // The unsigned bytes of the file, halved and added as the canonical reader does.
        auto byte = [](short s) { return (s >> 8) + 128; };
        int value = byte(in[0]);
        if (channels == 2) {
          value = (byte(in[0]) >> 1) + (byte(in[1]) >> 1);
        } else if (channels > 2) {
          int sum = 0;
          for (int c = 0; c < channels; ++c) sum += byte(in[c]);
          value = sum / channels;
        }
        sample->data8[done + f] = static_cast<uint8_t>(value);
      } else {
        int sum = 0;
        for (int c = 0; c < channels; ++c) sum += in[c];
        sample->data16[done + f] = static_cast<int16_t>(floor_average(sum, channels));
      }
    }
    done += static_cast<std::size_t>(got);
  }
  *read = static_cast<sf_count_t>(done);
  sample->length = static_cast<int32_t>(done);
  sample->bits = eight_bit ? 8 : 16;
  return DecodedSample{sample, false, ""};
}

// Mono float frames in, 16-bit frames at 44.1 kHz out, through the sinc converter when the rate
// differs. Owns the converter and the output block until take() hands the block over.
class MonoConverter {
 public:
  MonoConverter(int rate, std::size_t capacity) : ratio_(static_cast<double>(kSampleRate) / rate) {
    out_ = new (std::nothrow) int16_t[capacity];
    capacity_ = out_ ? capacity : 0;
    if (rate != kSampleRate) {
      int error = 0;
      src_ = src_new(SRC_SINC_BEST_QUALITY, 1, &error);
    }
  }
  ~MonoConverter() {
    delete[] out_;
    if (src_) src_delete(src_);
  }
  bool ready() const { return out_ && (ratio_ == 1.0 || src_); }

  // Takes n frames; last flushes the converter. False when the converter failed.
  bool put(const float* in, long n, bool last) {
    if (!src_) {
      for (long i = 0; i < n; ++i) append(in[i]);
      return true;
    }
    for (;;) {
      SRC_DATA d{};
      d.data_in = in;
      d.input_frames = n;
      d.data_out = scratch_;
      d.output_frames = kScratch;
      d.end_of_input = last ? 1 : 0;
      d.src_ratio = ratio_;
      if (src_process(src_, &d) != 0) return false;
      for (long i = 0; i < d.output_frames_gen; ++i) append(scratch_[i]);
      in += d.input_frames_used;
      n -= d.input_frames_used;
      if (n == 0 && (!last || d.output_frames_gen == 0)) return true;
    }
  }
  std::size_t frames() const { return used_; }
  int16_t* take() {
    int16_t* out = out_;
    out_ = nullptr;
    return out;
  }

 private:
  static constexpr long kScratch = 4096;
  // The converter's exact output length can pass the estimate by a frame or two: those are
  // left out.
  void append(float x) {
    if (used_ < capacity_) out_[used_++] = to_int16(x);
  }
  double ratio_;
  SRC_STATE* src_ = nullptr;
  int16_t* out_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  float scratch_[kScratch];
};

DecodedSample read_converted(SNDFILE* file, const SF_INFO& info, sf_count_t* read) {
  const int channels = info.channels;
  const double ratio = static_cast<double>(kSampleRate) / info.samplerate;
  const double expected = std::ceil(static_cast<double>(info.frames) * ratio) + 16.0;
  auto converter = std::make_unique<MonoConverter>(info.samplerate, static_cast<std::size_t>(expected));
  std::vector<float> chunk;
  std::vector<float> mono;
  try {
    chunk.resize(static_cast<std::size_t>(kChunkFrames) * channels);
    mono.resize(static_cast<std::size_t>(kChunkFrames));
  } catch (const std::bad_alloc&) {
    return refuse("out of memory", true);
  }
  if (!converter->ready()) return refuse("out of memory", true);
  sf_count_t done = 0;
  for (;;) {
    const sf_count_t want = frame_count_is_exact(info)
                                ? std::min<sf_count_t>(kChunkFrames, info.frames - done)
                                : kChunkFrames;
    const sf_count_t got = want > 0 ? sf_readf_float(file, chunk.data(), want) : 0;
    for (sf_count_t f = 0; f < got; ++f) {
      float sum = 0.0f;
      for (int c = 0; c < channels; ++c) sum += chunk[f * channels + c];
      mono[f] = sum / channels;
    }
    done += std::max<sf_count_t>(got, 0);
    *read = done;
    const bool last = got < want || want == 0;
    if (!converter->put(mono.data(), static_cast<long>(std::max<sf_count_t>(got, 0)), last))
      return refuse("the rate converter failed");
    if (last) break;
    if (done > static_cast<sf_count_t>(kMaxSampleFrames / ratio) + 1)
      return refuse("longer than the sample memory allows");
  }
  if (converter->frames() == 0) return refuse("no frames");
  SampleData* sample = new (std::nothrow) SampleData;
  if (!sample) return refuse("out of memory", true);
  sample->length = static_cast<int32_t>(converter->frames());
  sample->data16 = converter->take();
  sample->bits = 16;
  return DecodedSample{sample, false, ""};
}

// An AIFF states its frame count in its COMM chunk; libsndfile trusts the file's length instead
// and says so in its log when the two differ, which means the file was cut short.
bool aiff_cut_short(SNDFILE* file, const SF_INFO& info) {
  if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_AIFF) return false;
  static char log[8192];  // main thread only
  log[0] = '\0';
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  return std::strstr(log, "Frame count read from 'COMM' chunk") != nullptr;
}

DecodedSample decode_open(SNDFILE* file, const SF_INFO& info) {
  if (aiff_cut_short(file, info)) {
    sf_close(file);
    return refuse("the file ends before its last frame");
  }
  if (!header_usable(info)) {
    sf_close(file);
    if (info.channels < 1 || info.channels > kMaxChannels) return refuse("unsupported channel count");
    if (info.frames <= 0) return refuse("no frames");
    return refuse("unsupported sample rate");
  }
  const double out_frames = static_cast<double>(info.frames) * kSampleRate / info.samplerate;
  if (out_frames > static_cast<double>(kMaxSampleFrames)) {
    sf_close(file);
    return refuse("longer than the sample memory allows");
  }
  sf_count_t read = 0;
  DecodedSample decoded =
      takes_exact_path(info) ? read_exact(file, info, &read) : read_converted(file, info, &read);
  // A read that stopped early (a damaged stream, a file cut short) is refused whole.
  const int error = sf_error(file);
  std::string reason = error != SF_ERR_NO_ERROR ? sf_strerror(file) : "";
  sf_close(file);
  if (decoded.sample) {
    const bool short_read = frame_count_is_exact(info) && read < info.frames;
    if (short_read || error != SF_ERR_NO_ERROR) {
      delete[] decoded.sample->data8;
      delete[] decoded.sample->data16;
      delete decoded.sample;
      return refuse(short_read ? "the file ends before its last frame" : reason.c_str());
    }
  }
  return decoded;
}

// A file image in memory as libsndfile's virtual file.
struct MemoryFile {
  const uint8_t* bytes;
  sf_count_t size;
  sf_count_t pos;
};

sf_count_t memory_length(void* user) { return static_cast<MemoryFile*>(user)->size; }
sf_count_t memory_seek(sf_count_t offset, int whence, void* user) {
  MemoryFile& m = *static_cast<MemoryFile*>(user);
  sf_count_t base = whence == SEEK_CUR ? m.pos : whence == SEEK_END ? m.size : 0;
  const sf_count_t to = base + offset;
  if (to < 0 || to > m.size) return -1;
  m.pos = to;
  return m.pos;
}
sf_count_t memory_read(void* out, sf_count_t count, void* user) {
  MemoryFile& m = *static_cast<MemoryFile*>(user);
  const sf_count_t n = std::max<sf_count_t>(0, std::min(count, m.size - m.pos));
  if (n > 0) std::memcpy(out, m.bytes + m.pos, static_cast<std::size_t>(n));
  m.pos += n;
  return n;
}
sf_count_t memory_write(const void*, sf_count_t, void*) { return 0; }
sf_count_t memory_tell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

}  // namespace

bool sample_extension_supported(const char* name) {
  static const bool mpeg = library_reads_mpeg();
  for (const char* ext : {".WAV", ".AIF", ".AIFF", ".FLAC", ".OGG"})
    if (ends_with_ignoring_case(name, ext)) return true;
  return mpeg && ends_with_ignoring_case(name, ".MP3");
}

bool sample_file_readable(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  sf_close(file);
  return header_usable(info);
}

DecodedSample decode_sample_file(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return refuse(sf_strerror(nullptr));
  return decode_open(file, info);
}

DecodedSample decode_sample_bytes(const uint8_t* bytes, std::size_t size) {
  SF_VIRTUAL_IO io{memory_length, memory_seek, memory_read, memory_write, memory_tell};
  MemoryFile memory{bytes, static_cast<sf_count_t>(size), 0};
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (!file) return refuse(sf_strerror(nullptr));
  return decode_open(file, info);
}

}  // namespace zorbel
