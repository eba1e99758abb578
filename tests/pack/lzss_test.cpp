#include "tools/pack/lzss.h"

#include <gtest/gtest.h>

#include <memory>

#include "lzss_classic.h"
#include "pack_test_util.h"
#include "tools/pack/block.h"

namespace tesmo {
namespace {

using testing::bytes_of;
using testing::random_bytes;
using testing::sample_text;

std::vector<uint8_t> lzss_block(std::span<const uint8_t> in) {
  auto work = std::make_unique<LzssWork>();
  std::vector<uint8_t> out(in.size() + 16);
  int32_t n = block_lzss(*work, out, in);
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

std::vector<uint8_t> classic_code(std::span<const uint8_t> in) {
  return std::make_unique<testing::ClassicLzss>()->encode(in);
}

std::vector<uint8_t> runs(size_t n) {
  std::vector<uint8_t> v;
  for (uint8_t b = 0; v.size() < n; b = static_cast<uint8_t>(b * 7 + 3)) v.insert(v.end(), 1 + b % 300, b);
  v.resize(n);
  return v;
}

std::vector<uint8_t> concat(std::vector<uint8_t> a, std::span<const uint8_t> b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Every case: the block holds exactly the classic encoder's code (or the stored bytes when that
// code is not shorter than the input), and decodes back to the input.
TEST(Lzss, MatchesTheClassicEncoderAndRoundTrips) {
  struct Case {
    const char* what;
    std::vector<uint8_t> in;
  };
  const Case cases[] = {
      {"one byte", {0x5A}},
      {"two bytes", bytes_of("ab")},
      {"three zeros (matching the zero window)", std::vector<uint8_t>(3, 0)},
      {"seventeen bytes", bytes_of("abcabcabcabcabcab")},
      {"eighteen bytes", bytes_of("abcabcabcabcabcabc")},
      {"nineteen bytes", bytes_of("abcabcabcabcabcabcX")},
      {"text", sample_text(50000)},
      {"zeros", std::vector<uint8_t>(100000, 0)},
      {"ones", std::vector<uint8_t>(9000, 0xFF)},
      {"long runs", runs(70000)},
      {"random", random_bytes(20000)},
      {"random then text", concat(random_bytes(5000, 4), sample_text(30000))},
      {"ring size", sample_text(4096)},
      {"ring size plus one", sample_text(4097)},
      {"text with high bytes", concat(sample_text(3000), random_bytes(3000, 5))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto block = lzss_block(c.in);
    auto header = block_header(block);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->raw_length, c.in.size());
    auto classic = classic_code(c.in);
    if (classic.size() < c.in.size()) {
      EXPECT_EQ(header->method, 1u);
      EXPECT_EQ(std::vector<uint8_t>(block.begin() + 16, block.end()), classic);
    } else {
      EXPECT_EQ(header->method, 0u);
      EXPECT_EQ(block.size(), c.in.size() + 16);
    }
    EXPECT_EQ(block_decode(block), c.in);
  }
}

TEST(Lzss, ShortInputsOfEveryLength) {
  auto text = sample_text(40);
  for (size_t n = 1; n < 40; ++n) {
    SCOPED_TRACE(n);
    std::span<const uint8_t> in(text.data(), n);
    auto block = lzss_block(in);
    EXPECT_EQ(block_decode(block), std::vector<uint8_t>(in.begin(), in.end()));
    std::vector<uint8_t> zeros(n, 0);
    auto classic = classic_code(zeros);
    auto zero_block = lzss_block(zeros);
    if (classic.size() < n) {
      EXPECT_EQ(std::vector<uint8_t>(zero_block.begin() + 16, zero_block.end()), classic);
    }
    EXPECT_EQ(block_decode(zero_block), zeros);
  }
}

TEST(Lzss, EmptyInputWritesNothing) {
  auto work = std::make_unique<LzssWork>();
  std::vector<uint8_t> out(16, 0xCC);
  EXPECT_EQ(block_lzss(*work, out, {}), 0);
  EXPECT_EQ(out, std::vector<uint8_t>(16, 0xCC));
}

TEST(Lzss, RefusesTooSmallOutput) {
  auto work = std::make_unique<LzssWork>();
  auto text = sample_text(100);
  std::vector<uint8_t> out(115);
  EXPECT_EQ(block_lzss(*work, out, text), -1);
}

TEST(Lzss, WorkAreaReuseGivesTheSameBlocks) {
  auto work = std::make_unique<LzssWork>();
  auto a = random_bytes(6000, 11), b = sample_text(20);
  std::vector<uint8_t> out(a.size() + 16);
  block_lzss(*work, out, a);  // leaves its window and trees behind
  std::vector<uint8_t> again(b.size() + 16);
  int32_t n = block_lzss(*work, again, b);
  again.resize(static_cast<size_t>(n));
  EXPECT_EQ(again, lzss_block(b));
}

// Code exactly as long as the input gives a stored block; one byte shorter keeps the code.
TEST(Lzss, StoredWhenTheCodeIsNotShorter) {
  bool equal_seen = false, shorter_seen = false;
  for (uint32_t seed = 1; seed < 4000 && !(equal_seen && shorter_seen); ++seed) {
    auto in = random_bytes(40 + seed % 60, seed);
    size_t copies = seed % 7;
    for (size_t i = 0; i < copies; ++i) in.insert(in.end(), in.begin(), in.begin() + 3 + static_cast<long>(seed % 5));
    size_t code = classic_code(in).size();
    if (code == in.size()) {
      equal_seen = true;
      auto block = lzss_block(in);
      EXPECT_EQ(block_header(block)->method, 0u);
      EXPECT_EQ(block.size(), in.size() + 16);
    } else if (code + 1 == in.size()) {
      shorter_seen = true;
      auto block = lzss_block(in);
      EXPECT_EQ(block_header(block)->method, 1u);
      EXPECT_EQ(block.size(), in.size() + 15);
      EXPECT_EQ(block_decode(block), in);
    }
  }
  EXPECT_TRUE(equal_seen);
  EXPECT_TRUE(shorter_seen);
}

TEST(LzssDecode, RefusesDamagedCode) {
  struct Case {
    const char* what;
    std::vector<uint8_t> code;
    size_t out_size;
  };
  const Case cases[] = {
      {"no code", {}, 1},
      {"literal missing", {0x01}, 1},
      {"reference cut in half", {0x00, 0x10}, 3},
      {"reference past the end", {0x00, 0x00, 0x0F}, 17},  // 18 bytes into 17
      {"flag byte then nothing", {0xFF, 'a'}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> out(c.out_size);
    EXPECT_EQ(lzss_decode(c.code, out), -1);
  }
}

TEST(LzssDecode, ReferencesReadTheZeroWindowAndOverlap) {
  // A reference to position 0 of the fresh window gives zeros (written at 4078–4080); the two
  // literals land at 4081 and 4082, and a reference to 4081 repeats them while it writes them.
  std::vector<uint8_t> code = {0x06, 0x00, 0x00, 'x', 'y', 0xF1, 0xF3};
  std::vector<uint8_t> out(3 + 2 + 6);
  ASSERT_EQ(lzss_decode(code, out), static_cast<int64_t>(out.size()));
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 'x', 'y', 'x', 'y', 'x', 'y', 'x', 'y'}));
}

}  // namespace
}  // namespace tesmo
