// Asking the user: a chooser, message box or modal dialog runs with the view's modal flag set, so
// that no command runs while it is up; the flag is cleared afterwards unless a dialog around it had
// set it already.
#pragma once

#include <string>
#include <string_view>

#include "shell/shell.h"

namespace tesmo {

// Keeps the modal flag set while it lives, then puts it back as it was.
class ModalScope {
 public:
  explicit ModalScope(Shell& shell) : shell_(shell), was_open_(shell.modal_open) {
    shell_.modal_open = true;
  }
  ~ModalScope() {
    if (!was_open_) shell_.modal_open = false;
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Shell& shell_;
  bool was_open_;
};

// Runs `ask` (a call of the platform) with the modal flag set and returns its answer.
template <class F>
auto modal(Shell& shell, F ask) {
  ModalScope scope(shell);
  return ask();
}

// A message box with its caption; without a platform nothing is shown and the answer is No.
inline platform::MessageAnswer show_message(Shell& shell, std::u16string_view text, std::u16string_view caption,
                                            platform::MessageIcon icon,
                                            platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  if (!shell.platform) return platform::MessageAnswer::No;
  return modal(shell, [&] {
    return shell.platform->message_box(std::u16string(text), std::u16string(caption), icon, buttons);
  });
}

// A message box with the caption "Tesmo64".
inline platform::MessageAnswer show_message(Shell& shell, std::u16string_view text, platform::MessageIcon icon,
                                            platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  return show_message(shell, text, kWindowTitle, icon, buttons);
}

// A warning with the caption "Tesmo64" and an OK button.
inline void show_warning(Shell& shell, std::u16string_view text) {
  show_message(shell, text, platform::MessageIcon::Warning);
}

}  // namespace tesmo
