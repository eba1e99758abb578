// PNG: files written by the PNG library itself (grey, palette, 16-bit, interlaced, with gamma
// chunks), the writer's two layouts read back (by our reader and by the PNG library), its file
// sizes beside the library's level 9, and cut or damaged files.
#include <gtest/gtest.h>

#include <csetjmp>
#include <png.h>
#include <zlib.h>

#include "base/file_io.h"
#include "bench/flat.h"
#include "bench/photo.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

// What a test PNG holds; rows are the library's packed rows.
struct PngContent {
  uint32_t width = 1;
  uint32_t height = 1;
  int colour_type = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<uint8_t> transparency;  // tRNS alphas for palette images
  double gamma = 0;                   // a gAMA chunk when above 0
  bool srgb = false;                  // an sRGB chunk after the header (whatever gAMA says)
  int level = -1;                     // above −1: this compression level, every row filter allowed
  std::vector<std::vector<uint8_t>> rows;
};

void append(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void no_flush(png_structp) {}

bool write_content(png_structp png, png_infop info, const PngContent& content, std::vector<uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, append, no_flush);
  if (content.level >= 0) {
    png_set_compression_level(png, content.level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  }
  png_set_IHDR(png, info, content.width, content.height, content.depth, content.colour_type,
               content.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!content.palette.empty()) png_set_PLTE(png, info, content.palette.data(), static_cast<int>(content.palette.size()));
  if (!content.transparency.empty()) {
    png_set_tRNS(png, info, content.transparency.data(), static_cast<int>(content.transparency.size()), nullptr);
  }
  if (content.gamma > 0) png_set_gAMA(png, info, content.gamma);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : content.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  return true;
}

// A PNG file written by the PNG library.
std::vector<uint8_t> library_png(const PngContent& content) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool ok = write_content(png, info, content, &out);
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(ok);
  if (content.srgb) {
    // Added by hand: the library refuses to write an sRGB chunk beside a gAMA that contradicts it.
    std::vector<uint8_t> chunk = {0, 0, 0, 1, 's', 'R', 'G', 'B', 0};
    const uLong crc = crc32(0, chunk.data() + 4, 5);
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<uint8_t>(crc >> shift));
    constexpr ptrdiff_t kAfterHeader = 8 + 25;
    out.insert(out.begin() + kAfterHeader, chunk.begin(), chunk.end());
  }
  return out;
}

struct Probed {
  std::unique_ptr<ReaderState> state;
  ImageInfo info;
};

Probed probe_memory(const std::vector<uint8_t>& bytes) {
  Probed p;
  ImageSource source;
  source.memory = bytes;
  p.state = png::probe(source, p.info, true).state;
  return p;
}
Probed probe_memory(std::vector<uint8_t>&&) = delete;

constexpr uint32_t kUntouched = 0xDEADBEEF;

std::vector<uint32_t> decoded(Probed& p) {
  std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
  if (p.state) png::decode(*p.state, px);
  return px;
}

std::vector<uint32_t> decode_bytes(const std::vector<uint8_t>& bytes) {
  Probed p = probe_memory(bytes);
  EXPECT_NE(p.state, nullptr);
  return decoded(p);
}

constexpr uint32_t grey(uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }

