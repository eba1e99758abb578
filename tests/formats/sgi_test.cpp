// SGI: recognition and rejection by header, verbatim planes, run-length rows found through their
// own offsets, the verbatim writer, and hostile input. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "base/file_io.h"
#include "base/path.h"
#include "codec_harness.h"
#include "formats/sgi/sgi.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct Head {
  uint16_t magic = 474;
  uint8_t storage = 0, bytes_per_channel = 1;
  uint16_t dimension = 3, width = 2, height = 2, channels = 3;
  uint32_t colour_map = 0;
};

Head head(uint16_t channels, uint16_t w, uint16_t h, uint8_t storage = 0) {
  Head x;
  x.channels = channels;
  x.width = w;
  x.height = h;
  x.storage = storage;
  return x;
}

void put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = uint8_t(x >> 8);
  v[at + 1] = uint8_t(x);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  put16(v, at, uint16_t(x >> 16));
  put16(v, at + 2, uint16_t(x));
}

// The 512-byte header (unread bytes 0xEE) + `rest`.
std::vector<uint8_t> sgi(const Head& h, const std::vector<uint8_t>& rest = {}) {
  std::vector<uint8_t> v(512 + rest.size(), 0xEE);
  put16(v, 0, h.magic);
  v[2] = h.storage;
  v[3] = h.bytes_per_channel;
  put16(v, 4, h.dimension);
  put16(v, 6, h.width);
  put16(v, 8, h.height);
  put16(v, 10, h.channels);
  put32(v, 104, h.colour_map);
  std::copy(rest.begin(), rest.end(), v.begin() + 512);
  return v;
}

// A run-length file: `rows[c * height + y]` holds the packets of stored row y of channel c. The
// rows are laid out in reverse order, so that offsets do not follow the table order.
std::vector<uint8_t> sgi_rle(const Head& h, const std::vector<std::vector<uint8_t>>& rows) {
  const size_t n = rows.size();
  std::vector<uint8_t> tables(8 * n, 0);
  std::vector<uint8_t> data;
  uint32_t at = static_cast<uint32_t>(512 + 8 * n);
  for (size_t i = n; i-- > 0;) {
    put32(tables, 4 * i, at + static_cast<uint32_t>(data.size()));
    put32(tables, 4 * (n + i), static_cast<uint32_t>(rows[i].size()));
    data.insert(data.end(), rows[i].begin(), rows[i].end());
  }
  tables.insert(tables.end(), data.begin(), data.end());
  return sgi(h, tables);
}

using testing::kUntouched;
using testing::Probed;
using testing::write_bytes;
using Codec = testing::CodecHarness<sgi::probe, sgi::decode>;

TEST(SgiProbe, AcceptedHeadersAreDescribed) {
  auto with = [](Head h, auto change) {
    change(h);
    return h;
  };
  struct Row {
    const char* what;
    Head h;
    int32_t pixel_format, model, bits, channels, alpha;
    const char* pixel_text;
    bool run_length;
  };
  const Row rows[] = {
      {"grey", head(1, 2, 2), 0, kModelGrey, 8, 1, 0, "Gray (256 colors)", false},
      {"grey, dimension 2", with(head(1, 2, 2), [](Head& h) { h.dimension = 2; }), 0, kModelGrey, 8, 1, 0,
       "Gray (256 colors)", false},
      {"grey, dimension 1", with(head(1, 2, 1), [](Head& h) { h.dimension = 1; }), 0, kModelGrey, 8, 1, 0,
       "Gray (256 colors)", false},
      {"RGB, run-length", head(3, 2, 2, 1), 1, kModelRgb, 24, 3, 0, "8:8:8 RGB (24 bit)", true},
      {"RGBA", head(4, 2, 2), 2, kModelRgb, 32, 4, 1, "8:8:8:8 ARGB (32 bit)", false},
      {"colour map 3", with(head(3, 2, 2), [](Head& h) { h.colour_map = 3; }), 1, kModelRgb, 24, 3, 0,
       "8:8:8 RGB (24 bit)", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::vector<uint8_t> bytes = sgi(r.h);
    Probed p = Codec::probe_memory(bytes);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, r.pixel_format);
    EXPECT_EQ(p.info.colour_model, r.model);
    EXPECT_EQ(p.info.width, r.h.width);
    EXPECT_EQ(p.info.height, r.h.height);
    EXPECT_EQ(p.info.bits, r.bits);
    EXPECT_EQ(p.info.channels, r.channels);
    EXPECT_EQ(p.info.has_alpha, r.alpha);
    EXPECT_EQ(p.info.pixel_text, r.pixel_text);
    EXPECT_EQ(p.info.compression_text, r.run_length ? "Run-Length Encoded" : "");
    EXPECT_EQ(p.info.extra_text, "");
    Probed quiet = Codec::probe_memory(bytes, false);
    ASSERT_NE(quiet.state, nullptr);
    EXPECT_EQ(quiet.info.pixel_text + quiet.info.compression_text, "");
  }
}

