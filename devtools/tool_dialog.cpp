// The development tools' modeless dialog lifecycle.
#include "devtools/tool_dialog.h"

#include "shell/dialog_placement.h"
#include "viewer/presentation.h"

namespace tesmo {

namespace {
}  // namespace

ToolDialog::ToolDialog(DevTools& tools, int slot, uint16_t command, const platform::DialogTemplate& t)
    : tools_(tools), slot_(slot), command_(command), template_(t) {}

ToolDialog::~ToolDialog() {
  if (tools_.shell.dialogs[static_cast<size_t>(slot_)] == this)
    tools_.shell.dialogs[static_cast<size_t>(slot_)] = nullptr;
  window_.reset();
}

bool ToolDialog::is_open() const { return !closed_ && (!window_ || window_->is_open()); }

void ToolDialog::init(platform::Dialog& d) {
  tools_.shell.dialogs[static_cast<size_t>(slot_)] = this;
  if (!tools_.shell.window) return;
  tools_.shell.window->menu().set_enabled(command_, false);
  const platform::Rect frame = d.window_rect();
  auto at = place_dialog(tools_.shell, tools_.shell.window->window_rect(), tools_.shell.window->client_rect(),
                         {frame.width(), frame.height()}, kPlaceAtClient);
  if (at) d.move(*at);
}

void ToolDialog::command(platform::Dialog& d, uint16_t id, int notification) {
  if (id == template_.cancel_id && notification == platform::kClicked) close(d);
}

void ToolDialog::move_to(platform::Point top_left) {
  if (is_open() && window_) window_->dialog().move(top_left);
}

void ToolDialog::close(platform::Dialog& d) {
  if (closed_) return;
  closed_ = true;
  if (tools_.shell.window) tools_.shell.window->menu().set_enabled(command_, true);
  if (tools_.shell.dialogs[static_cast<size_t>(slot_)] == this)
    tools_.shell.dialogs[static_cast<size_t>(slot_)] = nullptr;
  d.end(platform::kDialogCancel);
}

ToolDialog* open_tool_dialog_in(DevTools& tools, int slot) {
  auto* d = dynamic_cast<ToolDialog*>(tools.tool_dialogs[static_cast<size_t>(slot)].get());
  return d && d->is_open() ? d : nullptr;
}

int open_tool_dialog(DevTools& tools, std::unique_ptr<ToolDialog> dialog) {
  const auto slot = static_cast<size_t>(dialog->slot());
  if (!tools.shell.platform || open_tool_dialog_in(tools, dialog->slot())) return 1;
  tools.tool_dialogs[slot].reset();
  ToolDialog& d = *dialog;
  tools.tool_dialogs[slot] = std::move(dialog);
  auto window = tools.shell.platform->open_modeless_dialog(d.dialog_template(), d);
  if (!window) {
    // init may have run: the command and the slot go back as they were.
    if (tools.shell.window) tools.shell.window->menu().set_enabled(d.menu_command(), true);
    tools.tool_dialogs[slot].reset();
    return 1;
  }
  d.set_window(std::move(window));
  return 0;
}

}  // namespace tesmo
