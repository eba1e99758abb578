// Glyph text rendering: decoding, style passes, layout and the mask composite.
#include "text/glyph_text.h"

#include <algorithm>
#include <limits>
#include <span>
#include <vector>

#include "base/text.h"

namespace tesmo {

struct GlyphTextRenderer::Char {
  platform::GlyphId glyph;
  uint32_t units = 1;   // input units it takes
  bool escape = false;  // the "@L" line break
  bool space = false;   // U+0020, after which word wrap may break
};

namespace {

using Char = GlyphTextRenderer::Char;
using platform::GlyphFont;
using platform::GlyphId;
using platform::GlyphMetrics;
using platform::kGlyphLevels;

// Level → alpha of blend 0 (4m − 1: 3, 7, …, 255) and level → weight of the old pixel in blend 1.
constexpr std::array<uint32_t, kGlyphLevels + 1> kAlphaOfLevel = [] {
  std::array<uint32_t, kGlyphLevels + 1> t{};
  for (uint32_t m = 1; m <= kGlyphLevels; ++m) t[m] = 4 * m - 1;
  return t;
}();
constexpr std::array<int32_t, kGlyphLevels + 1> kWeightOfLevel = [] {
  std::array<int32_t, kGlyphLevels + 1> t{};
  for (int32_t m = 0; m <= kGlyphLevels; ++m) t[m] = 256 - 4 * m;
  return t;
}();

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// A surrogate pair is asked for by glyph index (the service is asked for the pair's glyph first);
// every other character by itself.
GlyphId glyph_for(GlyphFont& font, std::u16string_view units) {
  if (units.size() >= 2 && is_high_surrogate(units[0]) && is_low_surrogate(units[1])) {
    char32_t c = 0x10000 + ((static_cast<char32_t>(units[0]) - 0xD800) << 10) + (units[1] - 0xDC00);
    return GlyphId::index(font.glyph_index(c));
  }
  return GlyphId::character(units.empty() ? 0 : units[0]);
}

template <typename Unit>
bool is_escape_at(std::basic_string_view<Unit> text, size_t i) {
  return text[i] == Unit('@') && i + 1 < text.size() && text[i + 1] == Unit('L');
}

std::vector<Char> decode_wide(std::u16string_view text, bool escapes, GlyphFont& font) {
  std::vector<Char> out;
  for (size_t i = 0; i < text.size() && text[i] != 0; i += out.back().units) {
    Char c;
    if (escapes && is_escape_at(text, i)) {
      c.escape = true;
      c.units = 2;
    } else {
      bool pair = is_high_surrogate(text[i]) && i + 1 < text.size() && is_low_surrogate(text[i + 1]);
      c.units = pair ? 2 : 1;
      c.glyph = glyph_for(font, text.substr(i, c.units));
      c.space = text[i] == u' ';
    }
    out.push_back(c);
  }
  return out;
}

// A lead byte at the end of the text (or before its terminating zero) is taken alone and converts
// to the code page's replacement character.
std::vector<Char> decode_cp932(std::string_view text, bool escapes, GlyphFont& font) {
  std::vector<Char> out;
  for (size_t i = 0; i < text.size() && text[i] != 0; i += out.back().units) {
    auto b = static_cast<uint8_t>(text[i]);
    Char c;
    if (escapes && is_escape_at(text, i)) {
      c.escape = true;
      c.units = 2;
    } else if (b < 0x80) {
      c.glyph = GlyphId::character(b);
      c.space = b == ' ';
    } else {
      bool two = is_cp932_lead_byte(b) && i + 1 < text.size() && text[i + 1] != 0;
      c.units = two ? 2 : 1;
      c.glyph = glyph_for(font, cp932_to_utf16(text.substr(i, c.units)));
    }
    out.push_back(c);
  }
  return out;
}

int32_t clamp32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
int16_t clamp16(int64_t v) {
  return static_cast<int16_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// The part of [start, start + length) inside [0, size).
struct Span1D {
  int64_t from = 0, to = 0;
};
Span1D clip(int64_t start, int64_t length, int32_t size) {
  return {std::max<int64_t>(start, 0), std::min<int64_t>(start + length, size)};
}

uint32_t blend_over(uint32_t pixel, uint32_t colour, int32_t w) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    auto c = static_cast<int32_t>((colour >> shift) & 0xFF);
    auto o = static_cast<int32_t>((pixel >> shift) & 0xFF);
    out |= static_cast<uint32_t>(c + (((o - c) * w) >> 8)) << shift;
  }
  auto a = static_cast<int32_t>(pixel >> 24);
  out |= (static_cast<uint32_t>(((w * (a - 255)) >> 8) - 1) & 0xFF) << 24;
  return out;
}

// Composites a mask (rows padded to 4 bytes) with its top-left at (left, top), clipped to `s`.
void composite_mask(Surface& s, const uint8_t* mask, int32_t w, int32_t h, int64_t left, int64_t top,
                    uint32_t colour, int32_t blend) {
  Span1D xs = clip(left, w, s.width), ys = clip(top, h, s.height);
  size_t pitch = platform::glyph_mask_bytes(w, 1);
  colour &= 0xFFFFFF;
  for (int64_t y = ys.from; y < ys.to; ++y) {
    const uint8_t* row = mask + static_cast<size_t>(y - top) * pitch;
    uint32_t* px = s.pixels() + y * s.width;
    for (int64_t x = xs.from; x < xs.to; ++x) {
      uint8_t m = std::min(row[x - left], kGlyphLevels);
      if (m == 0) continue;
      px[x] = blend == 0 ? colour | kAlphaOfLevel[m] << 24 : blend_over(px[x], colour, kWeightOfLevel[m]);
    }
  }
}

void fill_box(Surface& s, int64_t left, int64_t top, int64_t w, int64_t h, uint32_t word) {
  Span1D xs = clip(left, w, s.width), ys = clip(top, h, s.height);
  for (int64_t y = ys.from; y < ys.to; ++y) {
    uint32_t* row = s.pixels() + y * s.width;
    for (int64_t x = xs.from; x < xs.to; ++x) row[x] = word;
  }
}

uint32_t colour_of(const TextStyle& s) {
  if (s.pass) return s.shadow_colour;
  bool slot = s.char_count >= 0 && static_cast<size_t>(s.char_count) < kTextSlots;
  return s.per_char_colour && slot ? s.colours[static_cast<size_t>(s.char_count)] : s.colour;
}

void count_char(TextStyle& s, int64_t advance, int32_t line_height) {
  if (s.char_count >= 0 && static_cast<size_t>(s.char_count) < kTextSlots) {
    s.advances[static_cast<size_t>(s.char_count)] = clamp16(advance);
    s.line_heights[static_cast<size_t>(s.char_count)] = clamp16(line_height);
  }
  if (s.char_count < std::numeric_limits<int32_t>::max()) ++s.char_count;
}

}  // namespace

