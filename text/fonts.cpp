// The three fonts of the system.
#include "text/fonts.h"

#include <string>

namespace tesmo {

platform::FontRequest font_request(int32_t index) {
  const FontTableRow& s = kFontTable.at(static_cast<size_t>(index));
  return platform::FontRequest{std::u16string(s.face), font_pixel_height(s.points), s.weight, s.italic,
                               s.pitch_and_family};
}

Fonts open_fonts(platform::GlyphService& service) {
  Fonts fonts;
  for (int32_t i = 0; i < kFontCount; ++i) {
    platform::FontRequest r = font_request(i);
    fonts[static_cast<size_t>(i)] = FontEntry{service.open_font(r), r.height};
  }
  return fonts;
}

}  // namespace tesmo
