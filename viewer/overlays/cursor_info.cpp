// The cursor bar: the cursor's position in image pixels and the colour under it, redrawn only
// when the mouse moves.
#include <cstdio>

#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {

std::string cursor_position_text(int32_t x, int32_t y) {
  char text[64];
  std::snprintf(text, sizeof text, "X, Y: %d, %d", x, y);
  return text;
}

std::string cursor_colour_text(int64_t pixel) {
  if (pixel < 0) return "RGB: -, -, -";
  char text[64];
  const auto p = static_cast<uint32_t>(pixel);
  std::snprintf(text, sizeof text, "RGB: %d, %d, %d", static_cast<int>((p >> 16) & 0xFF),
                static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
  return text;
}

void draw_cursor_info(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  ViewState& v = viewer.doc.view();
  const int32_t W = back_buffer_size(viewer).x;
  if (!(v.flags & kCursorBarBuilt) || !surface_find(t, kKeyCursorBar)) {
    if (!ensure_surface(t, kKeyCursorBar, kPanelWidth, 24)) return;
    fill_panel(t, kKeyCursorBar);
    fill_rect(t, kKeyCursorBar, 0, 23, 280, 1, kLineGrey);
    fill_rect(t, kKeyCursorBar, 0, 0, 1, 23, kLineWhite);
    v.flags |= kCursorBarBuilt;
  }
  Surface* text = surface_find(t, kKeyCursorText);
  if (!text || !(viewer.mouse == viewer.previous_mouse)) {
    text = ensure_surface(t, kKeyCursorText, kPanelWidth, 24);
    if (!text) return;
    surface_fill(t, kKeyCursorText, 0, 0, 0, 0);
    draw_label(viewer, text, 1, cursor_position_text(viewer.cursor_x100, viewer.cursor_y100), 8, 6);
    draw_label(viewer, text, 1, cursor_colour_text(back_buffer_pixel(t, viewer.mouse.x, viewer.mouse.y)), 146, 6);
  }
  const int32_t k = slot_opacity(viewer.tweens[kTweenCursorInfo]);
  blit(t, kKeyBackBuffer, kKeyCursorBar, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = W - 280, .width = kPanelWidth, .height = 24, .param1 = k});
  blit(t, kKeyBackBuffer, kKeyCursorText, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = W - 280, .width = kPanelWidth, .height = 24, .param1 = k});
}

}  // namespace tesmo
