// DDS decoding of the uncompressed and floating-point layouts, row by row; block formats are in
// dds_blocks.cpp.
//
// Rows follow each other without padding. 4-bit palette rows hold two pixels per byte, the low
// nibble first; an odd width takes its last pixel from the low nibble of one more byte, and the
// next row starts on the byte after it. Bytes the data does not hold read as zero.
#include <algorithm>
#include <bit>
#include <cmath>

#include "formats/dds/dds.h"
#include "formats/dds/dds_internal.h"

namespace tesmo::dds {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// A float channel becomes the low 8 bits of v × 255 (single precision) truncated toward zero,
// without clamping: 1.5 gives 382, stored as 126. Products too large for a 32-bit integer give 0:
// their low 8 bits are zero anyway (their spacing is at least 256); infinities and NaNs, which have
// no integer, give 0 too, as the x86-64 truncating conversion's 0x80000000 does.
uint8_t channel_byte(float v) {
  const float x = v * 255.0f;
  if (!(std::fabs(x) < 2147483648.0f)) return 0;
  return static_cast<uint8_t>(static_cast<int32_t>(x));
}

// A 16-bit float widened by moving its exponent and mantissa into place; denormals, infinities
// and NaNs get no special handling. Only an all-zero value is zero.
float half_to_float(uint16_t h) {
  if (h == 0) return 0.0f;
  const uint32_t bits = uint32_t(h & 0x8000u) << 16 | ((uint32_t(h & 0x7FFFu) << 13) + 0x38000000u);
  return std::bit_cast<float>(bits);
}

const std::array<uint8_t, 65536>& half_bytes() {
  static const std::array<uint8_t, 65536> table = [] {
    std::array<uint8_t, 65536> t{};
    for (uint32_t h = 0; h < t.size(); ++h) t[h] = channel_byte(half_to_float(static_cast<uint16_t>(h)));
    return t;
  }();
  return table;
}

uint32_t u16_at(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t u32_at(const uint8_t* p) { return u16_at(p) | u16_at(p + 2) << 16; }

struct Tables {
  std::array<uint32_t, 256> palette{};
  std::vector<uint32_t> rgb16;  // every 16-bit value as a finished pixel
};

using RowFn = void (*)(const uint8_t* src, uint32_t* dst, size_t width, const Tables& t);

uint32_t grey(uint32_t v, uint32_t alpha) { return alpha << 24 | v * 0x010101u; }
uint32_t argb(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return a << 24 | r << 16 | g << 8 | b; }

void row_half_grey(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  const auto& h = half_bytes();
  for (size_t x = 0; x < width; ++x) dst[x] = grey(h[u16_at(src + 2 * x)], 255);
}

// Stored red, green, blue, alpha.
void row_half_argb(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  const auto& h = half_bytes();
  for (size_t x = 0; x < width; ++x, src += 8) {
    dst[x] = argb(h[u16_at(src)], h[u16_at(src + 2)], h[u16_at(src + 4)], h[u16_at(src + 6)]);
  }
}

uint32_t float_byte(const uint8_t* p) { return channel_byte(std::bit_cast<float>(u32_at(p))); }

void row_float_grey(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x) dst[x] = grey(float_byte(src + 4 * x), 255);
}

void row_float_argb(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x, src += 16) {
    dst[x] = argb(float_byte(src), float_byte(src + 4), float_byte(src + 8), float_byte(src + 12));
  }
}

void row_rgb16(const uint8_t* src, uint32_t* dst, size_t width, const Tables& t) {
  for (size_t x = 0; x < width; ++x) dst[x] = t.rgb16[u16_at(src + 2 * x)];
}

// The masks of 24- and 32-bit images are not examined.
void row_rgb24(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x, src += 3) dst[x] = argb(src[2], src[1], src[0], 255);
}

void row_rgb32(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x) dst[x] = u32_at(src + 4 * x);
}

void row_alpha(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x) dst[x] = uint32_t{src[x]} << 24;
}

void row_grey(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x) dst[x] = grey(src[x], 255);
}

void row_grey_alpha(const uint8_t* src, uint32_t* dst, size_t width, const Tables&) {
  for (size_t x = 0; x < width; ++x) dst[x] = grey(src[2 * x], src[2 * x + 1]);
}

// Palette entries are copied into the pixel as they are stored.
void row_palette8(const uint8_t* src, uint32_t* dst, size_t width, const Tables& t) {
  for (size_t x = 0; x < width; ++x) dst[x] = t.palette[src[x]];
}

void row_palette4(const uint8_t* src, uint32_t* dst, size_t width, const Tables& t) {
  for (size_t x = 0; x < width; ++x) {
    const uint8_t b = src[x / 2];
    dst[x] = t.palette[(x & 1) ? b >> 4 : b & 0x0F];
  }
}

