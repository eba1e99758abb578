// The geometry edits of the edit menu: image size, canvas size, crop, trim, quarter and half turns,
// rotation by any angle, flips, connecting further pictures and dividing into tiles, and the
// automatic rotation by the Exif orientation.
//
//   size_edits.cpp       image size, canvas size, crop, trim and their common ending
//   turn_edits.cpp       rotations, flips, the Exif orientation
//   connect_divide.cpp   connecting pictures to one side, dividing into BMP tiles
//   geometry_dialogs.*   the dialogs that fill the requests
//   geometry_commands.cpp  the menu items
//   geometry_requests.h  the request records (also the batch runner's)
//
// Each edit changes the image (surface 1) and, when the picture has one, the alpha channel
// (surface 2) alike, through the work surface 3, as one undoable edit. Results: 0 done (also when
// there is nothing to do), 1 an invalid request or a failure, 2 the dialog was cancelled. Without a
// request a command asks with its modal dialog first.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "edit/geometry_requests.h"

namespace tesmo {

class Editor;

int resize_image(Editor& editor, const ImageSizeRequest* request = nullptr);
int resize_canvas(Editor& editor, const CanvasSizeRequest* request = nullptr);
int crop_image(Editor& editor, const CropRequest* request = nullptr);
int trim_image(Editor& editor, const TrimRequest* request = nullptr);
// Turns by `angle` degrees: 90 a quarter turn to the left, −90 to the right, 180 a half turn, any
// other angle a rotation inside the same canvas. The picture's rotation angle follows (0–359).
int rotate_image(Editor& editor, int32_t angle);
// The angle from the request or the dialog (held to 0 … 360), then rotate_image.
int rotate_by_dialog(Editor& editor, const RotateRequest* request = nullptr);
// 0 left-right, 1 top-bottom; other modes return 1.
int flip_image(Editor& editor, int32_t mode);
int connect_images(Editor& editor, const ConnectRequest* request = nullptr);
// Writes the tiles as BMP files beside the shown file; changes nothing in the picture.
int divide_image(Editor& editor, const DivideRequest* request = nullptr);
// Applies the orientation tag of the shown file's Exif block as ordinary edits. Returns 0.
int exif_auto_rotate(Editor& editor);

// The command handler of the geometry items of the edit menu.
void geometry_command(Editor& editor, uint16_t id);
// Turns a newly shown picture by its Exif orientation (the layout runs it); true when it turned.
bool apply_exif_orientation(Editor& editor);

// Arithmetic shared with the dialogs and the tests.
//
// `value` rounded up to a multiple of `step` (a step below 1 counts as 1), held to the int32 range.
int32_t round_up_to(int32_t value, int32_t step);
// Where the old side starts on the new one: anchor 0 at 0, 1 centred (the half difference,
// shifted), 2 at the end. Nothing for other anchors.
std::optional<int32_t> anchor_offset(int32_t anchor, int32_t new_side, int32_t old_side);
// The other side when one side of a w × h picture becomes `side` with the aspect kept.
int32_t coupled_side(int32_t side, int32_t this_old, int32_t other_old);

// One tile's start and length along a side.
struct TileSpan {
  int32_t start = 0;
  int32_t length = 0;
  bool operator==(const TileSpan&) const = default;
};
// The tiles along a side of `side` pixels: `tile` long each; the last takes the rest when the next
// tile would pass the end, or when it is the `limit`-th (limit 0: none).
std::vector<TileSpan> tile_spans(int32_t side, int32_t tile, int32_t limit);

// One step of the Exif orientation: a flip (mode 0 or 1) or a turn (angle for rotate_image).
struct OrientationStep {
  bool flip = false;
  int32_t value = 0;
  bool operator==(const OrientationStep&) const = default;
};
// The steps for orientation 1–8 (none for 1 and for unknown values).
std::vector<OrientationStep> orientation_steps(int32_t orientation);

}  // namespace tesmo
