// The rotation walk shared by the turning copy and the alpha-blended rotation (private to surface/).
#pragma once

#include <cmath>
#include <cstdint>

#include "surface/pixel_rows.h"

namespace tesmo {

// Visits every destination pixel of a nearest-neighbour rotation by param1 / 100 degrees about
// (param2, param3) of the source, shifted by (dst_x, dst_y), and stores f(source pixel, old
// destination pixel) where the source position falls inside the source; the others keep their
// value. Cosine and sine are taken in single precision and held as 15-bit fixed point; positions
// are walked incrementally in 32-bit words, wrapping as such words do.
template <typename F>
void rotate_walk(const OpArgs& o, F f) {
  constexpr int32_t kOne = 32768;  // 1.0 in the rotation's fixed point
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
      if (sx >= 0 && sx < x_end && sy >= 0 && sy < y_end) out[x] = f(*pixel_at(s, sx >> 15, sy >> 15), out[x]);
      xt += c;
      yt += sn;
    }
    x_row -= sn;
    y_row += c;
  }
}

}  // namespace tesmo
