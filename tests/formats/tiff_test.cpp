// TIFF: files written by the TIFF library itself (grey, palette, RGB, YCbCr, CMYK, planar, several
// strips, tiles), the writer's three layouts read back, and cut files.
#include <gtest/gtest.h>

#include <map>
#include <tiffio.h>

#include "base/file_io.h"
#include "base/path.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

// What a test TIFF holds. `data` is every stored row (every plane's rows, plane after plane), each
// row padded to whole bytes, 16-bit samples in host order.
struct TiffContent {
  uint32_t width = 1;
  uint32_t height = 1;
  uint16_t bits = 8;
  uint16_t samples = 1;
  uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  uint16_t planar = PLANARCONFIG_CONTIG;
  uint16_t compression = COMPRESSION_NONE;
  uint32_t rows_per_strip = 0;  // 0: one strip
  bool tiled = false;
  std::vector<uint16_t> colour_map;  // red entries, then green, then blue
  std::vector<uint8_t> data;
};

size_t row_bytes(const TiffContent& s) {
  const size_t per_row = s.planar == PLANARCONFIG_SEPARATE ? 1 : s.samples;
  return (static_cast<size_t>(s.width) * per_row * s.bits + 7) / 8;
}

bool write_tiff(const std::u16string& path, const TiffContent& s) {
  TIFF* t = TIFFOpen(to_fs_path(path).c_str(), "w");
  if (!t) return false;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, s.width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, s.height);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, s.bits);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, s.samples);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, s.photometric);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, s.planar);
  TIFFSetField(t, TIFFTAG_COMPRESSION, s.compression);
  if (s.photometric == PHOTOMETRIC_YCBCR) TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
  if (!s.colour_map.empty()) {
    const size_t n = s.colour_map.size() / 3;
    std::vector<uint16_t> map = s.colour_map;
    TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
  }
  std::vector<uint8_t> data = s.data;
  bool ok = true;
  if (s.tiled) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(t)));
    ok = TIFFWriteEncodedTile(t, 0, tile.data(), static_cast<tmsize_t>(tile.size())) >= 0;
  } else {
    const uint32_t rows = s.rows_per_strip ? s.rows_per_strip : s.height;
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rows);
    const size_t stride = row_bytes(s);
    const uint32_t planes = s.planar == PLANARCONFIG_SEPARATE ? s.samples : 1;
    const uint32_t per_plane = (s.height + rows - 1) / rows;
    for (uint32_t p = 0; p < planes; ++p) {
      for (uint32_t k = 0; k < per_plane; ++k) {
        const uint32_t first = k * rows, count = std::min(rows, s.height - first);
        uint8_t* at = data.data() + (static_cast<size_t>(p) * s.height + first) * stride;
        ok = ok && TIFFWriteEncodedStrip(t, p * per_plane + k, at, static_cast<tmsize_t>(count * stride)) >= 0;
      }
    }
  }
  TIFFClose(t);
  return ok;
}

struct Probed {
  std::unique_ptr<ReaderState> state;
  ImageInfo info;
};

Probed probe_path(const std::u16string& path) {
  Probed p;
  ImageSource source;
  source.path = &path;
  p.state = tiff::probe(source, p.info, true).state;
  return p;
}

constexpr uint32_t kUntouched = 0xDEADBEEF;

std::vector<uint32_t> decoded(Probed& p) {
  std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
  if (p.state) tiff::decode(*p.state, px);
  return px;
}

std::vector<uint8_t> u16_host(std::initializer_list<uint16_t> v) {
  std::vector<uint8_t> out;
  for (uint16_t x : v) {
    out.push_back(static_cast<uint8_t>(x));
    out.push_back(static_cast<uint8_t>(x >> 8));
  }
  return out;
}

struct TagField {
  uint32_t count;
  uint32_t value;  // the first value of a SHORT or LONG field held in the entry
};

// The tags of the first directory of a little-endian file.
std::map<uint16_t, TagField> main_directory(const std::vector<uint8_t>& f) {
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(f.at(at) | f.at(at + 1) << 8); };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  EXPECT_EQ(u16(0), 0x4949u);
  std::map<uint16_t, TagField> tags;
  const size_t ifd = u32(4);
  for (size_t i = 0; i < u16(ifd); ++i) {
    const size_t e = ifd + 2 + 12 * i;
    tags[static_cast<uint16_t>(u16(e))] = {u32(e + 4), u16(e + 2) == 3 ? u16(e + 8) : u32(e + 8)};
  }
  return tags;
}

constexpr uint32_t grey(uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }

struct Case {
  const char* what;
  TiffContent content;
  int32_t pixel_format, model, bits, channels, alpha;
  const char* text;
  std::vector<uint32_t> expected;
};

