// The copy family and the turns, on small pictures with hand-computed results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::get;
using testing::numbered;
using testing::Pixels;
using testing::put;

constexpr uint32_t kGrey = 0xFF808080u;

void run(SurfaceTable& t, int32_t dst, int32_t src, BlitArgs a, uint32_t op) {
  blit(t, dst, src, op, a);
}

// The expected result of copying the w × h rectangle at (sx, sy) to (dx, dy) of the same picture.
Pixels copied(Pixels p, int32_t width, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h) {
  const Pixels before = p;
  for (int32_t i = 0; i < h; ++i) {
    for (int32_t j = 0; j < w; ++j) p[(dy + i) * width + dx + j] = before[(sy + i) * width + sx + j];
  }
  return p;
}

TEST(OpCopy, CopiesWithinOneSurfaceInEveryDirectionOfOverlap) {
  struct Case {
    int32_t width, height, sx, sy, dx, dy, w, h;
    const char* what;
  };
  const Case cases[] = {
      {5, 4, 0, 0, 1, 1, 3, 3, "down and right"},
      {5, 4, 1, 1, 0, 0, 4, 3, "up and left"},
      {5, 4, 0, 1, 2, 1, 3, 2, "along its own rows"},
      {3, 4, 0, 0, 0, 1, 3, 3, "whole rows down (one block)"},
      {3, 4, 0, 1, 0, 0, 3, 3, "whole rows up (one block)"},
      {6, 3, 1, 0, 2, 1, 2, 2, "inner rectangle, no overlap"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    const Pixels p = numbered(c.width, c.height);
    put(t, 1, c.width, c.height, p);
    run(t, 1, 1, {c.dx, c.dy, c.sx, c.sy, c.w, c.h}, kOpCopy);
    EXPECT_EQ(get(t, 1), copied(p, c.width, c.sx, c.sy, c.dx, c.dy, c.w, c.h));
  }
}

TEST(OpCopy, DuplicateAndTrimCopyThroughIt) {
  SurfaceTable t(1);
  put(t, 1, 3, 2, numbered(3, 2));
  ASSERT_EQ(surface_duplicate(t, 2, 1), 0);
  EXPECT_EQ(get(t, 2), numbered(3, 2));
  // A 4 × 3 picture framed by one row and column of 0 on every side but the right.
  put(t, 3, 4, 3, {0, 0, 0, 0, 0, 5, 6, 7, 0, 0, 0, 0});
  Rect kept;
  ASSERT_EQ(surface_auto_trim(t, 3, 0xF, 0, kept), 0);
  EXPECT_EQ(get(t, 3), (Pixels{5, 6, 7}));
}

// A 3 × 2 bitmap held in a pixel block in its own depth, rows padded to 4 bytes.
std::vector<uint8_t> bitmap_rows(int32_t bits) {
  if (bits == 24) {
    return {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
  }
  // 0x7FFF white, 0x001F blue, 0x03E0 green; 0x7C00 red, 0x0421 (1, 1, 1), 0x8000 (top bit unused).
  return {0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x03, 0xEE, 0xEE, 0x00, 0x7C, 0x21, 0x04, 0x00, 0x80, 0xEE, 0xEE};
}

TEST(OpConvertDepth, ConvertsPaddedBitmapRowsIntoPixels) {
  struct Case {
    int32_t to, from;
    bool in_place;
    Pixels want;
    const char* what;
  };
  const Pixels kept(6, 0x77000000u);
  const Pixels rgb24 = {0x77030201u, 0x77060504u, 0x77090807u, 0x770C0B0Au, 0x770F0E0Du, 0x77121110u};
  const Pixels rgb16 = {0x00F8F8F8u, 0x000000F8u, 0x0000F800u, 0x00F80000u, 0x00080808u, 0};
  const Case cases[] = {
      {32, 24, false, rgb24, "24 bits keep the destination's alpha"},
      {32, 16, false, rgb16, "16 bits: five bits a channel, alpha 0"},
      {32, 24, true, {}, "24 bits within one pixel block"},
      {32, 16, true, {}, "16 bits within one pixel block"},
      {32, 8, false, kept, "8 bits: nothing"},
      {24, 24, false, kept, "another target depth: nothing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    Surface& src = put(t, 4, 3, 2, {}, 0x77000000u);
    const std::vector<uint8_t> rows = bitmap_rows(c.from == 16 ? 16 : 24);
    std::memcpy(src.pixels(), rows.data(), rows.size());
    put(t, 3, 3, 2, {}, 0x77000000u);
    const int32_t dst = c.in_place ? 4 : 3;
    run(t, dst, 4, {.width = 1, .height = 1, .param1 = c.to, .param2 = c.from}, kOpConvertDepth);
    if (c.in_place) {
      // Within one block the 24-bit alpha bytes are whatever the rows left there; colours are the same.
      const Pixels got = get(t, 4);
      const Pixels& want = c.from == 24 ? rgb24 : rgb16;
      for (size_t i = 0; i < 6; ++i) EXPECT_EQ(got[i] & 0xFFFFFF, want[i] & 0xFFFFFF) << i;
    } else {
      EXPECT_EQ(get(t, 3), c.want);
    }
  }
}

TEST(OpConvertDepth, SurfacesOfDifferentSizesAreLeftAlone) {
  SurfaceTable t(1);
  put(t, 4, 3, 2, {}, 0x01020304u);
  put(t, 3, 2, 3, {}, kGrey);
  run(t, 3, 4, {.width = 1, .height = 1, .param1 = 32, .param2 = 24}, kOpConvertDepth);
  EXPECT_EQ(get(t, 3), Pixels(6, kGrey));
}

TEST(OpChannelCopy, EachModeMovesItsChannels) {
  struct Case {
    int32_t mode;
    uint32_t want;
  };
  // Source A 11, R 22, G 33, B 44 over destination A AA, R BB, G CC, B DD.
  const Case cases[] = {{0, 0xAA223344u}, {1, 0x44BBCCDDu}, {2, 0xAA111111u},
                        {3, 0x11BBCCDDu}, {4, 0xAABBCCDDu}, {-1, 0xAABBCCDDu}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    SurfaceTable t(1);
    put(t, 1, 2, 1, {}, 0x11223344u);
    put(t, 0, 3, 1, {}, 0xAABBCCDDu);
    run(t, 0, 1, {1, 0, 0, 0, 2, 1, 0, c.mode}, kOpChannelCopy);
    EXPECT_EQ(get(t, 0), (Pixels{0xAABBCCDDu, c.want, c.want}));
  }
}

TEST(OpColourKey, SkipsTheKeyColourWhateverItsAlpha) {
  SurfaceTable t(1);
  const Pixels src = {0x00102030u, 0xFF102030u, 0x80102031u, 0x12345678u};
  const uint32_t d = 0xAABBCCDDu;
  put(t, 1, 4, 1, src);
  put(t, 0, 4, 1, {}, d);
  run(t, 0, 1, {.width = 4, .height = 1, .param1 = 0x10, .param2 = 0x20, .param3 = 0x30}, kOpColourKey);
  EXPECT_EQ(get(t, 0), (Pixels{d, d, 0x80102031u, 0x12345678u}));
  // A nonzero param4 copies the colour bytes only.
  put(t, 0, 4, 1, {}, d);
  run(t, 0, 1, {.width = 4, .height = 1, .param1 = 0x10, .param2 = 0x20, .param3 = 0x30, .param4 = 1}, kOpColourKey);
  EXPECT_EQ(get(t, 0), (Pixels{d, d, 0xAA102031u, 0xAA345678u}));
}

TEST(OpFill, FillsOnlyTheRectangleWithTheParameterWord) {
  SurfaceTable t(1);
  put(t, 0, 4, 3, {}, kGrey);
  run(t, 0, 0, {1, 1, 0, 0, 2, 2, 0, 0x12, 0x34, 0x56, 0x78}, kOpFill);
  const uint32_t c = 0x78123456u;
  EXPECT_EQ(get(t, 0), (Pixels{kGrey, kGrey, kGrey, kGrey, kGrey, c, c, kGrey, kGrey, c, c, kGrey}));
  // Whole rows at once; a parameter wider than a byte spills into the next byte, as in a word.
  run(t, 0, 0, {0, 1, 0, 0, 4, 2, 0, 0x1FF, 0, 0, 0x12}, kOpFill);
  const uint32_t spill = 0x13FF0000u;
  EXPECT_EQ(get(t, 0), (Pixels{kGrey, kGrey, kGrey, kGrey, spill, spill, spill, spill, spill, spill, spill, spill}));
  // Four equal bytes, in part of each row.
  run(t, 0, 0, {2, 0, 0, 0, 2, 3, 0, 0x5A, 0x5A, 0x5A, 0x5A}, kOpFill);
  const uint32_t e = 0x5A5A5A5Au;
  EXPECT_EQ(get(t, 0), (Pixels{kGrey, kGrey, e, e, spill, spill, e, e, spill, spill, e, e}));
}

TEST(OpFrame, CopiesThenPaintsABorderOfAlphaZero) {
  const uint32_t b = 0x00010203u;
  const Pixels src = numbered(5, 4);
  auto framed = [&](int32_t t) {
    Pixels want = src;
    for (int32_t y = 0; y < 4; ++y) {
      for (int32_t x = 0; x < 5; ++x) {
        if (y < t || y >= 4 - t || x < t || x >= 5 - t) want[y * 5 + x] = b;
      }
    }
    return want;
  };
  struct Case {
    int32_t thickness;
    Pixels want;
  };
  // Thickness is at most half the shorter side: 9 → 2, which covers the 4-high picture.
  const Case cases[] = {{1, framed(1)}, {2, framed(2)}, {9, Pixels(20, b)}, {0, src}, {-3, src}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.thickness);
    SurfaceTable t(1);
    put(t, 1, 5, 4, src);
    put(t, 0, 5, 4, {}, kGrey);
    run(t, 0, 1, {.width = 5, .height = 4, .param1 = 1, .param2 = 2, .param3 = 3, .param4 = c.thickness}, kOpFrame);
    EXPECT_EQ(get(t, 0), c.want);
  }
}

TEST(OpFlipAndNegative, MirrorAndInvert) {
  const Pixels src = {1, 2, 3, 4, 5, 6};  // a b c / d e f
  struct Case {
    uint32_t op;
    int32_t mode;
    Pixels want;
  };
  const Case cases[] = {
      {kOpFlip, 0, {3, 2, 1, 6, 5, 4}},
      {kOpFlip, 1, {4, 5, 6, 1, 2, 3}},
      {kOpFlip, 2, {6, 5, 4, 3, 2, 1}},
      {kOpFlip, 3, Pixels(6, kGrey)},
      {kOpNegative, 0, {0x00FFFFFE, 0x00FFFFFD, 0x00FFFFFC, 0x00FFFFFB, 0x00FFFFFA, 0x00FFFFF9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    SurfaceTable t(1);
    put(t, 1, 3, 2, src);
    put(t, 0, 3, 2, {}, kGrey);
    run(t, 0, 1, {.width = 3, .height = 2, .param1 = c.mode}, c.op);
    EXPECT_EQ(get(t, 0), c.want);
  }
  SurfaceTable t(1);
  put(t, 1, 1, 1, {0x12345678u});
  put(t, 0, 1, 1, {}, kGrey);
  run(t, 0, 1, {.width = 1, .height = 1}, kOpNegative);
  EXPECT_EQ(get(t, 0), Pixels{0x12CBA987u});
}

TEST(OpRotateRight, QuarterTurnsOfTheSourceRectangle) {
  const Pixels src = {1, 2, 3, 4, 5, 6};  // a b c / d e f
  struct Case {
    int32_t angle, sx, w, dst_w, dst_h;
    Pixels want;
    const char* what;
  };
  const Case cases[] = {
      {90, 0, 3, 2, 3, {3, 6, 2, 5, 1, 4}, "left"},
      {270, 0, 3, 2, 3, {4, 1, 5, 2, 6, 3}, "right"},
      {90, 1, 2, 2, 2, {3, 6, 2, 5}, "an inner rectangle"},
      {180, 0, 3, 2, 3, Pixels(6, kGrey), "another angle: untouched"},
      {90, 0, 3, 2, 2, Pixels(4, kGrey), "destination too small: untouched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    put(t, 1, 3, 2, src);
    put(t, 0, c.dst_w, c.dst_h, {}, kGrey);
    run(t, 0, 1, {0, 0, c.sx, 0, c.w, 2, 0, c.angle}, kOpRotateRight);
    EXPECT_EQ(get(t, 0), c.want);
  }
}

TEST(OpRotate, QuarterTurnsMatchOpRotateRight) {
  // A 5 × 3 picture about (2, 1): 90° maps destination (x, y) to source (3 − y − dst_x, x − 1 − dst_y).
  struct Case {
    int32_t hundredths, dst_x, dst_y, right_angle;
  };
  const Case cases[] = {{9000, -1, -1, 90}, {27000, 1, 1, 270}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hundredths);
    SurfaceTable t(1);
    put(t, 1, 5, 3, numbered(5, 3));
    put(t, 0, 3, 5, {}, kGrey);
    put(t, 2, 3, 5, {}, kGrey);
    run(t, 0, 1, {c.dst_x, c.dst_y, 0, 0, 1, 1, 0, c.hundredths, 2, 1}, kOpRotate);
    run(t, 2, 1, {.width = 5, .height = 3, .param1 = c.right_angle}, kOpRotateRight);
    EXPECT_EQ(get(t, 0), get(t, 2));
  }
}

// The rotation's formula evaluated directly per pixel in 64 bits.
Pixels rotated(const Pixels& src, int32_t sw, int32_t sh, Pixels dst, int32_t dw, int32_t dh, BlitArgs a) {
  const float theta = static_cast<float>(a.param1) * 0.01f * 0.017453292f;
  const auto c = static_cast<int64_t>(static_cast<int32_t>(std::cos(theta) * 32768.0f));
  const auto s = static_cast<int64_t>(static_cast<int32_t>(std::sin(theta) * 32768.0f));
  const int64_t cx = a.param2, cy = a.param3;
  for (int64_t y = 0; y < dh; ++y) {
    for (int64_t x = 0; x < dw; ++x) {
      const int64_t xt = (32768 - c) * cx + s * cy - a.dst_x * 32768 + x * c - y * s;
      const int64_t yt = (32768 - c) * cy - s * cx - a.dst_y * 32768 + x * s + y * c;
      if (xt >= 0 && xt < sw * 32768 && yt >= 0 && yt < sh * 32768) dst[y * dw + x] = src[(yt >> 15) * sw + (xt >> 15)];
    }
  }
  return dst;
}

TEST(OpRotate, IncrementalWalkEqualsTheFormulaAndKeepsUncoveredPixels) {
  struct Case {
    int32_t hundredths, cx, cy, dst_x, dst_y;
  };
  const Case cases[] = {{0, 0, 0, 0, 0},      {0, 0, 0, 2, -1},     {3000, 6, 4, 0, 0},   {-4500, 6, 4, 3, 2},
                        {18000, 6, 4, 0, 0},  {35999, 1, 7, -2, 0}, {12345, 0, 0, 5, 5},  {-27000, 11, 8, 0, 0},
                        {4500, -20, 30, 0, 0}};
  const Pixels src = numbered(12, 9);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hundredths);
    SurfaceTable t(1);
    put(t, 1, 12, 9, src);
    put(t, 0, 14, 10, {}, kGrey);
    const BlitArgs a{c.dst_x, c.dst_y, 0, 0, 1, 1, 0, c.hundredths, c.cx, c.cy};
    run(t, 0, 1, a, kOpRotate);
    EXPECT_EQ(get(t, 0), rotated(src, 12, 9, Pixels(140, kGrey), 14, 10, a));
  }
}

}  // namespace
}  // namespace tesmo
