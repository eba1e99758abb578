// The filter family: the 3 × 3 neighbourhood filters (edge detection, smoothing, sharpening), the
// mosaic and the blur through repeated bilinear scaling.
//
// Kernels are 12-bit fixed point (4096 = 1). The neighbourhood of a pixel is taken inside the
// operation's rectangle; edge detection and smoothing leave the rectangle's outermost rows and
// columns unwritten, sharpening weighs the neighbours that exist. Each has a plain reference path;
// the fast paths give the same bytes and can be switched off.
#include <algorithm>
#include <array>
#include <cmath>

#include "surface/colour_math.h"
#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

using Kernel = std::array<int32_t, 9>;  // above-left … below-right, row-major, 1/4096

struct EdgeKernels {
  Kernel x, y;
};

constexpr int32_t kUnit = 4096;
constexpr std::array<EdgeKernels, 7> kEdgeKernels{{
    {{0, 0, 0, 0, 4096, -4096, 0, 0, 0}, {0, 0, 0, 0, 4096, 0, 0, -4096, 0}},
    {{0, 0, 0, 0, 4096, 0, 0, 0, -4096}, {0, 0, 0, 0, 0, 4096, 0, -4096, 0}},
    {{-4096, 0, 4096, -4096, 0, 4096, -4096, 0, 4096}, {-4096, -4096, -4096, 0, 0, 0, 4096, 4096, 4096}},
    {{-4096, 0, 4096, -8192, 0, 8192, -4096, 0, 4096}, {-4096, -8192, -4096, 0, 0, 0, 4096, 8192, 4096}},
    {{0, 4096, 0, 4096, -16384, 4096, 0, 4096, 0}, {}},
    {{4096, 4096, 4096, 4096, -32768, 4096, 4096, 4096, 4096}, {}},
    {{-4096, 8192, -4096, 8192, -16384, 8192, -4096, 8192, -4096}, {}},
}};

constexpr Kernel kSmoothing{303, 499, 303, 499, 819, 499, 303, 499, 303};  // sum 4027

constexpr int kChannelShifts[] = {0, 8, 16};  // blue, green, red

// The nine pixels around column j of rectangle row i (both at least 1 from the rectangle's edge).
std::array<uint32_t, 9> neighbourhood(const SourceRows& s, int32_t i, int32_t j) {
  const uint32_t *up = s.row(i - 1) + j, *mid = s.row(i) + j, *down = s.row(i + 1) + j;
  return {up[-1], up[0], up[1], mid[-1], mid[0], mid[1], down[-1], down[0], down[1]};
}

// The gradient magnitude of one channel: min(255, truncate(sqrt(gx² + gy²))), root in single
// precision. gx and gy are 0–255, so the sum is exact in a float.
int32_t magnitude(int32_t gx, int32_t gy) {
  return std::min(255, static_cast<int32_t>(std::sqrt(static_cast<float>(gx * gx + gy * gy))));
}

// Reference: the sums p2 × K × v in 64 bits (a strength of any 32-bit value cannot overflow them),
// shifted arithmetically and clamped, for every channel of every inner pixel.
void edge_reference(const OpArgs& o, const EdgeKernels& k, int32_t strength) {
  const BlitArgs& a = o.a;
  const SourceRows s(o);
  for (int32_t i = 1; i + 1 < a.height; ++i) {
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 1; j + 1 < a.width; ++j) {
      const std::array<uint32_t, 9> v = neighbourhood(s, i, j);
      uint32_t out = v[4] & kAlphaMask;
      for (int shift : kChannelShifts) {
        int64_t sx = 0, sy = 0;
        for (size_t n = 0; n < 9; ++n) {
          const int64_t b = byte_at(v[n], shift);
          sx += int64_t{strength} * k.x[n] * b;
          sy += int64_t{strength} * k.y[n] * b;
        }
        out |= static_cast<uint32_t>(magnitude(clamp_byte(sx >> 12), clamp_byte(sy >> 12))) << shift;
      }
      d[j] = out;
    }
  }
}

// Every kernel weight is a whole multiple of 4096, so (p2 × Σ K v) >> 12 = p2 × Σ (K / 4096) v
// exactly. Σ (K / 4096) v is a nonzero integer or 0, so any strength beyond ±255 saturates exactly
// as ±255 does; held there, the products fit 32 bits. The magnitudes come from a table.
struct EdgeFast {
  std::array<int32_t, 9> kx, ky;
  int32_t strength;
  bool gradient;  // a second kernel; without it the magnitude is gx itself
};

