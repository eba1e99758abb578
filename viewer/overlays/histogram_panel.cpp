// The histogram panel: a background built once, the counts recomputed only when the displayed
// surface or its visible channels change, and 256 bars drawn into the back buffer that grow to
// full height while the panel fades in.
#include "resources/command_ids.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {

uint32_t visible_channel_mask(const Viewer& viewer) {
  const ViewState& v = viewer.doc.view();
  if (v.displayed_surface != kKeyImage || !viewer.shell.window) return 0xFFFFFFu;
  const platform::Menu& menu = viewer.shell.window->menu();
  uint32_t mask = 0;
  if (menu.is_checked(cmd::VisibleR)) mask |= 0xFF0000u;
  if (menu.is_checked(cmd::VisibleG)) mask |= 0x00FF00u;
  if (menu.is_checked(cmd::VisibleB)) mask |= 0x0000FFu;
  return mask;
}

void draw_histogram(Viewer& viewer, OverlayCache& cache) {
  const platform::Point size = back_buffer_size(viewer);
  const int32_t W = size.x, H = size.y;
  if (W <= 400 || H <= 300) return;
  SurfaceTable& t = viewer.doc.surfaces();
  ViewState& v = viewer.doc.view();
  if (!(v.flags & kHistogramBuilt) || !surface_find(t, kKeyHistogramBar)) {
    if (!ensure_surface(t, kKeyHistogramBar, kPanelWidth, 116)) return;
    fill_panel(t, kKeyHistogramBar);
    fill_rect(t, kKeyHistogramBar, 0, 0, 280, 1, kLineWhite);
    fill_rect(t, kKeyHistogramBar, 279, 0, 1, 116, kLineGrey);
    fill_rect(t, kKeyHistogramBar, 0, 115, 280, 1, kLineGrey);
    v.flags |= kHistogramBuilt;
  }
  const bool rgb = v.displayed_surface == kKeyImage;
  const uint32_t mask = visible_channel_mask(viewer);
  if (v.histogram_surface != v.displayed_surface || (rgb && v.histogram_mask != static_cast<int32_t>(mask))) {
    if (surface_histogram(t, v.displayed_surface, cache.counts) != 0) cache.counts = Histogram{};
    v.histogram_surface = v.displayed_surface;
    v.histogram_mask = static_cast<int32_t>(mask);
  }
  const TweenSlot& slot = viewer.tweens[kTweenHistogram];
  const int64_t scale = slot.keyframes ? static_cast<int64_t>(slot.curve.progress * 100.0f) : 100;
  blit(t, kKeyBackBuffer, kKeyHistogramBar, kOpAlphaBlend | kOpClipFlag,
       {.dst_y = H - 240, .width = kPanelWidth, .height = 116, .param1 = slot_opacity(slot)});

  // Every channel array counts each pixel once, so each total is the pixel count.
  const Surface* shown = surface_find(t, v.displayed_surface);
  const int64_t pixels = shown ? static_cast<int64_t>(shown->pixel_count()) : 0;
  const bool r = mask & 0xFF0000u, g = mask & 0x00FF00u, b = mask & 0x0000FFu;
  const int64_t total = pixels * ((rgb ? r : 1) + (rgb ? g : 1) + (rgb ? b : 1));
  const uint32_t colour = rgb ? mask : 0xFFFFFFu;
  Surface* back = surface_find(t, kKeyBackBuffer);
  const int32_t y0 = H - 131;
  for (int32_t i = 0; i < 256; ++i) {
    int64_t sum = 0;
    if (!rgb || r) sum += cache.counts.red[i];
    if (!rgb || g) sum += cache.counts.green[i];
    if (!rgb || b) sum += cache.counts.blue[i];
    const int64_t p = total > 0 ? sum * 100 / total : 0;
    draw_line(*back, 12 + i, y0, 12 + i, static_cast<int32_t>(y0 - p * scale / 100), colour);
  }
}

}  // namespace tesmo
