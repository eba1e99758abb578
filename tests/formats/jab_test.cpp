// JAB: the writer from a JPEG file and a BMP file, reading back through the registry, the alpha
// block that does not fit, header rejection and cut or damaged files. JPEG and BMP inputs come from
// the system's own writers; JAB headers are also built here byte by byte.
#include "formats/jab/jab.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "formats/jpeg/jpeg.h"
#include "formats/registry.h"
#include "temp_folder.h"
#include "tools/pack/block.h"

namespace tesmo {
namespace {

constexpr uint32_t kUntouched = 0x5A123456;  // alpha 0x5A: never what a decoder writes here

// A smooth picture (JPEG keeps it close) with an alpha ramp that uses every byte value.
std::vector<uint32_t> picture(int w, int h) {
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t r = uint32_t(40 + 150 * x / w), g = uint32_t(60 + 120 * y / h), b = 128;
      const uint32_t a = uint32_t(y * w + x) * 37 % 256;
      px[size_t(y) * size_t(w) + size_t(x)] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  return px;
}

std::vector<uint8_t> alpha_of(const std::vector<uint32_t>& px) {
  std::vector<uint8_t> a;
  for (uint32_t p : px) a.push_back(uint8_t(p >> 24));
  return a;
}

std::vector<uint8_t> jpeg_of(const std::vector<uint32_t>& px, int w, int h) {
  return jpeg::encode(px, w, h, 1, 95, {}).value_or(std::vector<uint8_t>{});
}

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// A JAB file laid out by hand: header, the JPEG, the block. Reserved bytes are 0.
std::vector<uint8_t> jab_bytes(uint32_t w, uint32_t h, const std::vector<uint8_t>& jpeg,
                               const std::vector<uint8_t>& block) {
  std::vector<uint8_t> v(64, 0);
  v[0] = 'J', v[1] = 'A', v[2] = 'B';
  put32(v, 4, 0x10000);
  put32(v, 8, w);
  put32(v, 12, h);
  put32(v, 32, uint32_t(jpeg.size()));
  put32(v, 36, uint32_t(block.size()));
  v.resize(64 + jpeg.size() + block.size());
  std::copy(jpeg.begin(), jpeg.end(), v.begin() + 64);
  std::copy(block.begin(), block.end(), v.begin() + 64 + long(jpeg.size()));
  return v;
}

std::vector<uint8_t> deflated(const std::vector<uint8_t>& raw, int level) {
  std::vector<uint8_t> out(16 + raw.size());
  BlockStream stream;
  const int32_t n = block_deflate(stream, out, raw, level);
  EXPECT_GT(n, 0);
  out.resize(n > 0 ? size_t(n) : 0);
  return out;
}

std::vector<uint8_t> stored(const std::vector<uint8_t>& raw, uint32_t raw_length) {
  std::vector<uint8_t> out(16);
  block_write_header(out, BlockMethod::Stored, raw_length);
  out.insert(out.end(), raw.begin(), raw.end());
  return out;
}

// Opens `bytes` from memory and decodes over kUntouched; `accepted` false when no reader took it.
struct Opened {
  bool accepted = false;
  ImageInfo info;
  std::vector<uint32_t> pixels;
};

Opened decoded(ImageFile& f, int probe_result) {
  Opened o;
  o.accepted = probe_result == 0 && f.format == kFormatJab;
  o.info = f.info;
  if (o.accepted) {
    o.pixels.assign(size_t(f.info.width) * size_t(f.info.height), kUntouched);
    image_decode(f, o.pixels);
  }
  image_file_close(f);
  return o;
}

Opened open_memory(const std::vector<uint8_t>& bytes) {
  ImageFile f = image_file_create(true);
  return decoded(f, image_probe_memory(f, bytes));
}

Opened open_file(const std::u16string& path) {
  ImageFile f = image_file_create(true);
  return decoded(f, image_probe(f, path));
}

// The JPEG decoded on its own (alpha 255).
std::vector<uint32_t> jpeg_pixels(const std::vector<uint8_t>& jpeg) {
  ImageSource source;
  source.memory = jpeg;
  ImageInfo info;
  auto state = jpeg::probe(source, info, false).state;
  EXPECT_NE(state, nullptr);
  std::vector<uint32_t> px(size_t(info.width) * size_t(info.height), kUntouched);
  if (state) jpeg::decode(*state, px);
  return px;
}

std::vector<uint32_t> with_alpha(std::vector<uint32_t> colour, const std::vector<uint8_t>& alpha) {
  for (size_t i = 0; i < colour.size(); ++i) colour[i] = (colour[i] & 0xFFFFFF) | uint32_t(alpha[i]) << 24;
  return colour;
}

SaveRequest jab_request(const std::u16string& out, const std::u16string& jpeg, const std::u16string& bmp) {
  SaveRequest r;
  r.path = out;
  r.format = kFormatJab;
  r.jab_jpeg_path = jpeg;
  r.jab_alpha_path = bmp;
  return r;
}

TEST(JabRoundTrip, WrittenFromJpegAndBmpReadsBackWithTheBmpAlpha) {
  testing::TempFolder tmp;
  const int w = 37, h = 21;  // not whole coding units
  const std::vector<uint32_t> px = picture(w, h);
  const std::vector<uint8_t> jpeg = jpeg_of(px, w, h);
  const std::vector<uint8_t> opaque(px.size(), 0xFF);
  ASSERT_EQ(file_replace(tmp.file("z.jpg"), jpeg), 0);
  struct Row {
    int bmp_pixel_format;
    const char* what;
    std::vector<uint8_t> alpha;
  };
  const Row rows[] = {{6, "32-bit BMP: its stored alpha", alpha_of(px)}, {5, "24-bit BMP: opaque", opaque}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_EQ(file_replace(tmp.file("a.bmp"), bmp::encode(px, w, h, r.bmp_pixel_format)), 0);
    // The registry's save dispatch: the pixels are ignored.
    ASSERT_EQ(image_save({}, 0, 0, jab_request(tmp.file("out/a.jab"), tmp.file("z.jpg"), tmp.file("a.bmp"))), 0);
    const std::vector<uint8_t> file = read_file(tmp.file("out/a.jab")).value_or(std::vector<uint8_t>{});
    ASSERT_GT(file.size(), 64 + jpeg.size());

    // The JPEG part is the JPEG file byte for byte; the block holds the plane.
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 64, file.begin() + 64 + long(jpeg.size())), jpeg);
    EXPECT_EQ(file, jab_bytes(w, h, jpeg, deflated(r.alpha, 8)));

