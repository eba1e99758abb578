// BMP writer: seven layouts (5:5:5, 1:5:5:5, 5:6:5, 4:4:4, 4:4:4:4 with bit-field masks where
// the plain 16-bit form cannot say it, 24 and 32 bits), rows bottom-up, each padded to 4 bytes.
#include <iterator>

#include "base/bytes.h"
#include "formats/bmp/bmp.h"
#include "formats/bmp/bmp_internal.h"

namespace tesmo::bmp {
namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaskBytes = 16;  // red, green, blue, alpha
constexpr uint16_t kPlanes = 1;
constexpr size_t kResolutionAndColourCountBytes = 16;

constexpr uint16_t pack_555(uint32_t p) {
  uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  return static_cast<uint16_t>((r & 0xF8) << 7 | (g >> 3) << 5 | (b >> 3));
}
constexpr uint16_t pack_1555(uint32_t p) {
  return static_cast<uint16_t>(pack_555(p) | ((p >> 24) != 0 ? 0x8000 : 0));
}
constexpr uint16_t pack_565(uint32_t p) {
  uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}
constexpr uint16_t pack_444(uint32_t p) {
  uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  return static_cast<uint16_t>((r >> 4) << 8 | (g & 0xF0) | (b >> 4));
}
constexpr uint16_t pack_4444(uint32_t p) { return static_cast<uint16_t>(pack_444(p) | (p >> 28) << 12); }

// One stored row from one image row.
using RowFn = void (*)(const uint32_t* src, uint8_t* dst, size_t width);

template <uint16_t (*Pack)(uint32_t)>
void row_16(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    uint16_t v = Pack(src[x]);
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

void row_32(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, dst += 4) {
    dst[0] = static_cast<uint8_t>(src[x]);
    dst[1] = static_cast<uint8_t>(src[x] >> 8);
    dst[2] = static_cast<uint8_t>(src[x] >> 16);
    dst[3] = static_cast<uint8_t>(src[x] >> 24);
  }
}

struct WriteLayout {
  uint16_t bits;
  bool bit_fields;
  uint32_t masks[4];  // red, green, blue, alpha
  RowFn row;
};

// Indexed by pixel format.
constexpr WriteLayout kLayouts[] = {
    {16, false, {}, row_16<pack_555>},
    {16, true, {0x7C00, 0x03E0, 0x001F, 0x8000}, row_16<pack_1555>},
    {16, true, {0xF800, 0x07E0, 0x001F, 0}, row_16<pack_565>},
    {16, true, {0x0F00, 0x00F0, 0x000F, 0}, row_16<pack_444>},
    {16, true, {0x0F00, 0x00F0, 0x000F, 0xF000}, row_16<pack_4444>},
    {24, false, {}, row_24},
    {32, false, {}, row_32},
};
constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kLayouts));

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format) {
  if (pixel_format < 0 || pixel_format >= kLayoutCount || width < 0 || height < 0) return {};
  const WriteLayout& layout = kLayouts[pixel_format];
  const uint64_t w = static_cast<uint64_t>(width);
  const uint64_t h = static_cast<uint64_t>(height);
  if (pixels.size() < w * h) return {};
  const uint64_t row_size = (w * layout.bits / 8 + 3) / 4 * 4;
  const uint64_t image_bytes = row_size * h;
  const uint32_t pixel_offset = kFileHeaderBytes + kInfoHeaderBytes + (layout.bit_fields ? kMaskBytes : 0);
  const uint64_t file_size = pixel_offset + image_bytes;
  if (file_size > UINT32_MAX) return {};  // the file size field cannot hold it

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(file_size));
  ByteWriter header(out);
  header.u8('B');
  header.u8('M');
  header.u32le(static_cast<uint32_t>(file_size));
  header.u32le(0);  // reserved
  header.u32le(pixel_offset);
  header.u32le(kInfoHeaderBytes);
  header.u32le(static_cast<uint32_t>(width));
  header.u32le(static_cast<uint32_t>(height));  // positive: rows stored bottom-up
  header.u16le(kPlanes);
  header.u16le(layout.bits);
  header.u32le(layout.bit_fields ? kCompressionBitFields : kCompressionNone);
  header.u32le(layout.bit_fields ? static_cast<uint32_t>(image_bytes) : 0);
  header.zeros(kResolutionAndColourCountBytes);
  if (layout.bit_fields) {
    for (uint32_t mask : layout.masks) header.u32le(mask);
  }
  out.resize(static_cast<size_t>(file_size));  // rows follow; padding stays zero

  for (uint64_t y = 0; y < h; ++y) {
    uint8_t* dst = out.data() + pixel_offset + (h - 1 - y) * row_size;
    layout.row(pixels.data() + y * w, dst, static_cast<size_t>(w));
  }
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  return save_encoded(encode, pixels, width, height, request);
}

}  // namespace tesmo::bmp
