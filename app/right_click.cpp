// The right-click copy and its three options.
#include "app/right_click.h"

#include <cstdio>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/menu_options.h"

namespace tesmo {
namespace {

// The options' items, in the order their parts are joined.
constexpr uint16_t kOptionItems[kRightClickOptionCount] = {cmd::RightClickXY, cmd::RightClickRgbDecimal,
                                                            cmd::RightClickRgbHex};

// Each option's part, or empty when it does not apply (`pixel` −1: the mouse is off the back buffer).
std::string part(int k, const Application& app, int64_t pixel) {
  char text[48];
  if (k == 0) {
    std::snprintf(text, sizeof text, "%d, %d", app.cursor_x100, app.cursor_y100);
    return text;
  }
  if (pixel < 0) return {};
  const auto p = static_cast<uint32_t>(pixel);
  if (k == 1) {
    std::snprintf(text, sizeof text, "%3d, %3d, %3d", static_cast<int>((p >> 16) & 0xFF),
                  static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
  } else {
    std::snprintf(text, sizeof text, "0x%08X", p & 0x00FFFFFFu);
  }
  return text;
}

// Options live as menu checks; without a window their settings fields say the same.
bool option_on(Application& app, int k) {
  if (app.window) return app.window->menu().is_checked(kOptionItems[k]);
  const MenuOption* o = menu_option_of(kOptionItems[k]);
  return o && app.settings().*o->field != 0;
}

}  // namespace

int toggle_right_click_option(Application& app, int k) {
  if (k < 0 || k >= kRightClickOptionCount || !app.window) return 1;
  toggle_menu_option(app.window->menu(), app.settings(), kOptionItems[k]);
  app.settings_store().save();
  return 0;
}

std::string right_click_text(Application& app) {
  const int64_t pixel = back_buffer_pixel(app.surfaces(), app.mouse.x, app.mouse.y);
  std::string text;
  for (int k = 0; k < kRightClickOptionCount; ++k) {
    if (!option_on(app, k)) continue;
    const std::string p = part(k, app, pixel);
    if (p.empty()) continue;
    if (!text.empty()) text += ", ";
    text += p;
  }
  return text;
}

int right_click_copy(Application& app) {
  const std::string text = right_click_text(app);
  if (text.empty() || !app.platform) return 1;
  return app.platform->set_clipboard_text(text) ? 0 : 1;
}

}  // namespace tesmo
