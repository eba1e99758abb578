// The compositor benchmarks' picture: a photo-like 32-bit picture with smooth gradients, fine noise,
// hard-edged tiles and a smooth alpha, the same pixels on every run.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace tesmo::bench {

inline std::vector<uint32_t> photo(int32_t w, int32_t h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * static_cast<size_t>(h));
  std::mt19937 rng(4000);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t noise = rng() % 24;
      const bool tile = ((x * 8 / w) + (y * 6 / h)) % 4 == 0;
      const uint32_t r = tile ? 230 : (x * 200 / w + noise) & 255;
      const uint32_t g = tile ? 40 : (y * 220 / h + noise) & 255;
      const uint32_t b = (static_cast<uint32_t>(128 + 100 * std::sin(x * 0.01 + y * 0.013)) + noise / 2) & 255;
      const double d = std::hypot(x - w / 2.0, y - h / 2.0) / std::hypot(w / 2.0, h / 2.0);
      const auto a = static_cast<uint32_t>(255 * (1 - d * d));
      p[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  return p;
}

}  // namespace tesmo::bench
