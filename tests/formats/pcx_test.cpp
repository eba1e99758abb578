// PCX: recognition and rejection by header, 24-bit planes and 8-bit palettes, run-length streams,
// the 24-bit writer, and hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/pcx/pcx.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct Head {
  uint8_t manufacturer = 10, version = 5, encoding = 0, bits = 8;
  uint16_t x_min = 0, y_min = 0, x_max = 1, y_max = 1;
  uint8_t planes = 3;
  uint16_t bytes_per_line = 2;
};

Head head(uint8_t planes, uint16_t w, uint16_t h, uint16_t bytes_per_line, uint8_t encoding = 0) {
  Head x;
  x.planes = planes;
  x.x_max = static_cast<uint16_t>(w - 1);
  x.y_max = static_cast<uint16_t>(h - 1);
  x.bytes_per_line = bytes_per_line;
  x.encoding = encoding;
  return x;
}

// The 128-byte header (unread bytes 0xEE, which must not matter) + `rest`.
std::vector<uint8_t> pcx(const Head& h, const std::vector<uint8_t>& rest = {}) {
  std::vector<uint8_t> v(128 + rest.size(), 0xEE);
  std::copy(rest.begin(), rest.end(), v.begin() + 128);
  const uint8_t fields[] = {h.manufacturer, h.version, h.encoding, h.bits,
                            uint8_t(h.x_min), uint8_t(h.x_min >> 8), uint8_t(h.y_min), uint8_t(h.y_min >> 8),
                            uint8_t(h.x_max), uint8_t(h.x_max >> 8), uint8_t(h.y_max), uint8_t(h.y_max >> 8)};
  std::copy(std::begin(fields), std::end(fields), v.begin());
  v[65] = h.planes;
  v[66] = uint8_t(h.bytes_per_line);
  v[67] = uint8_t(h.bytes_per_line >> 8);
  return v;
}

// A palette whose entry i is red i, green 0x40, blue 0x80 (pixel 0xFF??4080 with ?? = i).
std::vector<uint8_t> palette() {
  std::vector<uint8_t> p;
  for (int i = 0; i < 256; ++i) {
    p.push_back(static_cast<uint8_t>(i));
    p.push_back(0x40);
    p.push_back(0x80);
  }
  return p;
}
uint32_t entry(uint32_t i) { return 0xFF004080u | i << 16; }

// An 8-bit file: header, `pixels`, the marker byte 12, the palette.
std::vector<uint8_t> indexed(const Head& h, std::vector<uint8_t> pixels) {
  pixels.push_back(12);
  const std::vector<uint8_t> p = palette();
  pixels.insert(pixels.end(), p.begin(), p.end());
  return pcx(h, pixels);
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<pcx::probe, pcx::decode>;

TEST(PcxProbe, AcceptedVersionsEncodingsAndLayouts) {
  struct Row {
    const char* what;
    Head h;
    bool rgb, run_length;
  };
  auto v = [](Head h, uint8_t version) {
    h.version = version;
    return h;
  };
  const Row rows[] = {
      {"24 bits version 0", v(head(3, 2, 2, 2), 0), true, false},
      {"24 bits version 2", v(head(3, 2, 2, 2), 2), true, false},
      {"24 bits version 3", v(head(3, 2, 2, 2), 3), true, false},
      {"24 bits version 4, run-length", v(head(3, 2, 2, 2, 1), 4), true, true},
      {"24 bits version 5", head(3, 2, 2, 2), true, false},
      {"8 bits version 5, run-length", head(1, 2, 2, 2, 1), false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::vector<uint8_t> bytes = pcx(r.h);
    Probed p = Codec::probe_memory(bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.rgb ? 0 : -1);
    EXPECT_EQ(p.info.colour_model, r.rgb ? kModelRgb : kModelPalette);
    EXPECT_EQ(p.info.bits, r.rgb ? 24 : 8);
    EXPECT_EQ(p.info.channels, r.rgb ? 3 : 1);
    EXPECT_EQ(p.info.has_alpha, 0);
    EXPECT_EQ(p.info.pixel_text, r.rgb ? "8:8:8 RGB (24 bit)" : "Palette RGB (256 colors)");
    EXPECT_EQ(p.info.compression_text, r.run_length ? "Run-Length Encoded" : "");
    EXPECT_EQ(p.info.extra_text, "");
    Probed quiet = Codec::probe_memory(bytes, false);
    ASSERT_NE(quiet.state, nullptr);
    EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text, "");
  }
  // Width and height come from the min and max fields.
  Head offset = head(3, 1, 1, 8);
  offset.x_min = 100;
  offset.x_max = 107;
  offset.y_min = 5;
  offset.y_max = 7;
  const std::vector<uint8_t> bytes = pcx(offset);
  Probed p = Codec::probe_memory(bytes);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.width, 8);
  EXPECT_EQ(p.info.height, 3);
}

