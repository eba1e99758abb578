// Window presentation: the window follows the picture's size and zoom; the back buffer (surface 0)
// is sized with it and shown on paint; the title, full screen, always on top and docked dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace tesmo {

class Viewer;

// Sizes and places the window, scroll bars and back buffer for the current view state. The client
// area never goes below 400 × 300; windowed it stays inside the work area (scroll bars appear when
// the zoomed picture is longer), full screen it takes the screen. Fits the zoom to the window once
// per picture when a scale adjustment asks for it. Without a window nothing happens.
void layout_window(Viewer& viewer);



// The paint handler: shows surface 0 when a picture is shown and a frame was composed since the
// last layout (with the frame-rate text when that option is on); otherwise the black background.
void present(Viewer& viewer);

void toggle_full_screen(Viewer& viewer);
// The window was moved to `at`: a full-screen window that the window manager left elsewhere (the
// offset of a frame it had not yet taken away) goes back to (0, 0).
void keep_full_screen_place(Viewer& viewer, platform::Point at);
void toggle_always_on_top(Viewer& viewer);

// Moves the dialog in `slot` beside the main window: x at its right edge, y at its client top.
void dock_dialog(Viewer& viewer, int slot);

}  // namespace tesmo
