// The colour adjustments, on small pictures with hand-computed results; the curve operations
// against their formulas written out here; the posterize and tone-map table rebuilds.
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

// Runs `op` from source key 1 into destination key 2 (both 1 × n) of `t`.
Pixels apply(SurfaceTable& t, uint32_t op, const Pixels& src, const Pixels& dst, int32_t p1, int32_t p2 = 0,
             int32_t p3 = 0, int32_t p4 = 0) {
  const int32_t n = static_cast<int32_t>(src.size());
  put(t, 1, n, 1, src);
  put(t, 2, n, 1, dst);
  blit(t, 2, 1, op, {.width = n, .height = 1, .param1 = p1, .param2 = p2, .param3 = p3, .param4 = p4});
  return get(t, 2);
}

Pixels apply(uint32_t op, const Pixels& src, const Pixels& dst, int32_t p1, int32_t p2 = 0, int32_t p3 = 0,
             int32_t p4 = 0) {
  SurfaceTable t(3);
  return apply(t, op, src, dst, p1, p2, p3, p4);
}

// Every grey value 0–255 once, with alpha 0x5A.
Pixels greys() {
  Pixels p;
  for (uint32_t v = 0; v < 256; ++v) p.push_back(0x5A000000u | v * 0x010101u);
  return p;
}

int ch(uint32_t p, int k) { return static_cast<int>((p >> (8 * k)) & 255u); }

struct Case {
  const char* what;
  uint32_t op;
  int32_t p1, p2, p3, p4;
  uint32_t src, dst, want;
};

