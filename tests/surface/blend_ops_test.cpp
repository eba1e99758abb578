// The blends and the tint, on small pictures with hand-computed results, and against the formulas
// written out here with floating-point floor division.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::argb;
using testing::get;
using testing::Pixels;
using testing::put;

// Source key 1, destination key 2, both 1 × n.
Pixels blend(uint32_t op, const Pixels& src, const Pixels& dst, int32_t p1, int32_t p2 = 0, int32_t p3 = 0,
             int32_t p4 = 0) {
  SurfaceTable t(7);
  const int32_t n = static_cast<int32_t>(src.size());
  put(t, 1, n, 1, src);
  put(t, 2, n, 1, dst);
  blit(t, 2, 1, op, {.width = n, .height = 1, .param1 = p1, .param2 = p2, .param3 = p3, .param4 = p4});
  return get(t, 2);
}

struct Case {
  const char* what;
  uint32_t op;
  int32_t p1, p2, p3, p4;
  uint32_t src, dst, want;
};

TEST(Blends, HandComputedPixels) {
  const uint32_t s = argb(128, 200, 10, 0), d = argb(0x11, 100, 110, 255);
  const Case cases[] = {
      // S(127, −100) = floor(−49.6) = −50; S(127, 100) = 49; S(127, 255) = 126.
      {"alpha blend, half alpha, alpha 0", kOpAlphaBlend, 0, 0, 0, 0, s, d, argb(0, 150, 59, 126)},
      {"alpha blend keeps destination alpha", kOpAlphaBlend, 0, 1, 0, 0, s, d, argb(0x11, 150, 59, 126)},
      {"alpha blend ors the alphas", kOpAlphaBlend, 0, 2, 0, 0, s, d, argb(0x91, 150, 59, 126)},
      {"alpha blend, any other mode ors", kOpAlphaBlend, 0, 7, 0, 0, s, d, argb(0x91, 150, 59, 126)},
      // α 0: s + floor(255 (d − s) / 256), one step short of d when d > s.
      {"alpha blend, offset −255", kOpAlphaBlend, -255, 0, 0, 0, s, d, argb(0, 100, 109, 254)},
      {"alpha blend, offset −1000 as −255", kOpAlphaBlend, -1000, 0, 0, 0, s, d, argb(0, 100, 109, 254)},
      {"alpha blend, offset 255 gives the source", kOpAlphaBlend, 255, 0, 0, 0, s, d, argb(0, 200, 10, 0)},
      {"alpha blend, offset 1000 as 255", kOpAlphaBlend, 1000, 0, 0, 0, s, d, argb(0, 200, 10, 0)},
      {"alpha blend, opaque source", kOpAlphaBlend, 0, 1, 0, 0, argb(255, 1, 2, 3), d, argb(0x11, 1, 2, 3)},
      {"translucent: source, destination, half", kOpTranslucent, 0, 256, 128, 0, argb(9, 30, 40, 0),
       argb(8, 60, 70, 255), argb(0, 30, 70, 127)},
      {"translucent 0 copies the colours, clears alpha", kOpTranslucent, 0, 0, 0, 0, argb(9, 1, 2, 3),
       argb(8, 4, 5, 6), argb(0, 1, 2, 3)},
      {"translucent 256 keeps the colours, clears alpha", kOpTranslucent, 256, 256, 256, 0, argb(9, 1, 2, 3),
       argb(8, 4, 5, 6), argb(0, 4, 5, 6)},
      // S(1, −255) = floor(−0.996) = −1.
      {"translucent rounds towards minus infinity", kOpTranslucent, 1, 1, 1, 0, argb(0, 255, 255, 0),
       argb(0, 0, 255, 255), argb(0, 254, 255, 0)},
      {"add: once, twice, not at all; keeps A", kOpAddTranslucent, 0, 256, -256, 0, argb(1, 100, 100, 100),
       argb(0x33, 100, 60, 7), argb(0x33, 200, 255, 7)},
      {"subtract: once, half, twice; floor 0", kOpSubtractTranslucent, 0, -128, 256, 0, argb(1, 30, 101, 125),
       argb(0x33, 100, 60, 250), argb(0, 70, 10, 0)},
      {"subtract below zero stops at 0", kOpSubtractTranslucent, 256, 256, 256, 0, argb(1, 126, 0, 1),
       argb(0x33, 251, 0, 2), argb(0, 0, 0, 0)},
      // k = ((p + 256) × 128) >> 8 = 128, 256, 0.
      {"alpha add by half alpha; keeps A", kOpAlphaAdd, 0, 256, -256, 0, argb(128, 100, 100, 100),
       argb(0x44, 100, 200, 9), argb(0x44, 150, 255, 9)},
      {"alpha add, transparent source adds nothing", kOpAlphaAdd, 256, 256, 256, 0, argb(0, 255, 255, 255),
       argb(0x44, 1, 2, 3), argb(0x44, 1, 2, 3)},
      {"alpha subtract by half alpha; alpha 0", kOpAlphaSubtract, 0, 256, -256, 0, argb(128, 100, 100, 100),
       argb(0x44, 100, 90, 9), argb(0, 50, 0, 9)},
      {"alpha copy, alpha 1 copies", kOpAlphaCopy, 0, 0, 0, 0, argb(1, 5, 6, 7), argb(9, 1, 2, 3), argb(1, 5, 6, 7)},
      {"alpha copy, alpha 0 leaves", kOpAlphaCopy, 0, 0, 0, 0, argb(0, 5, 6, 7), argb(9, 1, 2, 3), argb(9, 1, 2, 3)},
      {"alpha copy, offset −10 leaves alpha 10", kOpAlphaCopy, -10, 0, 0, 0, argb(10, 5, 6, 7), argb(9, 1, 2, 3),
       argb(9, 1, 2, 3)},
      {"alpha copy, offset −10 copies alpha 11", kOpAlphaCopy, -10, 0, 0, 0, argb(11, 5, 6, 7), argb(9, 1, 2, 3),
       argb(11, 5, 6, 7)},
      {"alpha copy, offset 1 copies alpha 0", kOpAlphaCopy, 1, 0, 0, 0, argb(0, 5, 6, 7), argb(9, 1, 2, 3),
       argb(0, 5, 6, 7)},
      {"alpha inverse, opaque: the inverted source", kOpAlphaInverse, 0, 1, 0, 0, argb(255, 200, 10, 0),
       argb(0x11, 1, 2, 3), argb(0x11, 55, 245, 255)},
      // Inverted 55, 245, 255 over 100, 110, 255 at α 128: 55 + 22, 245 − 67, 255 + 0.
      {"alpha inverse, half alpha, alpha 0", kOpAlphaInverse, 0, 0, 0, 0, s, d, argb(0, 77, 178, 255)},
      {"alpha inverse ors the alphas", kOpAlphaInverse, 0, 2, 0, 0, s, d, argb(0x91, 77, 178, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(blend(static_cast<uint32_t>(c.op), {c.src}, {c.dst}, c.p1, c.p2, c.p3, c.p4), Pixels{c.want});
  }
}

TEST(OpTint, PullsTheDestinationTowardsTheColourWithoutASource) {
  struct TintCase {
    const char* what;
    int32_t keep;
    uint32_t before, after;
  };
  const TintCase cases[] = {
      // 204 + floor(128 × −104 / 256) = 152; 255 + floor(−27.5) = 227; 204 + floor(−77) = 127.
      {"half towards the colour", 128, argb(77, 100, 200, 50), argb(0, 152, 227, 127)},
      {"256 keeps the colours, clears alpha", 256, argb(77, 100, 200, 50), argb(0, 100, 200, 50)},
      {"0 paints the colour", 0, argb(77, 100, 200, 50), argb(0, 204, 255, 204)},
      {"1 rounds towards minus infinity", 1, argb(255, 0, 0, 0), argb(0, 203, 254, 203)},
      {"beyond 256 as 256", 999, argb(77, 100, 200, 50), argb(0, 100, 200, 50)},
  };
  for (const TintCase& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    put(t, 1, 3, 2, {}, c.before);
    // The source key does not exist: the tint never reads one. Only the 2 × 1 rectangle at (1, 1).
    blit(t, 1, 42, kOpTint,
         {.dst_x = 1, .dst_y = 1, .width = 2, .height = 1, .param1 = 204, .param2 = 255, .param3 = 204,
          .param4 = c.keep});
    EXPECT_EQ(get(t, 1), (Pixels{c.before, c.before, c.before, c.before, c.after, c.after}));
  }
}

TEST(OpTint, ClippedToTheClipRectangle) {
  SurfaceTable t(1);
  put(t, 0, 2, 2, {}, argb(9, 0, 0, 0));
  t.clip = {0, 0, 2, 2};
  blit(t, 0, 0, kOpTint | kOpClipFlag,
       {.dst_x = -1, .dst_y = 1, .width = 5, .height = 5, .param1 = 255, .param2 = 255, .param3 = 255});
  EXPECT_EQ(get(t, 0), (Pixels{argb(9, 0, 0, 0), argb(9, 0, 0, 0), 0x00FFFFFFu, 0x00FFFFFFu}));
}

// ---- the formulas, written out with floor division on doubles -----------------------------------

int floor_div256(int64_t x) { return static_cast<int>(std::floor(static_cast<double>(x) / 256.0)); }
int mix_formula(int s, int d, int alpha) { return s + floor_div256(int64_t{255 - alpha} * (d - s)); }
int ch(uint32_t p, int k) { return static_cast<int>((p >> (8 * k)) & 255u); }

uint32_t alpha_blend_formula(uint32_t s, uint32_t d, int offset, int mode, bool invert) {
  const int alpha = std::clamp(offset + ch(s, 3), 0, 255);
  uint32_t out = mode == 0 ? 0u : (mode == 1 ? d & 0xFF000000u : (s | d) & 0xFF000000u);
  for (int k = 0; k < 3; ++k) {
    const int sc = invert ? 255 - ch(s, k) : ch(s, k);
    out |= static_cast<uint32_t>(mix_formula(sc, ch(d, k), alpha)) << (8 * k);
  }
  return out;
}

TEST(Blends, AlphaBlendAndInverseFollowTheFormulaOnRandomPixels) {
  std::mt19937 rng(40);
  const Pixels src = testing::random_pixels(rng, 512), dst = testing::random_pixels(rng, 512);
  for (int offset : {-256, -255, -100, -1, 0, 1, 37, 255, 300}) {
    for (int mode : {0, 1, 2}) {
      SCOPED_TRACE(::testing::Message() << "offset " << offset << " mode " << mode);
      for (bool invert : {false, true}) {
        Pixels want;
        for (size_t i = 0; i < src.size(); ++i) want.push_back(alpha_blend_formula(src[i], dst[i], offset, mode, invert));
        EXPECT_EQ(blend(invert ? kOpAlphaInverse : kOpAlphaBlend, src, dst, offset, mode), want);
      }
    }
  }
}

TEST(Blends, WeightedBlendsFollowTheFormulaOnRandomPixels) {
  std::mt19937 rng(41);
  const Pixels src = testing::random_pixels(rng, 300), dst = testing::random_pixels(rng, 300);
  const int weights[][3] = {{-256, 0, 256}, {-1, 1, 77}, {128, -128, 255}, {256, 256, 256}};
  for (const auto& w : weights) {
    SCOPED_TRACE(::testing::Message() << w[0] << " " << w[1] << " " << w[2]);
    Pixels translucent, add, sub, alpha_add, alpha_sub;
    for (size_t i = 0; i < src.size(); ++i) {
      const uint32_t s = src[i], d = dst[i];
      uint32_t tr = 0, ad = d & 0xFF000000u, sb = 0, aa = d & 0xFF000000u, as = 0;
      for (int k = 0; k < 3; ++k) {
        const int p = w[2 - k];  // parameters are red, green, blue; byte k is blue, green, red
        const int sc = ch(s, k), dc = ch(d, k);
        const int t = std::clamp(p, 0, 256);
        tr |= static_cast<uint32_t>(sc + floor_div256(int64_t{t} * (dc - sc))) << (8 * k);
        ad |= static_cast<uint32_t>(std::min(255, dc + (p + 256) * sc / 256)) << (8 * k);
        sb |= static_cast<uint32_t>(std::max(0, dc - (p + 256) * sc / 256)) << (8 * k);
        const int kc = (p + 256) * ch(s, 3) / 256;
        aa |= static_cast<uint32_t>(std::min(255, dc + kc * sc / 256)) << (8 * k);
        as |= static_cast<uint32_t>(std::max(0, dc - kc * sc / 256)) << (8 * k);
      }
      translucent.push_back(tr);
      add.push_back(ad);
      sub.push_back(sb);
      alpha_add.push_back(aa);
      alpha_sub.push_back(as);
    }
    EXPECT_EQ(blend(kOpTranslucent, src, dst, w[0], w[1], w[2]), translucent);
    EXPECT_EQ(blend(kOpAddTranslucent, src, dst, w[0], w[1], w[2]), add);
    EXPECT_EQ(blend(kOpSubtractTranslucent, src, dst, w[0], w[1], w[2]), sub);
    EXPECT_EQ(blend(kOpAlphaAdd, src, dst, w[0], w[1], w[2]), alpha_add);
    EXPECT_EQ(blend(kOpAlphaSubtract, src, dst, w[0], w[1], w[2]), alpha_sub);
  }
}

TEST(Blends, WorkInPlaceOnOneSurface) {
  // Blending a picture over itself: mix(s, s, α) = s whatever α.
  SurfaceTable t(1);
  const Pixels p{argb(0, 1, 2, 3), argb(128, 250, 5, 77), argb(255, 9, 9, 9)};
  put(t, 1, 3, 1, p);
  blit(t, 1, 1, kOpAlphaBlend, {.width = 3, .height = 1, .param2 = 1});
  EXPECT_EQ(get(t, 1), p);
}

// Parameters far outside their ranges act as the nearest bound does (and never overflow).
TEST(Blends, ParametersBeyondTheirRangesActAsTheBounds) {
  constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
  struct Bound {
    const char* what;
    uint32_t op;
    std::array<int32_t, 4> wild, bound;
  };
  const Bound cases[] = {
      {"translucent", kOpTranslucent, {kMax, kMin, 5, 0}, {256, 0, 5, 0}},
      {"add", kOpAddTranslucent, {kMax, kMin, 5, 0}, {256, -256, 5, 0}},
      {"subtract", kOpSubtractTranslucent, {kMax, kMin, 5, 0}, {256, -256, 5, 0}},
      {"alpha blend up", kOpAlphaBlend, {kMax, 2, 0, 0}, {255, 2, 0, 0}},
      {"alpha blend down", kOpAlphaBlend, {kMin, 2, 0, 0}, {-255, 2, 0, 0}},
      {"alpha add", kOpAlphaAdd, {kMax, kMin, 5, 0}, {256, -256, 5, 0}},
      {"alpha subtract", kOpAlphaSubtract, {kMax, kMin, 5, 0}, {256, -256, 5, 0}},
      {"alpha copy up", kOpAlphaCopy, {kMax, 0, 0, 0}, {255, 0, 0, 0}},
      {"alpha copy down", kOpAlphaCopy, {kMin, 0, 0, 0}, {-255, 0, 0, 0}},
      {"alpha inverse", kOpAlphaInverse, {kMin, 1, 0, 0}, {-255, 1, 0, 0}},
      {"tint", kOpTint, {kMax, kMin, 9, kMax}, {255, 0, 9, 256}},
      {"tint painting", kOpTint, {kMax, kMin, 9, kMin}, {255, 0, 9, 0}},
  };
  std::mt19937 rng(65);
  const Pixels src = testing::random_pixels(rng, 300), dst = testing::random_pixels(rng, 300);
  for (const Bound& c : cases) {
    SCOPED_TRACE(c.what);
    const auto& w = c.wild;
    const auto& b = c.bound;
    EXPECT_EQ(blend(c.op, src, dst, w[0], w[1], w[2], w[3]), blend(c.op, src, dst, b[0], b[1], b[2], b[3]));
  }
}

// Each blend walks its rectangle only: a 2 × 2 blend from (1, 0) of the source to (0, 1) of the
// destination leaves the other destination pixels alone.
TEST(Blends, WalkOnlyTheirRectangle) {
  for (uint32_t op : {kOpTranslucent, kOpAddTranslucent, kOpSubtractTranslucent, kOpAlphaBlend, kOpAlphaAdd,
                      kOpAlphaSubtract, kOpAlphaCopy, kOpAlphaInverse, kOpTint}) {
    SCOPED_TRACE(op);
    SurfaceTable t(1);
    std::mt19937 rng(op);
    const Pixels src = testing::random_pixels(rng, 9), dst = testing::random_pixels(rng, 9);
    put(t, 1, 3, 3, src);
    put(t, 2, 3, 3, dst);
    blit(t, 2, 1, op,
         {.dst_y = 1, .src_x = 1, .width = 2, .height = 2, .param1 = 100, .param2 = 20, .param3 = -30, .param4 = 77});
    const Pixels out = get(t, 2);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        const size_t at = static_cast<size_t>(y * 3 + x);
        const bool inside = x < 2 && y >= 1;
        if (!inside) {
          EXPECT_EQ(out[at], dst[at]) << x << "," << y;
          continue;
        }
        // The same pixel pair blended on its own.
        const size_t from = static_cast<size_t>((y - 1) * 3 + x + 1);
        EXPECT_EQ(out[at], blend(op, {src[from]}, {dst[at]}, 100, 20, -30, 77)[0]) << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace tesmo
