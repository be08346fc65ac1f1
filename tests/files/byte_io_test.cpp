// Byte order, sign handling and end-of-data behaviour of the value writers and readers, and the
// three run shapes of the run-length coder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "files/byte_io.h"
#include "files/run_length.h"

namespace zorbel {
namespace {

std::vector<uint8_t> bytes_of(const ByteWriter& w) { return w.bytes(); }

TEST(ByteIo, WritesLittleEndianTwosComplementAndIeee) {
  ByteWriter w;
  write_u8(0x1ff, w);   // low byte only
  write_i16(-2, w);
  write_i32(0x12345678, w);
  write_f32(1.0f, w);
  const std::vector<uint8_t> expected = {0xff, 0xfe, 0xff, 0x78, 0x56, 0x34,
                                         0x12, 0x00, 0x00, 0x80, 0x3f};
  EXPECT_EQ(bytes_of(w), expected);
}

TEST(ByteIo, ReadsBackWhatWasWrittenAndFlagsOverrun) {
  ByteWriter w;
  write_u8(200, w);
  write_i16(-32768, w);
  write_i32(-123456789, w);
  write_f32(-0.25f, w);
  ByteReader r(w.bytes().data(), w.size());
  EXPECT_EQ(read_u8(r), 200);
  EXPECT_EQ(read_i16(r), -32768);
  EXPECT_EQ(read_i32(r), -123456789);
  EXPECT_EQ(read_f32(r), -0.25f);
  EXPECT_FALSE(r.overrun());
  EXPECT_EQ(read_i32(r), 0);
  EXPECT_TRUE(r.overrun());
}

TEST(ByteIo, PartialValueAtTheEndReadsAsZeroAndOverruns) {
  const uint8_t data[3] = {1, 2, 3};
  ByteReader r(data, 3);
  EXPECT_EQ(read_i16(r), 0x0201);
  EXPECT_EQ(read_i16(r), 0x0003);  // the missing high byte reads as zero
  EXPECT_TRUE(r.overrun());
}

TEST(ByteIo, StreamWritersMatchMemoryWriters) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  write_u8(7, f);
  write_i16(-300, f);
  write_i32(70000, f);
  write_f32(3.5f, f);
  std::rewind(f);
  EXPECT_EQ(read_u8(f), 7);
  EXPECT_EQ(read_i16(f), -300);
  EXPECT_EQ(read_i32(f), 70000);
  EXPECT_EQ(read_f32(f), 3.5f);
  EXPECT_EQ(read_i32(f), 0);  // past the end
  std::fclose(f);
}

TEST(RunLength, Rle16OfAUniformArrayIsOneRun) {
  std::vector<int16_t> values(1000, 0);
  ByteWriter w;
  write_runs(values.data(), 1000, RunShape::kRle16, w);
  const std::vector<uint8_t> expected = {0xe8, 0x03, 0x00, 0x00};
  EXPECT_EQ(bytes_of(w), expected);
}

TEST(RunLength, Rle32CountsAreFourBytes) {
  std::vector<uint8_t> values(102400, 0);
  values[5] = 9;
  ByteWriter w;
  write_runs(values.data(), 102400, RunShape::kRle32, w);
  // 5 zeros, one 9, 102394 zeros.
  const std::vector<uint8_t> expected = {5, 0, 0, 0, 0, 1, 0, 0, 0, 9,
                                         0xfa, 0x8f, 0x01, 0x00, 0};
  EXPECT_EQ(bytes_of(w), expected);
}

TEST(RunLength, TaggedRunsStopAt63AndCarryTheTypeBits) {
  std::vector<float> vols(64, 1.0f);
  ByteWriter w;
  write_runs(vols.data(), 64, RunShape::kTagged, w);
  ASSERT_EQ(w.size(), 10u);
  EXPECT_EQ(w.bytes()[0], 0x40 | 63);
  EXPECT_EQ(w.bytes()[5], 0x40 | 1);

  std::vector<int16_t> modes = {1, 1, 0};
  ByteWriter wi;
  write_runs(modes.data(), 3, RunShape::kTagged, wi);
  const std::vector<uint8_t> expected = {0x82, 1, 0, 0x81, 0, 0};
  EXPECT_EQ(bytes_of(wi), expected);
}

TEST(RunLength, PositiveAndNegativeZeroShareARun) {
  const float values[3] = {0.0f, -0.0f, 0.0f};
  ByteWriter w;
  write_runs(values, 3, RunShape::kRle16, w);
  EXPECT_EQ(w.size(), 6u);
}

TEST(RunLength, RoundTripOfMixedData) {
  std::vector<float> values(6400);
  for (int i = 0; i < 6400; ++i) values[i] = static_cast<float>((i / 7) % 5) * 0.5f;
  for (RunShape shape : {RunShape::kRle16, RunShape::kRle32, RunShape::kTagged}) {
    ByteWriter w;
    write_runs(values.data(), 6400, shape, w);
    std::vector<float> back(6400, -1.0f);
    ByteReader r(w.bytes().data(), w.size());
    ASSERT_TRUE(read_runs(back.data(), 6400, shape, r));
    EXPECT_EQ(back, values);
    EXPECT_EQ(r.remaining(), 0u);
  }
}

TEST(RunLength, ReaderCutsARunThatPassesTheEnd) {
  ByteWriter w;
  write_i16(500, w);
  write_i16(3, w);
  int16_t out[10] = {};
  ByteReader r(w.bytes().data(), w.size());
  ASSERT_TRUE(read_runs(out, 10, RunShape::kRle16, r));
  for (int16_t v : out) EXPECT_EQ(v, 3);
}

TEST(RunLength, ReaderRefusesDamagedRuns) {
  int16_t out[10];
  {  // the data ends before the array is full
    ByteWriter w;
    write_i16(4, w);
    write_i16(1, w);
    ByteReader r(w.bytes().data(), w.size());
    EXPECT_FALSE(read_runs(out, 10, RunShape::kRle16, r));
  }
  {  // a zero count would never fill the array
    ByteWriter w;
    for (int i = 0; i < 20; ++i) write_i16(0, w);
    ByteReader r(w.bytes().data(), w.size());
    EXPECT_FALSE(read_runs(out, 10, RunShape::kRle16, r));
  }
  {  // negative count
    ByteWriter w;
    write_i32(-5, w);
    write_u8(1, w);
    uint8_t trig[4];
    ByteReader r(w.bytes().data(), w.size());
    EXPECT_FALSE(read_runs(trig, 4, RunShape::kRle32, r));
  }
  {  // a tag with a run length of zero
    ByteWriter w;
    write_u8(0x40, w);
    write_f32(1.0f, w);
    float vol[2];
    ByteReader r(w.bytes().data(), w.size());
    EXPECT_FALSE(read_runs(vol, 2, RunShape::kTagged, r));
  }
}

}  // namespace
}  // namespace zorbel
