// Picture statistics for the information dialog and the histogram panel: distinct colours and the
// per-channel histogram.
#include <algorithm>
#include <bit>
#include <cstring>

#include "surface/surface.h"

namespace tesmo {
namespace {

constexpr size_t kColourBits = size_t{1} << 24;
constexpr size_t kColourWords = kColourBits / 64;

// Independent counter sets for neighbouring pixels: a picture of one colour would otherwise make
// every increment wait for the previous store to the same counter.
constexpr int kLanes = 4;
using Counters = std::array<std::array<uint32_t, 256>, kLanes>;

void count_channel_bytes(const uint32_t* p, size_t n, Counters& b, Counters& g, Counters& r,
                         Counters& a) {
  size_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    for (int lane = 0; lane < kLanes; ++lane) {
      const uint32_t v = p[i + static_cast<size_t>(lane)];
      ++b[lane][v & 0xFF];
      ++g[lane][(v >> 8) & 0xFF];
      ++r[lane][(v >> 16) & 0xFF];
      ++a[lane][v >> 24];
    }
  }
  for (; i < n; ++i) {
    const uint32_t v = p[i];
    ++b[0][v & 0xFF];
    ++g[0][(v >> 8) & 0xFF];
    ++r[0][(v >> 16) & 0xFF];
    ++a[0][v >> 24];
  }
}

uint32_t merge(const Counters& lanes, std::array<uint32_t, 256>& out) {
  uint32_t largest = 0;
  for (size_t v = 0; v < 256; ++v) {
    uint32_t sum = 0;
    for (const auto& lane : lanes) sum += lane[v];
    out[v] = sum;
    largest = std::max(largest, sum);
  }
  return largest;
}

}  // namespace

int32_t surface_count_colours(const SurfaceTable& t, int32_t key) {
  const Surface* s = t.find(key);
  if (!s) return 0;
  AlignedBlock block = AlignedBlock::allocate(kColourWords * sizeof(uint64_t));
  if (!block) return 0;
  auto* set = reinterpret_cast<uint64_t*>(block.data());
  std::memset(set, 0, kColourWords * sizeof(uint64_t));
  const uint32_t* p = s->pixels();
  const size_t n = s->pixel_count();
  for (size_t i = 0; i < n; ++i) {
    const uint32_t rgb = p[i] & 0xFFFFFFu;
    set[rgb >> 6] |= uint64_t{1} << (rgb & 63);
  }
  // Counting the set bits at the end gives the same number as counting each newly set bit.
  int32_t count = 0;
  for (size_t w = 0; w < kColourWords; ++w) count += std::popcount(set[w]);
  return count;
}

int surface_histogram(const SurfaceTable& t, int32_t key, Histogram& out) {
  const Surface* s = t.find(key);
  if (!s) return 1;
  std::array<Counters, 4> lanes{};  // blue, green, red, alpha
  auto& [b, g, r, a] = lanes;
  count_channel_bytes(s->pixels(), s->pixel_count(), b, g, r, a);
  out.maxima = {merge(r, out.red), merge(g, out.green), merge(b, out.blue), merge(a, out.alpha)};
  return 0;
}

}  // namespace tesmo
