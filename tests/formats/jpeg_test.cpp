// JPEG: the writer's three layouts read back within a tolerance, quantisation by quality, files
// written by the JPEG library itself (Adobe CMYK, progressive), the Exif carry-over, lossless
// rotations against an independently rotated decode, and cut or damaged streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include "base/file_io.h"
#include "base/text.h"
#include "formats/exif/exif.h"
#include "formats/jpeg/jpeg.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

// A smooth picture with distinct corners, so that flips and turns change it.
std::vector<uint32_t> picture(int w, int h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t r = static_cast<uint32_t>(x * 255 / (w - 1));
      const uint32_t g = static_cast<uint32_t>(y * 255 / (h - 1));
      const uint32_t b = static_cast<uint32_t>((x + 2 * y) * 255 / (w + 2 * h - 3));
      p[static_cast<size_t>(y) * w + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return p;
}

struct Probed {
  std::unique_ptr<ReaderState> state;
  ImageInfo info;
};

Probed probe_memory(const std::vector<uint8_t>& bytes) {
  Probed p;
  ImageSource source;
  source.memory = bytes;
  p.state = jpeg::probe(source, p.info, true).state;
  return p;
}
Probed probe_memory(std::vector<uint8_t>&&) = delete;

constexpr uint32_t kUntouched = 0xDEADBEEF;

std::vector<uint32_t> decoded(Probed& p) {
  std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
  if (p.state) jpeg::decode(*p.state, px);
  return px;
}

std::vector<uint32_t> decode_bytes(const std::vector<uint8_t>& bytes, int32_t* width = nullptr,
                                   int32_t* height = nullptr) {
  Probed p = probe_memory(bytes);
  EXPECT_NE(p.state, nullptr);
  if (width) *width = p.info.width;
  if (height) *height = p.info.height;
  return decoded(p);
}

// The largest difference of any channel (alpha included).
int max_difference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
    }
  }
  return worst;
}

std::vector<uint8_t> encode(const std::vector<uint32_t>& px, int w, int h, int pixel_format, int quality,
                            const std::u16string& exif_source = {}) {
  std::optional<std::vector<uint8_t>> bytes = jpeg::encode(px, w, h, pixel_format, quality, exif_source);
  EXPECT_TRUE(bytes);
  return bytes ? *bytes : std::vector<uint8_t>{};
}

// A JPEG written by the library from raw samples (`components` bytes per pixel).
std::vector<uint8_t> library_jpeg(const std::vector<uint8_t>& samples, int w, int h, J_COLOR_SPACE space,
                                  int components, bool progressive, int quality = 100) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + static_cast<size_t>(c.next_scanline) * w * components);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

TEST(JpegRoundTrip, EverySavableLayoutWithinTolerance) {
  const int w = 48, h = 32;
  const std::vector<uint32_t> px = picture(w, h);
  std::vector<uint32_t> grey_px;
  for (uint32_t p : px) grey_px.push_back(0xFF000000u | grey_of(p) * 0x010101u);
  struct Row {
    int32_t pixel_format, model, bits, channels;
    const char* text;
    const std::vector<uint32_t>& expected;
  };
  const Row rows[] = {{0, kModelGrey, 8, 1, "Gray (256 colors)", grey_px},
                      {1, kModelRgb, 24, 3, "8:8:8 RGB (24 bit)", px},
                      {2, kModelCmyk, 32, 4, "8:8:8:8 CMYK (32 bit)", px}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    std::vector<uint8_t> file = encode(px, w, h, r.pixel_format, 95);
    Probed p = probe_memory(file);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.model);
    EXPECT_EQ(p.info.bits, r.bits);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, 0);
    EXPECT_EQ(p.info.width, w);
    EXPECT_EQ(p.info.height, h);
    EXPECT_EQ(p.info.pixel_text, r.text);
    EXPECT_EQ(p.info.compression_text, "JPEG");
    EXPECT_LE(max_difference(decoded(p), r.expected), 8);
  }
}

TEST(JpegRoundTrip, CmykOfSaturatedColoursKeepsThem) {
  // Pure red, green, blue, white, black, a dark orange: inverted CMYK with K the brightest channel.
  const std::vector<uint32_t> colours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF804020};
  std::vector<uint32_t> px(64 * 8);
  for (size_t i = 0; i < px.size(); ++i) px[i] = colours[std::min<size_t>((i % 64) / 8, colours.size() - 1)];
  std::vector<uint8_t> file = encode(px, 64, 8, 2, 100);
  EXPECT_LE(max_difference(decode_bytes(file), px), 2);
}

