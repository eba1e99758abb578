// Exif reader and writer: display rows of hand-built Exif blocks in both byte orders, the texts of
// every kind of value, blocks whose offsets point outside the APP1 segment, and the in-place
// writer.
#include <gtest/gtest.h>

#include <fstream>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "formats/exif/exif.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

constexpr uint16_t kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7,
                   kSRational = 10;

struct Value {
  uint16_t type;
  uint32_t count;
  std::vector<uint8_t> bytes;  // in the block's byte order
};

struct Field {
  uint16_t tag;
  Value value;
};

// A TIFF structure as an Exif block holds it. Offsets are counted from the TIFF header.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool big_endian) : big_(big_endian) {
    bytes.push_back(big_ ? 'M' : 'I');
    bytes.push_back(big_ ? 'M' : 'I');
    append16(42);
    append32(8);
  }

  // Appends a directory and, right after it, its values of more than four bytes.
  uint32_t directory(const std::vector<Field>& fields, uint32_t next = 0) {
    const uint32_t at = static_cast<uint32_t>(bytes.size());
    uint32_t data = at + 2 + 12 * static_cast<uint32_t>(fields.size()) + 4;
    append16(static_cast<uint16_t>(fields.size()));
    std::vector<uint8_t> outside;
    for (const Field& f : fields) {
      append16(f.tag);
      append16(f.value.type);
      append32(f.value.count);
      if (f.value.bytes.size() <= 4) {
        std::vector<uint8_t> field = f.value.bytes;
        field.resize(4, 0);
        bytes.insert(bytes.end(), field.begin(), field.end());
      } else {
        append32(data + static_cast<uint32_t>(outside.size()));
        outside.insert(outside.end(), f.value.bytes.begin(), f.value.bytes.end());
      }
    }
    append32(next);
    bytes.insert(bytes.end(), outside.begin(), outside.end());
    return at;
  }

  static size_t entry(uint32_t ifd, size_t i) { return ifd + 2 + 12 * i; }
  void patch32(size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (big_ ? 8 * (3 - i) : 8 * i));
  }
  void patch16(size_t at, uint16_t v) {
    for (size_t i = 0; i < 2; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (big_ ? 8 * (1 - i) : 8 * i));
  }

  std::vector<uint8_t> u16s(std::initializer_list<uint16_t> v) const {
    std::vector<uint8_t> out;
    for (uint16_t x : v) {
      out.push_back(static_cast<uint8_t>(big_ ? x >> 8 : x));
      out.push_back(static_cast<uint8_t>(big_ ? x : x >> 8));
    }
    return out;
  }
  std::vector<uint8_t> u32s(std::initializer_list<uint32_t> v) const {
    std::vector<uint8_t> out;
    for (uint32_t x : v) {
      for (size_t i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(x >> (big_ ? 8 * (3 - i) : 8 * i)));
    }
    return out;
  }
  Value shorts(std::initializer_list<uint16_t> v) const { return {kShort, static_cast<uint32_t>(v.size()), u16s(v)}; }
  Value long_(uint32_t v) const { return {kLong, 1, u32s({v})}; }
  Value rational(uint32_t n, uint32_t d, uint16_t type = kRational) const { return {type, 1, u32s({n, d})}; }
  static Value ascii(const std::string& text) {
    std::vector<uint8_t> b(text.begin(), text.end());
    b.push_back(0);
    return {kAscii, static_cast<uint32_t>(b.size()), b};
  }
  static Value undefined(std::vector<uint8_t> b) { return {kUndefined, static_cast<uint32_t>(b.size()), b}; }

  std::vector<uint8_t> bytes;

 private:
  void append16(uint16_t v) {
    auto b = u16s({v});
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  void append32(uint32_t v) {
    auto b = u32s({v});
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  bool big_;
};

// Start marker, an optional JFIF APP0 (16 bytes of segment), the APP1 segment with the block,
// then `after` (bytes past the segment) and the end marker.
constexpr size_t kTiffAt = 12;          // without APP0
constexpr size_t kTiffAtAfterApp0 = 30;  // with it

std::vector<uint8_t> jpeg_with(const std::vector<uint8_t>& tiff, bool app0 = false,
                               const std::vector<uint8_t>& after = {}) {
  std::vector<uint8_t> f = {0xFF, 0xD8};
  if (app0) {
    const uint8_t jfif[] = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    f.insert(f.end(), std::begin(jfif), std::end(jfif));
  }
  const size_t length = 2 + 6 + tiff.size();
  const uint8_t head[] = {0xFF, 0xE1, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length),
                          'E', 'x', 'i', 'f', 0, 0};
  f.insert(f.end(), std::begin(head), std::end(head));
  f.insert(f.end(), tiff.begin(), tiff.end());
  f.insert(f.end(), after.begin(), after.end());
  f.push_back(0xFF);
  f.push_back(0xD9);
  return f;
}

