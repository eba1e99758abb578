// The filters: edge detection, smoothing, sharpening, mosaic and blur on small pictures with
// hand-computed results, an independent 64-bit edge reference, and fast paths against plain ones.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <tuple>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::argb;
using testing::FastPaths;
using testing::get;
using testing::Pixels;
using testing::put;

constexpr uint32_t kUnwritten = 0x5A5A5A5Au;

// Runs `op` from key 1 (w × h, `src`) into key 2 (filled with kUnwritten) over the whole picture.
Pixels run(uint32_t op, int32_t w, int32_t h, const Pixels& src, int32_t p1, int32_t p2 = 0) {
  SurfaceTable t(3);
  put(t, 1, w, h, src);
  put(t, 2, w, h, {}, kUnwritten);
  blit(t, 2, 1, op, {.width = w, .height = h, .param1 = p1, .param2 = p2});
  return get(t, 2);
}

Pixels grey_picture(int32_t w, int32_t h, std::initializer_list<uint8_t> v, uint32_t alpha = 0) {
  Pixels p;
  for (uint8_t g : v) p.push_back(argb(alpha, g, g, g));
  EXPECT_EQ(p.size(), static_cast<size_t>(w * h));
  return p;
}

// ---- edge detection ----------------------------------------------------------------------

// The kernels as listed for the filter, in whole units, and the literal sum Σ p2 × K × v >> 12.
constexpr std::array<std::array<int64_t, 9>, 7> kX{{{0, 0, 0, 0, 1, -1, 0, 0, 0},
                                                    {0, 0, 0, 0, 1, 0, 0, 0, -1},
                                                    {-1, 0, 1, -1, 0, 1, -1, 0, 1},
                                                    {-1, 0, 1, -2, 0, 2, -1, 0, 1},
                                                    {0, 1, 0, 1, -4, 1, 0, 1, 0},
                                                    {1, 1, 1, 1, -8, 1, 1, 1, 1},
                                                    {-1, 2, -1, 2, -4, 2, -1, 2, -1}}};
constexpr std::array<std::array<int64_t, 9>, 7> kY{{{0, 0, 0, 0, 1, 0, 0, -1, 0},
                                                    {0, 0, 0, 0, 0, 1, 0, -1, 0},
                                                    {-1, -1, -1, 0, 0, 0, 1, 1, 1},
                                                    {-1, -2, -1, 0, 0, 0, 1, 2, 1},
                                                    {},
                                                    {},
                                                    {}}};

Pixels edge_reference(int32_t w, int32_t h, const Pixels& src, int32_t type, int64_t strength) {
  Pixels out(src.size(), kUnwritten);
  auto clamp = [](int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  for (int32_t y = 1; y + 1 < h; ++y) {
    for (int32_t x = 1; x + 1 < w; ++x) {
      uint32_t px = src[static_cast<size_t>(y * w + x)] & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        int64_t sx = 0, sy = 0;
        for (int n = 0; n < 9; ++n) {
          const int64_t v = (src[static_cast<size_t>((y + n / 3 - 1) * w + x + n % 3 - 1)] >> shift) & 255;
          sx += strength * kX[type][n] * 4096 * v;
          sy += strength * kY[type][n] * 4096 * v;
        }
        const int64_t gx = clamp(sx >> 12), gy = clamp(sy >> 12);
        const auto m = static_cast<int64_t>(std::sqrt(static_cast<float>(gx * gx + gy * gy)));
        px |= static_cast<uint32_t>(std::min<int64_t>(255, m)) << shift;
      }
      out[static_cast<size_t>(y * w + x)] = px;
    }
  }
  return out;
}

TEST(EdgeDetect, HandComputedGradients) {
  // Type 0: gx = centre − right, gy = centre − below, per channel.
  const Pixels src = grey_picture(3, 3, {0, 0, 0, 0, 100, 70, 0, 60, 0}, 0x33);
  Pixels out = run(kOpEdgeDetect, 3, 3, src, 0, 1);
  EXPECT_EQ(out[4], argb(0x33, 50, 50, 50));  // √(30² + 40²)
  out = run(kOpEdgeDetect, 3, 3, src, 0, 2);
  EXPECT_EQ(out[4], argb(0x33, 100, 100, 100));
  out = run(kOpEdgeDetect, 3, 3, src, 0, -1);  // both gradients clamp to 0
  EXPECT_EQ(out[4], argb(0x33, 0, 0, 0));
  // Both gradients 255: the magnitude 360 is held to 255.
  out = run(kOpEdgeDetect, 3, 3, grey_picture(3, 3, {0, 0, 0, 0, 255, 0, 0, 0, 0}), 0, 1);
  EXPECT_EQ(out[4], argb(0, 255, 255, 255));
  for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 7u, 8u}) EXPECT_EQ(out[i], kUnwritten) << "border " << i;
}

