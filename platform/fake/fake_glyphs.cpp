// Deterministic glyphs for tests.
#include "platform/fake/fake_glyphs.h"

#include <algorithm>

namespace tesmo::platform {
namespace {

FakeGlyph box(int32_t w, int32_t h, int32_t origin_y, int32_t advance) {
  FakeGlyph g;
  g.metrics = GlyphMetrics{w, h, 1, origin_y, advance, 0};
  g.levels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), kGlyphLevels);
  return g;
}

FakeGlyph empty(int32_t advance) {
  FakeGlyph g;
  g.metrics.cell_inc_x = advance;
  return g;
}

}  // namespace

FakeGlyph FakeGlyphFont::glyph_of(char32_t c) const {
  auto it = custom_.find(c);
  if (it != custom_.end()) return it->second;
  if (c == U' ') return empty(3);
  if (c == U'\u3000') return empty(12);
  if (c < 0x100) return box(4, 8, 8, 6);
  return box(10, 10, 9, 12);
}

int64_t FakeGlyphFont::glyph(GlyphId id, GlyphMetrics& metrics, std::span<uint8_t> mask) {
  requests.push_back(id);
  FakeGlyph g = glyph_of(static_cast<char32_t>(id.value));
  metrics = g.metrics;
  int32_t w = g.metrics.black_box_x, h = g.metrics.black_box_y;
  size_t bytes = glyph_mask_bytes(w, h);
  if (bytes == 0 || mask.size() < bytes) return static_cast<int64_t>(bytes);
  size_t pitch = glyph_mask_bytes(w, 1);
  std::fill(mask.begin(), mask.begin() + static_cast<ptrdiff_t>(bytes), uint8_t{0});
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
      mask[static_cast<size_t>(y) * pitch + static_cast<size_t>(x)] = i < g.levels.size() ? g.levels[i] : 0;
    }
  }
  return static_cast<int64_t>(bytes);
}

}  // namespace tesmo::platform