std::string utf8(const std::string& cp932) { return utf16_to_utf8(cp932_to_utf16(cp932)); }

// A row as (tag, item, value, offset) in UTF-8, for comparisons.
struct Shown {
  uint16_t tag;
  std::string item, value;
  int32_t offset;
  int32_t is_header = 0;
  bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
  return os << "{" << s.tag << ", \"" << s.item << "\", \"" << s.value << "\", " << s.offset << ", " << s.is_header
            << "}";
}

std::vector<Shown> shown(const std::vector<ExifRow>& rows) {
  std::vector<Shown> out;
  for (const ExifRow& r : rows) out.push_back({r.tag, utf8(r.item), utf8(r.value), r.offset, r.is_header});
  return out;
}

std::vector<Shown> read_rows(const std::vector<uint8_t>& file, int expected_result = 0) {
  std::vector<ExifRow> rows;
  EXPECT_EQ(exif_read_bytes(file, rows), expected_result);
  return shown(rows);
}

Shown header(const char* text) { return {0, text, "", 0, 1}; }
Shown blank() { return {0, "", "", 0, 0}; }

// A block with every section: the main directory, the sub directory, interoperability and the
// thumbnail directory, with a value of each kind.
struct Sample {
  std::vector<uint8_t> file;
  std::vector<Shown> rows;
};