TEST(EdgeDetect, NothingOnNarrowRectanglesOrUnknownKernels) {
  const Pixels src = testing::numbered(4, 4);
  for (auto [w, h] : {std::pair{2, 4}, std::pair{4, 2}, std::pair{1, 1}}) {
    Pixels part(src.begin(), src.begin() + w * h);
    EXPECT_EQ(run(kOpEdgeDetect, w, h, part, 3, 5), Pixels(part.size(), kUnwritten)) << w << "x" << h;
  }
  EXPECT_EQ(run(kOpEdgeDetect, 4, 4, src, 7, 1), Pixels(16, kUnwritten));
  EXPECT_EQ(run(kOpEdgeDetect, 4, 4, src, -1, 1), Pixels(16, kUnwritten));
}

TEST(EdgeDetect, UniformPictureHasNoEdges) {
  const Pixels src(25, argb(0x80, 90, 180, 33));
  const Pixels out = run(kOpEdgeDetect, 5, 5, src, 5, 10);
  for (int32_t y = 1; y < 4; ++y) {
    for (int32_t x = 1; x < 4; ++x) EXPECT_EQ(out[static_cast<size_t>(y * 5 + x)], argb(0x80, 0, 0, 0));
  }
}

// The strongest kernel at strength ±10 on black and white: sums of ±20400 per pixel, far outside
// the clamp's nominal range; both paths must match the 64-bit reference and stay in bounds.
TEST(EdgeDetect, StrongestKernelOnBlackAndWhite) {
  std::mt19937 rng(16);
  const int32_t w = 9, h = 7;
  Pixels src(static_cast<size_t>(w * h));
  for (uint32_t& p : src) p = rng() & 1 ? 0xFFFFFFFFu : 0xFF000000u;
  // A black pixel amid white and a white one amid black, to pin the saturation directions.
  for (int32_t n = 0; n < 9; ++n) src[static_cast<size_t>((1 + n / 3 - 1) * w + 1 + n % 3 - 1)] = n == 4 ? 0 : 0xFFFFFFFFu;
  for (int32_t n = 0; n < 9; ++n) src[static_cast<size_t>((4 + n / 3) * w + 5 + n % 3)] = n == 4 ? 0xFFFFFFFFu : 0;
  for (bool fast : {false, true}) {
    FastPaths paths(fast);
    for (int32_t strength : {10, -10}) {
      const Pixels out = run(kOpEdgeDetect, w, h, src, 5, strength);
      EXPECT_EQ(out, edge_reference(w, h, src, 5, strength)) << "fast " << fast << " strength " << strength;
      EXPECT_EQ(out[static_cast<size_t>(w + 1)] & 0xFFFFFFu, strength > 0 ? 0xFFFFFFu : 0u);
      EXPECT_EQ(out[static_cast<size_t>(5 * w + 6)] & 0xFFFFFFu, strength > 0 ? 0u : 0xFFFFFFu);
    }
    // Strengths far past the range saturate like ±255 and must not overflow.
    for (int32_t strength : {INT32_MAX, INT32_MIN}) {
      EXPECT_EQ(run(kOpEdgeDetect, w, h, src, 3, strength), edge_reference(w, h, src, 3, strength));
    }
  }
}

TEST(EdgeDetect, BothPathsMatchTheReferenceOnRandomPictures) {
  std::mt19937 rng(1616);
  for (int round = 0; round < 20; ++round) {
    const auto w = static_cast<int32_t>(3 + rng() % 12), h = static_cast<int32_t>(3 + rng() % 9);
    const Pixels src = testing::random_pixels(rng, static_cast<size_t>(w * h));
    const auto type = static_cast<int32_t>(rng() % 7);
    const auto strength = static_cast<int32_t>(rng() % 21) - 10;
    const Pixels want = edge_reference(w, h, src, type, strength);
    for (bool fast : {false, true}) {
      FastPaths paths(fast);
      EXPECT_EQ(run(kOpEdgeDetect, w, h, src, type, strength), want) << "type " << type << " fast " << fast;
    }
  }
}

// ---- smoothing -----------------------------------------------------------------------------

