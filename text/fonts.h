// The three fonts of the system: one fixed table of face, size and weight, opened through the glyph
// service at the pixel heights a 96-dpi device gives them.
//   font 0  "ＭＳ ゴシック"    11 pt, weight 600   (the frame-rate text)
//   font 1  "ＭＳ Ｐゴシック"  10 pt, weight 400   (progress and other texts)
//   font 2  "ＭＳ Ｐゴシック"  11 pt, weight 600
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/glyphs.h"

namespace tesmo {

struct FontTableRow {
  std::u16string_view face;
  int32_t points = 0;
  int32_t weight = 400;
  bool italic = false;
  uint8_t pitch_and_family = 0;  // fixed pitch 1 or variable pitch 2, modern family 0x30
};

inline constexpr int32_t kFontCount = 3;
inline constexpr std::array<FontTableRow, kFontCount> kFontTable{{
    {u"ＭＳ ゴシック", 11, 600, false, 49},
    {u"ＭＳ Ｐゴシック", 10, 400, false, 50},
    {u"ＭＳ Ｐゴシック", 11, 600, false, 50},
}};

// a × b / c rounded half away from zero, computed in 64 bits; −1 when c is 0 or the result does not
// fit 32 bits (the system's own rule for this helper).
constexpr int32_t mul_div(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t n = int64_t{a} * b;
  bool negative = (n < 0) != (c < 0);
  int64_t un = n < 0 ? -n : n, uc = c < 0 ? -int64_t{c} : c;
  int64_t q = (un + uc / 2) / uc;  // a half rounds up in magnitude
  if (q > INT32_MAX) return -1;
  return static_cast<int32_t>(negative ? -q : q);
}

// The requested height of a font of `points` points: negative, so it is the character height.
// 96 dots per inch whatever the screen reports.
constexpr int32_t font_pixel_height(int32_t points) { return -mul_div(points, 96, 72); }

struct FontEntry {
  std::unique_ptr<platform::GlyphFont> font;  // null when the service had no font for it
  int32_t height = 0;                          // the requested pixel height (negative)
};
using Fonts = std::array<FontEntry, kFontCount>;

// The request for table entry `index` (0–2).
platform::FontRequest font_request(int32_t index);
// Opens all three fonts; an entry the service cannot open keeps a null font.
Fonts open_fonts(platform::GlyphService& service);

}  // namespace tesmo