Sample sample_block(bool big) {
  TiffBuilder t(big);
  const uint32_t ifd0 = t.directory({
      {271, TiffBuilder::ascii("Maker")},          // out of line
      {272, TiffBuilder::ascii("ABC")},            // four bytes: in the entry
      {274, t.shorts({6})},
      {282, t.rational(72, 1)},
      {296, t.shorts({2})},
      {258, t.shorts({8, 8, 8})},                  // three values: at the offset
      {530, t.shorts({2, 1})},
      {273, t.long_(1000)},
      {34665, t.long_(0)},                         // patched below
      {0x1234, t.shorts({1})},
      {33434, t.rational(1, 60)},                  // a sub-section tag in the main section
  });
  const uint32_t exif = t.directory({
      {33434, t.rational(1, 250)},
      {33437, t.rational(28, 10)},
      {34855, t.shorts({200})},
      {36864, TiffBuilder::undefined({'0', '2', '3', '0'})},
      {37121, TiffBuilder::undefined({1, 2, 3, 0})},
      {37377, t.rational(8, 1, kSRational)},
      {37378, t.rational(3, 1)},
      {37379, t.rational(static_cast<uint32_t>(-3), 2, kSRational)},
      {37380, t.rational(static_cast<uint32_t>(-1), 3, kSRational)},
      {37383, t.shorts({5})},
      {37385, t.shorts({0x41})},
      {37386, t.rational(50, 1)},
      {40961, t.shorts({0xFFFF})},
      {40962, t.long_(640)},
      {40963, t.shorts({480})},
      {41728, TiffBuilder::undefined({3})},
      {41729, TiffBuilder::undefined({1})},
      {41989, t.shorts({0})},
      {41992, t.shorts({7})},
      {40965, t.long_(0)},                         // patched below
      {0x1234, t.long_(5)},
      {256, t.shorts({9})},                        // a main-section tag in the sub section
  });
  const uint32_t interop = t.directory({{1, TiffBuilder::ascii("R98")}, {2, TiffBuilder::undefined({'0', '1', '0', '0'})}});
  const uint32_t ifd1 = t.directory({{259, t.shorts({6})}, {513, t.long_(1234)}});
  t.patch32(TiffBuilder::entry(ifd0, 8) + 8, exif);
  t.patch32(TiffBuilder::entry(exif, 19) + 8, interop);
  t.patch32(TiffBuilder::entry(ifd0, 11), ifd1);  // IFD0's next-directory field

  auto at = [](uint32_t ifd, size_t i) { return static_cast<int32_t>(kTiffAt + TiffBuilder::entry(ifd, i)); };
  char exif_offset[64], interop_offset[64];
  std::snprintf(exif_offset, sizeof exif_offset, "%u バイト (0x%08X)", exif, exif);
  std::snprintf(interop_offset, sizeof interop_offset, "%u (0x%08X)", interop, interop);
  Sample s;
  s.file = jpeg_with(t.bytes);
  s.rows = {
      header("メイン情報"),
      {271, "メーカー名", "Maker", at(ifd0, 0)},
      {272, "機種名", "ABC", at(ifd0, 1)},
      {274, "画像の方向", "右に 90 度回転", at(ifd0, 2)},
      {282, "解像度 - 幅", "1/72", at(ifd0, 3)},
      {296, "解像度 - 単位", "インチ (inch)", at(ifd0, 4)},
      {258, "画素のビット深度", "8:8:8", at(ifd0, 5)},
      {530, "Y:Cb:Cr Sub Sampling", "Y:Cb:Cr = 4:2:2", at(ifd0, 6)},
      {273, "　[開発中] StripOffsets", "", at(ifd0, 7)},
      {34665, "Exif IFD へのオフセット", exif_offset, at(ifd0, 8)},
      {0x1234, "  [未知のタグ] 0x1234", "", at(ifd0, 9)},
      {33434, "露光時間", "1/60 秒", at(ifd0, 10)},
      blank(),
      header("サブ情報"),
      {33434, "露光時間", "1/250 秒", at(exif, 0)},
      {33437, "F ナンバー", "F 2.8", at(exif, 1)},
      {34855, "ISO 感度", "200", at(exif, 2)},
      {36864, "Exif バージョン", "0230", at(exif, 3)},
      {37121, "チャンネルの構成", "Y:Cb:Cr:", at(exif, 4)},
      {37377, "シャッター スピード", "1/256 秒", at(exif, 5)},
      {37378, "絞り値", "F 2.8", at(exif, 6)},
      {37379, "撮影対象物の明るさ", "EV -1.50", at(exif, 7)},
      {37380, "露光補正量", "EV -0.33", at(exif, 8)},
      {37383, "測光モード", "マルチ パターン (分割)", at(exif, 9)},
      {37385, "フラッシュ", "使用 (赤目軽減)", at(exif, 10)},
      {37386, "焦点距離", "50.00 mm", at(exif, 11)},
      {40961, "色空間", "Uncalibrated", at(exif, 12)},
      {40962, "画像の幅", "640 ピクセル", at(exif, 13)},
      {40963, "画像の高さ", "480 ピクセル", at(exif, 14)},
      {41728, "ファイル ソース", "DSC", at(exif, 15)},
      {41729, "シーンの種類", "直接撮影", at(exif, 16)},
      {41989, "焦点距離 (35mm フィルム カメラ換算)", "不明", at(exif, 17)},
      {41992, "コントラスト", "　[未定義]", at(exif, 18)},
      {40965, "Interoperability IFD へのオフセット", interop_offset, at(exif, 19)},
      {0x1234, "  [未知のタグ] 0x1234", "", at(exif, 20)},
      {256, "  [未知のタグ] 0x0100", "", at(exif, 21)},
      blank(),
      header("Interoperability IFD"),
      {1, "Interoperability Index", "R98", at(interop, 0)},
      {2, "Interoperability Version", "0100", at(interop, 1)},
      blank(),
      header("サムネイル情報"),
      {259, "圧縮", "JPEG 圧縮", at(ifd1, 0)},
      {513, "JPEG Interchange Format", "1234 バイト (0x000004D2)", at(ifd1, 1)},
  };
  return s;
}

TEST(ExifRead, EverySectionInOrderWithItsTexts) {
  Sample s = sample_block(false);
  EXPECT_EQ(read_rows(s.file), s.rows);
  std::vector<ExifRow> rows;
  ASSERT_EQ(exif_read_bytes(s.file, rows), 0);
  EXPECT_EQ(rows[3].orientation, 6);
  EXPECT_EQ(rows[2].orientation, 0);
}

TEST(ExifRead, BigEndianBlockGivesTheSameRows) {
  Sample little = sample_block(false);
  Sample big = sample_block(true);
  EXPECT_NE(little.file, big.file);
  EXPECT_EQ(read_rows(big.file), little.rows);
}

