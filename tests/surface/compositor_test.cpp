// The blit entry: the operation table, the op word, plain and scaled clipping, the bounds guard.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::get;
using testing::numbered;
using testing::Pixels;
using testing::put;

constexpr uint32_t kGrey = 0xFF808080u;

TEST(OpTable, HoldsSixtyThreeRowsAndNamesOnlyRealOperations) {
  std::span<const OpRow, kOpCount> ops = op_table();
  ASSERT_EQ(ops.size(), 63u);
  SurfaceTable t(1);
  EXPECT_EQ(t.ops, ops.data());
  for (int code = 0; code < kOpCount; ++code) {
    SCOPED_TRACE(code);
    ASSERT_NE(ops[code].fn, nullptr);
    EXPECT_EQ(std::string(ops[code].name).rfind("Op", 0) == 0, ops[code].fn != op_invalid);
  }
}

// A code reaches the operation it names: each row's 2 × 2 result is worked out by hand from what
// the operation does to a source [a b / c d] over a grey destination.
TEST(OpTable, EachCodeReachesTheOperationItNames) {
  constexpr uint32_t a = 0x80102030u, b = 0x40A0B0C0u, c = 0xFF000000u, d = 0x00FFFFFFu;
  struct Case {
    uint32_t code;
    int32_t p1, p2, p3, p4;
    Pixels expected;
    const char* what;
  };
  const Case cases[] = {
      {kOpCopy, 0, 0, 0, 0, {a, b, c, d}, "copy"},
      {kOpFill, 1, 2, 3, 4, Pixels(4, 0x04010203u), "fill with R, G, B, A"},
      {kOpFlip, 0, 0, 0, 0, {b, a, d, c}, "flip left-right"},
      {kOpFlip, 1, 0, 0, 0, {c, d, a, b}, "flip top-bottom"},
      {kOpNegative, 0, 0, 0, 0, {0x80EFDFCFu, 0x405F4F3Fu, 0xFFFFFFFFu, 0x00000000u}, "negative keeps A"},
      {kOpBrightness, 1, 2, 3, 4, {0x84112233u, 0x44A1B2C3u, 0xFF010203u, 0x04FFFFFFu}, "brightness clamps"},
      {kOpColourKey, 0xA0, 0xB0, 0xC0, 0, {a, kGrey, c, d}, "colour key skips b"},
      {2, 0, 0, 0, 0, Pixels(4, kGrey), "a code without an operation"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    SurfaceTable t(1);
    put(t, 1, 2, 2, {a, b, c, d});
    put(t, 0, 2, 2, {}, kGrey);
    blit(t, 0, 1, k.code, {.width = 2, .height = 2, .param1 = k.p1, .param2 = k.p2, .param3 = k.p3, .param4 = k.p4});
    EXPECT_EQ(get(t, 0), k.expected);
  }
}

// Copies of a numbered 4 × 3 picture into a grey 4 × 3 one, through blit.
class Blit : public ::testing::Test {
 protected:
  void SetUp() override {
    put(t, 1, 4, 3, numbered(4, 3));
    put(t, 0, 4, 3, {}, kGrey);
    t.clip = {0, 0, 4, 3};
  }
  Pixels untouched() const { return Pixels(12, kGrey); }
  SurfaceTable t{1};
};

TEST_F(Blit, OpWordCarriesTheCodeInItsLowBitsAndIgnoresOtherHighBits) {
  struct Case {
    uint32_t word;
    bool copies;
    const char* what;
  };
  const Case cases[] = {
      {0, true, "op 0"},
      {kOpClipFlag, true, "op 0 with the clip flag"},
      {0x40000000u, true, "bit 30 is not part of the code"},
      {0x80000000u | kOpClipFlag, true, "bit 31 neither"},
      {2, false, "a code without an operation"},
      {62, false, "the last code"},
      {63, false, "past the table"},
      {kOpCodeMask, false, "the largest code the word can carry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    blit(t, 0, 1, c.word, {.width = 4, .height = 3});
    EXPECT_EQ(get(t, 0), c.copies ? numbered(4, 3) : untouched());
  }
}

TEST_F(Blit, NonPositiveSizesDoNothingWithOrWithoutClipping) {
  const int32_t sizes[][2] = {{0, 3}, {4, 0}, {-1, 3}, {4, -5}, {0, 0}, {INT32_MIN, INT32_MIN}};
  for (const auto& s : sizes) {
    for (uint32_t clip : {0u, kOpClipFlag}) {
      blit(t, 0, 1, kOpCopy | clip, {.width = s[0], .height = s[1]});
      blit(t, 0, 1, kOpFill | clip,
           {.width = s[0], .height = s[1], .param1 = 1, .param2 = 2, .param3 = 3, .param4 = 4});
      blit(t, 0, 1, kOpScale | clip, {.width = s[0], .height = s[1], .param1 = 4, .param2 = 3});
      blit(t, 0, 1, kOpRotate | clip, {.width = s[0], .height = s[1]});
      ASSERT_EQ(get(t, 0), untouched());
    }
  }
}

TEST(ClipPlain, SourceOffsetsFollowTheDestination) {
  struct Case {
    BlitArgs in;
    Rect clip;
    bool kept;
    BlitArgs out;
    const char* what;
  };
  auto args = [](int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    return BlitArgs{dx, dy, sx, sy, w, h};
  };
  const Case cases[] = {
      {args(2, 3, 5, 6, 4, 4), {0, 0, 10, 10}, true, args(2, 3, 5, 6, 4, 4), "inside"},
      {args(-3, -2, 5, 6, 8, 7), {0, 0, 10, 10}, true, args(0, 0, 8, 8, 5, 5), "left of and above"},
      {args(7, 8, 0, 0, 6, 6), {0, 0, 10, 10}, true, args(7, 8, 0, 0, 3, 2), "past the right and bottom"},
      {args(-5, -5, 1, 1, 30, 30), {2, 3, 4, 5}, true, args(2, 3, 8, 9, 4, 5), "over every side of an offset clip"},
      {args(-4, 0, 0, 0, 4, 4), {0, 0, 10, 10}, false, {}, "touches the left edge"},
      {args(10, 0, 0, 0, 4, 4), {0, 0, 10, 10}, false, {}, "touches the right edge"},
      {args(0, -4, 0, 0, 4, 4), {0, 0, 10, 10}, false, {}, "touches the top edge"},
      {args(0, 10, 0, 0, 4, 4), {0, 0, 10, 10}, false, {}, "touches the bottom edge"},
      {args(0, 0, 0, 0, 4, 4), {0, 0, 0, 0}, false, {}, "the empty clip of a new table"},
      {args(INT32_MAX - 1, 0, 0, 0, 4, 4), {0, 0, INT32_MAX, 10}, true, args(INT32_MAX - 1, 0, 0, 0, 1, 4),
       "sums past 32 bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BlitArgs a = c.in;
    ASSERT_EQ(clip_plain(a, c.clip), c.kept);
    if (!c.kept) continue;
    EXPECT_EQ(std::tie(a.dst_x, a.dst_y, a.src_x, a.src_y, a.width, a.height),
              std::tie(c.out.dst_x, c.out.dst_y, c.out.src_x, c.out.src_y, c.out.width, c.out.height));
  }
}

TEST(ClipScaled, KeepAspectCentreAndProportionalSourceShrinking) {
  struct Case {
    BlitArgs in;  // dst_x, dst_y, src_x, src_y, width, height, op, param1 (dw), param2 (dh), -, param4
    Rect clip;
    bool kept;
    BlitArgs out;
    const char* what;
  };
  auto args = [](int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dw, int32_t dh,
                 int32_t flags) { return BlitArgs{dx, dy, sx, sy, w, h, kOpScale, dw, dh, 0, flags}; };
  const Rect big{-1000, -1000, 4000, 4000};
  const Case cases[] = {
      // v = 20·4096/10 = 8192 < h = 40·4096/10 = 16384: the width becomes 10·8192/4096 = 20.
      {args(0, 0, 0, 0, 10, 10, 40, 20, 2), big, true, args(0, 0, 0, 0, 10, 10, 20, 20, 2), "keep aspect, wide"},
      {args(0, 0, 0, 0, 10, 10, 20, 40, 2), big, true, args(0, 0, 0, 0, 10, 10, 20, 40, 2), "keep aspect, tall"},
      // v = 30·4096/7 = 17554, h = 45·4096/10 = 18432: the width becomes 10·17554/4096 = 42 (42.86).
      {args(0, 0, 0, 0, 10, 7, 45, 30, 2), big, true, args(0, 0, 0, 0, 10, 7, 42, 30, 2), "keep aspect truncates"},
      {args(0, 0, 0, 0, 10, 10, 40, 20, 0), big, true, args(0, 0, 0, 0, 10, 10, 40, 20, 0), "no flags"},
      // 21 → 20 and 13 → 12; the picture moves by (20 − 10) >> 1 and (12 − 6) >> 1.
      {args(100, 50, 0, 0, 10, 6, 21, 13, 1), big, true, args(95, 47, 0, 0, 10, 6, 20, 12, 1), "centre, odd sizes"},
      // 7 → 6: (6 − 10) >> 1 = −2; with an 11-wide source (6 − 11) >> 1 = −3 (the shift rounds down).
      {args(0, 0, 0, 0, 10, 10, 7, 7, 1), big, true, args(2, 2, 0, 0, 10, 10, 6, 6, 1), "centre, shrinking"},
      {args(0, 0, 0, 0, 11, 11, 7, 7, 1), big, true, args(3, 3, 0, 0, 11, 11, 6, 6, 1), "centre, arithmetic shift"},
      // Keep aspect first (40 → 20), then centre: (20 − 10) >> 1 = 5.
      {args(0, 0, 0, 0, 10, 10, 40, 21, 3), big, true, args(-5, -5, 0, 0, 10, 10, 20, 20, 3), "both flags"},
      // The source shrinks in proportion: 100·30/300 = 10, 50·10/150 = 3, 100·200/300 = 66, 50·100/150 = 33.
      {args(-30, -10, 0, 0, 100, 50, 300, 150, 0), {0, 0, 200, 100}, true,
       args(0, 0, 10, 3, 66, 33, 200, 100, 0), "clipped on every side"},
      {args(20, 0, 4, 2, 8, 8, 16, 16, 0), {0, 0, 28, 100}, true, args(20, 0, 4, 2, 4, 8, 8, 16, 0),
       "clipped on the right"},
      {args(0, 0, 0, 0, 10, 10, 0, 20, 0), big, false, {}, "zero width"},
      {args(0, 0, 0, 0, 100, 10, 100, 0, 2), big, false, {}, "keep aspect down to zero"},
      {args(0, 0, 0, 0, 10, 10, 1, 1, 1), big, false, {}, "centre rounds 1 down to zero"},
      {args(-20, 0, 0, 0, 10, 10, 20, 20, 0), {0, 0, 10, 10}, false, {}, "wholly left of the clip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BlitArgs a = c.in;
    ASSERT_EQ(clip_scaled(a, c.clip), c.kept);
    if (!c.kept) continue;
    EXPECT_EQ(std::tie(a.dst_x, a.dst_y, a.src_x, a.src_y, a.width, a.height, a.param1, a.param2),
              std::tie(c.out.dst_x, c.out.dst_y, c.out.src_x, c.out.src_y, c.out.width, c.out.height, c.out.param1,
                       c.out.param2));
  }
}

TEST_F(Blit, ClippedCopyLeftOfAndAboveTheClipTakesTheMatchingSourcePart) {
  const Pixels src = numbered(4, 3);
  t.clip = {1, 1, 3, 2};
  blit(t, 0, 1, kOpCopy | kOpClipFlag, {.dst_x = -1, .width = 4, .height = 3});
  // Destination (1, 1) takes source (2, 1): the source follows the destination's cut.
  Pixels want = untouched();
  want[5] = src[6];
  want[6] = src[7];
  want[9] = src[10];
  want[10] = src[11];
  EXPECT_EQ(get(t, 0), want);
}

TEST_F(Blit, ClippedAwayOrOutsideSurfacesDoesNothing) {
  struct Case {
    int32_t dx, dy, sx, sy, w, h;
    uint32_t word;
    const char* what;
  };
  const Case cases[] = {
      {4, 0, 0, 0, 2, 2, kOpCopy | kOpClipFlag, "right of the clip"},
      {0, -3, 0, 0, 2, 3, kOpCopy | kOpClipFlag, "above the clip"},
      {3, 0, 0, 0, 2, 2, kOpCopy, "past the destination without clipping"},
      {-1, 0, 0, 0, 2, 2, kOpCopy, "left of the destination without clipping"},
      {0, 0, 3, 0, 2, 2, kOpCopy | kOpClipFlag, "past the source (the clip guards only the destination)"},
      {0, 1, 0, 0, 4, 3, kOpFill, "a fill past the destination"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    blit(t, 0, 1, c.word,
         {.dst_x = c.dx, .dst_y = c.dy, .src_x = c.sx, .src_y = c.sy, .width = c.w, .height = c.h, .param1 = 1,
          .param2 = 2, .param3 = 3, .param4 = 4});
    EXPECT_EQ(get(t, 0), untouched());
  }
}

TEST_F(Blit, MissingSurfacesDoNothingExceptWhereNoSourceIsRead) {
  blit(t, 0, 99, kOpCopy, {.width = 2, .height = 2});
  blit(t, 0, 99, kOpScale, {.width = 2, .height = 2, .param1 = 4, .param2 = 3, .param4 = 0x10});
  blit(t, 0, 99, kOpRotate, {.width = 2, .height = 2});
  blit(t, 99, 1, kOpCopy, {.width = 2, .height = 2});
  EXPECT_EQ(get(t, 0), untouched());
  EXPECT_EQ(surface_find(t, 99), nullptr);
  blit(t, 0, 99, kOpFill,
       {.dst_x = 1, .dst_y = 1, .width = 2, .height = 1, .param1 = 0x11, .param2 = 0x22, .param3 = 0x33,
        .param4 = 0x44});
  Pixels want = untouched();
  want[5] = want[6] = 0x44112233u;
  EXPECT_EQ(get(t, 0), want);
}

TEST_F(Blit, RotationIgnoresTheClipFlagAndFillsTheWholeDestination) {
  t.clip = {0, 0, 1, 1};
  blit(t, 0, 1, kOpRotate | kOpClipFlag, {.width = 1, .height = 1});
  EXPECT_EQ(get(t, 0), numbered(4, 3));
}

TEST_F(Blit, ScaledClippingSamplesTheVisiblePartOfTheSource) {
  // A 4 × 1 source doubled to 8 × 1 at x = −4: the visible half comes from source columns 2 and 3,
  // exactly as the right half of the unclipped copy.
  put(t, 1, 4, 1, {10, 11, 12, 13});
  put(t, 0, 8, 1, {}, kGrey);
  t.clip = {0, 0, 8, 1};
  blit(t, 0, 1, kOpScale | kOpClipFlag, {.dst_x = -4, .width = 4, .height = 1, .param1 = 8, .param2 = 1});
  EXPECT_EQ(get(t, 0), (Pixels{12, 12, 13, 13, kGrey, kGrey, kGrey, kGrey}));
  // Centred: 5 → 4 wide at x = 2 − (4 − 4) >> 1 = 2, 1 → 0 high: nothing is drawn.
  put(t, 0, 8, 1, {}, kGrey);
  blit(t, 0, 1, kOpScale | kOpClipFlag,
       {.dst_x = 2, .width = 4, .height = 1, .param1 = 5, .param2 = 1, .param4 = kScaleCentre});
  EXPECT_EQ(get(t, 0), Pixels(8, kGrey));
  put(t, 0, 8, 2, {}, kGrey);
  t.clip = {0, 0, 8, 2};
  blit(t, 0, 1, kOpScale | kOpClipFlag,
       {.dst_x = 2, .width = 4, .height = 1, .param1 = 5, .param2 = 2, .param4 = kScaleCentre});
  EXPECT_EQ(get(t, 0), (Pixels{kGrey, kGrey, 10, 11, 12, 13, kGrey, kGrey, kGrey, kGrey, 10, 11, 12, 13, kGrey, kGrey}));
}

TEST_F(Blit, ScaledBlitsNeedTheirDestinationInsideWithoutClipping) {
  put(t, 0, 4, 4, {}, kGrey);
  blit(t, 0, 1, kOpScale, {.dst_x = 1, .width = 4, .height = 3, .param1 = 4, .param2 = 4});
  blit(t, 0, 1, kOpScaleBilinear, {.width = 4, .height = 3, .param1 = 5, .param2 = 4});
  blit(t, 0, 1, kOpScaleBicubic, {.src_x = 1, .width = 4, .height = 3, .param1 = 4, .param2 = 4});
  EXPECT_EQ(get(t, 0), Pixels(16, kGrey));
  blit(t, 0, 1, kOpScale, {.width = 4, .height = 3, .param1 = 4, .param2 = 4});
  EXPECT_NE(get(t, 0), Pixels(16, kGrey));
}

TEST(BlitFuzz, HostileRectanglesAndParametersStayInsideThePixelBlocks) {
  // Run under AddressSanitizer: any read or write past a pixel block fails the run.
  std::mt19937 rng(99);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  SurfaceTable t(1);
  int changed = 0;
  for (int round = 0; round < 6000; ++round) {
    if (round % 100 == 0) {
      const int32_t w1 = pick(1, 32), h1 = pick(1, 32), w2 = pick(1, 32), h2 = pick(1, 32);
      put(t, 1, w1, h1, numbered(w1, h1));
      put(t, 2, w2, h2, testing::random_pixels(rng, static_cast<size_t>(w2) * h2));
    }
    t.clip = {pick(-10, 10), pick(-10, 10), pick(0, 40), pick(0, 40)};
    static constexpr uint32_t kFilled[] = {0, 10, 11, 13, 19, 21, 26, 28, 34, 35, 36, 50, 51, 52, 53};
    const uint32_t code = pick(0, 4) ? kFilled[pick(0, 14)] : static_cast<uint32_t>(pick(0, 64));
    const bool scaling = code == kOpScale || (code >= kOpScaleBilinear && code <= kOpScaleLanczos3);
    const uint32_t word = code | (pick(0, 1) ? kOpClipFlag : 0u);
    // Modes and the values the operations accept, now and then anything.
    static constexpr int32_t kModes[] = {0, 1, 2, 3, 90, 270, 32, 4500};
    static constexpr int32_t kDepths[] = {24, 16, 8};
    const int32_t p1 = scaling ? pick(-2, 40) : pick(0, 3) ? kModes[pick(0, 7)] : pick(-300, 300);
    const int32_t p2 = scaling ? pick(-2, 40) : pick(0, 1) ? kDepths[pick(0, 2)] : pick(-300, 300);
    const int32_t p4 = scaling ? pick(0, 0x1FF) : pick(-300, 300);
    // Rectangles around the smaller of the two surfaces: inside, overlapping an edge, or outside.
    const int32_t dst = pick(1, 2), src = pick(1, 3);
    const Surface* s = surface_find(t, src);
    const Surface& d = *surface_find(t, dst);
    const int32_t mw = std::min(d.width, s ? s->width : d.width), mh = std::min(d.height, s ? s->height : d.height);
    const int32_t w = pick(-1, mw + 1), h = pick(-1, mh + 1);
    auto at = [&](int32_t room) { return pick(-1, std::max(room, 0) + 1); };
    const Pixels before = get(t, dst);
    blit(t, dst, src, word,
         {.dst_x = at(mw - w), .dst_y = at(mh - h), .src_x = at(mw - w), .src_y = at(mh - h), .width = w, .height = h,
          .param1 = p1, .param2 = p2, .param3 = pick(-300, 300), .param4 = p4});
    const Pixels after = get(t, dst);
    changed += after != before;
    // A clipped blit of an operation that writes its destination rectangle writes nothing outside
    // the clip rectangle. Left out: the operations that write the whole destination (depth
    // conversion, the turns) and the filters behind OpScale, clipped by their source rectangle
    // rather than by the size they write.
    const uint32_t row = code < kOpCount ? op_table()[code].flags : 0;
    const bool clipped = (word & kOpClipFlag) && (row & kOpDestRect) && !(row & kOpNoClip) &&
                         (!(row & kOpScaled) || (row & kOpScaledClip));
    for (int32_t y = 0; clipped && y < d.height; ++y) {
      for (int32_t x = 0; x < d.width; ++x) {
        const bool inside =
            x >= t.clip.x && x < t.clip.x + t.clip.width && y >= t.clip.y && y < t.clip.y + t.clip.height;
        const size_t k = static_cast<size_t>(y) * d.width + x;
        ASSERT_TRUE(inside || after[k] == before[k])
            << "op " << code << " wrote (" << x << ", " << y << ") outside the clip";
      }
    }
    put(t, dst, surface_find(t, dst)->width, surface_find(t, dst)->height, before);
  }
  EXPECT_GT(changed, 300);  // enough of them reach an operation
}

}  // namespace
}  // namespace tesmo
