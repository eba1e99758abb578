// PIC images: header recognition, uncompressed and mixed run-length scanlines, the writer's
// grouping rules, round trips and hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/pic/pic.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct Packet {
  uint8_t chained, size, type, mask;
};

// Magic, version, comment, "PICT", sizes, aspect, fields, padding, then the packets and `data`.
std::vector<uint8_t> pic(uint16_t w, uint16_t h, std::vector<Packet> packets, const std::vector<uint8_t>& data,
                         uint16_t fields = 3) {
  std::vector<uint8_t> b = {0x53, 0x80, 0xF6, 0x34};
  b.resize(88, 0);
  b.insert(b.end(), {'P', 'I', 'C', 'T', uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 8), uint8_t(h), 0, 0, 0, 0,
                     uint8_t(fields >> 8), uint8_t(fields), 0, 0});
  for (const Packet& p : packets) b.insert(b.end(), {p.chained, p.size, p.type, p.mask});
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

const std::vector<Packet> kRgb = {{0, 8, 0, 0xE0}};
const std::vector<Packet> kRgba = {{1, 8, 0, 0xE0}, {0, 8, 0, 0x10}};
const std::vector<Packet> kRgbRle = {{0, 8, 2, 0xE0}};
const std::vector<Packet> kRgbaRle = {{1, 8, 2, 0xE0}, {0, 8, 2, 0x10}};

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<pic::probe, pic::decode>;

TEST(PicProbe, PacketsDecideTheLayout) {
  struct Row {
    const char* what;
    std::vector<Packet> packets;
    int32_t pixel_format;
    const char* compression;
  };
  const Row rows[] = {
      {"RGB", kRgb, 0, ""},
      {"RGB run-length", kRgbRle, 0, "Mixed Run-Length Encoded"},
      {"RGB then alpha", kRgba, 1, ""},
      {"RGB then alpha, run-length", kRgbaRle, 1, "Mixed Run-Length Encoded"},
      {"one packet with all four channels", {{0, 8, 0, 0xF0}}, 1, ""},
      {"masks are added", {{1, 8, 0, 0xC0}, {0, 8, 0, 0x30}}, 1, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<uint8_t> bytes = pic(3, 2, r.packets, {});
    Probed p = Codec::probe_memory(bytes);
    ASSERT_NE(p.state, nullptr);
    const bool alpha = r.pixel_format == 1;
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, kModelRgb);
    EXPECT_EQ(p.info.width, 3);
    EXPECT_EQ(p.info.height, 2);
    EXPECT_EQ(p.info.bits, alpha ? 32 : 24);
    EXPECT_EQ(p.info.channels, alpha ? 4 : 3);
    EXPECT_EQ(p.info.has_alpha, alpha ? 1 : 0);
    EXPECT_EQ(p.info.pixel_text, alpha ? "8:8:8:8 RGB (32 bit)" : "8:8:8 RGB (24 bit)");
    EXPECT_EQ(p.info.compression_text, r.compression);
    Probed quiet = Codec::probe_memory(bytes, false);
    EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text, "");
  }
}

