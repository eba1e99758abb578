// FNT: recognition and rejection, the header text in both directions, decoding, the writer, and
// hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/fnt/fnt.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

void put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  put16(v, at, uint16_t(x));
  put16(v, at + 2, uint16_t(x >> 16));
}

// Header (reserved fields 0xEE, which must not matter) + `pixels`.
std::vector<uint8_t> fnt(uint16_t w, uint16_t h, const std::vector<uint8_t>& pixels = {},
                         uint32_t code = 0x3042, uint16_t value1 = 12, uint16_t value2 = 16) {
  std::vector<uint8_t> v(32 + pixels.size(), 0xEE);
  const uint8_t start[] = {'Z', 'U', 'K', 0, 0, 0, 0, 1};
  std::copy(std::begin(start), std::end(start), v.begin());
  put32(v, 8, code);
  put16(v, 16, w);
  put16(v, 18, h);
  put16(v, 20, value1);
  put16(v, 22, value2);
  std::copy(pixels.begin(), pixels.end(), v.begin() + 32);
  return v;
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<fnt::probe, fnt::decode>;

TEST(FntProbe, DescribesThePictureAndItsHeaderText) {
  const std::vector<uint8_t> bytes = fnt(3, 2, {0, 1, 2, 3, 4, 5}, 0x00003042, 12, 16);
  Probed p = Codec::probe_memory(bytes);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.pixel_format, 0);
  EXPECT_EQ(p.info.colour_model, kModelGrey);
  EXPECT_EQ(p.info.width, 3);
  EXPECT_EQ(p.info.height, 2);
  EXPECT_EQ(p.info.bits, 8);
  EXPECT_EQ(p.info.channels, 1);
  EXPECT_EQ(p.info.has_alpha, 0);
  EXPECT_EQ(p.info.pixel_text, "Gray (256 colors)");
  EXPECT_EQ(p.info.compression_text, "");
  EXPECT_EQ(p.info.extra_text, "0x00003042 012 016");
  Probed quiet = Codec::probe_memory(bytes, false);
  ASSERT_NE(quiet.state, nullptr);
  EXPECT_EQ(quiet.info.pixel_text + quiet.info.extra_text, "");

  const std::vector<uint8_t> big = fnt(1, 1, {}, 0xABCDEF01, 65535, 7);
  EXPECT_EQ(Codec::probe_memory(big).info.extra_text, "0xABCDEF01 65535 007");
}

TEST(FntProbe, RejectsOtherSignaturesVersionsAndSizes) {
  auto with = [](size_t at, std::vector<uint8_t> patch) {
    std::vector<uint8_t> b = fnt(2, 2);
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<ptrdiff_t>(at));
    return b;
  };
  const std::vector<uint8_t> whole = fnt(2, 2);
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"header cut at 31 bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 31)},
      {"signature ZUJ", with(2, {'J'})},
      {"signature without its zero byte", with(3, {' '})},
      {"version 1 little-endian", with(4, {1, 0, 0, 0})},
      {"version 0", with(7, {0})},
      {"width 0", with(16, {0, 0})},
      {"height 0", with(18, {0, 0})},
      {"width 32768", with(16, {0x00, 0x80})},
      {"height 65535", with(18, {0xFF, 0xFF})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(fnt::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
}

TEST(FntProbe, FileFormNeedsMoreThan32BytesAndReadsWhatTheHeaderAnnounces) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> bytes = fnt(2, 2, {10, 20, 30, 40});
  write_bytes(tmp.file("32.fnt"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 32));
  EXPECT_EQ(Codec::probe_path(tmp.file("32.fnt")).state, nullptr);
  const std::vector<uint8_t> header_only(bytes.begin(), bytes.begin() + 32);
  EXPECT_NE(Codec::probe_memory(header_only).state, nullptr);

  // Cut after two pixels: the rest reads as zero.
  write_bytes(tmp.file("cut.fnt"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 34));
  Probed cut = Codec::probe_path(tmp.file("cut.fnt"));
  ASSERT_NE(cut.state, nullptr);
  EXPECT_EQ(Codec::decoded(cut), (std::vector<uint32_t>{0xFF0A0A0A, 0xFF141414, 0xFF000000, 0xFF000000}));
  // Rows from the top, each byte a grey pixel; bytes after the pixels are not read.
  std::vector<uint8_t> longer = bytes;
  longer.push_back(0x99);
  write_bytes(tmp.file("long.fnt"), longer);
  Probed f = Codec::probe_path(tmp.file("long.fnt"));
  EXPECT_EQ(Codec::decoded(f), (std::vector<uint32_t>{0xFF0A0A0A, 0xFF141414, 0xFF1E1E1E, 0xFF282828}));
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.fnt")).state, nullptr);
}