TEST(PngRead, GreyDepthsGoThroughTheEvenlySpacedTable) {
  struct Row {
    int depth;
    std::vector<uint8_t> row;  // packed, four pixels
    std::vector<uint32_t> expected;
    const char* text;
  };
  const Row rows[] = {
      {1, {0b1010'0000}, {grey(255), grey(0), grey(255), grey(0)}, "Palette Gray (2 colors)"},
      {2, {0b00'01'10'11}, {grey(0), grey(85), grey(170), grey(255)}, "Palette Gray (4 colors)"},
      {4, {0x0F, 0x17}, {grey(0), grey(255), grey(17), grey(119)}, "Palette Gray (16 colors)"},
      {8, {0, 1, 128, 255}, {grey(0), grey(1), grey(128), grey(255)}, "Palette Gray (256 colors)"},
      // 16 bits are scaled to 8, not cut: 0x12FF becomes 19, where truncation would give 18.
      {16, {0x12, 0xFF, 0x00, 0x80, 0xFF, 0xFF, 0x80, 0x00}, {grey(19), grey(0), grey(255), grey(128)},
       "Palette Gray (65536 colors)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.depth);
    PngContent content{4, 1, PNG_COLOR_TYPE_GRAY, r.depth};
    content.rows = {r.row};
    std::vector<uint8_t> file = library_png(content);
    Probed p = probe_memory(file);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, -1);
    EXPECT_EQ(p.info.colour_model, kModelPalette);
    EXPECT_EQ(p.info.bits, r.depth);
    EXPECT_EQ(p.info.channels, 1);
    EXPECT_EQ(p.info.has_alpha, 0);
    EXPECT_EQ(p.info.pixel_text, r.text);
    EXPECT_EQ(p.info.compression_text, "ZIP");
    EXPECT_EQ(p.info.extra_text, "");
    EXPECT_EQ(decoded(p), r.expected);
  }
}

TEST(PngRead, PaletteAsStoredAndOpaqueDespiteTransparency) {
  const std::vector<png_color> palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  struct Row {
    int depth;
    std::vector<uint8_t> row;  // three pixels: indices 2, 0, 1
  };
  const Row rows[] = {{1, {0b1000'0000}}, {2, {0b10'00'01'00}}, {4, {0x20, 0x10}}, {8, {2, 0, 1}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.depth);
    PngContent content{3, 1, PNG_COLOR_TYPE_PALETTE, r.depth};
    content.palette = r.depth == 1 ? std::vector<png_color>(palette.begin(), palette.begin() + 2) : palette;
    content.transparency = {0, 128};
    content.gamma = 1.0;  // gamma applies to the library's copy of the palette, not to the stored one
    content.rows = {r.row};
    std::vector<uint8_t> file = library_png(content);
    Probed p = probe_memory(file);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.colour_model, kModelPalette);
    EXPECT_EQ(p.info.pixel_text, "Palette RGB (" + std::to_string(1 << r.depth) + " colors)");
    const std::vector<uint32_t> px = decoded(p);
    if (r.depth == 1) {
      EXPECT_EQ(px, (std::vector<uint32_t>{0xFF28323C, 0xFF0A141E, 0xFF0A141E}));
    } else {
      EXPECT_EQ(px, (std::vector<uint32_t>{0xFF46505A, 0xFF0A141E, 0xFF28323C}));
    }
  }
}

TEST(PngRead, ColourTypesAndTheirTexts) {
  struct Row {
    const char* what;
    int colour_type, depth;
    std::vector<uint8_t> row;  // one pixel
    int32_t pixel_format, model, bits, channels, alpha;
    const char* text;
    uint32_t expected;
  };
  const Row rows[] = {
      {"RGB 8", PNG_COLOR_TYPE_RGB, 8, {1, 2, 3}, 0, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)", 0xFF010203},
      {"RGB 16", PNG_COLOR_TYPE_RGB, 16, {0x12, 0xFF, 0xFF, 0xFF, 0, 0x7F}, -1, kModelRgb, 48, 3, 0,
       "16:16:16 RGB (48 bit)", 0xFF13FF00},
      {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}, 1, kModelRgb, 32, 4, 1, "8:8:8:8 ARGB (32 bit)",
       0x04010203},
      {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, {0, 0, 0x80, 0, 0xFF, 0xFF, 0x12, 0xFF}, -1, kModelRgb, 64, 4, 1,
       "16:16:16:16 ARGB (64 bit)", 0x130080FF},
      {"grey alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {9, 200}, -1, kModelGrey, 16, 2, 1, "Gray Alpha (256 colors)",
       0xC8090909},
      {"grey alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x12, 0xFF, 0xFF, 0xFF}, -1, kModelGrey, 32, 2, 1,
       "Gray Alpha (65536 colors)", 0xFF131313},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    PngContent content{1, 1, r.colour_type, r.depth};
    content.rows = {r.row};
    std::vector<uint8_t> file = library_png(content);
    Probed p = probe_memory(file);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.model);
    EXPECT_EQ(p.info.bits, r.bits);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, r.alpha);
    EXPECT_EQ(p.info.pixel_text, r.text);
    EXPECT_EQ(decoded(p), std::vector<uint32_t>{r.expected});
  }
}

