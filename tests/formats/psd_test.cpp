// PSD composites: recognition by colour mode, the section walk, raw and PackBits data, decoding of
// each model, and hostile files. Documents are built here byte by byte and read from files, the
// only source the reader takes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "base/path.h"
#include "codec_harness.h"
#include "formats/psd/psd.h"
#include "formats/registry.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

// Big-endian record building.
struct Be {
  std::vector<uint8_t> v;
  Be& u8(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Be& u16(uint16_t x) { return u8(static_cast<uint8_t>(x >> 8)).u8(static_cast<uint8_t>(x)); }
  Be& u32(uint32_t x) { return u16(static_cast<uint16_t>(x >> 16)).u16(static_cast<uint16_t>(x)); }
  Be& raw(const std::vector<uint8_t>& b) {
    v.insert(v.end(), b.begin(), b.end());
    return *this;
  }
  Be& text(const char* s) {
    while (*s) u8(static_cast<uint8_t>(*s++));
    return *this;
  }
};

struct Doc {
  uint16_t mode = 3, depth = 8, channels = 3;
  uint32_t width = 1, height = 1;
  std::vector<uint8_t> colour_data, resources, layers;
  uint16_t compression = 0;
  std::vector<uint8_t> image;

  std::vector<uint8_t> bytes() const {
    Be b;
    b.text("8BPS").u16(1).u32(0).u16(0).u16(channels).u32(height).u32(width).u16(depth).u16(mode);
    b.u32(static_cast<uint32_t>(colour_data.size())).raw(colour_data);
    b.u32(static_cast<uint32_t>(resources.size())).raw(resources);
    b.u32(static_cast<uint32_t>(layers.size())).raw(layers);
    return b.u16(compression).raw(image).v;
  }
};

// An image resource block: "8BIM", id, the name bytes as given, size, data padded to even size.
std::vector<uint8_t> resource(const std::vector<uint8_t>& name, const std::vector<uint8_t>& data) {
  Be b;
  b.text("8BIM").u16(1005).raw(name).u32(static_cast<uint32_t>(data.size())).raw(data);
  if (data.size() % 2) b.u8(0);
  return b.v;
}

// 256 red, 256 green, 256 blue: entry i is (i, 255 − i, i ^ 0x55).
std::vector<uint8_t> test_palette() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 256; ++i) {
    p[i] = static_cast<uint8_t>(i);
    p[256 + i] = static_cast<uint8_t>(255 - i);
    p[512 + i] = static_cast<uint8_t>(i ^ 0x55);
  }
  return p;
}

// PackBits rows, then the table of their byte counts in front.
std::vector<uint8_t> packed(const std::vector<std::vector<uint8_t>>& rows) {
  Be b;
  for (const auto& r : rows) b.u16(static_cast<uint16_t>(r.size()));
  for (const auto& r : rows) b.raw(r);
  return b.v;
}

// One literal packet per row.
std::vector<std::vector<uint8_t>> literal_rows(const std::vector<std::vector<uint8_t>>& rows) {
  std::vector<std::vector<uint8_t>> out;
  for (const auto& r : rows) {
    std::vector<uint8_t> p = {static_cast<uint8_t>(r.size() - 1)};
    p.insert(p.end(), r.begin(), r.end());
    out.push_back(p);
  }
  return out;
}

using testing::Probed;

