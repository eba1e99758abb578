// The command table: command id → handler. Each subsystem registers its rows here; an id without
// a row does nothing.
#include "app/commands.h"

#include <algorithm>
#include <iterator>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/menu_options.h"
#include "app/presentation.h"
#include "app/zoom.h"
#include "app/zoom_dialog.h"

namespace tesmo {
namespace {

struct CommandRow {
  uint16_t id;
  void (*handler)(Application&, uint16_t id);
};

void quit(Application& app, uint16_t) {
  handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Close});
}

void zoom_in_normal(Application& app, uint16_t) { zoom_in(app, false); }
void zoom_in_precise(Application& app, uint16_t) { zoom_in(app, true); }
void zoom_out_normal(Application& app, uint16_t) { zoom_out(app, false); }
void zoom_out_precise(Application& app, uint16_t) { zoom_out(app, true); }
void actual_pixels(Application& app, uint16_t) { set_zoom(app, kZoomActual, kZoomActual); }
void zoom_arbitrary_dialog(Application& app, uint16_t) { zoom_arbitrary(app); }
void full_screen(Application& app, uint16_t) { toggle_full_screen(app); }
void always_on_top(Application& app, uint16_t) { toggle_always_on_top(app); }

// The frame-rate text sits over the background: turning it off needs the background redrawn.
void fps_display(Application& app, uint16_t id) {
  toggle_menu_option(app.window->menu(), app.settings(), id);
  app.view().flags |= kRedrawBackground;
  app.settings_store().save();
}

// A radio choice: the settings file is written only when the choice changed.
void choose_option(Application& app, uint16_t id) {
  if (choose_menu_option(app.window->menu(), app.settings(), id)) app.settings_store().save();
}

constexpr CommandRow kCommands[] = {
    {cmd::Quit, quit},
    {cmd::ZoomIn, zoom_in_normal},
    {cmd::ZoomInPrecise, zoom_in_precise},
    {cmd::ZoomOut, zoom_out_normal},
    {cmd::ZoomOutPrecise, zoom_out_precise},
    {cmd::ActualPixels, actual_pixels},
    {cmd::ZoomArbitrary, zoom_arbitrary_dialog},
    {cmd::FullScreen, full_screen},
    {cmd::AlwaysOnTop, always_on_top},
    {cmd::OsdFps, fps_display},
    {cmd::ZoomTypeA, choose_option},
    {cmd::ZoomTypeB, choose_option},
    {cmd::ZoomTypeC, choose_option},
    {cmd::ZoomTypeD, choose_option},
    {cmd::ZoomTypeE, choose_option},
    {cmd::ZoomTypeF, choose_option},
};

}  // namespace

void dispatch_command(Application& app, uint16_t id) {
  if (app.view().flags & kModalOpen) return;
  if (app.job_running()) return;
  if (!app.window || !app.window->menu().is_enabled(id)) return;
  auto row = std::find_if(std::begin(kCommands), std::end(kCommands),
                          [id](const CommandRow& r) { return r.id == id; });
  if (row != std::end(kCommands)) row->handler(app, id);
}

}  // namespace tesmo
