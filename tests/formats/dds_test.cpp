// DDS textures: recognition of every layout, block, float, masked 16-bit and palette decoding
// against hand-computed pixels, the writer's nine layouts, round trips and hostile input.
#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <functional>
#include <limits>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/dds/dds.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct Le {
  std::vector<uint8_t> v;
  Le& u8(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Le& u16(uint16_t x) { return u8(static_cast<uint8_t>(x)).u8(static_cast<uint8_t>(x >> 8)); }
  Le& u32(uint32_t x) { return u16(static_cast<uint16_t>(x)).u16(static_cast<uint16_t>(x >> 16)); }
  Le& f32(float x) { return u32(std::bit_cast<uint32_t>(x)); }
  Le& raw(const std::vector<uint8_t>& b) {
    v.insert(v.end(), b.begin(), b.end());
    return *this;
  }
};

constexpr uint32_t code(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) | uint32_t(uint8_t(c[1])) << 8 | uint32_t(uint8_t(c[2])) << 16 |
         uint32_t(uint8_t(c[3])) << 24;
}

struct Header {
  uint32_t width = 4, height = 4;
  uint32_t flags = 0x41, code = 0, bits = 32;
  uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};  // red, green, blue, alpha
  uint32_t caps2 = 0, depth = 0;
  uint32_t size = 124, format_size = 32;
};

std::vector<uint8_t> dds(const Header& h, const std::vector<uint8_t>& data = {}) {
  Le b;
  b.u8('D').u8('D').u8('S').u8(' ').u32(h.size).u32(0x1007).u32(h.height).u32(h.width).u32(0).u32(h.depth);
  for (int i = 0; i < 12; ++i) b.u32(0);
  b.u32(h.format_size).u32(h.flags).u32(h.code).u32(h.bits);
  for (uint32_t m : h.masks) b.u32(m);
  b.u32(0x1000).u32(h.caps2).u32(0).u32(0).u32(0);
  return b.raw(data).v;
}

Header with_code(uint32_t c, uint32_t w = 4, uint32_t h = 4) {
  return Header{.width = w, .height = h, .flags = 0x4, .code = c, .bits = 0, .masks = {}};
}
Header with_flags(uint32_t flags, uint32_t bits, uint32_t w = 4, uint32_t h = 4, std::array<uint32_t, 4> m = {}) {
  return Header{.width = w, .height = h, .flags = flags, .bits = bits, .masks = {m[0], m[1], m[2], m[3]}};
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<dds::probe, dds::decode>;

TEST(DdsProbe, EachLayoutIsDescribed) {
  struct Row {
    Header header;
    int32_t pixel_format, model, bits, channels, has_alpha;
    const char* text;
  };
  const Row rows[] = {
      {with_code(111), -1, kModelGrey, 16, 1, 0, "fp16 Gray"},
      {with_code(113), -1, kModelRgb, 64, 4, 1, "fp16 ARGB"},
      {with_code(114), -1, kModelGrey, 32, 1, 0, "fp32 Gray"},
      {with_code(116), -1, kModelRgb, 128, 4, 1, "fp32 ARGB"},
      {with_code(code("DXT1")), -1, kModelRgb, 32, 4, 1, "DXT1 ARGB (1 bit Alpha)"},
      {with_code(code("DXT2")), -1, kModelRgb, 32, 4, 1, "DXT2 ARGB (Explicit Alpha)"},
      {with_code(code("DXT3")), -1, kModelRgb, 32, 4, 1, "DXT3 ARGB (Explicit Alpha)"},
      {with_code(code("DXT4")), -1, kModelRgb, 32, 4, 1, "DXT4 ARGB (Interpolated Alpha)"},
      {with_code(code("DXT5")), -1, kModelRgb, 32, 4, 1, "DXT5 ARGB (Interpolated Alpha)"},
      {with_code(code("ATI2")), -1, kModelRgb, 32, 4, 1, "DXT5 ARGB (Interpolated Alpha)"},
      {with_flags(0x41, 16, 4, 4, {0x0F00, 0xF0, 0xF, 0xF000}), 3, kModelRgb, 16, 4, 1, "4:4:4:4 ARGB (16 bit)"},
      {with_flags(0x41, 16, 4, 4, {0x7C00, 0x3E0, 0x1F, 0x8000}), 4, kModelRgb, 16, 4, 1, "1:5:5:5 ARGB (16 bit)"},
      {with_flags(0x40, 16, 4, 4, {0xF800, 0x7E0, 0x1F, 0}), 5, kModelRgb, 16, 3, 0, "5:6:5 RGB (16 bit)"},
      {with_flags(0x40, 16, 4, 4, {0x7C00, 0x3E0, 0x1F, 0}), 6, kModelRgb, 16, 3, 0, "5:5:5 RGB (16 bit)"},
      {with_flags(0x40, 16, 4, 4, {0xF00, 0xF0, 0xF, 0}), 6, kModelRgb, 16, 3, 0, "5:5:5 RGB (16 bit)"},
      {with_flags(0x41, 16, 4, 4, {0xE0, 0x1C, 0x3, 0xFF00}), 6, kModelRgb, 16, 3, 0, "5:5:5 RGB (16 bit)"},
      {with_flags(0x40, 24), 7, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)"},
      {with_flags(0x41, 32), 8, kModelRgb, 32, 4, 1, "8:8:8:8 ARGB (32 bit)"},
      {with_flags(0x40, 32), 8, kModelRgb, 32, 4, 1, "8:8:8:8 ARGB (32 bit)"},
      {with_flags(0x2, 0), 1, kModelGrey, 8, 1, 1, "Alpha (256 colors)"},
      {with_flags(0x8, 0), -1, kModelPalette, 4, 1, 1, "Palette ARGB (16 colors)"},
      {with_flags(0x20, 0), -1, kModelPalette, 8, 1, 1, "Palette ARGB (256 colors)"},
      {with_flags(0x20000, 0), 0, kModelGrey, 8, 1, 0, "Gray (256 colors)"},
      {with_flags(0x20001, 0), 2, kModelGrey, 16, 2, 1, "Gray Alpha (256 colors)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const std::vector<uint8_t> bytes = dds(r.header);
    Probed p = Codec::probe_memory(bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.model);
    EXPECT_EQ(p.info.bits, r.bits);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, r.has_alpha);
    EXPECT_EQ(p.info.pixel_text, r.text);
    EXPECT_EQ(p.info.compression_text, std::string(r.text).starts_with("DXT") ? "S3TC / DXTC" : "");
    Probed quiet = Codec::probe_memory(bytes, false);
    EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text, "");
  }
}

