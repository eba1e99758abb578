// The main window: start-up, the message loop, the handling of each window message, and shutdown.
#include "app/main_window.h"

#include "app/application.h"
#include "app/commands.h"
#include "app/menu_options.h"
#include "resources/resources.h"

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
  if (cl.full_screen) app.toggle_full_screen();
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
      if (e.code == static_cast<int>(platform::MouseButton::Left)) app.window->set_mouse_capture(true);
      break;
    case EventKind::MouseUp:
      if (e.code == static_cast<int>(platform::MouseButton::Left)) app.window->set_mouse_capture(false);
      break;
    case EventKind::EnterSizeMove: app.window->set_opacity(kMovingOpacity); break;
    case EventKind::ExitSizeMove: app.window->set_opacity(255); break;
    default: break;  // Paint with no frame composed shows the black background
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
  init_menu_checks(app.window->menu(), app.settings(), nullptr);
  disable_image_commands(app.window->menu());
  open_start_file(app, command_line);

  int code = run_message_loop(app);

  // The window object itself goes with the Application, after the loop.
  app.hbar.reset();
  app.vbar.reset();
  return code;
}

}  // namespace tesmo
