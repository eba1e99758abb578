// The geometric effects: displacement, lens, polar coordinates, raster, alpha raster and alpha
// rotation, with hand-computed pixels and the caching of their maps and snapshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "surface/compositor.h"
#include "tests/surface/compositor_util.h"

namespace tesmo {
namespace {

using testing::argb;
using testing::get;
using testing::Pixels;
using testing::put;

constexpr uint32_t kUnwritten = 0x5A5A5A5Au;

// ---- displacement ----------------------------------------------------------------------------

TEST(Displace, MapMovesPixelsOfTheSnapshot) {
  SurfaceTable t(2);
  const Pixels picture = testing::numbered(4, 3);
  put(t, 2, 4, 3, picture);
  Pixels map(12, argb(128, 1, 2, 3));
  map[1] = argb(138, 0, 0, 0);  // f = 10: 10 × 10 / 100 = 1 across, 10 × 5 / 100 = 0 down
  map[5] = argb(127, 0, 0, 0);  // f = −1: −10 / 100 and −5 / 100 truncate to 0
  map[6] = argb(255, 0, 0, 0);  // f = 127: 12 across, 6 down, held at the bottom-right corner
  map[8] = argb(0, 0, 0, 0);    // f = −128: −12 across, −6 down, held at the top-left corner
  put(t, 1, 4, 3, map);
  blit(t, 2, 1, kOpDisplace, {.width = 4, .height = 3, .param1 = 10, .param2 = 5});
  Pixels want = picture;
  want[1] = picture[2];
  want[6] = picture[11];
  want[8] = picture[0];
  EXPECT_EQ(get(t, 2), want);
  ASSERT_NE(surface_find(t, kKeyTrimTemporary), nullptr);
  EXPECT_EQ(get(t, kKeyTrimTemporary), picture);
}

TEST(Displace, SnapshotIsKeptForTheSameSizeAndReplacedForAnother) {
  SurfaceTable t(2);
  put(t, 1, 3, 2, {}, argb(128, 0, 0, 0));  // no displacement
  put(t, 2, 3, 2, {}, 0x01010101u);
  blit(t, 2, 1, kOpDisplace, {.width = 3, .height = 2, .param1 = 100, .param2 = 100});
  EXPECT_EQ(get(t, 2), Pixels(6, 0x01010101u));
  // The destination changes; the kept snapshot still holds the first picture and is used as it is.
  put(t, 2, 3, 2, {}, 0x02020202u);
  blit(t, 2, 1, kOpDisplace, {.width = 3, .height = 2, .param1 = 100, .param2 = 100});
  EXPECT_EQ(get(t, 2), Pixels(6, 0x01010101u));
  // A destination of another size gets a new snapshot of itself.
  put(t, 1, 2, 2, {}, argb(128, 0, 0, 0));
  put(t, 2, 2, 2, {}, 0x03030303u);
  blit(t, 2, 1, kOpDisplace, {.width = 2, .height = 2, .param1 = 100, .param2 = 100});
  EXPECT_EQ(get(t, 2), Pixels(4, 0x03030303u));
  EXPECT_EQ(surface_find(t, kKeyTrimTemporary)->width, 2);
}

// ---- lens --------------------------------------------------------------------------------------

Pixels lens(SurfaceTable& t, int32_t size, int32_t distance) {
  put(t, 2, size, size, {}, kUnwritten);
  blit(t, 2, 1, kOpLens, {.width = size, .height = size, .param1 = distance});
  return get(t, 2);
}

TEST(Lens, HandComputedPixels) {
  SurfaceTable t(4);
  const Pixels src = testing::numbered(8, 8);
  put(t, 1, 8, 8, src);
  auto at = [&](int32_t x, int32_t y) { return src[static_cast<size_t>(y * 8 + x)]; };
  // R = 4, D = −2: gr = 3; the 25 offsets with |l|, |i| ≤ 2 lie inside. Offset (2, 0): w = 3,
  // column 6 − 2 × 5 / 3 = 3; (1, 0): 5 − 5 / 3 = 4; (−2, 0): 2 + 10 / 3 = 5 (truncating).
  const Pixels out = lens(t, 8, -2);
  EXPECT_EQ(out[4 * 8 + 6], at(3, 4));
  EXPECT_EQ(out[4 * 8 + 5], at(4, 4));
  EXPECT_EQ(out[4 * 8 + 2], at(5, 4));
  EXPECT_EQ(out[4 * 8 + 4], at(4, 4));
  EXPECT_EQ(std::count_if(out.begin(), out.end(), [](uint32_t p) { return p != kUnwritten; }), 25);
  EXPECT_EQ(out[4 * 8 + 7], kUnwritten);  // offset (3, 0) is on the circle
  // D = 0 looks at the centre from every point inside (|l|, |i| ≤ 1 for R = 2).
  put(t, 1, 4, 4, testing::numbered(4, 4));
  const Pixels centre = lens(t, 4, 0);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && y >= 1;
      EXPECT_EQ(centre[static_cast<size_t>(y * 4 + x)], inside ? get(t, 1)[10] : kUnwritten) << x << "," << y;
    }
  }
}

