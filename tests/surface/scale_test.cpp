// Scaled copies: the filter choice, nearest neighbour, bilinear with its edge bands, the radial
// bicubic and Lanczos filters, and the fast paths against the reference paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::FastPaths;
using testing::get;
using testing::numbered;
using testing::Pixels;
using testing::put;

constexpr uint32_t kGrey = 0xFF808080u;

// A source picture and the rectangle to scale from it.
struct Source {
  int32_t width, height;
  Pixels px;
  int32_t sx, sy, sw, sh;

  uint32_t at(int32_t x, int32_t y) const { return px[static_cast<size_t>(y) * width + x]; }
};

uint32_t byte_of(uint32_t p, int ch) { return (p >> (8 * ch)) & 255u; }

// ---- the filters written out from their definitions, one pixel at a time -----------------------

Pixels nearest_formula(const Source& s, int32_t dw, int32_t dh) {
  const uint32_t step_x = static_cast<uint32_t>(s.sw) * 4096u / static_cast<uint32_t>(dw);
  const uint32_t step_y = static_cast<uint32_t>(s.sh) * 4096u / static_cast<uint32_t>(dh);
  Pixels out;
  for (uint32_t i = 0; i < static_cast<uint32_t>(dh); ++i) {
    for (uint32_t j = 0; j < static_cast<uint32_t>(dw); ++j) {
      out.push_back(s.at(s.sx + static_cast<int32_t>(j * step_x >> 12), s.sy + static_cast<int32_t>(i * step_y >> 12)));
    }
  }
  return out;
}

// Bilinear as a plain model: the documented sampling geometry (12-bit positions, the edge bands)
// with exact real-valued interpolation. The scaler quantises the fractions (4 bits inside, 8 in the
// bottom band) and truncates; with weight errors summing to at most 1/4, each byte lies within a
// quarter of its neighbours' spread, plus one for the truncation, of the model's value.
struct Modelled {
  double value[4];
  int32_t tolerance[4];
};

std::vector<Modelled> bilinear_model(const Source& s, int32_t dw, int32_t dh) {
  const uint32_t step_x = static_cast<uint32_t>(s.sw) * 4096u / static_cast<uint32_t>(dw);
  const uint32_t step_y = static_cast<uint32_t>(s.sh) * 4096u / static_cast<uint32_t>(dh);
  const bool at_right = s.sx + s.sw >= s.width, at_bottom = s.sy + s.sh >= s.height;
  const int32_t band_x = at_right ? static_cast<int32_t>(static_cast<float>(dw) / static_cast<float>(s.sw)) : 0;
  const int32_t band_y = at_bottom ? static_cast<int32_t>(static_cast<float>(dh) / static_cast<float>(s.sh)) : 0;
  std::vector<Modelled> out;
  for (int32_t i = 0; i < dh; ++i) {
    const uint32_t v = static_cast<uint32_t>(i) * step_y;
    for (int32_t j = 0; j < dw; ++j) {
      const uint32_t u = static_cast<uint32_t>(j) * step_x;
      const int32_t c = s.sx + static_cast<int32_t>(u >> 12), r = s.sy + static_cast<int32_t>(v >> 12);
      // In a band the neighbour across it is not used: its weight is zero.
      const double fx = j >= dw - band_x ? 0 : (u & 4095) / 4096.0, fy = i >= dh - band_y ? 0 : (v & 4095) / 4096.0;
      const int32_t c1 = fx > 0 ? c + 1 : c, r1 = fy > 0 ? r + 1 : r;
      Modelled m{};
      for (int ch = 0; ch < 4; ++ch) {
        const double p[4] = {double(byte_of(s.at(c, r), ch)), double(byte_of(s.at(c1, r), ch)),
                             double(byte_of(s.at(c, r1), ch)), double(byte_of(s.at(c1, r1), ch))};
        m.value[ch] = (1 - fx) * (1 - fy) * p[0] + fx * (1 - fy) * p[1] + (1 - fx) * fy * p[2] + fx * fy * p[3];
        const double spread = *std::max_element(p, p + 4) - *std::min_element(p, p + 4);
        m.tolerance[ch] = static_cast<int32_t>(spread / 4) + 1;
      }
      out.push_back(m);
    }
  }
  return out;
}

