// BMP, ICO and CUR: recognition, decoding of every stored layout, run-length data, the writer's
// seven layouts, and hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/bmp/bmp.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

// Little-endian record building.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Bytes& u16(uint16_t x) { return u8(static_cast<uint8_t>(x)).u8(static_cast<uint8_t>(x >> 8)); }
  Bytes& u32(uint32_t x) { return u16(static_cast<uint16_t>(x)).u16(static_cast<uint16_t>(x >> 16)); }
  Bytes& raw(const std::vector<uint8_t>& b) {
    v.insert(v.end(), b.begin(), b.end());
    return *this;
  }
  Bytes& zeros(size_t n) {
    v.insert(v.end(), n, 0);
    return *this;
  }
};

std::vector<uint8_t> info_header(int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0,
                                 uint32_t image_size = 0, uint32_t size = 40) {
  return Bytes()
      .u32(size).u32(static_cast<uint32_t>(w)).u32(static_cast<uint32_t>(h)).u16(1).u16(bits)
      .u32(compression).u32(image_size).zeros(16).v;
}

std::vector<uint8_t> masks(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return Bytes().u32(r).u32(g).u32(b).u32(a).v;
}

// File header + `info` + `extra` (masks or colour table) + `pixels`; the pixel offset points right
// after `extra` unless given.
std::vector<uint8_t> bitmap(const std::vector<uint8_t>& info, const std::vector<uint8_t>& extra,
                            const std::vector<uint8_t>& pixels, int64_t offset = -1) {
  uint32_t at = static_cast<uint32_t>(offset >= 0 ? offset : 14 + info.size() + extra.size());
  uint32_t size = static_cast<uint32_t>(14 + info.size() + extra.size() + pixels.size());
  return Bytes().u8('B').u8('M').u32(size).u32(0).u32(at).raw(info).raw(extra).raw(pixels).v;
}

std::vector<uint8_t> simple(int32_t w, int32_t h, uint16_t bits, const std::vector<uint8_t>& pixels = {}) {
  return bitmap(info_header(w, h, bits), {}, pixels);
}

// Directory of `count` entries (the first one says w × h), then the first image's header, colour
// table and pixels.
std::vector<uint8_t> icon(uint16_t type, uint16_t count, uint8_t w, uint8_t h,
                          const std::vector<uint8_t>& info, const std::vector<uint8_t>& rest) {
  Bytes b;
  b.u16(0).u16(type).u16(count);
  for (uint16_t i = 0; i < count; ++i) b.u8(w).u8(h).zeros(14);
  return b.raw(info).raw(rest).v;
}

