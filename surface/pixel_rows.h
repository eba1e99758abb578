// Row addressing and the per-pixel walk shared by the operation families (private to surface/).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "surface/compositor.h"

// A hot loop built twice, for the baseline processor and for 256-bit vectors, the copy chosen once
// at load time. The loop is plain C++; the wider copy gives the same results. Clang cannot clone
// function templates, so a clang build (the fuzz build) keeps the baseline copy only.
#if defined(__clang__)
#define TESMO_WIDE_VECTORS
#else
#define TESMO_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#endif

namespace tesmo {

// Pixel (x, y) of `s`; the caller keeps (x, y) inside the surface.
inline uint32_t* pixel_at(const Surface& s, int32_t x, int32_t y) {
  return s.pixels() + static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x);
}

// The colour word of op parameters (red, green, blue): bits outside a byte stay where the shifts
// put them, as they do in a 32-bit word.
inline uint32_t colour_word(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

// Stores f(source pixel, destination pixel) into every destination pixel of the rectangle, row by
// row. Works in place when source and destination are the same rectangle.
template <typename F>
void map_rect(const OpArgs& o, F f) {
  const BlitArgs& a = o.a;
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 0; j < a.width; ++j) d[j] = f(s[j], d[j]);
  }
}

// The source rectangle as rows to read from. An operation that reads neighbouring or displaced
// source pixels would see its own results when it writes the surface it reads; then the rectangle
// is read from a copy taken first.
class SourceRows {
 public:
  explicit SourceRows(const OpArgs& o) {
    const BlitArgs& a = o.a;
    if (o.src != o.dst) {
      base_ = pixel_at(*o.src, a.src_x, a.src_y);
      stride_ = static_cast<size_t>(o.src->width);
      return;
    }
    stride_ = static_cast<size_t>(a.width);
    copy_.resize(stride_ * static_cast<size_t>(a.height));
    for (int32_t i = 0; i < a.height; ++i) {
      const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
      std::copy(s, s + a.width, copy_.data() + stride_ * static_cast<size_t>(i));
    }
    base_ = copy_.data();
  }
  // Row i of the rectangle, from its first column.
  const uint32_t* row(int32_t i) const { return base_ + stride_ * static_cast<size_t>(i); }
  size_t stride() const { return stride_; }

 private:
  std::vector<uint32_t> copy_;
  const uint32_t* base_ = nullptr;
  size_t stride_ = 0;
};

}  // namespace tesmo
