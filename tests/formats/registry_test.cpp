// The format table and the registry's queries, checked against the values a user sees.
#include "formats/registry.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "formats/bmp/bmp.h"
#include "formats/dds/dds.h"
#include "formats/fnt/fnt.h"
#include "formats/jab/jab.h"
#include "formats/jpeg/jpeg.h"
#include "formats/pcx/pcx.h"
#include "formats/pic/pic.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/sgi/sgi.h"
#include "formats/tga/tga.h"
#include "temp_folder.h"

#include <zlib.h>

namespace tesmo {
namespace {

TEST(Registry, FormatOrderIsAlphabeticalByNameAndEndsWithNone) {
  std::vector<std::string> names;
  for (int k = 0; format_at(k) != -1; ++k) names.push_back(format_name(format_at(k)));
  EXPECT_EQ(names, (std::vector<std::string>{"BMP", "DDS", "FNT", "JPEG and BMP", "JPEG", "PCX",
                                             "PIC / SOFTIMAGE", "PNG", "PSD / Photoshop", "SGI", "TGA",
                                             "TIFF"}));
  EXPECT_EQ(format_at(12), -1);
  EXPECT_EQ(format_at(31), -1);
  EXPECT_EQ(format_at(-1), -1);
}

TEST(Registry, OpenFilterListsEveryFormatThenAllFiles) {
  auto open = build_file_filter(false);
  ASSERT_EQ(open.size(), 14u);
  EXPECT_EQ(open.front().first, u"すべての画像");
  EXPECT_EQ(open.front().second,
            u"*.bmp;*.ico;*.cur;*.dds;*.fnt;*.jab;*.jpg;*.jpeg;*.pcx;*.pic;*.png;*.psd;*.sgi;*.rgb;*.rgba;"
            u"*.bw;*.tga;*.tif");
  EXPECT_EQ(open[1], (std::pair<std::u16string, std::u16string>{u"BMP (*.bmp, *.ico, *.cur)", u"*.bmp;*.ico;*.cur"}));
  EXPECT_EQ(open.back(), (std::pair<std::u16string, std::u16string>{u"すべてのファイル (*.*)", u"*.*"}));

  std::vector<std::u16string> save;
  for (const auto& [text, pattern] : build_file_filter(true)) save.push_back(pattern);
  EXPECT_EQ(save, (std::vector<std::u16string>{u"*.bmp;*.ico;*.cur", u"*.dds", u"*.fnt", u"*.jpg;*.jpeg", u"*.pcx",
                                               u"*.pic", u"*.png", u"*.sgi;*.rgb;*.rgba;*.bw", u"*.tga",
                                               u"*.tif"}));
}

TEST(Registry, SaveOptionsAndPixelFormats) {
  struct Case {
    int32_t format, count, default_index;
    uint32_t flags;
  };
  const Case cases[] = {{kFormatBmp, 7, 6, 0},         {kFormatDds, 9, 8, 0},   {kFormatJpeg, 3, 1, 0x1000000},
                        {kFormatPcx, 1, 0, 0},         {kFormatPng, 2, 1, 0},   {kFormatPic, 2, 1, 0x300000},
                        {kFormatSgi, 3, 2, 0},         {kFormatTga, 4, 3, 0},   {kFormatTiff, 3, 2, 0},
                        {kFormatFnt, 1, 0, 0},         {kFormatJab, 0, 0, 0},   {kFormatPsd, 0, -1, 0},
                        {3, 0, -1, 0},                 {-1, 0, -1, 0}};
  for (const Case& c : cases) {
    SaveOptions o = format_save_options(c.format);
    EXPECT_EQ(o.count, c.count) << c.format;
    EXPECT_EQ(o.default_index, c.default_index) << c.format;
    EXPECT_EQ(o.flags, c.flags) << c.format;
  }
  EXPECT_STREQ(format_pixel_format(kFormatBmp, 2).first, "5:6:5 RGB (16 bit)");
  EXPECT_EQ(format_pixel_format(kFormatDds, 2).second, 16);
  EXPECT_STREQ(format_pixel_format(kFormatJab, 0).first, "8:8:8:8 RGB (32 bit)");
  EXPECT_EQ(format_pixel_format(kFormatPsd, 0).first, nullptr);
  EXPECT_EQ(format_pixel_format(kFormatTiff, 3).first, nullptr);
}

TEST(Registry, PixelFormatForAlphaEveryRow) {
  struct Row {
    int32_t format;
    std::vector<int32_t> with, without;  // results for stored indices 0, 1, …
  };
  const Row rows[] = {
      {kFormatBmp, {1, 1, 1, 4, 4, 6, 6}, {0, 0, 2, 3, 3, 5, 5}},
      {kFormatDds, {2, 1, 2, 3, 4, 4, 4, 8, 8}, {0, 1, 0, 6, 6, 5, 6, 7, 7}},
      {kFormatPng, {1, 1}, {0, 0}},
      {kFormatPic, {1, 1}, {0, 0}},
      {kFormatSgi, {2, 2, 2}, {0, 1, 1}},
      {kFormatTga, {3, 3, 3, 3}, {0, 1, 2, 2}},
      {kFormatTiff, {2, 2, 2}, {0, 1, 1}},
      {kFormatJpeg, {0, 1, 2}, {0, 1, 2}},
      {kFormatPcx, {0}, {0}},
      {kFormatFnt, {0}, {0}},
  };
  for (const Row& r : rows) {
    for (size_t i = 0; i < r.with.size(); ++i) {
      ImageInfo info;
      info.format = r.format;
      info.pixel_format = static_cast<int32_t>(i);
      EXPECT_EQ(pixel_format_for_alpha(info, true), r.with[i]) << r.format << " " << i;
      EXPECT_EQ(pixel_format_for_alpha(info, false), r.without[i]) << r.format << " " << i;
    }
  }
  ImageInfo palette;
  palette.format = kFormatBmp;  // palette images keep −1: not writable as they are
  EXPECT_EQ(pixel_format_for_alpha(palette, true), -1);
  palette.pixel_format = 12;
  EXPECT_EQ(pixel_format_for_alpha(palette, false), 12);
  ImageInfo jab;
  jab.format = kFormatJab;
  jab.pixel_format = 5;
  EXPECT_EQ(pixel_format_for_alpha(jab, true), 0);
  ImageInfo none;
  none.pixel_format = 3;
  EXPECT_EQ(pixel_format_for_alpha(none, false), -1);
}

TEST(Registry, ExtensionLists) {
  EXPECT_EQ(format_extensions(kFormatSgi, -1), "*.sgi;*.rgb;*.rgba;*.bw");
  EXPECT_EQ(format_extensions(kFormatSgi, 2), "*.rgba");
  EXPECT_EQ(format_extensions(kFormatSgi, 4), "");
  EXPECT_EQ(format_extensions(kFormatBmp, 1), "*.ico");
  EXPECT_EQ(format_extensions(13, 0), "");
  EXPECT_STREQ(extension_entry(0), "*.bmp");
  EXPECT_STREQ(extension_entry(7), "*.jpeg");
  EXPECT_STREQ(extension_entry(17), "*.tif");
  EXPECT_STREQ(extension_entry(18), "");
  EXPECT_EQ(extension_entry_format(15), kFormatSgi);
}

TEST(Registry, NothingAcceptsRandomBytesAndSavesNeedAPathAndAWriter) {
  std::vector<uint8_t> noise(4096);
  uint32_t x = 12345;
  for (auto& b : noise) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  ImageFile f = image_file_create(true);
  EXPECT_EQ(image_probe_memory(f, noise), 1);
  EXPECT_EQ(f.format, kFormatNone);
  for (const auto& s : f.states) EXPECT_EQ(s, nullptr);

  std::vector<uint32_t> px(4, 0xFF00FF00u);
  SaveRequest r;
  r.format = kFormatBmp;
  r.pixel_format = 5;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);  // empty path
  r.path = u"/nonexistent-dir-for-tesmo/x.psd";
  r.format = kFormatPsd;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);
  r.format = 3;
  EXPECT_EQ(image_save(px, 2, 2, r), 1);
}

