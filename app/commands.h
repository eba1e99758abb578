// Command dispatch: every menu item, accelerator and mouse binding ends here, by command id.
#pragma once

#include <cstdint>

namespace tesmo {

class Application;

// Runs the handler of command `id`. Ignored while a modal dialog is open or a background job runs,
// and for items that are greyed, disabled or not in the menu.
void dispatch_command(Application& app, uint16_t id);

}  // namespace tesmo
