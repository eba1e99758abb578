// BMP, ICO and CUR decoding of stored rows: palettes, the three 16-bit layouts, 24 and 32 bits,
// and the alpha plane of 32-bit images.
//
// Rows, colour-table entries or run-length codes that the data does not hold (a file shorter than
// its header claims, an offset past the end) read as zero bytes; nothing is read outside the data.
#include <algorithm>
#include <cstring>

#include "formats/bmp/bmp.h"
#include "formats/bmp/bmp_internal.h"

namespace tesmo::bmp {
namespace {

// Channel expansion of 16-bit pixels: 5 and 6 bits scale by 255 / max rounded down, 4 bits by 17.
template <int Bits>
constexpr std::array<uint32_t, (1 << Bits)> expansion() {
  std::array<uint32_t, (1 << Bits)> t{};
  constexpr uint32_t max = (1u << Bits) - 1;
  for (uint32_t v = 0; v <= max; ++v) t[v] = Bits == 4 ? v * 17 : v * 255 / max;
  return t;
}
constexpr auto kExpand5 = expansion<5>();
constexpr auto kExpand6 = expansion<6>();
constexpr auto kExpand4 = expansion<4>();
static_assert(kExpand5[31] == 255 && kExpand5[1] == 8 && kExpand6[1] == 4 && kExpand4[15] == 255);

constexpr uint32_t kAlphaBit555 = 0x8000;

// One stored row into one output row. `src` holds at least the row's used bytes.
using RowFn = void (*)(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette& palette);

void row_1(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette& palette) {
  for (size_t x = 0; x < width; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
}

void row_4(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette& palette) {
  for (size_t x = 0; x < width; ++x) {
    uint8_t b = src[x >> 1];
    dst[x] = palette[(x & 1) ? (b & 0x0F) : (b >> 4)];
  }
}

void row_8(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette& palette) {
  for (size_t x = 0; x < width; ++x) dst[x] = palette[src[x]];
}

uint32_t u16_pixel(std::span<const uint8_t> src, size_t x) {
  return static_cast<uint32_t>(src[2 * x]) | static_cast<uint32_t>(src[2 * x + 1]) << 8;
}

// Bit 15 is the only alpha 5:5:5 has, so files without alpha decode fully transparent.
void row_555(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette&) {
  for (size_t x = 0; x < width; ++x) {
    uint32_t v = u16_pixel(src, x);
    dst[x] = ((v & kAlphaBit555) ? kOpaque : 0) | kExpand5[(v >> 10) & 31] << 16 |
             kExpand5[(v >> 5) & 31] << 8 | kExpand5[v & 31];
  }
}

void row_565(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette&) {
  for (size_t x = 0; x < width; ++x) {
    uint32_t v = u16_pixel(src, x);
    dst[x] = kOpaque | kExpand5[v >> 11] << 16 | kExpand6[(v >> 5) & 63] << 8 | kExpand5[v & 31];
  }
}

// The top nibble is alpha, so 4:4:4 files (top bits zero) decode fully transparent.
void row_4444(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette&) {
  for (size_t x = 0; x < width; ++x) {
    uint32_t v = u16_pixel(src, x);
    dst[x] = kExpand4[v >> 12] << 24 | kExpand4[(v >> 8) & 15] << 16 | kExpand4[(v >> 4) & 15] << 8 |
             kExpand4[v & 15];
  }
}

void row_24(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette&) {
  const uint8_t* p = src.data();
  for (size_t x = 0; x < width; ++x, p += 3) {
    dst[x] = kOpaque | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
  }
}

// Stored bytes blue, green, red, alpha are already the pixel buffer's little-endian layout.
void row_32(std::span<const uint8_t> src, uint32_t* dst, size_t width, const Palette&) {
  std::memcpy(dst, src.data(), width * 4);
}

RowFn row_decoder(const BmpState& s) {
  switch (s.bits) {
    case 1: return row_1;
    case 4: return row_4;
    case 8: return row_8;
    case 16:
      return s.layout16 == Layout16::k565 ? row_565 : s.layout16 == Layout16::k4444 ? row_4444 : row_555;
    case 24: return row_24;
    case 32: return row_32;
    default: return nullptr;
  }
}

Palette read_palette(const BmpState& s) {
  Palette p;
  p.fill(kOpaque);
  if (s.bits > 8) return p;
  for (uint64_t i = 0; i < (uint64_t{1} << s.bits); ++i) {
    uint64_t at = s.table_at + 4 * i;
    p[i] = kOpaque | static_cast<uint32_t>(byte_at(s.data, at + 2)) << 16 |
           static_cast<uint32_t>(byte_at(s.data, at + 1)) << 8 | byte_at(s.data, at);
  }
  return p;
}

// The used bytes of stored row `stored`: a view into the data, or, when the data ends inside or
// before the row, a copy in `scratch` whose missing tail is zero.
std::span<const uint8_t> stored_row(const BmpState& s, uint64_t stored, size_t row_bytes,
                                    std::vector<uint8_t>& scratch) {
  const uint64_t at = s.pixels_at + stored * s.stride;
  const uint64_t size = s.data.size();
  if (at <= size && size - at >= row_bytes) return s.data.subspan(static_cast<size_t>(at), row_bytes);
  scratch.assign(row_bytes, 0);
  if (at < size) std::copy(s.data.begin() + static_cast<ptrdiff_t>(at), s.data.end(), scratch.begin());
  return scratch;
}

size_t used_row_bytes(const BmpState& s) {
  return static_cast<size_t>((static_cast<uint64_t>(s.bits) * static_cast<uint64_t>(s.width) + 7) / 8);
}

size_t pixel_count(const BmpState& s) { return static_cast<size_t>(s.width) * static_cast<size_t>(s.height); }

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<BmpState*>(&reader);
  if (!s || pixels.size() < pixel_count(*s)) return;
  const Palette palette = read_palette(*s);
  if (is_run_length(*s)) {
    decode_run_length(*s, palette, pixels);
    return;
  }
  RowFn row = row_decoder(*s);
  if (!row) return;
  const size_t width = static_cast<size_t>(s->width);
  const size_t row_bytes = used_row_bytes(*s);
  std::vector<uint8_t> scratch;
  for (uint64_t y = 0; y < static_cast<uint64_t>(s->height); ++y) {
    row(stored_row(*s, y, row_bytes, scratch), pixels.data() + output_row(*s, y) * width, width, palette);
  }
}

void decode_alpha(ReaderState& reader, std::span<uint8_t> alpha) {
  auto* s = dynamic_cast<BmpState*>(&reader);
  if (!s || s->bits != 32 || alpha.size() < pixel_count(*s)) return;
  const size_t width = static_cast<size_t>(s->width);
  const size_t row_bytes = used_row_bytes(*s);
  std::vector<uint8_t> scratch;
  for (uint64_t y = 0; y < static_cast<uint64_t>(s->height); ++y) {
    std::span<const uint8_t> src = stored_row(*s, y, row_bytes, scratch);
    uint8_t* dst = alpha.data() + output_row(*s, y) * width;
    for (size_t x = 0; x < width; ++x) dst[x] = src[4 * x + 3];
  }
}

}  // namespace tesmo::bmp
