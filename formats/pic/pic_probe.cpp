// PIC recognition: magic, "PICT" id, full-frame fields and one or two chained channel packets that
// together name red, green and blue, with or without alpha.
#include <algorithm>

#include "base/bytes.h"
#include "formats/pic/pic.h"
#include "formats/pic/pic_internal.h"

namespace tesmo::pic {
namespace {

struct Packet {
  uint8_t chained = 0, size = 0, type = 0, mask = 0;
};

Packet read_packet(ByteReader& r) {
  Packet p;
  p.chained = r.u8();
  p.size = r.u8();
  p.type = r.u8();
  p.mask = r.u8();
  return p;
}

bool same(const uint8_t (&expected)[4], ByteReader& r) {
  uint8_t got[4] = {};
  return r.bytes(got, 4) && std::equal(got, got + 4, expected);
}

// Reads and checks the header at the start of `head`; fills the state's layout, or returns false.
bool read_header(std::span<const uint8_t> head, PicState& s) {
  ByteReader r(head);
  if (!same(kMagic, r)) return false;
  r.skip(kCommentAndVersionBytes);
  if (!same(kPictId, r)) return false;
  const uint16_t width = r.u16be();
  const uint16_t height = r.u16be();
  r.skip(4);  // aspect ratio
  const uint16_t fields = r.u16be();
  r.skip(2);  // padding
  const Packet first = read_packet(r);
  if (!r.ok() || width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;
  if (fields != kFullFrame || first.size != kChannelBits) return false;
  unsigned mask = first.mask;
  s.pixels_at = kOnePacketHeader;  // pixel data starts right after the last packet
  if (first.chained != 0) {
    const Packet second = read_packet(r);
    if (!r.ok() || second.chained != 0 || second.size != kChannelBits || second.type != first.type) return false;
    mask += second.mask;
    s.pixels_at = kTwoPacketHeader;
  }
  if (first.type != kTypeUncompressed && first.type != kTypeMixedRunLength) return false;
  if (mask != kMaskRgb && mask != (kMaskRgb | kMaskAlpha)) return false;
  s.width = width;
  s.height = height;
  s.type = first.type;
  if (mask == kMaskRgb) {
    s.layout = Layout::kRgb;
  } else {
    s.layout = first.chained != 0 ? Layout::kRgbAlpha : Layout::kRgba;
  }
  return true;
}

void describe(const PicState& s, ImageInfo& info, bool want_text) {
  const bool alpha = s.layout != Layout::kRgb;
  info.pixel_format = alpha ? 1 : 0;
  info.colour_model = kModelRgb;
  info.width = s.width;
  info.height = s.height;
  info.channels = alpha ? 4 : 3;
  info.bits = 8 * info.channels;
  info.has_alpha = alpha ? 1 : 0;
  if (want_text) {
    info.pixel_text = alpha ? "8:8:8:8 RGB (32 bit)" : "8:8:8 RGB (24 bit)";
    if (s.type == kTypeMixedRunLength) info.compression_text = "Mixed Run-Length Encoded";
  }
}

bool recognise(std::span<const uint8_t> head, PicState& s, ImageInfo& info, bool want_text) {
  if (!read_header(head, s)) return false;
  describe(s, info, want_text);
  return true;
}

}  // namespace

// A mixed run-length packet of three count bytes and one value gives up to 65535 pixels.
bool data_holds_picture(const PicState& s) {
  const uint64_t channels = s.layout == Layout::kRgb ? 3 : 4;
  const uint64_t stored = uint64_t(s.width) * uint64_t(s.height) * channels;
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, s.pixels_at),
                             s.type == kTypeMixedRunLength ? 65535 : 1);
}

// The file form: more than 112 bytes, the first 112 recognised, then the whole file.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<PicState> file{.head_bytes = kTwoPacketHeader + 1, .signature = kMagic};
  return probe_source<PicState>(source, info, want_text, file, recognise);
}

}  // namespace tesmo::pic
