// TGA: recognition and rejection by header, decoding of every layout and orientation, run-length
// packets, the writer's four layouts, and hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/registry.h"
#include "formats/tga/tga.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct Head {
  uint8_t id_length = 0, map_type = 0, type = 2;
  uint16_t first_entry = 0, map_length = 0;
  uint8_t entry_bits = 0;
  uint16_t width = 2, height = 2;
  uint8_t bits = 24, descriptor = 0;
};

// Header + `rest` (ID field, colour map and pixels as given).
std::vector<uint8_t> tga(const Head& h, const std::vector<uint8_t>& rest = {}) {
  std::vector<uint8_t> v = {h.id_length,
                            h.map_type,
                            h.type,
                            uint8_t(h.first_entry),
                            uint8_t(h.first_entry >> 8),
                            uint8_t(h.map_length),
                            uint8_t(h.map_length >> 8),
                            h.entry_bits,
                            0, 0, 0, 0,  // origin
                            uint8_t(h.width),
                            uint8_t(h.width >> 8),
                            uint8_t(h.height),
                            uint8_t(h.height >> 8),
                            h.bits,
                            h.descriptor};
  v.insert(v.end(), rest.begin(), rest.end());
  return v;
}

Head head(uint8_t type, uint8_t bits, uint16_t w = 2, uint16_t h = 2, uint8_t descriptor = 0) {
  Head x;
  x.type = type;
  x.bits = bits;
  x.width = w;
  x.height = h;
  x.descriptor = descriptor;
  return x;
}

Head mapped(uint8_t type, uint8_t entry_bits, uint16_t length, uint16_t w = 2, uint16_t h = 2) {
  Head x = head(type, 8, w, h);
  x.map_type = 1;
  x.entry_bits = entry_bits;
  x.map_length = length;
  return x;
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<tga::probe, tga::decode>;

TEST(TgaProbe, EachAcceptedLayoutIsDescribed) {
  struct Row {
    const char* what;
    Head h;
    int32_t pixel_format, model, bits, channels, alpha;
    const char* pixel_text;
    const char* compression;
    const char* extra;
  };
  const Row rows[] = {
      {"grey", head(3, 8), 0, kModelGrey, 8, 1, 0, "Gray (256 colors)", "", ""},
      {"mapped, 24-bit entries", mapped(1, 24, 2), -1, kModelPalette, 8, 1, 0, "Palette RGB (256 colors)", "",
       ""},
      {"mapped, 32-bit entries, RLE", mapped(9, 32, 2), -1, kModelPalette, 8, 1, 1,
       "Palette ARGB (256 colors)", "Run-Length Encoded", ""},
      {"16 bits", head(2, 16), 1, kModelRgb, 16, 3, 0, "5:5:5 RGB (16 bit)", "", ""},
      {"24 bits, RLE", head(10, 24), 2, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)", "Run-Length Encoded", ""},
      {"32 bits, top-down", head(2, 32, 2, 2, 0x28), 3, kModelRgb, 32, 4, 1, "8:8:8:8 ARGB (32 bit)", "",
       "V-Flip"},
      {"descriptor bit 4 alone", head(2, 24, 2, 2, 0x10), 2, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)", "",
       ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::vector<uint8_t> bytes = tga(r.h);
    Probed p = Codec::probe_memory(bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.model);
    EXPECT_EQ(p.info.width, 2);
    EXPECT_EQ(p.info.height, 2);
    EXPECT_EQ(p.info.bits, r.bits);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, r.alpha);
    EXPECT_EQ(p.info.pixel_text, r.pixel_text);
    EXPECT_EQ(p.info.compression_text, r.compression);
    EXPECT_EQ(p.info.extra_text, r.extra);
    EXPECT_EQ(p.info.image_count, 0);
    Probed quiet = Codec::probe_memory(bytes, false);
    ASSERT_NE(quiet.state, nullptr);
    EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text + quiet.info.extra_text, "");
  }
}

