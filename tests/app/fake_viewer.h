// The viewer as the application tests drive it: an Application on the fake platform with its
// 400 × 300 main window at (100, 100), the full menu with the checks its settings give, and the two
// scroll bars.
#pragma once

#include <memory>
#include <string>

#include "app/application.h"
#include "app/menu_options.h"
#include "app/scroll_bar.h"
#include "platform/fake/fake_platform.h"
#include "resources/resources.h"

namespace tesmo::testing {

inline std::unique_ptr<Application> make_fake_viewer(platform::FakePlatform& fake, const std::u16string& folder) {
  auto app = std::make_unique<Application>(folder);
  app->platform = &fake;
  platform::MainWindowParams p;
  p.client_width = 400;
  p.client_height = 300;
  p.menu = &resources::main_menu();
  p.position = platform::Point{100, 100};
  app->window = fake.create_main_window(p);
  app->hbar = std::make_unique<ScrollBarControl>(*app->window, platform::ScrollBarKind::Horizontal);
  app->vbar = std::make_unique<ScrollBarControl>(*app->window, platform::ScrollBarKind::Vertical);
  init_menu_checks(app->window->menu(), app->settings(), nullptr);
  return app;
}

}  // namespace tesmo::testing