TEST(ColourOps, HandComputedPixels) {
  const uint32_t d = argb(0x0F, 9, 9, 9);
  const Case cases[] = {
      {"brightness +255 turns white, keeps alpha", kOpBrightness, 255, 255, 255, 0, argb(40, 10, 20, 30), d,
       argb(40, 255, 255, 255)},
      {"brightness clamps both ways, alpha too", kOpBrightness, -20, 5, 300, -50, argb(40, 10, 20, 30), d,
       argb(0, 0, 25, 255)},
      {"brightness offset beyond −255", kOpBrightness, -9999, 0, 0, 9999, argb(40, 255, 20, 30), d,
       argb(255, 0, 20, 30)},
      {"contrast 0–255 leaves colours, clears alpha", kOpContrast, 0, 255, 0, 0, argb(40, 10, 128, 255), d,
       argb(0, 10, 128, 255)},
      {"contrast 100–50: every channel 50", kOpContrast, 100, 50, 0, 0, argb(40, 0, 128, 255), d, argb(0, 50, 50, 50)},
      // k = 65536 / 128 = 512: 2 (c − 128) + 128, clamped to 64–191.
      {"contrast 64–191 doubles about 128", kOpContrast, 64, 191, 0, 0, argb(40, 100, 10, 200), d,
       argb(0, 72, 64, 191)},
      // ((0 + 6) × 100 / 255) / 2 = 2 / 2 = 1 %; (0 + 3) gives 0 %.
      {"binarize 0: 1 % is white", kOpBinarize, 0, 0, 0, 0, argb(40, 6, 0, 0), d, 0x00FFFFFFu},
      {"binarize 0: 0 % is black", kOpBinarize, 0, 0, 0, 0, argb(40, 3, 0, 0), d, 0u},
      {"binarize 100: white is black", kOpBinarize, 100, 0, 0, 0, argb(40, 255, 255, 255), d, 0u},
      {"binarize 49: mid grey is white", kOpBinarize, 49, 0, 0, 0, argb(40, 128, 128, 128), d, 0x00FFFFFFu},
      // (151 × 255) >> 8 = 150, (77 × 255) >> 8 = 76, (28 × 255) >> 8 = 27.
      {"grey of red, alpha 0", kOpGreyScale, 0, 0, 0, 0, argb(40, 255, 0, 0), d, argb(0, 150, 150, 150)},
      {"grey of green keeps A", kOpGreyScale, 1, 0, 0, 0, argb(40, 0, 255, 0), d, argb(0x0F, 76, 76, 76)},
      {"grey of blue ors alphas", kOpGreyScale, 2, 0, 0, 0, argb(0x30, 0, 0, 255), d, argb(0x3F, 27, 27, 27)},
      {"grey of white", kOpGreyScale, 0, 0, 0, 0, argb(40, 255, 255, 255), d, argb(0, 255, 255, 255)},
      {"grey with alpha mode 3 writes nothing", kOpGreyScale, 3, 0, 0, 0, argb(40, 255, 0, 0), d, d},
      {"sepia: white becomes the base colour", kOpSepia, 255, 200, 100, 0, argb(40, 255, 255, 255), d,
       argb(0, 255, 200, 100)},
      // l = 3000: 255 × 3000 / 25500 = 30, 200 × … = 23, 100 × … = 11.
      {"sepia of dark red keeps A", kOpSepia, 255, 200, 100, 1, argb(0x30, 100, 0, 0), d, argb(0x0F, 30, 23, 11)},
      {"sepia ors alphas", kOpSepia, 255, 200, 100, 2, argb(0x30, 100, 0, 0), d, argb(0x3F, 30, 23, 11)},
      {"sepia with alpha mode 5 writes nothing", kOpSepia, 255, 200, 100, 5, argb(0x30, 100, 0, 0), d, d},
      {"hue/sat/light 0 keeps pure red", kOpHueSaturation, 0, 0, 0, 0, argb(40, 255, 0, 0), d, argb(0, 255, 0, 0)},
      {"hue +120 turns red green", kOpHueSaturation, 120, 0, 0, 0, argb(40, 255, 0, 0), d, argb(0, 0, 255, 0)},
      {"hue past 360 stops there and renders as 0", kOpHueSaturation, 400, 0, 0, 0, argb(40, 255, 0, 0), d,
       argb(0, 255, 0, 0)},
      {"hue −400 stops at 0", kOpHueSaturation, -400, 0, 0, 0, argb(40, 0, 0, 255), d, argb(0, 255, 0, 0)},
      {"saturation −100 makes red grey", kOpHueSaturation, 0, -100, 0, 0, argb(40, 255, 0, 0), d,
       argb(0, 127, 127, 127)},
      {"lightness +100 makes white", kOpHueSaturation, 0, 0, 100, 0, argb(40, 10, 200, 30), d,
       argb(0, 255, 255, 255)},
      // H = 60 × 128/255 = 30.1 → 30; S 100, L 50: p 0, q 1; green (0 + 30 / 60) × 255 = 127.
      {"orange", kOpHueSaturation, 0, 0, 0, 0, argb(40, 255, 128, 0), d, argb(0, 255, 127, 0)},
      // L = 128/255 → 50; s 0: p = q = 0.5 → 127.
      {"mid grey", kOpHueSaturation, 0, 0, 0, 0, argb(40, 128, 128, 128), d, argb(0, 127, 127, 127)},
      // Red and blue share the maximum: the blue rule wins, H = (1 − 0) / 1 + 4 = 5 → 300.
      {"magenta keeps its hue", kOpHueSaturation, 0, 0, 0, 0, argb(40, 255, 0, 255), d, argb(0, 255, 0, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(apply(static_cast<uint32_t>(c.op), {c.src}, {c.dst}, c.p1, c.p2, c.p3, c.p4), Pixels{c.want});
  }
}

TEST(ColourOps, GreyAndSepiaTakeThePlainFormOnlyWithTheMarker) {
  SurfaceTable t(1);
  put(t, 1, 1, 1, {argb(40, 255, 0, 0)});
  put(t, 2, 1, 1, {argb(1, 2, 3, 4)});
  for (OpFn fn : {OpGreyScale, OpSepia}) {
    fn({&t, surface_find(t, 2), surface_find(t, 1), {.width = 1, .height = 1, .param1 = 9, .marker = 0}});
    EXPECT_EQ(get(t, 2), Pixels{argb(1, 2, 3, 4)});
  }
  OpGreyScale({&t, surface_find(t, 2), surface_find(t, 1), {.width = 1, .height = 1}});
  EXPECT_EQ(get(t, 2), Pixels{argb(0, 150, 150, 150)});
}

// Sepia over random pixels and base colours against the formula: lightness 30 R + 59 G + 11 B
// (0–25500) scales each base channel, truncating; the alpha follows the mode.
TEST(ColourOps, SepiaFollowsItsFormulaOnRandomPixels) {
  std::mt19937 rng(77);
  Pixels src(509), dst(509);
  for (size_t i = 0; i < src.size(); ++i) {
    src[i] = rng();
    dst[i] = rng();
  }
  for (int round = 0; round < 8; ++round) {
    const int32_t r = static_cast<int32_t>(rng() % 256), g = static_cast<int32_t>(rng() % 256);
    const int32_t b = static_cast<int32_t>(rng() % 256), mode = round % 3;
    const Pixels out = apply(kOpSepia, src, dst, r, g, b, mode);
    for (size_t i = 0; i < src.size(); ++i) {
      const int l = 30 * ch(src[i], 2) + 59 * ch(src[i], 1) + 11 * ch(src[i], 0);
      const uint32_t alpha = mode == 0 ? 0 : mode == 1 ? dst[i] >> 24 : (src[i] | dst[i]) >> 24;
      const uint32_t want = argb(alpha, r * l / 25500, g * l / 25500, b * l / 25500);
      ASSERT_EQ(out[i], want) << i << " mode " << mode;
    }
  }
}

TEST(OpEqualize, SplitsAtTheMedian) {
  struct EqCase {
    const char* what;
    Pixels src;
    int32_t offset;
    Pixels want;
  };
  const uint32_t g10 = argb(7, 10, 10, 10), g200 = argb(8, 200, 200, 200), g100 = argb(9, 100, 100, 100);
  const EqCase cases[] = {
      // One colour: m0 100, sum − half = 2 ≥ 4 / 2, so m = 99 and 100 maps to 128 + 0.
      {"one colour sits just above m", {g100, g100, g100, g100}, 0, Pixels(4, argb(9, 128, 128, 128))},
      // m0 200 (the running sum 2 does not exceed half at 10), m 199: 10 × (520192 / 198) >> 12 = 6;
      // 200: (1 × 520192 / 56) >> 12 = 2, + 128.
      {"two greys", {g10, g200, g10, g200}, 0, {argb(7, 6, 6, 6), argb(8, 130, 130, 130), argb(7, 6, 6, 6),
                                                argb(8, 130, 130, 130)}},
      // m 200: 10 × (520192 / 199) >> 12 = 6; 200 → 128.
      {"offset +1", {g10, g200, g10, g200}, 1, {argb(7, 6, 6, 6), argb(8, 128, 128, 128), argb(7, 6, 6, 6),
                                                argb(8, 128, 128, 128)}},
      // m clamps to 254: 200 × (520192 / 253) >> 12 = 100.
      {"offset beyond 255", {g10, g200}, 9999, {argb(7, 5, 5, 5), argb(8, 100, 100, 100)}},
  };
  for (const EqCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(apply(kOpEqualize, c.src, Pixels(c.src.size(), 0), c.offset), c.want);
  }
}

// ---- curves against their formulas --------------------------------------------------------------

uint8_t balance_formula(int level, int v) {
  const float e = std::pow(0.5f, static_cast<float>(level) / 100.0f);
  return static_cast<uint8_t>(static_cast<int>(std::min(255.0f, std::pow(static_cast<float>(v) / 255.0f, e) * 255.0f)));
}

uint8_t gamma_formula(int gamma100, int v) {
  const float g = static_cast<float>(gamma100) / 100.0f;
  return static_cast<uint8_t>(static_cast<int>(std::min(255.0f, std::pow(static_cast<float>(v) / 255.0f, 1.0f / g) * 255.0f)));
}

TEST(ColourOps, ColourBalanceFollowsItsCurve) {
  SurfaceTable t(1);
  const int levels[][3] = {{0, 0, 0}, {-100, 100, 37}, {100, -100, -1}, {-500, 500, 0}};
  for (const auto& l : levels) {
    SCOPED_TRACE(::testing::Message() << l[0] << " " << l[1] << " " << l[2]);
    Pixels want;
    for (uint32_t p : greys()) {
      const int r = std::clamp(l[0], -100, 100), g = std::clamp(l[1], -100, 100), b = std::clamp(l[2], -100, 100);
      want.push_back(argb(0, balance_formula(r, ch(p, 2)), balance_formula(g, ch(p, 1)), balance_formula(b, ch(p, 0))));
    }
    EXPECT_EQ(apply(t, kOpColourBalance, greys(), greys(), l[0], l[1], l[2]), want);
  }
  // Level +100: e = 0.5, so 64 → sqrt(64 / 255) × 255 = 127.7 → 127.
  EXPECT_EQ(apply(t, kOpColourBalance, {argb(9, 64, 64, 64)}, {0}, 100, 0, -100)[0] >> 16, 127u);
}

TEST(ColourOps, GammaBlendsItsCurveOverTheDestination) {
  SurfaceTable t(1);
  std::mt19937 rng(22);
  const Pixels src = testing::random_pixels(rng, 256), dst = testing::random_pixels(rng, 256);
  const int gammas[][3] = {{100, 10, 1000}, {220, 45, 1}, {5000, 150, 99}};
  for (const auto& gm : gammas) {
    SCOPED_TRACE(::testing::Message() << gm[0] << " " << gm[1] << " " << gm[2]);
    Pixels want;
    for (size_t i = 0; i < src.size(); ++i) {
      const int alpha = ch(src[i], 3);
      uint32_t out = dst[i] & 0xFF000000u;
      for (int k = 0; k < 3; ++k) {
        const int g = gamma_formula(std::clamp(gm[2 - k], 1, 1000), ch(src[i], k));
        const int mixed = g + static_cast<int>(std::floor((255.0 - alpha) * (ch(dst[i], k) - g) / 256.0));
        out |= static_cast<uint32_t>(mixed) << (8 * k);
      }
      want.push_back(out);
    }
    EXPECT_EQ(apply(t, kOpGamma, src, dst, gm[0], gm[1], gm[2]), want);
  }
  // Gamma 2 at full alpha: sqrt(64 / 255) × 255 = 127.7 → 127.
  EXPECT_EQ(apply(t, kOpGamma, {argb(255, 64, 0, 255)}, {argb(3, 0, 0, 0)}, 200, 200, 200),
            Pixels{argb(3, 127, 0, 255)});
}

// The posterize table written out: value v falls in level i where i × 256 / n ≤ v (single precision,
// as the bounds are), the last level taking everything above its start and mapping it to white.
uint8_t posterize_formula(int n, int v) {
  int level = 0;
  for (int i = 0; i < n; ++i) {
    if (std::floor(static_cast<float>(i) * (256.0f / static_cast<float>(n))) <= static_cast<float>(v)) level = i;
  }
  if (level == n - 1) return 255;
  return static_cast<uint8_t>(static_cast<int>(static_cast<float>(level) * (255.0f / static_cast<float>(n - 1))));
}

TEST(OpPosterize, HandValues) {
  // 3 levels: bounds 0, 85.33 → 85, 170.67 → 170; values 0, 127.5 → 127, white.
  // 41 levels: 248 is in level 39 (39 × 6.375 = 248.6 → 248); the last starts at floor(249.76) = 249
  // and takes 255 too.
  struct PosterCase {
    int n, v, want;
  };
  const PosterCase cases[] = {{3, 84, 0}, {3, 85, 127}, {3, 169, 127}, {3, 170, 255}, {3, 255, 255},
                              {41, 248, 248}, {41, 249, 255}, {41, 255, 255}, {8, 255, 255}, {8, 223, 218}};
  for (const PosterCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.n << " levels, " << c.v);
    const uint32_t grey = static_cast<uint32_t>(c.v) * 0x010101u;
    EXPECT_EQ(apply(kOpPosterize, {grey}, {0}, c.n)[0], static_cast<uint32_t>(c.want) * 0x010101u);
  }
}

TEST(OpPosterize, TwoLevelsSplitAt128) {
  Pixels want;
  for (uint32_t v = 0; v < 256; ++v) want.push_back(0x5A000000u | (v < 128 ? 0u : 0xFFFFFFu));
  EXPECT_EQ(apply(kOpPosterize, greys(), greys(), 2), want);
}

TEST(OpPosterize, EveryLevelCountKeepsWhiteWhateverCameBefore) {
  // 0 builds nothing: the table is then as a fresh SurfaceTable holds it.
  for (int before : {0, 2, 3, 8, 41, 254, 255}) {
    for (int n = 2; n <= 255; ++n) {
      SCOPED_TRACE(::testing::Message() << n << " levels after " << before);
      SurfaceTable t(1);
      apply(t, kOpPosterize, greys(), greys(), before);
      const Pixels out = apply(t, kOpPosterize, greys(), greys(), n);
      EXPECT_EQ(out[255], 0x5AFFFFFFu);
      Pixels want;
      for (uint32_t v = 0; v < 256; ++v) want.push_back(0x5A000000u | posterize_formula(n, static_cast<int>(v)) * 0x010101u);
      EXPECT_EQ(out, want);
    }
  }
}

TEST(OpPosterize, LevelCountsOutsideTheRangeDoNothing) {
  for (int n : {-5, 0, 1, 256}) EXPECT_EQ(apply(kOpPosterize, greys(), Pixels(256, 7), n), Pixels(256, 7));
}

// ---- tone mapping --------------------------------------------------------------------------------

uint8_t exposure_formula(int e, int i) {
  return static_cast<uint8_t>(static_cast<int>((1.0f - std::exp(static_cast<float>(i) * -1.0f * static_cast<float>(e) / 25500.0f)) * 255.0f));
}

uint8_t sine_formula(int i) {
  return static_cast<uint8_t>(static_cast<int>(std::sin(static_cast<float>(i) * 90.0f / 255.0f * 0.017453292f) * 255.0f));
}

Pixels tone_want(int type, int er, int eg, int eb) {
  Pixels want;
  for (uint32_t p : greys()) {
    const int v = ch(p, 0);
    if (type == 0) {
      want.push_back(argb(0x5A, exposure_formula(er, v), exposure_formula(eg, v), exposure_formula(eb, v)));
    } else if (type == 1) {
      want.push_back(argb(0x5A, sine_formula(v), sine_formula(v), sine_formula(v)));
    } else {
      want.push_back(p);
    }
  }
  return want;
}

TEST(OpToneMap, EachCallUsesTheCurvesOfItsTypeAndExposures) {
  struct Step {
    int type, er, eg, eb;
  };
  const std::vector<std::vector<Step>> sequences = {
      {{1, 300, 500, 700}, {0, 300, 500, 700}},  // a type change with the same exposures
      {{0, 300, 500, 700}, {1, 300, 500, 700}, {0, 300, 500, 700}},
      {{0, 300, 500, 700}, {0, 300, 900, 700}, {0, 0, 900, 1000}},  // only changed exposures
      {{0, 300, 500, 700}, {2, 300, 500, 700}, {0, 300, 500, 700}},
      {{-1, -1, -1, -1}, {7, 1, 2, 3}, {1, 1, 2, 3}},  // other types keep the colours
  };
  for (const auto& seq : sequences) {
    SurfaceTable t(1);
    for (size_t k = 0; k < seq.size(); ++k) {
      const Step& s = seq[k];
      SCOPED_TRACE(::testing::Message() << "step " << k << ": type " << s.type << " " << s.er << " " << s.eg << " " << s.eb);
      EXPECT_EQ(apply(t, kOpToneMap, greys(), Pixels(256, 0), s.type, s.er, s.eg, s.eb), tone_want(s.type, s.er, s.eg, s.eb));
    }
  }
}

TEST(OpToneMap, HandValues) {
  // Exposure 1000 at 255: (1 − e^−10) × 255 = 254.99 → 254; exposure 1000 at 0 and exposure 0 at any
  // value give 0; the alpha is the source's.
  SurfaceTable t(1);
  const Pixels out = apply(t, kOpToneMap, {argb(1, 255, 0, 128)}, {0}, 0, 1000, 1000, 0);
  EXPECT_EQ(out, Pixels{argb(1, 254, 0, 0)});
}

// ---- noise ---------------------------------------------------------------------------------------

TEST(OpNoise, MixesOneRandomGreyPerPixel) {
  std::mt19937 rng(29);
  const Pixels src = testing::random_pixels(rng, 64), dst(64, 0x12345678u);
  struct NoiseCase {
    int32_t p1, p2, p3;
  };
  for (const NoiseCase& c : {NoiseCase{0, 0, 0}, NoiseCase{256, 256, 255}, NoiseCase{128, 1, 77}, NoiseCase{0, 0, 1}}) {
    SCOPED_TRACE(::testing::Message() << c.p1 << " " << c.p2 << " " << c.p3);
    SurfaceTable t(1234);
    PseudoRandom reference(1234);
    Pixels want;
    for (uint32_t s : src) {
      const int r = reference.next() & 0xFF;
      auto one = [r](int w, int c) { return static_cast<uint32_t>(r + static_cast<int>(std::floor(w * (c - r) / 256.0))); };
      want.push_back(one(c.p1, ch(s, 2)) << 16 | one(c.p2, ch(s, 1)) << 8 | one(c.p3, ch(s, 0)));
    }
    EXPECT_EQ(apply(t, kOpNoise, src, dst, c.p1, c.p2, c.p3), want);
    EXPECT_EQ(t.random.next(), reference.next());  // exactly one draw per pixel
  }
}

TEST(OpNoise, FullTransparencyCopiesTheSourceAndDrawsNothing) {
  std::mt19937 rng(30);
  const Pixels src = testing::random_pixels(rng, 16);
  SurfaceTable t(99);
  PseudoRandom reference(99);
  EXPECT_EQ(apply(t, kOpNoise, src, Pixels(16, 0), 256, 256, 256), src);
  EXPECT_EQ(t.random.next(), reference.next());
}

// Parameters far outside their ranges act as the nearest bound does (and never overflow).
TEST(ColourOps, ParametersBeyondTheirRangesActAsTheBounds) {
  constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
  struct Bound {
    const char* what;
    uint32_t op;
    std::array<int32_t, 4> wild, bound;
  };
  const Bound cases[] = {
      {"brightness", kOpBrightness, {kMax, kMin, kMax, kMin}, {255, -255, 255, -255}},
      {"colour balance", kOpColourBalance, {kMax, kMin, 0, 0}, {100, -100, 0, 0}},
      {"gamma", kOpGamma, {kMax, kMin, 0, 0}, {1000, 1, 1, 0}},
      {"hue, saturation, lightness up", kOpHueSaturation, {kMax, kMax, kMax, 0}, {360, 100, 100, 0}},
      {"hue, saturation, lightness down", kOpHueSaturation, {kMin, kMin, kMin, 0}, {-360, -100, -100, 0}},
      {"equalize up", kOpEqualize, {kMax, 0, 0, 0}, {255, 0, 0, 0}},
      {"equalize down", kOpEqualize, {kMin, 0, 0, 0}, {-255, 0, 0, 0}},
      {"sepia", kOpSepia, {kMax, kMin, 7, 1}, {255, 0, 7, 1}},
      {"tone map exposures", kOpToneMap, {0, kMax, kMin, 1000}, {0, 1000, 0, 1000}},
      {"noise", kOpNoise, {kMax, kMin, 128, 0}, {256, 0, 128, 0}},
      {"contrast from the lowest to the highest", kOpContrast, {kMin, kMax, 0, 0}, {0, 255, 0, 0}},
  };
  std::mt19937 rng(64);
  const Pixels src = testing::random_pixels(rng, 300), dst = testing::random_pixels(rng, 300);
  for (const Bound& c : cases) {
    SCOPED_TRACE(c.what);
    const auto& w = c.wild;
    const auto& b = c.bound;
    const Pixels got = apply(c.op, src, dst, w[0], w[1], w[2], w[3]);
    if (c.op == kOpContrast) {
      // k = 65536 / (2^32) = 0: every channel 128.
      EXPECT_EQ(got, Pixels(src.size(), 0x808080u));
      continue;
    }
    EXPECT_EQ(got, apply(c.op, src, dst, b[0], b[1], b[2], b[3]));
  }
}

// Each adjustment walks its rectangle only: a 2 × 2 one from (1, 0) of the source to (0, 1) of the
// destination leaves the other destination pixels alone. (Noise and equalisation depend on the
// whole rectangle, so they are not compared pixel by pixel.)
TEST(ColourOps, WalkOnlyTheirRectangle) {
  const std::pair<uint32_t, std::array<int32_t, 4>> ops[] = {
      {kOpBinarize, {40, 0, 0, 0}},       {kOpColourBalance, {30, -20, 10, 0}}, {kOpContrast, {20, 200, 0, 0}},
      {kOpBrightness, {9, -9, 99, -1}},   {kOpGamma, {50, 100, 300, 0}},        {kOpGreyScale, {2, 0, 0, 0}},
      {kOpHueSaturation, {30, 10, -5, 0}}, {kOpPosterize, {5, 0, 0, 0}},         {kOpSepia, {255, 180, 90, 2}},
      {kOpToneMap, {0, 100, 200, 300}},
  };
  for (const auto& [op, p] : ops) {
    SCOPED_TRACE(op);
    SurfaceTable t(1);
    std::mt19937 rng(op);
    const Pixels src = testing::random_pixels(rng, 9), dst = testing::random_pixels(rng, 9);
    put(t, 1, 3, 3, src);
    put(t, 2, 3, 3, dst);
    blit(t, 2, 1, op,
         {.dst_y = 1, .src_x = 1, .width = 2, .height = 2, .param1 = p[0], .param2 = p[1], .param3 = p[2],
          .param4 = p[3]});
    const Pixels out = get(t, 2);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        const size_t at = static_cast<size_t>(y * 3 + x);
        if (x >= 2 || y < 1) {
          EXPECT_EQ(out[at], dst[at]) << x << "," << y;
          continue;
        }
        const size_t from = static_cast<size_t>((y - 1) * 3 + x + 1);
        EXPECT_EQ(out[at], apply(op, {src[from]}, {dst[at]}, p[0], p[1], p[2], p[3])[0]) << x << "," << y;
      }
    }
  }
}

TEST(ColourOps, WorkInPlace) {
  SurfaceTable t(1);
  put(t, 1, 2, 1, {argb(40, 10, 20, 30), argb(0, 250, 250, 250)});
  blit(t, 1, 1, kOpBrightness, {.width = 2, .height = 1, .param1 = 10, .param2 = 10, .param3 = 10, .param4 = 1});
  EXPECT_EQ(get(t, 1), (Pixels{argb(41, 20, 30, 40), argb(1, 255, 255, 255)}));
}

}  // namespace
}  // namespace tesmo
