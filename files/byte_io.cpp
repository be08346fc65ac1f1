// Little-endian value writers and readers over memory images and open streams.
#include "files/byte_io.h"

#include <cerrno>
#include <cstring>

namespace zorbel {

namespace {

// Each encoder fills 1, 2 or 4 bytes lowest first; both sinks share them.
void encode16(int32_t value, uint8_t* b) {
  const uint32_t u = static_cast<uint32_t>(value);
  b[0] = static_cast<uint8_t>(u);
  b[1] = static_cast<uint8_t>(u >> 8);
}

void encode32(uint32_t u, uint8_t* b) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(u >> (8 * i));
}

uint32_t float_bits(float value) {
  uint32_t u;
  std::memcpy(&u, &value, 4);
  return u;
}

int16_t decode16(const uint8_t* b) {
  return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

uint32_t decode32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float bits_float(uint32_t u) {
  float value;
  std::memcpy(&value, &u, 4);
  return value;
}

void get_from(std::FILE* file, uint8_t* b, std::size_t count) {
  const std::size_t got = std::fread(b, 1, count, file);
  std::memset(b + got, 0, count - got);
}

}  // namespace

void ByteWriter::put(const void* bytes, std::size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  data_.insert(data_.end(), p, p + count);
}

void ByteReader::get(void* out, std::size_t count) {
  uint8_t* dst = static_cast<uint8_t*>(out);
  const std::size_t have = count <= remaining() ? count : remaining();
  if (have) std::memcpy(dst, data_ + pos_, have);
  if (have < count) {
    std::memset(dst + have, 0, count - have);
    overrun_ = true;
  }
  pos_ += have;
}

void write_u8(uint32_t value, ByteWriter& out) {
  const uint8_t b = static_cast<uint8_t>(value);
  out.put(&b, 1);
}

void write_i16(int32_t value, ByteWriter& out) {
  uint8_t b[2];
  encode16(value, b);
  out.put(b, 2);
}

void write_i32(int32_t value, ByteWriter& out) {
  uint8_t b[4];
  encode32(static_cast<uint32_t>(value), b);
  out.put(b, 4);
}

void write_f32(float value, ByteWriter& out) {
  uint8_t b[4];
  encode32(float_bits(value), b);
  out.put(b, 4);
}

uint8_t read_u8(ByteReader& in) {
  uint8_t b = 0;
  in.get(&b, 1);
  return b;
}

int16_t read_i16(ByteReader& in) {
  uint8_t b[2];
  in.get(b, 2);
  return decode16(b);
}

int32_t read_i32(ByteReader& in) {
  uint8_t b[4];
  in.get(b, 4);
  return static_cast<int32_t>(decode32(b));
}

float read_f32(ByteReader& in) {
  uint8_t b[4];
  in.get(b, 4);
  return bits_float(decode32(b));
}

void write_u8(uint32_t value, std::FILE* file) { std::fputc(static_cast<uint8_t>(value), file); }

void write_i16(int32_t value, std::FILE* file) {
  uint8_t b[2];
  encode16(value, b);
  std::fwrite(b, 1, 2, file);
}

void write_i32(int32_t value, std::FILE* file) {
  uint8_t b[4];
  encode32(static_cast<uint32_t>(value), b);
  std::fwrite(b, 1, 4, file);
}

void write_f32(float value, std::FILE* file) {
  uint8_t b[4];
  encode32(float_bits(value), b);
  std::fwrite(b, 1, 4, file);
}

uint8_t read_u8(std::FILE* file) {
  uint8_t b;
  get_from(file, &b, 1);
  return b;
}

int16_t read_i16(std::FILE* file) {
  uint8_t b[2];
  get_from(file, b, 2);
  return decode16(b);
}

int32_t read_i32(std::FILE* file) {
  uint8_t b[4];
  get_from(file, b, 4);
  return static_cast<int32_t>(decode32(b));
}

float read_f32(std::FILE* file) {
  uint8_t b[4];
  get_from(file, b, 4);
  return bits_float(decode32(b));
}

bool read_whole_file(const char* path, std::vector<uint8_t>& out, std::size_t max_bytes) {
  out.clear();
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    if (out.size() + got > max_bytes) {
      ok = false;
      errno = EFBIG;
      break;
    }
    out.insert(out.end(), chunk, chunk + got);
    if (got < sizeof chunk) {
      ok = !std::ferror(file);
      if (!ok) errno = EIO;
      break;
    }
  }
  std::fclose(file);
  if (!ok) out.clear();
  return ok;
}

}  // namespace zorbel
