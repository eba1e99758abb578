// TGA recognition: the 18-byte header decides alone, since the format has no signature.
#include <optional>

#include "base/bytes.h"
#include "formats/tga/tga.h"
#include "formats/tga/tga_internal.h"

namespace tesmo::tga {
namespace {

constexpr size_t kHeaderBytes = 18;

// Image types; 11 (grey run-length) and every other value are declined.
constexpr uint8_t kTypeMapped = 1;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeGrey = 3;
constexpr uint8_t kTypeMappedRle = 9;
constexpr uint8_t kTypeTrueColourRle = 10;

constexpr uint8_t kMapAbsent = 0;
constexpr uint8_t kMapPresent = 1;
constexpr uint8_t kDescriptorTopDown = 0x20;

struct Header {
  uint8_t id_length, map_type, image_type;
  uint16_t map_length;
  uint8_t entry_bits;
  uint16_t width, height;
  uint8_t bits, descriptor;
};

Header read_header(std::span<const uint8_t> head) {
  ByteReader r(head);
  Header h{};
  h.id_length = r.u8();
  h.map_type = r.u8();
  h.image_type = r.u8();
  r.skip(2);  // first colour-map entry: indices are used as they are
  h.map_length = r.u16le();
  h.entry_bits = r.u8();
  r.skip(4);  // x and y origin
  h.width = r.u16le();
  h.height = r.u16le();
  h.bits = r.u8();
  h.descriptor = r.u8();
  return h;
}

struct Description {
  PixelKind kind;
  int32_t pixel_format, colour_model, channels, has_alpha;
  const char* pixel_text;
};

// The stored layout of a header, or nothing for a combination no layout has.
std::optional<Description> describe(const Header& h) {
  const bool mapped = h.image_type == kTypeMapped || h.image_type == kTypeMappedRle;
  const bool true_colour = h.image_type == kTypeTrueColour || h.image_type == kTypeTrueColourRle;
  switch (h.bits) {
    case 8:
      if (h.image_type == kTypeGrey && h.map_type == kMapAbsent) {
        return Description{PixelKind::kGrey, 0, kModelGrey, 1, 0, "Gray (256 colors)"};
      }
      if (!mapped || h.map_type != kMapPresent) return std::nullopt;
      if (h.entry_bits == 24) {
        return Description{PixelKind::kMapped, -1, kModelPalette, 1, 0, "Palette RGB (256 colors)"};
      }
      if (h.entry_bits == 32) {
        return Description{PixelKind::kMapped, -1, kModelPalette, 1, 1, "Palette ARGB (256 colors)"};
      }
      return std::nullopt;
    case 16:
      if (!true_colour) return std::nullopt;
      return Description{PixelKind::kRgb16, 1, kModelRgb, 3, 0, "5:5:5 RGB (16 bit)"};
    case 24:
      if (!true_colour) return std::nullopt;
      return Description{PixelKind::kRgb24, 2, kModelRgb, 3, 0, "8:8:8 RGB (24 bit)"};
    case 32:
      if (!true_colour) return std::nullopt;
      return Description{PixelKind::kRgba32, 3, kModelRgb, 4, 1, "8:8:8:8 ARGB (32 bit)"};
    default:
      return std::nullopt;
  }
}

// Recognises the header, fills the state's layout and `info`; false to decline.
bool recognise(std::span<const uint8_t> head, TgaState& s, ImageInfo& info, bool want_text) {
  if (head.size() < kHeaderBytes) return false;
  const Header h = read_header(head);
  if (h.width < 1 || h.width > kMaxImageSide || h.height < 1 || h.height > kMaxImageSide) return false;
  const std::optional<Description> d = describe(h);
  if (!d) return false;

  s.kind = d->kind;
  s.width = h.width;
  s.height = h.height;
  s.run_length = h.image_type == kTypeMappedRle || h.image_type == kTypeTrueColourRle;
  s.top_down = (h.descriptor & kDescriptorTopDown) != 0;
  s.map_at = kHeaderBytes + uint64_t{h.id_length};
  // A true-colour picture may still carry a colour map (type 1 says so); its pixels follow it.
  uint64_t map_bytes = 0;
  if (h.map_type == kMapPresent) map_bytes = uint64_t{h.map_length} * ((h.entry_bits + 7u) / 8u);
  if (s.kind == PixelKind::kMapped) {
    s.map_length = h.map_length;
    s.entry_bytes = h.entry_bits / 8u;
  }
  s.pixels_at = s.map_at + map_bytes;

  info.pixel_format = d->pixel_format;
  info.colour_model = d->colour_model;
  info.width = s.width;
  info.height = s.height;
  info.bits = h.bits;
  info.channels = d->channels;
  info.has_alpha = d->has_alpha;
  if (want_text) {
    info.pixel_text = d->pixel_text;
    if (s.run_length) info.compression_text = "Run-Length Encoded";
    if (s.top_down) info.extra_text = "V-Flip";
  }
  return true;
}

// The bytes the decoder can use: the whole file for run-length packets, otherwise up to the end of
// the stored pixels as the header computes them (a shorter file gives what it has).
uint64_t bytes_needed(const TgaState& s, const ImageInfo& info) {
  if (s.run_length) return UINT64_MAX;
  return s.pixels_at + uint64_t(s.width) * uint64_t(s.height) * uint64_t(info.bits / 8);
}

}  // namespace

// Counted in pixels: a stored pixel takes at least one byte; a run-length packet (a count byte and
// at least one value byte) gives at most 128 pixels.
bool data_holds_picture(const TgaState& s) {
  const uint64_t pixels = uint64_t(s.width) * uint64_t(s.height);
  return picture_within_data(s.width, s.height, pixels, bytes_from(s.data, s.pixels_at),
                             s.run_length ? 64 : 1);
}

// The file form: a file of more than 18 bytes.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<TgaState> file{.head_bytes = kHeaderBytes + 1, .kept = bytes_needed};
  return probe_source<TgaState>(source, info, want_text, file, recognise);
}

}  // namespace tesmo::tga
