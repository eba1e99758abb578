// The Falling Object Controller: the modeless dialog (124) that holds the preview's parameters,
// plays it over a background picture in the main window, and loads and saves its project text.
#pragma once

#include <cstdint>

namespace tesmo {

class DevTools;

// Opens the dialog (dialog slot 1) with every field at its default and greys the menu item
// 40263 until the dialog closes. 1 when one is already open or the dialog cannot be made.
int open_falling_objects_dialog(DevTools& tools);
bool falling_objects_dialog_open(const DevTools& tools);


}  // namespace tesmo