TEST(DdsProbe, RejectsWhatTheHeaderDoesNotAllow) {
  std::vector<uint8_t> bad_magic = dds(Header{});
  bad_magic[3] = 0;
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"magic", bad_magic},
      {"header size 123", dds(Header{.size = 123})},
      {"pixel-format size 31", dds(Header{.format_size = 31})},
      {"cube map", dds(Header{.caps2 = 0x200 | 0xFE00})},
      {"volume with depth", dds(Header{.caps2 = 0x200000, .depth = 2})},
      {"unknown code", dds(with_code(code("DXT6")))},
      {"code 112", dds(with_code(112))},
      {"DXT1 width 6", dds(with_code(code("DXT1"), 6, 4))},
      {"DXT5 height 2", dds(with_code(code("DXT5"), 4, 2))},
      {"RGB of 8 bits", dds(with_flags(0x40, 8))},
      {"RGB of 15 bits", dds(with_flags(0x41, 15))},
      {"alpha-pixels flag alone", dds(with_flags(0x1, 8))},
      {"luminance with RGB", dds(with_flags(0x20040, 8))},
      {"alpha only with alpha pixels", dds(with_flags(0x3, 8))},
      {"palette flags together", dds(with_flags(0x28, 8))},
      {"width 0", dds(with_flags(0x41, 32, 0, 4))},
      {"height 32768", dds(with_flags(0x41, 32, 4, 32768))},
      {"cut in the header", std::vector<uint8_t>(bad_magic.begin(), bad_magic.begin() + 100)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(dds::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
  const std::vector<uint8_t> flat_volume = dds(Header{.caps2 = 0x200000});  // a volume flag with depth 0
  EXPECT_NE(Codec::probe_memory(flat_volume).state, nullptr);
  const std::vector<uint8_t> fourcc_and_alpha = dds(Header{.flags = 0x5, .code = code("DXT1")});
  EXPECT_NE(Codec::probe_memory(fourcc_and_alpha).state, nullptr);
}

// Two 5:6:5 colours and four rows of 2-bit indices.
std::vector<uint8_t> colour_block(uint16_t c0, uint16_t c1, std::array<uint8_t, 4> rows) {
  return Le().u16(c0).u16(c1).u8(rows[0]).u8(rows[1]).u8(rows[2]).u8(rows[3]).v;
}

TEST(DdsDecode, Dxt1FourAndThreeColourBlocks) {
  // Red 0xF800 above blue 0x001F: c2 = (170, 0, 85), c3 = (85, 0, 170). Indices 0, 1, 2, 3 per row.
  const std::vector<uint8_t> four = colour_block(0xF800, 0x001F, {0xE4, 0xE4, 0xE4, 0xE4});
  std::vector<uint32_t> px = Codec::decode_memory(dds(with_code(code("DXT1")), four));
  EXPECT_EQ(std::vector<uint32_t>(px.begin(), px.begin() + 4),
            (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA}));
  // c0 ≤ c1: c2 = the average (127, 0, 127), index 3 transparent black.
  for (uint16_t c0 : {uint16_t{0x001F}, uint16_t{0xF800}}) {
    const std::vector<uint8_t> three = colour_block(c0, 0xF800, {0xE4, 0xE4, 0xE4, 0xE4});
    px = Codec::decode_memory(dds(with_code(code("DXT1")), three));
    const uint32_t mid = c0 == 0xF800 ? 0xFFFF0000 : 0xFF7F007F;
    EXPECT_EQ(std::vector<uint32_t>(px.begin(), px.begin() + 4),
              (std::vector<uint32_t>{c0 == 0xF800 ? 0xFFFF0000 : 0xFF0000FF, 0xFFFF0000, mid, 0x00000000}));
  }
  // 8 × 8: blocks row by row, left to right; index rows one byte per pixel row.
  Le blocks;
  for (uint16_t b = 0; b < 4; ++b) blocks.raw(colour_block(static_cast<uint16_t>(0xFFFF - b), 0, {0, 0, 0, 0x40}));
  px = Codec::decode_memory(dds(with_code(code("DXT1"), 8, 8), blocks.v));
  EXPECT_EQ(px[0], 0xFFFFFFFFu);
  EXPECT_EQ(px[4], 0xFFFFFFF6u);                   // block 1: blue 30 → 246
  EXPECT_EQ(px[4 * 8], 0xFFFFFFEEu);               // block 2 starts on row 4: blue 29 → 238
  EXPECT_EQ(px[3 * 8 + 3], 0xFF000000u);           // row 3, pixel 3: index 1 (c1 black)
  EXPECT_EQ(px[7 * 8 + 7], 0xFF000000u);
  EXPECT_EQ(px[7 * 8 + 6], 0xFFFFFFE6u);           // block 3: blue 28 → 230
}

