#include "base/bytes.h"

#include <gtest/gtest.h>

namespace tesmo {
namespace {

TEST(ByteReader, ReadsBothByteOrdersAndStopsAtTheEnd) {
  const uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
  ByteReader r(data, sizeof data);
  EXPECT_EQ(r.u16le(), 0x0201);
  EXPECT_EQ(r.u32be(), 0x03040506u);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.u16le(), 0);  // only one byte left: nothing is consumed
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.remaining(), 1u);
  EXPECT_EQ(r.u8(), 0x07);  // a later fitting read still works; the failure stays
  EXPECT_FALSE(r.ok());
}

TEST(ByteReader, SeekViewAndBytesNeverPassTheEnd) {
  const uint8_t data[] = {1, 2, 3, 4};
  ByteReader r(data, sizeof data);
  EXPECT_TRUE(r.seek(4));
  EXPECT_TRUE(r.view(0).empty());
  EXPECT_TRUE(r.ok());
  EXPECT_FALSE(r.seek(5));
  ByteReader r2(data, sizeof data);
  uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_FALSE(r2.bytes(out, 5));
  EXPECT_EQ(out[0], 9);  // a short read copies nothing
  EXPECT_FALSE(r2.skip(SIZE_MAX));
}

TEST(Fields, FixedOffsetsAreCheckedAndStringsTerminated) {
  std::vector<uint8_t> rec(12, 0xEE);
  EXPECT_TRUE(store_u32le(rec, 8, 0x11223344));
  EXPECT_FALSE(store_u32le(rec, 9, 1));
  EXPECT_EQ(rec[8], 0x44);
  EXPECT_EQ(load_u32le(rec, 8), 0x11223344u);
  EXPECT_EQ(load_u32le(rec, 10), 0u);
  // A 6-byte field keeps two units and the terminator.
  EXPECT_TRUE(store_u16_field(rec, 0, 6, u"abcdef"));
  EXPECT_EQ(load_u16_field(rec, 0, 6), u"ab");
  EXPECT_EQ(rec[4], 0);
  EXPECT_EQ(rec[5], 0);
  // A field without terminator ends at its size.
  std::vector<uint8_t> raw = {'x', 0, 'y', 0};
  EXPECT_EQ(load_u16_field(raw, 0, 4), u"xy");
  EXPECT_EQ(load_u16_field(raw, 2, 100), u"y");
}

}  // namespace
}  // namespace tesmo
