// The main window: start-up, the message loop, the handling of each window message, and shutdown.
#include "app/main_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/application.h"
#include "app/commands.h"
#include "devtools/tool_menu.h"
#include "document/save.h"
#include "edit/edit.h"
#include "edit/geometry_edits.h"
#include "resources/command_ids.h"
#include "resources/program_icon.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "surface/compositor.h"
#include "viewer/frame_update.h"
#include "viewer/input_state.h"
#include "viewer/overlays/overlays.h"
#include "viewer/presentation.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {

using platform::Event;
using platform::EventKind;
using platform::ScrollBarKind;

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 300;
constexpr int kMovingOpacity = 128;  // half opacity while the window is dragged

ScrollBarControl* bar_of(Application& app, ScrollBarKind kind) {
  return kind == ScrollBarKind::Horizontal ? app.shell.hbar.get() : app.shell.vbar.get();
}

void on_scroll(Application& app, ScrollBarKind kind, int code, int thumb) {
  ScrollBarControl* bar = bar_of(app, kind);
  if (bar && bar->on_scroll(code, thumb)) app.viewer.frame_update(0);
}

// Both bars are asked, so a key both can act on acts twice.
bool on_key_down(Application& app, const Event& e) {
  if (!app.shell.hbar || !app.shell.vbar) return false;
  bool control = (e.modifiers & platform::key::ModControl) != 0;
  auto send = [&app](ScrollBarKind kind, int code) { on_scroll(app, kind, code, 0); };
  bool h = app.shell.hbar->on_key(static_cast<uint16_t>(e.code), control, send);
  bool v = app.shell.vbar->on_key(static_cast<uint16_t>(e.code), control, send);
  return h || v;
}

// Button bytes for the frame's action sets; the left button also holds the mouse while down.
void on_mouse_button(Application& app, const Event& e) {
  const bool down = e.kind == EventKind::MouseDown;
  set_button(app.viewer.input, e.code, down);
  if (e.code == static_cast<int>(platform::MouseButton::Left)) app.shell.window->set_mouse_capture(down);
}

// Forward → slot 3, backward → slot 4; with Control 5 and 6.
void on_wheel(Application& app, const Event& e) {
  if (e.value == 0) return;
  const bool control = (e.modifiers & platform::key::ModControl) != 0;
  int slot = e.value > 0 ? 3 : 4;
  if (control) slot += 2;
  run_binding(app.viewer, slot);
}

void on_activate(Application& app, const Event& e) {
  if (app.shell.keep_running_when_inactive) {
    app.shell.active = true;
    return;
  }
  bool by_code_or_click = e.code == platform::Active || e.code == platform::ClickActive;
  app.shell.active = by_code_or_click && !e.minimized;
  app.shell.frame_timer.reset(app.shell.platform->now_ms());
}

void on_close(Application& app) {
  app.viewer.close_image(true);
  app.shell.window->attach_menu(false);
  platform::Rect r = app.shell.window->window_rect();
  app.shell.settings().window_x = r.left;
  app.shell.settings().window_y = r.top;
  app.shell.settings_store().save();
  app.shell.window->destroy();
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
  for (ModelessDialog* d : app.shell.dialogs) {
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
    app.viewer.open_file(u"", -1, -1);
    return;
  }
  if (cl.full_screen) toggle_full_screen(app.viewer);
  if (cl.has_list_index) app.viewer.open_file(cl.path, cl.list_index, 0);
  else app.viewer.open_asked(cl.path);
}

}  // namespace

