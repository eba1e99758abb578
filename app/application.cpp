// Application construction and destruction, and the viewer hooks the later subsystems fill.
#include "app/application.h"

namespace tesmo {

Application::Application(std::u16string program_folder)
    : settings_store_(std::move(program_folder)) {
  settings_store_.load();
}

Application::~Application() = default;

void Application::frame_update(int target) {
  if (target == 0) ++frames_composed_;
}

int Application::open_file(const std::u16string& path, int32_t, int32_t entry_mode) {
  last_open_request = path;
  if (path.empty() || entry_mode != -1) return 1;
  if (surface_load(surfaces_, kKeyImage, path, true) != 0) return 1;
  const Surface& image = *surface_find(surfaces_, kKeyImage);
  view_.flags |= kImageShown;
  view_.displayed_surface = kKeyImage;
  view_.image_width = image.width;
  view_.image_height = image.height;
  view_.path = path;
  return 0;
}

void Application::close_image(bool) {
  surface_remove(surfaces_, kKeyImage);
  surface_remove(surfaces_, kKeyAlpha);
  view_ = ViewState{};
}

void Application::toggle_full_screen() { view_.flags ^= kFullScreen; }

}  // namespace tesmo