TEST(PicProbe, RejectsWhatTheHeaderDoesNotAllow) {
  std::vector<uint8_t> bad_magic = pic(2, 2, kRgb, {});
  bad_magic[3] = 0x35;
  std::vector<uint8_t> bad_id = pic(2, 2, kRgb, {});
  bad_id[91] = 'X';
  const std::vector<uint8_t> good = pic(2, 2, kRgba, {});
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"magic", bad_magic},
      {"id", bad_id},
      {"width 0", pic(0, 2, kRgb, {})},
      {"height 0", pic(2, 0, kRgb, {})},
      {"width 32768", pic(32768, 2, kRgb, {})},
      {"height 65535", pic(2, 65535, kRgb, {})},
      {"fields 1 (one field)", pic(2, 2, kRgb, {}, 1)},
      {"channel size 16", pic(2, 2, {{0, 16, 0, 0xE0}}, {})},
      {"pure run-length", pic(2, 2, {{0, 8, 1, 0xE0}}, {})},
      {"type 3", pic(2, 2, {{0, 8, 3, 0xE0}}, {})},
      {"red and green only", pic(2, 2, {{0, 8, 0, 0xC0}}, {})},
      {"alpha only", pic(2, 2, {{0, 8, 0, 0x10}}, {})},
      {"RGB with an unknown bit", pic(2, 2, {{0, 8, 0, 0xE8}}, {})},
      {"second packet chained", pic(2, 2, {{1, 8, 0, 0xE0}, {1, 8, 0, 0x10}}, {})},
      {"second packet of 16 bits", pic(2, 2, {{1, 8, 0, 0xE0}, {0, 16, 0, 0x10}}, {})},
      {"packet types differ", pic(2, 2, {{1, 8, 0, 0xE0}, {0, 8, 2, 0x10}}, {})},
      {"masks add past 0xF0", pic(2, 2, {{1, 8, 0, 0xF0}, {0, 8, 0, 0x10}}, {})},
      {"second packet missing", std::vector<uint8_t>(good.begin(), good.begin() + 108)},
      {"cut inside the first packet", std::vector<uint8_t>(good.begin(), good.begin() + 107)},
      {"empty", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(pic::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
  // The largest side is accepted; a header alone is believed up to 2^20 pixels.
  const std::vector<uint8_t> wide = pic(32767, 32, kRgb, {}), tall = pic(32, 32767, kRgb, {});
  EXPECT_NE(Codec::probe_memory(wide).state, nullptr);
  EXPECT_NE(Codec::probe_memory(tall).state, nullptr);
}

TEST(PicProbe, FileFormNeedsMoreThan112Bytes) {
  testing::TempFolder tmp;
  // A 1 × 1 RGB picture written uncompressed is a 108-byte header and 3 bytes: 111, not reopened
  // from a file (the reader first takes 112 bytes, enough for two packets), though its bytes are
  // readable in memory.
  const std::vector<uint32_t> one = {0xFF102030};
  std::vector<uint8_t> small = pic::encode(one, 1, 1, 0, false);
  ASSERT_EQ(small.size(), 111u);
  write_bytes(tmp.file("one.pic"), small);
  EXPECT_EQ(Codec::probe_path(tmp.file("one.pic")).state, nullptr);
  EXPECT_EQ(Codec::decode_memory(small), one);
  // 112 bytes: still rejected; 113: read.
  small.push_back(0);
  write_bytes(tmp.file("112.pic"), small);
  EXPECT_EQ(Codec::probe_path(tmp.file("112.pic")).state, nullptr);
  small.push_back(0);
  write_bytes(tmp.file("113.pic"), small);
  Probed p = Codec::probe_path(tmp.file("113.pic"));
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(Codec::decoded(p), one);
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.pic")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.folder()).state, nullptr);
}

TEST(PicDecode, UncompressedScanlines) {
  // 2 × 2; each scanline: red, green, blue per pixel, then (with alpha) one byte per pixel.
  EXPECT_EQ(Codec::decode_memory(pic(2, 2, kRgb, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})),
            (std::vector<uint32_t>{0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C}));
  EXPECT_EQ(Codec::decode_memory(pic(2, 2, kRgba, {1, 2, 3, 4, 5, 6, 0x80, 0x81, 7, 8, 9, 10, 11, 12, 0, 0xFF})),
            (std::vector<uint32_t>{0x80010203, 0x81040506, 0x00070809, 0xFF0A0B0C}));
  // One packet naming all four channels: red, green, blue, alpha per pixel, from offset 108.
  EXPECT_EQ(Codec::decode_memory(pic(2, 1, {{0, 8, 0, 0xF0}}, {1, 2, 3, 0x40, 4, 5, 6, 0x50})),
            (std::vector<uint32_t>{0x40010203, 0x50040506}));
  // Bytes past the end read as zero: colour 0, alpha 0.
  EXPECT_EQ(Codec::decode_memory(pic(2, 2, kRgba, {1, 2, 3, 4, 5, 6, 0x80})),
            (std::vector<uint32_t>{0x80010203, 0x00040506, 0, 0}));
  EXPECT_EQ(Codec::decode_memory(pic(2, 1, kRgb, {1, 2, 3, 4})), (std::vector<uint32_t>{0xFF010203, 0xFF040000}));
}

