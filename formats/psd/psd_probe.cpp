// PSD recognition: the 26-byte header, the colour mode, and the walk over the colour-mode data,
// the image resources and the layer section to the composite image data.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/psd/psd.h"
#include "formats/psd/psd_internal.h"

namespace tesmo::psd {
namespace {

constexpr size_t kHeaderBytes = 26;
constexpr std::array<uint8_t, 4> kPsdSignature = {'8', 'B', 'P', 'S'};
constexpr uint16_t kVersion = 1;
// Documents are limited to 30000 pixels a side, below the 32767 of the other formats.
constexpr uint32_t kMaxSide = 30000;
// Colour-mode data length (4 bytes at 26), its data, then the image-resources length (4 bytes),
// which is not used: the resource blocks are walked instead.
constexpr uint64_t kResourcesLengthBytes = 4;
constexpr uint8_t kResourceSignature[4] = {'8', 'B', 'I', 'M'};
constexpr uint64_t kResourceIdBytes = 2;

struct Header {
  uint16_t channels = 0;
  uint32_t height = 0;
  uint32_t width = 0;
  uint16_t depth = 0;
  uint16_t mode = 0;
};

std::optional<Header> read_header(std::span<const uint8_t> head) {
  ByteReader r(head);
  uint8_t signature[4] = {};
  r.bytes(signature, 4);
  if (!std::equal(std::begin(signature), std::end(signature), kPsdSignature.begin())) return std::nullopt;
  if (r.u16be() != kVersion) return std::nullopt;
  r.skip(6);  // reserved
  Header h;
  h.channels = r.u16be();
  h.height = r.u32be();
  h.width = r.u32be();
  h.depth = r.u16be();
  h.mode = r.u16be();
  if (!r.ok()) return std::nullopt;
  if (h.width < 1 || h.width > kMaxSide || h.height < 1 || h.height > kMaxSide) return std::nullopt;
  return h;
}

struct Description {
  int32_t colour_model = 0;
  int32_t has_alpha = 0;
  std::string pixel_text;
};

std::optional<Description> describe_rgb(const Header& h) {
  if ((h.depth != 8 && h.depth != 16) || h.channels < 3 || h.channels > 24) return std::nullopt;
  const int32_t bits = h.depth * h.channels;
  const std::string extra = std::to_string(bits) + " bit)";
  if (h.depth == 8) {
    if (h.channels == 3) return Description{kModelRgb, 0, "8:8:8 RGB (24 bit)"};
    if (h.channels == 4) return Description{kModelRgb, 1, "8:8:8:8 ARGB (32 bit)"};
    return Description{kModelRgb, 0, "8:8:8 X+RGB (" + extra};
  }
  if (h.channels == 3) return Description{kModelRgb, 0, "16:16:16 RGB (48 bit)"};
  if (h.channels == 4) return Description{kModelRgb, 1, "16:16:16:16 ARGB (64 bit)"};
  return Description{kModelRgb, 0, "16:16:16 X+RGB (" + extra};
}

// The colour mode decides the model and the texts; anything the reader cannot show rejects.
std::optional<Description> describe(const Header& h) {
  const uint32_t bits = uint32_t{h.depth} * h.channels;
  switch (h.mode) {
    case kBitmap:
      if (bits != 1) return std::nullopt;
      return Description{kModelGrey, 0, "Gray (2 colors)"};
    case kGrey:  // the depth is not checked
      if (h.channels == 1) return Description{kModelGrey, 0, "Gray (256 colors)"};
      if (h.channels == 2) return Description{kModelGrey, 1, "Gray Alpha (256 colors)"};
      return std::nullopt;
    case kIndexed:
      return Description{kModelPalette, 0, "Palette RGB (256 colors)"};
    case kRgb:
      return describe_rgb(h);
    case kCmyk:
      if (bits == 32 && h.channels == 4) return Description{kModelCmyk, 0, "8:8:8:8 CMYK (32 bit)"};
      if (bits == 40 && h.channels == 5) return Description{kModelCmyk, 1, "8:8:8:8:8 ACMYK (40 bit)"};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// A big-endian field at an absolute offset; nothing when it is not wholly inside the data.
std::optional<uint32_t> be_at(std::span<const uint8_t> data, uint64_t offset, size_t bytes) {
  if (offset > data.size() || data.size() - offset < bytes) return std::nullopt;
  ByteReader r(data.subspan(static_cast<size_t>(offset), bytes));
  return bytes == 4 ? r.u32be() : r.u16be();
}

bool resource_block_at(std::span<const uint8_t> data, uint64_t pos) {
  if (pos > data.size() || data.size() - pos < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (data[static_cast<size_t>(pos) + i] != kResourceSignature[i]) return false;
  }
  return true;
}

// Steps over the image-resource blocks from `pos`: signature, id, a name taken as a zero-ended
// byte string (an empty one counts 2 bytes), a 32-bit size and the data padded to even size.
// The offset of the first byte after them, or nothing when a block's size field is missing.
// (The name is stored as a length byte and text padded to even size. Read up to its zero byte it
// steps the same for the empty names documents carry, and for odd-length ones; an even-length name
// is stepped one byte short and the walk then ends early.)
std::optional<uint64_t> skip_resources(std::span<const uint8_t> data, uint64_t pos) {
  while (resource_block_at(data, pos)) {
    pos += sizeof kResourceSignature + kResourceIdBytes;
    uint64_t name = 0;
    while (pos + name < data.size() && data[static_cast<size_t>(pos + name)] != 0) ++name;
    pos += name == 0 ? 2 : name;
    std::optional<uint32_t> size = be_at(data, pos, 4);
    if (!size) return std::nullopt;
    pos += 4 + ((uint64_t{*size} + 1) & ~uint64_t{1});
  }
  return pos;
}

// Walks from the colour-mode data to the composite: fills the state's offsets and compression,
// or returns false to reject.
bool walk_sections(PsdState& s) {
  const std::span<const uint8_t> data = s.data;
  std::optional<uint32_t> colour_bytes = be_at(data, kHeaderBytes, 4);
  if (!colour_bytes) return false;
  s.colour_data_bytes = *colour_bytes;
  std::optional<uint64_t> pos = skip_resources(data, kColourDataAt + *colour_bytes + kResourcesLengthBytes);
  if (!pos) return false;
  std::optional<uint32_t> layer_bytes = be_at(data, *pos, 4);  // layer and mask section, skipped
  if (!layer_bytes) return false;
  const uint64_t at = *pos + 4 + *layer_bytes;
  std::optional<uint32_t> compression = be_at(data, at, 2);
  if (!compression || *compression > kCompressionPackBits) return false;
  s.compression = static_cast<uint16_t>(*compression);
  s.image_at = at + 2;
  if (s.mode == kIndexed && s.colour_data_bytes != kPaletteBytes) return false;
  const uint64_t needed = uint64_t(s.width) * uint64_t(s.height) * uint64_t(s.bits) / 8;
  if (s.compression == kCompressionRaw) return bytes_from(data, s.image_at) >= needed;
  // PackBits: a code byte and a value give at most 128 bytes.
  return picture_within_data(s.width, s.height, needed, bytes_from(data, s.image_at), 64);
}

}  // namespace

ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  if (!source.from_file()) return nullptr;
  std::optional<std::vector<uint8_t>> head = read_file_prefix(*source.path, kHeaderBytes + 1);
  if (!head) return nullptr;
  if (head->size() <= kHeaderBytes) return short_header(*head, kPsdSignature);  // more than the header is needed
  std::optional<Header> h = read_header(*head);
  if (!h) return nullptr;
  std::optional<Description> d = describe(*h);
  if (!d) return nullptr;

  auto s = std::make_unique<PsdState>();
  std::optional<FileBytes> bytes = read_file_bytes(*source.path);
  if (!bytes) return nullptr;
  s->owned = std::move(*bytes);
  s->data = s->owned.span();
  s->mode = h->mode;
  s->depth = h->depth;
  s->channels = h->channels;
  s->width = static_cast<int32_t>(h->width);
  s->height = static_cast<int32_t>(h->height);
  s->bits = uint64_t{h->depth} * h->channels;
  s->colour_model = d->colour_model;
  if (!walk_sections(*s)) return nullptr;

  info.pixel_format = -1;  // PSD has no writer
  info.colour_model = d->colour_model;
  info.width = s->width;
  info.height = s->height;
  info.bits = static_cast<int32_t>(s->bits);  // wraps like a 32-bit count for absurd indexed headers
  info.channels = s->channels;
  info.has_alpha = d->has_alpha;
  if (want_text) {
    info.pixel_text = d->pixel_text;
    if (s->compression == kCompressionPackBits) info.compression_text = "Run-Length Encoded (PackBits)";
  }
  return s;
}

}  // namespace tesmo::psd
