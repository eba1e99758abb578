// The glyph text renderer on the fake glyph service (layout and compositing with known boxes), and
// the FreeType service with the three fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_glyphs.h"
#include "platform/freetype/freetype_glyphs.h"
#include "text/fonts.h"
#include "text/glyph_text.h"

namespace tesmo {
namespace {

using platform::FakeGlyph;
using platform::FakeGlyphFont;
using platform::GlyphMetrics;

// Fake font: line height 12, ascent 10. An ASCII letter is a 4 × 8 box of level 64 at origin
// (1, 8) with advance 6, so a letter whose cell is at (cx, cy) covers x cx+1..cx+4, y cy+2..cy+9.
constexpr uint32_t kClear = 0;

// A glyph of one fully covered pixel whose top-left lands exactly on the cell's top-left.
FakeGlyph dot(int32_t advance = 6) { return {GlyphMetrics{1, 1, 0, 10, advance, 0}, {64}}; }

class GlyphText : public ::testing::Test {
 protected:
  GlyphText() { resize(64, 32, kClear); }
  void resize(int32_t w, int32_t h, uint32_t fill) {
    EXPECT_EQ(surface_create(table, 1, w, h), 0);
    s = surface_find(table, 1);
    std::fill(s->picture().begin(), s->picture().end(), fill);
    r.set_font(&font);
    r.set_target(s);
  }
  uint32_t at(int32_t x, int32_t y) const { return s->pixels()[y * s->width + x]; }
  std::vector<uint32_t> pixels() const { return {s->picture().begin(), s->picture().end()}; }
  // Every pixel: `inside(x, y)` where the predicate holds, else `outside`.
  template <typename F>
  void expect_pixels(F inside_colour, uint32_t outside) {
    for (int32_t y = 0; y < s->height; ++y) {
      for (int32_t x = 0; x < s->width; ++x) {
        uint32_t want = inside_colour(x, y).value_or(outside);
        ASSERT_EQ(at(x, y), want) << "at " << x << "," << y;
      }
    }
  }

