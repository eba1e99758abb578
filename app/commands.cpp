// The command table. Handlers are added here as the viewer's subsystems arrive; an id without a
// row does nothing.
#include "app/commands.h"

#include <algorithm>
#include <iterator>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/main_window.h"

namespace tesmo {
namespace {

struct CommandRow {
  uint16_t id;
  void (*handler)(Application&);
};

void quit(Application& app) { handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Close}); }

constexpr CommandRow kCommands[] = {
    {cmd::Quit, quit},
};

}  // namespace

void dispatch_command(Application& app, uint16_t id) {
  if (app.view().flags & kModalOpen) return;
  if (!app.window || !app.window->menu().is_enabled(id)) return;
  auto row = std::find_if(std::begin(kCommands), std::end(kCommands),
                          [id](const CommandRow& r) { return r.id == id; });
  if (row != std::end(kCommands)) row->handler(app);
}

}  // namespace tesmo