// One channel of one row of the rectangle as 32-bit values.
void channel_plane(int32_t* out, const uint32_t* row, int32_t n, int shift) {
  for (int32_t j = 0; j < n; ++j) out[j] = byte_at(row[j], shift);
}

// The clamped gradients of one channel for the inner columns of a row, from its three planes.
TESMO_WIDE_VECTORS void edge_gradients(int32_t* gx, int32_t* gy, const int32_t* up, const int32_t* mid,
                                       const int32_t* down, int32_t n, const EdgeFast& e) {
  const std::array<int32_t, 9> kx = e.kx, ky = e.ky;
  for (int32_t j = 1; j + 1 < n; ++j) {
    const int32_t v[9] = {up[j - 1], up[j], up[j + 1], mid[j - 1], mid[j], mid[j + 1], down[j - 1], down[j], down[j + 1]};
    int32_t sx = 0, sy = 0;
    for (int k = 0; k < 9; ++k) {
      sx += kx[static_cast<size_t>(k)] * v[k];
      sy += ky[static_cast<size_t>(k)] * v[k];
    }
    gx[j] = clamp_byte(e.strength * sx);
    gy[j] = clamp_byte(e.strength * sy);
  }
}

const std::vector<uint8_t>& magnitude_table() {
  static const std::vector<uint8_t> roots = [] {
    std::vector<uint8_t> t(256 * 256);
    for (int32_t x = 0; x < 256; ++x) {
      for (int32_t y = 0; y < 256; ++y) t[static_cast<size_t>(x * 256 + y)] = static_cast<uint8_t>(magnitude(x, y));
    }
    return t;
  }();
  return roots;
}

// Rows are split into channel planes, three rows at a time, so that the kernel sums run over
// plain arrays; magnitudes come from a table.
void edge_fast(const OpArgs& o, const EdgeKernels& k, int32_t strength) {
  const std::vector<uint8_t>& roots = magnitude_table();
  EdgeFast e{};
  for (size_t n = 0; n < 9; ++n) {
    e.kx[n] = k.x[n] / kUnit;
    e.ky[n] = k.y[n] / kUnit;
    e.gradient = e.gradient || k.y[n] != 0;
  }
  e.strength = std::clamp(strength, -255, 255);
  const BlitArgs& a = o.a;
  const SourceRows s(o);
  const auto w = static_cast<size_t>(a.width);
  // planes[r][c]: channel c of source row (i − 1 + r); gx, gy per channel.
  std::vector<int32_t> store(w * 9 + w * 6);
  auto plane = [&](size_t r, size_t c) { return store.data() + (r * 3 + c) * w; };
  int32_t* grad = store.data() + w * 9;
  std::array<size_t, 3> slot{0, 1, 2};
  for (size_t r = 0; r < 2; ++r) {
    for (size_t c = 0; c < 3; ++c) channel_plane(plane(r, c), s.row(static_cast<int32_t>(r)), a.width, kChannelShifts[c]);
  }
  for (int32_t i = 1; i + 1 < a.height; ++i) {
    for (size_t c = 0; c < 3; ++c) channel_plane(plane(slot[2], c), s.row(i + 1), a.width, kChannelShifts[c]);
    for (size_t c = 0; c < 3; ++c) {
      edge_gradients(grad + 2 * c * w, grad + (2 * c + 1) * w, plane(slot[0], c), plane(slot[1], c), plane(slot[2], c),
                     a.width, e);
    }
    const uint32_t* centre = s.row(i);
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (size_t j = 1; j + 1 < w; ++j) {
      uint32_t out = centre[j] & kAlphaMask;
      for (size_t c = 0; c < 3; ++c) {
        const int32_t gx = grad[2 * c * w + j], gy = grad[(2 * c + 1) * w + j];
        const int32_t m = e.gradient ? roots[static_cast<size_t>(gx * 256 + gy)] : gx;
        out |= static_cast<uint32_t>(m) << kChannelShifts[c];
      }
      d[j] = out;
    }
    slot = {slot[1], slot[2], slot[0]};
  }
}

// Sharpening weights of one pixel: the centre's and each counted neighbour's.
struct SharpenWeights {
  int32_t centre, neighbour;
};

// k neighbours share r = 4096 − g: each r / k (truncating), the centre g + r mod k, so that the
// weights sum to 4096. A pixel without neighbours (a 1 × 1 rectangle) keeps the whole 4096.
SharpenWeights sharpen_weights(int32_t g, int32_t k) {
  const int32_t r = kUnit - g;
  if (k == 0) return {g + r, 0};
  return {g + r % k, r / k};
}

