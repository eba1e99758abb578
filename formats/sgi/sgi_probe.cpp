// SGI recognition: the 512-byte big-endian header, read field by field (never swapped in place).
#include <array>
#include <optional>

#include "base/bytes.h"
#include "formats/sgi/sgi.h"
#include "formats/sgi/sgi_internal.h"

namespace tesmo::sgi {
namespace {

constexpr uint16_t kMagic = 474;
constexpr std::array<uint8_t, 2> kMagicBytes = {kMagic >> 8, kMagic & 0xFF};  // big-endian
constexpr uint8_t kStorageVerbatim = 0;
constexpr uint8_t kStorageRunLength = 1;
constexpr size_t kColourMapField = 104;
// Colour map 0 is a plain picture; 3 marks a colour map file, read here like a plain one.
constexpr uint32_t kColourMapNormal = 0;
constexpr uint32_t kColourMapOnly = 3;

struct Header {
  uint16_t magic;
  uint8_t storage, bytes_per_channel;
  uint16_t dimension, x_size, y_size, z_size;
  uint32_t colour_map;
};

Header read_header(std::span<const uint8_t> head) {
  ByteReader r(head);
  Header h{};
  h.magic = r.u16be();
  h.storage = r.u8();
  h.bytes_per_channel = r.u8();
  h.dimension = r.u16be();
  h.x_size = r.u16be();
  h.y_size = r.u16be();
  h.z_size = r.u16be();
  r.seek(kColourMapField);  // minimum, maximum, reserved bytes and name are not read
  h.colour_map = r.u32be();
  return h;
}

struct Description {
  int32_t pixel_format, colour_model, has_alpha;
  const char* pixel_text;
};

std::optional<Description> describe(uint16_t z_size) {
  switch (z_size) {
    case 1: return Description{0, kModelGrey, 0, "Gray (256 colors)"};
    case 3: return Description{1, kModelRgb, 0, "8:8:8 RGB (24 bit)"};
    case 4: return Description{2, kModelRgb, 1, "8:8:8:8 ARGB (32 bit)"};
    default: return std::nullopt;
  }
}

// Recognises the header, fills the state's layout and `info`; false to decline.
bool recognise(std::span<const uint8_t> head, SgiState& s, ImageInfo& info, bool want_text) {
  if (head.size() < kHeaderBytes) return false;
  const Header h = read_header(head);
  if (h.magic != kMagic || h.bytes_per_channel != 1) return false;
  if (h.storage != kStorageVerbatim && h.storage != kStorageRunLength) return false;
  if (h.dimension < 1 || h.dimension > 3) return false;
  if (h.x_size < 1 || h.x_size > kMaxImageSide || h.y_size < 1 || h.y_size > kMaxImageSide) return false;
  if (h.colour_map != kColourMapNormal && h.colour_map != kColourMapOnly) return false;
  const std::optional<Description> d = describe(h.z_size);
  if (!d) return false;

  s.width = h.x_size;
  s.height = h.y_size;
  s.channels = h.z_size;
  s.run_length = h.storage == kStorageRunLength;

  info.pixel_format = d->pixel_format;
  info.colour_model = d->colour_model;
  info.width = s.width;
  info.height = s.height;
  info.bits = 8 * h.z_size;
  info.channels = h.z_size;
  info.has_alpha = d->has_alpha;
  if (want_text) {
    info.pixel_text = d->pixel_text;
    if (s.run_length) info.compression_text = "Run-Length Encoded";
  }
  return true;
}

}  // namespace

// Verbatim rows must be there. A run-length code gives at most 127 samples from two bytes; rows
// that share their codes prove nothing beyond that, so they count once.
bool data_holds_picture(const SgiState& s) {
  const uint64_t stored = uint64_t(s.width) * uint64_t(s.height) * s.channels;
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, kHeaderBytes),
                             s.run_length ? 64 : 1);
}

// The file form: a file of more than 512 bytes, read whole (row offsets may point anywhere in it).
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<SgiState> file{.head_bytes = kHeaderBytes + 1, .signature = kMagicBytes};
  return probe_source<SgiState>(source, info, want_text, file, recognise);
}

}  // namespace tesmo::sgi
