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

void Application::open_file(const std::u16string& path, int32_t, int32_t) {
  last_open_request = path;
}

void Application::close_image(bool) { view_ = ViewState{}; }

void Application::toggle_full_screen() { view_.flags ^= kFullScreen; }

}  // namespace tesmo