// Colour-table entry i is 0xFF804000 | i, so untouched pixels (entry 0) differ from zero bytes.
uint32_t colour(uint32_t i) { return 0xFF804000u | i; }
std::vector<uint8_t> test_palette(int entries) {
  Bytes b;
  for (int i = 0; i < entries; ++i) b.u8(static_cast<uint8_t>(i)).u8(0x40).u8(0x80).u8(0);
  return b.v;
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<bmp::probe, bmp::decode>;

TEST(BmpProbe, EachStoredLayoutIsDescribed) {
  // 16 bits with bit fields: only the red and alpha masks decide.
  auto fields = [](uint32_t red, uint32_t alpha, uint32_t compression = 3) {
    return bitmap(info_header(2, 2, 16, compression), masks(red, 0x3E0, 0x1F, alpha), {});
  };
  auto coded = [](uint16_t bits, uint32_t compression) {
    return bitmap(info_header(2, 2, bits, compression), {}, {});
  };
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t pixel_format, channels, has_alpha;
    const char* pixel_text;
    bool run_length;
  };
  const Row rows[] = {
      {"1 bit", simple(2, 2, 1), -1, 1, 0, "Palette RGB (2 colors)", false},
      {"4 bits", simple(2, 2, 4), -1, 1, 0, "Palette RGB (16 colors)", false},
      {"4-bit RLE", coded(4, 2), -1, 1, 0, "Palette RGB (16 colors)", true},
      {"4 bits with the 8-bit RLE code", coded(4, 1), -1, 1, 0, "Palette RGB (16 colors)", false},
      {"8 bits", simple(2, 2, 8), -1, 1, 0, "Palette RGB (256 colors)", false},
      {"8-bit RLE", coded(8, 1), -1, 1, 0, "Palette RGB (256 colors)", true},
      {"8 bits with the 4-bit RLE code", coded(8, 2), -1, 1, 0, "Palette RGB (256 colors)", false},
      {"16 plain", simple(2, 2, 16), 0, 3, 0, "5:5:5 RGB (16 bit)", false},
      {"16 fields 5:5:5", fields(0x7C00, 0), 0, 3, 0, "5:5:5 RGB (16 bit)", false},
      {"16 fields 1:5:5:5", fields(0x7C00, 0x8000), 1, 4, 1, "1:5:5:5 ARGB (16 bit)", false},
      {"16 fields 5:6:5", fields(0xF800, 0), 2, 3, 0, "5:6:5 RGB (16 bit)", false},
      {"16 fields 5:6:5 with alpha mask", fields(0xF800, 0x1), 2, 3, 0, "5:6:5 RGB (16 bit)", false},
      {"16 fields 4:4:4", fields(0xF00, 0), 3, 3, 0, "4:4:4 RGB (16 bit)", false},
      {"16 fields 4:4:4:4", fields(0xF00, 0xF000), 4, 4, 1, "4:4:4:4 ARGB (16 bit)", false},
      {"16 fields red 0x001F", fields(0x1F, 0), 3, 3, 0, "4:4:4 RGB (16 bit)", false},
      {"16 masks without the bit-field code", fields(0xF800, 0, 0), 0, 3, 0, "5:5:5 RGB (16 bit)", false},
      {"24 bits", simple(2, 2, 24), 5, 3, 0, "8:8:8 RGB (24 bit)", false},
      {"32 bits", simple(2, 2, 32), 6, 4, 1, "8:8:8:8 ARGB (32 bit)", false},
      {"32 bits with bit fields", bitmap(info_header(2, 2, 32, 3), masks(0xFF00, 0xFF, 0, 0), {}), 6, 4, 1,
       "8:8:8:8 ARGB (32 bit)", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Probed p = Codec::probe_memory(r.bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.pixel_format < 0 ? kModelPalette : kModelRgb);
    EXPECT_EQ(p.info.bits, r.bytes[28]);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, r.has_alpha);
    EXPECT_EQ(p.info.pixel_text, r.pixel_text);
    EXPECT_EQ(p.info.compression_text, r.run_length ? "Run-Length Encoded" : "");
  }
}

TEST(BmpProbe, ContainersNameThemselvesAndTextsNeedWantText) {
  std::vector<uint8_t> ico = icon(1, 3, 2, 2, info_header(2, 4, 32), std::vector<uint8_t>(16));
  std::vector<uint8_t> cur = icon(2, 1, 5, 7, info_header(5, 14, 32), {});
  std::vector<uint8_t> flipped = simple(3, -10, 24);
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* name;
    const char* extensions;
    const char* extra;
    int32_t width, height, image_count;
  };
  const Row rows[] = {
      {"bitmap", simple(4, 3, 8), "BMP", "*.bmp", "", 4, 3, 0},
      {"top-down bitmap", flipped, "BMP", "*.bmp", "V-Flip", 3, 10, 0},
      {"icon: size from the directory", ico, "Icon (BMP)", "*.ico", "", 2, 2, 3},
      {"cursor", cur, "Cursor (BMP)", "*.cur", "", 5, 7, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Probed p = Codec::probe_memory(r.bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.format_name, r.name);
    EXPECT_EQ(p.info.extensions, r.extensions);
    EXPECT_EQ(p.info.extra_text, r.extra);
    EXPECT_EQ(p.info.width, r.width);
    EXPECT_EQ(p.info.height, r.height);
    EXPECT_EQ(p.info.image_count, r.image_count);
    Probed quiet = Codec::probe_memory(r.bytes, false);
    ASSERT_NE(quiet.state, nullptr);
    EXPECT_EQ(quiet.info.width, r.width);
    EXPECT_EQ(quiet.info.format_name + quiet.info.extensions + quiet.info.pixel_text, "");
    EXPECT_EQ(quiet.info.extra_text, "");
  }
}

