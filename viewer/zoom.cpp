// Zoom steps and the zoom commands.
#include "viewer/zoom.h"

#include "resources/command_ids.h"
#include "viewer/presentation.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr int32_t kMaxZoom = 409600;      // 1600 %
constexpr int32_t kPreciseStep = 2560;    // 10 %
constexpr int32_t kMinNormalZoom = 6400;  // 25 %
constexpr int32_t kMinPreciseZoom = 256;  // below 1 %: the precise step stops at 10 %

int32_t step_in(int32_t zoom) {
  if (zoom < 25600) return 6400;
  if (zoom < 204800) return 25600;
  return 102400;
}

int32_t step_out(int32_t zoom) {
  if (zoom <= 25600) return 6400;
  if (zoom <= 204800) return 25600;
  return 102400;
}

// Rounded down to a multiple of `step`, or one step lower when already a multiple.
int32_t down(int32_t zoom, int32_t step) { return zoom % step ? zoom / step * step : zoom - step; }

}  // namespace

std::optional<int32_t> next_zoom_in(int32_t zoom, bool precise) {
  if (precise) {
    if (zoom + kPreciseStep > kMaxZoom) return std::nullopt;
    return zoom / kPreciseStep * kPreciseStep + kPreciseStep;
  }
  if (zoom >= kMaxZoom) return std::nullopt;
  int32_t step = step_in(zoom);
  return zoom / step * step + step;
}

std::optional<int32_t> next_zoom_out(int32_t zoom, bool precise) {
  if (precise) {
    if (zoom - kPreciseStep < kMinPreciseZoom) return std::nullopt;
    return down(zoom, kPreciseStep);
  }
  if (zoom <= kMinNormalZoom) return std::nullopt;
  return down(zoom, step_out(zoom));
}

bool navigation_interval_passed(Viewer& viewer) {
  uint32_t now = viewer.shell.platform->now_ms();
  if (now - viewer.last_navigation_ms < static_cast<uint32_t>(viewer.shell.settings().wheel_interval)) return false;
  viewer.last_navigation_ms = now;
  return true;
}

void zoom_in(Viewer& viewer, bool precise) {
  if (!viewer.shell.window->menu().is_enabled(cmd::ZoomInPrecise)) return;
  if (!navigation_interval_passed(viewer)) return;
  if (auto z = next_zoom_in(viewer.doc.view().zoom_x, precise)) set_zoom(viewer, *z, *z);
}

void zoom_out(Viewer& viewer, bool precise) {
  if (!viewer.shell.window->menu().is_enabled(cmd::ZoomOutPrecise)) return;
  if (!navigation_interval_passed(viewer)) return;
  if (auto z = next_zoom_out(viewer.doc.view().zoom_x, precise)) set_zoom(viewer, *z, *z);
}

void set_zoom(Viewer& viewer, int32_t zoom_x, int32_t zoom_y) {
  ViewState& v = viewer.doc.view();
  if (v.zoom_x == zoom_x && v.zoom_y == zoom_y) return;
  v.zoom_x = zoom_x;
  v.zoom_y = zoom_y;
  layout_window(viewer);
  dock_dialog(viewer, 0);
  dock_dialog(viewer, 1);
  v.flags &= ~kThumbnailCurrent;
}

}  // namespace tesmo
