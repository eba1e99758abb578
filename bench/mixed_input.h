// The benchmark input: a 24-bit BMP-like picture (gradients, noise, hard edges) followed by text,
// 16 MiB in all, the same bytes on every run.
#pragma once

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace tesmo::bench {

inline constexpr size_t kMixedSize = 16u << 20;

inline void put_le(std::vector<uint8_t>& v, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> mixed_input() {
  constexpr uint32_t w = 2048, h = 1536, row = w * 3;
  std::vector<uint8_t> v;
  v.reserve(kMixedSize);
  v.push_back('B');
  v.push_back('M');
  put_le(v, 54 + row * h, 4);
  put_le(v, 0, 4);
  put_le(v, 54, 4);
  put_le(v, 40, 4);
  put_le(v, w, 4);
  put_le(v, h, 4);
  put_le(v, 1, 2);
  put_le(v, 24, 2);
  for (int i = 0; i < 6; ++i) put_le(v, 0, 4);
  std::mt19937 rng(2024);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      bool block = ((x / 256) + (y / 192)) % 3 == 0;  // flat tiles with hard edges
      uint32_t noise = rng() % 9;
      v.push_back(static_cast<uint8_t>(block ? 40 : x / 8 + noise));
      v.push_back(static_cast<uint8_t>(block ? 200 : y / 6 + noise));
      v.push_back(static_cast<uint8_t>(block ? 90 : (x + y) / 14 + noise));
    }
  }
  static constexpr std::string_view kWords[] = {
      "the ", "archive ", "packs ", "every ", "file ", "named ", "in ", "a ", "list; ", "blocks ",
      "are ", "stored ", "or ", "compressed.\r\n", "#define FID_", "OFFSET ", "0x0800, ", "level 6 "};
  while (v.size() < kMixedSize) {
    std::string_view word = kWords[rng() % std::size(kWords)];
    v.insert(v.end(), word.begin(), word.end());
  }
  v.resize(kMixedSize);
  return v;
}

}  // namespace tesmo::bench
