// TGA writer: uncompressed grey, 5:5:5, 24-bit and 32-bit pictures, rows top to bottom.
#include <bit>
#include <cstring>
#include <iterator>

#include "base/bytes.h"
#include "formats/tga/tga.h"

namespace tesmo::tga {
namespace {

constexpr size_t kHeaderBytes = 18;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeGrey = 3;
constexpr uint32_t kMaxSide = 0xFFFF;  // the width and height fields

// One stored row from one picture row.
using RowFn = void (*)(const uint32_t* src, uint8_t* dst, size_t width);

void row_grey(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x) dst[x] = grey_of(src[x]);
}

// Bit 15 stays 0 although the descriptor announces one alpha bit.
void row_555(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    const uint32_t p = src[x], b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    const uint32_t v = (b >> 3) | (g >> 3) << 5 | (r & 0xF8) << 7;
    dst[2 * x] = static_cast<uint8_t>(v);
    dst[2 * x + 1] = static_cast<uint8_t>(v >> 8);
  }
}

void row_24(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, dst += 3) {
    dst[0] = static_cast<uint8_t>(src[x]);
    dst[1] = static_cast<uint8_t>(src[x] >> 8);
    dst[2] = static_cast<uint8_t>(src[x] >> 16);
  }
}

static_assert(std::endian::native == std::endian::little, "pixels are stored as they lie in memory");
void row_32(const uint32_t* src, uint8_t* dst, size_t width) { std::memcpy(dst, src, width * 4); }

struct WriteLayout {
  uint8_t image_type;
  uint8_t bits;
  // Bit 5: rows stored top to bottom; the low nibble counts alpha bits (8 for grey as well).
  uint8_t descriptor;
  RowFn row;
};

// Indexed by pixel format.
constexpr WriteLayout kLayouts[] = {
    {kTypeGrey, 8, 0x28, row_grey},
    {kTypeTrueColour, 16, 0x21, row_555},
    {kTypeTrueColour, 24, 0x20, row_24},
    {kTypeTrueColour, 32, 0x28, row_32},
};
constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kLayouts));

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format) {
  if (pixel_format < 0 || pixel_format >= kLayoutCount) return {};
  if (width < 1 || height < 1 || uint32_t(width) > kMaxSide || uint32_t(height) > kMaxSide) return {};
  const WriteLayout& layout = kLayouts[pixel_format];
  const uint64_t w = uint64_t(width), h = uint64_t(height);
  if (pixels.size() < w * h) return {};
  const uint64_t row_bytes = w * (layout.bits / 8u);
  const uint64_t file_size = kHeaderBytes + row_bytes * h;
  if (file_size > uint64_t{INT32_MAX}) return {};

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(file_size));
  ByteWriter header(out);
  header.u8(0);  // no ID field
  header.u8(0);  // no colour map
  header.u8(layout.image_type);
  header.zeros(5);  // colour-map fields
  header.zeros(4);  // x and y origin
  header.u16le(static_cast<uint16_t>(width));
  header.u16le(static_cast<uint16_t>(height));
  header.u8(layout.bits);
  header.u8(layout.descriptor);
  out.resize(static_cast<size_t>(file_size));
  for (uint64_t y = 0; y < h; ++y) {
    layout.row(pixels.data() + y * w, out.data() + kHeaderBytes + y * row_bytes, static_cast<size_t>(w));
  }
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  return save_encoded(encode, pixels, width, height, request);
}

}  // namespace tesmo::tga
