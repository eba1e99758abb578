// The Exif reader: display rows for the main (IFD0), sub (Exif IFD), interoperability and
// thumbnail (IFD1) sections of a JPEG file's Exif block.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "base/file_io.h"
#include "base/text.h"
#include "formats/codec.h"
#include "formats/exif/exif.h"
#include "formats/exif/exif_block.h"
#include "formats/exif/exif_rules.h"

namespace tesmo {
namespace {

using exif::Block;
using exif::Entry;
using exif::Rule;
using exif::Show;

// The stored sizes of a row's texts, terminator included.
constexpr size_t kItemBytes = 128;
constexpr size_t kValueBytes = 512;
constexpr uint32_t kBrightnessUnknown = 0xFFFFFFFFu;
// Enough of a file for its start marker, an APP0 segment and a whole APP1 segment.
constexpr size_t kExifPrefixBytes = 2 + (2 + 65535) + (2 + 65535);

// A UTF-8 text of the tables in CP932, as rows hold it.
std::string cp932(const char* utf8) { return utf16_to_cp932(utf8_to_utf16(utf8)); }

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
  char buffer[kValueBytes];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  return buffer;
}

// An entry's value as the section decodes it; fields that lie outside the block stay zero.
struct Value {
  std::array<uint16_t, 3> shorts{};
  uint32_t number = 0;  // the LONG value, or the first SHORT
  uint32_t numerator = 0;
  uint32_t denominator = 0;
  bool rational = false;          // numerator and denominator were read
  std::string text;               // ASCII, as stored (CP932)
  std::array<uint8_t, 4> field{};  // the raw bytes of the entry's value field
};

std::string ascii_text(const Block& b, const Entry& e) {
  const size_t at = e.count <= 4 ? e.at + exif::kValueField : b.from_tiff(b.u32(e.at + exif::kValueField));
  std::string text;
  for (size_t i = 0; i < e.count && b.inside(at + i, 1); ++i) {
    char c = static_cast<char>(b.file[at + i]);
    if (c == '\0') break;
    text.push_back(c);
  }
  return text;
}

Value decode_value(const Block& b, const Entry& e) {
  Value v;
  const size_t field = e.at + exif::kValueField;
  for (size_t i = 0; i < 4; ++i) v.field[i] = b.file[field + i];  // the entry lies inside the block
  switch (e.type) {
    case exif::kTypeAscii:
      v.text = ascii_text(b, e);
      break;
    case exif::kTypeShort:
    case exif::kTypeSShort: {
      // Up to two values sit in the entry; with more, the first three are read at the offset.
      const size_t at = e.count <= 2 ? field : b.from_tiff(b.u32(field));
      for (size_t i = 0; i < (e.count <= 2 ? 2u : 3u); ++i) v.shorts[i] = b.u16(at + 2 * i);
      v.number = v.shorts[0];
      break;
    }
    case exif::kTypeLong:
    case exif::kTypeSLong:
      v.number = b.u32(field);
      v.shorts[0] = static_cast<uint16_t>(v.number);
      break;
    case exif::kTypeRational:
    case exif::kTypeSRational: {
      const size_t at = b.from_tiff(b.u32(field));
      if (b.inside(at, 8)) {
        v.numerator = b.u32(at);
        v.denominator = b.u32(at + 4);
        v.rational = true;
      }
      break;
    }
    default:
      break;
  }
  return v;
}

int32_t as_int(uint32_t v) { return static_cast<int32_t>(v); }

std::string name_of(std::span<const exif::Named> names, uint32_t value) {
  for (const exif::Named& n : names) {
    if (n.value == value) return cp932(n.text);
  }
  return cp932("　[未定義]");
}

// Whole seconds as "%d 秒", others with one decimal.
std::string seconds(double s) {
  if (s == std::floor(s) && s < INT_MAX) return format("%d %s", static_cast<int>(s), cp932("秒").c_str());
  return format("%.1f %s", s, cp932("秒").c_str());
}

// Exposure times of one second or longer are shown in seconds; the reciprocal form would divide
// by zero or truncate them.
std::string exposure_time(const Value& v) {
  if (!v.rational || v.numerator == 0 || v.denominator == 0) return {};
  if (v.numerator >= v.denominator) return seconds(static_cast<double>(v.numerator) / v.denominator);
  return format("1/%d %s", as_int(v.denominator / v.numerator), cp932("秒").c_str());
}

// A shutter speed of 2^q per second; slower than one second it is shown in seconds, as exposure
// times are.
std::string shutter_speed(const Value& v) {
  if (!v.rational || v.denominator == 0) return {};
  const double q = static_cast<double>(as_int(v.numerator)) / as_int(v.denominator);
  const double rate = std::pow(2.0, q);
  if (rate < 1) return seconds(std::pow(2.0, -q));
  const int whole = rate >= INT_MAX ? INT_MAX : static_cast<int>(rate);
  return format("1/%d %s", whole, cp932("秒").c_str());
}

// The quotient of a rational as floating point; nothing for a zero denominator.
bool quotient(const Value& v, bool is_signed, double& q) {
  if (!v.rational || v.denominator == 0) return false;
  q = is_signed ? static_cast<double>(as_int(v.numerator)) / as_int(v.denominator)
                : static_cast<double>(v.numerator) / v.denominator;
  return true;
}

std::string components(const Value& v) {
  static constexpr const char* kNames[] = {"", "Y", "Cb", "Cr", "R", "G", "B"};
  auto name = [](uint8_t b) { return b < std::size(kNames) ? kNames[b] : ""; };
  return format("%s:%s:%s:%s", name(v.field[0]), name(v.field[1]), name(v.field[2]), name(v.field[3]));
}

std::string version(const Value& v) {
  std::string text;
  for (uint8_t b : v.field) {
    if (b == 0) break;
    text.push_back(static_cast<char>(b));
  }
  return text;
}

std::string flash(const Value& v) {
  std::string text = cp932((v.number & 1) ? "使用" : "未使用");
  if (v.number & 0x40) text += cp932(" (赤目軽減)");
  return text;
}

std::string sub_sampling(const Value& v) {
  if (v.shorts[0] == 2 && v.shorts[1] == 1) return "Y:Cb:Cr = 4:2:2";
  if (v.shorts[0] == 2 && v.shorts[1] == 2) return "Y:Cb:Cr = 4:2:0";
  return cp932("　[未定義]");
}

std::string value_text(const Rule& rule, const Entry& e, const Value& v) {
  double q = 0;
  switch (rule.show) {
    case Show::kText: return e.type == exif::kTypeAscii ? v.text : std::string();
    case Show::kEmpty: return {};
    case Show::kPixels: return format("%d %s", as_int(v.number), cp932("ピクセル").c_str());
    case Show::kPlain: return format("%d", as_int(v.number));
    case Show::kOffsetBytes:
      return format("%d %s (0x%08X)", as_int(v.number), cp932("バイト").c_str(), v.number);
    case Show::kOffsetHex: return format("%d (0x%08X)", as_int(v.number), v.number);
    case Show::kBitsPerSample: return format("%d:%d:%d", v.shorts[0], v.shorts[1], v.shorts[2]);
    case Show::kResolution:
      return v.rational && v.denominator ? format("1/%d", as_int(v.numerator / v.denominator)) : "";
    case Show::kFraction:
      return v.rational ? format("%d/%d", as_int(v.numerator), as_int(v.denominator)) : "";
    case Show::kMetres:
      return v.rational ? format("%d/%d m", as_int(v.numerator), as_int(v.denominator)) : "";
    case Show::kExposureTime: return exposure_time(v);
    case Show::kShutterSpeed: return shutter_speed(v);
    case Show::kFNumber: return quotient(v, false, q) ? format("F %.1f", q) : "";
    case Show::kApexAperture: return quotient(v, false, q) ? format("F %.1f", std::pow(std::sqrt(2.0), q)) : "";
    case Show::kBrightness:
      if (v.rational && v.numerator == kBrightnessUnknown) return cp932("不明");
      return quotient(v, true, q) ? format("EV %.2f", q) : "";
    case Show::kExposureBias: return quotient(v, true, q) ? format("EV %.2f", q) : "";
    case Show::kFocalLength: return quotient(v, false, q) ? format("%.2f mm", q) : "";
    case Show::kFlashEnergy: return quotient(v, false, q) ? format("%.2f BCPS", q) : "";
    case Show::kFocal35: return v.number == 0 ? cp932("不明") : format("%d mm", as_int(v.number));
    case Show::kVersion: return version(v);
    case Show::kComponents: return components(v);
    case Show::kFlash: return flash(v);
    case Show::kEnum:
    case Show::kOrientation: return name_of(rule.names, v.number);
    case Show::kByteEnum: return name_of(rule.names, v.field[0]);
    case Show::kSubSampling: return sub_sampling(v);
  }
  return {};
}

ExifRow header_row(const char* utf8) {
  ExifRow row;
  row.item = cp932(utf8);
  row.is_header = 1;
  return row;
}

// Walks one section, appending a row per entry. Remembers the sub and interoperability offsets
// it meets. False when an entry has a type above 12.
class RowReader {
 public:
  RowReader(const Block& block, std::vector<ExifRow>& rows) : block_(block), rows_(rows) {}