// A 13 × 11 RGB picture whose every pixel differs.
PngContent pattern(bool interlaced) {
  PngContent content{13, 11, PNG_COLOR_TYPE_RGB, 8, interlaced};
  for (uint32_t y = 0; y < content.height; ++y) {
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < content.width; ++x) {
      row.push_back(static_cast<uint8_t>(x * 19));
      row.push_back(static_cast<uint8_t>(y * 23));
      row.push_back(static_cast<uint8_t>(x * y));
    }
    content.rows.push_back(row);
  }
  return content;
}

TEST(PngRead, InterlacedImagesAreCombined) {
  std::vector<uint8_t> plain = library_png(pattern(false));
  std::vector<uint8_t> interlaced = library_png(pattern(true));
  Probed p = probe_memory(interlaced);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.extra_text, "Interlace");
  EXPECT_EQ(decoded(p), decode_bytes(plain));
  EXPECT_EQ(decode_bytes(plain)[12 + 13 * 10], 0xFF00E600u | (12u * 19) << 16 | 120u);
}

TEST(PngRead, GammaFromTheFileUnlessItIsSrgb) {
  auto one_grey = [](double gamma, bool srgb) {
    PngContent content{1, 1, PNG_COLOR_TYPE_GRAY, 8};
    content.rows = {{64}};
    content.gamma = gamma;
    content.srgb = srgb;
    std::vector<uint8_t> file = library_png(content);
    return decode_bytes(file)[0] & 0xFF;
  };
  EXPECT_EQ(one_grey(0, false), 64u);         // no chunk: 0.45455, which the screen gamma undoes
  EXPECT_EQ(one_grey(0.45455, false), 64u);
  // Linear data (1.0) shown on a 2.2 screen: 255 × (64 / 255)^(1 / 2.2) ≈ 136.
  const uint32_t brightened = one_grey(1.0, false);
  EXPECT_GE(brightened, 135u);
  EXPECT_LE(brightened, 137u);
  EXPECT_EQ(one_grey(1.0, true), 64u);        // sRGB wins over gAMA
}

TEST(PngWrite, BothLayoutsReadBackExactly) {
  const std::vector<uint32_t> pixels = {0x80102030, 0x00FFFFFF, 0xFF000000, 0x12345678, 0xFEDCBA98, 0x01020304};
  struct Row {
    int32_t pixel_format;
    uint8_t colour_type;
    std::vector<uint32_t> expected;
  };
  const Row rows[] = {
      {0, PNG_COLOR_TYPE_RGB, {0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xFF345678, 0xFFDCBA98, 0xFF020304}},
      {1, PNG_COLOR_TYPE_RGB_ALPHA, pixels},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pixel_format);
    std::optional<std::vector<uint8_t>> file = png::encode(pixels, 3, 2, r.pixel_format);
    ASSERT_TRUE(file);
    // Signature, then IHDR: 3 × 2, depth 8, the colour type, no interlacing; then only IDAT and IEND.
    ASSERT_GT(file->size(), 33u);
    EXPECT_EQ((*file)[16 + 3], 3);
    EXPECT_EQ((*file)[20 + 3], 2);
    EXPECT_EQ((*file)[24], 8);
    EXPECT_EQ((*file)[25], r.colour_type);
    EXPECT_EQ((*file)[28], 0);
    for (size_t at = 8; at + 8 <= file->size();) {
      const size_t length = static_cast<size_t>((*file)[at]) << 24 | (*file)[at + 1] << 16 | (*file)[at + 2] << 8 | (*file)[at + 3];
      const std::string type(file->begin() + static_cast<ptrdiff_t>(at + 4), file->begin() + static_cast<ptrdiff_t>(at + 8));
      EXPECT_TRUE(type == "IHDR" || type == "IDAT" || type == "IEND") << type;
      at += 12 + length;
    }
    Probed p = probe_memory(*file);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(decoded(p), r.expected);
  }
  EXPECT_FALSE(png::encode(pixels, 3, 2, 2));
  EXPECT_FALSE(png::encode(pixels, 3, 3, 0));  // too few pixels
  EXPECT_FALSE(png::encode(pixels, 0, 2, 0));
}

// The PNG library's own reading of a file, as 32-bit pixels (blue in the low byte, as ours).
std::vector<uint32_t> library_read(const std::vector<uint8_t>& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> px(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, px.data(), 0, nullptr)) px.clear();
  png_image_free(&image);
  return px;
}

