// The per-frame work of the viewer: measuring, input, animation, composing the picture over the
// background into a target surface, and showing it.
#pragma once

#include <cstdint>

namespace tesmo {

class Viewer;

// One frame into surface `target`. 0 is the back buffer and the only target that also gets the
// grid, the overlays and the progress display and is presented; other targets are composed only.
// Returns at once (after looking at the background job) when no picture is shown.
void frame_update(Viewer& viewer, int target);

// Composes the displayed surface over the background into `target` at the current zoom with the
// view operation; used by frame_update and by callers that render the view into a surface.
void compose_view(Viewer& viewer, int target);

// Paints the view background (the fill colour, or the background picture tiled at its own size)
// into surface `key`: what the effect preview and the effect's work surface start from.
void fill_view_background(Viewer& viewer, int key);

// Performs the action bound to slot 0–6 (middle, X1, X2, wheel forward, wheel backward, Control +
// wheel forward, Control + wheel backward). 1 when something was done.
int run_binding(Viewer& viewer, int slot);

// Clears the hidden channels (View → Visible R/G/B unchecked) in every pixel of `target` while
// the RGB view (surface 1) is shown.
void apply_channel_mask(Viewer& viewer, int target);

}  // namespace tesmo