TEST(DdsDecode, ExplicitAndInterpolatedAlpha) {
  // DXT3: alpha rows as 16-bit values, pixel x in bits 4x (×17); the colour block always has four
  // colours, so index 3 of a c0 ≤ c1 block is (170, 0, 85), not transparent.
  const std::vector<uint8_t> colours = colour_block(0x001F, 0xF800, {0xFF, 0, 0, 0});
  Le dxt3;
  dxt3.u16(0x3210).u16(0xFFFF).u16(0).u16(0).raw(colours);
  std::vector<uint32_t> px = Codec::decode_memory(dds(with_code(code("DXT3")), dxt3.v));
  EXPECT_EQ(std::vector<uint32_t>(px.begin(), px.begin() + 5),
            (std::vector<uint32_t>{0x00AA0055, 0x11AA0055, 0x22AA0055, 0x33AA0055, 0xFF0000FF}));
  EXPECT_EQ(Codec::decode_memory(dds(with_code(code("DXT2")), dxt3.v)), px);

  // DXT5, a0 = 0 ≤ a1 = 255: 0, 255, 51, 102, 153, 204, then 0 and 255. Pixel (x, y) takes the
  // 3-bit index at bit 3 × (4y + x) of bytes 2–7; pixel 2 straddles bytes 2 and 3.
  auto alpha_block = [&](uint8_t a0, uint8_t a1, std::array<uint8_t, 16> idx) {
    uint64_t bits = 0;
    for (size_t i = 0; i < 16; ++i) bits |= uint64_t{idx[i]} << (3 * i);
    Le b;
    b.u8(a0).u8(a1);
    for (int i = 0; i < 6; ++i) b.u8(static_cast<uint8_t>(bits >> (8 * i)));
    return b.raw(colour_block(0xFFFF, 0xFFFF, {0, 0, 0, 0})).v;
  };
  const std::array<uint8_t, 16> order = {6, 7, 2, 3, 4, 5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 7};
  std::vector<uint8_t> six = alpha_block(0, 255, order);
  px = Codec::decode_memory(dds(with_code(code("DXT5")), six));
  std::vector<uint32_t> alphas;
  for (uint32_t p : px) alphas.push_back(p >> 24);
  EXPECT_EQ(alphas, (std::vector<uint32_t>{0, 255, 51, 102, 153, 204, 0, 255, 0, 0, 0, 0, 0, 0, 0, 255}));
  EXPECT_EQ(px[0] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(Codec::decode_memory(dds(with_code(code("ATI2")), six)), px);
  EXPECT_EQ(Codec::decode_memory(dds(with_code(code("DXT4")), six)), px);
  // a0 > a1: six values between them.
  px = Codec::decode_memory(dds(with_code(code("DXT5")), alpha_block(255, 0, {2, 3, 4, 5, 6, 7, 0, 1})));
  alphas.clear();
  for (size_t i = 0; i < 8; ++i) alphas.push_back(px[i] >> 24);
  EXPECT_EQ(alphas, (std::vector<uint32_t>{218, 182, 145, 109, 72, 36, 255, 0}));
}

TEST(DdsDecode, FloatsConvertWithoutClamping) {
  struct Row {
    const char* what;
    uint16_t half;
    uint8_t expected;
  };
  const Row rows[] = {
      {"1.0", 0x3C00, 255}, {"2.0: 510 keeps its low byte", 0x4000, 254}, {"0.5", 0x3800, 127},
      {"zero", 0x0000, 0},  {"-1.0: -255 keeps its low byte", 0xBC00, 1}, {"negative zero", 0x8000, 0},
      {"1.5", 0x3E00, 126}, {"65504 × 255 = 0xFEE020", 0x7BFF, 0x20},    {"infinity pattern: 65536", 0x7C00, 0},
  };
  Le grey;
  for (const Row& r : rows) grey.u16(r.half);
  std::vector<uint32_t> px = Codec::decode_memory(dds(with_code(111, 9, 1), grey.v));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(px[i], 0xFF000000u | rows[i].expected * 0x010101u) << rows[i].what;
  }
  // Four channels stored red, green, blue, alpha.
  px = Codec::decode_memory(dds(with_code(113, 1, 1), Le().u16(0x3C00).u16(0x3800).u16(0).u16(0x4000).v));
  EXPECT_EQ(px[0], 0xFEFF7F00u);
  px = Codec::decode_memory(dds(with_code(116, 1, 1), Le().f32(0.5f).f32(1.5f).f32(-0.002f).f32(1.0f).v));
  EXPECT_EQ(px[0], 0xFF7F7E00u);
  // 32-bit grey: 3.0 gives 765, stored 253; -1.0 gives 1; products past 32-bit integers, infinities
  // and NaNs give 0.
  Le floats;
  for (float f : {3.0f, -1.0f, 1e20f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    floats.f32(f);
  }
  px = Codec::decode_memory(dds(with_code(114, 5, 1), floats.v));
  EXPECT_EQ(px, (std::vector<uint32_t>{0xFFFDFDFD, 0xFF010101, 0xFF000000, 0xFF000000, 0xFF000000}));
}

TEST(DdsDecode, SixteenBitChannelsFollowTheirMasks) {
  struct Row {
    const char* what;
    std::array<uint32_t, 4> masks;  // red, green, blue, alpha
    uint16_t value;
    uint32_t expected;
  };
  const Row rows[] = {
      {"5:6:5: no alpha mask, alpha 0", {0xF800, 0x7E0, 0x1F, 0}, 0xFFFF, 0x00FFFFFF},
      {"5:6:5 ones: 255 / 31 and 255 / 63 round down", {0xF800, 0x7E0, 0x1F, 0}, 0x0821, 0x00080408},
      {"1:5:5:5", {0x7C00, 0x3E0, 0x1F, 0x8000}, 0x8000 | 0x3E0, 0xFF00FF00},
      {"4:4:4:4", {0xF00, 0xF0, 0xF, 0xF000}, 0x1234, 0x11223344},
      {"3:3:2 with 8 bits of alpha", {0xE0, 0x1C, 0x3, 0xFF00}, 0x80E3, 0x80FF00FF},
      {"mask bits above 16 are ignored", {0x1F0000, 0x7E0, 0x1F, 0x10000}, 0xFFFF, 0x0000FFFF},
      {"a mask with a gap stops at it", {0xB000, 0, 0, 0}, 0xB000, 0x00FF0000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::vector<uint8_t> file = dds(with_flags(0x41, 16, 1, 1, r.masks), Le().u16(r.value).v);
    EXPECT_EQ(Codec::decode_memory(file), std::vector<uint32_t>{r.expected});
  }
}

TEST(DdsDecode, ByteLayoutsAndPalettes) {
  struct Row {
    const char* what;
    Header header;
    std::vector<uint8_t> data;
    std::vector<uint32_t> expected;
  };
  // Palette entries are copied as stored; entry i is 0x0i102030 here.
  Le palette;
  for (uint32_t i = 0; i < 256; ++i) palette.u32(i << 24 | 0x102030);
  auto entry = [](uint32_t i) { return i << 24 | 0x102030; };
  auto pal = [&](size_t entries, std::vector<uint8_t> indices) {
    std::vector<uint8_t> d(palette.v.begin(), palette.v.begin() + static_cast<ptrdiff_t>(4 * entries));
    d.insert(d.end(), indices.begin(), indices.end());
    return d;
  };
  const Row rows[] = {
      {"24 bits: blue, green, red; masks ignored", with_flags(0x40, 24, 2, 1, {0xFF, 0, 0, 0}), {1, 2, 3, 4, 5, 6},
       {0xFF030201, 0xFF060504}},
      {"32 bits copied", with_flags(0x41, 32, 2, 1), {1, 2, 3, 4, 5, 6, 7, 8}, {0x04030201, 0x08070605}},
      {"alpha only: black", with_flags(0x2, 8, 2, 1), {0x40, 0xFF}, {0x40000000, 0xFF000000}},
      {"grey", with_flags(0x20000, 8, 2, 1), {0x40, 0xFF}, {0xFF404040, 0xFFFFFFFF}},
      {"grey then alpha", with_flags(0x20001, 16, 2, 1), {0x40, 0x80, 0xFF, 0}, {0x80404040, 0x00FFFFFF}},
      {"8-bit palette", with_flags(0x20, 8, 2, 1), pal(256, {200, 3}), {entry(200), entry(3)}},
      {"4-bit palette: low nibble first", with_flags(0x8, 4, 2, 2), pal(16, {0x21, 0x43}),
       {entry(1), entry(2), entry(3), entry(4)}},
      {"4-bit palette, odd width: each row ends on a low nibble", with_flags(0x8, 4, 3, 2), pal(16, {0x21, 0xF3, 0x54, 0xF6}),
       {entry(1), entry(2), entry(3), entry(4), entry(5), entry(6)}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(dds(r.header, r.data)), r.expected);
  }
}

TEST(DdsProbe, FileFormReadsTheFirstLevelOnly) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> level = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<uint8_t> file = dds(with_flags(0x41, 32, 2, 1), level);
  file.insert(file.end(), {9, 9, 9, 9});  // a second mipmap level
  write_bytes(tmp.file("a.dds"), file);
  Probed p = Codec::probe_path(tmp.file("a.dds"));
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(Codec::decoded(p), (std::vector<uint32_t>{0x04030201, 0x08070605}));
  // A file cut inside its level: missing bytes read as zero. 127 bytes: rejected.
  file.resize(128 + 5);
  write_bytes(tmp.file("cut.dds"), file);
  Probed cut = Codec::probe_path(tmp.file("cut.dds"));
  ASSERT_NE(cut.state, nullptr);
  EXPECT_EQ(Codec::decoded(cut), (std::vector<uint32_t>{0x04030201, 0x00000005}));
  file.resize(127);
  write_bytes(tmp.file("short.dds"), file);
  EXPECT_EQ(Codec::probe_path(tmp.file("short.dds")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.dds")).state, nullptr);
  // Odd-width 4-bit rows take (width + 1) / 2 bytes each: the last row is read too.
  Le pal4;
  for (uint32_t i = 0; i < 16; ++i) pal4.u32(0xFF000000u | i);
  pal4.u8(0x21).u8(0x03).u8(0x54).u8(0x06).u8(0x87).u8(0x09);
  write_bytes(tmp.file("p4.dds"), dds(with_flags(0x8, 4, 3, 3), pal4.v));
  Probed p4 = Codec::probe_path(tmp.file("p4.dds"));
  ASSERT_NE(p4.state, nullptr);
  EXPECT_EQ(Codec::decoded(p4).back(), 0xFF000009u);
}

TEST(DdsWrite, HeaderAndPackedValues) {
  const std::vector<uint32_t> px = {0x80FF8008, 0x00102030};
  std::vector<uint8_t> f = dds::encode(px, 2, 1, 5);
  ASSERT_EQ(f.size(), 128u + 4);
  Le head;
  head.u8('D').u8('D').u8('S').u8(' ').u32(124).u32(0x81007).u32(1).u32(2).u32(4).u32(0);
  for (int i = 0; i < 12; ++i) head.u32(0);
  head.u32(32).u32(0x40).u32(0).u32(16).u32(0xF800).u32(0x7E0).u32(0x1F).u32(0).u32(0x1000);
  for (int i = 0; i < 4; ++i) head.u32(0);
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 128), head.v);

  struct Row {
    int32_t pixel_format;
    uint32_t flags, bits;
    std::array<uint32_t, 4> masks;
    std::vector<uint8_t> stored;  // of pixel 0x80FF8008
  };
  const Row rows[] = {
      {0, 0x20000, 8, {0xFF, 0, 0, 0}, {189}},  // (151 × 255 + 77 × 128 + 28 × 8) >> 8
      {1, 0x2, 8, {0, 0, 0, 0xFF}, {0x80}},
      {2, 0x20001, 16, {0xFF, 0, 0, 0xFF00}, {189, 0x80}},
      {3, 0x41, 16, {0xF00, 0xF0, 0xF, 0xF000}, {0x80, 0x8F}},
      {4, 0x41, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}, {0x01, 0xFE}},
      {5, 0x40, 16, {0xF800, 0x7E0, 0x1F, 0}, {0x01, 0xFC}},
      {6, 0x40, 16, {0x7C00, 0x3E0, 0x1F, 0}, {0x01, 0x7E}},
      {7, 0x40, 24, {0xFF0000, 0xFF00, 0xFF, 0}, {0x08, 0x80, 0xFF}},
      {8, 0x41, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x08, 0x80, 0xFF, 0x80}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    std::vector<uint8_t> file = dds::encode(px, 1, 1, r.pixel_format);
    ASSERT_EQ(file.size(), 128 + r.stored.size());
    Le fields;
    fields.u32(r.flags).u32(0).u32(r.bits);
    for (uint32_t m : r.masks) fields.u32(m);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 80, file.begin() + 108), fields.v);
    EXPECT_EQ(file[20], r.stored.size());  // linear size
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 128, file.end()), r.stored);
  }
  EXPECT_EQ(dds::encode(std::vector<uint32_t>{0x7F000000}, 1, 1, 4)[129], 0x80);  // any alpha sets bit 15
  EXPECT_EQ(dds::encode(std::vector<uint32_t>{0x00FFFFFF}, 1, 1, 4)[129], 0x7F);
  EXPECT_TRUE(dds::encode(px, 2, 1, 9).empty());
  EXPECT_TRUE(dds::encode(px, 2, 1, -1).empty());
  EXPECT_TRUE(dds::encode(px, 3, 1, 8).empty());
  EXPECT_TRUE(dds::encode(px, -2, -1, 8).empty());
}

