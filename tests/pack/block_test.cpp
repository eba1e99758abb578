#include "tools/pack/block.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>

#include "base/bytes.h"
#include "pack_test_util.h"
#include "tools/pack/lzss.h"

namespace tesmo {
namespace {

using testing::bytes_of;
using testing::random_bytes;
using testing::sample_text;

std::vector<uint8_t> deflate_block(std::span<const uint8_t> in, int level, BlockStream stream = {}) {
  std::vector<uint8_t> out(in.size() + 16);
  int32_t n = block_deflate(stream, out, in, level);
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

std::vector<uint8_t> zlib_compress2(std::span<const uint8_t> in, int level) {
  uLongf n = compressBound(in.size());
  std::vector<uint8_t> out(n);
  EXPECT_EQ(compress2(out.data(), &n, in.data(), in.size(), level), Z_OK);
  out.resize(n);
  return out;
}

std::vector<uint8_t> make_block(uint32_t method, uint32_t raw, std::span<const uint8_t> payload) {
  std::vector<uint8_t> b(16);
  block_write_header(b, static_cast<BlockMethod>(method), raw);
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

int32_t expand(std::span<const uint8_t> block, std::vector<uint8_t>& out) {
  BlockStream stream;
  return block_expand(stream, out, block);
}

TEST(BlockDeflate, StreamEqualsCompress2AndLevelNineIsEight) {
  auto text = sample_text(200000);
  for (int level = 0; level <= 9; ++level) {
    SCOPED_TRACE(level);
    auto block = deflate_block(text, level);
    ASSERT_GE(block.size(), 16u);
    auto header = block_header(block);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->raw_length, text.size());
    EXPECT_EQ(load_u32le(block, 12), 0u);
    if (level == 0) {  // level 0 only frames the data: never smaller, so stored
      EXPECT_EQ(header->method, 0u);
      continue;
    }
    EXPECT_EQ(header->method, 2u);
    auto expected = zlib_compress2(text, level == 9 ? 8 : level);
    EXPECT_EQ(std::vector<uint8_t>(block.begin() + 16, block.end()), expected);
  }
  EXPECT_EQ(deflate_block(text, 9), deflate_block(text, 8));
}

TEST(BlockDeflate, PieceSizesDoNotChangeTheStream) {
  auto text = sample_text(100000);
  auto reference = deflate_block(text, 6);
  for (int32_t chunk : {1, 7, 4096, 32768, 1 << 20, 0, -5}) {
    SCOPED_TRACE(chunk);
    EXPECT_EQ(deflate_block(text, 6, {chunk, chunk}), reference);
    EXPECT_EQ(deflate_block(text, 6, {chunk, 32768}), reference);
    EXPECT_EQ(deflate_block(text, 6, {32768, chunk}), reference);
  }
}

TEST(BlockDeflate, StoredWhenNotSmaller) {
  struct Case {
    const char* what;
    std::vector<uint8_t> in;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {0x41}},
      {"sixteen zeros", std::vector<uint8_t>(16, 0)},
      {"random", random_bytes(70000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto block = deflate_block(c.in, 6);
    ASSERT_EQ(block.size(), c.in.size() + 16);
    EXPECT_EQ(block_header(block)->method, 0u);
    EXPECT_EQ(block_header(block)->raw_length, c.in.size());
    EXPECT_TRUE(std::equal(c.in.begin(), c.in.end(), block.begin() + 16));
  }
}

// Builds inputs (random head, zero tail) until compress2's stream is `length − gap` bytes long.
std::vector<uint8_t> input_with_stream_gap(size_t gap) {
  for (size_t head = 40; head < 400; ++head) {
    for (size_t tail = 0; tail < 200; ++tail) {
      auto in = random_bytes(head, static_cast<uint32_t>(head));
      in.resize(head + tail, 0);
      if (zlib_compress2(in, 6).size() + gap == in.size()) return in;
    }
  }
  return {};
}

TEST(BlockDeflate, WholeBlockComparedWithRawLength) {
  auto at_threshold = input_with_stream_gap(16);  // 16 + stream == length: not smaller
  ASSERT_FALSE(at_threshold.empty());
  auto block = deflate_block(at_threshold, 6);
  EXPECT_EQ(block_header(block)->method, 0u);
  EXPECT_EQ(block.size(), at_threshold.size() + 16);

  auto below = input_with_stream_gap(17);  // 16 + stream == length − 1: kept
  ASSERT_FALSE(below.empty());
  block = deflate_block(below, 6);
  EXPECT_EQ(block_header(block)->method, 2u);
  EXPECT_EQ(block.size(), below.size() - 1);
}

TEST(BlockDeflate, RefusesBadArguments) {
  auto text = sample_text(1000);
  BlockStream stream;
  std::vector<uint8_t> out(text.size() + 16);
  EXPECT_EQ(block_deflate(stream, out, text, -1), -1);
  EXPECT_EQ(block_deflate(stream, out, text, 10), -1);
  std::vector<uint8_t> small(text.size() + 15);  // no room for the stored fallback
  EXPECT_EQ(block_deflate(stream, small, text, 6), -1);
}

TEST(BlockExpand, StoredAndLzssMethodsAreCopied) {
  auto data = bytes_of("stored bytes, copied as they are");
  std::vector<uint8_t> out(data.size());
  for (uint32_t method : {0u, 1u, 4u}) {  // every method without bit 1
    SCOPED_TRACE(method);
    auto block = make_block(method, static_cast<uint32_t>(data.size()), data);
    block.insert(block.end(), 5, 0xEE);  // trailing bytes inside the recorded size
    std::fill(out.begin(), out.end(), 0);
    EXPECT_EQ(expand(block, out), static_cast<int32_t>(data.size()));
    EXPECT_EQ(out, data);
  }
}

TEST(BlockExpand, DeflateWithTrailingBytes) {
  auto text = sample_text(150000);
  auto block = deflate_block(text, 6);
  block.insert(block.end(), 16, 0xAB);  // the embedded archive's blocks carry 16 such bytes
  std::vector<uint8_t> out(text.size());
  EXPECT_EQ(expand(block, out), static_cast<int32_t>(text.size()));
  EXPECT_EQ(out, text);
  EXPECT_EQ(block_decode(block), text);
}

TEST(BlockExpand, DamagedOrShortBlocksFail) {
  auto text = sample_text(5000);
  auto good = deflate_block(text, 6);
  auto truncated = std::vector<uint8_t>(good.begin(), good.end() - 10);
  auto garbage = make_block(2, 5000, random_bytes(300, 9));
  auto empty_stream = make_block(2, 0, {});
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
    size_t out_size;
  };
  const Case cases[] = {
      {"shorter than a header", std::vector<uint8_t>(15, 0), 100},
      {"stored, raw length past the block", make_block(0, 11, bytes_of("ten bytes!")), 100},
      {"stored, output too small", make_block(0, 10, bytes_of("ten bytes!")), 9},
      {"lzss payload shorter than its raw length", make_block(1, 100, bytes_of("abc")), 100},
      {"zlib stream cut short", truncated, text.size()},
      {"zlib output too small", good, text.size() - 1},
      {"no zlib stream at all", garbage, 5000},
      {"empty zlib payload", empty_stream, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> out(c.out_size);
    EXPECT_EQ(expand(c.block, out), -1);
  }
}

// Three segments with full flushes between them: after the first is damaged, the search for
// the next flush point recovers the other two.
TEST(BlockExpand, ResynchronisesAfterADataError) {
  auto a = sample_text(3000), b = random_bytes(2000, 3), c = sample_text(1000);
  std::vector<uint8_t> stream(20000);
  z_stream z{};
  ASSERT_EQ(deflateInit(&z, 6), Z_OK);
  z.next_out = stream.data();
  z.avail_out = static_cast<uInt>(stream.size());
  size_t first_segment_end = 0;
  for (auto* part : {&a, &b, &c}) {
    z.next_in = part->data();
    z.avail_in = static_cast<uInt>(part->size());
    ASSERT_NE(deflate(&z, part == &c ? Z_FINISH : Z_FULL_FLUSH), Z_STREAM_ERROR);
    if (part == &a) first_segment_end = z.total_out;
  }
  stream.resize(z.total_out);
  deflateEnd(&z);
  ASSERT_GT(first_segment_end, 10u);
  stream[2] |= 0x06;  // the first block header now says block type 3, which does not exist

  auto block = make_block(2, static_cast<uint32_t>(a.size() + b.size() + c.size()), stream);
  std::vector<uint8_t> out(a.size() + b.size() + c.size());
  int32_t n = expand(block, out);
  ASSERT_EQ(n, static_cast<int32_t>(b.size() + c.size()));
  EXPECT_TRUE(std::equal(b.begin(), b.end(), out.begin()));
  EXPECT_TRUE(std::equal(c.begin(), c.end(), out.begin() + static_cast<long>(b.size())));
}

TEST(BlockDecode, RefusesRawLengthsNoPayloadCouldGive) {
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
  };
  const Case cases[] = {
      {"no signature", std::vector<uint8_t>(32, 0)},
      {"stored 4 GB from 4 bytes", make_block(0, 0xFFFFFFF0, bytes_of("abcd"))},
      {"lzss 1 MB from 4 bytes", make_block(1, 1 << 20, bytes_of("abcd"))},
      {"zlib 2 GB from 4 bytes", make_block(2, 0x7FFFFFFF, bytes_of("abcd"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(block_decode(c.block));
  }
}

// Every cut of an intact block, each in a buffer of exactly its size, so that a sanitizer build
// catches any read past the end.
TEST(BlockDecode, EveryTruncationIsRefusedWithoutOverreading) {
  auto text = sample_text(3000);
  std::vector<uint8_t> lzss_out(text.size() + 16);
  auto work = std::make_unique<LzssWork>();
  lzss_out.resize(static_cast<size_t>(block_lzss(*work, lzss_out, text)));
  // A real LZSS block is shorter than its raw length: the copying expander refuses it rather than
  // read past the block, and the decoder gives the text back.
  std::vector<uint8_t> copied(text.size());
  EXPECT_EQ(expand(lzss_out, copied), -1);
  for (const auto& block : {deflate_block(text, 6), lzss_out, deflate_block(random_bytes(500), 6)}) {
    ASSERT_EQ(block_decode(block), block_header(block)->method == 0 ? random_bytes(500) : text);
    for (size_t n = 0; n < block.size(); ++n) {
      std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<long>(n));
      EXPECT_FALSE(block_decode(cut)) << n;
    }
  }
}

TEST(BlockScrambleXor, KeyBytesLittleEndianAndSelfInverse) {
  struct Case {
    uint32_t key;
    std::vector<uint8_t> in, out;
  };
  const Case cases[] = {
      {0, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
      {0x04030201, {0, 0, 0, 0, 0}, {1, 2, 3, 4, 1}},
      {0xFF000000, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70}, {0x10, 0x20, 0x30, 0xBF, 0x50, 0x60, 0x70}},
      {0x12345678, {}, {}},
  };
  for (const Case& c : cases) {
    auto data = c.in;
    EXPECT_EQ(scramble_xor(data, c.key), 0);
    EXPECT_EQ(data, c.out);
    scramble_xor(data, c.key);
    EXPECT_EQ(data, c.in);
  }
}

}  // namespace
}  // namespace tesmo
