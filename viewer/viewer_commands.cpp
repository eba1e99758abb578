// New, Calibrate Monitor, Close All, Background [Setting] and Key Assignment.
#include "viewer/viewer_commands.h"

#include <algorithm>

#include "document/modified_mark.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "shell/modal.h"
#include "shell/shell.h"
#include "viewer/presentation.h"
#include "viewer/viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

constexpr int32_t kNewPictureWidth = 1280;
constexpr int32_t kNewPictureHeight = 720;

// Calibration greys: the left half 10, 10, 10 with a 22, 22, 22 rectangle in the middle of the
// picture; the right half black.
constexpr uint32_t kCalibrationLeft = 0x000A0A0Au;
constexpr uint32_t kCalibrationCentre = 0x00161616u;

int32_t clamp_side(int32_t v) { return std::clamp(v, 1, kNewPictureMaxSide); }

// The common end of New and Calibrate Monitor: a generated picture of `bits` in surface 1 (and 2).
void show_generated(Viewer& viewer, const char16_t* name, int32_t width, int32_t height, int32_t bits) {
  ViewState& v = viewer.doc.view();
  v.decoded_width = v.image_width = width;
  v.decoded_height = v.image_height = height;
  v.decoded_bits = bits;
  v.decoded_has_alpha = bits == 32 ? 1 : 0;
  v.display_name = name;
  v.path = name;
  v.zoom_x = v.zoom_y = kZoomActual;
  v.displayed_surface = kKeyImage;
  v.load_time = 0;
  v.flags |= kRedrawBackground;
  layout_window(viewer);
  enable_image_commands(viewer.shell.window->menu(), ShownPicture{false, width, height, bits == 32, true});
  viewer.select_default_channel();
  v.flags |= kImageShown;
}

}  // namespace

const std::array<std::u16string_view, kActionCount> kActionNames = {
    u"なし",
    u"[ファイル]\u3000開く - 前のファイル",
    u"[ファイル]\u3000開く - 次のファイル",
    u"[ファイル]\u3000終了",
    u"[表示]\u3000OSD - カーソル情報",
    u"[表示]\u3000OSD - PiP",
    u"[表示]\u3000OSD - ヒストグラム",
    u"[表示]\u3000OSD - ファイル情報",
    u"[表示]\u3000OSD - 撮影情報",
    u"[表示]\u3000拡大・縮小 - 拡大",
    u"[表示]\u3000拡大・縮小 - 拡大 (少し)",
    u"[表示]\u3000拡大・縮小 - 縮小 (少し)",
    u"[表示]\u3000拡大・縮小 - 縮小",
    u"スクロール - 一番上へ",
    u"スクロール - 一番下へ",
};

NewPictureChoice new_picture_initial(std::optional<std::pair<int32_t, int32_t>> clipboard_size) {
  NewPictureChoice c;
  if (clipboard_size) {
    c.width = clamp_side(clipboard_size->first);
    c.height = clamp_side(clipboard_size->second);
  } else {
    c.width = kNewPictureWidth;
    c.height = kNewPictureHeight;
  }
  return c;
}

NewPictureChoice clamp_new_picture(NewPictureChoice c) {
  return NewPictureChoice{clamp_side(c.width), clamp_side(c.height), c.bits == 24 ? 24 : 32};
}

int new_picture(Viewer& viewer) {
  viewer.close_image(true);
  std::optional<std::pair<int32_t, int32_t>> clip;
  if (auto size = viewer.shell.platform->clipboard_bitmap_size()) clip = std::pair{size->width, size->height};
  const NewPictureChoice initial = new_picture_initial(clip);
  auto answer = modal(viewer.shell, [&] {
    return ask_new_picture_dialog(viewer, initial);
  });
  if (!answer) return 2;
  return create_new_picture(viewer, *answer);
}

int create_new_picture(Viewer& viewer, const NewPictureChoice& choice) {
  const NewPictureChoice c = clamp_new_picture(choice);
  SurfaceTable& t = viewer.doc.surfaces();
  if (surface_create(t, kKeyImage, c.width, c.height) != 0) return 1;
  surface_fill(t, kKeyImage, 0, 0, 0, 0);
  if (c.bits == 32) {
    if (surface_create(t, kKeyAlpha, c.width, c.height) != 0) {
      surface_remove(t, kKeyImage);
      return 1;
    }
    surface_fill(t, kKeyAlpha, 255, 255, 255, 255);
  }
  show_generated(viewer, kNewPictureName, c.width, c.height, c.bits);
  // A new picture counts as changed, but there is no file to save it back to.
  set_modified(viewer.doc, 1, false);
  return 0;
}