TEST(BmpProbe, RejectsWhatNoLayoutDescribes) {
  auto with = [](std::vector<uint8_t> b, size_t at, std::vector<uint8_t> patch) {
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<ptrdiff_t>(at));
    return b;
  };
  const std::vector<uint8_t> good = simple(2, 2, 24, std::vector<uint8_t>(16));
  const std::vector<uint8_t> png_start = {0x89, 'P', 'N', 'G', 13, 10, 26, 10,
                                          0,    0,   0,   13,  'I', 'H', 'D', 'R'};
  std::vector<uint8_t> png_in_icon = icon(1, 1, 16, 16, png_start, std::vector<uint8_t>(40));
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"signature only", {'B', 'M'}},
      {"wrong signature", with(good, 1, {'N'})},
      {"header cut inside the width", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      {"bits 0", simple(2, 2, 0)},
      {"bits 2", simple(2, 2, 2)},
      {"bits 15", simple(2, 2, 15)},
      {"bits 48", simple(2, 2, 48)},
      {"width 0", simple(0, 2, 24)},
      {"width -1", simple(-1, 2, 24)},
      {"width 32768", simple(32768, 2, 24)},
      {"height 0", simple(2, 0, 24)},
      {"height 32768", simple(2, 32768, 24)},
      {"height -32768", simple(2, -32768, 24)},
      {"height INT32_MIN", simple(2, INT32_MIN, 24)},
      {"directory reserved word not 0", with(icon(1, 1, 2, 2, info_header(2, 4, 32), {}), 0, {1})},
      {"directory type 0", icon(0, 1, 2, 2, info_header(2, 4, 32), {})},
      {"directory type 3", icon(3, 1, 2, 2, info_header(2, 4, 32), {})},
      {"icon width byte 0 (256 pixels)", icon(1, 1, 0, 2, info_header(256, 4, 32), {})},
      {"icon height byte 0", icon(1, 1, 2, 0, info_header(2, 512, 32), {})},
      {"icon header past the end", icon(1, 1, 2, 2, {}, {})},
      {"icon count past the data", with(icon(1, 1, 2, 2, info_header(2, 4, 32), {}), 4, {0xFF, 0xFF})},
      {"icon holding a PNG stream", png_in_icon},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;  // a rejection leaves the record alone
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(bmp::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
  // The largest sides are accepted; a header alone is believed up to 2^20 pixels.
  const std::vector<uint8_t> wide = simple(32767, -32, 1), tall = simple(32, -32767, 1);
  EXPECT_NE(Codec::probe_memory(wide).state, nullptr);
  EXPECT_NE(Codec::probe_memory(tall).state, nullptr);
}

TEST(BmpProbe, FileFormNeeds48BytesAndATotalOf48) {
  testing::TempFolder tmp;
  std::vector<uint8_t> one = simple(1, 1, 24, {0x11, 0x22, 0x33, 0});
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Row rows[] = {
      {"47 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 47), false},
      {"48 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 48), true},
      {"pixel offset 0: total 4", bitmap(info_header(1, 1, 24), {}, {1, 2, 3, 0}, 0), false},
      {"pixel offset 44: total 48", bitmap(info_header(1, 1, 24), {}, {1, 2, 3, 0}, 44), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::u16string path = tmp.file("a.bmp");
    write_bytes(path, r.bytes);
    EXPECT_EQ(Codec::probe_path(path).state != nullptr, r.accepted);
    EXPECT_NE(Codec::probe_memory(r.bytes).state, nullptr);  // the memory form has neither rule
  }
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.bmp")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.folder()).state, nullptr);

  // A file cut inside its rows: the missing bytes read as zero.
  write_bytes(tmp.file("cut.bmp"), std::vector<uint8_t>(one.begin(), one.begin() + 56));
  Probed cut = Codec::probe_path(tmp.file("cut.bmp"));
  ASSERT_NE(cut.state, nullptr);
  EXPECT_EQ(Codec::decoded(cut), std::vector<uint32_t>{0xFF002211u});
}

TEST(BmpDecode, PaletteDepths) {
  // 1 bit, 10 × 2: the second byte of a row gives the last 10 mod 8 pixels from its high bits.
  std::vector<uint8_t> b1 = bitmap(info_header(10, 2, 1), test_palette(2),
                                   {0xB3, 0x40, 0, 0,    // bottom row 1011 0011 01
                                    0x00, 0x80, 0, 0});  // top row    0000 0000 10
  std::vector<uint32_t> c = {colour(0), colour(1)};
  EXPECT_EQ(Codec::decode_memory(b1), (std::vector<uint32_t>{c[0], c[0], c[0], c[0], c[0], c[0], c[0], c[0], c[1],
                                                      c[0], c[1], c[0], c[1], c[1], c[0], c[0], c[1], c[1],
                                                      c[0], c[1]}));
  // 4 bits, odd width: the low nibble of the last byte is not a pixel.
  EXPECT_EQ(Codec::decode_memory(bitmap(info_header(3, 1, 4), test_palette(16), {0x1A, 0x3F, 0, 0})),
            (std::vector<uint32_t>{colour(1), colour(10), colour(3)}));
  EXPECT_EQ(Codec::decode_memory(bitmap(info_header(2, 2, 8), test_palette(256), {200, 7, 0, 0, 255, 0, 0, 0})),
            (std::vector<uint32_t>{colour(255), colour(0), colour(200), colour(7)}));
  // A run-length code that does not match the depth, or an unknown one, means plain rows.
  for (uint32_t compression : {2u, 3u, 4u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Codec::decode_memory(bitmap(info_header(2, 1, 8, compression), test_palette(256), {3, 4, 0, 0})),
              (std::vector<uint32_t>{colour(3), colour(4)}));
  }
  // A colour table that starts past the end of the data reads as black.
  EXPECT_EQ(Codec::decode_memory(bitmap(info_header(2, 1, 8, 0, 0, 0x7FFFFFF0), {}, {1, 2, 0, 0})),
            (std::vector<uint32_t>{0xFF000000u, 0xFF000000u}));
}

TEST(BmpDecode, SixteenBitLayoutsExpandTheirChannels) {
  struct Row {
    const char* what;
    uint32_t compression;
    std::vector<uint8_t> masks;
    uint16_t value;
    uint32_t expected;
  };
  const auto f555 = masks(0x7C00, 0x3E0, 0x1F, 0);
  const auto f1555 = masks(0x7C00, 0x3E0, 0x1F, 0x8000);
  const auto f565 = masks(0xF800, 0x7E0, 0x1F, 0);
  const auto f4444 = masks(0xF00, 0xF0, 0xF, 0xF000);
  const Row rows[] = {
      {"5:5:5 white without bit 15 is transparent", 0, {}, 0x7FFF, 0x00FFFFFF},
      {"5:5:5 bit 15 alone", 0, {}, 0x8000, 0xFF000000},
      {"5:5:5 ones: 255 / 31 rounds down to 8", 0, {}, 0x0421, 0x00080808},
      {"5:5:5 red", 0, f555, 0x7C00, 0x00FF0000},
      {"1:5:5:5 opaque green", 3, f1555, 0x83E0, 0xFF00FF00},
      {"5:6:5 red", 3, f565, 0xF800, 0xFFFF0000},
      {"5:6:5 green 1 becomes 4", 3, f565, 0x0020, 0xFF000400},
      {"5:6:5 mixed", 3, f565, 0x0842, 0xFF080810},
      {"5:6:5 green 32 becomes 129", 3, f565, 0x0400, 0xFF008100},
      {"5:6:5 full green", 3, f565, 0x07E0, 0xFF00FF00},
      {"4:4:4:4", 3, f4444, 0xF123, 0xFF112233},
      {"4:4:4 keeps the top nibble as alpha", 3, masks(0xF00, 0xF0, 0xF, 0), 0x0ABC, 0x00AABBCC},
      {"red mask 0x001F reads as 4:4:4", 3, masks(0x1F, 0x3E0, 0x7C00, 0), 0x7ABC, 0x77AABBCC},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<uint8_t> px = {static_cast<uint8_t>(r.value), static_cast<uint8_t>(r.value >> 8), 0, 0};
    EXPECT_EQ(Codec::decode_memory(bitmap(info_header(1, 1, 16, r.compression), r.masks, px)),
              std::vector<uint32_t>{r.expected});
  }
}

TEST(BmpDecode, TrueColourRowsPaddingAndOrder) {
  // 24 bits, 2 × 2: rows of 6 bytes padded to 8, stored bottom-up.
  std::vector<uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
  EXPECT_EQ(Codec::decode_memory(simple(2, 2, 24, rows24)),
            (std::vector<uint32_t>{0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}));
  EXPECT_EQ(Codec::decode_memory(simple(2, -2, 24, rows24)),
            (std::vector<uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}));
  EXPECT_EQ(Codec::decode_memory(simple(2, 1, 32, {1, 2, 3, 0, 5, 6, 7, 0x80})),
            (std::vector<uint32_t>{0x00030201, 0x80070605}));
  // Bit fields are honoured for 16 bits only.
  EXPECT_EQ(Codec::decode_memory(bitmap(info_header(1, 1, 32, 3), masks(0xFF00, 0xFF, 0, 0), {1, 2, 3, 4})),
            std::vector<uint32_t>{0x04030201});
}

TEST(BmpDecode, TopDownBitmapSavesBottomUp) {
  Bytes rows;
  for (uint8_t i = 0; i < 10; ++i) rows.u8(i).u8(0x40).u8(0x80).u8(0);  // 1 × 10, 24 bits: 4-byte rows
  std::vector<uint32_t> down = Codec::decode_memory(simple(1, -10, 24, rows.v));
  std::vector<uint32_t> up = Codec::decode_memory(simple(1, 10, 24, rows.v));
  for (uint32_t y = 0; y < 10; ++y) {
    EXPECT_EQ(down[y], 0xFF804000u | y);
    EXPECT_EQ(up[y], 0xFF804000u | (9 - y));
  }
  std::vector<uint8_t> saved = bmp::encode(down, 1, 10, 5);
  ASSERT_EQ(saved.size(), 54u + 40);
  EXPECT_EQ(Bytes().u32(10).v, std::vector<uint8_t>(saved.begin() + 22, saved.begin() + 26));
  EXPECT_EQ(saved[54], 9);  // the first stored row is the bottom one
  Probed again = Codec::probe_memory(saved);
  EXPECT_EQ(again.info.extra_text, "");
  EXPECT_EQ(Codec::decoded(again), down);
}

TEST(BmpDecode, IconTakesTheImageAfterTheDirectoryOnly) {
  // Three entries; the first image's header (height doubled for the mask) follows the directory,
  // then its rows, then a transparency mask and other images that are never read.
  std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  Bytes rest;
  rest.raw(rows).u32(0xFFFFFFFF).u32(0xFFFFFFFF).raw(info_header(16, 32, 8)).zeros(64);
  std::vector<uint8_t> ico = icon(1, 3, 2, 2, info_header(2, 4, 32), rest.v);
  Probed p = Codec::probe_memory(ico);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.image_count, 3);
  const std::vector<uint32_t> expected = {0x0C0B0A09, 0x100F0E0D, 0x04030201, 0x08070605};
  EXPECT_EQ(Codec::decoded(p), expected);

  // The file form reads the header from its offset (54, past the first 48 bytes).
  testing::TempFolder tmp;
  write_bytes(tmp.file("three.ico"), ico);
  Probed f = Codec::probe_path(tmp.file("three.ico"));
  ASSERT_NE(f.state, nullptr);
  EXPECT_EQ(f.info.image_count, 3);
  EXPECT_EQ(Codec::decoded(f), expected);

  // A 4-bit cursor: 16 colour-table entries, then the rows.
  std::vector<uint8_t> cur =
      icon(2, 1, 2, 1, info_header(2, 2, 4), Bytes().raw(test_palette(16)).u8(0x5C).zeros(3).v);
  EXPECT_EQ(Codec::decode_memory(cur), (std::vector<uint32_t>{colour(5), colour(12)}));
}

struct RleRow {
  const char* what;
  int32_t width, height;
  std::vector<uint8_t> codes;
  std::vector<uint32_t> indices;  // expected, top row first
};

void check_rle(uint16_t bits, const RleRow& r) {
  SCOPED_TRACE(r.what);
  uint32_t compression = bits == 8 ? 1 : 2;
  std::vector<uint8_t> file = bitmap(info_header(r.width, r.height, bits, compression,
                                                 static_cast<uint32_t>(r.codes.size())),
                                     test_palette(1 << bits), r.codes);
  std::vector<uint32_t> expected;
  for (uint32_t i : r.indices) expected.push_back(colour(i));
  EXPECT_EQ(Codec::decode_memory(file), expected);
}

TEST(BmpRle, EightBitCodes) {
  const RleRow rows[] = {
      {"runs and end of line", 3, 2, {3, 1, 0, 0, 2, 2, 1, 3, 0, 1}, {2, 2, 3, 1, 1, 1}},
      {"odd literal skips its pad byte", 4, 1, {0, 3, 5, 6, 7, 2, 1, 8, 0, 1}, {5, 6, 7, 8}},
      {"even literal has no pad", 4, 1, {0, 4, 5, 6, 7, 8, 0, 1}, {5, 6, 7, 8}},
      {"delta moves right and up the image", 3, 2, {0, 2, 1, 1, 2, 9, 0, 1}, {0, 9, 9, 0, 0, 0}},
      {"end of image early leaves entry 0", 3, 2, {1, 5, 0, 1}, {0, 0, 0, 5, 0, 0}},
      {"codes end without end of image", 3, 2, {2, 5}, {0, 0, 0, 5, 5, 0}},
      {"a full row then end of line", 4, 2, {4, 1, 0, 0, 4, 2, 0, 1}, {2, 2, 2, 2, 1, 1, 1, 1}},
      {"a run past the width carries into the next row", 2, 2, {6, 5, 0, 1}, {5, 5, 5, 5}},
      {"a run past the buffer is dropped", 2, 1, {200, 7, 200, 8}, {7, 7}},
      {"a literal past the buffer is dropped", 2, 1, {0, 6, 1, 2, 3, 4, 5, 6}, {1, 2}},
      {"a literal cut by the end of the data", 4, 1, {0, 5, 1, 2}, {1, 2, 0, 0}},
      {"delta past the last row", 2, 1, {0, 2, 0, 5, 1, 3}, {0, 0}},
      {"delta without its offsets", 2, 1, {0, 2}, {0, 0}},
  };
  for (const RleRow& r : rows) check_rle(8, r);
}

TEST(BmpRle, FourBitCodes) {
  const RleRow rows[] = {
      {"run alternates nibbles", 5, 1, {5, 0x12, 0, 1}, {1, 2, 1, 2, 1}},
      {"three-pixel literal, two bytes, no pad", 4, 1, {0, 3, 0x12, 0x30, 1, 0x44, 0, 1}, {1, 2, 3, 4}},
      {"five-pixel literal, three bytes and a pad", 6, 1, {0, 5, 0x12, 0x34, 0x50, 2, 1, 0x66, 0, 1},
       {1, 2, 3, 4, 5, 6}},
      {"run from an odd position", 4, 1, {1, 0x33, 3, 0x12, 0, 1}, {3, 1, 2, 1}},
      {"delta by half bytes", 4, 2, {0, 2, 3, 1, 1, 0x77, 0, 1}, {0, 0, 0, 7, 0, 0, 0, 0}},
      {"run past the buffer", 3, 1, {255, 0x9A}, {9, 10, 9}},
  };
  for (const RleRow& r : rows) check_rle(4, r);
}

TEST(BmpRle, FileFormReadsOnlyTheStatedCodeBytes) {
  // The image data size says 2: the file form stops after the first pair.
  std::vector<uint8_t> file = bitmap(info_header(3, 1, 8, 1, 2), test_palette(256), {1, 5, 2, 6, 0, 1});
  testing::TempFolder tmp;
  write_bytes(tmp.file("rle.bmp"), file);
  Probed p = Codec::probe_path(tmp.file("rle.bmp"));
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(Codec::decoded(p), (std::vector<uint32_t>{colour(5), colour(0), colour(0)}));
  EXPECT_EQ(Codec::decode_memory(file), (std::vector<uint32_t>{colour(5), colour(6), colour(6)}));
}

TEST(BmpDecode, AlphaPlaneOf32BitImagesOnly) {
  std::vector<uint8_t> file = simple(2, 2, 32, {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4});
  Probed p = Codec::probe_memory(file);
  std::vector<uint8_t> alpha(4, 0xAA);
  bmp::decode_alpha(*p.state, alpha);
  EXPECT_EQ(alpha, (std::vector<uint8_t>{3, 4, 1, 2}));

  std::vector<uint8_t> small(3, 0xAA);  // too small: nothing written
  bmp::decode_alpha(*p.state, small);
  EXPECT_EQ(small, std::vector<uint8_t>(3, 0xAA));
  std::vector<uint32_t> few(3, kUntouched);
  bmp::decode(*p.state, few);
  EXPECT_EQ(few, std::vector<uint32_t>(3, kUntouched));

  const std::vector<uint8_t> rgb_file = simple(2, 2, 24, std::vector<uint8_t>(16, 9));
  Probed rgb = Codec::probe_memory(rgb_file);
  bmp::decode_alpha(*rgb.state, alpha);
  EXPECT_EQ(alpha, (std::vector<uint8_t>{3, 4, 1, 2}));

  // Rows past the end of the data have alpha 0.
  const std::vector<uint8_t> short_file(file.begin(), file.end() - 8);
  Probed cut = Codec::probe_memory(short_file);
  bmp::decode_alpha(*cut.state, alpha);
  EXPECT_EQ(alpha, (std::vector<uint8_t>{0, 0, 1, 2}));
}

TEST(BmpWrite, HeadersAndPackedValues) {
  const std::vector<uint32_t> px(6, 0xFFFF8008);
  std::vector<uint8_t> f = bmp::encode(px, 3, 2, 2);
  ASSERT_EQ(f.size(), 86u);  // 70-byte header, two rows of 6 bytes padded to 8
  Bytes head;
  head.u8('B').u8('M').u32(86).u32(0).u32(70);
  head.raw(info_header(3, 2, 16, 3, 16)).raw(masks(0xF800, 0x7E0, 0x1F, 0));
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 70), head.v);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 70, f.begin() + 78),
            (std::vector<uint8_t>{1, 0xFC, 1, 0xFC, 1, 0xFC, 0, 0}));

  std::vector<uint8_t> plain = bmp::encode(px, 3, 2, 5);
  ASSERT_EQ(plain.size(), 54u + 24);
  EXPECT_EQ(std::vector<uint8_t>(plain.begin() + 14, plain.begin() + 54), info_header(3, 2, 24));
  EXPECT_EQ(plain[10], 54);

  struct Row {
    int32_t pixel_format;
    uint32_t pixel;
    std::vector<uint8_t> stored;
  };
  const Row rows[] = {
      {0, 0xFFFF8008, {0x01, 0x7E}},       {1, 0xFFFF8008, {0x01, 0xFE}}, {1, 0x00FF8008, {0x01, 0x7E}},
      {2, 0xFFFF8008, {0x01, 0xFC}},       {3, 0xFFFF8008, {0x80, 0x0F}}, {4, 0x7FFF8008, {0x80, 0x7F}},
      {5, 0xFFFF8008, {0x08, 0x80, 0xFF}}, {6, 0x7FFF8008, {0x08, 0x80, 0xFF, 0x7F}},
  };
  for (const Row& r : rows) {
    std::vector<uint32_t> one = {r.pixel};
    std::vector<uint8_t> file = bmp::encode(one, 1, 1, r.pixel_format);
    uint32_t offset = file[10];
    ASSERT_EQ(file.size(), offset + 4u) << r.pixel_format;
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + r.stored.size()), r.stored)
        << r.pixel_format;
  }
  EXPECT_TRUE(bmp::encode(px, 3, 2, 7).empty());
  EXPECT_TRUE(bmp::encode(px, 3, 2, -1).empty());
  EXPECT_TRUE(bmp::encode(px, 4, 2, 6).empty());  // fewer pixels than width × height
  EXPECT_TRUE(bmp::encode(px, -3, -2, 6).empty());
}

