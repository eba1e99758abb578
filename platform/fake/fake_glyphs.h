// Deterministic glyphs for tests: fixed line metrics and solid boxes whose sizes depend only on the
// character, so that text layout can be tested without font rasterisation.
//   U+0020                   empty, advance 3      U+3000  empty, advance 12
//   other characters < 0x100 4 × 8 box at origin (1, 8), advance 6
//   every other character    10 × 10 box at origin (1, 9), advance 12
// Every level of a default box is 64. glyph_index(c) is c itself, so a glyph asked for by index
// looks the same as by character.
#pragma once

#include <map>
#include <vector>

#include "platform/glyphs.h"

namespace tesmo::platform {

struct FakeGlyph {
  GlyphMetrics metrics;
  std::vector<uint8_t> levels;  // black_box_x × black_box_y levels, unpadded rows top to bottom
};

class FakeGlyphFont final : public GlyphFont {
 public:
  static constexpr TextMetrics kMetrics{12, 10, 2};

  explicit FakeGlyphFont(TextMetrics metrics = kMetrics) : metrics_(metrics) {}

  // Replaces the glyph of `c` (by character and by index).
  void set_glyph(char32_t c, FakeGlyph glyph) { custom_[c] = std::move(glyph); }
  // The glyph `c` has: the one set, else the default box.
  FakeGlyph glyph_of(char32_t c) const;

  TextMetrics text_metrics() const override { return metrics_; }
  uint32_t glyph_index(char32_t c) override { return static_cast<uint32_t>(c); }
  int64_t glyph(GlyphId id, GlyphMetrics& metrics, std::span<uint8_t> mask) override;

  std::vector<GlyphId> requests;  // every glyph asked for, in order

 private:
  TextMetrics metrics_;
  std::map<char32_t, FakeGlyph> custom_;
};

// Opens a FakeGlyphFont for any request; remembers the requests.
class FakeGlyphService final : public GlyphService {
 public:
  std::unique_ptr<GlyphFont> open_font(const FontRequest& request) override {
    requests.push_back(request);
    return std::make_unique<FakeGlyphFont>();
  }
  std::vector<FontRequest> requests;
};

}  // namespace tesmo::platform
