#include "surface/surface.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A surface of the given size with every pixel `colour`.
Surface& make(SurfaceTable& t, int32_t key, int32_t w, int32_t h, uint32_t colour) {
  EXPECT_EQ(surface_create(t, key, w, h), 0);
  Surface& s = *surface_find(t, key);
  std::fill(s.picture().begin(), s.picture().end(), colour);
  return s;
}

std::vector<uint32_t> pixels_of(const Surface& s) { return {s.picture().begin(), s.picture().end()}; }

// Pixels with distinct values, so that a misplaced copy shows.
void number_pixels(Surface& s) {
  for (size_t i = 0; i < s.pixel_count(); ++i) s.pixels()[i] = 0x01000000u * (i & 0x7F) + static_cast<uint32_t>(i);
}

// A 2 × 2 24-bit bitmap, rows stored bottom up and padded to 8 bytes: top row blue, green; bottom
// row red, white.
std::vector<uint8_t> tiny_bmp() {
  std::vector<uint8_t> b(70, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, 70);
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 2);
  b[26] = 1;
  b[28] = 24;
  const uint8_t rows[16] = {0, 0, 255, 255, 255, 255, 0, 0,   // bottom: red, white
                            255, 0, 0, 0, 255, 0, 0, 0};      // top: blue, green
  std::memcpy(&b[54], rows, sizeof rows);
  return b;
}

TEST(SurfaceTable, StartsWithTheLookupTablesMarkedNotBuilt) {
  SurfaceTable t(1);
  EXPECT_EQ(t.size(), 0u);
  EXPECT_EQ(t.clip, Rect{});
  EXPECT_EQ(t.saved_clip, Rect{});
  ASSERT_EQ(t.tables.colour_balance.size(), 201u * 256u);
  EXPECT_EQ(t.tables.colour_balance[0], 255);
  ASSERT_EQ(t.tables.gamma.size(), 1000u * 256u);
  EXPECT_EQ(t.tables.gamma[0], 255);
  EXPECT_EQ(t.tables.noise_palette[0], 0xFFFFFFFFu);
  EXPECT_EQ(t.tables.posterize_levels, -1);
  EXPECT_EQ(t.tables.tone_curve, -1);
  EXPECT_EQ(t.tables.tone_exposure, (std::array<int32_t, 3>{-1, -1, -1}));
}

TEST(SurfaceTable, RandomSourceIsPerTableAndFifteenBits) {
  SurfaceTable a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 1000; ++i) {
    int32_t va = a.random.next();
    ASSERT_GE(va, 0);
    ASSERT_LE(va, 32767);
    ASSERT_EQ(va, b.random.next());
    differs |= va != c.random.next();
  }
  EXPECT_TRUE(differs);
}

TEST(SurfaceCreate, ZeroByZeroIsAnEmptySurfaceEveryOperationAccepts) {
  SurfaceTable t(1);
  ASSERT_EQ(surface_create(t, 1, 0, 0), 0);
  Surface* s = surface_find(t, 1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->pixel_count(), 0u);
  EXPECT_EQ(s->buffer_bytes(), 8u * 4u);
  surface_fill(t, 1, 1, 2, 3, 4);
  surface_set_alpha(t, 1, 9);
  EXPECT_EQ(surface_count_colours(t, 1), 0);
  Histogram h;
  EXPECT_EQ(surface_histogram(t, 1, h), 0);
  EXPECT_EQ(h.maxima, (std::array<uint32_t, 4>{}));
  Rect out{7, 7, 7, 7};
  EXPECT_EQ(surface_auto_trim(t, 1, 0x10F, 0, out), 2);
  EXPECT_EQ(out, (Rect{7, 7, 7, 7}));
  EXPECT_EQ(surface_duplicate(t, 2, 1), 0);
  EXPECT_EQ(surface_find(t, 2)->pixel_count(), 0u);
  EXPECT_EQ(surface_swap_pixels(t, 1, 2), 0);
}

TEST(SurfaceCreate, ReplacingAKeyKeepsOneSurfaceAndMovesItToTheEnd) {
  SurfaceTable t(1);
  make(t, 1, 2, 2, kRed);
  make(t, 2, 3, 3, kRed);
  make(t, 3, 4, 4, kRed);
  surface_find(t, 2)->info.format = kFormatBmp;
  ensure_aux(*surface_find(t, 2), 64);
  ASSERT_EQ(surface_create(t, 2, 5, 1), 0);
  EXPECT_EQ(t.keys(), (std::vector<int32_t>{1, 3, 2}));
  const Surface& s = *surface_find(t, 2);
  EXPECT_EQ(s.width, 5);
  EXPECT_EQ(s.height, 1);
  EXPECT_EQ(s.info, ImageInfo{});
  EXPECT_EQ(s.aux.size(), 0u);
}

