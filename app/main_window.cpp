// The main window: start-up, the message loop, the handling of each window message, and shutdown.
#include "app/main_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/edit.h"
#include "app/geometry_edits.h"
#include "app/frame_update.h"
#include "app/input_state.h"
#include "app/menu_options.h"
#include "app/overlays/overlays.h"
#include "app/presentation.h"
#include "app/tool_menu.h"
#include "app/viewer_dialogs.h"
#include "app/save.h"
#include "resources/resources.h"
#include "surface/compositor.h"

namespace tesmo {

using platform::Event;
using platform::EventKind;
using platform::ScrollBarKind;

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 300;
constexpr int kMovingOpacity = 128;  // half opacity while the window is dragged

ScrollBarControl* bar_of(Application& app, ScrollBarKind kind) {
  return kind == ScrollBarKind::Horizontal ? app.hbar.get() : app.vbar.get();
}

void on_scroll(Application& app, ScrollBarKind kind, int code, int thumb) {
  ScrollBarControl* bar = bar_of(app, kind);
  if (bar && bar->on_scroll(code, thumb)) app.frame_update(0);
}

// Both bars are asked, so a key both can act on acts twice.
bool on_key_down(Application& app, const Event& e) {
  if (!app.hbar || !app.vbar) return false;
  bool control = (e.modifiers & platform::key::ModControl) != 0;
  auto send = [&app](ScrollBarKind kind, int code) { on_scroll(app, kind, code, 0); };
  bool h = app.hbar->on_key(static_cast<uint16_t>(e.code), control, send);
  bool v = app.vbar->on_key(static_cast<uint16_t>(e.code), control, send);
  return h || v;
}

// Button bytes for the frame's action sets; the left button also holds the mouse while down.
void on_mouse_button(Application& app, const Event& e) {
  const bool down = e.kind == EventKind::MouseDown;
  set_button(app.input, e.code, down);
  if (e.code == static_cast<int>(platform::MouseButton::Left)) app.window->set_mouse_capture(down);
}

// Forward → slot 3, backward → slot 4; with Control 5 and 6.
void on_wheel(Application& app, const Event& e) {
  if (e.value == 0) return;
  const bool control = (e.modifiers & platform::key::ModControl) != 0;
  int slot = e.value > 0 ? 3 : 4;
  if (control) slot += 2;
  run_binding(app, slot);
}

void on_activate(Application& app, const Event& e) {
  if (app.keep_running_when_inactive) {
    app.active = true;
    return;
  }
  bool by_code_or_click = e.code == platform::Active || e.code == platform::ClickActive;
  app.active = by_code_or_click && !e.minimized;
  app.frame_timer.reset(app.platform->now_ms());
}

void on_close(Application& app) {
  app.close_image(true);
  app.window->attach_menu(false);
  platform::Rect r = app.window->window_rect();
  app.settings().window_x = r.left;
  app.settings().window_y = r.top;
  app.settings_store().save();
  app.window->destroy();
}

// The window's bitmap (surface 0 of `bitmap`): the back buffer copied, with "FPS:%6.02f" at its
// top-left in font 0, white on a 0x404040 box. Returns the pixels to present.
const uint32_t* draw_fps_text(Application& app, SurfaceTable& bitmap, const Surface& frame) {
  platform::GlyphFont* font = app.fonts[0].font.get();
  if (!font) return frame.pixels();
  const Surface* old = surface_find(bitmap, kKeyBackBuffer);
  if ((!old || old->width != frame.width || old->height != frame.height) &&
      surface_create(bitmap, kKeyBackBuffer, frame.width, frame.height) != 0) {
    return frame.pixels();
  }
  Surface* back = surface_find(bitmap, kKeyBackBuffer);
  std::copy(frame.pixels(), frame.pixels() + frame.pixel_count(), back->pixels());
  bitmap.clip = Rect{0, 0, back->width, back->height};
  char line[32];
  std::snprintf(line, sizeof line, "FPS:%6.02f", static_cast<double>(app.frame_timer.frame_rate));
  std::u16string text(line, line + std::strlen(line));
  app.text.set_font(font);
  app.text.set_target(back);
  TextStyle measure;
  measure.measure_only = true;
  int32_t height = 0;
  const int32_t width = app.text.draw_text_wide(text, 0, 0, measure, &height);
  blit(bitmap, kKeyBackBuffer, kKeyBackBuffer, 0, 0, 0, 0, width, height, kOpFill | kOpClipFlag, 0x40, 0x40, 0x40, 0);
  TextStyle style;
  style.colour = 0xFFFFFF;
  style.blend = 1;
  app.text.draw_text_wide(text, 0, 0, style);
  return back->pixels();
}

bool translate_accelerator(const platform::AccelTemplate& accel, const Event& e, uint16_t& command) {
  if (e.kind != EventKind::KeyDown) return false;
  for (const platform::AccelEntry& a : accel.entries) {
    if (a.key == e.code && a.modifiers == e.modifiers) {
      command = a.command;
      return true;
    }
  }
  return false;
}

bool offer_to_dialogs(Application& app, const Event& e) {
  for (ModelessDialog* d : app.dialogs) {
    if (d && d->take_event(e)) return true;
  }
  return false;
}

std::optional<platform::Point> stored_position(const SystemSettings& s) {
  if (s.window_x == SystemSettings::kSystemChoosesPosition ||
      s.window_y == SystemSettings::kSystemChoosesPosition) {
    return std::nullopt;
  }
  return platform::Point{s.window_x, s.window_y};
}

void open_start_file(Application& app, const CommandLine& cl) {
  if (!cl.has_path) {
    app.open_file(u"", -1, -1);
    return;
  }
  if (cl.full_screen) toggle_full_screen(app);
  if (cl.has_list_index) app.open_file(cl.path, cl.list_index, 0);
  else app.open_file(cl.path, -1, -1);
}

}  // namespace