TEST(BmpWrite, RoundTripEveryLayout) {
  std::vector<uint32_t> px = {0x00000000, 0xFFFFFFFF, 0x80FF0000, 0x7F00FF00, 0x010000FF,
                              0xFE123456, 0x0F0F0F0F, 0xF0F0F0F0, 0x12ABCDEF, 0x00808080};
  std::mt19937 rng(7);
  while (px.size() < 35) px.push_back(static_cast<uint32_t>(rng()));  // 7 × 5: padded 16/24-bit rows
  struct Row {
    int32_t pixel_format;
    int tol_r, tol_g, tol_b;
    int (*alpha)(uint32_t a);  // the alpha that comes back; -1 to compare within 15
  };
  const Row rows[] = {
      {0, 8, 8, 8, [](uint32_t) { return 0; }},
      {1, 8, 8, 8, [](uint32_t a) { return a ? 255 : 0; }},
      {2, 8, 4, 8, [](uint32_t) { return 255; }},
      {3, 15, 15, 15, [](uint32_t) { return 0; }},
      {4, 15, 15, 15, [](uint32_t a) { return static_cast<int>(a >> 4) * 17; }},
      {5, 0, 0, 0, [](uint32_t) { return 255; }},
      {6, 0, 0, 0, [](uint32_t a) { return static_cast<int>(a); }},
  };
  testing::TempFolder tmp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    SaveRequest req;
    req.path = tmp.file("rt.bmp");
    req.pixel_format = r.pixel_format;
    ASSERT_EQ(bmp::save(px, 7, 5, req), 0);
    Probed p = Codec::probe_path(req.path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    std::vector<uint32_t> back = Codec::decoded(p);
    for (size_t i = 0; i < px.size(); ++i) {
      auto ch = [](uint32_t v, int s) { return static_cast<int>((v >> s) & 0xFF); };
      EXPECT_LE(std::abs(ch(back[i], 16) - ch(px[i], 16)), r.tol_r) << i;
      EXPECT_LE(std::abs(ch(back[i], 8) - ch(px[i], 8)), r.tol_g) << i;
      EXPECT_LE(std::abs(ch(back[i], 0) - ch(px[i], 0)), r.tol_b) << i;
      EXPECT_EQ(ch(back[i], 24), r.alpha(px[i] >> 24)) << i;
    }
  }
}

