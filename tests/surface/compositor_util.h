// Small pictures for the compositor tests: surfaces made from pixel lists and read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "surface/compositor.h"
#include "surface/surface.h"

namespace tesmo::testing {

using Pixels = std::vector<uint32_t>;

// Surface `key` of w × h holding `px` (row by row); `fill` everywhere when `px` is empty.
inline Surface& put(SurfaceTable& t, int32_t key, int32_t w, int32_t h, const Pixels& px = {}, uint32_t fill = 0) {
  EXPECT_EQ(surface_create(t, key, w, h), 0);
  Surface& s = *surface_find(t, key);
  for (size_t i = 0; i < s.pixel_count(); ++i) s.pixels()[i] = px.empty() ? fill : px[i];
  return s;
}

inline Pixels get(const SurfaceTable& t, int32_t key) {
  const Surface& s = *surface_find(t, key);
  return {s.pixels(), s.pixels() + s.pixel_count()};
}

// Distinct pixels (every byte varies), so that a misplaced pixel shows.
inline Pixels numbered(int32_t w, int32_t h) {
  Pixels p(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (size_t i = 0; i < p.size(); ++i) p[i] = 0x80000000u + static_cast<uint32_t>(i) * 0x00010203u + 0x01000000u * (i & 7);
  return p;
}

inline Pixels random_pixels(std::mt19937& rng, size_t n) {
  Pixels p(n);
  for (uint32_t& v : p) v = static_cast<uint32_t>(rng());
  return p;
}

inline uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// Runs one operation with fast paths on or off, restoring them afterwards.
class FastPaths {
 public:
  explicit FastPaths(bool on) : was_(fast_paths()) { set_fast_paths(on); }
  ~FastPaths() { set_fast_paths(was_); }

 private:
  bool was_;
};

}  // namespace tesmo::testing
