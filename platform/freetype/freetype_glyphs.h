// The glyph service on FreeType and fontconfig: faces found through fontconfig, masks rasterised by
// FreeType with hinting and reduced from 256 to 65 levels. Needs no display.
#pragma once

#include <memory>

#include "platform/glyphs.h"

namespace tesmo::platform {

// The service, or null when FreeType cannot start. Faces the system names after fonts it does not
// have here resolve to stand-ins ("ＭＳ ゴシック" → IPAGothic, "ＭＳ Ｐゴシック" → IPAPGothic);
// a weight of 600 or more on a face without a bold style is emboldened synthetically.
std::unique_ptr<GlyphService> make_freetype_glyph_service();

// The 65-level value of a 256-level (0–255) coverage byte: (v × 64 + 127) / 255, so 0 stays 0, 255
// becomes 64 and every level in between is rounded to the nearest.
constexpr uint8_t reduce_coverage(uint8_t v) { return static_cast<uint8_t>((v * 64 + 127) / 255); }

}  // namespace tesmo::platform