TEST(BmpWrite, FailedSavesTouchNothing) {
  testing::TempFolder tmp;
  std::vector<uint32_t> px(6, 0xFF102030);
  SaveRequest req;
  req.path = tmp.file("new.bmp");
  req.pixel_format = 7;
  EXPECT_EQ(bmp::save(px, 3, 2, req), 1);
  EXPECT_FALSE(file_exists(req.path));
  req.path = tmp.file("old.bmp");
  write_bytes(req.path, {1, 2, 3});
  EXPECT_EQ(bmp::save(px, 3, 2, req), 1);
  EXPECT_EQ(read_file(req.path), (std::vector<uint8_t>{1, 2, 3}));
  req.path.clear();
  req.pixel_format = 6;
  EXPECT_EQ(bmp::save(px, 3, 2, req), 1);
}

TEST(BmpHostile, ClaimsBeyondTheData) {
  testing::TempFolder tmp;
  // 1 × 32767 pixels claimed, 4 bytes present; the pixel offset of another claims 4 GiB.
  std::vector<uint8_t> tall = simple(1, -32767, 32, {1, 2, 3, 4});
  std::vector<uint8_t> far = bitmap(info_header(2, 1, 24), {}, {1, 2, 3, 4, 5, 6, 0, 0}, 0xFFFFFFF0);
  for (const auto& bytes : {tall, far}) {
    write_bytes(tmp.file("claim.bmp"), bytes);
    Probed forms[] = {Codec::probe_path(tmp.file("claim.bmp")), Codec::probe_memory(bytes)};
    for (Probed& p : forms) {
      ASSERT_NE(p.state, nullptr);
      std::vector<uint32_t> px = Codec::decoded(p);
      EXPECT_EQ(px.back(), bytes == tall ? 0u : 0xFF000000u);  // missing bytes read as zero
      if (bytes == tall) {
        EXPECT_EQ(px.front(), 0x04030201u);
      }
    }
  }
}

