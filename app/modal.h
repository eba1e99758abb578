// Asking the user: a chooser, message box or modal dialog runs with the view's modal flag set, so
// that no command runs while it is up; the flag is cleared afterwards unless a dialog around it had
// set it already.
#pragma once

#include <string>
#include <string_view>

#include "app/application.h"
#include "app/main_window.h"

namespace tesmo {

// Keeps the modal flag set while it lives, then puts it back as it was.
class ModalScope {
 public:
  explicit ModalScope(Application& app) : app_(app), was_open_((app.view().flags & kModalOpen) != 0) {
    app_.view().flags |= kModalOpen;
  }
  ~ModalScope() {
    if (!was_open_) app_.view().flags &= ~kModalOpen;
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Application& app_;
  bool was_open_;
};

// Runs `ask` (a call of the platform) with the modal flag set and returns its answer.
template <class F>
auto modal(Application& app, F ask) {
  ModalScope scope(app);
  return ask();
}

// A message box with its caption; without a platform nothing is shown and the answer is No.
inline platform::MessageAnswer show_message(Application& app, std::u16string_view text, std::u16string_view caption,
                                            platform::MessageIcon icon,
                                            platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  if (!app.platform) return platform::MessageAnswer::No;
  return modal(app, [&] {
    return app.platform->message_box(std::u16string(text), std::u16string(caption), icon, buttons);
  });
}

// A message box with the caption "Tesmo64".
inline platform::MessageAnswer show_message(Application& app, std::u16string_view text, platform::MessageIcon icon,
                                            platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  return show_message(app, text, kWindowTitle, icon, buttons);
}

// A warning with the caption "Tesmo64" and an OK button.
inline void show_warning(Application& app, std::u16string_view text) {
  show_message(app, text, platform::MessageIcon::Warning);
}

}  // namespace tesmo