TEST(SurfaceCreate, BadSizesFailAndLeaveTheKeyEmpty) {
  struct Case {
    int32_t w, h;
    const char* what;
  };
  const Case cases[] = {
      {-1, 5, "negative width"},
      {5, -1, "negative height"},
      {-4, -4, "both negative (positive product)"},
      {INT32_MIN, 1, "most negative width"},
      {65536, 32768, "2^31 pixels"},
      {46341, 46341, "just past the 32-bit pixel count"},
      {INT32_MAX, INT32_MAX, "64-bit sized product"},
      {INT32_MAX - 7, 1, "picture plus spare pixels overflow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    make(t, 7, 2, 2, kRed);
    make(t, 8, 1, 1, kRed);
    EXPECT_EQ(surface_create(t, 7, c.w, c.h), 1);
    EXPECT_EQ(surface_find(t, 7), nullptr);
    EXPECT_EQ(t.keys(), (std::vector<int32_t>{8}));
  }
}

TEST(SurfaceCreate, PixelBlocksAreAlignedAndCarryEightSparePixels) {
  struct Case {
    int32_t w, h;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {3, 7}, {0, 100}, {1024, 512}, {1023, 1025}, {4000, 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h);
    SurfaceTable t(1);
    ASSERT_EQ(surface_create(t, 1, c.w, c.h), 0);
    Surface& s = *surface_find(t, 1);
    const size_t n = s.pixel_count();
    EXPECT_EQ(s.buffer_bytes(), (n + 8) * 4);
    const auto address = reinterpret_cast<uintptr_t>(s.pixels());
    EXPECT_EQ(address % 32, 0u);
    if (s.buffer_bytes() >= AlignedBlock::kHugePage) {
      EXPECT_EQ(address % AlignedBlock::kHugePage, 0u);
    }
    // The spare pixels are writable, and whole-picture operations never touch them.
    for (size_t i = n; i < n + 8; ++i) s.pixels()[i] = 0xABCD0000u + static_cast<uint32_t>(i - n);
    surface_fill(t, 1, 1, 2, 3, 4);
    surface_set_alpha(t, 1, 0);
    for (size_t i = n; i < n + 8; ++i) ASSERT_EQ(s.pixels()[i], 0xABCD0000u + (i - n));
    if (n > 0) {
      EXPECT_EQ(s.pixels()[0], 0x00010203u);
      EXPECT_EQ(s.pixels()[n - 1], 0x00010203u);
    }
  }
}

TEST(SurfaceFill, FillAndSetAlphaCoverEveryPixelAndIgnoreMissingKeys) {
  SurfaceTable t(1);
  Surface& s = make(t, 1, 7, 3, 0);
  number_pixels(s);
  std::vector<uint32_t> before = pixels_of(s);
  surface_set_alpha(t, 1, 0x80);
  for (size_t i = 0; i < before.size(); ++i) ASSERT_EQ(s.pixels()[i], (before[i] & 0xFFFFFF) | 0x80000000u);
  surface_fill(t, 1, 0x12, 0x34, 0x56, 0x78);
  EXPECT_EQ(pixels_of(s), std::vector<uint32_t>(21, 0x78123456u));
  surface_fill(t, 99, 1, 2, 3, 4);
  surface_set_alpha(t, 99, 1);
  EXPECT_EQ(t.size(), 1u);
}

TEST(SurfaceRemove, RemovesOnlyTheKeyAndIgnoresMissingOnes) {
  SurfaceTable t(1);
  make(t, 1, 1, 1, 0);
  make(t, -1, 1, 1, 0);
  make(t, 100, 1, 1, 0);
  ensure_aux(*surface_find(t, -1), 32);
  surface_remove(t, -1);
  surface_remove(t, 55);
  EXPECT_EQ(t.keys(), (std::vector<int32_t>{1, 100}));
  EXPECT_EQ(surface_find(t, -1), nullptr);
}

TEST(SurfaceSwap, DifferentSizesExchangePixelsWhileKeysInfoAndOrderStay) {
  SurfaceTable t(1);
  Surface& a = make(t, 3, 4, 2, kRed);
  Surface& b = make(t, 1, 1, 5, kWhite);
  a.info.format = kFormatTga;
  b.info.format = kFormatBmp;
  ASSERT_FALSE(ensure_aux(a, 100).empty());
  ASSERT_FALSE(ensure_aux(b, 40).empty());
  ASSERT_EQ(surface_swap_pixels(t, 3, 1), 0);
  EXPECT_EQ(t.keys(), (std::vector<int32_t>{3, 1}));
  EXPECT_EQ(a.width, 1);
  EXPECT_EQ(a.height, 5);
  EXPECT_EQ(pixels_of(a), std::vector<uint32_t>(5, kWhite));
  EXPECT_EQ(b.width, 4);
  EXPECT_EQ(b.height, 2);
  EXPECT_EQ(pixels_of(b), std::vector<uint32_t>(8, kRed));
  EXPECT_EQ(a.buffer_bytes(), (5u + 8u) * 4u);
  EXPECT_EQ(a.info.format, kFormatTga);
  EXPECT_EQ(b.info.format, kFormatBmp);
  EXPECT_EQ(a.aux.size(), 0u);
  EXPECT_EQ(b.aux.size(), 0u);
}

TEST(SurfaceSwap, MissingKeyFailsWithoutTouchingTheOther) {
  SurfaceTable t(1);
  Surface& a = make(t, 1, 2, 2, kRed);
  ensure_aux(a, 16);
  EXPECT_EQ(surface_swap_pixels(t, 1, 2), 1);
  EXPECT_EQ(surface_swap_pixels(t, 2, 1), 1);
  EXPECT_EQ(a.aux.size(), 16u);
  EXPECT_EQ(pixels_of(a), std::vector<uint32_t>(4, kRed));
  EXPECT_EQ(surface_swap_pixels(t, 1, 1), 0);
  EXPECT_EQ(pixels_of(a), std::vector<uint32_t>(4, kRed));
}

TEST(SurfaceDuplicate, CopiesSizePixelsAndInfoButNotTheAuxiliaryBlock) {
  SurfaceTable t(1);
  Surface& src = make(t, 1, 5, 3, 0);
  number_pixels(src);
  src.info.format = kFormatPng;
  src.info.width = 5;
  ensure_aux(src, 64);
  make(t, 3, 40, 40, kRed);  // a larger destination is replaced
  ASSERT_EQ(surface_duplicate(t, 3, 1), 0);
  const Surface& dst = *surface_find(t, 3);
  EXPECT_EQ(dst.width, 5);
  EXPECT_EQ(dst.height, 3);
  EXPECT_EQ(pixels_of(dst), pixels_of(src));
  EXPECT_EQ(dst.info, src.info);
  EXPECT_EQ(dst.aux.size(), 0u);
}

TEST(SurfaceDuplicate, MissingSourceGivesAnEmptyDestination) {
  SurfaceTable t(1);
  Surface& old = make(t, 3, 4, 4, kRed);
  old.info.format = kFormatBmp;
  ASSERT_EQ(surface_duplicate(t, 3, 42), 0);
  const Surface& dst = *surface_find(t, 3);
  EXPECT_EQ(dst.width, 0);
  EXPECT_EQ(dst.height, 0);
  EXPECT_EQ(dst.info, ImageInfo{});
}

TEST(SurfaceDuplicate, OntoItselfKeepsThePicture) {
  SurfaceTable t(1);
  Surface& s = make(t, 1, 3, 2, 0);
  number_pixels(s);
  std::vector<uint32_t> before = pixels_of(s);
  ASSERT_EQ(surface_duplicate(t, 1, 1), 0);
  ASSERT_NE(surface_find(t, 1), nullptr);
  EXPECT_EQ(pixels_of(*surface_find(t, 1)), before);
}

TEST(CopyRect, CopiesAnInnerRectangleRowByRow) {
  SurfaceTable t(1);
  Surface& src = make(t, 1, 6, 5, 0);
  number_pixels(src);
  Surface& dst = make(t, 2, 3, 2, kRed);
  copy_rect(dst, src, 2, 1, 3, 2);
  EXPECT_EQ(pixels_of(dst), (std::vector<uint32_t>{src.pixels()[8], src.pixels()[9], src.pixels()[10],
                                                   src.pixels()[14], src.pixels()[15], src.pixels()[16]}));
  // A narrower rectangle into a wider destination leaves the rest of each row alone.
  Surface& wide = make(t, 3, 4, 2, kRed);
  copy_rect(wide, src, 0, 0, 2, 2);
  EXPECT_EQ(pixels_of(wide), (std::vector<uint32_t>{src.pixels()[0], src.pixels()[1], kRed, kRed,
                                                    src.pixels()[6], src.pixels()[7], kRed, kRed}));
}

TEST(AuxiliaryBlock, IsAlignedZeroedAndReleasedForZeroBytes) {
  SurfaceTable t(1);
  Surface& s = make(t, 1, 2, 2, 0);
  std::span<uint8_t> aux = ensure_aux(s, 1000);
  ASSERT_EQ(aux.size(), 1000u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(aux.data()) % 32, 0u);
  std::fill(aux.begin(), aux.end(), uint8_t{7});
  std::span<uint8_t> again = ensure_aux(s, 1000);
  EXPECT_EQ(std::count(again.begin(), again.end(), 0), 1000);
  EXPECT_EQ(ensure_aux(s, 8).size(), 8u);
  EXPECT_TRUE(ensure_aux(s, 0).empty());
  EXPECT_EQ(s.aux.size(), 0u);
}

// 8 × 6 picture of `kBg` with an inner block (2, 1, 3, 2) of other colours: margins top 1, bottom 3,
// left 2, right 3.
constexpr uint32_t kBg = 0x00102030u;

Surface& framed_picture(SurfaceTable& t, int32_t key, Rect inner) {
  Surface& s = make(t, key, 8, 6, kBg);
  for (int32_t y = inner.y; y < inner.y + inner.height; ++y) {
    for (int32_t x = inner.x; x < inner.x + inner.width; ++x) s.pixels()[y * 8 + x] = 0x1000u * y + x;
  }
  return s;
}

TEST(SurfaceAutoTrim, FlagCombinations) {
  struct Case {
    uint32_t flags;
    Rect inner;
    int expected;
    Rect kept;
    const char* what;
  };
  const Rect inner{2, 1, 3, 2};
  const Case cases[] = {
      {0x00F, inner, 0, {2, 1, 3, 2}, "all four sides"},
      {0x10F, inner, 0, {2, 1, 4, 4}, "equal margins: the smaller of each pair"},
      {0x001, inner, 0, {0, 1, 8, 5}, "top only"},
      {0x002, inner, 0, {0, 0, 8, 3}, "bottom only"},
      {0x004, inner, 0, {2, 0, 6, 6}, "left only"},
      {0x008, inner, 0, {0, 0, 5, 6}, "right only"},
      {0x10C, inner, 0, {2, 0, 4, 6}, "equal left and right only"},
      {0x103, inner, 0, {0, 1, 8, 4}, "equal top and bottom only"},
      {0x105, inner, 0, {2, 1, 6, 5}, "equal flag needs both sides of a pair"},
      {0x10F, {4, 3, 2, 3}, 0, {2, 0, 4, 6}, "left margin larger than right, bottom margin 0"},
      {0x000, inner, 2, {}, "no side flagged"},
      {0x100, inner, 2, {}, "only the equal flag"},
      {0x10F, {0, 0, 8, 6}, 2, {}, "nothing to trim"},
      {0x10F, {0, 1, 8, 5}, 2, {}, "equal margins cancel a one-sided margin"},
      {0x00F, {0, 0, 1, 1}, 0, {0, 0, 1, 1}, "one pixel in a corner"},
      {0x00F, {0, 0, 0, 0}, 2, {}, "entirely the trim colour"},
      {0x001, {0, 0, 0, 0}, 2, {}, "entirely the trim colour, top only"},
      {0x10F, {0, 0, 0, 0}, 2, {}, "entirely the trim colour, equal margins"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    Surface& s = framed_picture(t, 1, c.inner);
    s.info.format = kFormatBmp;
    make(t, 2, 1, 1, 0);
    const std::vector<uint32_t> before = pixels_of(s);
    Rect out{-9, -9, -9, -9};
    ASSERT_EQ(surface_auto_trim(t, 1, c.flags, kBg, out), c.expected);
    EXPECT_EQ(surface_find(t, kKeyTrimTemporary), nullptr);
    EXPECT_EQ(t.keys(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(s.info.format, kFormatBmp);
    if (c.expected != 0) {
      EXPECT_EQ(out, (Rect{-9, -9, -9, -9}));
      EXPECT_EQ(pixels_of(s), before);
      continue;
    }
    EXPECT_EQ(out, c.kept);
    ASSERT_EQ(s.width, c.kept.width);
    ASSERT_EQ(s.height, c.kept.height);
    for (int32_t y = 0; y < s.height; ++y) {
      for (int32_t x = 0; x < s.width; ++x) {
        ASSERT_EQ(s.pixels()[y * s.width + x], before[(y + c.kept.y) * 8 + x + c.kept.x]) << x << "," << y;
      }
    }
  }
}

TEST(SurfaceAutoTrim, ComparesAllThirtyTwoBits) {
  SurfaceTable t(1);
  Surface& s = make(t, 1, 3, 3, 0xFF000000u);
  s.pixels()[4] = 0x00000000u;  // differs from the margin colour only in alpha
  Rect out;
  ASSERT_EQ(surface_auto_trim(t, 1, 0xF, 0xFF000000u, out), 0);
  EXPECT_EQ(out, (Rect{1, 1, 1, 1}));
  EXPECT_EQ(pixels_of(s), std::vector<uint32_t>{0u});
}

TEST(SurfaceAutoTrim, MissingKeyAndTheTemporaryItselfFail) {
  SurfaceTable t(1);
  Rect out;
  EXPECT_EQ(surface_auto_trim(t, 1, 0x10F, 0, out), 1);
  framed_picture(t, kKeyTrimTemporary, {2, 1, 3, 2});
  EXPECT_EQ(surface_auto_trim(t, kKeyTrimTemporary, 0x10F, kBg, out), 1);
  EXPECT_EQ(surface_find(t, kKeyTrimTemporary)->width, 8);
}

TEST(SurfaceCountColours, CountsRedGreenBlueIgnoringAlpha) {
  struct Case {
    std::vector<uint32_t> pixels;
    int32_t expected;
    const char* what;
  };
  const Case cases[] = {
      {{}, 0, "empty picture"},
      {{0x00FFFFFF, 0xFFFFFFFF, 0x80FFFFFF, 0x01FFFFFF}, 1, "differ only in alpha"},
      {{0xFF000000, 0x00000000}, 1, "black with two alphas"},
      {{0, 1, 0x100, 0x10000}, 4, "one channel each"},
      {{63, 64, 127, 128, 0xFFFFFF, 0xFFFFFE}, 6, "across bit-set words"},
      {{5, 5, 5, 5, 5, 5, 5}, 1, "repeated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SurfaceTable t(1);
    ASSERT_EQ(surface_create(t, 1, static_cast<int32_t>(c.pixels.size()), 1), 0);
    std::copy(c.pixels.begin(), c.pixels.end(), surface_find(t, 1)->pixels());
    EXPECT_EQ(surface_count_colours(t, 1), c.expected);
  }
  SurfaceTable t(1);
  EXPECT_EQ(surface_count_colours(t, 1), 0);
}

TEST(SurfaceCountColours, EveryColourOnce) {
  SurfaceTable t(1);
  ASSERT_EQ(surface_create(t, 1, 4096, 4097), 0);
  Surface& s = *surface_find(t, 1);
  for (uint32_t i = 0; i < s.pixel_count(); ++i) s.pixels()[i] = i * 0x01000001u;
  EXPECT_EQ(surface_count_colours(t, 1), 1 << 24);
}

TEST(SurfaceHistogram, CountsEachByteAndReportsTheMaxima) {
  SurfaceTable t(1);
  // Seven pixels: not a multiple of the interleaved counter sets.
  ASSERT_EQ(surface_create(t, 1, 7, 1), 0);
  const uint32_t px[7] = {0xFF102030, 0xFF102031, 0xFF112031, 0x00112031, 0xFF000000, 0xFF000000, 0xFF000000};
  std::copy(std::begin(px), std::end(px), surface_find(t, 1)->pixels());
  Histogram h;
  h.red.fill(99);  // the caller's counters start from zero whatever they held
  h.alpha.fill(99);
  ASSERT_EQ(surface_histogram(t, 1, h), 0);
  EXPECT_EQ(h.red[0x10], 2u);
  EXPECT_EQ(h.red[0x11], 2u);
  EXPECT_EQ(h.red[0x00], 3u);
  EXPECT_EQ(h.green[0x20], 4u);
  EXPECT_EQ(h.blue[0x31], 3u);
  EXPECT_EQ(h.blue[0x30], 1u);
  EXPECT_EQ(h.alpha[0xFF], 6u);
  EXPECT_EQ(h.alpha[0x00], 1u);
  for (const auto* channel : {&h.red, &h.green, &h.blue, &h.alpha}) {
    uint32_t sum = 0;
    for (uint32_t v : *channel) sum += v;
    EXPECT_EQ(sum, 7u);
  }
  EXPECT_EQ(h.maxima, (std::array<uint32_t, 4>{3, 4, 3, 6}));
}

TEST(SurfaceHistogram, MissingKeyLeavesTheCountersAlone) {
  SurfaceTable t(1);
  Histogram h;
  h.green.fill(5);
  h.maxima = {1, 2, 3, 4};
  EXPECT_EQ(surface_histogram(t, 1, h), 1);
  EXPECT_EQ(h.green[17], 5u);
  EXPECT_EQ(h.maxima, (std::array<uint32_t, 4>{1, 2, 3, 4}));
}

TEST(BackBufferPixel, ReadsKeyZeroInsideItsPicture) {
  SurfaceTable t(1);
  EXPECT_EQ(back_buffer_pixel(t, 0, 0), -1);
  make(t, 1, 4, 4, kRed);
  EXPECT_EQ(back_buffer_pixel(t, 0, 0), -1) << "only key 0 is the back buffer";
  Surface& bb = make(t, kKeyBackBuffer, 4, 3, 0);
  number_pixels(bb);
  bb.pixels()[5] = kWhite;
  struct Case {
    int32_t x, y;
    int64_t expected;
  };
  const Case cases[] = {
      {0, 0, bb.pixels()[0]},  {3, 2, bb.pixels()[11]}, {1, 1, int64_t{kWhite}}, {-1, 0, -1},
      {0, -1, -1},             {4, 0, -1},               {0, 3, -1},               {INT32_MAX, INT32_MAX, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(back_buffer_pixel(t, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(SurfaceSave, WithoutRequestOnlyTwentyFourAndThirtyTwoBitsAreWritten) {
  testing::TempFolder dir;
  SurfaceTable t(1);
  make(t, 1, 3, 2, 0x80112233u);
  const std::u16string path = dir.file("out.bmp");
  EXPECT_EQ(surface_save(t, 9, path, 24, nullptr), 1) << "missing key";
  for (int32_t bits : {0, 1, 8, 15, 16, 23, 25, 31, 33, -24}) {
    EXPECT_EQ(surface_save(t, 1, path, bits, nullptr), 1) << bits;
    EXPECT_FALSE(file_exists(path)) << bits;
  }
}

TEST(SurfaceSave, RequestWithoutWritableFormatFails) {
  testing::TempFolder dir;
  SurfaceTable t(1);
  make(t, 1, 3, 2, kRed);
  SaveRequest r;
  r.format = kFormatPsd;
  EXPECT_EQ(surface_save(t, 1, dir.file("a.psd"), 24, &r), 1);
  r.format = kFormatBmp;
  r.pixel_format = 7;
  EXPECT_EQ(surface_save(t, 1, dir.file("a.bmp"), 24, &r), 1);
  EXPECT_EQ(surface_save(t, 1, u"", 24, nullptr), 1) << "empty path";
}

TEST(SurfaceLoad, RejectedDataRemovesTheEarlierSurface) {
  SurfaceTable t(1);
  const std::vector<uint8_t> garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  struct Case {
    bool from_file;
    std::vector<uint8_t> bytes;
    const char* what;
  };
  const Case cases[] = {
      {false, garbage, "text in memory"},
      {false, {}, "empty memory"},
      {false, {'B', 'M'}, "a bare signature"},
      {true, garbage, "text file"},
      {true, {}, "missing file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempFolder dir;
    make(t, 1, 4, 4, kRed);
    make(t, 2, 1, 1, kRed);
    const std::u16string path = dir.file("in.bmp");
    if (c.from_file && !c.bytes.empty()) {
      ASSERT_EQ(file_replace(path, c.bytes), 0);
    }
    const int result = c.from_file ? surface_load(t, 1, path, true) : surface_load(t, 1, std::span(c.bytes), true);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(surface_find(t, 1), nullptr);
    EXPECT_EQ(t.keys(), (std::vector<int32_t>{2}));
  }
}

TEST(SurfaceTable, ASaveWorkerCanLookUpItsSurfaceWhileTheWindowThreadAddsOthers) {
  SurfaceTable t(1);
  make(t, 1, 3, 3, kRed);
  std::atomic<bool> done{false};
  std::atomic<int> misses{0};
  std::thread worker([&] {
    while (!done) {
      const Surface* s = surface_find(t, 1);
      if (!s || s->width != 3) ++misses;
    }
  });
  for (int32_t key = 100; key < 3000; ++key) surface_create(t, key, 1, 1);
  for (int32_t key = 100; key < 3000; key += 2) surface_remove(t, key);
  done = true;
  worker.join();
  EXPECT_EQ(misses, 0);
  EXPECT_EQ(t.size(), 1u + 1450u);
}

// The tests below need the BMP reader and writer of formats/bmp.

TEST(SurfaceLoad, DecodesIntoANewSurfaceAtTheEnd) {
  SurfaceTable t(1);
  make(t, 1, 9, 9, kRed);
  make(t, 2, 1, 1, kRed);
  const std::vector<uint8_t> bmp = tiny_bmp();
  for (bool want_text : {false, true}) {
    SCOPED_TRACE(want_text);
    ASSERT_EQ(surface_load(t, 1, std::span(bmp), want_text), 0);
    EXPECT_EQ(t.keys(), (std::vector<int32_t>{2, 1}));
    const Surface& s = *surface_find(t, 1);
    EXPECT_EQ(s.width, 2);
    EXPECT_EQ(s.height, 2);
    EXPECT_EQ(pixels_of(s), (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}));
    EXPECT_EQ(s.info.format, kFormatBmp);
    EXPECT_EQ(s.info.width, 2);
    EXPECT_EQ(s.info.bits, 24);
    EXPECT_EQ(s.info.format_name, want_text ? "BMP" : "");
    make(t, 1, 9, 9, kRed);
  }
}

TEST(SurfaceLoad, ReadsFromAFile) {
  testing::TempFolder dir;
  SurfaceTable t(1);
  const std::u16string path = dir.file("picture.png");  // content decides, not the name
  ASSERT_EQ(file_replace(path, tiny_bmp()), 0);
  ASSERT_EQ(surface_load(t, 5, path, false), 0);
  EXPECT_EQ(pixels_of(*surface_find(t, 5)),
            (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}));
}

TEST(SurfaceSave, WithoutRequestWritesBmpOfTheDepthAndReadsBack) {
  struct Case {
    int32_t bits;
    int32_t pixel_format;
    uint32_t alpha_back;  // 24 bits store no alpha; the reader gives 255
  };
  const Case cases[] = {{24, 5, 0xFF000000u}, {32, 6, 0x80000000u}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    testing::TempFolder dir;
    SurfaceTable t(1);
    Surface& s = make(t, 1, 3, 2, 0x80000000u);
    for (uint32_t i = 0; i < 6; ++i) s.pixels()[i] |= 0x010203u * (i + 1);
    const std::u16string path = dir.file("out.bmp");
    ASSERT_EQ(surface_save(t, 1, path, c.bits, nullptr), 0);
    ASSERT_EQ(surface_load(t, 2, path, false), 0);
    const Surface& back = *surface_find(t, 2);
    EXPECT_EQ(back.info.bits, c.bits);
    EXPECT_EQ(back.info.pixel_format, c.pixel_format);
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(back.pixels()[i], (0x010203u * (i + 1)) | c.alpha_back) << i;
  }
}

TEST(SurfaceSave, RequestDecidesFormatAndDepthButNotThePath) {
  testing::TempFolder dir;
  SurfaceTable t(1);
  make(t, 1, 2, 2, 0xFF445566u);
  SaveRequest r;
  r.path = dir.file("ignored.bmp");
  r.format = kFormatBmp;
  r.pixel_format = 5;
  const std::u16string path = dir.file("used.bmp");
  ASSERT_EQ(surface_save(t, 1, path, 32, &r), 0);
  EXPECT_FALSE(file_exists(r.path));
  ASSERT_EQ(surface_load(t, 2, path, false), 0);
  EXPECT_EQ(surface_find(t, 2)->info.bits, 24) << "the request's pixel format wins over the depth";
}

}  // namespace
}  // namespace tesmo