TEST(BmpHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  // Every row of the 1- and 4-bit seeds is the byte 0x5A: bits 01011 and nibbles 5, A, 5, A, 5.
  auto rows_of = [](std::vector<uint32_t> row, int count) {
    std::vector<uint32_t> px;
    for (int i = 0; i < count; ++i) px.insert(px.end(), row.begin(), row.end());
    return px;
  };
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  // In memory a bitmap needs its fields up to the bit count (at 28, after the 14-byte file header);
  // the fields after it that are missing read as zero. An icon's bit count follows a directory of
  // 6 + 2 × 16 bytes.
  const Seed seeds[] = {
      {bitmap(info_header(5, 3, 1), test_palette(2), std::vector<uint8_t>(12, 0x5A)),
       {5, 3, 30, rows_of({colour(0), colour(1), colour(0), colour(1), colour(1)}, 3)}},
      {bitmap(info_header(5, 3, 4), test_palette(16), std::vector<uint8_t>(12, 0x5A)),
       {5, 3, 30, rows_of({colour(5), colour(10), colour(5), colour(10), colour(5)}, 3)}},
      {bitmap(info_header(5, 3, 8, 1, 16), test_palette(256), {5, 1, 0, 3, 1, 2, 3, 0, 0, 2, 1, 1, 3, 4, 0, 1}),
       {5, 3, 30, {}}},
      {bitmap(info_header(5, 3, 4, 2, 12), test_palette(16), {5, 0x12, 0, 3, 0x12, 0x30, 0, 2, 1, 1, 0, 1}),
       {5, 3, 30, {}}},
      // 0xA5A5 as 4:4:4:4: every nibble times 17.
      {bitmap(info_header(5, 3, 16, 3), masks(0xF00, 0xF0, 0xF, 0xF000), std::vector<uint8_t>(36, 0xA5)),
       {5, 3, 30, std::vector<uint32_t>(15, 0xAA55AA55u)}},
      {simple(5, -3, 24, std::vector<uint8_t>(48, 0x33)), {5, 3, 30, std::vector<uint32_t>(15, 0xFF333333u)}},
      {icon(1, 2, 4, 2, info_header(4, 4, 32), std::vector<uint8_t>(40, 0x77)),
       {4, 2, 6 + 2 * 16 + 16, std::vector<uint32_t>(8, 0x77777777u)}},
  };
  std::mt19937 rng(1234);
  for (const Seed& seed : seeds) {
    // The file form around its 48-byte rule, the header ends, and inside the rows.
    const size_t n = seed.bytes.size();
    Codec::damaged_copies(seed.bytes, seed.truth, rng,
                          {.file_cuts = {0, 20, 47, 48, 53, 54, 62, 70, n / 2, n - 1, n}});
  }
}

}  // namespace
}  // namespace tesmo