TEST(Lens, DistanceAtOrBeyondTheRadiusWritesNothing) {
  SurfaceTable t(4);
  put(t, 1, 6, 6, testing::numbered(6, 6));
  for (int32_t d : {3, -3, 256, -256}) EXPECT_EQ(lens(t, 6, d), Pixels(36, kUnwritten)) << d;
  // An odd width leaves the last row and column alone.
  put(t, 1, 5, 5, testing::numbered(5, 5));
  const Pixels odd = lens(t, 5, 0);
  for (int32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(odd[static_cast<size_t>(4 * 5 + k)], kUnwritten);
    EXPECT_EQ(odd[static_cast<size_t>(k * 5 + 4)], kUnwritten);
  }
}

// The map is kept in the source's auxiliary block: a planted entry survives a second call with the
// same distance and is gone after a call with another.
TEST(Lens, MapIsReusedUntilTheDistanceChanges) {
  SurfaceTable t(4);
  const Pixels src = testing::numbered(8, 8);
  put(t, 1, 8, 8, src);
  lens(t, 8, -2);
  Surface& s = *surface_find(t, 1);
  ASSERT_EQ(s.aux.size(), (64u + 1u) * 4u);
  int32_t words[2];
  std::memcpy(words, s.aux.data(), sizeof words);
  EXPECT_EQ(words[0], -2);
  EXPECT_EQ(words[1], -1);  // the top-left corner is outside the circle
  const int32_t planted = 63;
  std::memcpy(s.aux.data() + 4, &planted, 4);
  EXPECT_EQ(lens(t, 8, -2)[0], src[63]);
  EXPECT_EQ(lens(t, 8, -1)[0], kUnwritten);
  // A planted index past the picture is never followed.
  const int32_t wild = 1 << 30;
  std::memcpy(s.aux.data() + 4, &wild, 4);
  EXPECT_EQ(lens(t, 8, -1)[0], kUnwritten);
  // Swapping pixels releases the map.
  put(t, 3, 8, 8, src);
  surface_swap_pixels(t, 1, 3);
  EXPECT_EQ(surface_find(t, 1)->aux.size(), 0u);
}

// ---- polar coordinates ---------------------------------------------------------------------

TEST(Polar, AngleToColumnAndDistanceToRow) {
  SurfaceTable t(5);
  const Pixels src = testing::numbered(3, 3);
  put(t, 1, 3, 3, src);
  put(t, 2, 3, 3, {}, kUnwritten);
  blit(t, 2, 1, kOpPolar, {.width = 3, .height = 3, .param1 = 1, .param2 = 1});
  auto at = [&](int32_t x, int32_t y) { return src[static_cast<size_t>(y * 3 + x)]; };
  // Column = ((3π/2 − atan2(dy, dx)) / 2π × 3) mod 3, row = distance mod 3, about (1, 1).
  const Pixels want{at(0, 1), at(0, 1), at(2, 1),   // 3.375 → 0, 3.0 → 0, 2.625 → 2; distances 1.41, 1, 1.41
                    at(0, 1), at(2, 0), at(2, 1),   // 0.75, 2.25 (centre: atan2 0, distance 0), 2.25
                    at(1, 1), at(1, 1), at(1, 1)};  // 1.125, 1.5, 1.875
  EXPECT_EQ(get(t, 2), want);
}