TEST(TiffRead, LibraryFilesOfEveryKind) {
  TiffContent planar{2, 1, 8, 3, PHOTOMETRIC_RGB, PLANARCONFIG_SEPARATE};
  planar.data = {10, 11, 20, 21, 30, 31};  // red plane, green plane, blue plane
  TiffContent palette8{3, 1, 8, 1, PHOTOMETRIC_PALETTE};
  palette8.colour_map.assign(3 * 256, 0);
  palette8.colour_map[5] = 0x1234;              // red of entry 5: its high byte counts
  palette8.colour_map[256 + 5] = 0xABFF;        // green
  palette8.colour_map[512 + 5] = 0x00FF;        // blue
  palette8.colour_map[255] = 0xFFFF;
  palette8.data = {5, 0, 255};
  TiffContent palette4{4, 1, 4, 1, PHOTOMETRIC_PALETTE};
  palette4.colour_map.assign(3 * 16, 0);
  palette4.colour_map[15] = 0xFF00;
  palette4.colour_map[16 + 1] = 0x8000;
  palette4.data = {0xF1, 0x00};
  const Case cases[] = {
      {"grey 8", {3, 1, 8, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {0, 100, 255}}, -1, kModelGrey, 8, 1, 0,
       "Gray (256 colors)", {grey(0), grey(100), grey(255)}},
      {"grey 8 white is zero", {3, 1, 8, 1, PHOTOMETRIC_MINISWHITE, 1, 1, 0, false, {}, {0, 100, 255}}, -1,
       kModelGrey, 8, 1, 0, "Gray (256 colors)", {grey(255), grey(155), grey(0)}},
      {"grey 16: the top byte", {2, 1, 16, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, u16_host({0x12FF, 0xFF00})},
       -1, kModelGrey, 16, 1, 0, "Gray (16 bit)", {grey(0x12), grey(0xFF)}},
      {"grey 4", {4, 1, 4, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {0x1F, 0x80}}, -1, kModelGrey, 4, 1, 0,
       "Gray (16 colors)", {grey(17), grey(255), grey(136), grey(0)}},
      {"grey 2", {4, 1, 2, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {0b00'01'10'11}}, -1, kModelGrey, 2, 1, 0,
       "Gray (4 colors)", {grey(0), grey(85), grey(170), grey(255)}},
      {"palette 8", palette8, -1, kModelPalette, 8, 1, 0, "Palette RGB (256 colors)",
       {0xFF12AB00, 0xFF000000, 0xFFFF0000}},
      {"palette 4", palette4, -1, kModelPalette, 4, 1, 0, "Palette RGB (16 colors)",
       {0xFFFF0000, 0xFF008000, 0xFF000000, 0xFF000000}},
      {"RGB 8", {2, 1, 8, 3, PHOTOMETRIC_RGB, 1, 1, 0, false, {}, {1, 2, 3, 4, 5, 6}}, 1, kModelRgb, 24, 3, 0,
       "8:8:8 RGB (24 bit)", {0xFF010203, 0xFF040506}},
      {"RGBA 8", {1, 1, 8, 4, PHOTOMETRIC_RGB, 1, 1, 0, false, {}, {1, 2, 3, 4}}, 2, kModelRgb, 32, 4, 1,
       "8:8:8:8 RGBA (32 bit)", {0x04010203}},
      {"RGB 16", {1, 1, 16, 3, PHOTOMETRIC_RGB, 1, 1, 0, false, {}, u16_host({0x12FF, 0x3400, 0xFFFF})}, -1,
       kModelRgb, 48, 3, 0, "16:16:16 RGB (48 bit)", {0xFF1234FF}},
      {"RGB planar", planar, 1, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)", {0xFF0A141E, 0xFF0B151F}},
      // Y 100, Cb 200, Cr 50: blue 100 + 1.7718 × 72, green 100 − 0.3441 × 72 + 0.7139 × 78, red below 0.
      {"YCbCr", {2, 1, 8, 3, PHOTOMETRIC_YCBCR, 1, 1, 0, false, {}, {128, 128, 128, 100, 200, 50}}, 1, kModelRgb,
       24, 3, 0, "8:8:8 RGB (24 bit)", {grey(128), 0xFF0082E3}},
      {"CMYK 8", {2, 1, 8, 4, PHOTOMETRIC_SEPARATED, 1, 1, 0, false, {}, {0, 255, 128, 0, 0, 0, 0, 128}}, -1,
       kModelCmyk, 32, 4, 0, "8:8:8:8 CMYK (32 bit)", {0xFFFF007F, grey(127)}},
      {"CMYK 16", {1, 1, 16, 4, PHOTOMETRIC_SEPARATED, 1, 1, 0, false, {}, u16_host({0, 0xFFFF, 0x8000, 0})}, -1,
       kModelCmyk, 64, 4, 0, "16:16:16:16 CMYK (64 bit)", {0xFFFF007F}},
  };
  testing::TempFolder tmp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string path = tmp.file("a.tif");
    ASSERT_TRUE(write_tiff(path, c.content));
    Probed p = probe_path(path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, c.pixel_format);
    EXPECT_EQ(p.info.colour_model, c.model);
    EXPECT_EQ(p.info.bits, c.bits);
    EXPECT_EQ(p.info.channels, c.channels);
    EXPECT_EQ(p.info.has_alpha, c.alpha);
    EXPECT_EQ(p.info.width, static_cast<int32_t>(c.content.width));
    EXPECT_EQ(p.info.pixel_text, c.text);
    EXPECT_EQ(p.info.compression_text, "");
    EXPECT_EQ(decoded(p), c.expected);
  }
}

TEST(TiffRead, SeveralCompressedStripsInOrder) {
  TiffContent s{3, 5, 8, 1, PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 2};
  for (uint8_t i = 0; i < 15; ++i) s.data.push_back(static_cast<uint8_t>(i * 17));
  testing::TempFolder tmp;
  ASSERT_TRUE(write_tiff(tmp.file("s.tif"), s));
  Probed p = probe_path(tmp.file("s.tif"));
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.compression_text, "Lempel-Ziv  & Welch");
  std::vector<uint32_t> expected;
  for (uint32_t i = 0; i < 15; ++i) expected.push_back(grey(i * 17));
  EXPECT_EQ(decoded(p), expected);
}