    for (const Opened& o : {open_file(tmp.file("out/a.jab")), open_memory(file)}) {
      ASSERT_TRUE(o.accepted);
      EXPECT_EQ(o.info.pixel_format, 0);
      EXPECT_EQ(o.info.colour_model, kModelRgb);
      EXPECT_EQ(o.info.bits, 32);
      EXPECT_EQ(o.info.channels, 4);
      EXPECT_EQ(o.info.has_alpha, 1);
      EXPECT_EQ(o.info.format_name, "JPEG and BMP");
      EXPECT_EQ(o.info.pixel_text, "8:8:8:8 RGB (32 bit)");
      EXPECT_EQ(o.pixels, with_alpha(jpeg_pixels(jpeg), r.alpha));
      for (size_t i = 0; i < px.size(); ++i) {
        for (int shift : {0, 8, 16}) {
          const int got = int(o.pixels[i] >> shift & 0xFF), want = int(px[i] >> shift & 0xFF);
          ASSERT_LE(std::abs(got - want), 12) << "pixel " << i;
        }
      }
    }
  }
}

TEST(JabDecode, AlphaBlockThatDoesNotGiveOneBytePerPixelLeavesItOpaque) {
  const int w = 16, h = 8;
  const std::vector<uint32_t> px = picture(w, h);
  const std::vector<uint8_t> jpeg = jpeg_of(px, w, h);
  std::vector<uint8_t> alpha;  // runs of four, so that the plane deflates
  for (size_t i = 0; i < px.size(); ++i) alpha.push_back(uint8_t(i / 4 * 7));
  const std::vector<uint8_t> shorter(alpha.begin(), alpha.end() - 1);
  std::vector<uint8_t> longer = alpha;
  longer.push_back(7);
  std::vector<uint8_t> broken = deflated(alpha, 9);
  ASSERT_EQ(block_header(broken)->method, uint32_t(BlockMethod::Deflate));
  for (size_t i = 18; i < broken.size(); ++i) broken[i] = 0xFF;
  struct Row {
    const char* what;
    std::vector<uint8_t> block;
    bool alpha_applies;
  };
  const Row rows[] = {
      {"deflated plane", deflated(alpha, 9), true},
      {"stored plane", stored(alpha, uint32_t(alpha.size())), true},
      {"stored plane with bytes after it", stored(longer, uint32_t(alpha.size())), true},
      {"one byte short (deflated)", deflated(shorter, 9), false},
      {"one byte too many (deflated)", deflated(longer, 9), false},
      {"stored, raw length one short", stored(alpha, uint32_t(alpha.size() - 1)), false},
      {"stored, raw length past the payload", stored(shorter, uint32_t(alpha.size())), false},
      {"damaged zlib stream", broken, false},
      {"only a block header", stored({}, 0), false},
      {"no block at all", {}, false},
      {"block shorter than its header", {'Z', 'U', 'K', 0, 2}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const Opened o = open_memory(jab_bytes(w, h, jpeg, r.block));
    ASSERT_TRUE(o.accepted);
    const std::vector<uint8_t> expected_alpha = r.alpha_applies ? alpha : std::vector<uint8_t>(alpha.size(), 0xFF);
    EXPECT_EQ(o.pixels, with_alpha(jpeg_pixels(jpeg), expected_alpha));
  }
}

TEST(JabProbe, HeaderChecksReject) {
  const std::vector<uint32_t> px = picture(8, 8);
  const std::vector<uint8_t> good = jab_bytes(8, 8, jpeg_of(px, 8, 8), deflated(alpha_of(px), 9));
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  struct Row {
    const char* what;
    Edit edit;
  };
  const Row rows[] = {
      {"signature", [](auto& v) { v[2] = 'C'; }},
      {"signature's zero byte", [](auto& v) { v[3] = 1; }},
      {"version 0x10001", [](auto& v) { put32(v, 4, 0x10001); }},
      {"version 0x100", [](auto& v) { put32(v, 4, 0x100); }},
      {"non-zero at 16", [](auto& v) { put32(v, 16, 1); }},
      {"width 0", [](auto& v) { put32(v, 8, 0); }},
      {"height 0", [](auto& v) { put32(v, 12, 0); }},
      {"width 32768", [](auto& v) { put32(v, 8, 32768); }},
      {"negative height", [](auto& v) { put32(v, 12, 0xFFFFFFF8); }},
      {"64 bytes only", [](auto& v) { v.resize(64); }},
      {"empty", [](auto& v) { v.clear(); }},
  };
  ASSERT_TRUE(open_memory(good).accepted);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<uint8_t> v = good;
    r.edit(v);
    ImageSource source;
    source.memory = v;
    ImageInfo info;
    EXPECT_EQ(jab::probe(source, info, true), nullptr);
  }
  // The reserved bytes other than 16 are not looked at; a 65-byte file is recognised.
  std::vector<uint8_t> v = good;
  v[20] = v[40] = v[63] = 0xEE;
  EXPECT_TRUE(open_memory(v).accepted);
  v.resize(65);
  EXPECT_TRUE(open_memory(v).accepted);
}