TEST(SgiProbe, RejectsWhatTheHeaderForbids) {
  auto with = [](auto change) {
    Head h = head(3, 2, 2);
    change(h);
    return sgi(h);
  };
  const std::vector<uint8_t> whole = sgi(head(3, 2, 2));
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"header cut at 511 bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 511)},
      {"magic 473", with([](Head& h) { h.magic = 473; })},
      {"magic byte-swapped", with([](Head& h) { h.magic = 0xDA01; })},
      {"storage 2", with([](Head& h) { h.storage = 2; })},
      {"2 bytes per channel", with([](Head& h) { h.bytes_per_channel = 2; })},
      {"dimension 0", with([](Head& h) { h.dimension = 0; })},
      {"dimension 4", with([](Head& h) { h.dimension = 4; })},
      {"z size 0", with([](Head& h) { h.channels = 0; })},
      {"z size 2", with([](Head& h) { h.channels = 2; })},
      {"z size 5", with([](Head& h) { h.channels = 5; })},
      {"width 0", with([](Head& h) { h.width = 0; })},
      {"height 0", with([](Head& h) { h.height = 0; })},
      {"width 32768", with([](Head& h) { h.width = 32768; })},
      {"height 65535", with([](Head& h) { h.height = 65535; })},
      {"colour map 1", with([](Head& h) { h.colour_map = 1; })},
      {"colour map 2", with([](Head& h) { h.colour_map = 2; })},
      {"colour map 0x03000000", with([](Head& h) { h.colour_map = 0x03000000; })},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ImageInfo info;
    info.width = 77;
    ImageSource source;
    source.memory = r.bytes;
    EXPECT_EQ(sgi::probe(source, info, true), nullptr);
    EXPECT_EQ(info.width, 77);
  }
}

TEST(SgiProbe, FileFormNeedsMoreThan512Bytes) {
  testing::TempFolder tmp;
  const std::vector<uint8_t> one = sgi(head(3, 1, 1), {0x30, 0x20, 0x10});
  write_bytes(tmp.file("512.sgi"), std::vector<uint8_t>(one.begin(), one.begin() + 512));
  EXPECT_EQ(Codec::probe_path(tmp.file("512.sgi")).state, nullptr);
  write_bytes(tmp.file("513.sgi"), std::vector<uint8_t>(one.begin(), one.begin() + 513));
  Probed cut = Codec::probe_path(tmp.file("513.sgi"));
  ASSERT_NE(cut.state, nullptr);
  EXPECT_EQ(Codec::decoded(cut), std::vector<uint32_t>{0xFF300000u});  // green and blue planes missing: zero
  EXPECT_EQ(Codec::probe_path(tmp.file("missing.sgi")).state, nullptr);
  EXPECT_EQ(Codec::probe_path(tmp.folder()).state, nullptr);
  const std::vector<uint8_t> header_only(one.begin(), one.begin() + 512);
  EXPECT_NE(Codec::probe_memory(header_only).state, nullptr);  // memory needs only the header
}

TEST(SgiDecode, VerbatimPlanesBottomUp) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> expected;  // top row first
  };
  const Row rows[] = {
      {"grey", sgi(head(1, 2, 2), {1, 2, 3, 4}), {0xFF030303, 0xFF040404, 0xFF010101, 0xFF020202}},
      {"RGB: planes red, green, blue", sgi(head(3, 2, 2), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {0xFF03070B, 0xFF04080C, 0xFF010509, 0xFF02060A}},
      {"RGBA", sgi(head(4, 1, 2), {1, 2, 3, 4, 5, 6, 7, 8}), {0x08020406, 0x07010305}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(r.bytes), r.expected);
  }
}