// The 64 entries of quantisation table `id` in the stream, in stored (zigzag) order.
std::vector<int> quant_table(const std::vector<uint8_t>& f, int id) {
  for (size_t at = 2; at + 4 < f.size();) {
    if (f[at] != 0xFF) break;
    const size_t length = static_cast<size_t>(f[at + 2]) << 8 | f[at + 3];
    if (f[at + 1] == 0xDB) {
      for (size_t t = at + 4; t + 65 <= at + 2 + length; t += 65) {
        if ((f[t] & 0x0F) == id) return std::vector<int>(f.begin() + static_cast<ptrdiff_t>(t + 1), f.begin() + static_cast<ptrdiff_t>(t + 65));
      }
    }
    if (f[at + 1] == 0xDA) break;
    at += 2 + length;
  }
  return {};
}

TEST(JpegWrite, QualityScalesTheStandardTables) {
  const std::vector<uint32_t> px = picture(16, 16);
  // The standard luminance table's first entries in zigzag order: 16, 11, 12, 14, 12, 10.
  const std::vector<int> q50 = quant_table(encode(px, 16, 16, 1, 50), 0);
  ASSERT_EQ(q50.size(), 64u);
  EXPECT_EQ(std::vector<int>(q50.begin(), q50.begin() + 6), (std::vector<int>{16, 11, 12, 14, 12, 10}));
  EXPECT_EQ(quant_table(encode(px, 16, 16, 1, 50), 1)[0], 17);  // chrominance
  // Quality 75: scale 50, (value × 50 + 50) / 100.
  const std::vector<int> q75 = quant_table(encode(px, 16, 16, 1, 75), 0);
  EXPECT_EQ(std::vector<int>(q75.begin(), q75.begin() + 6), (std::vector<int>{8, 6, 6, 7, 6, 5}));
  // Quality 10: scale 500, limited to 255 (baseline).
  EXPECT_EQ(quant_table(encode(px, 16, 16, 1, 10), 0)[63], 255);
  EXPECT_EQ(quant_table(encode(px, 16, 16, 1, 100), 0), std::vector<int>(64, 1));
  EXPECT_EQ(quant_table(encode(px, 16, 16, 0, 100), 0), std::vector<int>(64, 1));
  EXPECT_EQ(encode(px, 16, 16, 1, 0), encode(px, 16, 16, 1, 1));
  EXPECT_EQ(encode(px, 16, 16, 1, -7), encode(px, 16, 16, 1, 1));
  EXPECT_EQ(encode(px, 16, 16, 1, 150), encode(px, 16, 16, 1, 100));
}

TEST(JpegWrite, RefusesWhatItCannotWrite) {
  const std::vector<uint32_t> px = picture(4, 4);
  EXPECT_FALSE(jpeg::encode(px, 4, 4, 3, 90, {}));
  EXPECT_FALSE(jpeg::encode(px, 4, 4, -1, 90, {}));
  EXPECT_FALSE(jpeg::encode(px, 4, 5, 1, 90, {}));
  EXPECT_FALSE(jpeg::encode(px, 0, 4, 1, 90, {}));
  SaveRequest r;
  r.format = kFormatJpeg;
  r.pixel_format = 1;
  EXPECT_EQ(image_save(px, 4, 4, r), 1);  // no path
}

TEST(JpegRead, AdobeCmykFromTheLibrary) {
  // Two flat 8 × 8 blocks at quality 100: C = M = Y = K = 255 (white), and C 0, M 128, Y 255, K 200.
  std::vector<uint8_t> samples;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint8_t v[4] = {0, 128, 255, 200};
      for (int c = 0; c < 4; ++c) samples.push_back(x < 8 ? 255 : v[c]);
    }
  }
  std::vector<uint8_t> file = library_jpeg(samples, 16, 8, JCS_CMYK, 4, false);
  Probed p = probe_memory(file);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.pixel_format, 2);
  EXPECT_EQ(p.info.colour_model, kModelCmyk);
  // red = K − (255 − C) × K / 255: 200 − 200 = 0; green 200 − 127 × 200 / 255 = 101; blue 200.
  const std::vector<uint32_t> px = decoded(p);
  EXPECT_EQ(px[0], 0xFFFFFFFFu);
  EXPECT_EQ(px[8], 0xFF0065C8u);
  EXPECT_EQ(px[16 * 8 - 1], 0xFF0065C8u);
}