TEST(TgaProbe, RejectsWhatNoLayoutDescribes) {
  Head grey_with_map = head(3, 8);
  grey_with_map.map_type = 1;
  Head mapped_without_map = mapped(1, 24, 2);
  mapped_without_map.map_type = 0;
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"header cut at 17 bytes", std::vector<uint8_t>(17, 0)},
      {"grey run-length type 11", tga(head(11, 8))},
      {"type 0 (no image)", tga(head(0, 24))},
      {"type 32", tga(head(32, 24))},
      {"grey declaring a colour map", tga(grey_with_map)},
      {"grey 16 bits", tga(head(3, 16))},
      {"mapped without a colour map", tga(mapped_without_map)},
      {"mapped, 15-bit entries", tga(mapped(1, 15, 2))},
      {"mapped, 16-bit entries", tga(mapped(9, 16, 2))},
      {"mapped 16 bits per pixel", tga(head(1, 16))},
      {"true colour 8 bits", tga(head(2, 8))},
      {"true colour 15 bits", tga(head(2, 15))},
      {"true colour 48 bits", tga(head(10, 48))},
      {"grey type with 24 bits", tga(head(3, 24))},
      {"width 0", tga(head(2, 24, 0, 2))},
      {"height 0", tga(head(2, 24, 2, 0))},
      {"width 32768", tga(head(2, 24, 32768, 2))},
      {"height 65535", tga(head(2, 24, 2, 65535))},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;  // a rejection leaves the record alone
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(tga::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
  // The largest side is accepted; a header alone is believed up to 2^20 pixels.
  const std::vector<uint8_t> wide = tga(head(3, 8, 32767, 32)), tall = tga(head(3, 8, 32, 32767));
  EXPECT_NE(Codec::probe_memory(wide).state, nullptr);
  EXPECT_NE(Codec::probe_memory(tall).state, nullptr);
}