TEST(PcxProbe, RejectsWhatTheHeaderForbids) {
  auto with = [](Head h, auto change) {
    change(h);
    return pcx(h);
  };
  const Head rgb = head(3, 2, 2, 2);
  const Head grey = head(1, 2, 2, 2);
  const std::vector<uint8_t> whole = pcx(rgb);
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"header cut at 127 bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 127)},
      {"manufacturer 11", with(rgb, [](Head& h) { h.manufacturer = 11; })},
      {"version 1", with(rgb, [](Head& h) { h.version = 1; })},
      {"version 6", with(rgb, [](Head& h) { h.version = 6; })},
      {"version 255", with(rgb, [](Head& h) { h.version = 255; })},
      {"encoding 2", with(rgb, [](Head& h) { h.encoding = 2; })},
      {"bytes per line 0", with(rgb, [](Head& h) { h.bytes_per_line = 0; })},
      {"x max below x min", with(rgb, [](Head& h) { h.x_min = 5; h.x_max = 3; })},
      {"y max below y min", with(rgb, [](Head& h) { h.y_min = 1; h.y_max = 0; })},
      {"width 32768", with(rgb, [](Head& h) { h.x_max = 32767; })},
      {"width 65536", with(rgb, [](Head& h) { h.x_max = 65535; })},
      {"height 32768", with(rgb, [](Head& h) { h.y_max = 32767; })},
      {"8-bit palette at version 3", with(grey, [](Head& h) { h.version = 3; })},
      {"8-bit palette at version 4", with(grey, [](Head& h) { h.version = 4; })},
      {"1 bit × 1 plane", with(grey, [](Head& h) { h.bits = 1; })},
      {"1 bit × 4 planes", with(rgb, [](Head& h) { h.bits = 1; h.planes = 4; })},
      {"8 bits × 4 planes", with(rgb, [](Head& h) { h.planes = 4; })},
      {"8 bits × 2 planes", with(rgb, [](Head& h) { h.planes = 2; })},
      {"24 bits × 1 plane", with(grey, [](Head& h) { h.bits = 24; })},
      {"4 bits × 2 planes", with(rgb, [](Head& h) { h.bits = 4; h.planes = 2; })},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(pcx::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
}

TEST(PcxProbe, FileFormNeedsMoreThan128Bytes) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> one = pcx(head(3, 1, 1, 1), {0x30, 0x20, 0x10});
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Row rows[] = {
      {"128 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 128), false},
      {"129 bytes", std::vector<uint8_t>(one.begin(), one.begin() + 129), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    write_bytes(tmp.file("a.pcx"), r.bytes);
    EXPECT_EQ(Codec::probe_path(tmp.file("a.pcx")).state != nullptr, r.accepted);
    EXPECT_NE(Codec::probe_memory(r.bytes).state, nullptr);
  }
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.pcx")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.folder()).state, nullptr);
  // Cut after the red plane: green and blue read as zero.
  write_bytes(tmp.file("cut.pcx"), std::vector<uint8_t>(one.begin(), one.begin() + 129));
  Probed cut = Codec::probe_path(tmp.file("cut.pcx"));
  EXPECT_EQ(Codec::decoded(cut), std::vector<uint32_t>{0xFF300000u});
}

TEST(PcxDecode, PlanesStrideAndPalette) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;
  };
  const Row rows[] = {
      {"24 bits: red, green, blue planes per row",
       pcx(head(3, 2, 2, 2), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {0xFF010305, 0xFF020406, 0xFF07090B, 0xFF080A0C}},
      {"24 bits, bytes per line 3 for width 2: the extra byte is skipped",
       pcx(head(3, 2, 1, 3), {1, 2, 0xEE, 3, 4, 0xEE, 5, 6, 0xEE}), {0xFF010305, 0xFF020406}},
      {"24 bits, bytes per line 1 for width 2: the pixel past it is black",
       pcx(head(3, 2, 1, 1), {1, 3, 5}), {0xFF010305, 0xFF000000}},
      {"8 bits, palette from the last 768 bytes", indexed(head(1, 3, 2, 4), {7, 0, 255, 0xEE, 1, 2, 3, 0xEE}),
       {entry(7), entry(0), entry(255), entry(1), entry(2), entry(3)}},
      {"8 bits, bytes per line below the width: entry 0 past it", indexed(head(1, 3, 1, 2), {9, 8}),
       {entry(9), entry(8), entry(0)}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(r.bytes), r.expected);
  }
}

TEST(PcxDecode, PaletteOfAFileTooShortToHoldOne) {
  // 128 + 2 pixel bytes + 640: the last 768 bytes begin inside the header.
  std::vector<uint8_t> tail(640, 0);
  tail[640 - 3] = 0x11;  // the last entry: red 0x11
  std::vector<uint8_t> pixels = {255, 0};
  pixels.insert(pixels.end(), tail.begin(), tail.end());
  const std::vector<uint8_t> bytes = pcx(head(1, 2, 1, 2), pixels);
  const std::vector<uint32_t> px = Codec::decode_memory(bytes);
  EXPECT_EQ(px[0], 0xFF110000u);
  EXPECT_EQ(px[1], 0xFF000000u | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 8 | bytes[4]);  // header
  // Shorter than 768 bytes: palette bytes before the start of the data read as zero; entry 255 is
  // the last header byte (0xEE) and the two pixel bytes.
  const std::vector<uint8_t> tiny = pcx(head(1, 2, 1, 2), {0, 255});
  EXPECT_EQ(Codec::decode_memory(tiny), (std::vector<uint32_t>{0xFF000000u, 0xFFEE00FFu}));
}

TEST(PcxRle, CountsValuesAndZeroCountPairs) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;
  };
  const Row rows[] = {
      // 2 × 1, 8 bits: 0xC2 0x05 is two 5s; bytes below 0xC0 stand for themselves.
      {"a run", indexed(head(1, 2, 1, 2, 1), {0xC2, 5}), {entry(5), entry(5)}},
      {"literals", indexed(head(1, 2, 1, 2, 1), {0xBF, 7}), {entry(0xBF), entry(7)}},
      {"a value of 0xC0 or more needs a count of 1", indexed(head(1, 2, 1, 2, 1), {0xC1, 0xC8, 3}),
       {entry(0xC8), entry(3)}},
      {"a count-0 pair writes nothing", indexed(head(1, 2, 1, 2, 1), {0xC0, 0x99, 4, 6}),
       {entry(4), entry(6)}},
      // 24 bits, 2 × 2: one stream over rows and planes; a run may cross planes and rows.
      {"a run across planes and rows", pcx(head(3, 2, 2, 2, 1), {0xC5, 9, 1, 0xC6, 2}),
       {0xFF090909, 0xFF090901, 0xFF020202, 0xFF020202}},
      {"bytes per line 3 for width 2",
       pcx(head(3, 2, 1, 3, 1), {1, 2, 0xC1, 0xEE, 4, 5, 0xC1, 0xEE, 7, 8, 0xC1, 0xEE}),
       {0xFF010407, 0xFF020508}},
      {"a run past the end is cut", pcx(head(3, 1, 1, 1, 1), {0xFF, 3}), {0xFF030303}},
      {"the stream ends early: zeros", pcx(head(3, 2, 1, 2, 1), {0xC3, 8}), {0xFF080800, 0xFF080000}},
      {"a count without its value", pcx(head(3, 1, 1, 1, 1), {4, 0xC2}), {0xFF040000}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(r.bytes), r.expected);
  }
}