TEST(Registry, TextsAreCutWithoutSplittingCharacters) {
  EXPECT_EQ(fit_text("abcdef", 4), "abc");
  std::string sjis = utf16_to_cp932(u"あいう");  // six bytes
  EXPECT_EQ(fit_text(sjis, 4), sjis.substr(0, 2));
  EXPECT_EQ(fit_text(sjis, 7), sjis);
  EXPECT_EQ(fit_text("x", 0), "");
}

}  // namespace
}  // namespace tesmo

namespace tesmo {
namespace {

TEST(Registry, SaveAsPicksTheFormatFromTheTypedExtension) {
  const std::pair<std::u16string, int32_t> cases[] = {
      {u"/a/b.PNG", kFormatPng},  {u"x.jpeg", kFormatJpeg}, {u"x.Tif", kFormatTiff}, {u"x.rgba", kFormatSgi},
      {u"x.ico", kFormatBmp},     {u"x.psd", kFormatBmp},   {u"x.jab", kFormatBmp},   {u"noext", kFormatBmp},
      {u"dir.png/x", kFormatBmp}, {u"x.tiff", kFormatBmp},  {u"x.fnt", kFormatFnt},   {u"x.pic", kFormatPic},
  };
  for (const auto& [name, format] : cases) EXPECT_EQ(format_for_file_name(name), format);
}

// The pixel block a header may claim before the data proves it: 2^20 pixels on the header's word,
// beyond that only what the data could give at the coding's largest expansion.
TEST(RegistrySizeRule, BoundaryOfTheUnprovenBlock) {
  EXPECT_TRUE(picture_within_data(1024, 1024, 3u << 20, 0, 1));  // 2^20 pixels, no data
  EXPECT_FALSE(picture_within_data(1025, 1024, 3 * 1025 * 1024, 0, 1));
  EXPECT_TRUE(picture_within_data(1025, 1024, 3 * 1025 * 1024, 3 * 1025 * 1024, 1));
  EXPECT_FALSE(picture_within_data(1025, 1024, 3 * 1025 * 1024, 3 * 1025 * 1024 - 1, 1));
  EXPECT_TRUE(picture_within_data(1025, 1024, 3 * 1025 * 1024, 3 * 1025 * 16, 64));  // 1025 × 1024 × 3 / 64
  EXPECT_FALSE(picture_within_data(32767, 32767, uint64_t{32767} * 32767, 1u << 20, 1023));
}

std::vector<uint8_t> with_u16le(std::vector<uint8_t> b, size_t at, uint16_t v) {
  store_u32le(b, at, (load_u32le(b, at) & 0xFFFF0000u) | v);
  return b;
}
std::vector<uint8_t> with_u32le(std::vector<uint8_t> b, size_t at, uint32_t v) {
  store_u32le(b, at, v);
  return b;
}
std::vector<uint8_t> with_u16be(std::vector<uint8_t> b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v >> 8), b[at + 1] = static_cast<uint8_t>(v);
  return b;
}
std::vector<uint8_t> with_u32be(std::vector<uint8_t> b, size_t at, uint32_t v) {
  b = with_u16be(std::move(b), at, static_cast<uint16_t>(v >> 16));
  return with_u16be(std::move(b), at + 2, static_cast<uint16_t>(v));
}

// A PNG's header chunk with new sides and its CRC made anew (a bad CRC would refuse it anyway).
std::vector<uint8_t> png_with_sides(std::vector<uint8_t> b, uint32_t w, uint32_t h) {
  b = with_u32be(with_u32be(std::move(b), 16, w), 20, h);
  const uint32_t crc = static_cast<uint32_t>(crc32(0, b.data() + 12, 17));
  return with_u32be(std::move(b), 29, crc);
}

// A JPEG's frame header with new sides.
std::vector<uint8_t> jpeg_with_sides(std::vector<uint8_t> b, uint16_t w, uint16_t h) {
  for (size_t i = 2; i + 8 < b.size(); ++i) {
    if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) return with_u16be(with_u16be(b, i + 5, h), i + 7, w);
  }
  return {};
}