  bool section(size_t ifd, std::span<const Rule> rules, std::span<const Rule> fallback,
               uint32_t* next = nullptr) {
    for (const Entry& e : exif::read_directory(block_, ifd, next)) {
      if (e.type > exif::kTypeDouble) return false;
      rows_.push_back(row(e, rules, fallback));
    }
    return true;
  }

  uint32_t sub_ifd = 0;
  uint32_t interop_ifd = 0;

 private:
  ExifRow row(const Entry& e, std::span<const Rule> rules, std::span<const Rule> fallback) {
    ExifRow r;
    r.tag = e.tag;
    r.offset = static_cast<int32_t>(e.at);
    const Rule* rule = exif::find_rule(rules, e.tag);
    if (!rule) rule = exif::find_rule(fallback, e.tag);
    if (!rule) {
      r.item = fit_text(format("  [%s] 0x%04X", cp932("未知のタグ").c_str(), e.tag), kItemBytes);
      return r;
    }
    const Value v = decode_value(block_, e);
    if (e.tag == exif::kTagExifIfd) sub_ifd = v.number;
    if (e.tag == exif::kTagInteropIfd) interop_ifd = v.number;
    if (rule->show == Show::kOrientation) r.orientation = as_int(v.number);
    r.item = fit_text(cp932(rule->item), kItemBytes);
    r.value = fit_text(value_text(*rule, e, v), kValueBytes);
    return r;
  }