TEST(PcxMemory, PaletteComesFromTheEndOfTheMemoryImage) {
  // The same bytes in memory and in a file decode alike.
  const std::vector<uint8_t> bytes = indexed(head(1, 2, 2, 2, 1), {0xC3, 40, 41});
  EXPECT_EQ(Codec::decode_memory(bytes), (std::vector<uint32_t>{entry(40), entry(40), entry(40), entry(41)}));
  testing::TempFolder tmp;
  write_bytes(tmp.file("p.pcx"), bytes);
  Probed f = Codec::probe_path(tmp.file("p.pcx"));
  EXPECT_EQ(Codec::decoded(f), Codec::decode_memory(bytes));
}

TEST(PcxWrite, HeaderAndPlanes) {
  const std::vector<uint32_t> px = {0xFF010203, 0x80040506, 0x00070809};
  const std::vector<uint8_t> f = pcx::encode(px, 3, 1, 0);
  ASSERT_EQ(f.size(), 128u + 9);
  std::vector<uint8_t> expected(128, 0);
  const uint8_t fields[] = {10, 5, 0, 8, 0, 0, 0, 0, 2, 0, 0, 0};
  std::copy(std::begin(fields), std::end(fields), expected.begin());
  expected[65] = 3;
  expected[66] = 3;  // bytes per line = width, odd or not
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 128), expected);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 128, f.end()),
            (std::vector<uint8_t>{1, 4, 7, 2, 5, 8, 3, 6, 9}));

  EXPECT_TRUE(pcx::encode(px, 3, 1, 1).empty());
  EXPECT_TRUE(pcx::encode(px, 3, 1, -1).empty());
  EXPECT_TRUE(pcx::encode(px, 2, 2, 0).empty());
  EXPECT_TRUE(pcx::encode(px, 0, 1, 0).empty());
  EXPECT_TRUE(pcx::encode(px, 65536, 1, 0).empty());
}

