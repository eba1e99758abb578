// Picture-in-picture: the whole displayed picture fitted into the panel (thumbnail method) or the
// area round the cursor at 100 % (cursor-position method), rebuilt only when stale.
#include <algorithm>

#include "resources/command_ids.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr int32_t kInnerWidth = 279, kInnerHeight = 208;

bool cursor_method(const Viewer& viewer) {
  return viewer.shell.window && viewer.shell.window->menu().is_checked(cmd::PipCursorPosition);
}

}  // namespace

void build_picture_in_picture(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  ViewState& v = viewer.doc.view();
  if (!ensure_surface(t, kKeyPip, kPanelWidth, 210)) return;
  const uint32_t bg = viewer.shell.settings().background_colour;  // bytes red, green, blue
  surface_fill(t, kKeyPip, bg & 0xFF, (bg >> 8) & 0xFF, (bg >> 16) & 0xFF, 255);
  const Surface* shown = surface_find(t, v.displayed_surface);
  // A missing or empty picture leaves the panel its background (and nothing to divide by).
  if (shown && shown->width > 0 && shown->height > 0) {
    const int32_t w = shown->width, h = shown->height;
    if (!cursor_method(viewer)) {
      const int32_t s = std::min(kInnerWidth * 256 / w, kInnerHeight * 256 / h);
      const int32_t dw = w * s / 256, dh = h * s / 256;
      blit(t, kKeyPip, v.displayed_surface, kOpScale,
           {.dst_x = (kInnerWidth - dw) / 2 + 1, .dst_y = (kInnerHeight - dh) / 2 + 1, .width = w, .height = h,
            .param1 = dw, .param2 = dh, .param4 = kScaleBilinear});
    } else {
      // The area centred on the cursor, clipped to the image; where it starts left of or above
      // the image, the panel keeps its background there.
      const int32_t sx = viewer.cursor_x100 - kInnerWidth / 2, sy = viewer.cursor_y100 - kInnerHeight / 2;
      const int32_t x0 = std::max(sx, 0), y0 = std::max(sy, 0);
      const int32_t x1 = std::min(sx + kInnerWidth, w), y1 = std::min(sy + kInnerHeight, h);
      if (x1 > x0 && y1 > y0) {
        blit(t, kKeyPip, v.displayed_surface, kOpCopy,
             {.dst_x = 1 + x0 - sx, .dst_y = 1 + y0 - sy, .src_x = x0, .src_y = y0, .width = x1 - x0,
              .height = y1 - y0});
      }
    }
  }
  surface_set_alpha(t, kKeyPip, 255);
  fill_rect(t, kKeyPip, 0, 0, 1, 209, kLineWhite);
  fill_rect(t, kKeyPip, 0, 0, 280, 1, kLineWhite);
  fill_rect(t, kKeyPip, 0, 209, 280, 1, kLineGrey);
  v.flags |= kThumbnailCurrent;
}

void draw_picture_in_picture(Viewer& viewer) {
  const platform::Point size = back_buffer_size(viewer);
  if (size.x <= 400 || size.y <= 300) return;
  ViewState& v = viewer.doc.view();
  if (cursor_method(viewer) && !(viewer.mouse == viewer.previous_mouse)) v.flags &= ~kThumbnailCurrent;
  if (!(v.flags & kThumbnailCurrent) || !surface_find(viewer.doc.surfaces(), kKeyPip)) build_picture_in_picture(viewer);
  blit(viewer.doc.surfaces(), kKeyBackBuffer, kKeyPip, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = size.x - 280, .dst_y = 32, .width = kPanelWidth, .height = 210,
        .param1 = slot_opacity(viewer.tweens[kTweenPictureInPicture])});
}

}  // namespace tesmo