void expect_bilinear(const Source& s, int32_t dw, int32_t dh, const Pixels& got) {
  const std::vector<Modelled> model = bilinear_model(s, dw, dh);
  ASSERT_EQ(got.size(), model.size());
  for (size_t k = 0; k < got.size(); ++k) {
    for (int ch = 0; ch < 4; ++ch) {
      ASSERT_NEAR(byte_of(got[k], ch), model[k].value[ch], model[k].tolerance[ch]) << "pixel " << k << " byte " << ch;
    }
  }
}

enum class Radial { kBicubic, kLanczos2, kLanczos3 };

// The weight of a tap at distance d; `inside` false when the kernel skips it.
int32_t radial_weight(Radial k, double d, bool& inside) {
  inside = true;
  if (k == Radial::kBicubic) {
    if (d <= 1) return static_cast<int32_t>((1.25 * d * d * d - 2.25 * d * d + 1) * 4096);
    if (d <= 2) return static_cast<int32_t>((-0.75 * d * d * d + 3.75 * d * d - 6 * d + 3) * 4096);
    inside = false;
    return 0;
  }
  const double n = k == Radial::kLanczos2 ? 2 : 3;
  if (d > n) {
    inside = false;
    return 0;
  }
  if (d == 0) return 4096;
  const double pi = std::numbers::pi;
  return static_cast<int32_t>((4096 * std::sin(pi * d) / (pi * d)) * (std::sin(pi * d / n) / (pi * d / n)));
}

// Unclamped quotients land in `raw` (B, G, R, A per pixel) when given.
Pixels radial_formula(const Source& s, int32_t dw, int32_t dh, Radial k, std::vector<int32_t>* raw = nullptr) {
  const int32_t lo = k == Radial::kLanczos3 ? -2 : -1, hi = k == Radial::kLanczos3 ? 3 : 2;
  Pixels out;
  for (int32_t i = 0; i < dh; ++i) {
    for (int32_t j = 0; j < dw; ++j) {
      const double x = static_cast<double>(j) / dw * s.sw, y = static_cast<double>(i) / dh * s.sh;
      const auto fx = static_cast<int32_t>(x), fy = static_cast<int32_t>(y);
      int32_t sum = 0, acc[4] = {0, 0, 0, 0};
      for (int32_t r = fy + lo; r <= fy + hi; ++r) {
        for (int32_t c = fx + lo; c <= fx + hi; ++c) {
          if (r < 0 || c < 0 || s.sx + c >= s.width || s.sy + r >= s.height) continue;
          bool inside = false;
          const int32_t w = radial_weight(k, std::sqrt((c - x) * (c - x) + (r - y) * (r - y)), inside);
          if (!inside) continue;
          sum += w;
          for (int ch = 0; ch < 4; ++ch) acc[ch] += w * static_cast<int32_t>(byte_of(s.at(s.sx + c, s.sy + r), ch));
        }
      }
      uint32_t pixel = 0;
      for (int ch = 0; ch < 4 && sum != 0; ++ch) {
        if (raw) raw->push_back(acc[ch] / sum);
        pixel |= static_cast<uint32_t>(std::clamp(acc[ch] / sum, 0, 255)) << (8 * ch);
      }
      out.push_back(pixel);
    }
  }
  return out;
}

Pixels formula(const Source& s, int32_t dw, int32_t dh, int32_t flags) {
  if (flags & kScaleBicubic) return radial_formula(s, dw, dh, Radial::kBicubic);
  if (flags & kScaleLanczos2) return radial_formula(s, dw, dh, Radial::kLanczos2);
  if (flags & kScaleLanczos3) return radial_formula(s, dw, dh, Radial::kLanczos3);
  return nearest_formula(s, dw, dh);
}

