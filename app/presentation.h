// Window presentation: the window follows the picture's size and zoom; the back buffer (surface 0)
// is sized with it and shown on paint; the title, full screen, always on top and docked dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace tesmo {

class Application;

// Sizes and places the window, scroll bars and back buffer for the current view state. The client
// area never goes below 400 × 300; windowed it stays inside the work area (scroll bars appear when
// the zoomed picture is longer), full screen it takes the screen. Fits the zoom to the window once
// per picture when a scale adjustment asks for it.
void layout_window(Application& app);

// −1: "Tesmo64"; 0: the unmodified title; 1: the modified title ("* " prefix).
void update_title(Application& app, int mode);
std::u16string window_title(const Application& app, bool modified);

// 1: enables Save, sets the modified flag and title; 0: greys Save, clears them. Both mark the
// file-information overlay stale. `touch_save_item` false leaves the Save item as it is (New).
void set_modified(Application& app, int flag, bool touch_save_item = true);

// The paint handler: shows surface 0 when a picture is shown and a frame was composed since the
// last layout (with the frame-rate text when that option is on); otherwise the black background.
void present(Application& app);

void toggle_full_screen(Application& app);
// The window was moved to `at`: a full-screen window that the window manager left elsewhere (the
// offset of a frame it had not yet taken away) goes back to (0, 0).
void keep_full_screen_place(Application& app, platform::Point at);
void toggle_always_on_top(Application& app);

// Moves the dialog in `slot` beside the main window: x at its right edge, y at its client top.
void dock_dialog(Application& app, int slot);

// Where a dialog of `size` goes relative to `parent`: at the parent's client origin (flag bit 0) or
// window top-left; with flag bit 1 centred on it and pulled back inside the work area.
// Nothing when the work area cannot be read (the dialog stays where it is).
std::optional<platform::Point> place_dialog(const Application& app, const platform::Rect& parent_window,
                                            const platform::Rect& parent_client, platform::Size size,
                                            uint32_t flags);

}  // namespace tesmo