// The PNG library's file of the same rows at level 9 with every filter: what the writer must match.
std::vector<uint8_t> library_level9(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
                                    bool alpha) {
  PngContent content{width, height, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8};
  content.level = 9;
  for (uint32_t y = 0; y < height; ++y) {
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t v = pixels[static_cast<size_t>(y) * width + x];
      for (int shift : {16, 8, 0}) row.push_back(static_cast<uint8_t>(v >> shift));
      if (alpha) row.push_back(static_cast<uint8_t>(v >> 24));
    }
    content.rows.push_back(row);
  }
  return library_png(content);
}

// Pictures of every kind the writer meets, large enough for its data to span several IDAT chunks,
// read back pixel for pixel by the PNG library and by our reader; the files are never larger than
// the library's at level 9 on flat graphics, and within 2 % on photographs.
TEST(PngWrite, SamplePicturesReadBackExactlyAndStaySmall) {
  struct Row {
    const char* what;
    std::vector<uint32_t> pixels;
    uint32_t width, height;
    double allowance;  // our size ÷ the library's level 9 size, at most
  };
  std::vector<uint32_t> noise(64 * 48);
  uint32_t seed = 9;
  for (uint32_t& v : noise) v = seed = seed * 1664525 + 1013904223;
  const Row rows[] = {
      {"photo-like", bench::photo(600, 450), 600, 450, 1.02},
      {"flat graphic", bench::flat_graphic(900, 600), 900, 600, 1.0},
      {"noise", noise, 64, 48, 1.02},
      {"one pixel", {0x80FF0001}, 1, 1, 1.0},
  };
  for (const Row& r : rows) {
    for (int32_t pixel_format : {0, 1}) {
      SCOPED_TRACE(std::string(r.what) + (pixel_format ? " RGBA" : " RGB"));
      std::optional<std::vector<uint8_t>> file = png::encode(r.pixels, static_cast<int32_t>(r.width),
                                                             static_cast<int32_t>(r.height), pixel_format);
      ASSERT_TRUE(file);
      std::vector<uint32_t> expected = r.pixels;
      if (pixel_format == 0) {
        for (uint32_t& v : expected) v |= 0xFF000000;
      }
      EXPECT_TRUE(library_read(*file) == expected);
      EXPECT_TRUE(decode_bytes(*file) == expected);
      const size_t level9 = library_level9(r.pixels, r.width, r.height, pixel_format == 1).size();
      EXPECT_LE(static_cast<double>(file->size()), static_cast<double>(level9) * r.allowance) << level9;
    }
  }
}

TEST(PngWrite, SaveThroughTheRegistryAndOpenByContent) {
  testing::TempFolder tmp;
  std::vector<uint32_t> pixels(40 * 30);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  SaveRequest r;
  r.path = tmp.file("out.png");
  r.format = kFormatPng;
  r.pixel_format = 1;
  ASSERT_EQ(image_save(pixels, 40, 30, r), 0);
  ImageFile f = image_file_create(true);
  ASSERT_EQ(image_probe(f, r.path), 0);
  EXPECT_EQ(f.info.format, kFormatPng);
  EXPECT_EQ(f.info.format_name, "PNG");
  std::vector<uint32_t> back(pixels.size());
  image_decode(f, back);
  EXPECT_EQ(back, pixels);
  image_file_close(f);

  // The memory form needs no file.
  std::optional<std::vector<uint8_t>> bytes = read_file(r.path);
  ASSERT_TRUE(bytes);
  ImageFile m = image_file_create(false);
  ASSERT_EQ(image_probe_memory(m, *bytes), 0);
  EXPECT_EQ(m.info.format, kFormatPng);
  image_file_close(m);

  r.pixel_format = 2;
  EXPECT_EQ(image_save(pixels, 40, 30, r), 1);
  EXPECT_EQ(read_file(r.path), bytes);  // the failed save left the file alone
}