TEST(SgiRle, EachRowThroughItsOwnOffset) {
  struct Row {
    const char* what;
    Head h;
    std::vector<std::vector<uint8_t>> rows;  // channel-major, stored rows bottom-up
    std::vector<uint32_t> expected;          // top row first
  };
  const Row rows[] = {
      {"grey: a repeat and a literal", head(1, 3, 2, 1),
       {{0x03, 7, 0}, {0x01, 9, 0x82, 1, 2, 0}},
       {0xFF090909, 0xFF010101, 0xFF020202, 0xFF070707, 0xFF070707, 0xFF070707}},
      {"RGB", head(3, 2, 1, 1), {{0x82, 1, 2, 0}, {0x02, 5, 0}, {0x81, 8, 0x01, 9, 0}},
       {0xFF010508, 0xFF020509}},
      {"RGBA", head(4, 1, 1, 1), {{0x01, 1, 0}, {0x01, 2, 0}, {0x01, 3, 0}, {0x01, 4, 0}}, {0x04010203}},
      {"RGB, two rows: the table holds each channel's rows together", head(3, 1, 2, 1),
       {{0x01, 1, 0}, {0x01, 2, 0}, {0x01, 3, 0}, {0x01, 4, 0}, {0x01, 5, 0}, {0x01, 6, 0}},
       {0xFF020406, 0xFF010305}},
      {"a repeat past the width is cut", head(1, 2, 1, 1), {{0x7F, 6, 0x01, 9, 0}}, {0xFF060606, 0xFF060606}},
      {"a literal past the width is cut", head(1, 2, 1, 1), {{0x85, 1, 2, 3, 4, 5, 0}},
       {0xFF010101, 0xFF020202}},
      {"a row that ends early is zero", head(1, 3, 1, 1), {{0x01, 6, 0x00, 0x02, 9}},
       {0xFF060606, 0xFF000000, 0xFF000000}},
      {"a row without an end packet", head(1, 2, 1, 1), {{0x02, 6}}, {0xFF060606, 0xFF060606}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Codec::decode_memory(sgi_rle(r.h, r.rows)), r.expected);
  }
}

TEST(SgiRle, OffsetsOutsideTheDataAndTheSourceStaysAsItWas) {
  // Stored row 1 points past the end; row 0's data runs out inside a literal.
  std::vector<uint8_t> bytes = sgi(head(1, 3, 2, 1), std::vector<uint8_t>(16, 0));
  put32(bytes, 512, 512 + 16);
  put32(bytes, 516, 0xFFFFFFF0);
  bytes.insert(bytes.end(), {0x83, 4, 5});
  const std::vector<uint8_t> before = bytes;
  Probed first = Codec::probe_memory(bytes);
  Probed second = Codec::probe_memory(bytes);  // the tables are read, never swapped in place
  const std::vector<uint32_t> expected = {0xFF000000, 0xFF000000, 0xFF000000,   // stored row 1
                                          0xFF040404, 0xFF050505, 0xFF000000};  // stored row 0
  EXPECT_EQ(Codec::decoded(first), expected);
  EXPECT_EQ(Codec::decoded(second), expected);
  EXPECT_EQ(bytes, before);

  // A table cut short by the end of the data: the rows it cannot name are zero.
  const std::vector<uint8_t> full = sgi_rle(head(1, 1, 2, 1), {{0x01, 3, 0}, {0x01, 4, 0}});
  const std::vector<uint8_t> cut(full.begin(), full.begin() + 516);
  EXPECT_EQ(Codec::decode_memory(cut), (std::vector<uint32_t>{0xFF000000, 0xFF000000}));
  // A file form sees the same.
  testing::TempFolder tmp;
  write_bytes(tmp.file("rle.sgi"), full);
  Probed f = Codec::probe_path(tmp.file("rle.sgi"));
  EXPECT_EQ(Codec::decoded(f), (std::vector<uint32_t>{0xFF040404, 0xFF030303}));
}

