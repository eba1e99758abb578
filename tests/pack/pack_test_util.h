// Inputs shared by the pack tests: deterministic pseudo-random bytes, text and runs.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tesmo::testing {

inline std::vector<uint8_t> random_bytes(size_t n, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

inline std::vector<uint8_t> bytes_of(std::string_view text) { return {text.begin(), text.end()}; }

inline std::vector<uint8_t> sample_text(size_t n) {
  static constexpr std::string_view kWords[] = {"pack ", "archive ", "block ", "entry ", "index\r\n",
                                                 "offset ", "size ", "level ", "#define ", "FID_"};
  std::mt19937 rng(7);
  std::vector<uint8_t> v;
  while (v.size() < n) {
    std::string_view w = kWords[rng() % std::size(kWords)];
    v.insert(v.end(), w.begin(), w.end());
  }
  v.resize(n);
  return v;
}

}  // namespace tesmo::testing