TEST(PngRead, RejectsWhatItCannotUse) {
  PngContent big{40000, 1, PNG_COLOR_TYPE_GRAY, 1};
  big.rows = {std::vector<uint8_t>(5000)};
  std::vector<uint8_t> wide = library_png(big);
  std::vector<uint8_t> good = library_png(pattern(false));
  std::vector<uint8_t> bad_signature = good;
  bad_signature[1] = 'Q';
  std::vector<uint8_t> late_signature_damage = good;
  late_signature_damage[6] = 0;  // the first four bytes match; the library checks the rest
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"wider than 32767", wide},
      {"empty", {}},
      {"three signature bytes", {0x89, 'P', 'N'}},
      {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
      {"bad signature", bad_signature},
      {"signature damaged after four bytes", late_signature_damage},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(png::probe(source, info, true), nullptr);
  }
  testing::TempFolder tmp;
  ASSERT_EQ(file_replace(tmp.file("three.png"), std::vector<uint8_t>{0x89, 'P', 'N'}), 0);
  std::u16string path = tmp.file("three.png");
  ImageSource source;
  source.path = &path;
  ImageInfo info;
  EXPECT_EQ(png::probe(source, info, true), nullptr);
}

TEST(PngRead, CutOrDamagedDataKeepsTheRowsBefore) {
  std::vector<uint8_t> good = library_png(pattern(false));
  const std::vector<uint32_t> full = decode_bytes(good);
  // Every cut after the header: accepted or not, never a read outside the data, and each row is
  // either decoded fully and correctly or left untouched.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut));
    Probed p = probe_memory(part);
    if (!p.state) continue;
    const std::vector<uint32_t> px = decoded(p);
    for (size_t y = 0; y < 11; ++y) {
      const auto row = std::vector<uint32_t>(px.begin() + static_cast<ptrdiff_t>(y * 13),
                                             px.begin() + static_cast<ptrdiff_t>(y * 13 + 13));
      const bool untouched = std::all_of(row.begin(), row.end(), [](uint32_t v) { return v == kUntouched; });
      EXPECT_TRUE(untouched || std::equal(row.begin(), row.end(), full.begin() + static_cast<ptrdiff_t>(y * 13)))
          << "cut " << cut << " row " << y;
    }
  }
  // A damaged check sum in the data: the library stops, nothing is decoded past it.
  std::vector<uint8_t> damaged = good;
  damaged[damaged.size() - 13] ^= 0xFF;  // the IDAT's CRC, before the 12-byte IEND
  EXPECT_EQ(decode_bytes(damaged).back(), kUntouched);

  std::vector<uint8_t> interlaced = library_png(pattern(true));
  interlaced.erase(interlaced.end() - 30, interlaced.end());
  EXPECT_EQ(decode_bytes(interlaced), std::vector<uint32_t>(13 * 11, kUntouched));
}

// Random damage anywhere: every chunk carries a checksum, so a damaged copy is refused, reports a
// fault, or gives the very picture stored (red x · 19, green y · 23, blue x · y); never a crash or a
// read outside the data.
TEST(PngRead, DamagedFilesNeverEndTheProcess) {
  std::vector<uint32_t> stored;
  for (uint32_t y = 0; y < 11; ++y) {
    for (uint32_t x = 0; x < 13; ++x)
      stored.push_back(0xFF000000u | (x * 19 & 255) << 16 | (y * 23 & 255) << 8 | (x * y & 255));
  }
  const std::vector<uint8_t> files[] = {library_png(pattern(false)), library_png(pattern(true))};
  uint32_t seed = 5;
  auto next = [&] { return seed = seed * 1664525 + 1013904223; };
  int whole = 0;
  for (const std::vector<uint8_t>& good : files) {
    for (int round = 0; round < 400; ++round) {
      std::vector<uint8_t> f = good;
      for (int k = 0; k < 1 + round % 3; ++k) f[4 + next() % (f.size() - 4)] = static_cast<uint8_t>(next() >> 24);
      Probed p = probe_memory(f);
      if (!p.state) continue;
      ASSERT_EQ(std::pair(p.info.width, p.info.height), std::pair(13, 11)) << round;
      std::vector<uint32_t> px(stored.size(), kUntouched);
      if (!png::decode(*p.state, px).empty()) continue;
      EXPECT_EQ(px, stored) << round;
      ++whole;
    }
  }
  EXPECT_GT(whole, 0);  // damage to the signature's tail or to ancillary chunks leaves the picture
}

}  // namespace
}  // namespace tesmo
