// The copy family: plain copies, the paste depth conversion, channel copies, colour-keyed copies,
// fills, framed copies and negatives.
#include <algorithm>
#include <cstring>

#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;
constexpr uint32_t kAlphaBits = 0xFF000000u;

// Bitmap rows in the device-independent layout start on 4-byte boundaries.
size_t bitmap_stride(int32_t bits, int32_t width) {
  return (static_cast<size_t>(bits) * static_cast<size_t>(width) + 31) / 32 * 4;
}

uint32_t from_bgr24(const uint8_t* p, uint32_t old) {
  return (old & kAlphaBits) | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// 5 bits each, red in bits 10–14; each becomes the top of its byte; alpha 0.
uint32_t from_rgb555(const uint8_t* p, uint32_t) {
  const uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8;
  return ((v >> 10) & 31) * 8 << 16 | ((v >> 5) & 31) * 8 << 8 | (v & 31) * 8;
}

// A colour of four equal bytes is a byte fill; any other is written into the first row, which the
// other rows copy. Both are about twice as fast on large frames as storing the word pixel by pixel.
void fill_rect(Surface& dst, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
  if (w <= 0 || h <= 0) return;
  const size_t row_bytes = static_cast<size_t>(w) * sizeof(uint32_t);
  uint32_t* first = pixel_at(dst, x, y);
  if (colour == (colour & 0xFFu) * 0x01010101u) {
    const int byte = static_cast<int>(colour & 0xFFu);
    if (dst.width == w) {
      std::memset(first, byte, row_bytes * static_cast<size_t>(h));
      return;
    }
    for (int32_t i = 0; i < h; ++i) std::memset(pixel_at(dst, x, y + i), byte, row_bytes);
    return;
  }
  std::fill_n(first, w, colour);
  for (int32_t i = 1; i < h; ++i) std::memcpy(pixel_at(dst, x, y + i), first, row_bytes);
}

}  // namespace

void op_invalid(const OpArgs&) {}

void OpCopy(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const uint32_t* from = pixel_at(*o.src, a.src_x, a.src_y);
  uint32_t* to = pixel_at(*o.dst, a.dst_x, a.dst_y);
  const size_t row_bytes = static_cast<size_t>(a.width) * sizeof(uint32_t);
  // memmove: a copy within one surface may overlap itself.
  if (o.dst->width == a.width && o.src->width == a.width) {
    std::memmove(to, from, row_bytes * static_cast<size_t>(a.height));
    return;
  }
  // Within one surface, a destination below the source is copied from the last row up, so that no
  // row is overwritten before it is read.
  const bool upwards = o.dst == o.src && a.dst_y > a.src_y;
  for (int32_t k = 0; k < a.height; ++k) {
    const int32_t i = upwards ? a.height - 1 - k : k;
    std::memmove(pixel_at(*o.dst, a.dst_x, a.dst_y + i), pixel_at(*o.src, a.src_x, a.src_y + i), row_bytes);
  }
}

// Converts the whole source, whose pixel block holds bitmap rows of param2 bits, into the
// destination of the same size. Walks from the last pixel back: every 32-bit pixel lies at or after
// the bytes it comes from, so the conversion also works within one pixel block.
void OpConvertDepth(const OpArgs& o) {
  const Surface& s = *o.src;
  Surface& d = *o.dst;
  const int32_t bits = o.a.param2;
  if (o.a.param1 != 32 || (bits != 24 && bits != 16)) return;
  if (d.width != s.width || d.height != s.height) return;
  const size_t stride = bitmap_stride(bits, s.width);
  if (stride * static_cast<size_t>(s.height) > s.buffer_bytes()) return;
  const auto convert = bits == 24 ? from_bgr24 : from_rgb555;
  const size_t step = static_cast<size_t>(bits / 8);
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.pixels());
  for (int32_t y = s.height - 1; y >= 0; --y) {
    uint32_t* out = pixel_at(d, 0, y);
    for (int32_t x = s.width - 1; x >= 0; --x) {
      out[x] = convert(bytes + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * step, out[x]);
    }
  }
}

// Modes: 0 colours, 1 blue into alpha, 2 alpha into the colours as grey, 3 alpha.
void OpChannelCopy(const OpArgs& o) {
  switch (o.a.param1) {
    case 0:
      return map_rect(o, [](uint32_t s, uint32_t d) { return (d & kAlphaBits) | (s & kColourBits); });
    case 1:
      return map_rect(o, [](uint32_t s, uint32_t d) { return (d & kColourBits) | (s & 0xFFu) << 24; });
    case 2:
      return map_rect(o, [](uint32_t s, uint32_t d) { return (d & kAlphaBits) | (s >> 24) * 0x010101u; });
    case 3:
      return map_rect(o, [](uint32_t s, uint32_t d) { return (d & kColourBits) | (s & kAlphaBits); });
    default:
      return;
  }
}

// Source pixels whose colour equals the key are skipped whatever their alpha. A nonzero param4
// copies only the colour bytes.
void OpColourKey(const OpArgs& o) {
  const uint32_t key = colour_word(o.a.param1, o.a.param2, o.a.param3);
  if (o.a.param4 == 0) {
    map_rect(o, [key](uint32_t s, uint32_t d) { return (s & kColourBits) != key ? s : d; });
  } else {
    map_rect(o, [key](uint32_t s, uint32_t d) {
      return (s & kColourBits) != key ? (d & kAlphaBits) | (s & kColourBits) : d;
    });
  }
}

void OpFill(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const uint32_t colour = static_cast<uint32_t>(a.param4) << 24 | colour_word(a.param1, a.param2, a.param3);
  fill_rect(*o.dst, a.dst_x, a.dst_y, a.width, a.height, colour);
}

// A copy with a border of thickness min(param4, half the shorter side), colour (param1, param2,
// param3) with alpha 0, painted inside the copied rectangle.
void OpFrame(const OpArgs& o) {
  OpCopy(o);
  const BlitArgs& a = o.a;
  const int32_t t = std::min(a.param4, std::min(a.width, a.height) / 2);
  if (t <= 0) return;
  const uint32_t colour = colour_word(a.param1, a.param2, a.param3);
  Surface& d = *o.dst;
  fill_rect(d, a.dst_x, a.dst_y, a.width, t, colour);
  fill_rect(d, a.dst_x, a.dst_y + a.height - t, a.width, t, colour);
  fill_rect(d, a.dst_x, a.dst_y, t, a.height, colour);
  fill_rect(d, a.dst_x + a.width - t, a.dst_y, t, a.height, colour);
}

void OpNegative(const OpArgs& o) {
  map_rect(o, [](uint32_t s, uint32_t) { return s ^ kColourBits; });
}

}  // namespace tesmo