TEST(SgiWrite, HeaderPlanesAndGrey) {
  const std::vector<uint32_t> px = {0x10FF0000, 0x2000FF00, 0x300000FF, 0x40FFFFFF};  // 2 × 2
  const std::vector<uint8_t> f = sgi::encode(px, 2, 2, 2);
  ASSERT_EQ(f.size(), 512u + 16);
  std::vector<uint8_t> header(512, 0);
  const uint8_t fields[] = {0x01, 0xDA, 0, 1, 0, 3, 0, 2, 0, 2, 0, 4};
  std::copy(std::begin(fields), std::end(fields), header.begin());
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 512), header);  // maximum and colour map 0
  // Planes red, green, blue, alpha; the first stored row is the bottom row.
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 512, f.end()),
            (std::vector<uint8_t>{0, 255, 255, 0, 0, 255, 0, 255, 255, 255, 0, 0, 0x30, 0x40, 0x10, 0x20}));
  const std::vector<uint8_t> grey = sgi::encode(px, 2, 2, 0);
  EXPECT_EQ(grey[11], 1);
  EXPECT_EQ(std::vector<uint8_t>(grey.begin() + 512, grey.end()), (std::vector<uint8_t>{27, 255, 150, 76}));
  EXPECT_EQ(sgi::encode(px, 2, 2, 1).size(), 512u + 12);

  EXPECT_TRUE(sgi::encode(px, 2, 2, 3).empty());
  EXPECT_TRUE(sgi::encode(px, 2, 2, -1).empty());
  EXPECT_TRUE(sgi::encode(px, 3, 2, 2).empty());
  EXPECT_TRUE(sgi::encode(px, 0, 2, 2).empty());
  EXPECT_TRUE(sgi::encode(px, 65536, 1, 2).empty());
}

TEST(SgiWrite, RoundTripEveryLayout) {
  std::vector<uint32_t> px(7 * 5);
  std::mt19937 rng(3);
  for (auto& p : px) p = static_cast<uint32_t>(rng());
  testing::TempFolder tmp;
  for (int32_t pf = 0; pf < 3; ++pf) {
    SCOPED_TRACE(pf);
    SaveRequest req;
    req.path = tmp.file("rt.rgb");
    req.pixel_format = pf;
    ASSERT_EQ(sgi::save(px, 7, 5, req), 0);
    Probed p = Codec::probe_path(req.path);
    ASSERT_NE(p.state, nullptr);
    EXPECT_EQ(p.info.pixel_format, pf);
    const std::vector<uint32_t> back = Codec::decoded(p);
    for (size_t i = 0; i < px.size(); ++i) {
      uint32_t expected = px[i];
      if (pf == 0) expected = 0xFF000000u | grey_of(px[i]) * 0x010101u;
      if (pf == 1) expected = px[i] | 0xFF000000u;
      EXPECT_EQ(back[i], expected) << i;
    }
  }
  SaveRequest bad;
  bad.path = tmp.file("rt.rgb");
  bad.pixel_format = 3;
  EXPECT_EQ(sgi::save(px, 7, 5, bad), 1);
  EXPECT_TRUE(file_exists(bad.path));  // the previous file stays
}

TEST(SgiHostile, TruncatedAndMutatedFilesNeverReadOutside) {
  // Output row 0 is the last stored row. The empty blue row of the second seed gives blue 0.
  struct Seed {
    std::vector<uint8_t> bytes;
    Codec::Truth truth;
  };
  const Seed seeds[] = {
      {sgi(head(4, 5, 3), std::vector<uint8_t>(60, 0x5A)), {5, 3, 512, std::vector<uint32_t>(15, 0x5A5A5A5Au)}},
      {sgi_rle(head(3, 5, 2, 1), {{0x85, 1, 2, 3, 4, 5, 0}, {0x05, 6, 0}, {0x02, 1, 0x83, 2, 3, 4, 0},
                                  {0x7F, 9}, {0}, {0x81, 1, 0x04, 2, 0}}),
       {5, 2, 512, {0xFF060901u, 0xFF060902u, 0xFF060902u, 0xFF060902u, 0xFF060902u,
                    0xFF010100u, 0xFF020100u, 0xFF030200u, 0xFF040300u, 0xFF050400u}}},
      {sgi_rle(head(1, 4, 2, 1), {{0x02, 1, 0x02, 2, 0}, {0x84, 1, 2, 3, 4, 0}}),
       {4, 2, 512, {0xFF010101u, 0xFF020202u, 0xFF030303u, 0xFF040404u,
                    0xFF010101u, 0xFF010101u, 0xFF020202u, 0xFF020202u}}},
  };
  std::mt19937 rng(31);
  for (const Seed& seed : seeds) {
    // Half the changes hit the pixel data rather than the 512-byte header and offset tables.
    Codec::damaged_copies(seed.bytes, seed.truth, rng,
                          {.file_cuts = {513, 530, seed.bytes.size() - 1}, .bend_from = 512});
  }
}

}  // namespace
}  // namespace tesmo