  const Block& block_;
  std::vector<ExifRow>& rows_;
};

int read_rows(const Block& b, std::vector<ExifRow>& rows) {
  RowReader reader(b, rows);
  rows.push_back(header_row("メイン情報"));
  uint32_t thumbnail = 0;
  if (!reader.section(b.first_directory(), exif::main_rules(), exif::sub_rules(), &thumbnail)) return 1;
  if (reader.sub_ifd != 0) {
    rows.push_back(ExifRow{});
    rows.push_back(header_row("サブ情報"));
    if (!reader.section(b.from_tiff(reader.sub_ifd), exif::sub_rules(), {})) return 1;
  }
  if (reader.interop_ifd != 0) {
    rows.push_back(ExifRow{});
    rows.push_back(header_row("Interoperability IFD"));
    if (!reader.section(b.from_tiff(reader.interop_ifd), exif::interop_rules(), {})) return 1;
  }
  if (thumbnail != 0) {
    rows.push_back(ExifRow{});
    rows.push_back(header_row("サムネイル情報"));
    if (!reader.section(b.from_tiff(thumbnail), exif::main_rules(), exif::sub_rules())) return 1;
  }
  return 0;
}

}  // namespace

int exif_read_bytes(std::span<const uint8_t> file, std::vector<ExifRow>& rows) {
  std::optional<Block> block = exif::locate(file);
  if (!block) return 1;
  return read_rows(*block, rows);
}

int exif_read(const std::u16string& path, std::vector<ExifRow>& rows) {
  std::optional<std::vector<uint8_t>> file = read_file_prefix(path, kExifPrefixBytes);
  if (!file) return 1;
  return exif_read_bytes(*file, rows);
}

}  // namespace tesmo
