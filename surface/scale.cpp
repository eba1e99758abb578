// Scaled copies: OpScale's choice of filter, nearest neighbour and bilinear.
//
// Both walk the source in unsigned 32-bit positions with 12 fraction bits (4096 = one source
// pixel), from the source rectangle's corner and without a half-pixel offset. Each has a plain
// reference path and a fast path that precomputes per-column tables; both give the same pixels.
#include <algorithm>
#include <cstring>
#include <vector>

#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

// The scaling geometry: source rectangle SW × SH at (sx, sy), destination DW × DH at (dx, dy).
struct Scaling {
  int32_t sx, sy, sw, sh, dx, dy, dw, dh;
  uint32_t step_x, step_y;  // source pixels per destination pixel, 12 fraction bits
};

Scaling scaling_of(const BlitArgs& a) {
  Scaling g{a.src_x, a.src_y, a.width, a.height, a.dst_x, a.dst_y, a.param1, a.param2, 0, 0};
  g.step_x = static_cast<uint32_t>(g.sw) * 4096u / static_cast<uint32_t>(g.dw);
  g.step_y = static_cast<uint32_t>(g.sh) * 4096u / static_cast<uint32_t>(g.dh);
  return g;
}

bool has_area(const BlitArgs& a) { return a.param1 > 0 && a.param2 > 0; }

void nearest_reference(const OpArgs& o, const Scaling& g) {
  uint32_t v = 0;
  for (int32_t i = 0; i < g.dh; ++i, v += g.step_y) {
    const uint32_t* s = pixel_at(*o.src, g.sx, g.sy + static_cast<int32_t>(v >> 12));
    uint32_t* d = pixel_at(*o.dst, g.dx, g.dy + i);
    uint32_t u = 0;
    for (int32_t j = 0; j < g.dw; ++j, u += g.step_x) d[j] = s[u >> 12];
  }
}

// One column table for the whole blit. A destination row whose source row equals the previous
// one's is a copy of that row; at 100 % across, rows are plain copies.
void nearest_fast(const OpArgs& o, const Scaling& g) {
  std::vector<uint32_t> column(static_cast<size_t>(g.dw));
  uint32_t u = 0;
  for (uint32_t& c : column) {
    c = u >> 12;
    u += g.step_x;
  }
  const size_t row_bytes = static_cast<size_t>(g.dw) * sizeof(uint32_t);
  uint32_t v = 0;
  for (int32_t i = 0; i < g.dh; ++i, v += g.step_y) {
    uint32_t* d = pixel_at(*o.dst, g.dx, g.dy + i);
    if (i > 0 && (v >> 12) == ((v - g.step_y) >> 12)) {
      std::memcpy(d, pixel_at(*o.dst, g.dx, g.dy + i - 1), row_bytes);
      continue;
    }
    const uint32_t* s = pixel_at(*o.src, g.sx, g.sy + static_cast<int32_t>(v >> 12));
    if (g.step_x == 4096) {
      std::memmove(d, s, row_bytes);  // a surface scaled onto itself at 100 % copies a row onto itself
      continue;
    }
    const uint32_t* c = column.data();
    for (int32_t j = 0; j < g.dw; ++j) d[j] = s[c[j]];
  }
}

// ---- bilinear --------------------------------------------------------------------------------

// The number of destination columns (rows) in the edge band: truncate(DW / SW) in single precision
// when the source rectangle reaches the source's edge. Within the band the pixel to the right
// (below) is not read. A clipped blit can leave SW = 0, whose samples all fall on the rectangle's
// first column with fraction 0: interior and band then give the same pixels, so no band is needed.
int32_t edge_band(int32_t dw, int32_t sw, bool at_edge) {
  if (!at_edge || sw == 0) return 0;
  const auto e = static_cast<int64_t>(static_cast<float>(dw) / static_cast<float>(sw));
  return static_cast<int32_t>(std::min<int64_t>(e, dw));
}

struct Bands {
  int32_t right_from, bottom_from;  // first destination column of the right band, row of the bottom band
};

Bands bands_of(const OpArgs& o, const Scaling& g) {
  return {g.dw - edge_band(g.dw, g.sw, g.sx + g.sw >= o.src->width),
          g.dh - edge_band(g.dh, g.sh, g.sy + g.sh >= o.src->height)};
}