TEST(PicDecode, MixedRunLengthCountForms) {
  struct Row {
    const char* what;
    uint16_t width;
    std::vector<Packet> packets;
    std::vector<uint8_t> codes;
    std::vector<uint32_t> expected;  // top scanline first
  };
  const uint32_t A = 0xFF0A0B0C, B = 0xFF141516, C = 0xFF1E1F20;
  const Row rows[] = {
      {"literal of 2 and a short run of 2", 4, kRgbRle, {1, 10, 11, 12, 20, 21, 22, 129, 30, 31, 32}, {A, B, C, C}},
      {"long run: 128, 16-bit count, pixel", 3, kRgbRle, {128, 0, 3, 10, 11, 12}, {A, A, A}},
      {"runs cut at the scanline end", 2, kRgbRle, {131, 10, 11, 12, 128, 1, 0, 20, 21, 22}, {A, A, B, B}},
      {"a cut literal uses only the pixels it keeps", 1, kRgbRle, {2, 10, 11, 12, 0, 20, 21, 22}, {A, B}},
      {"long run of 0 produces nothing", 1, kRgbRle, {128, 0, 0, 1, 2, 3, 0, 10, 11, 12}, {A}},
      {"alpha part after the colour part", 2, kRgbaRle, {129, 10, 11, 12, 1, 0x40, 0x50, 129, 20, 21, 22, 129, 0x60},
       {0x400A0B0C, 0x500A0B0C, 0x60141516, 0x60141516}},
      {"one packet with four channels", 2, {{0, 8, 2, 0xF0}}, {129, 10, 11, 12, 0x70}, {0x700A0B0C, 0x700A0B0C}},
      {"codes end early: zeros", 3, kRgbRle, {0, 10, 11, 12, 129, 20}, {A, 0xFF140000, 0xFF140000}},
      {"codes end before a scanline: zero alpha too", 1, kRgbaRle, {0, 10, 11, 12, 0, 0x33}, {0x330A0B0C, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const uint16_t height = static_cast<uint16_t>(r.expected.size() / r.width);
    EXPECT_EQ(Codec::decode_memory(pic(r.width, height, r.packets, r.codes)), r.expected);
  }
}

// The encoded bytes of one 24-bit scanline (the file minus its 108-byte header).
std::vector<uint8_t> packed_scanline(const std::vector<uint32_t>& row) {
  std::vector<uint8_t> file = pic::encode(row, static_cast<int32_t>(row.size()), 1, 0, true);
  return std::vector<uint8_t>(file.begin() + 108, file.end());
}

TEST(PicWrite, RunLengthGrouping) {
  const uint32_t A = 0xFF0A0B0C, B = 0xFF141516, C = 0xFF1E1F20;
  EXPECT_EQ(packed_scanline({A, A, B}), (std::vector<uint8_t>{129, 10, 11, 12, 0, 20, 21, 22}));
  EXPECT_EQ(packed_scanline({A, B, B, C}), (std::vector<uint8_t>{0, 10, 11, 12, 129, 20, 21, 22, 0, 30, 31, 32}));
  EXPECT_EQ(packed_scanline(std::vector<uint32_t>(200, A)), (std::vector<uint8_t>{128, 0x00, 0xC8, 10, 11, 12}));
  EXPECT_EQ(packed_scanline(std::vector<uint32_t>(128, A)), (std::vector<uint8_t>{128, 0x00, 0x80, 10, 11, 12}));
  EXPECT_EQ(packed_scanline(std::vector<uint32_t>(127, A)), (std::vector<uint8_t>{254, 10, 11, 12}));
  EXPECT_EQ(packed_scanline({A}), (std::vector<uint8_t>{0, 10, 11, 12}));
  // Alpha differences do not split the colour packet.
  EXPECT_EQ(packed_scanline({A, A & 0x00FFFFFF}), (std::vector<uint8_t>{129, 10, 11, 12}));

  // 130 different pixels: a literal of 128 (byte 127 and 384 bytes), then one of 2 (byte 1 and 6).
  std::vector<uint32_t> different;
  for (uint32_t i = 0; i < 130; ++i) different.push_back(0xFF000000 | i);
  std::vector<uint8_t> out = packed_scanline(different);
  ASSERT_EQ(out.size(), 1 + 384 + 1 + 6u);
  EXPECT_EQ(out[0], 127);
  EXPECT_EQ(out[385], 1);
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 386, out.end()), (std::vector<uint8_t>{0, 0, 128, 0, 0, 129}));
  // The pixel after a flushed 128-pixel literal starts a literal, even when it equals the last one.
  different.resize(128);
  different.push_back(different.back());
  out = packed_scanline(different);
  ASSERT_EQ(out.size(), 385 + 4u);
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + 385, out.end()), (std::vector<uint8_t>{0, 0, 0, 127}));

  // 32-bit: per scanline the colour packet, then the alpha packet grouped on alpha alone.
  std::vector<uint8_t> file = pic::encode(std::vector<uint32_t>{0x10000001, 0x10000002, 0x20000002}, 3, 1, 1, true);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 104, file.end()),
            (std::vector<uint8_t>{1, 8, 2, 0xE0, 0, 8, 2, 0x10,      // packets
                                  0, 0, 0, 1, 129, 0, 0, 2,          // colour: literal 1, run 2
                                  129, 0x10, 0, 0x20}));             // alpha: run 2, literal 1
}

