// Little-endian value writers and readers shared by every file the program writes or reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace zorbel {

// A file being assembled in memory; it reaches the disk whole, so a failed save never leaves
// half a file behind.
class ByteWriter {
 public:
  void put(const void* bytes, std::size_t count);
  const std::vector<uint8_t>& bytes() const { return data_; }
  std::size_t size() const { return data_.size(); }

 private:
  std::vector<uint8_t> data_;
};

// Reads a file image held in memory. Reading past the end yields 0 and marks the reader as
// overrun, so a parser can read a whole structure and check once.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  // Copies count bytes into out (zeros past the end).
  void get(void* out, std::size_t count);
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return size_ - pos_; }
  bool overrun() const { return overrun_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool overrun_ = false;
};

// u8 keeps the low byte; i16 and i32 are two's complement; f32 is the IEEE-754 single's bytes.
void write_u8(uint32_t value, ByteWriter& out);
void write_i16(int32_t value, ByteWriter& out);
void write_i32(int32_t value, ByteWriter& out);
void write_f32(float value, ByteWriter& out);
uint8_t read_u8(ByteReader& in);
int16_t read_i16(ByteReader& in);
int32_t read_i32(ByteReader& in);
float read_f32(ByteReader& in);

// The same encodings on an open stream. Stream readers yield 0 past the end of the file; the
// caller checks ferror/feof where it matters.
void write_u8(uint32_t value, std::FILE* file);
void write_i16(int32_t value, std::FILE* file);
void write_i32(int32_t value, std::FILE* file);
void write_f32(float value, std::FILE* file);
uint8_t read_u8(std::FILE* file);
int16_t read_i16(std::FILE* file);
int32_t read_i32(std::FILE* file);
float read_f32(std::FILE* file);

// Reads the whole file at path into out, at most max_bytes. False when it cannot be opened or
// read (errno says why: EFBIG when longer than max_bytes).
bool read_whole_file(const char* path, std::vector<uint8_t>& out, std::size_t max_bytes);

}  // namespace zorbel