uint32_t composite_level(uint32_t pixel, uint8_t level, uint32_t colour, int32_t blend) {
  uint8_t m = std::min(level, kGlyphLevels);
  if (m == 0) return pixel;
  colour &= 0xFFFFFF;
  return blend == 0 ? colour | kAlphaOfLevel[m] << 24 : blend_over(pixel, colour, kWeightOfLevel[m]);
}

GlyphTextRenderer::GlyphTextRenderer() : glyph_buffer_(AlignedBlock::allocate(kGlyphBufferBytes)) {}

int32_t GlyphTextRenderer::draw_text(std::string_view text, int32_t x, int32_t y, TextStyle& style,
                                     int32_t* height) {
  if (!font_) return draw_chars(nullptr, 0, x, y, style, height);
  std::vector<Char> chars = decode_cp932(text, style.line_break_escape, *font_);
  return draw_chars(chars.data(), chars.size(), x, y, style, height);
}

int32_t GlyphTextRenderer::draw_text_wide(std::u16string_view text, int32_t x, int32_t y, TextStyle& style,
                                          int32_t* height) {
  if (!font_) return draw_chars(nullptr, 0, x, y, style, height);
  std::vector<Char> chars = decode_wide(text, style.line_break_escape, *font_);
  return draw_chars(chars.data(), chars.size(), x, y, style, height);
}

// The style passes. Every pass starts from the same character count, so per-character colours and
// the arrays line up with the text whatever the style.
int32_t GlyphTextRenderer::draw_chars(const Char* chars, size_t count, int32_t x, int32_t y, TextStyle& style,
                                      int32_t* height) {
  consumed_ = 0;
  if (!font_) {
    if (height) *height = 0;
    return 0;
  }
  const int32_t start = style.char_count;
  auto pass = [&](int64_t px, int64_t py) {
    style.char_count = start;
    return run_pass(chars, count, px, py, style);
  };
  Extent e;
  if (style.style_bits & kTextOutline) {
    style.shadow_dx = style.shadow_dy = 4;
    style.pass = true;
    style.blend = 0;
    pass(x, y);
    style.blend = 1;
    for (int64_t k = 0; k < 3; ++k) {
      pass(x + 2 + k, y);
      pass(x, y + 2 + k);
      pass(x + 2 + k, y + 2);
      pass(x + 2 + k, y + 3);
      pass(x + 2 + k, y + 4);
    }
    style.pass = false;
    e = pass(int64_t{x} + 1, int64_t{y} + 1);
  } else if (style.style_bits & kTextFourShadow) {
    int64_t dx = style.shadow_dx, dy = style.shadow_dy;
    style.pass = true;
    style.blend = 0;
    pass(x, y);
    style.blend = 1;
    pass(x + dx, y);
    pass(x, y + dy);
    pass(x + dx, y + dy);
    style.pass = false;
    e = pass(x + (dx >> 1), y + (dy >> 1));
  } else if (style.style_bits & kTextShadow) {
    style.pass = true;
    style.blend = 0;
    pass(int64_t{x} + style.shadow_dx, int64_t{y} + style.shadow_dy);
    style.pass = false;
    style.blend = 1;
    e = pass(x, y);
  } else {
    e = pass(x, y);
  }
  if (height) *height = clamp32(e.height);
  return clamp32(e.width);
}