TEST(Smoothing, KernelWeightsAndBorder) {
  Pixels src(25, argb(0x77, 0, 0, 0));
  src[12] = argb(0x77, 255, 0, 10);
  const Pixels out = run(kOpFilter, 5, 5, src, 0);
  // 819 × 255 >> 12 = 50, 499 × 255 >> 12 = 31, 303 × 255 >> 12 = 18; 819 × 10 >> 12 = 1.
  EXPECT_EQ(out[12], argb(0, 50, 0, 1));
  EXPECT_EQ(out[7], argb(0, 31, 0, 1));
  EXPECT_EQ(out[11], argb(0, 31, 0, 1));
  EXPECT_EQ(out[6], argb(0, 18, 0, 0));
  EXPECT_EQ(out[18], argb(0, 18, 0, 0));
  for (size_t i : {0u, 4u, 5u, 9u, 20u, 24u, 22u}) EXPECT_EQ(out[i], kUnwritten);
  // The kernel sums to 4027: white smooths to 250.
  EXPECT_EQ(run(kOpFilter, 3, 3, Pixels(9, 0xFFFFFFFFu), 0)[4], argb(0, 250, 250, 250));
  EXPECT_EQ(run(kOpFilter, 3, 3, Pixels(9, 0xFFFFFFFFu), 1), Pixels(9, kUnwritten));
}

// ---- sharpening ------------------------------------------------------------------------------

TEST(Sharpen, WeightsByNeighbourCount) {
  // Centre 100 amid 50, strength 200: g = 8192, r = −4096 shared among the neighbours inside.
  const Pixels src = grey_picture(3, 3, {50, 50, 50, 50, 100, 50, 50, 50, 50}, 0x44);
  auto grey = [](uint8_t v) { return argb(0, v, v, v); };
  // Four: centre 8192·100 − 1024·200 → 150; edge k = 3: 8191·50 − 1365·200 → 33; corner k = 2:
  // 8192·50 − 2048·100 → 50.
  EXPECT_EQ(run(kOpSharpen, 3, 3, src, 200, 1),
            Pixels({grey(50), grey(33), grey(50), grey(33), grey(150), grey(33), grey(50), grey(33), grey(50)}));
  // Eight: centre −512 each → 150; corner k = 3 → 33; edge k = 5: 8191·50 − 819·300 → 40.
  EXPECT_EQ(run(kOpSharpen, 3, 3, src, 200, 0),
            Pixels({grey(33), grey(40), grey(33), grey(40), grey(150), grey(40), grey(33), grey(40), grey(33)}));
}

TEST(Sharpen, StrengthLimitsAndNarrowRectangles) {
  std::mt19937 rng(38);
  const Pixels src = testing::random_pixels(rng, 30);
  Pixels plain = src;
  for (uint32_t& p : plain) p &= 0xFFFFFFu;
  EXPECT_EQ(run(kOpSharpen, 6, 5, src, 100, 0), plain);
  EXPECT_EQ(run(kOpSharpen, 6, 5, src, 100, 1), plain);
  EXPECT_EQ(run(kOpSharpen, 6, 5, src, 100, 2), Pixels(30, kUnwritten));
  // A dark pixel amid white at full strength goes negative: 0.
  EXPECT_EQ(run(kOpSharpen, 3, 3, grey_picture(3, 3, {255, 255, 255, 255, 0, 255, 255, 255, 255}), 3000, 0)[4], 0u);
  // One pixel has no neighbours and keeps its colour; a column has two neighbours inside and its ends
  // one, which takes the whole weight at strength 0.
  EXPECT_EQ(run(kOpSharpen, 1, 1, {argb(9, 1, 2, 3)}, 2500, 0), Pixels{argb(0, 1, 2, 3)});
  EXPECT_EQ(run(kOpSharpen, 1, 3, grey_picture(1, 3, {10, 20, 40}), 0, 1),
            grey_picture(1, 3, {20, 25, 20}));
  EXPECT_EQ(run(kOpSharpen, 3, 1, grey_picture(3, 1, {10, 20, 40}), 0, 0),
            grey_picture(3, 1, {20, 25, 20}));
}

TEST(Sharpen, FastPathMatchesPlainPath) {
  std::mt19937 rng(3838);
  for (int round = 0; round < 30; ++round) {
    const auto w = static_cast<int32_t>(1 + rng() % 11), h = static_cast<int32_t>(1 + rng() % 7);
    const Pixels src = testing::random_pixels(rng, static_cast<size_t>(w * h));
    const auto strength = static_cast<int32_t>(rng() % 3001);
    const auto kind = static_cast<int32_t>(rng() % 2);
    Pixels plain;
    {
      FastPaths off(false);
      plain = run(kOpSharpen, w, h, src, strength, kind);
    }
    EXPECT_EQ(run(kOpSharpen, w, h, src, strength, kind), plain) << w << "x" << h << " strength " << strength;
  }
}