TEST(JabDecode, UnusableJpegPartWritesNothing) {
  const int w = 12, h = 10;
  const std::vector<uint32_t> px = picture(w, h);
  const std::vector<uint8_t> jpeg = jpeg_of(px, w, h);
  const std::vector<uint8_t> block = deflated(alpha_of(px), 9);
  std::vector<uint8_t> zero_length = jab_bytes(w, h, jpeg, block);
  put32(zero_length, 32, 0);
  std::vector<uint8_t> not_jpeg = jpeg;
  not_jpeg[0] = 0;
  const std::vector<uint32_t> untouched(size_t(w) * size_t(h), kUntouched);
  struct Row {
    const char* what;
    std::vector<uint8_t> file;
  };
  const Row rows[] = {
      {"JPEG wider than the header", jab_bytes(w - 1, h, jpeg, block)},
      {"JPEG taller than the header", jab_bytes(w, h - 1, jpeg, block)},
      {"JPEG length 0", zero_length},
      {"not a JPEG", jab_bytes(w, h, not_jpeg, block)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const Opened o = open_memory(r.file);
    ASSERT_TRUE(o.accepted);
    EXPECT_TRUE(std::all_of(o.pixels.begin(), o.pixels.end(), [](uint32_t p) { return p == kUntouched; }));
  }
}

// Every pixel is left as it was or decoded with a defined alpha (255, or the plane's).
void expect_defined(const Opened& o, const std::vector<uint8_t>& alpha) {
  for (size_t i = 0; i < o.pixels.size(); ++i) {
    const uint32_t a = o.pixels[i] >> 24;
    ASSERT_TRUE(o.pixels[i] == kUntouched || a == 0xFF || a == alpha[i]) << "pixel " << i;
  }
}

TEST(JabDecode, CutAndDamagedFilesStayInsideTheirBytes) {
  const int w = 24, h = 16;
  const std::vector<uint32_t> px = picture(w, h);
  const std::vector<uint8_t> jpeg = jpeg_of(px, w, h);
  const std::vector<uint8_t> alpha = alpha_of(px);
  const std::vector<uint8_t> good = jab_bytes(w, h, jpeg, deflated(alpha, 9));
  const size_t block_at = 64 + jpeg.size();

  // Cut anywhere: the header is rejected, or the JPEG (padded by the library where it is cut) is
  // shown opaque, because a cut block never gives the whole plane.
  for (size_t size = 0; size < good.size(); ++size) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> cut(good.begin(), good.begin() + long(size));
    const Opened o = open_memory(cut);
    EXPECT_EQ(o.accepted, size > 64);
    if (!o.accepted) continue;
    if (size >= block_at) {
      EXPECT_EQ(o.pixels, jpeg_pixels(jpeg));
    } else {
      EXPECT_TRUE(std::all_of(o.pixels.begin(), o.pixels.end(),
                              [](uint32_t p) { return p == kUntouched || p >> 24 == 0xFF; }));
    }
  }

  // Recorded lengths that pass the end of the file.
  struct Row {
    const char* what;
    uint32_t jpeg_length, alpha_size;
    bool alpha_applies;
  };
  const Row rows[] = {
      {"block size past the end", uint32_t(jpeg.size()), 0xFFFFFFFF, true},
      {"JPEG length past the end", 0xFFFFFFFF, 100, false},
      {"JPEG length into the block", uint32_t(jpeg.size() + 10), uint32_t(good.size() - block_at), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<uint8_t> v = good;
    put32(v, 32, r.jpeg_length);
    put32(v, 36, r.alpha_size);
    const Opened o = open_memory(v);
    ASSERT_TRUE(o.accepted);
    const std::vector<uint8_t> expected_alpha = r.alpha_applies ? alpha : std::vector<uint8_t>(alpha.size(), 0xFF);
    EXPECT_EQ(o.pixels, with_alpha(jpeg_pixels(jpeg), expected_alpha));
  }

  // Random damage anywhere in the file.
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> v = good;
    for (int k = 0; k < 4; ++k) v[rng() % v.size()] = uint8_t(rng());
    const Opened o = open_memory(v);
    if (o.accepted) expect_defined(o, alpha);
  }
}