RowFn row_function(Kind kind) {
  switch (kind) {
    case Kind::kHalfGrey: return row_half_grey;
    case Kind::kHalfArgb: return row_half_argb;
    case Kind::kFloatGrey: return row_float_grey;
    case Kind::kFloatArgb: return row_float_argb;
    case Kind::kRgb16: return row_rgb16;
    case Kind::kRgb24: return row_rgb24;
    case Kind::kRgb32: return row_rgb32;
    case Kind::kAlpha: return row_alpha;
    case Kind::kGrey: return row_grey;
    case Kind::kGreyAlpha: return row_grey_alpha;
    case Kind::kPalette4: return row_palette4;
    case Kind::kPalette8: return row_palette8;
    default: return nullptr;
  }
}

// Each channel is ((value >> shift) & max) × 255 / max; a channel without a mask is 0, alpha
// included, so 16-bit images without an alpha mask decode with alpha 0.
std::vector<uint32_t> rgb16_table(const DdsState& s) {
  std::vector<uint32_t> t(65536);
  for (uint32_t v = 0; v < t.size(); ++v) {
    uint32_t pixel = 0;
    for (size_t c = 0; c < 4; ++c) {  // blue, green, red, alpha
      const Channel16& ch = s.channels16[c];
      if (ch.max != 0) pixel |= ((v >> ch.shift) & ch.max) * 255 / ch.max << (8 * c);
    }
    t[v] = pixel;
  }
  return t;
}

Tables tables_for(const DdsState& s) {
  Tables t;
  if (s.kind == Kind::kRgb16) t.rgb16 = rgb16_table(s);
  const uint64_t entries = palette_entries(s.kind);
  if (entries == 0) return t;
  std::vector<uint8_t> scratch;
  std::span<const uint8_t> stored = stored_bytes(s.data, s.palette_at, static_cast<size_t>(entries * 4), scratch);
  for (size_t i = 0; i < entries; ++i) t.palette[i] = u32_at(stored.data() + 4 * i);
  return t;
}

}  // namespace

std::span<const uint8_t> stored_bytes(std::span<const uint8_t> data, uint64_t at, size_t n,
                                      std::vector<uint8_t>& scratch) {
  if (at <= data.size() && data.size() - at >= n) return data.subspan(static_cast<size_t>(at), n);
  scratch.assign(n, 0);
  if (at < data.size()) std::copy(data.begin() + static_cast<ptrdiff_t>(at), data.end(), scratch.begin());
  return scratch;
}

uint64_t palette_entries(Kind kind) {
  return kind == Kind::kPalette4 ? 16 : kind == Kind::kPalette8 ? 256 : 0;
}

uint64_t stored_row_bytes(const DdsState& s) {
  const uint64_t w = static_cast<uint64_t>(s.width);
  switch (s.kind) {
    case Kind::kDxt1: return w / 4 * 8;
    case Kind::kDxt3:
    case Kind::kDxt5: return w / 4 * 16;
    case Kind::kHalfGrey:
    case Kind::kRgb16:
    case Kind::kGreyAlpha: return w * 2;
    case Kind::kHalfArgb: return w * 8;
    case Kind::kFloatGrey:
    case Kind::kRgb32: return w * 4;
    case Kind::kFloatArgb: return w * 16;
    case Kind::kRgb24: return w * 3;
    case Kind::kPalette4: return (w + 1) / 2;
    default: return w;  // alpha, grey, 8-bit palette
  }
}

uint64_t stored_rows(const DdsState& s) {
  const uint64_t h = static_cast<uint64_t>(s.height);
  const bool blocks = s.kind == Kind::kDxt1 || s.kind == Kind::kDxt3 || s.kind == Kind::kDxt5;
  return blocks ? h / 4 : h;
}

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<DdsState*>(&reader);
  if (!s || pixels.size() < static_cast<size_t>(s->width) * static_cast<size_t>(s->height)) return;
  const RowFn row = row_function(s->kind);
  if (!row) {
    decode_blocks(*s, pixels);
    return;
  }
  const Tables tables = tables_for(*s);
  const size_t width = static_cast<size_t>(s->width);
  const size_t row_bytes = static_cast<size_t>(stored_row_bytes(*s));
  std::vector<uint8_t> scratch;
  for (size_t y = 0; y < static_cast<size_t>(s->height); ++y) {
    std::span<const uint8_t> src = stored_bytes(s->data, s->pixels_at + y * row_bytes, row_bytes, scratch);
    row(src.data(), pixels.data() + y * width, width, tables);
  }
}

}  // namespace tesmo::dds
