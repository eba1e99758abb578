// PCX recognition: the 128-byte header.
#include "base/bytes.h"
#include "formats/pcx/pcx.h"
#include "formats/pcx/pcx_internal.h"

namespace tesmo::pcx {
namespace {

constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kEncodingNone = 0;
constexpr uint8_t kEncodingRunLength = 1;
// Version 1 was never used for pictures; 5 is the first that carries a 256-entry palette.
constexpr uint8_t kPaletteVersion = 5;
constexpr size_t kPlanesField = 65;

bool version_accepted(uint8_t v) { return v == 0 || (v >= 2 && v <= kPaletteVersion); }

struct Header {
  uint8_t manufacturer, version, encoding, bits_per_plane;
  uint16_t x_min, y_min, x_max, y_max;
  uint8_t planes;
  uint16_t bytes_per_line;
};

Header read_header(std::span<const uint8_t> head) {
  ByteReader r(head);
  Header h{};
  h.manufacturer = r.u8();
  h.version = r.u8();
  h.encoding = r.u8();
  h.bits_per_plane = r.u8();
  h.x_min = r.u16le();
  h.y_min = r.u16le();
  h.x_max = r.u16le();
  h.y_max = r.u16le();
  r.seek(kPlanesField);  // resolutions, 16-colour palette and a reserved byte are not read
  h.planes = r.u8();
  h.bytes_per_line = r.u16le();
  return h;
}

// Recognises the header, fills the state's layout and `info`; false to decline.
bool recognise(std::span<const uint8_t> head, PcxState& s, ImageInfo& info, bool want_text) {
  if (head.size() < kHeaderBytes) return false;
  const Header h = read_header(head);
  if (h.manufacturer != kManufacturer || !version_accepted(h.version)) return false;
  if (h.encoding != kEncodingNone && h.encoding != kEncodingRunLength) return false;
  const int64_t width = int64_t{h.x_max} - h.x_min + 1;
  const int64_t height = int64_t{h.y_max} - h.y_min + 1;
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;
  if (h.bytes_per_line == 0 || h.bits_per_plane != 8) return false;
  const bool rgb = h.planes == 3;
  if (!rgb && !(h.planes == 1 && h.version == kPaletteVersion)) return false;

  s.width = static_cast<int32_t>(width);
  s.height = static_cast<int32_t>(height);
  s.planes = h.planes;
  s.bytes_per_line = h.bytes_per_line;
  s.run_length = h.encoding == kEncodingRunLength;

  info.pixel_format = rgb ? 0 : -1;
  info.colour_model = rgb ? kModelRgb : kModelPalette;
  info.width = s.width;
  info.height = s.height;
  info.bits = 8 * h.planes;
  info.channels = h.planes;
  info.has_alpha = 0;
  if (want_text) {
    info.pixel_text = rgb ? "8:8:8 RGB (24 bit)" : "Palette RGB (256 colors)";
    if (s.run_length) info.compression_text = "Run-Length Encoded";
  }
  return true;
}

}  // namespace

// A run-length pair (count byte, value) gives at most 63 bytes of a plane row.
bool data_holds_picture(const PcxState& s) {
  const uint64_t stored = uint64_t(s.planes) * s.bytes_per_line * uint64_t(s.height);
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, kHeaderBytes),
                             s.run_length ? 32 : 1);
}

// The file form: a file of more than 128 bytes, read whole (the palette is its last 768 bytes).
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  return probe_source<PcxState>(source, info, want_text, FileForm<PcxState>{.head_bytes = kHeaderBytes + 1},
                                recognise);
}

}  // namespace tesmo::pcx