std::vector<uint8_t> psd_header(uint32_t w, uint32_t h, uint16_t compression, size_t data_bytes) {
  std::vector<uint8_t> out;
  ByteWriter o(out);
  o.bytes("8BPS", 4), o.u16be(1), o.zeros(6), o.u16be(3), o.u32be(h), o.u32be(w), o.u16be(8), o.u16be(3);
  o.u32be(0), o.u32be(0), o.u32be(0), o.u16be(compression);
  o.zeros(data_bytes);
  return out;
}

// A grey TIFF of one strip: `strip` bytes at offset 122, with the given compression.
std::vector<uint8_t> tiff_grey(uint32_t w, uint32_t h, uint16_t compression, size_t strip) {
  std::vector<uint8_t> out;
  ByteWriter o(out);
  o.bytes("II", 2), o.u16le(42), o.u32le(8), o.u16le(9);
  auto entry = [&](uint16_t tag, uint16_t type, uint32_t value) {
    o.u16le(tag), o.u16le(type), o.u32le(1);
    if (type == 3) o.u16le(static_cast<uint16_t>(value)), o.u16le(0);
    else o.u32le(value);
  };
  entry(256, 4, w), entry(257, 4, h), entry(258, 3, 8), entry(259, 3, compression), entry(262, 3, 1);
  entry(273, 4, 122), entry(277, 3, 1), entry(278, 4, h), entry(279, 4, static_cast<uint32_t>(strip));
  o.u32le(0);
  o.zeros(strip);
  return out;
}