// One sharpened pixel at (j, i) of the rectangle, counting the neighbours that lie inside it.
uint32_t sharpen_pixel(const SourceRows& s, int32_t w, int32_t h, int32_t i, int32_t j, int32_t g, bool four) {
  std::array<uint32_t, 8> near{};
  int32_t k = 0;
  for (int32_t di = -1; di <= 1; ++di) {
    for (int32_t dj = -1; dj <= 1; ++dj) {
      if ((di == 0 && dj == 0) || (four && di != 0 && dj != 0)) continue;
      const int32_t y = i + di, x = j + dj;
      if (y >= 0 && y < h && x >= 0 && x < w) near[static_cast<size_t>(k++)] = s.row(y)[x];
    }
  }
  const SharpenWeights wt = sharpen_weights(g, k);
  const uint32_t c = s.row(i)[j];
  uint32_t out = 0;
  for (int shift : kChannelShifts) {
    int32_t sum = wt.centre * byte_at(c, shift);
    for (int32_t n = 0; n < k; ++n) sum += wt.neighbour * byte_at(near[static_cast<size_t>(n)], shift);
    out |= static_cast<uint32_t>(clamp_byte(sum >> 12)) << shift;
  }
  return out;
}

void sharpen_reference(const OpArgs& o, int32_t g, bool four) {
  const BlitArgs& a = o.a;
  const SourceRows s(o);
  for (int32_t i = 0; i < a.height; ++i) {
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 0; j < a.width; ++j) d[j] = sharpen_pixel(s, a.width, a.height, i, j, g, four);
  }
}

// Inner pixels of one row with fixed weights, channel bytes summed in 32-bit lanes.
TESMO_WIDE_VECTORS void sharpen_inner_row(uint32_t* d, const uint32_t* up, const uint32_t* mid, const uint32_t* down,
                                         int32_t n, SharpenWeights wt, bool four) {
  for (int32_t j = 1; j + 1 < n; ++j) {
    uint32_t out = 0;
    for (int shift : kChannelShifts) {
      int32_t ring = byte_at(up[j], shift) + byte_at(mid[j - 1], shift) + byte_at(mid[j + 1], shift) +
                     byte_at(down[j], shift);
      if (!four) {
        ring += byte_at(up[j - 1], shift) + byte_at(up[j + 1], shift) + byte_at(down[j - 1], shift) +
                byte_at(down[j + 1], shift);
      }
      out |= static_cast<uint32_t>(clamp_byte((wt.centre * byte_at(mid[j], shift) + wt.neighbour * ring) >> 12))
             << shift;
    }
    d[j] = out;
  }
}

// Inner pixels have a fixed neighbour count and weights; only the border needs counting.
void sharpen_fast(const OpArgs& o, int32_t g, bool four) {
  const BlitArgs& a = o.a;
  const SourceRows s(o);
  const SharpenWeights inner = sharpen_weights(g, four ? 4 : 8);
  for (int32_t i = 0; i < a.height; ++i) {
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    if (i == 0 || i + 1 >= a.height) {
      for (int32_t j = 0; j < a.width; ++j) d[j] = sharpen_pixel(s, a.width, a.height, i, j, g, four);
      continue;
    }
    d[0] = sharpen_pixel(s, a.width, a.height, i, 0, g, four);
    sharpen_inner_row(d, s.row(i - 1), s.row(i), s.row(i + 1), a.width, inner, four);
    if (a.width > 1) d[a.width - 1] = sharpen_pixel(s, a.width, a.height, i, a.width - 1, g, four);
  }
}

// Smoothing of the inner pixels; the kernel is positive, so the sums are 0 … 4027 × 255.
TESMO_WIDE_VECTORS void smooth_row(uint32_t* d, const uint32_t* up, const uint32_t* mid, const uint32_t* down,
                                   int32_t n) {
  const Kernel& k = kSmoothing;
  for (int32_t j = 1; j + 1 < n; ++j) {
    uint32_t out = 0;
    for (int shift : kChannelShifts) {
      const int32_t sum = k[0] * byte_at(up[j - 1], shift) + k[1] * byte_at(up[j], shift) +
                          k[2] * byte_at(up[j + 1], shift) + k[3] * byte_at(mid[j - 1], shift) +
                          k[4] * byte_at(mid[j], shift) + k[5] * byte_at(mid[j + 1], shift) +
                          k[6] * byte_at(down[j - 1], shift) + k[7] * byte_at(down[j], shift) +
                          k[8] * byte_at(down[j + 1], shift);
      out |= static_cast<uint32_t>(clamp_byte(sum >> 12)) << shift;
    }
    d[j] = out;
  }
}

void blur_pass(const OpArgs& o, Surface& to, const Surface& from, BlitArgs a) {
  a.op = kOpScaleBilinear;
  a.param4 = kScaleBilinear;
  OpScaleBilinear({o.table, &to, &from, a});
}

}  // namespace