class PsdFiles : public ::testing::Test {
 protected:
  Probed probe(const std::vector<uint8_t>& bytes, bool want_text = true) {
    std::u16string path = tmp_.file(name("d").c_str());
    std::ofstream(to_fs_path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    Probed p;
    ImageSource source;
    source.path = &path;
    p.state = psd::probe(source, p.info, want_text).state;
    return p;
  }
  std::u16string path_of(const std::vector<uint8_t>& bytes) {
    std::u16string path = tmp_.file(name("r").c_str());
    std::ofstream(to_fs_path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // The decoded pixels, or the untouched marker everywhere when the decoder wrote nothing.
  std::vector<uint32_t> decode(const Doc& d) {
    Probed p = probe(d.bytes());
    EXPECT_NE(p.state, nullptr);
    std::vector<uint32_t> px(size_t{d.width} * d.height, kUntouched);
    if (p.state) psd::decode(*p.state, px);
    return px;
  }
  std::string name(const char* stem) {
    std::string n(stem);
    n += std::to_string(files_++);
    n += ".psd";
    return n;
  }
  static constexpr uint32_t kUntouched = 0xDEADBEEF;
  testing::TempFolder tmp_;
  int files_ = 0;
};

TEST_F(PsdFiles, EachColourModeIsDescribed) {
  struct Row {
    uint16_t mode, depth, channels;
    int32_t model, has_alpha;
    const char* text;
  };
  const Row rows[] = {
      {0, 1, 1, kModelGrey, 0, "Gray (2 colors)"},
      {1, 8, 1, kModelGrey, 0, "Gray (256 colors)"},
      {1, 16, 1, kModelGrey, 0, "Gray (256 colors)"},
      {1, 8, 2, kModelGrey, 1, "Gray Alpha (256 colors)"},
      {1, 32, 2, kModelGrey, 1, "Gray Alpha (256 colors)"},  // grey depth is not checked
      {2, 8, 1, kModelPalette, 0, "Palette RGB (256 colors)"},
      {3, 8, 3, kModelRgb, 0, "8:8:8 RGB (24 bit)"},
      {3, 8, 4, kModelRgb, 1, "8:8:8:8 ARGB (32 bit)"},
      {3, 8, 5, kModelRgb, 0, "8:8:8 X+RGB (40 bit)"},
      {3, 8, 24, kModelRgb, 0, "8:8:8 X+RGB (192 bit)"},
      {3, 16, 3, kModelRgb, 0, "16:16:16 RGB (48 bit)"},
      {3, 16, 4, kModelRgb, 1, "16:16:16:16 ARGB (64 bit)"},
      {3, 16, 6, kModelRgb, 0, "16:16:16 X+RGB (96 bit)"},
      {4, 8, 4, kModelCmyk, 0, "8:8:8:8 CMYK (32 bit)"},
      {4, 8, 5, kModelCmyk, 1, "8:8:8:8:8 ACMYK (40 bit)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    for (uint16_t compression : {0, 1}) {
      Doc d{.mode = r.mode, .depth = r.depth, .channels = r.channels, .width = 3, .height = 2};
      if (r.mode == 2) d.colour_data = test_palette();
      d.compression = compression;
      d.image.assign(size_t{3} * 2 * r.depth * r.channels / 8 + 1, 0);
      Probed p = probe(d.bytes());
      ASSERT_NE(p.state, nullptr);
      EXPECT_EQ(p.info.pixel_format, -1);
      EXPECT_EQ(p.info.colour_model, r.model);
      EXPECT_EQ(p.info.width, 3);
      EXPECT_EQ(p.info.height, 2);
      EXPECT_EQ(p.info.bits, r.depth * r.channels);
      EXPECT_EQ(p.info.channels, r.channels);
      EXPECT_EQ(p.info.has_alpha, r.has_alpha);
      EXPECT_EQ(p.info.pixel_text, r.text);
      EXPECT_EQ(p.info.compression_text, compression ? "Run-Length Encoded (PackBits)" : "");
      Probed quiet = probe(d.bytes(), false);
      ASSERT_NE(quiet.state, nullptr);
      EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text, "");
    }
  }
}

TEST_F(PsdFiles, RejectsWhatTheSectionDoesNotAllow) {
  const Doc rgb{.width = 2, .height = 2, .image = std::vector<uint8_t>(12)};
  auto with = [&](auto change) {
    Doc d = rgb;
    change(d);
    return d.bytes();
  };
  auto patched = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = rgb.bytes();
    b[at] = value;
    return b;
  };
  std::vector<uint8_t> good = rgb.bytes();
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"signature", patched(3, 'Z')},
      {"version 2", patched(5, 2)},
      {"width 0", with([](Doc& d) { d.width = 0; })},
      {"width 30001", with([](Doc& d) { d.width = 30001; })},
      {"height 30001", with([](Doc& d) { d.height = 30001; })},
      {"mode 5", with([](Doc& d) { d.mode = 5; })},
      {"mode 9 (Lab)", with([](Doc& d) { d.mode = 9; })},
      {"bitmap of 8 bits", with([](Doc& d) { d.mode = 0; d.channels = 1; })},
      {"grey with 3 channels", with([](Doc& d) { d.mode = 1; })},
      {"RGB of 1-bit samples", with([](Doc& d) { d.depth = 1; })},
      {"RGB of 32-bit samples", with([](Doc& d) { d.depth = 32; })},
      {"RGB with 2 channels", with([](Doc& d) { d.channels = 2; })},
      {"RGB with 25 channels", with([](Doc& d) { d.channels = 25; d.image.resize(100); })},
      {"CMYK with 3 channels", with([](Doc& d) { d.mode = 4; })},
      {"CMYK of 16-bit samples", with([](Doc& d) { d.mode = 4; d.channels = 4; d.depth = 16; d.image.resize(32); })},
      {"indexed with 767 bytes of colour data",
       with([](Doc& d) { d.mode = 2; d.channels = 1; d.colour_data.assign(767, 0); })},
      {"indexed without colour data", with([](Doc& d) { d.mode = 2; d.channels = 1; })},
      {"compression 2", with([](Doc& d) { d.compression = 2; })},
      {"raw data one byte short", with([](Doc& d) { d.image.resize(11); })},
      {"layer section length past the end", patched(34, 0x7F)},
      {"cut after the colour-mode length", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
      {"cut inside the colour-mode length", std::vector<uint8_t>(good.begin(), good.begin() + 28)},
      {"header only (26 bytes)", std::vector<uint8_t>(good.begin(), good.begin() + 26)},
      {"empty", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;  // a rejection leaves the record alone
    std::u16string path = path_of(r.bytes);
    ImageSource source;
    source.path = &path;
    EXPECT_EQ(psd::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
  EXPECT_NE(probe(with([](Doc& d) { d.width = 30000; d.height = 1; d.compression = 1; })).state, nullptr);
  EXPECT_NE(probe(good).state, nullptr);
}

TEST_F(PsdFiles, OpensFromFilesOnly) {
  const std::vector<uint8_t> bytes = Doc{.image = {9, 8, 7}}.bytes();
  ImageSource memory;
  memory.memory = bytes;
  ImageInfo info;
  EXPECT_EQ(psd::probe(memory, info, true), nullptr);
  ImageFile in_memory = image_file_create(true);
  image_probe_memory(in_memory, bytes);
  EXPECT_NE(in_memory.format, kFormatPsd);
  ImageFile on_disk = image_file_create(true);
  ASSERT_EQ(image_probe(on_disk, path_of(bytes)), 0);
  EXPECT_EQ(on_disk.info.format, kFormatPsd);
  EXPECT_EQ(on_disk.info.format_name, "PSD / Photoshop");
  std::vector<uint32_t> px(1);
  image_decode(on_disk, px);
  EXPECT_EQ(px[0], 0xFF090807u);
}

TEST_F(PsdFiles, WalkSkipsResourceBlocksAndTheLayerSection) {
  Doc d{.width = 1, .height = 1, .image = {0x11, 0x22, 0x33}};
  d.layers = {0x38, 0x42, 0x50, 0x53, 1, 2, 3};  // skipped whatever it holds
  // An empty name counts 2 bytes; a name is otherwise taken up to its zero byte; odd data sizes
  // are padded to even.
  d.resources = resource({0, 0}, {1, 2, 3});
  Be named;
  named.text("8BIM").u16(1000).u8(3).text("abc").u32(2).u8(5).u8(6);  // "\3abc" then the size's 0
  d.resources.insert(d.resources.end(), named.v.begin(), named.v.end());
  const std::vector<uint8_t> third = resource({0, 0}, {});
  d.resources.insert(d.resources.end(), third.begin(), third.end());
  EXPECT_EQ(decode(d), std::vector<uint32_t>{0xFF112233u});
  // A block that does not start with "8BIM" ends the walk: its bytes are read as the layer length.
  Doc stop = d;
  stop.resources = Be().text("8BIX").v;  // layer length 0x38424958: far past the end
  EXPECT_EQ(probe(stop.bytes()).state, nullptr);
}

TEST_F(PsdFiles, RgbRawAndPackBitsGiveTheSameColours) {
  // 3 × 2, channel planes: red, green, blue.
  const std::vector<std::vector<uint8_t>> planes = {{10, 11, 12, 13, 14, 15}, {20, 21, 22, 23, 24, 25}, {30, 31, 32, 33, 34, 35}};
  const std::vector<uint32_t> expected = {0xFF0A141E, 0xFF0B151F, 0xFF0C1620, 0xFF0D1721, 0xFF0E1822, 0xFF0F1923};
  Doc raw{.width = 3, .height = 2};
  for (const auto& p : planes) raw.image.insert(raw.image.end(), p.begin(), p.end());
  EXPECT_EQ(decode(raw), expected);

  Doc rle = raw;
  rle.compression = 1;
  std::vector<std::vector<uint8_t>> rows;
  for (const auto& p : planes) {
    rows.push_back({p[0], p[1], p[2]});
    rows.push_back({p[3], p[4], p[5]});
  }
  rle.image = packed(literal_rows(rows));
  EXPECT_EQ(decode(rle), expected);
}

TEST_F(PsdFiles, PackBitsRowsMustMatchTheirCountsExactly) {
  // 4 × 1 grey; the row as literal, run and no-op packets.
  struct Row {
    const char* what;
    std::vector<uint8_t> row;
    int count_delta;              // added to the row's size in the count table
    std::vector<uint32_t> greys;  // empty: no pixel written
  };
  const Row rows[] = {
      {"one literal", {3, 1, 2, 3, 4}, 0, {1, 2, 3, 4}},
      {"run of 3 (h = -2) and a literal", {0xFE, 1, 0, 4}, 0, {1, 1, 1, 4}},
      {"run of 4", {0xFD, 7}, 0, {7, 7, 7, 7}},
      {"no-op first", {0x80, 0xFD, 7}, 0, {7, 7, 7, 7}},
      {"a no-op after the row is full leaves a byte unused", {0xFD, 7, 0x80}, 0, {}},
      {"count one too large", {3, 1, 2, 3, 4}, 1, {}},
      {"count one too small", {3, 1, 2, 3, 4}, -1, {}},
      {"literal past the width", {4, 1, 2, 3, 4, 5}, 0, {}},
      {"run past the width", {0xFC, 7}, 0, {}},
      {"row one sample short", {2, 1, 2, 3}, 0, {}},
      {"run without its byte", {1, 1, 2, 0xFE}, 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Doc d{.mode = 1, .channels = 1, .width = 4, .height = 1, .compression = 1};
    d.image = Be().u16(static_cast<uint16_t>(static_cast<int>(r.row.size()) + r.count_delta)).raw(r.row).u8(0x7F).v;
    std::vector<uint32_t> expected(4, kUntouched);
    for (size_t i = 0; i < r.greys.size(); ++i) expected[i] = 0xFF000000u | r.greys[i] * 0x010101u;
    EXPECT_EQ(decode(d), expected);
  }
  // One bad row of the last (unused) channel of a 5-channel RGB image stops everything.
  Doc five{.channels = 5, .width = 2, .height = 1, .compression = 1};
  five.image = packed({{1, 1, 2}, {1, 3, 4}, {1, 5, 6}, {1, 7, 8}, {2, 9, 9, 9}});
  EXPECT_EQ(decode(five), std::vector<uint32_t>(2, kUntouched));
  five.image = packed({{1, 1, 2}, {1, 3, 4}, {1, 5, 6}, {1, 7, 8}, {1, 9, 9}});
  EXPECT_EQ(decode(five), (std::vector<uint32_t>{0xFF010305, 0xFF020406}));  // extra channels skipped
  // A count table that runs past the data.
  Doc cut{.width = 2, .height = 30000, .compression = 1, .image = {0, 2}};
  EXPECT_EQ(decode(cut), std::vector<uint32_t>(60000, kUntouched));
}

TEST_F(PsdFiles, ModelsDecodeTheirSamples) {
  // 2 × 1, four planes of 16-bit big-endian samples: high bytes 0x1c and 0x2c in plane c.
  const std::vector<uint8_t> planes16 = {0x10, 0xEE, 0x20, 0xEE, 0x11, 0xEE, 0x21, 0xEE,
                                         0x12, 0xEE, 0x22, 0xEE, 0x13, 0xEE, 0x23, 0xEE};
  struct Row {
    const char* what;
    Doc doc;
    std::vector<uint32_t> expected;
  };
  Doc indexed{.mode = 2, .channels = 1, .width = 2, .height = 1, .image = {0, 200}};
  indexed.colour_data = test_palette();
  const Row rows[] = {
      {"grey", {.mode = 1, .channels = 1, .width = 2, .height = 1, .image = {0, 0x80}}, {0xFF000000, 0xFF808080}},
      {"grey + alpha", {.mode = 1, .channels = 2, .width = 2, .height = 1, .image = {5, 6, 0x40, 0x41}},
       {0x40050505, 0x41060606}},
      {"grey 16-bit: high bytes", {.mode = 1, .depth = 16, .channels = 1, .width = 2, .height = 1, .image = planes16},
       {0xFF101010, 0xFF202020}},
      {"grey 32-bit: nothing", {.mode = 1, .depth = 32, .channels = 1, .width = 2, .height = 1, .image = planes16},
       {kUntouched, kUntouched}},
      {"indexed", indexed, {0xFF00FF55, 0xFFC8379D}},
      {"RGB + alpha", {.channels = 4, .width = 2, .height = 1, .image = {1, 2, 3, 4, 5, 6, 7, 8}},
       {0x07010305, 0x08020406}},
      {"RGB 16-bit", {.depth = 16, .width = 2, .height = 1, .image = planes16}, {0xFF101112, 0xFF202122}},
      {"RGB 16-bit + alpha", {.depth = 16, .channels = 4, .width = 2, .height = 1, .image = planes16},
       {0x13101112, 0x23202122}},
      {"CMYK: the stored bytes as red, green, blue",
       {.mode = 4, .channels = 4, .width = 2, .height = 1, .image = {1, 2, 3, 4, 5, 6, 7, 8}}, {0xFF010305, 0xFF020406}},
      {"CMYK + alpha: channel 4",
       {.mode = 4, .channels = 5, .width = 2, .height = 1, .image = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
       {0x09010305, 0x0A020406}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(decode(r.doc), r.expected);
  }
  // Bitmap, 10 × 2: rows start on a byte, 0 white, 1 black.
  Doc bitmap{.mode = 0, .depth = 1, .channels = 1, .width = 10, .height = 2, .image = {0xA0, 0x40, 0xFF, 0x80}};
  std::vector<uint32_t> px = decode(bitmap);
  std::string seen;
  for (uint32_t p : px) seen += p == 0xFF000000u ? '#' : p == 0xFFFFFFFFu ? '.' : '?';
  EXPECT_EQ(seen, "#.#......##########.");
}

TEST_F(PsdFiles, DepthsPackBitsCannotHoldWriteNothing) {
  // 16-bit rows expand to two bytes a sample, never to one: nothing is written.
  Doc wide{.depth = 16, .width = 2, .height = 1, .compression = 1};
  wide.image = packed(literal_rows({{1, 0, 2, 0}, {3, 0, 4, 0}, {5, 0, 6, 0}}));
  EXPECT_EQ(decode(wide), std::vector<uint32_t>(2, kUntouched));
  // A 1-pixel-wide bitmap whose one-byte rows match the width would overflow an 8-bit buffer.
  Doc bits{.mode = 0, .depth = 1, .channels = 1, .width = 1, .height = 4, .compression = 1};
  bits.image = packed({{0, 0x80}, {0, 0x80}, {0, 0}, {0, 0}});
  EXPECT_EQ(decode(bits), std::vector<uint32_t>(4, kUntouched));
}

TEST_F(PsdFiles, HostileFilesNeverReadOutside) {
  Doc indexed{.mode = 2, .channels = 1, .width = 5, .height = 3, .image = std::vector<uint8_t>(15, 7)};
  indexed.colour_data = test_palette();
  Doc rle{.channels = 4, .width = 5, .height = 3, .compression = 1};
  std::vector<std::vector<uint8_t>> rows(12, std::vector<uint8_t>{0xFE, 1, 2, 3, 4});
  rle.image = packed(rows);
  Doc bitmap{.mode = 0, .depth = 1, .channels = 1, .width = 13, .height = 3, .image = std::vector<uint8_t>(6, 0x5A)};
  Doc deep{.depth = 16, .channels = 4, .width = 3, .height = 3, .image = std::vector<uint8_t>(72, 0x33)};
  deep.resources = resource({0, 0}, {1, 2, 3, 4, 5});
  // A bitmap's 1-bit size check counts whole rows of bits, not whole bytes: 1 × 8 passes with one
  // byte; the other rows read as white.
  Doc thin{.mode = 0, .depth = 1, .channels = 1, .width = 1, .height = 8, .image = {0xFF}};
  std::vector<uint32_t> px = decode(thin);
  EXPECT_EQ(px[0], 0xFF000000u);
  EXPECT_EQ(px[7], 0xFFFFFFFFu);
  // Indexed documents are not checked for channels or depth: 0 channels and 1-bit samples decode
  // nothing rather than read planes the data does not hold.
  Doc none = indexed;
  none.channels = 0;
  EXPECT_EQ(decode(none), std::vector<uint32_t>(15, kUntouched));
  Doc one_bit = indexed;
  one_bit.depth = 1;
  one_bit.image.resize(2);
  EXPECT_EQ(decode(one_bit), std::vector<uint32_t>(15, kUntouched));

  // Cut or changed after the 26-byte header, a document that is still accepted keeps the size its
  // header gives; the whole document is accepted.
  std::mt19937 rng(99);
  for (const Doc& d : {indexed, rle, bitmap, deep}) {
    SCOPED_TRACE(::testing::Message() << d.width << "x" << d.height);
    const std::vector<uint8_t> full = d.bytes();
    const auto size = std::pair(static_cast<int32_t>(d.width), static_cast<int32_t>(d.height));
    for (size_t len = 27; len <= full.size(); ++len) {
      Probed p = probe(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<ptrdiff_t>(len)));
      if (len == full.size()) {
        ASSERT_NE(p.state, nullptr);
      }
      if (!p.state) continue;
      EXPECT_EQ(std::pair(p.info.width, p.info.height), size) << len;
      std::vector<uint32_t> out(15 * 4);
      psd::decode(*p.state, out);
    }
    for (int round = 0; round < 60; ++round) {
      std::vector<uint8_t> bent = full;
      for (int k = 0; k < 3; ++k) bent[26 + rng() % (bent.size() - 26)] = static_cast<uint8_t>(rng());
      Probed p = probe(bent);
      if (!p.state) continue;
      EXPECT_EQ(std::pair(p.info.width, p.info.height), size) << round;
      std::vector<uint32_t> out(15 * 4);
      psd::decode(*p.state, out);
    }
  }
}

}  // namespace
}  // namespace tesmo