void handle_main_window_event(Application& app, const Event& e) {
  switch (e.kind) {
    case EventKind::Destroy: app.platform->post_quit(0); break;
    case EventKind::Size:
      app.active = !(e.code == platform::Minimized || e.code == platform::MaxHide);
      break;
    case EventKind::Activate: on_activate(app, e); break;
    case EventKind::Close: on_close(app); break;
    case EventKind::KeyDown: on_key_down(app, e); break;
    case EventKind::Command: dispatch_command(app, static_cast<uint16_t>(e.code & 0xFFFF)); break;
    case EventKind::Scroll: on_scroll(app, static_cast<ScrollBarKind>(e.bar), e.code, e.value); break;
    case EventKind::MouseDown:
    case EventKind::MouseUp: on_mouse_button(app, e); break;
    case EventKind::Wheel: on_wheel(app, e); break;
    case EventKind::Paint: present(app); break;
    case EventKind::Move:
      keep_full_screen_place(app, {e.x, e.y});
      dock_dialog(app, 0);
      dock_dialog(app, 1);
      break;
    case EventKind::EnterSizeMove: app.window->set_opacity(kMovingOpacity); break;
    case EventKind::ExitSizeMove: app.window->set_opacity(255); break;
    case EventKind::DropFiles: app.drop_files(e.files); break;
    default: break;
  }
}

int run_message_loop(Application& app) {
  platform::Platform& platform = *app.platform;
  const platform::AccelTemplate& accel = resources::accelerators();
  for (;;) {
    Event e;
    if (platform.peek_event(e)) {
      if (e.kind == EventKind::Quit) return e.code;
      uint16_t command = 0;
      if (app.window && app.window->is_foreground() && translate_accelerator(accel, e, command)) {
        handle_main_window_event(app, Event{.kind = EventKind::Command, .code = command});
        continue;
      }
      if (offer_to_dialogs(app, e)) continue;
      if (e.window == 0 && app.window) handle_main_window_event(app, e);
    } else if (app.active) {
      app.frame_update(0);
      platform.sleep_ms(1);
    } else {
      platform.wait_event();
    }
  }
}

int run_viewer(Application& app, platform::Platform& platform, const CommandLine& command_line) {
  app.platform = &platform;
  install_viewer_dialogs(app);
  install_edit(app);
  install_geometry_edits(app);
  install_tool_menu(app);
  platform::MainWindowParams params;
  params.class_name = kWindowClass;
  params.title = kWindowTitle;
  params.client_width = kClientWidth;
  params.client_height = kClientHeight;
  params.position = stored_position(app.settings());
  params.menu = &resources::main_menu();
  params.accelerators = &resources::accelerators();
  app.window = platform.create_main_window(params);
  if (!app.window) return 0;
  app.window->show();

  app.hbar = std::make_unique<ScrollBarControl>(*app.window, ScrollBarKind::Horizontal);
  app.vbar = std::make_unique<ScrollBarControl>(*app.window, ScrollBarKind::Vertical);
  if (app.glyphs) app.fonts = open_fonts(*app.glyphs);
  app.draw_fps_text = [&app, bitmap = std::make_shared<SurfaceTable>()](const Surface& frame) {
    return draw_fps_text(app, *bitmap, frame);
  };
  install_overlays(app);
  connect_save_commands(app);
  init_menu_checks(app.window->menu(), app.settings(), [&app](const std::u16string& path) {
    return surface_load(app.surfaces(), kKeyBackground, path, false) == 0;
  });
  // The grid fades in at start as it does when switched on.
  if (app.window->menu().is_checked(cmd::Grid)) start_tween(app.tweens, 6);
  platform.listen_for_instances(kWindowClass);
  disable_image_commands(app.window->menu());
  open_start_file(app, command_line);

  int code = run_message_loop(app);

  // The window object itself goes with the Application, after the loop.
  app.hbar.reset();
  app.vbar.reset();
  return code;
}

}  // namespace tesmo