uint32_t byte_of(uint32_t p, int shift) { return (p >> shift) & 255u; }

// The four cases of one destination pixel. c1 and r1 are the column right of and the row below
// P00, held inside the source: they differ from c0 + 1 and r0 + 1 only where their weight is 0.
uint32_t bilinear_pixel(const Surface& s, int32_t c0, int32_t r0, uint32_t u, uint32_t v, bool right, bool bottom) {
  const int32_t c1 = std::min(c0 + 1, s.width - 1);
  const int32_t r1 = std::min(r0 + 1, s.height - 1);
  const uint32_t p00 = *pixel_at(s, c0, r0);
  if (right && bottom) return p00;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t b00 = byte_of(p00, shift);
    uint32_t b;
    if (bottom) {
      const uint32_t f = (u >> 4) & 255u;
      b = (b00 * (256 - f) + byte_of(*pixel_at(s, c1, r0), shift) * f) >> 8;
    } else if (right) {
      const auto fy = static_cast<int32_t>((v >> 8) & 15u);
      const int32_t diff = static_cast<int32_t>(byte_of(*pixel_at(s, c0, r1), shift)) - static_cast<int32_t>(b00);
      b = static_cast<uint32_t>(static_cast<int32_t>(b00) + ((16 * fy * diff) >> 8));
    } else {
      const uint32_t fx = (u >> 8) & 15u, fy = (v >> 8) & 15u;
      b = ((16 - fx) * (16 - fy) * b00 + fx * (16 - fy) * byte_of(*pixel_at(s, c1, r0), shift) +
           (16 - fx) * fy * byte_of(*pixel_at(s, c0, r1), shift) + fx * fy * byte_of(*pixel_at(s, c1, r1), shift)) >>
          8;
    }
    out |= b << shift;
  }
  return out;
}

void bilinear_reference(const OpArgs& o, const Scaling& g) {
  const Bands b = bands_of(o, g);
  uint32_t v = 0;
  for (int32_t i = 0; i < g.dh; ++i, v += g.step_y) {
    uint32_t* d = pixel_at(*o.dst, g.dx, g.dy + i);
    const int32_t r0 = g.sy + static_cast<int32_t>(v >> 12);
    uint32_t u = 0;
    for (int32_t j = 0; j < g.dw; ++j, u += g.step_x) {
      d[j] = bilinear_pixel(*o.src, g.sx + static_cast<int32_t>(u >> 12), r0, u, v, j >= b.right_from, i >= b.bottom_from);
    }
  }
}

// Fast path. The 4-bit interior weights factor exactly into a vertical and a horizontal pass:
// (16 − fx)·V(c0) + fx·V(c1) with V(c) = (16 − fy)·P(c, r0) + fy·P(c, r1), each at most 16 × 255,
// so one destination pixel is two 64-bit words of four 16-bit lanes. The right band is the same
// sum with fx = 0: P00 + ((16·fy·(P01 − P00)) >> 8) equals (256·P00 + 16·fy·(P01 − P00)) >> 8.
// Bottom-band rows interpolate across only, with 8-bit fractions, and fraction 0 in the right band.
struct Column {
  uint32_t x0, x1;  // P00's and P10's column, counted from the first column any pixel reads
  uint32_t fx;      // 4-bit fraction; 0 in the right band
  uint32_t f8;      // 8-bit fraction of the bottom band; 0 in the right band
};

// Four bytes spread into 16-bit lanes as B, R, G, A (lanes 0 to 3).
uint64_t spread(uint32_t p) { return (uint64_t{p} | uint64_t{p} << 24) & 0x00FF00FF00FF00FFull; }
uint32_t unspread(uint64_t lanes) { return static_cast<uint32_t>(lanes | lanes >> 24); }

// Lanes B, G, R, A (memory order) each at most 65535, divided by 256 and packed into a pixel.
uint32_t pack_lanes_shift8(uint64_t lanes) {
  uint64_t t = (lanes >> 8) & 0x00FF00FF00FF00FFull;
  t = (t | t >> 8) & 0x0000FFFF0000FFFFull;
  return static_cast<uint32_t>(t | t >> 16);
}

