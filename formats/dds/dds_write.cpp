// DDS writer: nine uncompressed layouts, one level, rows from the top without padding.
#include <iterator>

#include "base/bytes.h"
#include "formats/dds/dds.h"
#include "formats/dds/dds_internal.h"

namespace tesmo::dds {
namespace {

// Caps, height, width, pixel format and linear size are present.
constexpr uint32_t kHeaderFlags = 0x81007;
constexpr uint32_t kCapsTexture = 0x1000;
constexpr size_t kMipmapCountAndReservedBytes = 48;
constexpr size_t kCaps2ToEndBytes = 16;  // caps 2, caps 3, caps 4, reserved

using PutFn = void (*)(uint32_t pixel, uint8_t* out);

uint32_t blue(uint32_t p) { return p & 0xFF; }
uint32_t green(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t red(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t alpha(uint32_t p) { return p >> 24; }

void put16(uint32_t v, uint8_t* out) {
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
}

void put_grey(uint32_t p, uint8_t* out) { out[0] = grey_of(p); }
void put_alpha(uint32_t p, uint8_t* out) { out[0] = static_cast<uint8_t>(alpha(p)); }
void put_grey_alpha(uint32_t p, uint8_t* out) {
  out[0] = grey_of(p);
  out[1] = static_cast<uint8_t>(alpha(p));
}
void put_4444(uint32_t p, uint8_t* out) {
  put16((alpha(p) >> 4) << 12 | (red(p) >> 4) << 8 | (green(p) & 0xF0) | blue(p) >> 4, out);
}
uint32_t pack_555(uint32_t p) { return (red(p) & 0xF8) << 7 | (green(p) >> 3) << 5 | blue(p) >> 3; }
void put_1555(uint32_t p, uint8_t* out) { put16(pack_555(p) | (alpha(p) != 0 ? 0x8000u : 0u), out); }
void put_565(uint32_t p, uint8_t* out) { put16((red(p) >> 3) << 11 | (green(p) >> 2) << 5 | blue(p) >> 3, out); }
void put_555(uint32_t p, uint8_t* out) { put16(pack_555(p), out); }
void put_rgb24(uint32_t p, uint8_t* out) {
  out[0] = static_cast<uint8_t>(blue(p));
  out[1] = static_cast<uint8_t>(green(p));
  out[2] = static_cast<uint8_t>(red(p));
}
void put_argb32(uint32_t p, uint8_t* out) {
  put_rgb24(p, out);
  out[3] = static_cast<uint8_t>(alpha(p));
}

struct WriteLayout {
  uint32_t flags;
  uint32_t bits;
  uint32_t masks[4];  // red (or luminance), green, blue, alpha
  PutFn put;
};

// Indexed by pixel format.
constexpr WriteLayout kLayouts[] = {
    {kLuminance, 8, {0xFF, 0, 0, 0}, put_grey},
    {kAlphaOnly, 8, {0, 0, 0, 0xFF}, put_alpha},
    {kLuminance | kAlphaPixels, 16, {0xFF, 0, 0, 0xFF00}, put_grey_alpha},
    {kRgb | kAlphaPixels, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, put_4444},
    {kRgb | kAlphaPixels, 16, {0x7C00, 0x03E0, 0x001F, 0x8000}, put_1555},
    {kRgb, 16, {0xF800, 0x07E0, 0x001F, 0}, put_565},
    {kRgb, 16, {0x7C00, 0x03E0, 0x001F, 0}, put_555},
    {kRgb, 24, {0xFF0000, 0xFF00, 0xFF, 0}, put_rgb24},
    {kRgb | kAlphaPixels, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, put_argb32},
};
constexpr int32_t kLayoutCount = static_cast<int32_t>(std::size(kLayouts));

void put_header(const WriteLayout& layout, uint32_t width, uint32_t height, uint32_t data_bytes,
                std::vector<uint8_t>& out) {
  ByteWriter w(out);
  w.bytes(kMagic, sizeof kMagic);
  w.u32le(kHeaderSize);
  w.u32le(kHeaderFlags);
  w.u32le(height);
  w.u32le(width);
  w.u32le(data_bytes);  // linear size
  w.u32le(0);           // depth
  w.zeros(kMipmapCountAndReservedBytes);
  w.u32le(kPixelFormatSize);
  w.u32le(layout.flags);
  w.u32le(0);  // four-character code
  w.u32le(layout.bits);
  for (uint32_t m : layout.masks) w.u32le(m);
  w.u32le(kCapsTexture);
  w.zeros(kCaps2ToEndBytes);
}

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format) {
  if (pixel_format < 0 || pixel_format >= kLayoutCount || width < 0 || height < 0) return {};
  const WriteLayout& layout = kLayouts[pixel_format];
  const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels.size() < count) return {};
  const uint64_t bytes_per_pixel = layout.bits / 8;
  const uint64_t data_bytes = count * bytes_per_pixel;
  if (data_bytes + kFileHeaderBytes > UINT32_MAX) return {};  // the linear size field cannot hold it
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(kFileHeaderBytes + data_bytes));
  put_header(layout, static_cast<uint32_t>(width), static_cast<uint32_t>(height), static_cast<uint32_t>(data_bytes),
             out);
  out.resize(static_cast<size_t>(kFileHeaderBytes + data_bytes));
  uint8_t* dst = out.data() + kFileHeaderBytes;
  for (uint64_t i = 0; i < count; ++i, dst += bytes_per_pixel) layout.put(pixels[static_cast<size_t>(i)], dst);
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  return save_encoded(encode, pixels, width, height, request);
}

}  // namespace tesmo::dds
