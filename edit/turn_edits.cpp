// Quarter and half turns, rotation by any angle, flips, and the automatic rotation by the Exif
// orientation of the shown file.
#include <utility>
#include <vector>

#include "document/modified_mark.h"
#include "edit/edit.h"
#include "edit/editor.h"
#include "edit/geometry_dialogs.h"
#include "edit/geometry_edits.h"
#include "edit/geometry_steps.h"
#include "formats/exif/exif.h"
#include "resources/command_ids.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

constexpr std::u16string_view kTurnName = u"キャンバスの回転";
constexpr uint16_t kOrientationTag = 274;

// r + a brought into 0 … 359 by one step of 360 either way.
int32_t turned_angle(int32_t r, int32_t a) {
  int32_t turned = r + a;
  if (turned >= 360) turned -= 360;
  else if (turned < 0) turned += 360;
  return turned;
}

// A quarter turn: the picture becomes h × w, and so do the view's sizes.
int quarter_turn(Editor& editor, int32_t angle) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface& image = *surface_find(t, kKeyImage);
  const int32_t w = image.width, h = image.height;
  const int32_t param = angle == 90 ? 90 : 270;
  if (rebuild_pictures(editor, [&](int32_t key) {
        return rebuild_picture(t, key, h, w, false, 0, 0, Rect{0, 0, w, h}, kOpRotateRight, param);
      }) != 0) {
    return 1;
  }
  ViewState& v = editor.doc.view();
  std::swap(v.image_width, v.image_height);
  std::swap(v.decoded_width, v.decoded_height);
  layout_window(editor.viewer);
  update_effect_items(editor);
  return 0;
}

int half_turn(Editor& editor) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface& image = *surface_find(t, kKeyImage);
  const int32_t w = image.width, h = image.height;
  return rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, w, h, false, 0, 0, Rect{0, 0, w, h}, kOpFlip, 2);
  });
}

// Any other angle turns inside the same canvas about its centre: corners leave it, the uncovered
// areas stay black with alpha 0.
int free_turn(Editor& editor, int32_t angle) {
  SurfaceTable& t = editor.doc.surfaces();
  const Surface& image = *surface_find(t, kKeyImage);
  const int32_t w = image.width, h = image.height;
  return rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, w, h, true, 0, 0, Rect{0, 0, w, h}, kOpRotate, angle * kHundredthsPerDegree, w >> 1,
                           h >> 1);
  });
}

// The orientation of the first orientation entry of the shown file's Exif block; 0 when none.
int32_t shown_orientation(const Editor& editor) {
  std::vector<ExifRow> rows;
  exif_read(editor.doc.view().path, rows);
  for (const ExifRow& row : rows) {
    if (row.tag == kOrientationTag) return row.orientation;
  }
  return 0;
}

// Runs the orientation's steps; true when there were any.
bool apply_orientation(Editor& editor) {
  if (!surface_find(editor.doc.surfaces(), kKeyImage)) return false;
  const std::vector<OrientationStep> steps = orientation_steps(shown_orientation(editor));
  for (const OrientationStep& step : steps) {
    if (step.flip) flip_image(editor, step.value);
    else rotate_image(editor, step.value);
  }
  return !steps.empty();
}

}  // namespace

int rotate_image(Editor& editor, int32_t angle) {
  // Only whole turns either way are meaningful; beyond them the stored angle would leave 0 … 359.
  if (!surface_find(editor.doc.surfaces(), kKeyImage) || angle < -360 || angle > 360) return 1;
  if (angle == 0) return 0;
  ViewState& v = editor.doc.view();
  const int32_t turned = turned_angle(v.rotation, angle);
  if (turned == v.rotation) return 0;
  begin_edit(editor, kTurnName);
  v.rotation = turned;
  int failed = 0;
  if (angle == 90 || angle == -90) failed = quarter_turn(editor, angle);
  else if (angle == 180) failed = half_turn(editor);
  else failed = free_turn(editor, angle);
  finish_picture_change(editor);
  return failed;
}

int rotate_by_dialog(Editor& editor, const RotateRequest* request) {
  RotateRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_rotation(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  return rotate_image(editor, r.angle);
}

int flip_image(Editor& editor, int32_t mode) {
  if (mode != 0 && mode != 1) return 1;
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image) return 1;
  const int32_t w = image->width, h = image->height;
  begin_edit(editor, kTurnName);
  const int failed = rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, w, h, false, 0, 0, Rect{0, 0, w, h}, kOpFlip, mode);
  });
  layout_window(editor.viewer);
  finish_picture_change(editor);
  return failed;
}

std::vector<OrientationStep> orientation_steps(int32_t orientation) {
  constexpr OrientationStep kLeftRight{true, 0}, kTopBottom{true, 1};
  constexpr OrientationStep kLeft{false, 90}, kRight{false, -90}, kHalf{false, 180};
  switch (orientation) {
    case 2: return {kLeftRight};
    case 3: return {kHalf};
    case 4: return {kTopBottom};
    case 5: return {kLeftRight, kLeft};
    case 6: return {kRight};
    case 7: return {kLeftRight, kRight};
    case 8: return {kLeft};
    default: return {};
  }
}

int exif_auto_rotate(Editor& editor) {
  apply_orientation(editor);
  return 0;
}

// The layout that runs this returns at once when it reports true, so the picture is laid out here
// whatever the last step did. The turn shows the file as its camera meant it: no change by the
// user, so the picture stays unmodified and the turn leaves no undo level behind.
bool apply_exif_orientation(Editor& editor) {
  if (!apply_orientation(editor)) return false;
  editor.doc.edit_history.clear();
  editor.doc.has_edit_history = false;
  if (editor.shell.window) {
    editor.shell.window->menu().set_enabled(cmd::Undo, false);
    set_modified(editor.doc, 0);
    layout_window(editor.viewer);
  }
  return true;
}

}  // namespace tesmo