TESMO_WIDE_VECTORS void vertical_pass(uint16_t* out, const uint8_t* top, const uint8_t* below, size_t n, uint32_t fy) {
  const auto wt = static_cast<uint16_t>(16 - fy), wb = static_cast<uint16_t>(fy);
  for (size_t k = 0; k < n; ++k) out[k] = static_cast<uint16_t>(wt * top[k] + wb * below[k]);
}

void horizontal_pass(uint32_t* d, const uint16_t* lanes, const Column* cols, int32_t n) {
  for (int32_t j = 0; j < n; ++j) {
    const Column& c = cols[j];
    uint64_t v0, v1;
    std::memcpy(&v0, lanes + 4 * static_cast<size_t>(c.x0), sizeof v0);
    std::memcpy(&v1, lanes + 4 * static_cast<size_t>(c.x1), sizeof v1);
    d[j] = pack_lanes_shift8((16 - c.fx) * v0 + c.fx * v1);
  }
}

void bottom_pass(uint32_t* d, const uint32_t* row, const Column* cols, int32_t n) {
  for (int32_t j = 0; j < n; ++j) {
    const Column& c = cols[j];
    const uint64_t sum = (256 - c.f8) * spread(row[c.x0]) + c.f8 * spread(row[c.x1]);
    d[j] = unspread((sum >> 8) & 0x00FF00FF00FF00FFull);
  }
}

void bilinear_fast(const OpArgs& o, const Scaling& g) {
  const Surface& s = *o.src;
  const Bands b = bands_of(o, g);
  std::vector<Column> cols(static_cast<size_t>(g.dw));
  uint32_t u = 0, last = 0;
  for (int32_t j = 0; j < g.dw; ++j, u += g.step_x) {
    const auto x0 = u >> 12;
    const bool right = j >= b.right_from;
    const uint32_t x1 = right ? x0 : std::min<uint32_t>(x0 + 1, static_cast<uint32_t>(s.width - 1 - g.sx));
    cols[static_cast<size_t>(j)] = {x0, x1, right ? 0 : (u >> 8) & 15u, right ? 0 : (u >> 4) & 255u};
    last = std::max({last, x0, x1});
  }
  const size_t span = static_cast<size_t>(last) + 1;
  std::vector<uint16_t> lanes(span * 4);
  uint32_t v = 0;
  for (int32_t i = 0; i < g.dh; ++i, v += g.step_y) {
    uint32_t* d = pixel_at(*o.dst, g.dx, g.dy + i);
    const int32_t r0 = g.sy + static_cast<int32_t>(v >> 12);
    const uint32_t* top = pixel_at(s, g.sx, r0);
    if (i >= b.bottom_from) {
      bottom_pass(d, top, cols.data(), g.dw);
      continue;
    }
    const uint32_t* below = pixel_at(s, g.sx, std::min(r0 + 1, s.height - 1));
    vertical_pass(lanes.data(), reinterpret_cast<const uint8_t*>(top), reinterpret_cast<const uint8_t*>(below),
                  span * 4, (v >> 8) & 15u);
    horizontal_pass(d, lanes.data(), cols.data(), g.dw);
  }
}

}  // namespace

// Filter flags tested in this order; anything else (Type F's 0x100 included) is nearest neighbour.
void OpScale(const OpArgs& o) {
  if (!has_area(o.a)) return;
  const int32_t flags = o.a.param4;
  if (flags & kScaleBilinear) return OpScaleBilinear(o);
  if (flags & kScaleBicubic) return OpScaleBicubic(o);
  if (flags & kScaleLanczos2) return OpScaleLanczos2(o);
  if (flags & kScaleLanczos3) return OpScaleLanczos3(o);
  const Scaling g = scaling_of(o.a);
  if (fast_paths()) {
    nearest_fast(o, g);
  } else {
    nearest_reference(o, g);
  }
}

void OpScaleBilinear(const OpArgs& o) {
  if (!has_area(o.a)) return;
  const Scaling g = scaling_of(o.a);
  if (fast_paths()) {
    bilinear_fast(o, g);
  } else {
    bilinear_reference(o, g);
  }
}

}  // namespace tesmo