TEST(DdsWrite, RoundTripEveryLayout) {
  std::vector<uint32_t> px = {0x00000000, 0xFFFFFFFF, 0x80FF0000, 0x7F00FF00, 0x010000FF, 0xFE123456};
  std::mt19937 rng(3);
  while (px.size() < 35) px.push_back(static_cast<uint32_t>(rng()));
  auto ch = [](uint32_t v, int s) { return (v >> s) & 0xFF; };
  auto g = [&](uint32_t p) { return uint32_t{grey_of(p)}; };
  auto x5 = [](uint32_t v) { return (v >> 3) * 255 / 31; };
  auto x6 = [](uint32_t v) { return (v >> 2) * 255 / 63; };
  auto x4 = [](uint32_t v) { return (v >> 4) * 17; };
  auto pixel = [](uint32_t a, uint32_t r, uint32_t gg, uint32_t b) { return a << 24 | r << 16 | gg << 8 | b; };
  struct Row {
    int32_t pixel_format;
    int32_t has_alpha;
    std::function<uint32_t(uint32_t)> back;  // what the reader gives for a saved pixel
  };
  const Row rows[] = {
      {0, 0, [&](uint32_t p) { return pixel(255, g(p), g(p), g(p)); }},
      {1, 1, [&](uint32_t p) { return p & 0xFF000000; }},  // black with the saved alpha
      {2, 1, [&](uint32_t p) { return pixel(ch(p, 24), g(p), g(p), g(p)); }},
      {3, 1, [&](uint32_t p) { return pixel(x4(ch(p, 24)), x4(ch(p, 16)), x4(ch(p, 8)), x4(ch(p, 0))); }},
      {4, 1, [&](uint32_t p) { return pixel(ch(p, 24) ? 255 : 0, x5(ch(p, 16)), x5(ch(p, 8)), x5(ch(p, 0))); }},
      {5, 0, [&](uint32_t p) { return pixel(0, x5(ch(p, 16)), x6(ch(p, 8)), x5(ch(p, 0))); }},  // alpha 0
      {6, 0, [&](uint32_t p) { return pixel(0, x5(ch(p, 16)), x5(ch(p, 8)), x5(ch(p, 0))); }},
      {7, 0, [&](uint32_t p) { return p | 0xFF000000; }},
      {8, 1, [&](uint32_t p) { return p; }},
  };
  testing::TempFolder tmp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    SaveRequest req;
    req.path = tmp.file("rt.dds");
    req.pixel_format = r.pixel_format;
    ASSERT_EQ(dds::save(px, 7, 5, req), 0);
    Probed p = Codec::probe_path(req.path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.has_alpha, r.has_alpha);
    std::vector<uint32_t> back = Codec::decoded(p);
    for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(back[i], r.back(px[i])) << i;
  }
  SaveRequest req;
  req.path = tmp.file("rt.dds");
  req.pixel_format = 9;
  EXPECT_EQ(dds::save(px, 7, 5, req), 1);
  EXPECT_EQ(read_file(req.path)->size(), 128u + 4 * 35);  // the last good file is kept
  req.path.clear();
  req.pixel_format = 8;
  EXPECT_EQ(dds::save(px, 7, 5, req), 1);
}

