// BMP, ICO and CUR recognition: the container, the information header and the stored layout.
#include <optional>
#include <string>

#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "formats/bmp/bmp_internal.h"

namespace tesmo::bmp {

// 255 pixels (at most 255 bytes) from one two-byte run-length code.
constexpr uint64_t kRunLengthExpansion = 128;
namespace {

// Bitmap file header: "BM", file size, reserved, pixel data offset; the information header follows.
constexpr uint64_t kPixelOffsetField = 10;
constexpr uint64_t kBitmapInfoAt = 14;

// Icon and cursor directory: reserved 0, type, image count, then 16-byte entries whose first two
// bytes are the width and height (0 meaning 256, which no reader accepts).
constexpr uint64_t kDirTypeField = 2;
constexpr uint64_t kDirCountField = 4;
constexpr uint64_t kDirHeaderBytes = 6;
constexpr uint64_t kDirEntryBytes = 16;
constexpr uint64_t kEntryWidthField = 6;
constexpr uint64_t kEntryHeightField = 7;
constexpr uint16_t kDirTypeIcon = 1;
constexpr uint16_t kDirTypeCursor = 2;

// Information header fields, from its start. Longer headers keep the masks at the same place as a
// 40-byte header followed by its masks.
constexpr uint64_t kInfoWidthField = 4;
constexpr uint64_t kInfoHeightField = 8;
constexpr uint64_t kInfoBitsField = 14;
constexpr uint64_t kInfoCompressionField = 16;
constexpr uint64_t kInfoImageSizeField = 20;
constexpr uint64_t kInfoRedMaskField = 40;
constexpr uint64_t kInfoAlphaMaskField = 52;
constexpr uint64_t kInfoBytesExamined = 56;  // up to the end of the alpha mask

// The file form rejects shorter files and smaller computed totals.
constexpr uint64_t kMinFileBytes = 48;
// Enough of a bitmap file for the whole probe in one read.
constexpr uint64_t kProbeBytes = kBitmapInfoAt + kInfoBytesExamined;

constexpr uint32_t kRedMask555 = 0x7C00;
constexpr uint32_t kRedMask565 = 0xF800;

// Little-endian fields at absolute offsets; a field not wholly inside `data` reads as 0.
uint32_t field(std::span<const uint8_t> data, uint64_t offset, size_t bytes) {
  if (offset > data.size() || data.size() - offset < bytes) return 0;
  ByteReader r(data.subspan(static_cast<size_t>(offset), bytes));
  return bytes == 4 ? r.u32le() : bytes == 2 ? r.u16le() : r.u8();
}
uint32_t u32_at(std::span<const uint8_t> d, uint64_t off) { return field(d, off, 4); }
uint16_t u16_at(std::span<const uint8_t> d, uint64_t off) { return static_cast<uint16_t>(field(d, off, 2)); }

struct Found {
  Container container;
  uint64_t info_at;
};

// Which container holds the image, and where its (first) information header starts.
std::optional<Found> find_container(std::span<const uint8_t> head) {
  if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') return Found{Container::kBitmap, kBitmapInfoAt};
  if (head.size() < kDirHeaderBytes || u16_at(head, 0) != 0) return std::nullopt;
  uint16_t type = u16_at(head, kDirTypeField);
  if (type != kDirTypeIcon && type != kDirTypeCursor) return std::nullopt;
  uint64_t count = u16_at(head, kDirCountField);
  return Found{type == kDirTypeIcon ? Container::kIcon : Container::kCursor,
               kDirHeaderBytes + kDirEntryBytes * count};
}

struct Description {
  int32_t pixel_format, colour_model, channels, has_alpha;
  const char* pixel_text;
};

// The stored layout, by bit count and (16 bits) masks; false for a bit count no layout has.
bool describe(std::span<const uint8_t> head, uint64_t info_at, BmpState& s, Description& d) {
  switch (s.bits) {
    case 1: d = {-1, kModelPalette, 1, 0, "Palette RGB (2 colors)"}; return true;
    case 4: d = {-1, kModelPalette, 1, 0, "Palette RGB (16 colors)"}; return true;
    case 8: d = {-1, kModelPalette, 1, 0, "Palette RGB (256 colors)"}; return true;
    case 24: d = {5, kModelRgb, 3, 0, "8:8:8 RGB (24 bit)"}; return true;
    case 32: d = {6, kModelRgb, 4, 1, "8:8:8:8 ARGB (32 bit)"}; return true;
    case 16: break;
    default: return false;
  }
  d = {0, kModelRgb, 3, 0, "5:5:5 RGB (16 bit)"};
  if (s.compression != kCompressionBitFields) return true;
  uint32_t red = u32_at(head, info_at + kInfoRedMaskField);
  bool alpha = u32_at(head, info_at + kInfoAlphaMaskField) != 0;
  if (red == kRedMask555) {
    if (alpha) d = {1, kModelRgb, 4, 1, "1:5:5:5 ARGB (16 bit)"};
  } else if (red == kRedMask565) {
    s.layout16 = Layout16::k565;
    d = {2, kModelRgb, 3, 0, "5:6:5 RGB (16 bit)"};
  } else {
    s.layout16 = Layout16::k4444;
    d = alpha ? Description{4, kModelRgb, 4, 1, "4:4:4:4 ARGB (16 bit)"}
              : Description{3, kModelRgb, 3, 0, "4:4:4 RGB (16 bit)"};
  }
  return true;
}

// Reads the information header from the bytes at the start of the file: fills the state and `info`,
// or refuses.
Verdict read_header(std::span<const uint8_t> head, const Found& f, BmpState& s, ImageInfo& info,
                 bool want_text) {
  const uint64_t at = f.info_at;
  s.container = f.container;
  s.bits = u16_at(head, at + kInfoBitsField);
  s.compression = u32_at(head, at + kInfoCompressionField);
  s.image_data_size = u32_at(head, at + kInfoImageSizeField);
  s.table_at = at + u32_at(head, at);
  int64_t width = 0;
  int64_t height = 0;
  if (f.container == Container::kBitmap) {
    width = static_cast<int32_t>(u32_at(head, at + kInfoWidthField));
    height = static_cast<int32_t>(u32_at(head, at + kInfoHeightField));
    s.pixels_at = u32_at(head, kPixelOffsetField);
  } else {
    width = field(head, kEntryWidthField, 1);
    height = field(head, kEntryHeightField, 1);
    s.pixels_at = s.table_at + (s.bits <= 8 ? uint64_t{4} << s.bits : 0);
    info.image_count = u16_at(head, kDirCountField);
  }
  if (height < 0) {  // 64-bit, so that the most negative height cannot overflow
    height = -height;
    s.top_down = true;
  }
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) {
    return Verdict::refused(side_fault(width, height));
  }
  s.width = static_cast<int32_t>(width);
  s.height = static_cast<int32_t>(height);
  s.stride = (static_cast<uint64_t>(s.bits) * s.width + 31) / 32 * 4;