int calibrate_monitor(Viewer& viewer) {
  ModalScope scope(viewer.shell);
  viewer.close_image(false);
  const platform::Metrics m = viewer.shell.platform->metrics();
  const platform::Size screen = viewer.shell.platform->screen_size();
  const platform::Rect work =
      viewer.shell.platform->work_area().value_or(platform::Rect{0, 0, screen.width, screen.height});
  const int32_t w = work.width() - 2 * m.dialog_frame_x;
  const int32_t h = work.height() - 2 * m.dialog_frame_y - m.caption - m.menu;
  SurfaceTable& t = viewer.doc.surfaces();
  if (w <= 0 || h <= 0 || surface_create(t, kKeyImage, w, h) != 0) return 1;
  uint32_t* px = surface_find(t, kKeyImage)->pixels();
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = px + static_cast<size_t>(y) * w;
    std::fill(row, row + w / 2, kCalibrationLeft);
    std::fill(row + w / 2, row + w, 0u);
    if (y >= h / 4 && y < h / 4 + h / 2) std::fill(row + w / 4, row + w / 4 + w / 2, kCalibrationCentre);
  }
  show_generated(viewer, kCalibrationName, w, h, 24);
  return 0;
}

int close_all(Viewer& viewer) {
  viewer.shell.platform->close_other_instances(kWindowClass);
  viewer.close_image(true);
  return 0;
}

int choose_background_picture(Viewer& viewer) {
  platform::OpenFileRequest request;
  request.title = u"背景に表示する画像を選択してください。";
  request.filter = build_file_filter(false);
  auto path = modal(viewer.shell, [&] { return viewer.shell.platform->choose_open_file(request); });
  if (!path) return 2;
  SurfaceTable& t = viewer.doc.surfaces();
  if (surface_load(t, kKeyViewerTemporary, *path, false) != 0) return 1;
  surface_duplicate(t, kKeyBackground, kKeyViewerTemporary);
  surface_remove(t, kKeyViewerTemporary);
  viewer.shell.settings().background_image = *path;
  return 0;
}

int background_setting(Viewer& viewer) {
  if (viewer.shell.window->menu().is_checked(cmd::BackgroundFill)) {
    auto colour = modal(
        viewer.shell, [&] { return viewer.shell.platform->choose_colour(viewer.shell.settings().background_colour); });
    if (!colour) return 2;
    viewer.shell.settings().background_colour = *colour & 0x00FFFFFFu;
  } else if (int r = choose_background_picture(viewer); r != 0) {
    return r;
  }
  viewer.shell.settings_store().save();
  viewer.doc.view().flags |= kRedrawBackground;
  return 0;
}

KeyAssignment key_assignment_of(const SystemSettings& s) {
  return {s.middle_action,        s.x1_action,
          s.x2_action,            s.wheel_forward_action,
          s.wheel_backward_action, s.control_wheel_forward_action,
          s.control_wheel_backward_action};
}

bool store_key_assignment(SystemSettings& s, const KeyAssignment& a) {
  if (key_assignment_of(s) == a) return false;
  int32_t* fields[] = {&s.middle_action,        &s.x1_action,
                       &s.x2_action,            &s.wheel_forward_action,
                       &s.wheel_backward_action, &s.control_wheel_forward_action,
                       &s.control_wheel_backward_action};
  for (size_t i = 0; i < a.size(); ++i) *fields[i] = a[i];
  return true;
}

int key_assignment(Viewer& viewer) {
  const KeyAssignment current = key_assignment_of(viewer.shell.settings());
  auto answer = modal(viewer.shell, [&] {
    return ask_key_assignment_dialog(viewer, current);
  });
  if (!answer) return 2;
  if (store_key_assignment(viewer.shell.settings(), *answer)) viewer.shell.settings_store().save();
  return 0;
}

}  // namespace tesmo
