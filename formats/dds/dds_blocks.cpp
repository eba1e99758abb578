// DDS block formats: 4 × 4 pixel blocks, row by row, left to right.
//
// Colour block (8 bytes): two 5:6:5 colours c0, c1 (channels widened as v × 255 / 31 and
// v × 255 / 63, rounded down), then one byte of 2-bit indices per pixel row, pixel x at bits 2x.
// c2 = (2·c0 + c1) / 3 and c3 = (c0 + 2·c1) / 3 per channel; but a DXT1 block whose c0 is not
// above c1 has c2 = (c0 + c1) / 2 and a transparent black c3 (all four bytes 0).
// DXT2/3 put 16 explicit 4-bit alphas (×17) before the colour block, one 16-bit row each; DXT4/5
// (and ATI2) put two alphas and sixteen 3-bit indices in a 48-bit little-endian value. Colours are
// used as stored (DXT2 and DXT4 are not divided by alpha).
#include <array>

#include "formats/dds/dds_internal.h"

namespace tesmo::dds {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kRgbBits = 0x00FFFFFFu;

template <int Bits>
constexpr std::array<uint32_t, (1 << Bits)> expansion() {
  std::array<uint32_t, (1 << Bits)> t{};
  constexpr uint32_t max = (1u << Bits) - 1;
  for (uint32_t v = 0; v <= max; ++v) t[v] = v * 255 / max;
  return t;
}
constexpr auto kExpand5 = expansion<5>();
constexpr auto kExpand6 = expansion<6>();

struct Rgb {
  uint32_t r, g, b;
};

constexpr Rgb widen(uint32_t c) { return {kExpand5[c >> 11], kExpand6[(c >> 5) & 63], kExpand5[c & 31]}; }
constexpr uint32_t pack(uint32_t r, uint32_t g, uint32_t b) { return kOpaque | r << 16 | g << 8 | b; }

// The four colours of a colour block, opaque (c3 of a three-colour DXT1 block is 0).
std::array<uint32_t, 4> block_colours(const uint8_t* b, bool four_always) {
  const uint32_t v0 = uint32_t{b[0]} | uint32_t{b[1]} << 8;
  const uint32_t v1 = uint32_t{b[2]} | uint32_t{b[3]} << 8;
  const Rgb c0 = widen(v0);
  const Rgb c1 = widen(v1);
  std::array<uint32_t, 4> c;
  c[0] = pack(c0.r, c0.g, c0.b);
  c[1] = pack(c1.r, c1.g, c1.b);
  if (four_always || v0 > v1) {
    c[2] = pack((2 * c0.r + c1.r) / 3, (2 * c0.g + c1.g) / 3, (2 * c0.b + c1.b) / 3);
    c[3] = pack((c0.r + 2 * c1.r) / 3, (c0.g + 2 * c1.g) / 3, (c0.b + 2 * c1.b) / 3);
  } else {
    c[2] = pack((c0.r + c1.r) / 2, (c0.g + c1.g) / 2, (c0.b + c1.b) / 2);
    c[3] = 0;
  }
  return c;
}

// `rows` points at the block's top-left output pixel; `stride` is the image width.
void dxt1_block(const uint8_t* b, uint32_t* rows, size_t stride) {
  const std::array<uint32_t, 4> c = block_colours(b, false);
  for (size_t y = 0; y < 4; ++y, rows += stride) {
    const uint32_t bits = b[4 + y];
    for (size_t x = 0; x < 4; ++x) rows[x] = c[(bits >> (2 * x)) & 3];
  }
}

void dxt3_block(const uint8_t* b, uint32_t* rows, size_t stride) {
  const std::array<uint32_t, 4> c = block_colours(b + 8, true);
  for (size_t y = 0; y < 4; ++y, rows += stride) {
    const uint32_t alphas = uint32_t{b[2 * y]} | uint32_t{b[2 * y + 1]} << 8;
    const uint32_t bits = b[12 + y];
    for (size_t x = 0; x < 4; ++x) {
      rows[x] = (c[(bits >> (2 * x)) & 3] & kRgbBits) | ((alphas >> (4 * x)) & 15) * 17 << 24;
    }
  }
}

// a0 > a1: six values between them; otherwise four, then 0 and 255.
std::array<uint32_t, 8> alpha_values(uint32_t a0, uint32_t a1) {
  if (a0 > a1) {
    return {a0, a1, (6 * a0 + a1) / 7, (5 * a0 + 2 * a1) / 7, (4 * a0 + 3 * a1) / 7,
            (3 * a0 + 4 * a1) / 7, (2 * a0 + 5 * a1) / 7, (a0 + 6 * a1) / 7};
  }
  return {a0, a1, (4 * a0 + a1) / 5, (3 * a0 + 2 * a1) / 5, (2 * a0 + 3 * a1) / 5, (a0 + 4 * a1) / 5, 0, 255};
}

void dxt5_block(const uint8_t* b, uint32_t* rows, size_t stride) {
  const std::array<uint32_t, 8> a = alpha_values(b[0], b[1]);
  uint64_t indices = 0;
  for (size_t i = 0; i < 6; ++i) indices |= uint64_t{b[2 + i]} << (8 * i);
  const std::array<uint32_t, 4> c = block_colours(b + 8, true);
  for (size_t y = 0; y < 4; ++y, rows += stride) {
    const uint32_t bits = b[12 + y];
    for (size_t x = 0; x < 4; ++x, indices >>= 3) {
      rows[x] = (c[(bits >> (2 * x)) & 3] & kRgbBits) | a[indices & 7] << 24;
    }
  }
}

}  // namespace

void decode_blocks(const DdsState& s, std::span<uint32_t> pixels) {
  void (*block)(const uint8_t*, uint32_t*, size_t) = dxt1_block;
  size_t block_bytes = 8;
  if (s.kind == Kind::kDxt3) block = dxt3_block;
  if (s.kind == Kind::kDxt5) block = dxt5_block;
  if (s.kind != Kind::kDxt1) block_bytes = 16;
  const size_t width = static_cast<size_t>(s.width);
  const size_t row_bytes = static_cast<size_t>(stored_row_bytes(s));
  std::vector<uint8_t> scratch;
  for (size_t by = 0; by < static_cast<size_t>(stored_rows(s)); ++by) {
    const uint8_t* src = stored_bytes(s.data, s.pixels_at + by * row_bytes, row_bytes, scratch).data();
    uint32_t* rows = pixels.data() + 4 * by * width;
    for (size_t bx = 0; bx < width / 4; ++bx) block(src + bx * block_bytes, rows + 4 * bx, width);
  }
}

}  // namespace tesmo::dds
