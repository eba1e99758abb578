// Glyph text rendering: characters rasterised by the glyph service as 65-level masks and composited
// straight into a 32-bit surface, so that text carries its own alpha or blends over what is there.
// Styles (shadow, four-copy shadow, outline), per-character colours, background boxes, the "@L"
// line break, vertical layout and a width limit with word wrap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/aligned_block.h"
#include "platform/glyphs.h"
#include "surface/surface.h"

namespace tesmo {

// Entries of the per-character arrays of a TextStyle.
inline constexpr size_t kTextSlots = 128;
// The work buffer one glyph mask at a time goes through; larger masks are not drawn.
inline constexpr size_t kGlyphBufferBytes = 0x40000;

// Style bits; the first one set in this order wins: outline, four-copy shadow, shadow.
enum TextStyleBit : uint32_t {
  kTextShadow = 1,      // one shadow copy at (dx, dy), the text blended over it
  kTextFourShadow = 2,  // copies at the four corners of (dx, dy), the text in their middle
  kTextOutline = 4,     // sixteen copies around the text, shadow offset forced to (4, 4)
};

// How one call lays out and draws. The caller value-initialises it and sets what it needs; a call
// changes it as the styles say (blend, shadow offset), counts characters and fills the arrays.
struct TextStyle {
  bool pass = false;             // set by the renderer during shadow and outline passes
  bool per_char_colour = false;  // colours[n] for the n-th character (the first kTextSlots)
  int32_t blend = 0;             // 0: colour with coverage alpha; otherwise blend over the pixel
  bool background_box = false;   // fill each cell with the colour, alpha 0, before its glyph
  bool vertical = false;         // characters advance downward, lines to the right
  bool line_break_escape = false;  // "@L" breaks the line
  int32_t x_offset = 0;          // added to every glyph position (not to background boxes)
  int32_t y_offset = 0;
  int32_t char_spacing = 0;      // extra advance after each character (vertical: between lines)
  int32_t line_spacing = 0;      // extra advance between lines (vertical: after each character)
  int32_t shadow_dx = 0;
  int32_t shadow_dy = 0;
  uint32_t colour = 0;           // 0x00RRGGBB
  uint32_t shadow_colour = 0;
  std::array<uint32_t, kTextSlots> colours{};
  bool measure_only = false;     // lay out without touching a pixel
  // Characters laid out so far. A call starts counting from the value it finds (every pass from the
  // same value) and leaves it advanced by the characters of the text. Characters past the first
  // kTextSlots are still drawn and counted, but get no array entries and take `colour`.
  int32_t char_count = 0;
  std::array<int16_t, kTextSlots> advances{};      // the pen step of each character
  std::array<int16_t, kTextSlots> line_heights{};  // the font's line height at each character
  uint32_t style_bits = 0;       // TextStyleBit
};

class GlyphTextRenderer {
 public:
  GlyphTextRenderer();

  // The font to lay out with (one of the three fonts), or null: then texts measure 0 × 0.
  void set_font(platform::GlyphFont* font) { font_ = font; }
  // The surface to draw into, or null to draw nothing. Pixels outside it are never touched. Set it
  // again after the surface is re-created: the renderer keeps the pointer, not the key.
  void set_target(Surface* target) { target_ = target; }
  // A limit for one-line horizontal text: a character that would end more than `limit` pixels
  // right of the line's start (its cell increment counted, spacing not) is not drawn, nor anything
  // after it. It holds for every later call until changed; 0: no limit. Ignored vertically.
  void set_width_limit(int32_t limit, bool word_wrap) {
    width_limit_ = limit;
    word_wrap_ = word_wrap;
  }
  // Input units (bytes for draw_text, UTF-16 units for draw_text_wide) the last call laid out: the
  // whole text, or up to the character that passed the width limit; with word wrap, up to and
  // including the last space before it (when there was one).
  size_t consumed() const { return consumed_; }

  // Lays out and draws `text` (CP932; a byte 0x81–0x9F or 0xE0–0xFC starts a two-byte character)
  // at (x, y), ending at a zero byte or the end. Returns the text's width; `height` receives its
  // height. Horizontally the width is the longest line and the height one line height (font height
  // + line spacing) per line; vertically the width is one column (font height + character spacing)
  // per column and the height the longest column. A text always has at least one line.
  int32_t draw_text(std::string_view text, int32_t x, int32_t y, TextStyle& style, int32_t* height = nullptr);
  // The same for UTF-16; a surrogate pair is one character, drawn by glyph index.
  int32_t draw_text_wide(std::u16string_view text, int32_t x, int32_t y, TextStyle& style,
                         int32_t* height = nullptr);

  // UTF-16 units from `start` that fit within `limit` pixels (heightwise in vertical mode): each
  // character advances by its cell increment + character spacing (vertically: font height + line
  // spacing), and the one that passes the limit is not counted. Stops at a zero unit or the end;
  // 0 when even the first character does not fit or `start` is past the end.
  size_t fit_count_wide(std::u16string_view text, size_t start, int32_t limit, const TextStyle& style);

  struct Char;  // one character of the text being laid out (defined by the implementation)

 private:
  struct Extent {
    int64_t width = 0;
    int64_t height = 0;
  };
  int32_t draw_chars(const Char* chars, size_t count, int32_t x, int32_t y, TextStyle& style, int32_t* height);
  Extent run_pass(const Char* chars, size_t count, int64_t x, int64_t y, TextStyle& style);
  void draw_glyph(const platform::GlyphMetrics& m, int64_t size, int64_t cell_x, int64_t cell_y,
                  uint32_t colour, const TextStyle& style, int32_t ascent);

  platform::GlyphFont* font_ = nullptr;
  Surface* target_ = nullptr;
  AlignedBlock glyph_buffer_;  // kGlyphBufferBytes, or empty when it could not be had
  int32_t width_limit_ = 0;
  bool word_wrap_ = false;
  size_t consumed_ = 0;
};

// Compositing one mask level m (0–64) with colour c (0x00RRGGBB) into a pixel; m = 0 leaves it.
// Blend 0: c with alpha 4m − 1. Blend 1: w = 256 − 4m, each colour byte c + ((old − c) × w >> 8),
// alpha ((w × (old alpha − 255)) >> 8) − 1 as a byte. Levels above 64 count as 64.
uint32_t composite_level(uint32_t pixel, uint8_t level, uint32_t colour, int32_t blend);

}  // namespace tesmo