TEST(ExifRead, FromAFileAfterAJfifSegment) {
  testing::TempFolder tmp;
  TiffBuilder t(false);
  const uint32_t ifd0 = t.directory({{272, TiffBuilder::ascii("Model X")}});
  std::vector<uint8_t> file = jpeg_with(t.bytes, true);
  const std::u16string path = tmp.file("a.jpg");
  ASSERT_EQ(file_replace(path, file), 0);
  std::vector<ExifRow> rows;
  ASSERT_EQ(exif_read(path, rows), 0);
  EXPECT_EQ(shown(rows), (std::vector<Shown>{header("メイン情報"),
                                              {272, "機種名", "Model X",
                                               static_cast<int32_t>(kTiffAtAfterApp0 + TiffBuilder::entry(ifd0, 0))}}));
  rows.clear();
  EXPECT_EQ(exif_read(tmp.file("missing.jpg"), rows), 1);
  EXPECT_TRUE(rows.empty());
}

TEST(ExifRead, BlockOnlyWhereExpected) {
  TiffBuilder t(false);
  t.directory({{272, TiffBuilder::ascii("M")}});
  const std::vector<uint8_t> good = jpeg_with(t.bytes);
  auto with = [](std::vector<uint8_t> b, size_t at, std::vector<uint8_t> patch) {
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<ptrdiff_t>(at));
    return b;
  };
  auto inserted = [&](std::vector<uint8_t> segment) {
    std::vector<uint8_t> b = good;
    b.insert(b.begin() + 2, segment.begin(), segment.end());
    return b;
  };
  const std::vector<uint8_t> app0 = {0xFF, 0xE0, 0, 4, 0, 0};
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    int result;
  };
  const Row rows[] = {
      {"plain", good, 0},
      {"one APP0 first", inserted(app0), 0},
      {"two APP0 segments", inserted({0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xE0, 0, 4, 0, 0}), 1},
      {"a comment first", inserted({0xFF, 0xFE, 0, 4, 'h', 'i'}), 1},
      {"no start marker", with(good, 1, {0xD9}), 1},
      {"not APP1", with(good, 3, {0xE2}), 1},
      {"no Exif name", with(good, 6, {'E', 'x', 'i', 'x'}), 1},
      {"mixed byte order", with(good, kTiffAt, {'I', 'M'}), 1},
      {"magic 43", with(good, kTiffAt + 2, {43}), 1},
      {"empty", {}, 1},
      {"start marker only", {0xFF, 0xD8}, 1},
      {"APP0 length past the end", {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF}, 1},
      {"cut inside the TIFF header", std::vector<uint8_t>(good.begin(), good.begin() + kTiffAt + 3), 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<ExifRow> out;
    EXPECT_EQ(exif_read_bytes(r.bytes, out), r.result);
    EXPECT_EQ(out.empty(), r.result != 0);
  }
}

// Builds a main directory with `fields`, lets `edit` patch the block, and returns the rows.
template <typename Edit>
std::vector<Shown> rows_of(const std::vector<Field>& fields, Edit edit, const std::vector<uint8_t>& after = {},
                           int result = 0) {
  TiffBuilder t(false);
  const uint32_t ifd0 = t.directory(fields);
  edit(t, ifd0);
  return read_rows(jpeg_with(t.bytes, false, after), result);
}