TEST(PicWrite, UncompressedHeaderAndSizes) {
  const std::vector<uint32_t> px = {0x80102030, 0x40405060, 0xFF708090, 0x00A0B0C0, 0x01D0E0F0, 0x02010203};
  std::vector<uint8_t> rgb = pic::encode(px, 3, 2, 0, false);
  ASSERT_EQ(rgb.size(), 108 + 3 * 6u);
  EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 4), (std::vector<uint8_t>{0x53, 0x80, 0xF6, 0x34}));
  EXPECT_EQ(std::vector<uint8_t>(rgb.begin() + 4, rgb.begin() + 88), std::vector<uint8_t>(84, 0));
  EXPECT_EQ(std::vector<uint8_t>(rgb.begin() + 88, rgb.begin() + 111),
            (std::vector<uint8_t>{'P', 'I', 'C', 'T', 0, 3, 0, 2, 0, 0, 0, 0, 0, 3, 0, 0, 0, 8, 0, 0xE0, 0x10, 0x20, 0x30}));
  std::vector<uint8_t> rgba = pic::encode(px, 3, 2, 1, false);
  ASSERT_EQ(rgba.size(), 112 + 4 * 6u);
  EXPECT_EQ(std::vector<uint8_t>(rgba.begin() + 104, rgba.begin() + 124),
            (std::vector<uint8_t>{1, 8, 0, 0xE0, 0, 8, 0, 0x10, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80,
                                  0x90, 0x80, 0x40, 0xFF}));
  Probed p = Codec::probe_memory(rgba);
  EXPECT_EQ(p.info.compression_text, "");
  EXPECT_EQ(Codec::decoded(p), px);
}

TEST(PicWrite, RoundTrips) {
  // Noise, runs of every length around the 127/128 limits, and equal colours with changing alpha.
  const int32_t w = 300, h = 7;
  std::vector<uint32_t> px(size_t{w} * h);
  std::mt19937 rng(5);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t v = static_cast<uint32_t>(rng());
      if (y == 1) v = 0xFF000000u | static_cast<uint32_t>(x / 127);
      if (y == 2) v = static_cast<uint32_t>(x / 128) << 24 | 0x123456;
      if (y == 3) v = (x % 3 == 0) ? v : px[static_cast<size_t>(y * w + x - 1)];
      if (y == 4) v = 0x55667788;
      px[static_cast<size_t>(y * w + x)] = v;
    }
  }
  testing::TempFolder tmp;
  for (int32_t format : {0, 1}) {
    for (int compress : {0, 1}) {
      SCOPED_TRACE(format * 2 + compress);
      SaveRequest req;
      req.path = tmp.file("rt.pic");
      req.pixel_format = format;
      req.compress = compress;
      ASSERT_EQ(pic::save(px, w, h, req), 0);
      Probed p = Codec::probe_path(req.path);
      ASSERT_NE(p.state, nullptr);
      EXPECT_EQ(p.info.pixel_format, format);
      EXPECT_EQ(p.info.compression_text, compress ? "Mixed Run-Length Encoded" : "");
      std::vector<uint32_t> expected = px;
      if (format == 0) {
        for (uint32_t& v : expected) v |= 0xFF000000u;
      }
      EXPECT_EQ(Codec::decoded(p), expected);
    }
  }
}

TEST(PicWrite, FailedSavesTouchNothing) {
  testing::TempFolder tmp;
  std::vector<uint32_t> px(6, 0xFF102030);
  SaveRequest req;
  req.path = tmp.file("old.pic");
  write_bytes(req.path, {1, 2, 3});
  for (int32_t format : {2, -1}) {
    req.pixel_format = format;
    EXPECT_EQ(pic::save(px, 3, 2, req), 1);
  }
  req.pixel_format = 0;
  EXPECT_EQ(pic::save(px, 4, 2, req), 1);  // fewer pixels than width × height
  EXPECT_EQ(read_file(req.path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(pic::encode(std::vector<uint32_t>(65536), 65536, 1, 0, true).empty());  // 16-bit width field
  EXPECT_TRUE(pic::encode(px, -3, -2, 0, true).empty());
  req.path.clear();
  EXPECT_EQ(pic::save(px, 3, 2, req), 1);
}

TEST(PicHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  std::vector<uint32_t> px(5 * 4);
  std::mt19937 rng(77);
  for (size_t i = 0; i < px.size(); ++i) px[i] = i % 3 ? px[i - 1] : static_cast<uint32_t>(rng());
  std::vector<uint32_t> opaque = px;
  for (uint32_t& v : opaque) v |= 0xFF000000u;
  // A long run claiming 65535 pixels is cut at the end of its scanline; the codes then end.
  std::vector<uint32_t> expected(20, 0);
  std::fill(expected.begin(), expected.begin() + 5, 0x04010203u);
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  // The size ends the 104-byte header.
  const Seed seeds[] = {{pic::encode(px, 5, 4, 1, true), {5, 4, 104, px}},
                        {pic::encode(px, 5, 4, 1, false), {5, 4, 104, px}},
                        {pic::encode(px, 5, 4, 0, true), {5, 4, 104, opaque}},
                        {pic(5, 4, {{0, 8, 2, 0xF0}}, {128, 0xFF, 0xFF, 1, 2, 3, 4}), {5, 4, 104, expected}}};
  for (const Seed& seed : seeds) {
    Codec::damaged_copies(seed.bytes, seed.truth, rng, {.file_cuts = {113, seed.bytes.size() - 1}});
  }
}

}  // namespace
}  // namespace tesmo
