// The file pack module's run windows: the modal progress window "Pack ..." while the worker packs,
// and the result window "Vardo32 - Result" with the run's messages.
#pragma once

#include <string>
#include <vector>

#include "devtools/pack_worker.h"
#include "platform/dialog.h"

namespace tesmo {

class DevTools;

// Runs `request` on a worker behind the progress window, centred on the client area of `parent`
// (the module's dialog) and kept inside the work area. The window's timer copies the reported
// progress into its controls and closes it when the run has finished; the user cannot cancel
// the run, but a window ended otherwise cancels it. Then, when the run reported anything, the
// result window lists the messages.
// Returns the run's result (0 or 1), or −1 when it did not run to its end (no window, no thread).
int pack_with_progress(DevTools& tools, const platform::Dialog& parent, PackRunRequest request);

// The modal result window: one line per message, in order; Close, Esc or the close box end it.
void show_pack_result(DevTools& tools, const std::vector<std::u16string>& lines);

}  // namespace tesmo
