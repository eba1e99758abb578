// The overlay step of a frame: the grid, the hyper-list, then the information panels.
#include <cmath>
#include <memory>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/overlays/overlays.h"

namespace tesmo {

void draw_overlays(Application& app, OverlayCache& cache) {
  ViewState& v = app.view();
  if (!(v.flags & kImageShown) || !app.window) return;
  const platform::Menu& menu = app.window->menu();
  if (menu.is_checked(cmd::Grid)) {
    const SystemSettings& s = app.settings();
    draw_grid(app.surfaces(), kKeyBackBuffer, app.origin, v.image_width, v.image_height, v.zoom_x, v.zoom_y,
              s.grid_spacing, s.grid_divisions, static_cast<int32_t>(std::lround(tween_value(app.tweens[6]))));
  }
  if (menu.is_checked(cmd::HyperList)) {
    update_hyper_list(app, cache);
    draw_hyper_list(app);
  }
  if (menu.is_checked(cmd::OsdHistogram)) draw_histogram(app, cache);
  if (menu.is_checked(cmd::OsdCursorInfo)) draw_cursor_info(app);
  if (menu.is_checked(cmd::OsdPip)) draw_picture_in_picture(app);
  if (menu.is_checked(cmd::OsdFileInfo)) draw_file_info(app);
  if (menu.is_checked(cmd::OsdExifInfo)) draw_exif(app);
}

void install_overlays(Application& app) {
  app.draw_overlays = [&app, cache = std::make_shared<OverlayCache>()](float) { draw_overlays(app, *cache); };
}

}  // namespace tesmo