TEST(JabWrite, RefusesMissingEmptyAndUnsuitableInputs) {
  testing::TempFolder tmp;
  const int w = 8, h = 6;
  const std::vector<uint32_t> px = picture(w, h);
  ASSERT_EQ(file_replace(tmp.file("z.jpg"), jpeg_of(px, w, h)), 0);
  ASSERT_EQ(file_replace(tmp.file("a.bmp"), bmp::encode(px, w, h, 6)), 0);
  ASSERT_EQ(file_replace(tmp.file("555.bmp"), bmp::encode(px, w, h, 0)), 0);
  ASSERT_EQ(file_replace(tmp.file("empty"), std::vector<uint8_t>{}), 0);
  ASSERT_EQ(file_replace(tmp.file("text.bmp"), std::vector<uint8_t>{'B', 'M', 'x'}), 0);
  struct Row {
    const char* what;
    const char* out;
    const char* jpeg;
    const char* bmp;
  };
  const Row rows[] = {
      {"missing JPEG", "o.jab", "none.jpg", "a.bmp"},
      {"empty JPEG", "o.jab", "empty", "a.bmp"},
      {"JPEG path is a folder", "o.jab", "", "a.bmp"},
      {"missing BMP", "o.jab", "z.jpg", "none.bmp"},
      {"empty BMP", "o.jab", "z.jpg", "empty"},
      {"16-bit BMP", "o.jab", "z.jpg", "555.bmp"},
      {"not a BMP", "o.jab", "z.jpg", "text.bmp"},
      {"output under a file", "a.bmp/o.jab", "z.jpg", "a.bmp"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(image_save({}, 0, 0, jab_request(tmp.file(r.out), tmp.file(r.jpeg), tmp.file(r.bmp))), 1);
    EXPECT_FALSE(file_exists(tmp.file(r.out)));
  }
  EXPECT_EQ(image_save({}, 0, 0, jab_request(u"", tmp.file("z.jpg"), tmp.file("a.bmp"))), 1);
  EXPECT_EQ(jab::write_from_bmp(tmp.file("a.bmp"), tmp.file("z.jpg"), tmp.file("o.jab")), 0);
  EXPECT_TRUE(file_exists(tmp.file("o.jab")));

  EXPECT_FALSE(jab::encode({}, alpha_of(px), w, h));
  const std::vector<uint8_t> some_jpeg = {0xFF, 0xD8};
  EXPECT_FALSE(jab::encode(some_jpeg, alpha_of(px), 0, h));
  EXPECT_FALSE(jab::encode(some_jpeg, alpha_of(px), w, 32768));
  EXPECT_FALSE(jab::encode(some_jpeg, std::vector<uint8_t>(px.size() - 1), w, h));
}

TEST(JabWrite, SidesComeFromTheBmpAndTheJpegIsNotCompared) {
  testing::TempFolder tmp;
  const std::vector<uint32_t> small = picture(4, 4);
  const std::vector<uint8_t> jpeg = jpeg_of(picture(8, 8), 8, 8);
  ASSERT_EQ(file_replace(tmp.file("z.jpg"), jpeg), 0);
  ASSERT_EQ(file_replace(tmp.file("a.bmp"), bmp::encode(small, 4, 4, 6)), 0);
  ASSERT_EQ(jab::write_from_bmp(tmp.file("a.bmp"), tmp.file("z.jpg"), tmp.file("a.jab")), 0);
  EXPECT_EQ(read_file(tmp.file("a.jab")), jab_bytes(4, 4, jpeg, deflated(alpha_of(small), 9)));
  const Opened o = open_file(tmp.file("a.jab"));
  ASSERT_TRUE(o.accepted);
  EXPECT_EQ(o.info.width, 4);
  EXPECT_EQ(o.pixels, std::vector<uint32_t>(16, kUntouched));  // the JPEG's size is not the header's
}

}  // namespace
}  // namespace tesmo
