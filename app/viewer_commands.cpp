// New, Calibrate Monitor, Close All, Background [Setting] and Key Assignment.
#include "app/viewer_commands.h"

#include <algorithm>

#include "app/application.h"
#include "app/command_ids.h"
#include "app/dialog_skin.h"
#include "app/main_window.h"
#include "app/menu_options.h"
#include "app/modal.h"
#include "app/presentation.h"
#include "formats/registry.h"

namespace tesmo {
namespace {

constexpr int32_t kNewPictureWidth = 1280;
constexpr int32_t kNewPictureHeight = 720;
// A scratch key for a background candidate, so that an unreadable file leaves surface 19 alone.
constexpr int32_t kKeyBackgroundCandidate = -3;

// Calibration greys: the left half 10, 10, 10 with a 22, 22, 22 rectangle in the middle of the
// picture; the right half black.
constexpr uint32_t kCalibrationLeft = 0x000A0A0Au;
constexpr uint32_t kCalibrationCentre = 0x00161616u;

int32_t clamp_side(int32_t v) { return std::clamp(v, 1, kNewPictureMaxSide); }

// The common end of New and Calibrate Monitor: a generated picture of `bits` in surface 1 (and 2).
void show_generated(Application& app, const char16_t* name, int32_t width, int32_t height, int32_t bits) {
  ViewState& v = app.view();
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
  layout_window(app);
  enable_image_commands(app.window->menu(), ShownPicture{false, width, height, bits == 32, true});
  app.select_default_channel();
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

int new_picture(Application& app) {
  app.close_image(true);
  std::optional<std::pair<int32_t, int32_t>> clip;
  if (auto size = app.platform->clipboard_bitmap_size()) clip = std::pair{size->width, size->height};
  const NewPictureChoice initial = new_picture_initial(clip);
  auto answer = modal(app, [&] {
    return app.ask_new_picture ? app.ask_new_picture(initial) : std::optional<NewPictureChoice>{};
  });
  if (!answer) return 2;
  return create_new_picture(app, *answer);
}

int create_new_picture(Application& app, const NewPictureChoice& choice) {
  const NewPictureChoice c = clamp_new_picture(choice);
  SurfaceTable& t = app.surfaces();
  if (surface_create(t, kKeyImage, c.width, c.height) != 0) return 1;
  surface_fill(t, kKeyImage, 0, 0, 0, 0);
  if (c.bits == 32) {
    if (surface_create(t, kKeyAlpha, c.width, c.height) != 0) {
      surface_remove(t, kKeyImage);
      return 1;
    }
    surface_fill(t, kKeyAlpha, 255, 255, 255, 255);
  }
  show_generated(app, kNewPictureName, c.width, c.height, c.bits);
  // A new picture counts as changed, but there is no file to save it back to.
  set_modified(app, 1, false);
  return 0;
}

int calibrate_monitor(Application& app) {
  ModalScope scope(app);
  app.close_image(false);
  const platform::Metrics m = app.platform->metrics();
  const platform::Size screen = app.platform->screen_size();
  const platform::Rect work = app.platform->work_area().value_or(platform::Rect{0, 0, screen.width, screen.height});
  const int32_t w = work.width() - 2 * m.dialog_frame_x;
  const int32_t h = work.height() - 2 * m.dialog_frame_y - m.caption - m.menu;
  SurfaceTable& t = app.surfaces();
  if (w <= 0 || h <= 0 || surface_create(t, kKeyImage, w, h) != 0) return 1;
  uint32_t* px = surface_find(t, kKeyImage)->pixels();
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = px + static_cast<size_t>(y) * w;
    std::fill(row, row + w / 2, kCalibrationLeft);
    std::fill(row + w / 2, row + w, 0u);
    if (y >= h / 4 && y < h / 4 + h / 2) std::fill(row + w / 4, row + w / 4 + w / 2, kCalibrationCentre);
  }
  show_generated(app, kCalibrationName, w, h, 24);
  return 0;
}

int close_all(Application& app) {
  app.platform->close_other_instances(kWindowClass);
  app.close_image(true);
  return 0;
}

int choose_background_picture(Application& app) {
  platform::OpenFileRequest request;
  request.title = u"背景に表示する画像を選択してください。";
  request.filter = build_file_filter(false);
  auto path = modal(app, [&] { return app.platform->choose_open_file(request); });
  if (!path) return 2;
  SurfaceTable& t = app.surfaces();
  if (surface_load(t, kKeyBackgroundCandidate, *path, false) != 0) return 1;
  surface_duplicate(t, kKeyBackground, kKeyBackgroundCandidate);
  surface_remove(t, kKeyBackgroundCandidate);
  app.settings().background_image = *path;
  return 0;
}

int background_setting(Application& app) {
  if (app.window->menu().is_checked(cmd::BackgroundFill)) {
    auto colour = modal(app, [&] { return app.platform->choose_colour(app.settings().background_colour); });
    if (!colour) return 2;
    app.settings().background_colour = *colour & 0x00FFFFFFu;
  } else if (int r = choose_background_picture(app); r != 0) {
    return r;
  }
  app.settings_store().save();
  app.view().flags |= kRedrawBackground;
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

int key_assignment(Application& app) {
  const KeyAssignment current = key_assignment_of(app.settings());
  auto answer = modal(app, [&] {
    return app.ask_key_assignment ? app.ask_key_assignment(current) : std::optional<KeyAssignment>{};
  });
  if (!answer) return 2;
  if (store_key_assignment(app.settings(), *answer)) app.settings_store().save();
  return 0;
}

}  // namespace tesmo