  Description d{};
  if (!describe(head, at, s, d)) return Verdict::refused("unsupported bit count " + std::to_string(s.bits));
  info.pixel_format = d.pixel_format;
  info.colour_model = d.colour_model;
  info.width = s.width;
  info.height = s.height;
  info.bits = s.bits;
  info.channels = d.channels;
  info.has_alpha = d.has_alpha;
  if (want_text) {
    static constexpr const char* kNames[] = {"BMP", "Icon (BMP)", "Cursor (BMP)"};
    static constexpr const char* kExtensions[] = {"*.bmp", "*.ico", "*.cur"};
    info.format_name = kNames[static_cast<int>(s.container)];
    info.extensions = kExtensions[static_cast<int>(s.container)];
    info.pixel_text = d.pixel_text;
    if (is_run_length(s)) info.compression_text = "Run-Length Encoded";
    if (s.top_down) info.extra_text = "V-Flip";
  }
  return true;
}

Verdict probe_bytes(std::span<const uint8_t> head, BmpState& s, ImageInfo& info, bool want_text) {
  std::optional<Found> found = find_container(head);
  if (!found) return false;
  return read_header(head, *found, s, info, want_text);
}

// A file too short for any header: refused with a reason when it starts as a bitmap file.
Verdict short_file(std::span<const uint8_t> head) {
  std::optional<Found> found = find_container(head);
  if (found && found->container == Container::kBitmap) return Verdict::refused(kTruncatedHeader);
  return false;
}

// The file form: at least 48 bytes; then the bytes up to the end of the pixel data as the header
// computes it, but never more than the file holds (the decoder reads a missing tail as zeros).
Verdict probe_file(const std::u16string& path, BmpState& s, ImageInfo& info, bool want_text) {
  std::optional<std::vector<uint8_t>> head = read_file_prefix(path, kProbeBytes);
  if (!head) return false;
  if (head->size() < kMinFileBytes) return short_file(*head);
  std::optional<Found> found = find_container(*head);
  if (!found) return false;
  if (found->info_at + kInfoBytesExamined > head->size()) {
    // An icon's header follows its directory, past the first bytes.
    head = read_file_prefix(path, found->info_at + kInfoBytesExamined);
    if (!head) return false;
  }
  if (Verdict v = read_header(*head, *found, s, info, want_text); !v) return v;
  const bool coded = s.compression == kCompressionRle8 || s.compression == kCompressionRle4;
  const uint64_t total =
      s.pixels_at + (coded ? s.image_data_size : s.stride * static_cast<uint64_t>(s.height));
  if (total < kMinFileBytes) return false;
  return keep_file_bytes(path, s, total);
}

}  // namespace

// Stored rows must be there; a run-length code of two bytes gives at most 255 pixels.
bool data_holds_picture(const BmpState& s) {
  const uint64_t stored = s.stride * static_cast<uint64_t>(s.height);
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, s.pixels_at),
                             is_run_length(s) ? kRunLengthExpansion : 1);
}

ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  return probe_source<BmpState>(source, info, want_text, probe_file, probe_bytes);
}

}  // namespace tesmo::bmp
