// A flat graphic for the encoder benchmarks and tests: a few solid colours in tiles, a grid of thin
// dark lines and a striped panel, as in diagrams and screenshots, the same pixels on every run.
#pragma once

#include <cstdint>
#include <vector>

namespace tesmo::bench {

inline std::vector<uint32_t> flat_graphic(int32_t w, int32_t h) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t c = 0xFFF0F0F0;
      if ((x / 150 + y / 100) % 5 == 0) {
        c = 0xFF2050A0;
      } else if ((x / 300 + y / 250) % 3 == 1) {
        c = 0xFFE0C020;
      }
      if (x % 200 < 3 || y % 120 < 2) c = 0xFF000000;
      if (y > h / 2 && y < h / 2 + h / 5 && x > w / 10 && x < w * 6 / 10) {
        c = (x / 7 + y / 5) % 2 ? 0xFFFFFFFF : 0xFF808080;
      }
      p[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = c;
    }
  }
  return p;
}

}  // namespace tesmo::bench
