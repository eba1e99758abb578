// Asking the user: a chooser or message box runs with the view's modal flag set, so that no command
// runs while it is up; the flag is cleared afterwards unless a dialog around it had set it already.
#pragma once

#include <string_view>

#include "app/application.h"
#include "app/main_window.h"

namespace tesmo {

// Runs `ask` (a call of the platform) with the modal flag set and returns its answer.
template <class F>
auto modal(Application& app, F ask) {
  const uint32_t was_open = app.view().flags & kModalOpen;
  app.view().flags |= kModalOpen;
  auto result = ask();
  if (!was_open) app.view().flags &= ~kModalOpen;
  return result;
}

// A message box with the caption "Tesmo64". Without a platform: the answer No (nothing is done).
inline platform::MessageAnswer show_message(Application& app, std::u16string_view text, platform::MessageIcon icon,
                                            platform::MessageButtons buttons = platform::MessageButtons::Ok) {
  if (!app.platform) return platform::MessageAnswer::No;
  return modal(app, [&] { return app.platform->message_box(std::u16string(text), kWindowTitle, icon, buttons); });
}

}  // namespace tesmo