TEST(TgaProbe, FileFormNeedsMoreThan18Bytes) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> one = tga(head(2, 24, 1, 1), {0x11, 0x22, 0x33});
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Row rows[] = {
      {"18 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 18), false},
      {"19 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 19), true},
      {"21 bytes", one, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    write_bytes(tmp.file("a.tga"), r.bytes);
    EXPECT_EQ(Codec::probe_path(tmp.file("a.tga")).state != nullptr, r.accepted);
    EXPECT_NE(Codec::probe_memory(r.bytes).state, nullptr);  // memory needs only the header
  }
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.tga")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.folder()).state, nullptr);

  // Cut after the blue byte: green and red read as zero.
  write_bytes(tmp.file("cut.tga"), std::vector<uint8_t>(one.begin(), one.begin() + 19));
  Probed cut = Codec::probe_path(tmp.file("cut.tga"));
  EXPECT_EQ(Codec::decoded(cut), std::vector<uint32_t>{0xFF000011u});
  // The file form reads only the bytes the header accounts for.
  std::vector<uint8_t> longer = one;
  longer.insert(longer.end(), 1000, 0xAB);
  write_bytes(tmp.file("long.tga"), longer);
  Probed whole = Codec::probe_path(tmp.file("long.tga"));
  ASSERT_NE(whole.state, nullptr);
  EXPECT_EQ(Codec::decoded(whole), std::vector<uint32_t>{0xFF332211u});
}

TEST(TgaDecode, EveryUncompressedLayout) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;  // top row first
  };
  // Stored bottom row first unless the descriptor has bit 5.
  const Row rows[] = {
      {"grey", tga(head(3, 8), {10, 20, 30, 40}), {0xFF1E1E1E, 0xFF282828, 0xFF0A0A0A, 0xFF141414}},
      {"24 bits, bottom-up", tga(head(2, 24), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
      {"24 bits, descriptor 0x20 keeps stored order",
       tga(head(2, 24, 2, 2, 0x20), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}},
      {"32 bits keep alpha", tga(head(2, 32, 2, 1), {1, 2, 3, 0, 5, 6, 7, 0x80}), {0x00030201, 0x80070605}},
      // 5:5:5: bit 15 ignored; 5-bit values scale by 255 / 31 rounded down (1 → 8, 16 → 131).
      {"16 bits", tga(head(2, 16, 4, 1), {0xFF, 0x7F, 0x00, 0x80, 0x21, 0x04, 0x00, 0x7C}),
       {0xFFFFFFFF, 0xFF000000, 0xFF080808, 0xFFFF0000}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(r.bytes), r.expected);
  }
}

TEST(TgaDecode, ColourMapsIdFieldAndFirstEntry) {
  // Two 24-bit entries after a 3-byte ID; the first-entry field says 5 but indices start at 0.
  Head h = mapped(1, 24, 2, 3, 1);
  h.id_length = 3;
  h.first_entry = 5;
  EXPECT_EQ(Codec::decode_memory(tga(h, {'a', 'b', 'c', 1, 2, 3, 4, 5, 6, 1, 0, 7})),
            (std::vector<uint32_t>{0xFF060504, 0xFF030201, 0xFF000000}));  // index 7: past the map
  // 32-bit entries carry alpha; an index past the map reads as zero bytes.
  EXPECT_EQ(Codec::decode_memory(tga(mapped(1, 32, 1, 2, 1), {1, 2, 3, 0x40, 0, 9})),
            (std::vector<uint32_t>{0x40030201, 0x00000000}));
  // A true-colour picture that carries a colour map: its pixels follow the map.
  Head rgb = head(2, 24, 1, 1);
  rgb.map_type = 1;
  rgb.map_length = 2;
  rgb.entry_bits = 15;  // 2 bytes per entry
  EXPECT_EQ(Codec::decode_memory(tga(rgb, {0xEE, 0xEE, 0xEE, 0xEE, 1, 2, 3})), std::vector<uint32_t>{0xFF030201});
  // Map type 0: the map fields are ignored.
  rgb.map_type = 0;
  EXPECT_EQ(Codec::decode_memory(tga(rgb, {1, 2, 3})), std::vector<uint32_t>{0xFF030201});
}

TEST(TgaRle, PacketsRunAcrossRowsAndAreCutAtTheEnd) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;
  };
  const Row rows[] = {
      {"a run across the row boundary, bottom-up",
       tga(head(10, 24, 3, 2), {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}),
       {0xFF030201, 0xFF060504, 0xFF090807, 0xFF030201, 0xFF030201, 0xFF030201}},
      {"the same, top-down", tga(head(10, 24, 3, 2, 0x20), {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}),
       {0xFF030201, 0xFF030201, 0xFF030201, 0xFF030201, 0xFF060504, 0xFF090807}},
      {"a literal across the row boundary",
       tga(head(10, 24, 2, 2, 0x20), {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x80, 0, 0, 0}),
       {0xFF030201, 0xFF060504, 0xFF090807, 0xFF000000}},
      {"a run past the last pixel is cut", tga(head(10, 32, 2, 1), {0xFF, 1, 2, 3, 4, 0x81, 9, 9, 9, 9}),
       {0x04030201, 0x04030201}},
      {"a literal past the last pixel is cut", tga(head(10, 16, 1, 1), {0x7F, 0x1F, 0x00, 0xE0, 0x03}),
       {0xFF0000FF}},
      {"the stream ends early: zero bytes", tga(head(10, 24, 2, 2, 0x20), {0x80, 1, 2, 3}),
       {0xFF030201, 0xFF000000, 0xFF000000, 0xFF000000}},
      {"32 bits end early: transparent", tga(head(10, 32, 2, 1), {0x00, 1, 2, 3, 4}), {0x04030201, 0}},
      {"a literal cut inside a pixel", tga(head(10, 24, 2, 1), {0x01, 1, 2, 3, 4}), {0xFF030201, 0xFF000004}},
      {"a run without its value", tga(head(10, 24, 2, 1), {0x81, 7}), {0xFF000007, 0xFF000007}},
      {"grey type 3 is never run-length", tga(head(3, 8, 2, 1), {0x81, 7}), {0xFF818181, 0xFF070707}},
      {"mapped run-length", tga(mapped(9, 24, 2, 3, 1), {1, 2, 3, 4, 5, 6, 0x81, 1, 0x00, 0}),
       {0xFF060504, 0xFF060504, 0xFF030201}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(r.bytes), r.expected);
  }
}

TEST(TgaRle, FileFormReadsTheWholeFile) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> bytes = tga(head(10, 24, 4, 1), {0x83, 1, 2, 3, 0x00, 0xEE, 0xEE});
  write_bytes(tmp.file("rle.tga"), bytes);
  Probed p = Codec::probe_path(tmp.file("rle.tga"));
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(Codec::decoded(p), std::vector<uint32_t>(4, 0xFF030201u));
}