// OpScale from the source rectangle into a dw × dh destination of its own size.
Pixels scaled(const Source& s, int32_t dw, int32_t dh, int32_t flags, bool fast = true) {
  FastPaths paths(fast);
  SurfaceTable t(1);
  put(t, 1, s.width, s.height, s.px);
  put(t, 0, dw, dh, {}, kGrey);
  blit(t, 0, 1, kOpScale,
       {.src_x = s.sx, .src_y = s.sy, .width = s.sw, .height = s.sh, .param1 = dw, .param2 = dh, .param4 = flags});
  return get(t, 0);
}

Source whole(int32_t w, int32_t h, Pixels px) { return {w, h, std::move(px), 0, 0, w, h}; }

constexpr int32_t kAllFilters[] = {kScaleNearest, kScaleBilinear, kScaleBicubic, kScaleLanczos2, kScaleLanczos3};

// ---- tests -------------------------------------------------------------------------------------

TEST(OpScale, PicksTheFirstFilterFlagAndNearestForEverythingElse) {
  std::mt19937 rng(5);
  const Source s{9, 7, testing::random_pixels(rng, 63), 1, 2, 6, 5};
  struct Case {
    int32_t flags, same_as;
    const char* what;
  };
  const Case cases[] = {
      {kScaleTypeF, kScaleNearest, "Type F scales as Type A"},
      {kScaleTypeF | kScaleCentre | kScaleKeepAspect, kScaleNearest, "with the clipping flags"},
      {0x200, kScaleNearest, "an unknown flag"},
      {kScaleBilinear | kScaleBicubic | kScaleLanczos3, kScaleBilinear, "bilinear before the others"},
      {kScaleBicubic | kScaleLanczos2, kScaleBicubic, "bicubic before Lanczos"},
      {kScaleLanczos2 | kScaleLanczos3 | kScaleTypeF, kScaleLanczos2, "Lanczos-2 before Lanczos-3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(scaled(s, 13, 4, c.flags), scaled(s, 13, 4, c.same_as));
  }
}

TEST(OpScale, AZeroDestinationSizeWritesNothing) {
  SurfaceTable t(1);
  put(t, 1, 2, 2, numbered(2, 2));
  Surface& d = put(t, 0, 2, 2, {}, kGrey);
  for (int32_t flags : kAllFilters) {
    OpScale({&t, &d, surface_find(t, 1), {.width = 2, .height = 2, .op = kOpScale, .param2 = 2, .param4 = flags}});
    OpScale({&t, &d, surface_find(t, 1), {.width = 2, .height = 2, .op = kOpScale, .param1 = 2, .param4 = flags}});
  }
  EXPECT_EQ(get(t, 0), Pixels(4, kGrey));
}

TEST(OpScale, NearestTakesTheCellsLeftAndTopEdge) {
  struct Case {
    Pixels src;
    int32_t dw;
    Pixels want;
    const char* what;
  };
  const Case cases[] = {
      {{10, 11, 12, 13}, 2, {10, 12}, "4 → 2 takes columns 0 and 2"},
      {{10, 11}, 5, {10, 10, 10, 11, 11}, "2 → 5: steps of 1638 / 4096"},
      {{10, 11, 12}, 3, {10, 11, 12}, "100 %"},
      {{10, 11, 12, 13, 14, 15, 16}, 3, {10, 12, 14}, "7 → 3: step 9557 / 4096"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto w = static_cast<int32_t>(c.src.size());
    EXPECT_EQ(scaled(whole(w, 1, c.src), c.dw, 1, kScaleNearest), c.want);
    EXPECT_EQ(scaled(whole(w, 1, c.src), c.dw, 1, kScaleNearest, false), c.want);
  }
}

TEST(OpScaleBilinear, EdgeBandsOfTinySources) {
  const uint32_t p0 = 0xFF0000FFu, p1 = 0x01FF2000u;
  // 2 × 1 → 4 × 1: the whole row is bottom band; columns 2 and 3 are the right band (4 / 2).
  // Column 1 mixes with fraction 128 / 256: (255·128) >> 8 = 127, (32·128) >> 8 = 16, …
  EXPECT_EQ(scaled(whole(2, 1, {p0, p1}), 4, 1, kScaleBilinear), (Pixels{p0, 0x807F107Fu, p1, p1}));
  // 1 × 1 → 7 × 5: every pixel lies in both bands.
  EXPECT_EQ(scaled(whole(1, 1, {0x12345678u}), 7, 5, kScaleBilinear), Pixels(35, 0x12345678u));
  // 1 × 2 → 1 × 10: row 1 lies in the right band with fy = (819 >> 8) & 15 = 3:
  // 200 + ((16·3·(0 − 200)) >> 8) = 200 + (−9600 >> 8) = 200 − 38 = 162 (the shift rounds down).
  const Pixels column = scaled(whole(1, 2, {0xC8C8C8C8u, 0}), 1, 10, kScaleBilinear);
  EXPECT_EQ(column[0], 0xC8C8C8C8u);
  EXPECT_EQ(column[1], 0xA2A2A2A2u);
  expect_bilinear(whole(1, 2, {0xC8C8C8C8u, 0}), 1, 10, column);
}

TEST(OpScaleBilinear, InteriorUsesFourBitWeightsAndNoBandsAwayFromTheEdge) {
  // The rectangle (0, 0, 2, 2) of a 4 × 4 picture ends before the picture does: no bands. At
  // destination (1, 1) both fractions are 8: each neighbour weighs 64, (64 · (10 + 20 + 30 + 41)) >> 8 = 25.
  Pixels px(16, 0);
  px[0] = 10;
  px[1] = 20;
  px[4] = 30;
  px[5] = 41;
  const Source s{4, 4, px, 0, 0, 2, 2};
  const Pixels out = scaled(s, 4, 4, kScaleBilinear);
  EXPECT_EQ(out[5], 25u);
  expect_bilinear(s, 4, 4, out);
}

TEST(Scaling, EveryFilterFollowsItsDefinition) {
  std::mt19937 rng(11);
  struct Case {
    int32_t width, height, sx, sy, sw, sh, dw, dh;
    const char* what;
  };
  const Case cases[] = {
      {8, 6, 0, 0, 8, 6, 19, 13, "up, whole picture"},
      {8, 6, 0, 0, 8, 6, 3, 2, "down, whole picture"},
      {9, 9, 2, 3, 4, 4, 11, 7, "inner rectangle"},
      {9, 9, 5, 5, 4, 4, 6, 6, "rectangle at the bottom-right corner"},
      {7, 5, 0, 0, 7, 5, 7, 5, "100 %"},
      {1, 1, 0, 0, 1, 1, 5, 3, "one pixel"},
      {22, 2, 0, 0, 22, 2, 22, 3, "a position rounded just below a whole number"},
      {12, 10, 1, 1, 10, 8, 4, 17, "down across, up down"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Source s{c.width, c.height, testing::random_pixels(rng, static_cast<size_t>(c.width) * c.height),
                   c.sx, c.sy, c.sw, c.sh};
    for (int32_t flags : kAllFilters) {
      SCOPED_TRACE(flags);
      if (flags == kScaleBilinear) continue;
      EXPECT_EQ(scaled(s, c.dw, c.dh, flags), formula(s, c.dw, c.dh, flags));
    }
    // Bilinear on the random picture and on a gentle gradient, where the model's margin is a few
    // levels and a misplaced neighbour or weight shows.
    expect_bilinear(s, c.dw, c.dh, scaled(s, c.dw, c.dh, kScaleBilinear));
    Source smooth = s;
    for (int32_t y = 0; y < s.height; ++y) {
      for (int32_t x = 0; x < s.width; ++x) {
        uint32_t p = 0;
        for (int ch = 0; ch < 4; ++ch) p |= static_cast<uint32_t>(std::min(255, 9 * x + 5 * y + 20 * ch)) << (8 * ch);
        smooth.px[static_cast<size_t>(y) * s.width + x] = p;
      }
    }
    expect_bilinear(smooth, c.dw, c.dh, scaled(smooth, c.dw, c.dh, kScaleBilinear));
  }
}

TEST(Scaling, AFlatPictureStaysFlat) {
  // Every window's weighted sum is its weight sum times the colour: each quotient is exact.
  const Source s = whole(40, 30, Pixels(1200, 0x80C0FF10u));
  for (int32_t flags : kAllFilters) {
    SCOPED_TRACE(flags);
    EXPECT_EQ(scaled(s, 97, 61, flags), Pixels(97 * 61, 0x80C0FF10u));
    EXPECT_EQ(scaled(s, 13, 7, flags), Pixels(13 * 7, 0x80C0FF10u));
  }
}

TEST(OpScaleBicubic, NegativeWeightsOvershootAndAreClamped) {
  // A hard edge, enlarged: the negative lobes push sums past 0–255 on both sides of it.
  Pixels px;
  for (int x = 0; x < 8; ++x) px.push_back(x < 4 ? 0x10101010u : 0xF0F0F0F0u);
  const Source s = whole(8, 1, px);
  std::vector<int32_t> raw;
  const Pixels want = radial_formula(s, 29, 1, Radial::kBicubic, &raw);
  EXPECT_LT(*std::min_element(raw.begin(), raw.end()), 0);
  EXPECT_GT(*std::max_element(raw.begin(), raw.end()), 255);
  const Pixels got = scaled(s, 29, 1, kScaleBicubic);
  EXPECT_EQ(got, want);
  EXPECT_NE(std::find(got.begin(), got.end(), 0u), got.end());
  EXPECT_NE(std::find(got.begin(), got.end(), 0xFFFFFFFFu), got.end());
}

TEST(OpScaleBicubic, AWindowWhoseWeightsSumToZeroGivesZero) {
  // One source pixel, 99 × 99: at (70, 70) the only tap lies at d = 0.99995, weight
  // truncate(4096 · K(d)) = truncate(0.157) = 0, so the sum is 0; at (70, 0) d = 0.707.
  const Pixels out = scaled(whole(1, 1, {0x11223344u}), 99, 99, kScaleBicubic);
  EXPECT_EQ(out[70 * 99 + 70], 0u);
  EXPECT_EQ(out[70], 0x11223344u);
  EXPECT_EQ(out[0], 0x11223344u);
}

TEST(Scaling, FastPathsGiveTheReferencePixelsOnRandomInputs) {
  std::mt19937 rng(2024);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  for (int round = 0; round < 60; ++round) {
    const int32_t w = pick(1, 24), h = pick(1, 24);
    const int32_t sx = pick(0, w - 1), sy = pick(0, h - 1);
    // Half the rectangles reach the picture's right or bottom edge, where the bands start.
    const int32_t sw = pick(0, 1) ? w - sx : pick(1, w - sx), sh = pick(0, 1) ? h - sy : pick(1, h - sy);
    const Source s{w, h, testing::random_pixels(rng, static_cast<size_t>(w) * h), sx, sy, sw, sh};
    const int32_t dw = pick(1, 50), dh = pick(1, 50);
    for (int32_t flags : kAllFilters) {
      SCOPED_TRACE(::testing::Message() << w << "x" << h << " (" << sx << "," << sy << "," << sw << "," << sh
                                        << ") -> " << dw << "x" << dh << " flags " << flags);
      ASSERT_EQ(scaled(s, dw, dh, flags, true), scaled(s, dw, dh, flags, false));
    }
  }
}

TEST(Scaling, FastPathsGiveTheReferencePixelsForViewerSizes) {
  // Ratios with many fractions and positions rounded across whole numbers (22 → 22, 23 → 46).
  std::mt19937 rng(7);
  struct Case {
    int32_t sw, sh, dw, dh;
  };
  const Case cases[] = {{100, 30, 192, 58}, {250, 8, 480, 15}, {22, 23, 22, 46}, {49, 26, 98, 52}, {300, 5, 144, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh);
    const Source s = whole(c.sw, c.sh, testing::random_pixels(rng, static_cast<size_t>(c.sw) * c.sh));
    for (int32_t flags : kAllFilters) ASSERT_EQ(scaled(s, c.dw, c.dh, flags, true), scaled(s, c.dw, c.dh, flags, false));
  }
}

}  // namespace
}  // namespace tesmo