TEST(FntHeaderText, ParsedAtItsThreePositions) {
  struct Row {
    const char* text;
    bool ok;
    uint32_t code;
    uint16_t value1, value2;
  };
  const Row rows[] = {
      {"0x00003042 012 016", true, 0x3042, 12, 16},
      {"0X0000abCD 001 999", true, 0xABCD, 1, 999},
      {"0xFFFFFFFF 255 255", true, 0xFFFFFFFF, 255, 255},
      {"12345678ab 012 016", true, 12345678, 12, 16},       // no "0x": decimal, stops at 'a'
      {"0x00003042 012 016 and more", true, 0x3042, 12, 16},
      {"0x00003042 12345 016", true, 0x3042, 12345, 16},    // value 2 moves right past a long value 1
      {"0x00003042 65535 65535", true, 0x3042, 65535, 65535},
      {"0x00003042 12 0016", true, 0x3042, 12, 16},         // value 2 at 15 when value 1 is short
      {"0x00000000 012 016", false, 0, 0, 0},               // code 0
      {"0x00003042 000 016", false, 0, 0, 0},
      {"0x00003042 012 000", false, 0, 0, 0},
      {"0x00003042 012", false, 0, 0, 0},                   // value 2 missing
      {"0x00003042", false, 0, 0, 0},
      {"", false, 0, 0, 0},                                 // not opened from an FNT file
      {"V-Flip", false, 0, 0, 0},
      {"0x00003042 070000 016", false, 0, 0, 0},            // does not fit 16 bits
      {"0x1FFFFFFFF 012 016", false, 0, 0, 0},              // does not fit 32 bits
      {"0xZ0003042 012 016", false, 0, 0, 0},
      {"-1         012 016", false, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const std::optional<fnt::Header> h = fnt::parse_header_text(r.text);
    ASSERT_EQ(h.has_value(), r.ok);
    if (!h) continue;
    EXPECT_EQ(h->code, r.code);
    EXPECT_EQ(h->value1, r.value1);
    EXPECT_EQ(h->value2, r.value2);
  }
  // What the probe writes, the save reads back.
  const fnt::Header written[] = {{0x3042, 12, 16}, {1, 1000, 2}, {0xFFFFFFFF, 65535, 65535}};
  for (const fnt::Header& h : written) {
    const std::optional<fnt::Header> back = fnt::parse_header_text(fnt::header_text(h));
    ASSERT_TRUE(back.has_value()) << fnt::header_text(h);
    EXPECT_EQ(back->code, h.code);
    EXPECT_EQ(back->value1, h.value1);
    EXPECT_EQ(back->value2, h.value2);
  }
}

TEST(FntWrite, CodeAndValuesRoundTripAndPixelsAreGrey) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> original = fnt(2, 2, {0, 100, 200, 255}, 0x00003042, 12, 16);
  write_bytes(tmp.file("in.fnt"), original);
  ImageFile f = image_file_create(true);
  ASSERT_EQ(image_probe(f, tmp.file("in.fnt")), 0);
  EXPECT_EQ(f.info.format, kFormatFnt);
  EXPECT_EQ(f.info.format_name, "FNT");
  std::vector<uint32_t> px(4);
  image_decode(f, px);
  image_file_close(f);
  EXPECT_EQ(px, (std::vector<uint32_t>{0xFF000000, 0xFF646464, 0xFFC8C8C8, 0xFFFFFFFF}));

  px[0] = 0x00FF0000;  // recoloured: stored as its grey conversion, alpha dropped
  SaveRequest req;
  req.path = tmp.file("out.fnt");
  req.format = kFormatFnt;
  req.fnt_header_text = f.info.extra_text;
  ASSERT_EQ(image_save(px, 2, 2, req), 0);
  std::vector<uint8_t> expected = fnt(2, 2, {150, 100, 200, 255}, 0x00003042, 12, 16);
  std::fill(expected.begin() + 12, expected.begin() + 16, 0);  // reserved fields are written 0
  std::fill(expected.begin() + 24, expected.begin() + 32, 0);
  EXPECT_EQ(read_file(req.path), expected);

  Probed again = Codec::probe_path(req.path);
  EXPECT_EQ(again.info.extra_text, "0x00003042 012 016");
}

TEST(FntWrite, SavesThatMustFail) {
  testing::TempFolder tmp;
  const std::vector<uint32_t> px(4, 0xFF808080);
  SaveRequest req;
  req.path = tmp.file("x.fnt");
  req.fnt_header_text = "0x00003042 012 016";
  req.pixel_format = 1;
  EXPECT_EQ(fnt::save(px, 2, 2, req), 1);
  req.pixel_format = 0;
  req.fnt_header_text = "";  // a picture opened from a PNG file has no FNT header text
  EXPECT_EQ(fnt::save(px, 2, 2, req), 1);
  req.fnt_header_text = "0x00003042 012 016";
  EXPECT_EQ(fnt::save(px, 3, 2, req), 1);  // fewer pixels than the sides say
  EXPECT_FALSE(file_exists(req.path));
  EXPECT_EQ(fnt::save(px, 2, 2, req), 0);
  EXPECT_TRUE(fnt::encode(px, 0, 2, fnt::Header{1, 1, 1}).empty());
  EXPECT_TRUE(fnt::encode(px, 65536, 0, fnt::Header{1, 1, 1}).empty());
}

TEST(FntHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  const std::vector<uint8_t> seed = fnt(5, 3, std::vector<uint8_t>(15, 0x5A));
  std::mt19937 rng(8);
  Codec::damaged_copies(seed, {5, 3, 32, std::vector<uint32_t>(15, 0xFF5A5A5Au)}, rng);
  // A pixel buffer smaller than the picture is left alone.
  Probed p = Codec::probe_memory(seed);
  std::vector<uint32_t> few(14, kUntouched);
  fnt::decode(*p.state, few);
  EXPECT_EQ(few, std::vector<uint32_t>(14, kUntouched));
}

}  // namespace
}  // namespace tesmo