TEST(ExifRead, NothingOutsideTheSegmentIsRead) {
  const auto at0 = static_cast<int32_t>(kTiffAt + TiffBuilder::entry(8, 0));
  const auto at1 = static_cast<int32_t>(kTiffAt + TiffBuilder::entry(8, 1));
  // Bytes right after the segment that would read as text or values if the reader strayed.
  const std::vector<uint8_t> lure = {'L', 'U', 'R', 'E', 'L', 'U', 'R', 'E', 1, 0, 0, 0, 1, 0, 0, 0};
  TiffBuilder probe(false);
  probe.directory({{271, TiffBuilder::ascii("ABCDEFG")}, {272, TiffBuilder::ascii("ABC")}});
  const uint32_t end = static_cast<uint32_t>(probe.bytes.size());  // the segment ends here (TIFF offsets)

  // A text whose offset points past the segment: no value.
  EXPECT_EQ(rows_of({{271, TiffBuilder::ascii("ABCDEFG")}, {272, TiffBuilder::ascii("ABC")}},
                    [&](TiffBuilder& t, uint32_t ifd) { t.patch32(TiffBuilder::entry(ifd, 0) + 8, end); }, lure),
            (std::vector<Shown>{header("メイン情報"), {271, "メーカー名", "", at0}, {272, "機種名", "ABC", at1}}));
  // A text running over the segment's end is cut there.
  EXPECT_EQ(rows_of({{271, TiffBuilder::ascii("ABCDEFG")}},
                    [&](TiffBuilder& t, uint32_t ifd) {
                      t.bytes.pop_back();  // drop the terminator: the text ends with the segment
                      t.patch32(TiffBuilder::entry(ifd, 0) + 4, 200);
                    },
                    lure),
            (std::vector<Shown>{header("メイン情報"), {271, "メーカー名", "ABCDEFG", at0}}));
  // A rational past the end, and one whose offset wraps far away.
  EXPECT_EQ(rows_of({{282, TiffBuilder(false).rational(72, 1)}, {283, TiffBuilder(false).rational(72, 1)}},
                    [&](TiffBuilder& t, uint32_t ifd) {
                      t.patch32(TiffBuilder::entry(ifd, 0) + 8, static_cast<uint32_t>(t.bytes.size() - 4));
                      t.patch32(TiffBuilder::entry(ifd, 1) + 8, 0xFFFFFFF8u);
                    },
                    lure),
            (std::vector<Shown>{header("メイン情報"), {282, "解像度 - 幅", "", at0}, {283, "解像度 - 高さ", "", at1}}));
  // An entry count far beyond the segment: the entries inside are shown, none past it.
  EXPECT_EQ(rows_of({{272, TiffBuilder::ascii("ABC")}},
                    [&](TiffBuilder& t, uint32_t ifd) { t.patch16(ifd, 1000); }, lure),
            (std::vector<Shown>{header("メイン情報"), {272, "機種名", "ABC", at0}}));
  // Sub and thumbnail directories past the segment: their headers, no rows.
  EXPECT_EQ(rows_of({{34665, TiffBuilder(false).long_(0)}},
                    [&](TiffBuilder& t, uint32_t ifd) {
                      t.patch32(TiffBuilder::entry(ifd, 0) + 8, 0x7FFFFFF0u);
                      t.patch32(TiffBuilder::entry(ifd, 1), static_cast<uint32_t>(t.bytes.size()));
                    },
                    lure),
            (std::vector<Shown>{header("メイン情報"),
                                {34665, "Exif IFD へのオフセット", "2147483632 バイト (0x7FFFFFF0)", at0},
                                blank(), header("サブ情報"), blank(), header("サムネイル情報")}));
}

TEST(ExifRead, SegmentLongerThanTheFileIsBoundedByTheFile) {
  TiffBuilder t(false);
  t.directory({{272, TiffBuilder::ascii("ABC")}, {271, TiffBuilder::ascii("Maker")}});
  std::vector<uint8_t> file = jpeg_with(t.bytes);
  file.erase(file.end() - 5, file.end());  // the end marker and the end of "Maker\0" are gone
  file[4] = 0xFF;                // and the segment claims 65 KiB
  file[5] = 0xFF;
  const auto rows = read_rows(file);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].value, "ABC");
  EXPECT_EQ(rows[2].value, "Mak");
}

TEST(ExifRead, TypeAboveTwelveFailsAndKeepsTheRowsBefore) {
  const auto rows = rows_of({{272, TiffBuilder::ascii("ABC")}, {271, TiffBuilder::ascii("XYZ")}},
                            [](TiffBuilder& t, uint32_t ifd) { t.patch16(TiffBuilder::entry(ifd, 1) + 2, 13); }, {}, 1);
  EXPECT_EQ(rows, (std::vector<Shown>{header("メイン情報"),
                                      {272, "機種名", "ABC", static_cast<int32_t>(kTiffAt + TiffBuilder::entry(8, 0))}}));
}

TEST(ExifRead, ThumbnailDirectoryPointingBackIsReadOnce) {
  const auto rows = rows_of({{272, TiffBuilder::ascii("ABC")}},
                            [](TiffBuilder& t, uint32_t ifd) { t.patch32(TiffBuilder::entry(ifd, 1), ifd); });
  EXPECT_EQ(rows.size(), 5u);  // main header + row, blank, thumbnail header + the same row
}