TEST(PcxWrite, OddWidthRoundTripsExactly) {
  std::vector<uint32_t> px(7 * 5);
  std::mt19937 rng(5);
  for (auto& p : px) p = static_cast<uint32_t>(rng());
  testing::TempFolder tmp;
  SaveRequest req;
  req.path = tmp.file("rt.pcx");
  ASSERT_EQ(pcx::save(px, 7, 5, req), 0);
  Probed p = Codec::probe_path(req.path);
  ASSERT_NE(p.state, nullptr);
  EXPECT_EQ(p.info.pixel_format, 0);
  std::vector<uint32_t> back = Codec::decoded(p);
  for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(back[i], px[i] | 0xFF000000u) << i;

  req.pixel_format = 1;
  write_bytes(req.path, {1, 2, 3});
  EXPECT_EQ(pcx::save(px, 7, 5, req), 1);
  EXPECT_EQ(read_file(req.path), (std::vector<uint8_t>{1, 2, 3}));
}

// Rows may be far longer than the picture is wide. Once the data runs out, the rows that follow
// cost nothing more: 32767 rows of 3 × 65534 bytes (6 GB of rows) over 5 pixels each decode at once,
// black and opaque, stored and run-length alike.
// The decoding thread's own processor time: what other processes on a loaded machine take does not
// count, so the bound below measures the decoder's work, not the machine's load.
std::chrono::nanoseconds thread_cpu_time() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

TEST(PcxHostile, LongRowsPastTheDataCostNothing) {
  std::chrono::nanoseconds took{};
  for (uint8_t encoding : {0, 1}) {
    const std::vector<uint8_t> file = pcx(head(3, 5, 32767, 65534, encoding), {1, 2, 3});
    const auto start = thread_cpu_time();
    const std::vector<uint32_t> px = Codec::decode_memory(file);
    took += thread_cpu_time() - start;
    ASSERT_EQ(px.size(), size_t{5} * 32767);
    EXPECT_EQ(px.back(), 0xFF000000u) << int{encoding};
    EXPECT_EQ(px[5], 0xFF000000u) << int{encoding};  // the second row: nothing left for it
  }
  // Clearing every whole row again costs about 0.2 s of processor time even without sanitizers;
  // 164 K pixels take about 1 ms.
  EXPECT_LT(took, std::chrono::milliseconds(100));
}

TEST(PcxHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  // The size and layout end with the 128-byte header.
  const Seed seeds[] = {
      {pcx(head(3, 5, 3, 6), std::vector<uint8_t>(54, 0x5A)), {5, 3, 128, std::vector<uint32_t>(15, 0xFF5A5A5Au)}},
      {pcx(head(3, 5, 3, 5, 1), {0xC7, 1, 2, 3, 0xFF, 4, 0xC0, 5, 6, 0xC9, 7, 8, 9}), {5, 3, 128, {}}},
      {indexed(head(1, 5, 3, 5, 1), {0xC4, 9, 0xC0, 1, 2, 3, 0xC8, 4}), {5, 3, 128, {}}},
      {indexed(head(1, 5, 3, 2), std::vector<uint8_t>(6, 3)), {5, 3, 128, {}}},
  };
  std::mt19937 rng(77);
  for (const Seed& seed : seeds) {
    Codec::damaged_copies(seed.bytes, seed.truth, rng, {.file_cuts = {129, 140, seed.bytes.size() - 1}});
  }
}

}  // namespace
}  // namespace tesmo