TEST(TiffRead, DeclinesWhatItCannotUse) {
  TiffContent odd4{3, 1, 4, 1, PHOTOMETRIC_MINISBLACK};  // a 2-byte row: 16 / 3 = 5 bits per sample
  odd4.data = {0x12, 0x30};
  TiffContent tiled{16, 16, 8, 1, PHOTOMETRIC_MINISBLACK};
  tiled.tiled = true;
  TiffContent rgb1{1, 1, 8, 1, PHOTOMETRIC_RGB, 1, 1, 0, false, {}, {9}};
  TiffContent lab{1, 1, 8, 3, PHOTOMETRIC_CIELAB, 1, 1, 0, false, {}, {1, 2, 3}};
  TiffContent two{1, 1, 8, 2, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {1, 2}};
  TiffContent wide{32768, 1, 8, 1, PHOTOMETRIC_MINISBLACK};
  wide.data.assign(32768, 7);
  struct Row {
    const char* what;
    TiffContent content;
  };
  const Row rows[] = {
      {"1 bit", {8, 1, 1, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {0xA5}}},
      {"4 bits at width 3", odd4},
      {"tiled", tiled},
      {"RGB of one sample", rgb1},
      {"CIE L*a*b*", lab},
      {"two samples", two},
      {"wider than 32767", wide},
  };
  testing::TempFolder tmp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::u16string path = tmp.file("a.tif");
    ASSERT_TRUE(write_tiff(path, r.content));
    EXPECT_EQ(probe_path(path).state, nullptr);
  }
  EXPECT_EQ(probe_path(tmp.file("missing.tif")).state, nullptr);
  EXPECT_EQ(probe_path(tmp.folder()).state, nullptr);
}

TEST(TiffRead, MemorySourcesAreDeclined) {
  testing::TempFolder tmp;
  TiffContent s{1, 1, 8, 1, PHOTOMETRIC_MINISBLACK, 1, 1, 0, false, {}, {5}};
  ASSERT_TRUE(write_tiff(tmp.file("a.tif"), s));
  std::optional<std::vector<uint8_t>> bytes = read_file(tmp.file("a.tif"));
  ASSERT_TRUE(bytes);
  ImageSource source;
  source.memory = *bytes;
  ImageInfo info;
  EXPECT_EQ(tiff::probe(source, info, true), nullptr);
  ImageFile f = image_file_create(false);
  EXPECT_EQ(image_probe_memory(f, *bytes), 1);
  ImageFile g = image_file_create(false);
  EXPECT_EQ(image_probe(g, tmp.file("a.tif")), 0);
  EXPECT_EQ(g.info.format, kFormatTiff);
  image_file_close(g);
}

TEST(TiffRead, CutFilesAreDeclinedOrDecodeOnlyWhatIsThere) {
  testing::TempFolder tmp;
  TiffContent s{4, 6, 8, 3, PHOTOMETRIC_RGB, PLANARCONFIG_CONTIG, COMPRESSION_NONE, 2};
  for (size_t i = 0; i < 4 * 6 * 3; ++i) s.data.push_back(static_cast<uint8_t>(i));
  ASSERT_TRUE(write_tiff(tmp.file("full.tif"), s));
  std::optional<std::vector<uint8_t>> full = read_file(tmp.file("full.tif"));
  ASSERT_TRUE(full);
  Probed whole = probe_path(tmp.file("full.tif"));
  ASSERT_NE(whole.state, nullptr);
  const std::vector<uint32_t> expected = decoded(whole);
  for (size_t cut = 0; cut < full->size(); ++cut) {
    const std::u16string path = tmp.file("cut.tif");
    ASSERT_EQ(file_replace(path, std::span<const uint8_t>(full->data(), cut)), 0);
    Probed p = probe_path(path);
    if (!p.state) continue;
    const std::vector<uint32_t> px = decoded(p);
    for (size_t i = 0; i < px.size(); ++i) EXPECT_TRUE(px[i] == kUntouched || px[i] == expected[i]) << cut;
  }
}

