// The development tools' modeless dialog lifecycle.
#include "app/tool_dialog.h"

#include "app/presentation.h"

namespace tesmo {

namespace {
constexpr uint32_t kPlaceAtClientOrigin = 1;  // place_dialog flag bit 0
}  // namespace

ToolDialog::ToolDialog(Application& app, int slot, uint16_t command, const platform::DialogTemplate& t)
    : app_(app), slot_(slot), command_(command), template_(t) {}

ToolDialog::~ToolDialog() {
  if (app_.dialogs[static_cast<size_t>(slot_)] == this) app_.dialogs[static_cast<size_t>(slot_)] = nullptr;
  window_.reset();
}

bool ToolDialog::is_open() const { return !closed_ && (!window_ || window_->is_open()); }

void ToolDialog::init(platform::Dialog& d) {
  app_.dialogs[static_cast<size_t>(slot_)] = this;
  if (!app_.window) return;
  app_.window->menu().set_enabled(command_, false);
  const platform::Rect frame = d.window_rect();
  auto at = place_dialog(app_, app_.window->window_rect(), app_.window->client_rect(),
                         {frame.width(), frame.height()}, kPlaceAtClientOrigin);
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
  if (app_.window) app_.window->menu().set_enabled(command_, true);
  if (app_.dialogs[static_cast<size_t>(slot_)] == this) app_.dialogs[static_cast<size_t>(slot_)] = nullptr;
  d.end(platform::kDialogCancel);
}

ToolDialog* open_tool_dialog_in(Application& app, int slot) {
  auto* d = dynamic_cast<ToolDialog*>(app.tool_dialogs[static_cast<size_t>(slot)].get());
  return d && d->is_open() ? d : nullptr;
}

int open_tool_dialog(Application& app, std::unique_ptr<ToolDialog> dialog) {
  const auto slot = static_cast<size_t>(dialog->slot());
  if (!app.platform || open_tool_dialog_in(app, dialog->slot())) return 1;
  app.tool_dialogs[slot].reset();
  ToolDialog& d = *dialog;
  app.tool_dialogs[slot] = std::move(dialog);
  auto window = app.platform->open_modeless_dialog(d.dialog_template(), d);
  if (!window) {
    // init may have run: the command and the slot go back as they were.
    if (app.window) app.window->menu().set_enabled(d.menu_command(), true);
    app.tool_dialogs[slot].reset();
    return 1;
  }
  d.set_window(std::move(window));
  return 0;
}

}  // namespace tesmo