TEST(Polar, MapIsReusedUntilSizeOrCentreChanges) {
  SurfaceTable t(5);
  const Pixels src = testing::numbered(4, 3);
  put(t, 1, 4, 3, src);
  put(t, 2, 4, 3, {}, kUnwritten);
  auto polar = [&](int32_t cx, int32_t cy) {
    blit(t, 2, 1, kOpPolar, {.width = 4, .height = 3, .param1 = cx, .param2 = cy});
    return get(t, 2);
  };
  const Pixels first = polar(2, 1);
  Surface& s = *surface_find(t, 1);
  ASSERT_EQ(s.aux.size(), 8u + 12u * 4u);
  uint16_t header[4];
  std::memcpy(header, s.aux.data(), sizeof header);
  EXPECT_EQ(header[0], 4);
  EXPECT_EQ(header[1], 3);
  EXPECT_EQ(header[2], 2);
  EXPECT_EQ(header[3], 1);
  const uint32_t planted = 2u << 16 | 3u;  // source (3, 2)
  std::memcpy(s.aux.data() + 8, &planted, 4);
  EXPECT_EQ(polar(2, 1)[0], src[11]);
  polar(1, 1);
  EXPECT_EQ(polar(2, 1), first);
  // An entry outside the picture is never followed.
  const uint32_t wild = 7u << 16 | 9u;
  std::memcpy(s.aux.data() + 8, &wild, 4);
  put(t, 2, 4, 3, {}, kUnwritten);
  EXPECT_EQ(polar(2, 1)[0], kUnwritten);
}

// ---- raster ----------------------------------------------------------------------------------

Pixels raster(uint32_t op, int32_t w, int32_t h, const Pixels& src, int32_t axis, int32_t amp, int32_t phase,
              int32_t offset = 0) {
  SurfaceTable t(6);
  put(t, 1, w, h, src);
  put(t, 2, w, h, {}, kUnwritten);
  blit(t, 2, 1, op, {.width = w, .height = h, .param1 = axis, .param2 = amp, .param3 = phase, .param4 = offset});
  return get(t, 2);
}

TEST(Raster, AmplitudeZeroCopiesEveryLine) {
  const Pixels src = testing::numbered(5, 4);
  EXPECT_EQ(raster(kOpRaster, 5, 4, src, 0, 0, 37), src);
  EXPECT_EQ(raster(kOpRaster, 5, 4, src, 1, 0, 37), src);
  EXPECT_EQ(raster(kOpRaster, 5, 4, src, 2, 50, 37), Pixels(20, kUnwritten));
}

// Amplitude 100 with phase −1 for rows (rows count from 1) and 0 for columns: the angles of lines
// 0–3 are 0°, 1°, 2°, 3°, so the shifts are 0, 1 (1.75), 3 (3.49) and 5 (5.23), the last past a
// length of 4.
TEST(Raster, ShiftsRowsAndColumnsAlongTheWave) {
  const Pixels s = testing::numbered(4, 4);
  const uint32_t u = kUnwritten;
  auto at = [&](int32_t x, int32_t y) { return s[static_cast<size_t>(y * 4 + x)]; };
  EXPECT_EQ(raster(kOpRaster, 4, 4, s, 0, 100, -1), Pixels({at(0, 0), at(1, 0), at(2, 0), at(3, 0),  //
                                                            u, at(0, 1), at(1, 1), at(2, 1),          //
                                                            u, u, u, at(0, 2),                        //
                                                            u, u, u, u}));
  EXPECT_EQ(raster(kOpRaster, 4, 4, s, 0, -100, -1), Pixels({at(0, 0), at(1, 0), at(2, 0), at(3, 0),  //
                                                             at(1, 1), at(2, 1), at(3, 1), u,          //
                                                             at(3, 2), u, u, u,                        //
                                                             u, u, u, u}));
  EXPECT_EQ(raster(kOpRaster, 4, 4, s, 1, 100, 0), Pixels({at(0, 0), u, u, u,              //
                                                           at(0, 1), at(1, 0), u, u,       //
                                                           at(0, 2), at(1, 1), u, u,       //
                                                           at(0, 3), at(1, 2), at(2, 0), u}));
}