TEST(TgaWrite, HeadersDescriptorsAndStoredValues) {
  struct Row {
    int32_t pixel_format;
    uint8_t type, bits, descriptor;
    std::vector<uint8_t> stored;  // of the pixel 0x7FFF8008 (alpha 7F, red FF, green 80, blue 08)
  };
  const Row rows[] = {
      {0, 3, 8, 0x28, {(151 * 255 + 77 * 128 + 28 * 8) >> 8}},
      {1, 2, 16, 0x21, {0x01, 0x7E}},
      {2, 2, 24, 0x20, {0x08, 0x80, 0xFF}},
      {3, 2, 32, 0x28, {0x08, 0x80, 0xFF, 0x7F}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    const std::vector<uint32_t> px(6, 0x7FFF8008);
    const std::vector<uint8_t> f = tga::encode(px, 3, 2, r.pixel_format);
    std::vector<uint8_t> expected = tga(head(r.type, r.bits, 3, 2, r.descriptor));
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), r.stored.begin(), r.stored.end());
    EXPECT_EQ(f, expected);
  }
  // Grey conversion: (151 R + 77 G + 28 B) >> 8.
  const std::vector<uint32_t> primaries = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  const std::vector<uint8_t> grey = tga::encode(primaries, 4, 1, 0);
  EXPECT_EQ(std::vector<uint8_t>(grey.begin() + 18, grey.end()), (std::vector<uint8_t>{150, 76, 27, 255}));

  const std::vector<uint32_t> px(6, 0);
  EXPECT_TRUE(tga::encode(px, 3, 2, 4).empty());
  EXPECT_TRUE(tga::encode(px, 3, 2, -1).empty());
  EXPECT_TRUE(tga::encode(px, 4, 2, 3).empty());  // fewer pixels than width × height
  EXPECT_TRUE(tga::encode(px, 0, 2, 3).empty());
  EXPECT_TRUE(tga::encode(px, -3, -2, 3).empty());
  EXPECT_TRUE(tga::encode(px, 65536, 1, 3).empty());
}

TEST(TgaWrite, SizeOver2GiBFails) {
  // 32767 × 16385 × 4 + 18 passes INT32_MAX; the check comes before anything is read or allocated.
  const std::vector<uint32_t> few(1);
  std::span<const uint32_t> claimed(few.data(), size_t{32767} * 16385);
  EXPECT_TRUE(tga::encode(claimed, 32767, 16385, 3).empty());
}

TEST(TgaWrite, RoundTripEveryLayout) {
  std::vector<uint32_t> px = {0x00000000, 0xFFFFFFFF, 0x80FF0000, 0x7F00FF00, 0x010000FF};
  std::mt19937 rng(11);
  while (px.size() < 35) px.push_back(static_cast<uint32_t>(rng()));  // 7 × 5
  testing::TempFolder tmp;
  for (int32_t pf = 0; pf < 4; ++pf) {
    SCOPED_TRACE(pf);
    SaveRequest req;
    req.path = tmp.file("rt.tga");
    req.pixel_format = pf;
    ASSERT_EQ(tga::save(px, 7, 5, req), 0);
    Probed p = Codec::probe_path(req.path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, pf);
    EXPECT_EQ(p.info.extra_text, "V-Flip");  // written top to bottom
    const std::vector<uint32_t> back = Codec::decoded(p);
    for (size_t i = 0; i < px.size(); ++i) {
      const uint32_t v = px[i];
      uint32_t expected = v;
      if (pf == 0) expected = 0xFF000000u | grey_of(v) * 0x010101u;
      if (pf == 1) {  // 5 bits per channel, and opaque although the descriptor announces alpha
        auto c = [&](int s) { return (((v >> s) & 0xFF) >> 3) * 255 / 31; };
        expected = 0xFF000000u | c(16) << 16 | c(8) << 8 | c(0);
      }
      if (pf == 2) expected = v | 0xFF000000u;
      EXPECT_EQ(back[i], expected) << i;
    }
  }
}

TEST(TgaWrite, FailedSavesTouchNothing) {
  testing::TempFolder tmp;
  const std::vector<uint32_t> px(6, 0xFF102030);
  SaveRequest req;
  req.path = tmp.file("new.tga");
  req.pixel_format = 4;
  EXPECT_EQ(tga::save(px, 3, 2, req), 1);
  EXPECT_FALSE(file_exists(req.path));
  req.path = tmp.file("old.tga");
  write_bytes(req.path, {1, 2, 3});
  EXPECT_EQ(tga::save(px, 3, 2, req), 1);
  EXPECT_EQ(read_file(req.path), (std::vector<uint8_t>{1, 2, 3}));
  req.path.clear();
  req.pixel_format = 3;
  EXPECT_EQ(tga::save(px, 3, 2, req), 1);
}

