// The rotation walk shared by the turning copy and the alpha-blended rotation (private to surface/).
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "surface/pixel_rows.h"

namespace tesmo {

// A nearest-neighbour rotation by param1 / 100 degrees about (param2, param3) of the source,
// shifted by (dst_x, dst_y). Cosine and sine are taken in single precision and held as 15-bit fixed
// point; positions are walked incrementally in 32-bit words, wrapping as such words do.
struct RotationWalk {
  static constexpr int32_t kOne = 32768;  // 1.0 in the rotation's fixed point
  uint32_t c, sn;                         // per destination column: source x += c, y += sn
  uint32_t x_row, y_row;                  // source position of the current row's first column
  int64_t x_end, y_end;                   // the source's size in fixed point

  explicit RotationWalk(const OpArgs& o) {
    const BlitArgs& a = o.a;
    const float theta = static_cast<float>(a.param1) * 0.01f * 0.017453292f;
    c = static_cast<uint32_t>(static_cast<int32_t>(std::cos(theta) * static_cast<float>(kOne)));
    sn = static_cast<uint32_t>(static_cast<int32_t>(std::sin(theta) * static_cast<float>(kOne)));
    const auto cx = static_cast<uint32_t>(a.param2);
    const auto cy = static_cast<uint32_t>(a.param3);
    const uint32_t one = kOne;
    x_row = (one - c) * cx + sn * cy - static_cast<uint32_t>(a.dst_x) * one;
    y_row = (one - c) * cy - sn * cx - static_cast<uint32_t>(a.dst_y) * one;
    x_end = int64_t{o.src->width} * kOne;
    y_end = int64_t{o.src->height} * kOne;
  }
  bool inside(int32_t sx, int32_t sy) const { return sx >= 0 && sx < x_end && sy >= 0 && sy < y_end; }
  void next_row() {
    x_row -= sn;
    y_row += c;
  }
};

// Visits every destination pixel and stores f(source pixel, old destination pixel) where the
// source position falls inside the source; the others keep their value.
template <typename F>
void rotate_walk(const OpArgs& o, F f) {
  RotationWalk w(o);
  const Surface& s = *o.src;
  Surface& d = *o.dst;
  for (int32_t y = 0; y < d.height; ++y, w.next_row()) {
    uint32_t* out = pixel_at(d, 0, y);
    uint32_t xt = w.x_row, yt = w.y_row;
    for (int32_t x = 0; x < d.width; ++x, xt += w.c, yt += w.sn) {
      const auto sx = static_cast<int32_t>(xt);
      const auto sy = static_cast<int32_t>(yt);
      if (w.inside(sx, sy)) out[x] = f(*pixel_at(s, sx >> 15, sy >> 15), out[x]);
    }
  }
}

// The same walk a row at a time: for each destination row y, `row(y, gathered, inside)` receives
// the source pixel of every column and a mask (all ones where the source position falls inside,
// else 0; gathered is then 0), so that the row's blend can run as one straight loop.
template <typename Row>
void rotate_rows(const OpArgs& o, Row row) {
  RotationWalk w(o);
  const Surface& s = *o.src;
  const int32_t width = o.dst->width;
  std::vector<uint32_t> gathered(static_cast<size_t>(width)), inside(static_cast<size_t>(width));
  for (int32_t y = 0; y < o.dst->height; ++y, w.next_row()) {
    uint32_t xt = w.x_row, yt = w.y_row;
    for (int32_t x = 0; x < width; ++x, xt += w.c, yt += w.sn) {
      const auto sx = static_cast<int32_t>(xt);
      const auto sy = static_cast<int32_t>(yt);
      const bool in = w.inside(sx, sy);
      gathered[static_cast<size_t>(x)] = in ? *pixel_at(s, sx >> 15, sy >> 15) : 0;
      inside[static_cast<size_t>(x)] = in ? ~0u : 0u;
    }
    row(y, gathered.data(), inside.data());
  }
}

}  // namespace tesmo
