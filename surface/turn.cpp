// Mirrored and turned copies: flips, rotation by any angle about a centre, quarter turns.
#include <cmath>

#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

constexpr int32_t kOne = 32768;  // 1.0 in the rotation's 15-bit fixed point

}  // namespace

// param1: 0 reverses each row, 1 the order of the rows, 2 both (a half turn).
void OpFlip(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const int32_t mode = a.param1;
  if (mode < 0 || mode > 2) return;
  const bool mirror_rows = mode != 1;
  const bool mirror_columns = mode != 0;
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + (mirror_columns ? a.height - 1 - i : i));
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    if (mirror_rows) {
      for (int32_t j = 0; j < a.width; ++j) d[j] = s[a.width - 1 - j];
    } else {
      for (int32_t j = 0; j < a.width; ++j) d[j] = s[j];
    }
  }
}

// Nearest-neighbour rotation by param1 / 100 degrees about (param2, param3) of the source, shifted
// by (dst_x, dst_y). Every destination pixel is visited; one whose source position falls outside
// the source keeps its value. Cosine and sine are taken in single precision and held as 15-bit
// fixed point; the positions are walked incrementally in 32-bit words, wrapping as such words do.
void OpRotate(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const Surface& s = *o.src;
  Surface& d = *o.dst;
  const float theta = static_cast<float>(a.param1) * 0.01f * 0.017453292f;
  const auto c = static_cast<uint32_t>(static_cast<int32_t>(std::cos(theta) * static_cast<float>(kOne)));
  const auto sn = static_cast<uint32_t>(static_cast<int32_t>(std::sin(theta) * static_cast<float>(kOne)));
  const auto cx = static_cast<uint32_t>(a.param2);
  const auto cy = static_cast<uint32_t>(a.param3);
  const uint32_t one = kOne;
  uint32_t x_row = (one - c) * cx + sn * cy - static_cast<uint32_t>(a.dst_x) * one;
  uint32_t y_row = (one - c) * cy - sn * cx - static_cast<uint32_t>(a.dst_y) * one;
  const int64_t x_end = int64_t{s.width} * kOne;
  const int64_t y_end = int64_t{s.height} * kOne;
  for (int32_t y = 0; y < d.height; ++y) {
    uint32_t* out = pixel_at(d, 0, y);
    uint32_t xt = x_row;
    uint32_t yt = y_row;
    for (int32_t x = 0; x < d.width; ++x) {
      const auto sx = static_cast<int32_t>(xt);
      const auto sy = static_cast<int32_t>(yt);
      if (sx >= 0 && sx < x_end && sy >= 0 && sy < y_end) out[x] = *pixel_at(s, sx >> 15, sy >> 15);
      xt += c;
      yt += sn;
    }
    x_row -= sn;
    y_row += c;
  }
}

// The source rectangle turned a quarter into the destination, which must be at least as wide as the
// rectangle is tall and as tall as it is wide. param1 90: a quarter turn to the left, source (j, i)
// to (i, H − 1 − j); 270: to the right, to (W − 1 − i, j); W × H the destination's size.
void OpRotateRight(const OpArgs& o) {
  const BlitArgs& a = o.a;
  Surface& d = *o.dst;
  if (a.param1 != 90 && a.param1 != 270) return;
  if (d.width < a.height || d.height < a.width) return;
  const bool left = a.param1 == 90;
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    for (int32_t j = 0; j < a.width; ++j) {
      uint32_t* out = left ? pixel_at(d, i, d.height - 1 - j) : pixel_at(d, d.width - 1 - i, j);
      *out = s[j];
    }
  }
}

}  // namespace tesmo