TEST(JpegRead, ProgressiveAndGreyFilesFromTheLibrary) {
  std::vector<uint8_t> grey(24 * 16);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i % 24 * 10);
  std::vector<uint8_t> file = library_jpeg(grey, 24, 16, JCS_GRAYSCALE, 1, true);
  Probed p = probe_memory(file);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.compression_text, "Progressive JPEG");
  EXPECT_EQ(p.info.pixel_format, 0);
  std::vector<uint32_t> expected;
  for (uint8_t v : grey) expected.push_back(0xFF000000u | v * 0x010101u);
  EXPECT_LE(max_difference(decoded(p), expected), 3);
}

TEST(JpegRead, OnlyFilesAndLengthedMemory) {
  testing::TempFolder tmp;
  const std::vector<uint32_t> px = picture(8, 8);
  std::vector<uint8_t> file = encode(px, 8, 8, 1, 90);
  const std::u16string path = tmp.file("a.jpg");
  ASSERT_EQ(file_replace(path, file), 0);
  ImageFile from_file = image_file_create(true);
  ASSERT_EQ(image_probe(from_file, path), 0);
  EXPECT_EQ(from_file.info.format, kFormatJpeg);
  EXPECT_EQ(from_file.info.format_name, "JPEG");
  EXPECT_EQ(from_file.info.extensions, "*.jpg;*.jpeg");
  std::vector<uint32_t> out(64);
  image_decode(from_file, out);
  EXPECT_EQ(out, decode_bytes(file));
  image_file_close(from_file);

  ImageFile from_memory = image_file_create(true);
  EXPECT_EQ(image_probe_memory(from_memory, file), 1);
  ImageSource empty;
  empty.memory = std::span<const uint8_t>(file.data(), 0);
  ImageInfo info;
  EXPECT_EQ(jpeg::probe(empty, info, true), nullptr);
}

TEST(JpegRead, RejectsHeadersItCannotUse) {
  const std::vector<uint8_t> good = encode(picture(8, 8), 8, 8, 1, 90);
  // The frame header (FF C0): length, precision, height, width.
  size_t sof = 0;
  for (size_t i = 2; i + 1 < good.size(); ++i) {
    if (good[i] == 0xFF && good[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  auto sized = [&](uint16_t w, uint16_t h) {
    std::vector<uint8_t> b = good;
    b[sof + 5] = static_cast<uint8_t>(h >> 8);
    b[sof + 6] = static_cast<uint8_t>(h);
    b[sof + 7] = static_cast<uint8_t>(w >> 8);
    b[sof + 8] = static_cast<uint8_t>(w);
    return b;
  };
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"width 40000", sized(40000, 8)},
      {"height 32768", sized(8, 32768)},
      {"width 0", sized(0, 8)},
      {"start marker only", {0xFF, 0xD8}},
      {"not a JPEG", {'B', 'M', 0, 0, 0, 0}},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(sof + 4))},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(jpeg::probe(source, info, true), nullptr);
  }
  const std::vector<uint8_t> largest = sized(32767, 8);
  EXPECT_NE(probe_memory(largest).state, nullptr);  // the header alone is read
}

// Where the start-of-scan segment begins; the entropy-coded data follows it.
struct Scan {
  size_t marker = 0;
  size_t data = 0;
};
Scan scan_of(const std::vector<uint8_t>& f) {
  for (size_t at = 2; at + 4 < f.size();) {
    const size_t length = static_cast<size_t>(f[at + 2]) << 8 | f[at + 3];
    if (f[at + 1] == 0xDA) return {at, at + 2 + length};
    at += 2 + length;
  }
  return {f.size(), f.size()};
}