// Every reader, header claiming 32767 × 32767 over a few bytes of data: refused from memory and
// from a file, before any pixel block is sized. Proven large pictures still open.
TEST(RegistrySizeRule, HugeClaimsNeedTheirData) {
  std::vector<uint32_t> px(16, 0xFF336699u);
  const uint16_t kHuge = 32767;
  const std::vector<uint8_t> jpeg = jpeg::encode(px, 4, 4, 1, 80, u"").value();
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t format;  // the format that opens it, or −1
    bool file_only;
  };
  std::vector<uint8_t> tga_rle = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 4, 24, 0x20};  // 2048 × 1024
  for (int i = 0; i < 2048 * 1024 / 128; ++i) tga_rle.insert(tga_rle.end(), {0xFF, 1, 2, 3});
  std::vector<uint8_t> big_bmp = bmp::encode(std::vector<uint32_t>(1025 * 1024, 0xFF102030u), 1025, 1024, 5);
  const std::vector<Row> rows = {
      {"BMP 24-bit", with_u32le(with_u32le(bmp::encode(px, 4, 4, 5), 18, kHuge), 22, kHuge), -1, false},
      {"BMP 1025 x 1024 with all its rows", big_bmp, kFormatBmp, false},
      {"BMP 1025 x 1024 one byte short", std::vector<uint8_t>(big_bmp.begin(), big_bmp.end() - 1), -1, false},
      {"BMP run-length", with_u32le(with_u32le(with_u32le(bmp::encode(px, 4, 4, 5), 18, kHuge), 22, kHuge), 30, 1), -1, false},
      {"TGA", with_u16le(with_u16le(tga::encode(px, 4, 4, 2), 12, kHuge), 14, kHuge), -1, false},
      {"TGA run-length 2048 x 1024 in 64 KiB", tga_rle, kFormatTga, false},
      {"TGA run-length, less than a 64th of the stored size", std::vector<uint8_t>(tga_rle.begin(), tga_rle.begin() + 18 + 32764), -1, false},
      {"PCX", with_u16le(with_u16le(pcx::encode(px, 4, 4, 0), 8, kHuge - 1), 10, kHuge - 1), -1, false},
      {"SGI", with_u16be(with_u16be(sgi::encode(px, 4, 4, 2), 6, kHuge), 8, kHuge), -1, false},
      {"PIC", with_u16be(with_u16be(pic::encode(px, 4, 4, 1, true), 88, kHuge), 90, kHuge), -1, false},
      {"DDS", with_u32le(with_u32le(dds::encode(px, 4, 4, 8), 12, kHuge), 16, kHuge), -1, false},
      {"FNT", with_u16le(with_u16le(fnt::encode(px, 4, 4, {1, 2, 3}), 16, kHuge), 18, kHuge), -1, false},
      {"JAB", with_u32le(with_u32le(jab::encode(jpeg, std::vector<uint8_t>(16, 9), 4, 4).value(), 8, kHuge), 12, kHuge), -1, false},
      {"PNG", png_with_sides(png::encode(px, 4, 4, 1).value(), kHuge, kHuge), -1, false},
      {"JPEG", jpeg_with_sides(jpeg, kHuge, kHuge), -1, true},
      {"PSD run-length", psd_header(30000, 30000, 1, 64), -1, true},
      {"PSD raw", psd_header(30000, 30000, 0, 64), -1, true},
      {"TIFF stored strip", tiff_grey(kHuge, kHuge, 1, 64), -1, true},
      {"TIFF deflated strip", tiff_grey(kHuge, kHuge, 8, 64), -1, true},
      {"TIFF 16 x 16 stored strip", tiff_grey(16, 16, 1, 256), kFormatTiff, true},
  };
  testing::TempFolder tmp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_FALSE(r.bytes.empty());
    if (!r.file_only) {
      ImageFile memory = image_file_create(false);
      image_probe_memory(memory, r.bytes);
      EXPECT_EQ(memory.format, r.format);
      image_file_close(memory);
    }
    const std::u16string path = tmp.file("image");
    ASSERT_EQ(file_replace(path, r.bytes), 0);
    ImageFile file = image_file_create(false);
    image_probe(file, path);
    EXPECT_EQ(file.format, r.format);
    image_file_close(file);
  }
}

}  // namespace
}  // namespace tesmo