// One pass over the text at (x, y): lays out every character, draws its box and glyph, and records
// where the width limit stopped it.
GlyphTextRenderer::Extent GlyphTextRenderer::run_pass(const Char* chars, size_t count, int64_t x, int64_t y,
                                                      TextStyle& style) {
  const platform::TextMetrics tm = font_->text_metrics();
  const bool draw = !style.measure_only && target_ && glyph_buffer_;
  const std::span<uint8_t> mask =
      draw ? std::span<uint8_t>(reinterpret_cast<uint8_t*>(glyph_buffer_.data()), glyph_buffer_.size())
           : std::span<uint8_t>();
  const int64_t line_step = int64_t{tm.height} + (style.vertical ? style.char_spacing : style.line_spacing);
  int64_t pen_x = x, pen_y = y, longest = 0, lines = 1;
  size_t units = 0, after_space = 0;
  bool space_seen = false, stopped = false;
  auto end_line = [&] { longest = std::max(longest, style.vertical ? pen_y - y : pen_x - x); };

  for (size_t i = 0; i < count; ++i) {
    const Char& c = chars[i];
    if (c.escape) {
      end_line();
      if (style.vertical) {
        pen_y = y;
        pen_x += line_step;
      } else {
        pen_x = x;
        pen_y += line_step;
      }
      ++lines;
      units += c.units;
      continue;
    }
    GlyphMetrics gm;
    int64_t size = font_->glyph(c.glyph, gm, mask);
    if (size < 0) gm = GlyphMetrics{};
    if (!style.vertical && width_limit_ > 0 && pen_x - x + gm.cell_inc_x > width_limit_) {
      stopped = true;
      break;
    }
    const uint32_t colour = colour_of(style);
    if (draw && style.background_box) {
      fill_box(*target_, pen_x, pen_y, int64_t{gm.cell_inc_x} + style.shadow_dx,
               int64_t{tm.height} + style.shadow_dy, colour & 0xFFFFFF);
    }
    if (draw) draw_glyph(gm, size, pen_x, pen_y, colour, style, tm.ascent);
    const int64_t advance = style.vertical ? int64_t{tm.height} + style.line_spacing
                                           : int64_t{gm.cell_inc_x} + style.char_spacing;
    count_char(style, advance, tm.height);
    (style.vertical ? pen_y : pen_x) += advance;
    units += c.units;
    if (c.space) {
      after_space = units;
      space_seen = true;
    }
  }
  end_line();
  consumed_ = stopped && word_wrap_ && space_seen ? after_space : units;
  const int64_t across = lines * line_step;
  return style.vertical ? Extent{across, longest} : Extent{longest, across};
}

// The mask sits at the cell's top-left, moved right by the glyph's left bearing and down so that
// its top is origin_y above the baseline; bearings left of the pen and boxes below the baseline
// are held at the pen and at the baseline.
void GlyphTextRenderer::draw_glyph(const GlyphMetrics& m, int64_t size, int64_t cell_x, int64_t cell_y,
                                   uint32_t colour, const TextStyle& style, int32_t ascent) {
  size_t need = platform::glyph_mask_bytes(m.black_box_x, m.black_box_y);
  if (need == 0 || size < 0 || need > static_cast<size_t>(size) || need > glyph_buffer_.size()) return;
  int64_t left = cell_x + std::max(m.origin_x, 0) + style.x_offset;
  int64_t top = cell_y + style.y_offset + ascent - std::max(m.origin_y, 0);
  composite_mask(*target_, reinterpret_cast<const uint8_t*>(glyph_buffer_.data()), m.black_box_x,
                 m.black_box_y, left, top, colour, style.blend);
}

size_t GlyphTextRenderer::fit_count_wide(std::u16string_view text, size_t start, int32_t limit,
                                         const TextStyle& style) {
  if (!font_ || start >= text.size()) return 0;
  const platform::TextMetrics tm = font_->text_metrics();
  std::vector<Char> chars = decode_wide(text.substr(start), false, *font_);
  int64_t pos = 0;
  size_t fitted = 0;
  for (const Char& c : chars) {
    GlyphMetrics gm;
    if (font_->glyph(c.glyph, gm, {}) < 0) gm = GlyphMetrics{};
    pos += style.vertical ? int64_t{tm.height} + style.line_spacing : int64_t{gm.cell_inc_x} + style.char_spacing;
    if (pos > limit) return fitted;
    fitted += c.units;
  }
  return fitted;
}

}  // namespace tesmo
