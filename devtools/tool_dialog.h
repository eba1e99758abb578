// The development tools' modeless dialogs share one lifecycle: the dialog is owned by the
// development tools in its dialog slot, its menu command is greyed while it is open (so at most one of
// each exists), it opens at the top-left of the main window's client area, and Cancel (or the close
// box) enables the command again and ends it. Its events reach it through the window system's own
// dispatch, as the effect dialog's do.
#pragma once

#include <cstdint>
#include <memory>

#include "devtools/devtools.h"
#include "platform/dialog.h"

namespace tesmo {

class ToolDialog : public platform::DialogHandler, public ModelessDialog {
 public:
  ToolDialog(DevTools& tools, int slot, uint16_t command, const platform::DialogTemplate& t);
  ~ToolDialog() override;  // closes the window while the handler is still whole

  const platform::DialogTemplate& dialog_template() const { return template_; }
  int slot() const { return slot_; }
  uint16_t menu_command() const { return command_; }
  bool is_open() const;
  void set_window(std::unique_ptr<platform::DialogWindow> w) { window_ = std::move(w); }

  // Greys the command, takes the slot and places the dialog; derived dialogs call it first.
  void init(platform::Dialog& d) override;
  // The Cancel id closes; derived dialogs pass the ids they do not handle.
  void command(platform::Dialog& d, uint16_t id, int notification) override;

  bool take_event(const platform::Event&) override { return false; }
  void move_to(platform::Point top_left) override;

  // Ends the dialog: the command enabled again, the slot free. Later calls do nothing.
  void close(platform::Dialog& d);

 protected:
  DevTools& tools_;

 private:
  int slot_;
  uint16_t command_;
  const platform::DialogTemplate& template_;
  bool closed_ = false;
  std::unique_ptr<platform::DialogWindow> window_;
};

// Opens `dialog` in its slot of tools.tool_dialogs; a closed dialog left there goes first. 0 when it
// is open; 1 when one is open already (the new one is dropped) or it cannot be made (the command
// stays enabled).
int open_tool_dialog(DevTools& tools, std::unique_ptr<ToolDialog> dialog);

// The tool dialog open in `slot` (its window not yet closed), or null.
ToolDialog* open_tool_dialog_in(DevTools& tools, int slot);

}  // namespace tesmo
