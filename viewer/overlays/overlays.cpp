// The overlay step of a frame: the grid, the hyper-list, then the information panels.
#include "viewer/overlays/overlays.h"

#include <cmath>
#include <memory>

#include "resources/command_ids.h"
#include "viewer/viewer.h"

namespace tesmo {

void draw_overlays(Viewer& viewer, OverlayCache& cache) {
  ViewState& v = viewer.doc.view();
  if (!(v.flags & kImageShown) || !viewer.shell.window) return;
  const platform::Menu& menu = viewer.shell.window->menu();
  if (menu.is_checked(cmd::Grid)) {
    const SystemSettings& s = viewer.shell.settings();
    draw_grid(viewer.doc.surfaces(), kKeyBackBuffer, viewer.origin, v.image_width, v.image_height, v.zoom_x, v.zoom_y,
              s.grid_spacing, s.grid_divisions,
              static_cast<int32_t>(std::lround(tween_value(viewer.tweens[kTweenGrid]))));
  }
  if (menu.is_checked(cmd::HyperList)) {
    update_hyper_list(viewer, cache);
    draw_hyper_list(viewer);
  }
  if (menu.is_checked(cmd::OsdHistogram)) draw_histogram(viewer, cache);
  if (menu.is_checked(cmd::OsdCursorInfo)) draw_cursor_info(viewer);
  if (menu.is_checked(cmd::OsdPip)) draw_picture_in_picture(viewer);
  if (menu.is_checked(cmd::OsdFileInfo)) draw_file_info(viewer);
  if (menu.is_checked(cmd::OsdExifInfo)) draw_exif(viewer);
}

}  // namespace tesmo