void handle_main_window_event(Application& app, const Event& e) {
  switch (e.kind) {
    case EventKind::Destroy: app.shell.platform->post_quit(0); break;
    case EventKind::Size:
      app.shell.active = !(e.code == platform::Minimized || e.code == platform::MaxHide);
      break;
    case EventKind::Activate: on_activate(app, e); break;
    case EventKind::Close: on_close(app); break;
    case EventKind::KeyDown: on_key_down(app, e); break;
    case EventKind::Command: dispatch_command(app, static_cast<uint16_t>(e.code & 0xFFFF)); break;
    case EventKind::Scroll: on_scroll(app, static_cast<ScrollBarKind>(e.bar), e.code, e.value); break;
    case EventKind::MouseDown:
    case EventKind::MouseUp: on_mouse_button(app, e); break;
    case EventKind::Wheel: on_wheel(app, e); break;
    case EventKind::Paint: present(app.viewer); break;
    case EventKind::Move:
      keep_full_screen_place(app.viewer, {e.x, e.y});
      dock_dialog(app.viewer, 0);
      dock_dialog(app.viewer, 1);
      break;
    case EventKind::EnterSizeMove: app.shell.window->set_opacity(kMovingOpacity); break;
    case EventKind::ExitSizeMove: app.shell.window->set_opacity(255); break;
    case EventKind::DropFiles: app.viewer.drop_files(e.files); break;
    default: break;
  }
}

namespace {

// One event to the accelerators, the modeless dialogs or the main window, in that order.
void dispatch_event(Application& app, const Event& e) {
  uint16_t command = 0;
  if (app.shell.window && app.shell.window->is_foreground() &&
      translate_accelerator(resources::accelerators(), e, command)) {
    handle_main_window_event(app, Event{.kind = EventKind::Command, .code = command});
    return;
  }
  if (offer_to_dialogs(app, e)) return;
  if (e.window == 0 && app.shell.window) handle_main_window_event(app, e);
}

// Waits for the next event. The frame rate is measured afresh afterwards, so the time spent
// waiting does not count as one long frame.
void sleep_until_event(Application& app) {
  app.shell.platform->wait_event();
  app.shell.frame_timer.restart_window(app.shell.platform->now_ms());
}

}  // namespace

// While the window is active every event (but the paint that shows a composed frame) is followed
// by at least one frame, and frames go on while the frame can change by itself; then the loop
// sleeps until the next event.
int run_message_loop(Application& app) {
  platform::Platform& platform = *app.shell.platform;
  bool frame_due = true;
  for (;;) {
    Event e;
    if (platform.peek_event(e)) {
      if (e.kind == EventKind::Quit) return e.code;
      dispatch_event(app, e);
      frame_due = frame_due || e.kind != EventKind::Paint;  // a paint only shows the frame composed
    } else if (app.shell.active && (frame_due || app.viewer.frame_can_change())) {
      frame_due = false;
      app.viewer.frame_update(0);
      app.viewer.read_ahead();
      platform.sleep_ms(1);
    } else {
      sleep_until_event(app);
    }
  }
}

bool open_main_window(Application& app, platform::Platform& platform) {
  app.shell.platform = &platform;
  platform.set_program_icon(resources::program_icon());
  platform::MainWindowParams params;
  params.class_name = kWindowClass;
  params.title = kWindowTitle;
  params.client_width = kClientWidth;
  params.client_height = kClientHeight;
  params.position = stored_position(app.shell.settings());
  params.menu = &resources::main_menu();
  params.accelerators = &resources::accelerators();
  app.shell.window = platform.create_main_window(params);
  if (!app.shell.window) return false;
  app.shell.window->show();

  app.shell.hbar = std::make_unique<ScrollBarControl>(*app.shell.window, ScrollBarKind::Horizontal);
  app.shell.vbar = std::make_unique<ScrollBarControl>(*app.shell.window, ScrollBarKind::Vertical);
  if (app.shell.glyphs) app.shell.fonts = open_fonts(*app.shell.glyphs);
  init_menu_checks(app.shell.window->menu(), app.shell.settings(), [&app](const std::u16string& path) {
    return surface_load(app.doc.surfaces(), kKeyBackground, path, false) == 0;
  });
  // The grid fades in at start as it does when switched on.
  if (app.shell.window->menu().is_checked(cmd::Grid)) start_tween(app.viewer.tweens, kTweenGrid);
  disable_image_commands(app.shell.window->menu());
  return true;
}

int run_viewer(Application& app, platform::Platform& platform, const CommandLine& command_line) {
  if (!open_main_window(app, platform)) return 0;
  platform.listen_for_instances(kWindowClass);
  open_start_file(app, command_line);

  int code = run_message_loop(app);

  // The window object itself goes with the Application, after the loop.
  app.shell.hbar.reset();
  app.shell.vbar.reset();
  return code;
}

}  // namespace tesmo
