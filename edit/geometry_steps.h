// Steps the geometry edits share (private to size_edits.cpp, turn_edits.cpp and connect_divide.cpp):
// rebuilding a picture through the work surface and the ending of the size-changing edits.
#pragma once

#include <cstdint>

#include "surface/compositor.h"
#include "surface/surface.h"

namespace tesmo {

class Editor;

// The pictures an edit changes: the image, and the alpha channel when the picture has one (the menu
// says so and surface 2 exists).
bool edit_has_alpha(Editor& editor);

// Replaces picture `key` by a w × h one built in the work surface 3: cleared to 0 (black, alpha 0)
// when `clear`, then `op` from `key` as blit's arguments give it (destination at (dst_x, dst_y),
// source rectangle `src`, parameters p1–p4), clipped to the new picture. 1 when the work surface
// cannot be made (the picture is then unchanged).
int rebuild_picture(SurfaceTable& t, int32_t key, int32_t w, int32_t h, bool clear, int32_t dst_x, int32_t dst_y,
                    const Rect& src, uint32_t op, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0, int32_t p4 = 0);

// The same with `rebuild` run on the image and then on the alpha channel (when there is one).
template <typename F>
int rebuild_pictures(Editor& editor, F rebuild) {
  if (rebuild(kKeyImage) != 0) return 1;
  return edit_has_alpha(editor) ? rebuild(kKeyAlpha) : 0;
}

// The ending of a size-changing edit: the view state takes the new size with rotation 0 and zoom
// 100 %, the window is laid out again, the lens item follows the square rule, the picture is marked
// modified.
void finish_size_change(Editor& editor, int32_t width, int32_t height);

// The redraw and the mark after a picture changed in place: background and thumbnail stale,
// picture modified.
void finish_picture_change(Editor& editor);

}  // namespace tesmo
