// The right-click copy and its three options.
#include "viewer/right_click.h"

#include <cstdio>

#include "resources/command_ids.h"
#include "shell/menu_options.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

// The options' items, in the order their parts are joined.
constexpr uint16_t kOptionItems[kRightClickOptionCount] = {cmd::RightClickXY, cmd::RightClickRgbDecimal,
                                                            cmd::RightClickRgbHex};

// Each option's part, or empty when it does not apply (`pixel` −1: the mouse is off the back buffer).
std::string part(int k, const Viewer& viewer, int64_t pixel) {
  char text[48];
  if (k == 0) {
    std::snprintf(text, sizeof text, "%d, %d", viewer.cursor_x100, viewer.cursor_y100);
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

// The options' settings fields (their menu checks follow them).
bool option_on(Viewer& viewer, int k) {
  const MenuOption* o = menu_option_of(kOptionItems[k]);
  return o && viewer.shell.settings().*o->field != 0;
}

}  // namespace

int toggle_right_click_option(Viewer& viewer, int k) {
  if (k < 0 || k >= kRightClickOptionCount || !viewer.shell.window) return 1;
  toggle_menu_option(viewer.shell.window->menu(), viewer.shell.settings(), kOptionItems[k]);
  viewer.shell.settings_store().save();
  return 0;
}

std::string right_click_text(Viewer& viewer) {
  const int64_t pixel = back_buffer_pixel(viewer.doc.surfaces(), viewer.mouse.x, viewer.mouse.y);
  std::string text;
  for (int k = 0; k < kRightClickOptionCount; ++k) {
    if (!option_on(viewer, k)) continue;
    const std::string p = part(k, viewer, pixel);
    if (p.empty()) continue;
    if (!text.empty()) text += ", ";
    text += p;
  }
  return text;
}

int right_click_copy(Viewer& viewer) {
  const std::string text = right_click_text(viewer);
  if (text.empty() || !viewer.shell.platform) return 1;
  return viewer.shell.platform->set_clipboard_text(text) ? 0 : 1;
}

}  // namespace tesmo
