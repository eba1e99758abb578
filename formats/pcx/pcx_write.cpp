// PCX writer: uncompressed 24-bit pictures, each row its red, green and blue planes.
#include "base/bytes.h"
#include "formats/pcx/pcx.h"
#include "formats/pcx/pcx_internal.h"

namespace tesmo::pcx {
namespace {

constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kVersion = 5;
constexpr uint8_t kPlanes = 3;
constexpr uint32_t kMaxSide = 0xFFFF;  // bytes per line and the max fields are 16 bits
constexpr size_t kResolutionsAndPaletteBytes = 53;  // offsets 12–64, with the reserved byte
constexpr size_t kTailBytes = 60;                   // palette info and filler, offsets 68–127

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format) {
  if (pixel_format != 0) return {};
  if (width < 1 || height < 1 || uint32_t(width) > kMaxSide || uint32_t(height) > kMaxSide) return {};
  const size_t w = size_t(width), h = size_t(height);
  if (pixels.size() < w * h) return {};
  const size_t row_bytes = w * kPlanes;
  if (kHeaderBytes + uint64_t{row_bytes} * h > UINT32_MAX) return {};  // the size is a 32-bit count

  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + row_bytes * h);
  ByteWriter header(out);
  header.u8(kManufacturer);
  header.u8(kVersion);
  header.u8(0);  // uncompressed
  header.u8(8);  // bits per plane
  header.u16le(0);  // x min, y min
  header.u16le(0);
  header.u16le(static_cast<uint16_t>(width - 1));
  header.u16le(static_cast<uint16_t>(height - 1));
  header.zeros(kResolutionsAndPaletteBytes);
  header.u8(kPlanes);
  header.u16le(static_cast<uint16_t>(width));  // bytes per line: no padding, even for odd widths
  header.zeros(kTailBytes);
  out.resize(kHeaderBytes + row_bytes * h);

  for (size_t y = 0; y < h; ++y) {
    const uint32_t* src = pixels.data() + y * w;
    uint8_t* red = out.data() + kHeaderBytes + y * row_bytes;
    uint8_t* green = red + w;
    uint8_t* blue = green + w;
    for (size_t x = 0; x < w; ++x) {
      red[x] = static_cast<uint8_t>(src[x] >> 16);
      green[x] = static_cast<uint8_t>(src[x] >> 8);
      blue[x] = static_cast<uint8_t>(src[x]);
    }
  }
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  return save_encoded(encode, pixels, width, height, request);
}

}  // namespace tesmo::pcx