TEST(DdsHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  Le blocks;
  for (int i = 0; i < 8; ++i) blocks.u32(0x12345678u * static_cast<uint32_t>(i + 1)).u32(0x9ABCDEF0u);
  Le pal4;
  for (int i = 0; i < 16; ++i) pal4.u32(static_cast<uint32_t>(i));
  pal4.raw(std::vector<uint8_t>(10, 0x5A));
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  // The fields the reader reads end with the second caps word, at 116 (caps 3, caps 4 and the
  // reserved word after it are not read).
  const Seed seeds[] = {
      {dds(with_code(code("DXT1"), 8, 8), blocks.v), {8, 8, 116, {}}},
      {dds(with_code(code("DXT5"), 4, 8), blocks.v), {4, 8, 116, {}}},
      {dds(with_code(code("DXT3"), 8, 4), blocks.v), {8, 4, 116, {}}},
      {dds(with_code(113, 2, 2), blocks.v), {2, 2, 116, {}}},
      {dds(with_code(116, 1, 2), blocks.v), {1, 2, 116, {}}},
      {dds(with_flags(0x41, 16, 5, 3, {0xF00, 0xF0, 0xF, 0xF000}), blocks.v), {5, 3, 116, {}}},
      {dds(with_flags(0x8, 4, 5, 3), pal4.v), {5, 3, 116, {}}},
  };
  // A 32767 × 32767 DXT1 claim with one block: the rest decodes from zero bytes (opaque black).
  const std::vector<uint8_t> huge = dds(with_code(code("DXT1"), 32764, 4), blocks.v);
  Probed big = Codec::probe_memory(huge);
  std::vector<uint32_t> px = Codec::decoded(big);
  EXPECT_EQ(px[32763], 0xFF000000u);
  std::mt19937 rng(11);
  for (const Seed& seed : seeds) Codec::damaged_copies(seed.bytes, seed.truth, rng);
}

}  // namespace
}  // namespace tesmo
