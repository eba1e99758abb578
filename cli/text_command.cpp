// `tesmo text`: one text through the glyph text renderer into a cleared surface, saved as a 32-bit BMP.
#include <algorithm>
#include <cstdio>
#include <string>

#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "platform/freetype/freetype_glyphs.h"
#include "surface/surface.h"
#include "text/fonts.h"
#include "text/glyph_text.h"

namespace tesmo::cli {
namespace {

constexpr int32_t kTextKey = 20;  // a progress-text key: any key serves in a table of one surface
// Shadow offset of the shadow and four-copy styles (the outline sets its own).
constexpr int32_t kShadowOffset = 2;
constexpr int64_t kMaxSide = 16384;

// How far the style's copies reach right of and below the text.
int32_t style_margin(uint32_t bits) {
  if (bits & kTextOutline) return 4;
  if (bits & (kTextFourShadow | kTextShadow)) return kShadowOffset;
  return 0;
}

bool in_range(std::optional<int64_t> v, int64_t lo, int64_t hi) { return v && *v >= lo && *v <= hi; }

}  // namespace

int cmd_text(Args args) {
  static const char* const kOptions[] = {"--font", "--style", "--blend", "--colour", "--width", "--height"};
  const Command& self = command_named("text");
  ParsedArgs p = parse_args(args, kOptions);
  auto font_index = p.options.count("--font") ? p.integer("--font") : std::optional<int64_t>(2);
  auto style_bits = p.options.count("--style") ? p.integer("--style") : std::optional<int64_t>(0);
  auto blend = p.options.count("--blend") ? p.integer("--blend") : std::optional<int64_t>(0);
  auto colour = p.options.count("--colour") ? p.integer("--colour") : std::optional<int64_t>(0xFFFFFF);
  auto width = p.integer("--width"), height = p.integer("--height");
  bool sized = p.options.count("--width") || p.options.count("--height");
  if (!p.ok || p.positional.size() != 2 || !in_range(font_index, 0, kFontCount - 1) ||
      !in_range(style_bits, 0, 7) || !in_range(blend, 0, 1) || !in_range(colour, 0, 0xFFFFFF) ||
      (sized && (!in_range(width, 1, kMaxSide) || !in_range(height, 1, kMaxSide)))) {
    return usage_error(self);
  }

  auto service = platform::make_freetype_glyph_service();
  if (!service) return fail("the glyph service cannot start");
  auto font = service->open_font(font_request(static_cast<int32_t>(*font_index)));
  if (!font) return fail("no font for font " + std::to_string(*font_index));

  std::u16string text = utf8_to_utf16(p.positional[0]);
  GlyphTextRenderer renderer;
  renderer.set_font(font.get());
  TextStyle style;
  style.measure_only = true;
  int32_t text_h = 0;
  int32_t text_w = renderer.draw_text_wide(text, 0, 0, style, &text_h);

  auto bits = static_cast<uint32_t>(*style_bits);
  int64_t margin = style_margin(bits);
  int64_t surface_w = sized ? *width : std::clamp<int64_t>(text_w + margin, 1, kMaxSide);
  int64_t surface_h = sized ? *height : std::clamp<int64_t>(text_h + margin, 1, kMaxSide);
  SurfaceTable table(0);
  if (surface_create(table, kTextKey, static_cast<int32_t>(surface_w), static_cast<int32_t>(surface_h)) != 0) {
    return fail("cannot make a surface of that size");
  }
  surface_fill(table, kTextKey, 0, 0, 0, 0);
  renderer.set_target(surface_find(table, kTextKey));
  style = TextStyle{};
  style.style_bits = bits;
  style.blend = static_cast<int32_t>(*blend);
  style.colour = static_cast<uint32_t>(*colour);
  style.shadow_dx = style.shadow_dy = kShadowOffset;
  renderer.draw_text_wide(text, 0, 0, style);
  if (surface_save(table, kTextKey, utf8_to_utf16(p.positional[1]), 32, nullptr) != 0) {
    return fail("cannot write " + p.positional[1]);
  }
  std::printf("width: %d\nheight: %d\n", text_w, text_h);
  return 0;
}

}  // namespace tesmo::cli
