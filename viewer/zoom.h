// Zoom steps of the viewer. Zoom is in 1/256 percent (25600 = 100 %); x and y move together.
// Normal steps: 25 % below 100 %, 100 % up to 800 %, 400 % above, between 25 % and 1600 %.
// Precise steps: 10 %, between 10 % and 1600 %.
#pragma once

#include <cstdint>
#include <optional>

namespace tesmo {

class Viewer;

// The next zoom, or nothing at a limit.
std::optional<int32_t> next_zoom_in(int32_t zoom, bool precise);
std::optional<int32_t> next_zoom_out(int32_t zoom, bool precise);

// The commands: nothing when the precise item of the direction is greyed (no picture), when the
// navigation interval has not passed since the last step, or at a limit.
void zoom_in(Viewer& viewer, bool precise);
void zoom_out(Viewer& viewer, bool precise);

// Sets both zooms; a change lays the window out again, re-docks the dialogs and marks the
// picture-in-picture thumbnail stale.
void set_zoom(Viewer& viewer, int32_t zoom_x, int32_t zoom_y);

// True (and the time stored) when the navigation interval has passed since the last zoom or file
// step; shared by zooming and stepping through files.
bool navigation_interval_passed(Viewer& viewer);

}  // namespace tesmo