TEST(TiffWrite, ThreeLayoutsReadBackWithDeflateInOneStrip) {
  const std::vector<uint32_t> pixels = {0x80102030, 0x00FFFFFF, 0xFF000000, 0x12345678, 0xFEDCBA98, 0x01020304};
  std::vector<uint32_t> grey_expected;
  for (uint32_t p : pixels) grey_expected.push_back(grey(grey_of(p)));
  std::vector<uint32_t> rgb_expected;
  for (uint32_t p : pixels) rgb_expected.push_back(p | 0xFF000000u);
  struct Row {
    int32_t pixel_format;
    uint16_t samples, photometric;
    std::vector<uint32_t> expected;
  };
  const Row rows[] = {{0, 1, PHOTOMETRIC_MINISBLACK, grey_expected},
                      {1, 3, PHOTOMETRIC_RGB, rgb_expected},
                      {2, 4, PHOTOMETRIC_RGB, pixels}};
  testing::TempFolder tmp;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    SaveRequest req;
    req.path = tmp.file("out.tif");
    req.format = kFormatTiff;
    req.pixel_format = r.pixel_format;
    ASSERT_EQ(image_save(pixels, 3, 2, req), 0);

    std::optional<std::vector<uint8_t>> file = read_file(req.path);
    ASSERT_TRUE(file);
    const std::map<uint16_t, TagField> tags = main_directory(*file);
    EXPECT_EQ(tags.at(259).value, 32946u);  // deflate
    EXPECT_EQ(tags.at(277).value, r.samples);
    EXPECT_EQ(tags.at(262).value, r.photometric);
    EXPECT_EQ(tags.at(284).value, 1u);  // contiguous
    EXPECT_EQ(tags.at(273).count, 1u);  // one strip
    EXPECT_EQ(tags.count(338), 0u);     // no ExtraSamples, even with four samples

    Probed p = probe_path(req.path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.compression_text, "Deflate compression");
    EXPECT_EQ(decoded(p), r.expected);
  }
  EXPECT_FALSE(tiff::encode(pixels, 3, 2, 3));
  EXPECT_FALSE(tiff::encode(pixels, 3, 3, 1));
  SaveRequest bad;
  bad.path = tmp.file("x/../out.tif");
  bad.format = kFormatTiff;
  bad.pixel_format = -1;
  EXPECT_EQ(image_save(pixels, 3, 2, bad), 1);
}

// Random damage anywhere: declined or decoded, never a crash or a read outside the data. An accepted
// copy has sides within the limits; a decode that reports no fault has written every pixel.
TEST(TiffRead, DamagedFilesNeverEndTheProcess) {
  testing::TempFolder tmp;
  TiffContent s{5, 4, 8, 3, PHOTOMETRIC_RGB, PLANARCONFIG_CONTIG, COMPRESSION_ADOBE_DEFLATE, 2};
  for (size_t i = 0; i < 5 * 4 * 3; ++i) s.data.push_back(static_cast<uint8_t>(i * 7));
  ASSERT_TRUE(write_tiff(tmp.file("good.tif"), s));
  const std::vector<uint8_t> good = *read_file(tmp.file("good.tif"));
  uint32_t seed = 3;
  auto next = [&] { return seed = seed * 1664525 + 1013904223; };
  const std::u16string path = tmp.file("bad.tif");
  for (int round = 0; round < 150; ++round) {
    std::vector<uint8_t> f = good;
    for (int k = 0; k < 1 + round % 3; ++k) f[4 + next() % (f.size() - 4)] = static_cast<uint8_t>(next() >> 24);
    ASSERT_EQ(file_replace(path, f), 0);
    Probed p = probe_path(path);
    if (!p.state) continue;
    ASSERT_TRUE(p.info.width >= 1 && p.info.width <= kMaxImageSide && p.info.height >= 1 &&
                p.info.height <= kMaxImageSide) << round;
    if (static_cast<int64_t>(p.info.width) * p.info.height > 4096 * 4096) continue;
    std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
    if (!tiff::decode(*p.state, px).empty()) continue;
    EXPECT_EQ(std::find(px.begin(), px.end(), kUntouched), px.end()) << round;
  }
}

}  // namespace
}  // namespace tesmo
