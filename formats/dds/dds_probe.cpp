// DDS recognition: the 128-byte header, the pixel-format flags and four-character code, and the
// first level's size.
#include <optional>
#include <string>

#include "base/bytes.h"
#include "formats/dds/dds.h"
#include "formats/dds/dds_internal.h"

namespace tesmo::dds {
namespace {

constexpr uint64_t kMipmapCountAndReservedBytes = 48;

// Four-character codes, as the little-endian field reads them; 111–116 are float layouts.
constexpr uint32_t fourcc(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) | uint32_t(uint8_t(c[1])) << 8 | uint32_t(uint8_t(c[2])) << 16 |
         uint32_t(uint8_t(c[3])) << 24;
}
constexpr uint32_t kHalfGreyCode = 111;
constexpr uint32_t kHalfArgbCode = 113;
constexpr uint32_t kFloatGreyCode = 114;
constexpr uint32_t kFloatArgbCode = 116;

struct Header {
  uint32_t height = 0, width = 0, depth = 0;
  uint32_t pixel_format_size = 0, flags = 0, code = 0, bits = 0;
  uint32_t masks[4] = {};  // red (or luminance), green, blue, alpha
  uint32_t caps2 = 0;
};

std::optional<Header> read_header(std::span<const uint8_t> head) {
  ByteReader r(head);
  uint8_t magic[4] = {};
  r.bytes(magic, 4);
  for (size_t i = 0; i < 4; ++i) {
    if (magic[i] != kMagic[i]) return std::nullopt;
  }
  if (r.u32le() != kHeaderSize) return std::nullopt;
  Header h;
  r.skip(4);  // flags
  h.height = r.u32le();
  h.width = r.u32le();
  r.skip(4);  // pitch or linear size
  h.depth = r.u32le();
  r.skip(kMipmapCountAndReservedBytes);
  h.pixel_format_size = r.u32le();
  h.flags = r.u32le();
  h.code = r.u32le();
  h.bits = r.u32le();
  for (uint32_t& m : h.masks) m = r.u32le();
  r.skip(4);  // caps
  h.caps2 = r.u32le();
  if (!r.ok() || h.pixel_format_size != kPixelFormatSize) return std::nullopt;
  if ((h.caps2 & kCubeMap) || ((h.caps2 & kVolume) && h.depth != 0)) return std::nullopt;
  if (h.width < 1 || h.width > uint32_t(kMaxImageSide) || h.height < 1 || h.height > uint32_t(kMaxImageSide)) {
    return std::nullopt;
  }
  return h;
}

struct Description {
  Kind kind;
  int32_t pixel_format, colour_model, bits, channels;
  std::string pixel_text;
};

std::optional<Description> describe_code(const Header& h) {
  const bool blocks_fit = (h.width & 3) == 0 && (h.height & 3) == 0;
  switch (h.code) {
    case kHalfGreyCode: return Description{Kind::kHalfGrey, -1, kModelGrey, 16, 1, "fp16 Gray"};
    case kHalfArgbCode: return Description{Kind::kHalfArgb, -1, kModelRgb, 64, 4, "fp16 ARGB"};
    case kFloatGreyCode: return Description{Kind::kFloatGrey, -1, kModelGrey, 32, 1, "fp32 Gray"};
    case kFloatArgbCode: return Description{Kind::kFloatArgb, -1, kModelRgb, 128, 4, "fp32 ARGB"};
    default: break;
  }
  struct Block {
    uint32_t code;
    Kind kind;
    const char* text;
  };
  static constexpr Block kBlocks[] = {
      {fourcc("DXT1"), Kind::kDxt1, "DXT1 ARGB (1 bit Alpha)"},
      {fourcc("DXT2"), Kind::kDxt3, "DXT2 ARGB (Explicit Alpha)"},
      {fourcc("DXT3"), Kind::kDxt3, "DXT3 ARGB (Explicit Alpha)"},
      {fourcc("DXT4"), Kind::kDxt5, "DXT4 ARGB (Interpolated Alpha)"},
      {fourcc("DXT5"), Kind::kDxt5, "DXT5 ARGB (Interpolated Alpha)"},
      {fourcc("ATI2"), Kind::kDxt5, "DXT5 ARGB (Interpolated Alpha)"},
  };
  for (const Block& b : kBlocks) {
    if (b.code != h.code) continue;
    if (!blocks_fit) return std::nullopt;
    return Description{b.kind, -1, kModelRgb, 32, 4, b.text};
  }
  return std::nullopt;
}

// Lowest set bit of the mask's low 16 bits, and the run of set bits from there.
Channel16 analyse(uint32_t mask) {
  uint32_t low = mask & 0xFFFF;
  Channel16 c;
  if (low == 0) return c;
  while ((low & 1) == 0) {
    low >>= 1;
    ++c.shift;
  }
  while (low & 1) {
    low >>= 1;
    c.max = c.max << 1 | 1;
  }
  return c;
}

std::optional<Description> describe_rgb(const Header& h, DdsState& s) {
  if (h.bits == 24) return Description{Kind::kRgb24, 7, kModelRgb, 24, 3, "8:8:8 RGB (24 bit)"};
  if (h.bits == 32) return Description{Kind::kRgb32, 8, kModelRgb, 32, 4, "8:8:8:8 ARGB (32 bit)"};
  if (h.bits != 16) return std::nullopt;
  s.channels16 = {analyse(h.masks[2]), analyse(h.masks[1]), analyse(h.masks[0]), analyse(h.masks[3])};
  const uint32_t alpha_max = s.channels16[3].max;
  if (alpha_max == 15) return Description{Kind::kRgb16, 3, kModelRgb, 16, 4, "4:4:4:4 ARGB (16 bit)"};
  if (alpha_max == 1) return Description{Kind::kRgb16, 4, kModelRgb, 16, 4, "1:5:5:5 ARGB (16 bit)"};
  if (s.channels16[1].max == 63) return Description{Kind::kRgb16, 5, kModelRgb, 16, 3, "5:6:5 RGB (16 bit)"};
  return Description{Kind::kRgb16, 6, kModelRgb, 16, 3, "5:5:5 RGB (16 bit)"};
}

// The flags decide; four-character codes first, then RGB, then the exact one-channel and palette
// values.
std::optional<Description> describe(const Header& h, DdsState& s) {
  if (h.flags & kFourCc) return describe_code(h);
  switch (h.flags) {
    case kRgb:
    case kRgb | kAlphaPixels: return describe_rgb(h, s);
    case kAlphaOnly: return Description{Kind::kAlpha, 1, kModelGrey, 8, 1, "Alpha (256 colors)"};
    case kPalette4: return Description{Kind::kPalette4, -1, kModelPalette, 4, 1, "Palette ARGB (16 colors)"};
    case kPalette8: return Description{Kind::kPalette8, -1, kModelPalette, 8, 1, "Palette ARGB (256 colors)"};
    case kLuminance: return Description{Kind::kGrey, 0, kModelGrey, 8, 1, "Gray (256 colors)"};
    case kLuminance | kAlphaPixels:
      return Description{Kind::kGreyAlpha, 2, kModelGrey, 16, 2, "Gray Alpha (256 colors)"};
    default: return std::nullopt;
  }
}

bool has_alpha(const Description& d) {
  switch (d.kind) {
    case Kind::kHalfGrey:
    case Kind::kFloatGrey:
    case Kind::kRgb24:
    case Kind::kGrey: return false;
    case Kind::kRgb16: return d.channels == 4;
    default: return true;
  }
}

bool recognise(std::span<const uint8_t> head, DdsState& s, ImageInfo& info, bool want_text) {
  std::optional<Header> h = read_header(head);
  if (!h) return false;
  std::optional<Description> d = describe(*h, s);
  if (!d) return false;
  s.kind = d->kind;
  s.width = static_cast<int32_t>(h->width);
  s.height = static_cast<int32_t>(h->height);
  s.palette_at = kFileHeaderBytes;
  s.pixels_at = kFileHeaderBytes + 4 * palette_entries(s.kind);
  info.pixel_format = d->pixel_format;
  info.colour_model = d->colour_model;
  info.width = s.width;
  info.height = s.height;
  info.bits = d->bits;
  info.channels = d->channels;
  info.has_alpha = has_alpha(*d) ? 1 : 0;
  if (want_text) {
    info.pixel_text = d->pixel_text;
    if (s.kind == Kind::kDxt1 || s.kind == Kind::kDxt3 || s.kind == Kind::kDxt5) info.compression_text = "S3TC / DXTC";
  }
  return true;
}

// The bytes the decoder reads: the header, the palette and the first level.
uint64_t bytes_needed(const DdsState& s, const ImageInfo&) {
  return s.pixels_at + stored_row_bytes(s) * stored_rows(s);
}

}  // namespace

// The first level is stored as it is (compressed kinds in fixed-size blocks).
bool data_holds_picture(const DdsState& s) {
  const uint64_t stored = stored_row_bytes(s) * stored_rows(s);
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, s.pixels_at), 1);
}

// The file form: the header, then only the palette and the first level (never more than the file
// holds).
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<DdsState> file{.head_bytes = kFileHeaderBytes, .signature = kMagic, .kept = bytes_needed};
  return probe_source<DdsState>(source, info, want_text, file, recognise);
}

}  // namespace tesmo::dds
