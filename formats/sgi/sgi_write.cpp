// SGI writer: verbatim grey, RGB and RGBA pictures, planes one after the other, rows bottom-up.
#include <iterator>

#include "base/bytes.h"
#include "formats/sgi/sgi.h"
#include "formats/sgi/sgi_internal.h"

namespace tesmo::sgi {
namespace {

constexpr uint16_t kMagic = 474;
constexpr uint16_t kDimension = 3;
constexpr uint32_t kMaxSide = 0xFFFF;  // the x and y size fields
constexpr size_t kFieldBytes = 12;     // magic to z size; everything after it is written 0

// Channel count per pixel format: grey, RGB, RGBA.
constexpr uint16_t kChannels[] = {1, 3, 4};
constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kChannels));

// One plane row from one picture row: the grey conversion, or byte 2 (red), 1, 0, 3 of each pixel.
void plane_row(const uint32_t* src, uint8_t* dst, size_t width, uint16_t channels, uint32_t plane) {
  if (channels == 1) {
    for (size_t x = 0; x < width; ++x) dst[x] = grey_of(src[x]);
    return;
  }
  static constexpr uint32_t kShift[] = {16, 8, 0, 24};
  const uint32_t shift = kShift[plane];
  for (size_t x = 0; x < width; ++x) dst[x] = static_cast<uint8_t>(src[x] >> shift);
}

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format) {
  if (pixel_format < 0 || pixel_format >= kLayoutCount) return {};
  if (width < 1 || height < 1 || uint32_t(width) > kMaxSide || uint32_t(height) > kMaxSide) return {};
  const uint16_t channels = kChannels[pixel_format];
  const uint64_t w = uint64_t(width), h = uint64_t(height);
  if (pixels.size() < w * h) return {};
  const uint64_t file_size = kHeaderBytes + w * h * channels;
  if (file_size > uint64_t{INT32_MAX}) return {};

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(file_size));
  ByteWriter header(out);
  header.u16be(kMagic);
  header.u8(0);  // verbatim
  header.u8(1);  // bytes per channel
  header.u16be(kDimension);
  header.u16be(static_cast<uint16_t>(width));
  header.u16be(static_cast<uint16_t>(height));
  header.u16be(channels);
  header.zeros(kHeaderBytes - kFieldBytes);  // minimum and maximum too, colour map 0
  out.resize(static_cast<size_t>(file_size));

  uint8_t* dst = out.data() + kHeaderBytes;
  for (uint32_t plane = 0; plane < channels; ++plane) {
    for (uint64_t stored = 0; stored < h; ++stored, dst += w) {
      plane_row(pixels.data() + (h - 1 - stored) * w, dst, static_cast<size_t>(w), channels, plane);
    }
  }
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  return save_encoded(encode, pixels, width, height, request);
}

}  // namespace tesmo::sgi