TEST(ExifRead, ValueTexts) {
  TiffBuilder b(false);
  struct Row {
    const char* what;
    uint16_t tag;
    Value value;
    const char* shown;
  };
  const Row rows[] = {
      {"exposure 1/250", 33434, b.rational(1, 250), "1/250 秒"},
      {"exposure 10/2000", 33434, b.rational(10, 2000), "1/200 秒"},
      {"exposure of two seconds", 33434, b.rational(2, 1), "2 秒"},
      {"exposure of 1.5 seconds", 33434, b.rational(3, 2), "1.5 秒"},
      {"exposure numerator 0", 33434, b.rational(0, 1), ""},
      {"exposure denominator 0", 33434, b.rational(1, 0), ""},
      {"shutter 2^-1: two seconds", 37377, b.rational(static_cast<uint32_t>(-1), 1, kSRational), "2 秒"},
      {"shutter 2^6.9 truncated", 37377, b.rational(69, 10, kSRational), "1/119 秒"},
      {"shutter denominator 0", 37377, b.rational(1, 0, kSRational), ""},
      {"shutter beyond 32 bits", 37377, b.rational(1000, 1, kSRational), "1/2147483647 秒"},
      {"F number denominator 0", 33437, b.rational(28, 0), ""},
      {"aperture 2 → F 2.0", 37378, b.rational(2, 1), "F 2.0"},
      {"max aperture", 37381, b.rational(5, 1), "F 5.7"},
      {"brightness unknown", 37379, b.rational(0xFFFFFFFF, 1, kSRational), "不明"},
      {"brightness 3/2", 37379, b.rational(3, 2, kSRational), "EV 1.50"},
      {"brightness -1/2: its numerator means unknown", 37379, b.rational(0xFFFFFFFF, 2, kSRational), "不明"},
      {"exposure bias +2/3", 37380, b.rational(2, 3, kSRational), "EV 0.67"},
      {"subject distance", 37382, b.rational(35, 10), "35/10 m"},
      {"compressed bits", 37122, b.rational(4, 1), "4/1"},
      {"digital zoom", 41988, b.rational(0, 0), "0/0"},
      {"flash energy", 41483, b.rational(1, 4), "0.25 BCPS"},
      {"35 mm focal length", 41989, b.shorts({28}), "28 mm"},
      {"flash not fired", 37385, b.shorts({0x10}), "未使用"},
      {"flash fired", 37385, b.shorts({0x01}), "使用"},
      {"resolution 300/2", 283, b.rational(300, 2), "1/150"},
      {"resolution denominator 0", 283, b.rational(300, 0), ""},
      {"width as LONG", 256, b.long_(100000), "100000 ピクセル"},
      {"rows per strip", 278, b.long_(16), "16"},
      {"unknown orientation", 274, b.shorts({9}), "　[未定義]"},
      {"orientation 8", 274, b.shorts({8}), "左に 90 度回転"},
      {"sub-sampling 4:2:0", 530, b.shorts({2, 2}), "Y:Cb:Cr = 4:2:0"},
      {"sub-sampling 1:1", 530, b.shorts({1, 1}), "　[未定義]"},
      {"components R G B", 37121, TiffBuilder::undefined({4, 5, 6, 9}), "R:G:B:"},
      {"light source D65", 37384, b.shorts({21}), "D65"},
      {"exposure program", 34850, b.shorts({3}), "絞り優先"},
      {"sensing method", 41495, b.shorts({2}), "One-chip color area sensor"},
      {"saturation", 41993, b.shorts({2}), "高い"},
      {"distance range", 41996, b.shorts({1}), "マクロ"},
      {"white balance", 41987, b.shorts({1}), "マニュアル"},
      {"scene capture", 41990, b.shorts({3}), "Night scene"},
      {"gain control", 41991, b.shorts({4}), "High gain down"},
      {"file source other", 41728, TiffBuilder::undefined({1}), "　[未定義]"},
      {"copyright", 33432, TiffBuilder::ascii("(C) X"), "(C) X"},
      {"text tag holding a SHORT", 270, b.shorts({65}), ""},
      {"photometric", 262, b.shorts({2}), "R:G:B"},
      {"planar", 284, b.shorts({2}), "Planar Format"},
      {"positioning", 531, b.shorts({1}), "Centered"},
      {"GPS offset", 34853, b.long_(26), "26 バイト (0x0000001A)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const auto out = rows_of({{r.tag, r.value}}, [](TiffBuilder&, uint32_t) {});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].value, r.shown);
  }
}

TEST(ExifRead, TextsAreCp932) {
  // A stored text is kept byte for byte; the items are CP932.
  const std::string sjis = "\x83\x4A\x83\x81\x83\x89";  // カメラ
  const auto rows = rows_of({{271, TiffBuilder::ascii(sjis)}}, [](TiffBuilder&, uint32_t) {});
  EXPECT_EQ(rows[1].value, "カメラ");
  std::vector<ExifRow> raw;
  TiffBuilder t(false);
  t.directory({{271, TiffBuilder::ascii(sjis)}});
  ASSERT_EQ(exif_read_bytes(jpeg_with(t.bytes), raw), 0);
  EXPECT_EQ(raw[1].value, sjis);
  EXPECT_EQ(raw[1].item, "\x83\x81\x81\x5B\x83\x4A\x81\x5B\x96\xBC");  // メーカー名
}

// The writer.

TEST(ExifUpdate, RewritesSizesInPlaceInTheirOwnWidth) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    TiffBuilder t(big);
    const uint32_t ifd0 = t.directory({{256, t.shorts({11})}, {257, t.long_(22)}, {34665, t.long_(0)}});
    const uint32_t exif = t.directory({{40962, t.long_(33)}, {33434, t.rational(1, 250)}});  // no 40963
    t.patch32(TiffBuilder::entry(ifd0, 2) + 8, exif);
    // The SHORT's unused half of the value field holds a marker that must survive.
    t.bytes[TiffBuilder::entry(ifd0, 0) + 10] = 0xAB;
    t.bytes[TiffBuilder::entry(ifd0, 0) + 11] = 0xCD;
    std::vector<uint8_t> file = jpeg_with(t.bytes);
    const std::vector<uint8_t> before = file;

    ExifEdits edits;
    exif_set_value(edits, 256, 0x1234);
    exif_set_value(edits, 257, 0x23456);
    exif_set_value(edits, 40962, 999);
    exif_set_value(edits, 40963, 777);
    exif_set_value(edits, 40962, 640);  // the later value wins
    ASSERT_EQ(exif_update_bytes(edits, file), 0);
    EXPECT_EQ(file.size(), before.size());

    TiffBuilder expect(big);
    auto bytes_at = [&](size_t tiff_offset, size_t n) {
      return std::vector<uint8_t>(file.begin() + static_cast<ptrdiff_t>(kTiffAt + tiff_offset),
                                  file.begin() + static_cast<ptrdiff_t>(kTiffAt + tiff_offset + n));
    };
    EXPECT_EQ(bytes_at(TiffBuilder::entry(ifd0, 0) + 8, 4),
              (std::vector<uint8_t>{expect.u16s({0x1234})[0], expect.u16s({0x1234})[1], 0xAB, 0xCD}));
    EXPECT_EQ(bytes_at(TiffBuilder::entry(ifd0, 1) + 8, 4), expect.u32s({0x23456}));
    EXPECT_EQ(bytes_at(TiffBuilder::entry(exif, 0) + 8, 4), expect.u32s({640}));
    // Only those twelve bytes changed; the absent 40963 stays absent.
    size_t changed = 0;
    for (size_t i = 0; i < file.size(); ++i) changed += file[i] != before[i];
    EXPECT_LE(changed, 10u);
    std::vector<ExifRow> rows;
    ASSERT_EQ(exif_read_bytes(file, rows), 0);
    EXPECT_EQ(utf8(rows[1].value), "4660 ピクセル");
    EXPECT_EQ(utf8(rows[2].value), "144470 ピクセル");
    EXPECT_EQ(utf8(rows[6].value), "640 ピクセル");
    EXPECT_EQ(rows.size(), 8u);
  }
}