  SurfaceTable table{0};
  Surface* s = nullptr;
  FakeGlyphFont font;
  GlyphTextRenderer r;
};

TEST(CompositeLevel, BlendArithmetic) {
  struct Row {
    uint32_t pixel;
    uint8_t level;
    uint32_t colour;
    int32_t blend;
    uint32_t want;
  } rows[] = {
      {0x00000000, 64, 0x123456, 0, 0xFF123456},
      {0x00000000, 1, 0x123456, 0, 0x03123456},
      {0x7F7F7F7F, 0, 0x123456, 0, 0x7F7F7F7F},  // level 0 leaves the pixel
      {0x00000000, 200, 0xAB123456, 0, 0xFF123456},  // above 64 counts as 64; colour's top byte ignored
      {0x80FFFFFF, 64, 0x000000, 1, 0xFF000000},
      {0x00FF8040, 32, 0x000000, 1, 0x7F7F4020},  // weight 128: halves toward black, alpha 127
      {0xFF000000, 16, 0x00FF00, 1, 0xFF003F00},  // weight 192; opaque stays opaque
      {0x00000000, 1, 0x0000FF, 1, 0x03000003},   // weight 252, alpha 3
      {0x12345678, 0, 0xFFFFFF, 1, 0x12345678},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(composite_level(row.pixel, row.level, row.colour, row.blend), row.want)
        << std::hex << row.pixel << " level " << std::dec << int(row.level) << " blend " << row.blend;
  }
}

TEST_F(GlyphText, BlendZeroOnAClearedSurfaceWritesCoverageAlphaOnlyUnderGlyphs) {
  font.set_glyph(U'B', {GlyphMetrics{3, 1, 0, 10, 6, 0}, {16, 0, 1}});
  TextStyle st;
  st.colour = 0x102030;
  int32_t h = 0;
  EXPECT_EQ(r.draw_text("AB", 0, 0, st, &h), 12);
  EXPECT_EQ(h, 12);
  expect_pixels([](int32_t x, int32_t y) -> std::optional<uint32_t> {
    if (x >= 1 && x <= 4 && y >= 2 && y <= 9) return 0xFF102030u;  // 'A', fully covered
    if (y == 0 && x == 6) return 0x3F102030u;                       // level 16: alpha 63
    if (y == 0 && x == 8) return 0x03102030u;                       // level 1: alpha 3
    return std::nullopt;
  }, kClear);
}

TEST_F(GlyphText, BlendOneMixesWithExistingPixels) {
  resize(16, 16, 0x80404040);
  font.set_glyph(U'B', {GlyphMetrics{2, 1, 0, 10, 6, 0}, {64, 32}});
  TextStyle st;
  st.colour = 0xFF0000;
  st.blend = 1;
  r.draw_text("B", 0, 0, st);
  expect_pixels([](int32_t x, int32_t y) -> std::optional<uint32_t> {
    if (y == 0 && x == 0) return 0xFFFF0000u;
    if (y == 0 && x == 1) return 0xBF9F2020u;  // 255 + (64−255)·128>>8, 0 + 64·128>>8, alpha 191
    return std::nullopt;
  }, 0x80404040);
}

TEST_F(GlyphText, SpaceAdvancesWithoutTouchingPixels) {
  resize(32, 16, 0x11223344);
  TextStyle st;
  EXPECT_EQ(r.draw_text(" ", 0, 0, st), 3);
  EXPECT_EQ(r.draw_text_wide(u"\u3000", 0, 0, st), 12);
  EXPECT_EQ(pixels(), std::vector<uint32_t>(32 * 16, 0x11223344));
  EXPECT_EQ(r.draw_text("A A", 0, 0, st), 15);
  EXPECT_EQ(at(10, 2) >> 24, 0xFFu);  // the second 'A' starts at 9
  EXPECT_EQ(at(7, 2), 0x11223344u);
}

TEST_F(GlyphText, LineBreakEscape) {
  struct Row {
    bool escape;
    int32_t line_spacing;
    int32_t width, height;
    size_t glyphs;
  } rows[] = {
      {true, 0, 6, 24, 2},   // "a", break, "b"
      {true, 3, 6, 30, 2},
      {false, 0, 24, 12, 4},  // '@' and 'L' drawn as characters
  };
  for (const Row& row : rows) {
    for (bool wide : {false, true}) {
      font.requests.clear();
      TextStyle st;
      st.line_break_escape = row.escape;
      st.line_spacing = row.line_spacing;
      int32_t h = 0;
      int32_t w = wide ? r.draw_text_wide(u"a@Lb", 0, 0, st, &h) : r.draw_text("a@Lb", 0, 0, st, &h);
      EXPECT_EQ(w, row.width);
      EXPECT_EQ(h, row.height);
      EXPECT_EQ(font.requests.size(), row.glyphs);
      EXPECT_EQ(st.char_count, static_cast<int32_t>(row.glyphs));
    }
  }
  TextStyle st;
  st.line_break_escape = true;
  resize(16, 32, kClear);
  r.draw_text("a@Lb", 0, 0, st);
  EXPECT_EQ(at(1, 14) >> 24, 0xFFu);  // 'b' on the second line
  EXPECT_EQ(at(7, 2), kClear);
  // "@" as the trail byte of a two-byte character (0x81 0x40, U+3000) does not start an escape.
  EXPECT_EQ(r.draw_text("\x81\x40L", 0, 0, st), 18);
}

TEST_F(GlyphText, TwoByteCharacterAndSurrogatePairAreOneGlyphEach) {
  TextStyle st;
  EXPECT_EQ(r.draw_text("A\x83\x65" "B", 0, 0, st), 24);  // 'テ' in CP932 between two letters
  ASSERT_EQ(font.requests.size(), 3u);
  EXPECT_EQ(font.requests[1].value, 0x30C6u);
  EXPECT_FALSE(font.requests[1].by_index);

  font.requests.clear();
  EXPECT_EQ(r.draw_text_wide(u"\U00020B9F", 0, 0, st), 12);
  ASSERT_EQ(font.requests.size(), 1u);
  EXPECT_TRUE(font.requests[0].by_index);
  EXPECT_EQ(font.requests[0].value, 0x20B9Fu);

  // A lone surrogate is one character asked for by itself; a lead byte at the end is taken alone.
  font.requests.clear();
  r.draw_text_wide(std::u16string{char16_t(0xD800), u'A'}, 0, 0, st);
  ASSERT_EQ(font.requests.size(), 2u);
  EXPECT_EQ(font.requests[0].value, 0xD800u);
  font.requests.clear();
  r.draw_text("A\x83", 0, 0, st);
  EXPECT_EQ(font.requests.size(), 2u);
  EXPECT_EQ(r.consumed(), 2u);
}

TEST_F(GlyphText, WidthLimitStopsAtTheLastCharacterThatFits) {
  resize(200, 16, kClear);
  r.set_width_limit(136, false);  // the progress box
  TextStyle st;
  std::string name = "abcdefghijklmnopqrstuvwxyz.bmp";
  // 22 letters of 6 pixels end at 132; the 23rd would end at 138.
  EXPECT_EQ(r.draw_text(name, 0, 0, st), 132);
  EXPECT_EQ(r.consumed(), 22u);
  EXPECT_EQ(st.char_count, 22);
  EXPECT_EQ(at(127, 2) >> 24, 0xFFu);
  for (int32_t x = 131; x < 200; ++x) ASSERT_EQ(at(x, 2), kClear) << x;
}

TEST_F(GlyphText, WordWrapConsumedCounts) {
  struct Row {
    std::string text;
    int32_t limit;
    bool wrap;
    size_t consumed;
    int32_t width;
  } rows[] = {
      {"ab cd efgh", 40, true, 6, 36},  // stops before 'f'; up to and including the last space
      {"ab cd efgh", 40, false, 7, 36},
      {"abcdefgh", 20, true, 3, 18},    // no space: the characters drawn
      {"ab cd efgh", 0, true, 10, 54},  // no limit
      {"ab cd efgh", 54, true, 10, 54}, // ends exactly at the limit
      {"\x83\x65\x83\x58\x83\x67", 30, false, 4, 24},  // "テスト": bytes of two characters
  };
  for (const Row& row : rows) {
    r.set_width_limit(row.limit, row.wrap);
    TextStyle st;
    st.measure_only = true;
    EXPECT_EQ(r.draw_text(row.text, 0, 0, st), row.width) << row.text;
    EXPECT_EQ(r.consumed(), row.consumed) << row.text << " limit " << row.limit;
  }
}

TEST_F(GlyphText, EachStyleDrawsItsPassesWhereTheyBelong) {
  using Points = std::set<std::pair<int32_t, int32_t>>;
  // Drawn at (2, 2): the blend-0 copy there, then the fifteen blend-1 copies; the text at (3, 3).
  const Points kOutline = {{2, 2}, {4, 2}, {5, 2}, {6, 2}, {2, 4}, {2, 5}, {2, 6}, {4, 4},
                           {5, 4}, {6, 4}, {4, 5}, {5, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}};
  struct Row {
    uint32_t bits;
    int32_t dx, dy;
    Points shadow;
    std::pair<int32_t, int32_t> text;
    int32_t dx_after;
  } rows[] = {
      {0, 3, 3, {}, {2, 2}, 3},
      {kTextShadow, 3, 3, {{5, 5}}, {2, 2}, 3},
      {kTextFourShadow, 4, 4, {{2, 2}, {6, 2}, {2, 6}, {6, 6}}, {4, 4}, 4},
      {kTextFourShadow, 3, 5, {{2, 2}, {5, 2}, {2, 7}, {5, 7}}, {3, 4}, 3},  // halves round down
      {kTextOutline, 0, 0, kOutline, {3, 3}, 4},
      {kTextOutline | kTextShadow, 0, 0, kOutline, {3, 3}, 4},  // outline wins
  };
  font.set_glyph(U'x', dot());
  for (const Row& row : rows) {
    resize(16, 16, kClear);
    TextStyle st;
    st.style_bits = row.bits;
    st.shadow_dx = row.dx;
    st.shadow_dy = row.dy;
    st.colour = 0x0000FF;
    st.shadow_colour = 0xFF0000;
    EXPECT_EQ(r.draw_text("x", 2, 2, st), 6);
    expect_pixels([&](int32_t x, int32_t y) -> std::optional<uint32_t> {
      if (std::pair(x, y) == row.text) return 0xFF0000FFu;
      if (row.shadow.count({x, y})) return 0xFFFF0000u;
      return std::nullopt;
    }, kClear);
    EXPECT_EQ(st.shadow_dx, row.dx_after);
    EXPECT_EQ(st.blend, row.bits ? 1 : 0);  // every style leaves blend 1 behind
    EXPECT_EQ(st.char_count, 1);
    EXPECT_FALSE(st.pass);
  }
}

TEST_F(GlyphText, PerCharacterColoursFollowTheCounterThroughEveryPass) {
  font.set_glyph(U'x', dot());
  for (int32_t start : {0, 5}) {
    resize(16, 16, kClear);
    TextStyle st;
    st.per_char_colour = true;
    st.char_count = start;
    st.colours[start] = 0x0000AA;
    st.colours[start + 1] = 0x0000BB;
    st.style_bits = kTextShadow;
    st.shadow_dx = st.shadow_dy = 1;
    r.draw_text("xx", 0, 0, st);
    EXPECT_EQ(at(0, 0), 0xFF0000AAu);
    EXPECT_EQ(at(6, 0), 0xFF0000BBu);
    EXPECT_EQ(at(1, 1), 0xFF000000u);  // shadow colour 0
    EXPECT_EQ(st.char_count, start + 2);
  }
}

TEST_F(GlyphText, VerticalLayout) {
  resize(40, 40, kClear);
  TextStyle st;
  st.vertical = true;
  st.line_spacing = 1;   // between characters in a column
  st.char_spacing = 2;   // between columns
  st.line_break_escape = true;
  int32_t h = 0;
  EXPECT_EQ(r.draw_text("ab@Lc", 0, 0, st, &h), 28);  // two columns of 12 + 2
  EXPECT_EQ(h, 26);                                  // two characters of 12 + 1
  EXPECT_EQ(at(1, 2) >> 24, 0xFFu);    // 'a' at (0, 0)
  EXPECT_EQ(at(1, 15) >> 24, 0xFFu);   // 'b' at (0, 13)
  EXPECT_EQ(at(15, 2) >> 24, 0xFFu);   // 'c' at (14, 0)
  EXPECT_EQ(at(7, 2), kClear);
  EXPECT_EQ(st.advances[0], 13);
  EXPECT_EQ(st.line_heights[0], 12);
}

TEST_F(GlyphText, MeasureOnlyMatchesDrawingAndTouchesNothing) {
  struct Row {
    const char16_t* text;
    bool vertical, escape;
    int32_t char_spacing, line_spacing;
    uint32_t bits;
  } rows[] = {
      {u"Tesmo64", false, false, 0, 0, 0},
      {u"ab@Lcdef@Lg", false, true, 1, 2, kTextOutline},
      {u"ab@Lcdef", true, true, 3, -1, kTextFourShadow},
      {u"テスト x", false, false, -2, 0, kTextShadow},
      {u"", false, false, 0, 0, 0},
  };
  for (const Row& row : rows) {
    resize(64, 64, 0x55555555);
    TextStyle measure;
    measure.vertical = row.vertical;
    measure.line_break_escape = row.escape;
    measure.char_spacing = row.char_spacing;
    measure.line_spacing = row.line_spacing;
    measure.style_bits = row.bits;
    TextStyle draw = measure;
    measure.measure_only = true;
    int32_t mh = 0, dh = 0;
    int32_t mw = r.draw_text_wide(row.text, 3, 4, measure, &mh);
    EXPECT_EQ(pixels(), std::vector<uint32_t>(64 * 64, 0x55555555));
    int32_t dw = r.draw_text_wide(row.text, 3, 4, draw, &dh);
    EXPECT_EQ(mw, dw);
    EXPECT_EQ(mh, dh);
    EXPECT_EQ(measure.char_count, draw.char_count);
    EXPECT_EQ(measure.advances, draw.advances);
  }
}

TEST_F(GlyphText, BackgroundBoxFillsTheCellWithAlphaZero) {
  TextStyle st;
  st.background_box = true;
  st.shadow_dx = 1;
  st.shadow_dy = 2;
  st.colour = 0x00FF00;
  r.draw_text("a", 0, 0, st);
  expect_pixels([](int32_t x, int32_t y) -> std::optional<uint32_t> {
    if (x >= 1 && x <= 4 && y >= 2 && y <= 9) return 0xFF00FF00u;
    if (x < 7 && y < 14) return 0x0000FF00u;  // (6 + 1) × (12 + 2)
    return std::nullopt;
  }, kClear);
}

TEST_F(GlyphText, NothingIsWrittenOutsideTheSurface) {
  font.set_glyph(U'W', {GlyphMetrics{40, 40, 0, 10, 40, 0}, std::vector<uint8_t>(1600, 64)});
  const std::pair<int32_t, int32_t> origins[] = {{-10, -10}, {5, 5}, {-100, 3}, {7, -45}, {2000000000, 0}};
  for (auto [x, y] : origins) {
    resize(8, 8, kClear);
    uint32_t* spare = s->pixels() + 64;
    std::fill(spare, spare + kSparePixels, 0xDEADBEEF);
    TextStyle st;
    st.background_box = true;
    st.x_offset = 1;
    r.draw_text("W", x, y, st);
    EXPECT_EQ(std::count(spare, spare + kSparePixels, 0xDEADBEEF), kSparePixels) << x << "," << y;
  }
}

TEST_F(GlyphText, MasksLargerThanTheGlyphBufferAreSkippedButAdvance) {
  font.set_glyph(U'W', {GlyphMetrics{600, 600, 0, 10, 7, 0}, std::vector<uint8_t>(360000, 64)});
  TextStyle st;
  EXPECT_EQ(r.draw_text("WA", 0, 0, st), 13);
  EXPECT_EQ(at(0, 0), kClear);
  EXPECT_EQ(at(8, 2) >> 24, 0xFFu);  // 'A' at 7
}

TEST_F(GlyphText, TextsLongerThanTheArraysDrawEverythingAndFillOnlyTheArrays) {
  resize(1300, 12, kClear);
  TextStyle st;
  st.per_char_colour = true;
  st.colour = 0x00ABCD;
  st.colours.fill(0x111111);
  st.style_bits = 0;
  EXPECT_EQ(r.draw_text(std::string(200, 'a'), 0, 0, st), 1200);
  EXPECT_EQ(st.char_count, 200);
  EXPECT_EQ(std::count(st.advances.begin(), st.advances.end(), 6), 128);
  EXPECT_EQ(std::count(st.line_heights.begin(), st.line_heights.end(), 12), 128);
  EXPECT_EQ(st.style_bits, 0u);
  EXPECT_EQ(at(127 * 6 + 1, 2), 0xFF111111u);  // the last character with an array colour
  EXPECT_EQ(at(128 * 6 + 1, 2), 0xFF00ABCDu);  // past the arrays: the text colour
  EXPECT_EQ(at(199 * 6 + 1, 2), 0xFF00ABCDu);
}

TEST_F(GlyphText, FitCountWide) {
  struct Row {
    std::u16string text;
    size_t start;
    int32_t limit;
    bool vertical;
    int32_t char_spacing;
    size_t want;
  } rows[] = {
      {u"abcd", 0, 12, false, 0, 2},   // 6 + 6 reaches the limit without passing it
      {u"abcd", 0, 11, false, 0, 1},
      {u"abcd", 0, 0, false, 0, 0},
      {u"abcd", 2, 100, false, 0, 2},
      {u"abcd", 5, 100, false, 0, 0},
      {u"abc", 0, 16, false, 2, 2},
      {u"a\U00020B9Fb", 0, 18, false, 0, 3},  // the pair counts two units
      {u"a\U00020B9Fb", 0, 17, false, 0, 1},
      {u"abc", 0, 24, true, 0, 2},            // vertically: 12 per character
      {std::u16string(u"ab\0cd", 5), 0, 100, false, 0, 2},
  };
  for (const Row& row : rows) {
    TextStyle st;
    st.vertical = row.vertical;
    st.char_spacing = row.char_spacing;
    EXPECT_EQ(r.fit_count_wide(row.text, row.start, row.limit, st), row.want) << row.limit;
  }
}

TEST(Fonts, TableHeightsAndRequests) {
  struct Row {
    int32_t a, b, c, want;
  } rows[] = {
      {11, 96, 72, 15}, {10, 96, 72, 13}, {1, 3, 2, 2}, {-1, 3, 2, -2},
      {5, 1, 2, 3},     {-5, 1, -2, 3},   {7, 1, 0, -1}, {1 << 30, 8, 1, -1},
  };
  for (const Row& row : rows) EXPECT_EQ(mul_div(row.a, row.b, row.c), row.want) << row.a << "," << row.c;

  platform::FakeGlyphService service;
  Fonts fonts = open_fonts(service);
  ASSERT_EQ(service.requests.size(), 3u);
  const int32_t heights[] = {-15, -13, -15}, weights[] = {600, 400, 600};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NE(fonts[i].font, nullptr);
    EXPECT_EQ(fonts[i].height, heights[i]);
    EXPECT_EQ(service.requests[i].height, heights[i]);
    EXPECT_EQ(service.requests[i].weight, weights[i]);
  }
  EXPECT_EQ(service.requests[0].face, u"ＭＳ ゴシック");
  EXPECT_EQ(service.requests[2].face, u"ＭＳ Ｐゴシック");
}

// The FreeType service with the fonts installed here (IPAGothic, IPAPGothic).
class FreeTypeGlyphs : public ::testing::Test {
 protected:
  void SetUp() override {
    service = platform::make_freetype_glyph_service();
    ASSERT_NE(service, nullptr);
    fonts = open_fonts(*service);
    for (const FontEntry& f : fonts) ASSERT_NE(f.font, nullptr);
  }
  // The mask of `c` in `font`, with its metrics.
  std::vector<uint8_t> mask_of(platform::GlyphFont& font, char32_t c, GlyphMetrics& m) {
    int64_t n = font.glyph(platform::GlyphId::character(c), m, {});
    std::vector<uint8_t> mask(static_cast<size_t>(std::max<int64_t>(n, 0)));
    EXPECT_EQ(font.glyph(platform::GlyphId::character(c), m, mask), n);
    return mask;
  }
  std::unique_ptr<platform::GlyphService> service;
  Fonts fonts;
};

TEST(CoverageReduction, MapsTheEndsExactlyAndRoundsBetween) {
  const std::pair<uint8_t, uint8_t> rows[] = {{0, 0}, {1, 0}, {2, 1}, {4, 1}, {128, 32}, {191, 48}, {254, 64}, {255, 64}};
  for (auto [v, want] : rows) EXPECT_EQ(platform::reduce_coverage(v), want) << int(v);
}

TEST_F(FreeTypeGlyphs, LineMetricsAreThoseOfTheRequestedCharacterHeight) {
  for (const FontEntry& f : fonts) {
    platform::TextMetrics tm = f.font->text_metrics();
    // A 13 or 15 pixel character height: the line is at least that and not absurdly taller.
    EXPECT_GE(tm.height, -f.height);
    EXPECT_LE(tm.height, -f.height + 6);
    EXPECT_GT(tm.ascent, tm.height / 2);
    EXPECT_EQ(tm.ascent + tm.descent, tm.height);
  }
}

TEST_F(FreeTypeGlyphs, MasksHaveSixtyFiveLevelsAndPaddedRows) {
  for (char32_t c : {U'A', U'W', U'\u30C6', U'\u6F22'}) {
    GlyphMetrics m;
    std::vector<uint8_t> mask = mask_of(*fonts[1].font, c, m);
    ASSERT_GT(m.black_box_x, 0);
    ASSERT_EQ(mask.size(), platform::glyph_mask_bytes(m.black_box_x, m.black_box_y));
    EXPECT_LE(m.black_box_y, fonts[1].font->text_metrics().height);
    EXPECT_GT(m.cell_inc_x, 0);
    EXPECT_EQ(*std::max_element(mask.begin(), mask.end()), 64);
    EXPECT_NE(std::find(mask.begin(), mask.end(), 0), mask.end());
    size_t pitch = platform::glyph_mask_bytes(m.black_box_x, 1);
    for (size_t row = 0; row < static_cast<size_t>(m.black_box_y); ++row) {
      for (size_t x = static_cast<size_t>(m.black_box_x); x < pitch; ++x) ASSERT_EQ(mask[row * pitch + x], 0);
    }
  }
}

TEST_F(FreeTypeGlyphs, SpacesAreEmptyAndShortBuffersAreLeftAlone) {
  GlyphMetrics m;
  EXPECT_EQ(fonts[1].font->glyph(platform::GlyphId::character(U' '), m, {}), 0);
  EXPECT_GT(m.cell_inc_x, 0);
  int64_t n = fonts[1].font->glyph(platform::GlyphId::character(U'A'), m, {});
  ASSERT_GT(n, 0);
  std::vector<uint8_t> small(static_cast<size_t>(n - 1), 0xAA);
  EXPECT_EQ(fonts[1].font->glyph(platform::GlyphId::character(U'A'), m, small), n);
  EXPECT_EQ(std::count(small.begin(), small.end(), 0xAA), n - 1);
  EXPECT_NE(fonts[1].font->glyph_index(U'\u30C6'), 0u);
}

TEST_F(FreeTypeGlyphs, FixedPitchProportionalAndSyntheticBold) {
  GlyphMetrics i0, w0, i1, w1, bold, regular;
  mask_of(*fonts[0].font, U'i', i0);
  mask_of(*fonts[0].font, U'W', w0);
  EXPECT_EQ(i0.cell_inc_x, w0.cell_inc_x);  // font 0 is fixed pitch
  mask_of(*fonts[1].font, U'i', i1);
  mask_of(*fonts[1].font, U'W', w1);
  EXPECT_LT(i1.cell_inc_x, w1.cell_inc_x);  // fonts 1 and 2 are proportional
  // Font 2 is font 1's face at 11 pt and weight 600: emboldened by one pixel.
  platform::FontRequest plain = font_request(2);
  plain.weight = 400;
  auto plain_font = service->open_font(plain);
  ASSERT_NE(plain_font, nullptr);
  mask_of(*fonts[2].font, U'H', bold);
  mask_of(*plain_font, U'H', regular);
  EXPECT_EQ(bold.cell_inc_x, regular.cell_inc_x + 1);
  EXPECT_GT(bold.black_box_x, regular.black_box_x);
}

TEST_F(FreeTypeGlyphs, RenderedTextFollowsTheBlendZeroRule) {
  SurfaceTable table(0);
  ASSERT_EQ(surface_create(table, 1, 160, 24), 0);
  Surface& s = *surface_find(table, 1);
  std::fill(s.picture().begin(), s.picture().end(), 0u);
  GlyphTextRenderer r;
  r.set_font(fonts[2].font.get());
  r.set_target(&s);
  TextStyle measure;
  measure.measure_only = true;
  int32_t mh = 0, dh = 0;
  int32_t mw = r.draw_text_wide(u"テスト Tesmo64", 0, 0, measure, &mh);
  TextStyle st;
  st.colour = 0x3366CC;
  EXPECT_EQ(r.draw_text_wide(u"テスト Tesmo64", 0, 0, st, &dh), mw);
  EXPECT_EQ(dh, mh);
  EXPECT_EQ(st.char_count, 11);
  size_t opaque = 0;
  for (uint32_t p : s.picture()) {
    if (p == 0) continue;
    uint32_t a = p >> 24;
    ASSERT_EQ(p & 0xFFFFFF, 0x3366CCu);
    ASSERT_EQ(a % 4, 3u);  // 4m − 1
    opaque += a == 255;
  }
  EXPECT_GT(opaque, 20u);
}

}  // namespace
}  // namespace tesmo