TEST(JpegRead, CutAndDamagedStreamsNeverEndTheProcess) {
  const int w = 32, h = 48;
  const std::vector<uint8_t> good = encode(picture(w, h), w, h, 1, 90);
  const std::vector<uint32_t> full = decode_bytes(good);
  const Scan scan = scan_of(good);
  const size_t data = scan.data;
  ASSERT_LT(data, good.size());
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut));
    Probed p = probe_memory(part);
    // The header alone decides (a scan header cut in its last bytes is padded by the library).
    if (cut < scan.marker) {
      EXPECT_EQ(p.state, nullptr) << cut;
    }
    if (cut >= data) {
      EXPECT_NE(p.state, nullptr) << cut;
    }
    if (!p.state) continue;
    const std::vector<uint32_t> px = decoded(p);  // the library pads a cut stream
    if (cut >= good.size() - 2) {
      EXPECT_EQ(px, full);
    }
    // Cut in the last third of the data: the first coding-unit row is as in the whole file.
    if (cut > data + (good.size() - data) * 2 / 3) {
      EXPECT_TRUE(std::equal(px.begin(), px.begin() + 8 * w, full.begin())) << cut;
    }
  }
  // Scrambled entropy-coded data after an intact header.
  std::vector<uint8_t> scrambled = good;
  uint32_t seed = 12345;
  for (size_t i = data; i + 2 < scrambled.size(); ++i) {
    seed = seed * 1103515245 + 12345;
    scrambled[i] = static_cast<uint8_t>(seed >> 16);
  }
  Probed p = probe_memory(scrambled);
  ASSERT_NE(p.state, nullptr);
  decoded(p);
}

// A JPEG file beginning with an Exif APP1 segment: sizes 1 × 1 in the main section (width as a
// SHORT, height as a LONG), orientation 6, a sub section with PixelXDimension only, and two marker
// bytes ("ZZ") closing the segment. Then `rest` (a stream without its start marker, or nothing).
std::vector<uint8_t> exif_file(const std::vector<uint8_t>& rest) {
  std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0,
                               4, 0,                                   // four entries
                               0x00, 0x01, 3, 0, 1, 0, 0, 0, 1, 0, 0, 0,      // 256 SHORT 1
                               0x01, 0x01, 4, 0, 1, 0, 0, 0, 1, 0, 0, 0,      // 257 LONG 1
                               0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,      // 274 SHORT 6
                               0x69, 0x87, 4, 0, 1, 0, 0, 0, 62, 0, 0, 0,     // 34665 → 62
                               0, 0, 0, 0,                                    // no thumbnail
                               1, 0,                                          // at 62: one entry
                               0x02, 0xA0, 4, 0, 1, 0, 0, 0, 1, 0, 0, 0,      // 40962 LONG 1
                               0, 0, 0, 0, 'Z', 'Z'};
  const size_t length = 2 + 6 + tiff.size();
  std::vector<uint8_t> f;
  f.reserve(12 + tiff.size() + rest.size());
  for (uint8_t b : std::initializer_list<uint8_t>{0xFF, 0xD8, 0xFF, 0xE1, static_cast<uint8_t>(length >> 8),
                                                  static_cast<uint8_t>(length), 'E', 'x', 'i', 'f', 0, 0}) {
    f.push_back(b);
  }
  f.insert(f.end(), tiff.begin(), tiff.end());
  f.insert(f.end(), rest.begin(), rest.end());
  return f;
}

std::vector<std::string> exif_values(const std::vector<uint8_t>& file) {
  std::vector<ExifRow> rows;
  EXPECT_EQ(exif_read_bytes(file, rows), 0);
  std::vector<std::string> values;
  for (const ExifRow& r : rows) values.push_back(utf16_to_utf8(cp932_to_utf16(r.value)));
  return values;
}