TEST(ExifUpdate, FailuresLeaveTheFileAlone) {
  testing::TempFolder tmp;
  ExifEdits edits;
  exif_set_value(edits, 256, 5);
  std::vector<uint8_t> not_exif = {0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xD9};
  const std::vector<uint8_t> copy = not_exif;
  EXPECT_EQ(exif_update_bytes(edits, not_exif), 1);
  EXPECT_EQ(not_exif, copy);

  TiffBuilder t(false);
  t.directory({{256, t.shorts({1})}, {257, t.shorts({1})}});
  t.patch16(TiffBuilder::entry(8, 1) + 2, 99);  // a type above 12
  std::vector<uint8_t> bad_type = jpeg_with(t.bytes);
  const std::vector<uint8_t> bad_copy = bad_type;
  EXPECT_EQ(exif_update_bytes(edits, bad_type), 1);
  EXPECT_EQ(bad_type, bad_copy);  // not even the entry before the bad one

  const std::u16string path = tmp.file("a.jpg");
  ASSERT_EQ(file_replace(path, copy), 0);
  EXPECT_EQ(exif_update(edits, path), 1);
  EXPECT_EQ(read_file(path), copy);
  EXPECT_EQ(exif_update(edits, tmp.file("missing.jpg")), 1);

  TiffBuilder good(false);
  good.directory({{256, good.shorts({1})}});
  ASSERT_EQ(file_replace(path, jpeg_with(good.bytes)), 0);
  ASSERT_EQ(exif_update(edits, path), 0);
  std::vector<ExifRow> rows;
  ASSERT_EQ(exif_read(path, rows), 0);
  EXPECT_EQ(utf8(rows[1].value), "5 ピクセル");
}

