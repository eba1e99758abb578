// The pieces every panel shares: its surface, its background, its opacity and its texts.
#include <cmath>

#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/tween.h"
#include "viewer/viewer.h"

namespace tesmo {

int32_t slot_opacity(const TweenSlot& slot) {
  if (!slot.keyframes) return 0;
  return static_cast<int32_t>(std::lround(tween_value(slot)));
}

Surface* ensure_surface(SurfaceTable& t, int32_t key, int32_t w, int32_t h) {
  Surface* s = surface_find(t, key);
  if (s && s->width == w && s->height == h) return s;
  if (surface_create(t, key, w, h) != 0) return nullptr;
  return surface_find(t, key);
}

void fill_rect(SurfaceTable& t, int32_t key, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb) {
  blit(t, key, key, kOpFill,
       {.dst_x = x, .dst_y = y, .width = w, .height = h, .param1 = (argb >> 16) & 0xFF, .param2 = (argb >> 8) & 0xFF,
        .param3 = argb & 0xFF, .param4 = argb >> 24});
}

void fill_panel(SurfaceTable& t, int32_t key) {
  if (const Surface* s = surface_find(t, key)) fill_rect(t, key, 0, 0, s->width, s->height, 0x80000000u);
}

void draw_line(Surface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t pixel) {
  const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int32_t err = dx + dy;
  for (;;) {
    if (x0 >= 0 && y0 >= 0 && x0 < s.width && y0 < s.height) s.pixels()[static_cast<size_t>(y0) * s.width + x0] = pixel;
    if (x0 == x1 && y0 == y1) return;
    const int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

namespace {

TextStyle label_style(Viewer& viewer, Surface* target, int font, uint32_t colour) {
  viewer.shell.text.set_font(font >= 0 && font < kFontCount ? viewer.shell.fonts[static_cast<size_t>(font)].font.get()
                                                            : nullptr);
  viewer.shell.text.set_target(target);
  viewer.shell.text.set_width_limit(0, false);
  TextStyle style{};
  style.colour = colour;
  return style;
}

}  // namespace

int32_t draw_label(Viewer& viewer, Surface* target, int font, std::string_view cp932, int32_t x, int32_t y,
                   uint32_t colour) {
  TextStyle style = label_style(viewer, target, font, colour);
  return viewer.shell.text.draw_text(cp932, x, y, style);
}

int32_t draw_label(Viewer& viewer, Surface* target, int font, std::u16string_view text, int32_t x, int32_t y,
                   uint32_t colour) {
  TextStyle style = label_style(viewer, target, font, colour);
  return viewer.shell.text.draw_text_wide(text, x, y, style);
}

platform::Point back_buffer_size(const Viewer& viewer) {
  const Surface* b = surface_find(viewer.doc.surfaces(), kKeyBackBuffer);
  return b ? platform::Point{b->width, b->height} : platform::Point{0, 0};
}

}  // namespace tesmo