TEST(Raster, InPlaceEqualsSeparate) {
  const Pixels src = testing::numbered(9, 7);
  for (auto [axis, amp] : {std::pair{0, 4}, std::pair{0, -4}, std::pair{1, 3}, std::pair{1, -3}}) {
    SurfaceTable t(6);
    put(t, 1, 9, 7, src);
    blit(t, 1, 1, kOpRaster, {.width = 9, .height = 7, .param1 = axis, .param2 = amp, .param3 = 40});
    Pixels want = raster(kOpRaster, 9, 7, src, axis, amp, 40);
    for (size_t i = 0; i < want.size(); ++i) {
      if (want[i] == kUnwritten) want[i] = src[i];
    }
    EXPECT_EQ(get(t, 1), want) << axis << " " << amp;
  }
}

TEST(AlphaRaster, BlendsEachCoveredPixel) {
  // Source alpha 128 with offset 0: mix = s + S(127, d − s); 0x5A = 90 over s.
  const Pixels src{argb(128, 200, 10, 90), argb(255, 1, 2, 3), argb(0, 100, 100, 100)};
  // S(127, −110) = floor(−54.57) = −55, S(127, 80) = 39; S(255, −10) = floor(−9.96) = −10.
  EXPECT_EQ(raster(kOpAlphaRaster, 3, 1, src, 0, 0, 0),
            Pixels({argb(0, 145, 49, 90), argb(0, 1, 2, 3), argb(0, 90, 90, 90)}));
  EXPECT_EQ(raster(kOpAlphaRaster, 3, 1, src, 0, 0, 0, 255),
            Pixels({argb(0, 200, 10, 90), argb(0, 1, 2, 3), argb(0, 100, 100, 100)}));
  // Shifted by 5 on a line of 3: nothing written.
  EXPECT_EQ(raster(kOpAlphaRaster, 3, 1, src, 0, 400, 0), Pixels(3, kUnwritten));
}

// ---- alpha rotation ----------------------------------------------------------------------------

TEST(AlphaRotate, FollowsTheRotationAndKeepsDestinationAlpha) {
  std::mt19937 rng(47);
  const Pixels src = testing::random_pixels(rng, 7 * 5);
  for (int32_t angle : {0, 9000, 4500, -3000}) {
    SurfaceTable t(7);
    put(t, 1, 7, 5, src);
    put(t, 2, 6, 6, {}, 0x7F000000u | 0x102030u);
    put(t, 3, 6, 6, {}, 0x7F000000u | 0x102030u);
    blit(t, 2, 1, kOpRotate, {.dst_x = 1, .width = 7, .height = 5, .param1 = angle, .param2 = 3, .param3 = 2});
    blit(t, 3, 1, kOpAlphaRotate,
         {.dst_x = 1, .width = 7, .height = 5, .param1 = angle, .param2 = 3, .param3 = 2,
          .param4 = 255});  // α 255: the source colour
    Pixels want = get(t, 2);
    for (uint32_t& p : want) p = (p & 0xFFFFFFu) | 0x7F000000u;
    EXPECT_EQ(get(t, 3), want) << angle;
  }
  // A half-transparent pixel blends: S(127, 0x10 − 200) = floor(−91.3) = −92.
  SurfaceTable t(7);
  put(t, 1, 1, 1, {argb(128, 200, 200, 200)});
  put(t, 2, 1, 1, {argb(9, 0x10, 0x10, 0x10)});
  blit(t, 2, 1, kOpAlphaRotate, {.width = 1, .height = 1});
  EXPECT_EQ(get(t, 2), Pixels{argb(9, 108, 108, 108)});
}

}  // namespace
}  // namespace tesmo