TEST(TgaRegistry, HeaderOnlyDataOpensAsTgaWhenNothingElseClaimsIt) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> bytes = tga(head(2, 24, 1, 1), {1, 2, 3});
  write_bytes(tmp.file("picture.png"), bytes);  // the name plays no part
  ImageFile f = image_file_create(true);
  ASSERT_EQ(image_probe(f, tmp.file("picture.png")), 0);
  EXPECT_EQ(f.info.format, kFormatTga);
  EXPECT_EQ(f.info.format_name, "TGA");
  EXPECT_EQ(f.info.extensions, "*.tga");
  std::vector<uint32_t> px(1);
  image_decode(f, px);
  EXPECT_EQ(px[0], 0xFF030201u);
  image_file_close(f);
}

TEST(TgaHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  Head with_id = mapped(9, 32, 3, 5, 3);
  with_id.id_length = 4;
  // Rows are stored from the bottom up (descriptor bit 5 clear) unless said otherwise.
  const uint32_t e0 = 0x09090909u, e1 = 0x08080808u, e2 = 0x07070707u;
  const uint32_t l[] = {0xFF030201u, 0xFF060504u, 0xFF090807u, 0xFF0C0B0Au, 0xFF0F0E0Du, 0xFF121110u};
  const uint32_t cut = 0xFF000504u;  // the run's value lacks its red byte: zero
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  const Seed seeds[] = {
      {tga(head(3, 8, 5, 3), std::vector<uint8_t>(15, 0x5A)), {5, 3, 18, std::vector<uint32_t>(15, 0xFF5A5A5Au)}},
      {tga(mapped(1, 24, 4, 5, 3), std::vector<uint8_t>(12 + 15, 0x02)),
       {5, 3, 18, std::vector<uint32_t>(15, 0xFF020202u)}},
      // Stored: a run of five entry-1 pixels, a literal 0, 1, 2, then entry 0 to the end.
      {tga(with_id, {1, 2, 3, 4, 9, 9, 9, 9, 8, 8, 8, 8, 7, 7, 7, 7, 0x84, 1, 0x02, 0, 1, 2, 0xFF, 0}),
       {5, 3, 18, {e0, e0, e0, e0, e0, e0, e1, e2, e0, e0, e1, e1, e1, e1, e1}}},
      // 0xA5A5 as 5:5:5: red 9, green 13, blue 5, each times 255 / 31.
      {tga(head(2, 16, 5, 3, 0x20), std::vector<uint8_t>(30, 0xA5)),
       {5, 3, 18, std::vector<uint32_t>(15, 0xFF4A6A29u)}},
      // A run of 4, a literal of 6, then a run past the end.
      {tga(head(10, 24, 5, 3),
           {0x83, 1, 2, 3, 0x05, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xFF, 4, 5}),
       {5, 3, 18, {cut, cut, cut, cut, cut, l[1], l[2], l[3], l[4], l[5], l[0], l[0], l[0], l[0], l[0]}}},
      // A literal of 128 with two values present: the rest is zero.
      {tga(head(10, 32, 5, 3), {0x7F, 1, 2, 3, 4, 5, 6, 7, 8}),
       {5, 3, 18, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04030201u, 0x08070605u, 0, 0, 0}}},
  };
  std::mt19937 rng(99);
  for (const Seed& seed : seeds) {
    const size_t n = seed.bytes.size();
    Codec::damaged_copies(seed.bytes, seed.truth, rng, {.file_cuts = {19, n / 2, n - 1}});
  }
  // A pixel buffer smaller than the picture is left alone.
  const std::vector<uint8_t> bytes = tga(head(2, 32, 2, 2), std::vector<uint8_t>(16, 1));
  Probed p = Codec::probe_memory(bytes);
  std::vector<uint32_t> few(3, kUntouched);
  tga::decode(*p.state, few);
  EXPECT_EQ(few, std::vector<uint32_t>(3, kUntouched));
}

TEST(TgaHostile, HugeClaimsWithLittleData) {
  // 32767 × 32 run-length pixels (within what a header alone may claim) from a 4-byte stream:
  // the rest is zero.
  const std::vector<uint8_t> bytes = tga(head(10, 32, 32767, 32, 0x20), {0x80, 1, 2, 3});
  Probed p = Codec::probe_memory(bytes);
  ASSERT_NE(p.state, nullptr);
  std::vector<uint32_t> px(size_t{32767} * 32, kUntouched);
  tga::decode(*p.state, px);
  EXPECT_EQ(px[0], 0x00030201u);  // the value's fourth byte is missing: zero
  EXPECT_EQ(px[1], 0u);
  EXPECT_EQ(px.back(), 0u);
}

}  // namespace
}  // namespace tesmo