TEST(JpegWrite, ExifOfTheSourceFileIsCarriedOverWithTheNewSizes) {
  testing::TempFolder tmp;
  const std::u16string source = tmp.file("source.jpg");
  const std::vector<uint8_t> source_bytes = exif_file({0xFF, 0xD9});
  ASSERT_EQ(file_replace(source, source_bytes), 0);
  const size_t segment = source_bytes.size() - 2;  // start marker and the whole APP1 segment

  const std::vector<uint32_t> px = picture(20, 10);
  SaveRequest r;
  r.path = tmp.file("out.jpg");
  r.format = kFormatJpeg;
  r.pixel_format = 1;
  r.quality = 90;
  r.exif_source = source;
  ASSERT_EQ(image_save(px, 20, 10, r), 0);
  std::optional<std::vector<uint8_t>> out = read_file(r.path);
  ASSERT_TRUE(out);
  const std::vector<uint8_t> plain = encode(px, 20, 10, 1, 90);
  // The plain stream starts with its start marker and an 18-byte JFIF segment, which the carried
  // block replaces; the rest of the stream is the same.
  ASSERT_EQ(plain[3], 0xE0);
  EXPECT_EQ(out->size(), segment + plain.size() - 2 - 18);
  EXPECT_EQ((*out)[segment - 2], 'Z');  // the segment's last bytes are kept
  EXPECT_EQ((*out)[segment - 1], 'Z');
  EXPECT_TRUE(std::equal(out->begin() + static_cast<ptrdiff_t>(segment), out->end(), plain.begin() + 20));
  EXPECT_EQ(exif_values(*out), (std::vector<std::string>{"", "20 ピクセル", "10 ピクセル", "右に 90 度回転",
                                                         "62 バイト (0x0000003E)", "", "", "20 ピクセル"}));
  EXPECT_EQ(decode_bytes(*out), decode_bytes(plain));

  // Saving over the source itself keeps its block.
  r.exif_source = r.path;
  ASSERT_EQ(image_save(picture(24, 8), 24, 8, r), 0);
  std::optional<std::vector<uint8_t>> again = read_file(r.path);
  ASSERT_TRUE(again);
  EXPECT_EQ(exif_values(*again)[1], "24 ピクセル");
  EXPECT_EQ(exif_values(*again)[3], "右に 90 度回転");

  // A source that is a PNG, that is missing, or whose Exif segment is cut: a plain JFIF file.
  const std::u16string cut = tmp.file("cut.jpg");
  ASSERT_EQ(file_replace(cut, std::span<const uint8_t>(source_bytes.data(), segment - 1)), 0);
  const std::u16string previous_png = tmp.file("previous.png");
  SaveRequest png_request;
  png_request.path = previous_png;
  png_request.format = kFormatPng;
  ASSERT_EQ(image_save(px, 20, 10, png_request), 0);
  for (const std::u16string& s : {previous_png, cut, tmp.file("missing.jpg")}) {
    EXPECT_EQ(encode(px, 20, 10, 1, 90, s), plain);
  }
}

// The picture turned as transform `code` turns it.
std::vector<uint32_t> turned(const std::vector<uint32_t>& px, int w, int h, int code, int& tw, int& th) {
  const bool swap = code == 3 || code == 4 || code == 5 || code == 7;
  tw = swap ? h : w;
  th = swap ? w : h;
  std::vector<uint32_t> out(px.size());
  for (int y = 0; y < th; ++y) {
    for (int x = 0; x < tw; ++x) {
      int sx = x, sy = y;
      switch (code) {
        case 1: sx = w - 1 - x; break;
        case 2: sy = h - 1 - y; break;
        case 3: sx = y; sy = x; break;
        case 4: sx = w - 1 - y; sy = h - 1 - x; break;
        case 5: sx = y; sy = h - 1 - x; break;
        case 6: sx = w - 1 - x; sy = h - 1 - y; break;
        case 7: sx = w - 1 - y; sy = x; break;
        default: break;
      }
      out[static_cast<size_t>(y) * tw + x] = px[static_cast<size_t>(sy) * w + sx];
    }
  }
  return out;
}

TEST(JpegTransform, EachCodeMatchesTheTurnedDecode) {
  testing::TempFolder tmp;
  const int w = 64, h = 48;
  std::vector<uint32_t> px = picture(w, h);
  px[0] = 0xFFFFFFFF;  // a bright corner block
  const std::u16string in = tmp.file("in.jpg");
  ASSERT_EQ(file_replace(in, encode(px, w, h, 1, 95)), 0);
  int32_t dw = 0, dh = 0;
  const std::vector<uint32_t> original = decode_bytes(*read_file(in), &dw, &dh);
  for (int code = 0; code <= 7; ++code) {
    SCOPED_TRACE(code);
    const std::u16string out = tmp.file("out.jpg");
    ASSERT_EQ(jpeg::lossless_transform(out, in, code), 0);
    int32_t ow = 0, oh = 0;
    const std::vector<uint32_t> result = decode_bytes(*read_file(out), &ow, &oh);
    int tw = 0, th = 0;
    const std::vector<uint32_t> expected = turned(original, w, h, code, tw, th);
    EXPECT_EQ(ow, tw);
    EXPECT_EQ(oh, th);
    // The coefficients move exactly; the inverse transform's rounding may differ by a step or two.
    EXPECT_LE(max_difference(result, expected), 3);
    if (code != 0) {
      EXPECT_GT(max_difference(result, original), 60);
    }
  }
}

