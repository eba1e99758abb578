// The glyph service: fonts opened by face, size and weight, and single glyphs as 65-level grey
// masks with the metrics the glyph text renderer lays them out by.
// Implementations: freetype/ (the product and the toolbox; needs no display) and
// fake/fake_glyphs.h (deterministic boxes, for tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tesmo::platform {

// Coverage levels of a glyph mask: 0 (empty) to 64 (fully covered).
inline constexpr uint8_t kGlyphLevels = 64;

// A font as the system describes it. A negative height is the character height (em size) in
// pixels; a positive one the cell height (ascent + descent); 0 a default size.
struct FontRequest {
  std::u16string face;  // e.g. u"ＭＳ ゴシック"; stand-ins are the service's business
  int32_t height = 0;
  int32_t weight = 400;  // 100–900; 600 and more is bold
  bool italic = false;
  uint8_t pitch_and_family = 0;
};

struct TextMetrics {
  int32_t height = 0;  // ascent + descent: one line of text
  int32_t ascent = 0;  // baseline below the top of the line
  int32_t descent = 0;
};

// One glyph. The mask is black_box_x × black_box_y levels, rows top to bottom, each row padded to
// a multiple of 4 bytes. origin_x is the box's left edge right of the pen position, origin_y its top
// edge above the baseline; the pen then moves by cell_inc_x (horizontal text).
struct GlyphMetrics {
  int32_t black_box_x = 0;  // 0 × 0 for an empty glyph (a space)
  int32_t black_box_y = 0;
  int32_t origin_x = 0;
  int32_t origin_y = 0;
  int32_t cell_inc_x = 0;
  int32_t cell_inc_y = 0;
};

// Bytes of a mask of `width` × `height` levels with rows padded to 4 bytes.
constexpr size_t glyph_mask_bytes(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return ((static_cast<size_t>(width) + 3) & ~size_t{3}) * static_cast<size_t>(height);
}

// Which glyph to fetch: a character (a code point) or a glyph index from GlyphFont::glyph_index.
struct GlyphId {
  uint32_t value = 0;
  bool by_index = false;
  static GlyphId character(char32_t c) { return {static_cast<uint32_t>(c), false}; }
  static GlyphId index(uint32_t i) { return {i, true}; }
};

// One opened font. Used by one thread at a time.
class GlyphFont {
 public:
  virtual ~GlyphFont() = default;

  virtual TextMetrics text_metrics() const = 0;

  // The font's glyph for `c` (any plane); the font's missing-glyph index (0) when it has none.
  virtual uint32_t glyph_index(char32_t c) = 0;

  // Fills `metrics` and returns the mask size in bytes (0 for an empty glyph). The mask is written
  // into `mask` only when `mask` holds at least that many bytes; an empty span asks for the metrics
  // alone. −1 when the glyph cannot be made (`metrics` then zero); never writes past `mask`.
  virtual int64_t glyph(GlyphId id, GlyphMetrics& metrics, std::span<uint8_t> mask) = 0;
};

class GlyphService {
 public:
  virtual ~GlyphService() = default;
  // The nearest font the system has for `request`; null when none can be opened.
  virtual std::unique_ptr<GlyphFont> open_font(const FontRequest& request) = 0;
};

}  // namespace tesmo::platform