// param1: kernel pair 0–6; param2: strength. Other kernels, or a rectangle under 3 × 3, write
// nothing.
void OpEdgeDetect(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.param1 < 0 || a.param1 >= static_cast<int32_t>(kEdgeKernels.size())) return;
  if (a.width < 3 || a.height < 3) return;
  const EdgeKernels& k = kEdgeKernels[static_cast<size_t>(a.param1)];
  if (fast_paths()) return edge_fast(o, k, a.param2);
  edge_reference(o, k, a.param2);
}

// param1 0: the smoothing kernel (the only one); other values write nothing. Alpha 0.
void OpFilter(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.param1 != 0) return;
  const SourceRows s(o);
  for (int32_t i = 1; i + 1 < a.height; ++i) {
    smooth_row(pixel_at(*o.dst, a.dst_x, a.dst_y + i), s.row(i - 1), s.row(i), s.row(i + 1), a.width);
  }
}

// param1: strength 0–3000 (100 leaves the picture); param2: 1 the four orthogonal neighbours, 0 all
// eight; other values write nothing. Every pixel of the rectangle is written, alpha 0.
void OpSharpen(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.param2 != 0 && a.param2 != 1) return;
  const int32_t g = std::clamp(a.param1, 0, 3000) * kUnit / 100;
  const bool four = a.param2 == 1;
  if (fast_paths()) return sharpen_fast(o, g, four);
  sharpen_reference(o, g, four);
}

// Blocks of c × c from the rectangle's corner, each filled with one source pixel: a full block with
// the pixel at its offset (c / 2, c / 2), a partial block on the right or bottom edge with its
// top-left pixel. A block reads its pixel before it is filled, so this works in place.
void OpMosaic(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const int32_t c = std::clamp(a.param1, 1, 100);
  for (int32_t by = 0; by < a.height; by += c) {
    const int32_t bh = std::min(c, a.height - by);
    for (int32_t bx = 0; bx < a.width; bx += c) {
      const int32_t bw = std::min(c, a.width - bx);
      const int32_t off = bw == c && bh == c ? c / 2 : 0;
      const uint32_t p = *pixel_at(*o.src, a.src_x + bx + off, a.src_y + by + off);
      for (int32_t i = 0; i < bh; ++i) std::fill_n(pixel_at(*o.dst, a.dst_x + bx, a.dst_y + by + i), bw, p);
    }
  }
}

// param1: the reduced size in percent of the source surface (1–100); param2: extra passes (0–32).
// The reduction is at least 1 × 1: a small picture at a small percentage is blurred as far as it
// goes instead of being scaled from nothing. Surface −1 holds the reduction; when it is itself the
// source or destination, or cannot be made, nothing is written.
void OpBlur(const OpArgs& o) {
  const BlitArgs& a = o.a;
  SurfaceTable& t = *o.table;
  if (o.src->key == kKeyBlurTemporary || o.dst->key == kKeyBlurTemporary) return;
  const int64_t percent = std::clamp(a.param1, 1, 100);
  const auto tw = static_cast<int32_t>(std::max<int64_t>(1, percent * o.src->width / 100));
  const auto th = static_cast<int32_t>(std::max<int64_t>(1, percent * o.src->height / 100));
  if (surface_create(t, kKeyBlurTemporary, tw, th) != 0) return;
  surface_fill(t, kKeyBlurTemporary, 0, 0, 0, 0);
  Surface& small = *surface_find(t, kKeyBlurTemporary);
  const BlitArgs down{.src_x = a.src_x, .src_y = a.src_y, .width = a.width, .height = a.height, .param1 = tw,
                      .param2 = th};
  const BlitArgs up{.dst_x = a.dst_x, .dst_y = a.dst_y, .width = tw, .height = th, .param1 = a.width,
                    .param2 = a.height};
  const BlitArgs again{.src_x = a.dst_x, .src_y = a.dst_y, .width = a.width, .height = a.height, .param1 = tw,
                       .param2 = th};
  blur_pass(o, small, *o.src, down);
  blur_pass(o, *o.dst, small, up);
  for (int32_t n = std::clamp(a.param2, 0, 32); n > 0; --n) {
    blur_pass(o, small, *o.dst, again);
    blur_pass(o, *o.dst, small, up);
  }
  surface_remove(t, kKeyBlurTemporary);
  BlitArgs alpha = a;
  alpha.op = kOpChannelCopy;
  alpha.param1 = 3;
  OpChannelCopy({o.table, o.dst, o.src, alpha});
}

}  // namespace tesmo