TEST(JpegTransform, FailuresLeaveTheOutputAlone) {
  testing::TempFolder tmp;
  const std::u16string in = tmp.file("in.jpg");
  const std::u16string out = tmp.file("out.jpg");
  ASSERT_EQ(file_replace(in, encode(picture(16, 16), 16, 16, 1, 90)), 0);
  const std::vector<uint8_t> old = {1, 2, 3};
  ASSERT_EQ(file_replace(out, old), 0);
  const std::vector<uint8_t> bmp_bytes = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8};
  const std::u16string not_jpeg = tmp.file("x.bmp");
  ASSERT_EQ(file_replace(not_jpeg, bmp_bytes), 0);
  EXPECT_EQ(jpeg::lossless_transform(out, in, 8), 1);
  EXPECT_EQ(jpeg::lossless_transform(out, in, -1), 1);
  EXPECT_EQ(jpeg::lossless_transform(out, tmp.file("missing.jpg"), 5), 1);
  EXPECT_EQ(jpeg::lossless_transform(out, not_jpeg, 5), 1);
  EXPECT_EQ(read_file(out), old);
  EXPECT_FALSE(file_exists(tmp.file("never.jpg")));
  EXPECT_EQ(jpeg::lossless_transform(tmp.file("never.jpg"), not_jpeg, 1), 1);
  EXPECT_FALSE(file_exists(tmp.file("never.jpg")));

  // In place: the input path is also the output.
  const std::vector<uint8_t> before = *read_file(in);
  EXPECT_EQ(jpeg::lossless_transform(in, in, 6), 0);
  EXPECT_NE(read_file(in), before);
}

TEST(JpegTransform, ExifStaysFirstWithoutAJfifSegment) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> stream = encode(picture(32, 16), 32, 16, 1, 90);
  // The Exif segment, then the stream after its start marker and JFIF segment.
  const std::vector<uint8_t> with_exif = exif_file(std::vector<uint8_t>(stream.begin() + 20, stream.end()));
  const std::u16string in = tmp.file("in.jpg");
  const std::u16string out = tmp.file("out.jpg");
  ASSERT_EQ(file_replace(in, with_exif), 0);
  ASSERT_EQ(jpeg::lossless_transform(out, in, 5), 0);
  std::optional<std::vector<uint8_t>> result = read_file(out);
  ASSERT_TRUE(result);
  EXPECT_EQ(std::vector<uint8_t>(result->begin(), result->begin() + 4), (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE1}));
  const std::vector<std::string> values = exif_values(*result);
  ASSERT_GE(values.size(), 4u);
  EXPECT_EQ(values[3], "右に 90 度回転");  // copied as it was
  int32_t rw = 0, rh = 0;
  decode_bytes(*result, &rw, &rh);
  EXPECT_EQ(rw, 16);
  EXPECT_EQ(rh, 32);
}

// Random damage anywhere in a stream: never a crash or a read outside. Damage only to the coded
// data after the scan header leaves the headers whole: still accepted as 24 × 24. A decode that
// reports no fault has written every pixel, opaque.
TEST(JpegRead, DamagedStreamsNeverEndTheProcess) {
  const std::vector<uint8_t> good = encode(picture(24, 24), 24, 24, 1, 80);
  size_t scan = 2;
  while (scan + 1 < good.size() && !(good[scan] == 0xFF && good[scan + 1] == 0xDA)) ++scan;
  ASSERT_LT(scan + 3, good.size());
  const size_t coded = scan + 2 + (size_t{good[scan + 2]} << 8 | good[scan + 3]);  // after the scan header
  uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1664525 + 1013904223; };
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    std::vector<uint8_t> f = good;
    size_t first = f.size();
    for (int k = 0; k < 1 + round % 3; ++k) {
      const size_t at = 2 + next() % (f.size() - 2);
      f[at] = static_cast<uint8_t>(next() >> 24);
      first = std::min(first, at);
    }
    Probed p = probe_memory(f);
    if (first >= coded) {
      ASSERT_NE(p.state, nullptr);
      EXPECT_EQ(std::pair(p.info.width, p.info.height), std::pair(24, 24));
    }
    if (!p.state) continue;
    ASSERT_TRUE(p.info.width >= 1 && p.info.width <= kMaxImageSide && p.info.height >= 1 &&
                p.info.height <= kMaxImageSide);
    if (p.info.width * p.info.height > 32767 * 64) continue;
    std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
    if (!jpeg::decode(*p.state, px).empty()) continue;
    EXPECT_TRUE(std::all_of(px.begin(), px.end(), [](uint32_t v) { return v >> 24 == 0xFF; }));
  }
}

}  // namespace
}  // namespace tesmo