// The start of a JPEG file written by Pillow (a JFIF segment, then a big-endian Exif block with
// rationals, a text in the entry and texts at offsets), closed with an end marker.
constexpr uint8_t kPillowExif[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xFF, 0xE1, 0x00, 0xDE, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00, 0x4D, 0x4D,
    0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x05, 0x01, 0x0F, 0x00, 0x02, 0x00, 0x00, 0x00, 0x09,
    0x00, 0x00, 0x00, 0x4A, 0x01, 0x10, 0x00, 0x02, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x54,
    0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x00, 0x01, 0x1A, 0x00, 0x05,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x5C, 0x87, 0x69, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x00, 0x4D, 0x61, 0x6B, 0x65, 0x72, 0x20, 0x43, 0x6F,
    0x00, 0x00, 0x4D, 0x6F, 0x64, 0x65, 0x6C, 0x20, 0x39, 0x00, 0x00, 0x00, 0x00, 0x48, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x06, 0x82, 0x9A, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xB2,
    0x82, 0x9D, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xBA, 0x88, 0x27, 0x00, 0x03,
    0x00, 0x00, 0x00, 0x01, 0x01, 0x90, 0x00, 0x00, 0x90, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x14,
    0x00, 0x00, 0x00, 0xC2, 0xA0, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x00,
    0xA0, 0x03, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFA, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x05,
    0x32, 0x30, 0x32, 0x34, 0x3A, 0x30, 0x31, 0x3A, 0x30, 0x32, 0x20, 0x30, 0x33, 0x3A, 0x30, 0x34,
    0x3A, 0x30, 0x35, 0x00, 0xFF, 0xD9,
};

TEST(ExifRead, BlockWrittenByAnotherProgram) {
  const std::vector<uint8_t> file(std::begin(kPillowExif), std::end(kPillowExif));
  EXPECT_EQ(read_rows(file), (std::vector<Shown>{
                                 header("メイン情報"),
                                 {271, "メーカー名", "Maker Co", 40},
                                 {272, "機種名", "Model 9", 52},
                                 {274, "画像の方向", "左に 90 度回転", 64},
                                 {282, "解像度 - 幅", "1/72", 76},
                                 {34665, "Exif IFD へのオフセット", "100 バイト (0x00000064)", 88},
                                 blank(),
                                 header("サブ情報"),
                                 {33434, "露光時間", "1/250 秒", 132},
                                 {33437, "F ナンバー", "F 2.8", 144},
                                 {34855, "ISO 感度", "400", 156},
                                 {36867, "撮影日時", "2024:01:02 03:04:05", 168},
                                 {40962, "画像の幅", "8 ピクセル", 180},
                                 {40963, "画像の高さ", "8 ピクセル", 192},
                             }));
}

// Random damage to a complete block: the reader and the writer stay inside the data. Every entry the
// reader lists lies wholly inside the file, and the writer changes no byte but the value field of
// an entry the reader lists with one of the edited tags.
TEST(ExifRead, DamagedBlocksNeverReadOutside) {
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1664525 + 1013904223; };
  for (bool big : {false, true}) {
    const std::vector<uint8_t> good = sample_block(big).file;
    for (int round = 0; round < 1500; ++round) {
      SCOPED_TRACE(round);
      std::vector<uint8_t> f = good;
      for (int k = 0; k < 1 + round % 4; ++k) f[next() % f.size()] = static_cast<uint8_t>(next() >> 24);
      f.erase(f.end() - static_cast<ptrdiff_t>(next() % 8), f.end());
      std::vector<ExifRow> rows;
      exif_read_bytes(f, rows);
      std::vector<bool> writable(f.size(), false);
      for (const ExifRow& r : rows) {
        if (r.tag == 0) continue;
        ASSERT_TRUE(r.offset > 0 && static_cast<size_t>(r.offset) + 12 <= f.size()) << r.tag << " at " << r.offset;
        if (r.tag != 256 && r.tag != 40963) continue;
        std::fill(writable.begin() + r.offset + 8, writable.begin() + r.offset + 12, true);
      }
      const std::vector<uint8_t> before = f;
      ExifEdits edits;
      exif_set_value(edits, 256, 1);
      exif_set_value(edits, 40963, 2);
      exif_update_bytes(edits, f);
      for (size_t i = 0; i < f.size(); ++i) {
        ASSERT_TRUE(f[i] == before[i] || writable[i]) << "byte " << i << " changed";
      }
    }
  }
}

}  // namespace
}  // namespace tesmo