// The neighbourhood filters read a copy when they write the surface they read.
TEST(NeighbourhoodFilters, InPlaceEqualsSeparate) {
  std::mt19937 rng(99);
  const Pixels src = testing::random_pixels(rng, 8 * 6);
  for (auto [op, p1, p2] : {std::tuple{kOpEdgeDetect, 3, 4}, std::tuple{kOpFilter, 0, 0}, std::tuple{kOpSharpen, 700, 0}}) {
    SurfaceTable t(1);
    put(t, 1, 8, 6, src);
    blit(t, 1, 1, op, {.width = 8, .height = 6, .param1 = p1, .param2 = p2});
    Pixels want = run(op, 8, 6, src, p1, p2);
    for (size_t i = 0; i < want.size(); ++i) {
      if (want[i] == kUnwritten) want[i] = src[i];
    }
    EXPECT_EQ(get(t, 1), want) << "op " << op;
  }
}

// ---- mosaic ----------------------------------------------------------------------------------

TEST(Mosaic, FullBlocksTakeTheirCentrePartialBlocksTheirCorner) {
  const Pixels src = testing::numbered(5, 3);
  EXPECT_EQ(run(kOpMosaic, 5, 3, src, 1), src);
  const Pixels out = run(kOpMosaic, 5, 3, src, 2);
  auto at = [&](int32_t x, int32_t y) { return src[static_cast<size_t>(y * 5 + x)]; };
  const Pixels want{at(1, 1), at(1, 1), at(3, 1), at(3, 1), at(4, 0),  //
                    at(1, 1), at(1, 1), at(3, 1), at(3, 1), at(4, 0),  //
                    at(0, 2), at(0, 2), at(2, 2), at(2, 2), at(4, 2)};
  EXPECT_EQ(out, want);
  // A block larger than the picture is one partial block.
  EXPECT_EQ(run(kOpMosaic, 5, 3, src, 100), Pixels(15, at(0, 0)));
}

// ---- blur ------------------------------------------------------------------------------------

TEST(Blur, FullSizeCopiesColoursAndSourceAlpha) {
  const Pixels src = testing::numbered(6, 4);
  SurfaceTable t(5);
  put(t, 1, 6, 4, src);
  put(t, 2, 6, 4, {}, 0x11223344u);
  blit(t, 2, 1, kOpBlur, {.width = 6, .height = 4, .param1 = 100, .param2 = 3});
  EXPECT_EQ(get(t, 2), src);
  EXPECT_EQ(surface_find(t, kKeyBlurTemporary), nullptr);
}

TEST(Blur, UniformStaysUniformAndTinyReductionsHoldOnePixel) {
  Pixels src(40, argb(0, 30, 60, 90));
  for (size_t i = 0; i < src.size(); ++i) src[i] |= static_cast<uint32_t>(i) << 24;
  for (int32_t percent : {50, 13}) {
    EXPECT_EQ(run(kOpBlur, 8, 5, src, percent, 2), src) << percent;
  }
  // 8 × 5 at 5 % is 0 × 0: held to 1 × 1, the picture becomes its first pixel's colour.
  Pixels varied = testing::numbered(8, 5);
  const Pixels out = run(kOpBlur, 8, 5, varied, 5, 0);
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i], (varied[0] & 0xFFFFFFu) | (varied[i] & 0xFF000000u)) << i;
  }
  EXPECT_EQ(run(kOpBlur, 8, 5, varied, 0, 0), out);
}

// 50 % on a 4 × 2 picture: down to 2 × 1 (columns 0 and 2 of row 0, no fraction), back up with the
// right band (last two columns) and the bottom band (the one row) by nearest neighbour / across.
TEST(Blur, HalfSizeHandComputed) {
  const Pixels src = grey_picture(4, 2, {0, 100, 200, 40, 7, 7, 7, 7}, 0x10);
  // Up 2 → 4: step 2048; columns 0, 1 interpolate across with f 0 and 128: 0, 100; columns 2, 3
  // are the right band: 200.
  EXPECT_EQ(run(kOpBlur, 4, 2, src, 50, 0), grey_picture(4, 2, {0, 100, 200, 200, 0, 100, 200, 200}, 0x10));
}

}  // namespace
}  // namespace tesmo
