// The geometry edits' dialogs: one handler per dialog over the skinned dialog lifecycle; the two
// size dialogs share the picture-proportion coupling of their width and height boxes.
#include "edit/geometry_dialogs.h"

#include <algorithm>
#include <array>

#include "base/path.h"
#include "edit/edit_dialog.h"
#include "edit/editor.h"
#include "edit/geometry_edits.h"
#include "edit/geometry_steps.h"
#include "formats/registry.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr int32_t kMaxSide = 32768;
constexpr std::array<std::u16string_view, 5> kAlgorithmNames = {
    u"Type A / Nearest Neighbor", u"Type B / Bi-Linear", u"Type C / Bi-Cubic", u"Type D / Lanczos2",
    u"Type E / Lanczos3"};
constexpr std::array<int32_t, 5> kAlgorithmFilters = {kScaleNearest, kScaleBilinear, kScaleBicubic, kScaleLanczos2,
                                                      kScaleLanczos3};
constexpr std::array<uint16_t, 1> kDotsIds = {res::kBrowseButton};

struct PictureSize {
  int32_t width = 0;
  int32_t height = 0;
};
PictureSize picture_size(Editor& editor) {
  const Surface* s = surface_find(editor.doc.surfaces(), kKeyImage);
  return s ? PictureSize{s->width, s->height} : PictureSize{};
}

bool clicked(int notification) { return notification == platform::kClicked; }

// Checks `id` and clears the others of `ids`, whatever the window system did with the click.
template <size_t N>
void select_one(platform::Dialog& d, const std::array<uint16_t, N>& ids, uint16_t id) {
  for (uint16_t other : ids) d.set_checked(other, other == id);
}

// A dialog that shows the picture's size (1012 / 1013) and asks a new one (1014 / 1015). While
// `keep_aspect_id` is checked, typing one side sets the other in the picture's proportion (only
// typing notifies, so the typed box has the focus).
class SizeDialog : public EditDialog {
 public:
  SizeDialog(Editor& editor, const res::SkinGroup& group, uint16_t keep_aspect_id)
      : EditDialog(editor, group, kSkinModalBase), size_(picture_size(editor)), keep_aspect_id_(keep_aspect_id) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(res::kCurrentWidthField, decimal(size_.width));
    d.set_text(res::kCurrentHeightField, decimal(size_.height));
    d.set_text(res::kWidthField, decimal(size_.width));
    d.set_text(res::kHeightField, decimal(size_.height));
    d.set_focus(res::kWidthField);
  }

  // true when the command was the coupling's. Without a picture (a batch step) the old size is
  // 0 × 0: there is no proportion to keep, and the typed values stand.
  bool couple(platform::Dialog& d, uint16_t id, int notification) {
    if (notification != platform::kEditChanged || !d.checked(keep_aspect_id_)) return false;
    if (size_.width <= 0 || size_.height <= 0) return false;
    const int32_t typed = parse_size_field(d.text(id));
    if (id == res::kWidthField) {
      d.set_text(res::kHeightField, decimal(coupled_side(typed, size_.width, size_.height)));
    } else if (id == res::kHeightField) {
      d.set_text(res::kWidthField, decimal(coupled_side(typed, size_.height, size_.width)));
    } else {
      return false;
    }
    return true;
  }

 protected:
  PictureSize size_;

 private:
  uint16_t keep_aspect_id_;
};

class ImageSizeDialog final : public SizeDialog {
 public:
  explicit ImageSizeDialog(Editor& editor)
      : SizeDialog(editor, res::kSkinEditDialogs[0], res::kImageKeepAspect) {}

  void init(platform::Dialog& d) override {
    SizeDialog::init(d);
    d.set_checked(res::kImageKeepAspect, true);
    for (std::u16string_view name : kAlgorithmNames) d.add_item(res::kResampleCombo, name);
    const int32_t remembered = editor_.shell.remembered().resample_algorithm;
    d.set_selection(res::kResampleCombo, remembered >= 0 && remembered < 5 ? remembered : 1);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (couple(d, id, notification)) return;
    if (id == kSkinOkId && clicked(notification)) {
      request.width = held_field(d, res::kWidthField, 1, kMaxSide);
      request.height = held_field(d, res::kHeightField, 1, kMaxSide);
      const int selected = std::clamp(d.selection(res::kResampleCombo), 0, 4);
      request.filter = kAlgorithmFilters[static_cast<size_t>(selected)];
      editor_.shell.remembered().resample_algorithm = selected;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  ImageSizeRequest request;
};

class CanvasSizeDialog final : public SizeDialog {
 public:
  explicit CanvasSizeDialog(Editor& editor)
      : SizeDialog(editor, res::kSkinEditDialogs[1], res::kCanvasKeepAspect) {}

  void init(platform::Dialog& d) override {
    SizeDialog::init(d);
    const RememberedValues& r = editor_.shell.remembered();
    d.set_text(res::kAlignXField, decimal(r.canvas_align_x));
    d.set_text(res::kAlignYField, decimal(r.canvas_align_y));
    d.set_checked(res::kCanvasKeepAspect, false);
    const bool known = r.canvas_anchor_column >= 0 && r.canvas_anchor_column < 3 && r.canvas_anchor_row >= 0 &&
                       r.canvas_anchor_row < 3;
    select_one(d, anchors(), known ? anchor_id(r.canvas_anchor_column, r.canvas_anchor_row) : res::kFirstAnchor);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (couple(d, id, notification)) return;
    const auto ids = anchors();
    if (std::find(ids.begin(), ids.end(), id) != ids.end() && clicked(notification)) {
      select_one(d, ids, id);
      return;
    }
    if (id == kSkinOkId && clicked(notification)) {
      request.width = held_field(d, res::kWidthField, 1, kMaxSide);
      request.height = held_field(d, res::kHeightField, 1, kMaxSide);
      request.align_x = held_field(d, res::kAlignXField, 1, kMaxSide);
      request.align_y = held_field(d, res::kAlignYField, 1, kMaxSide);
      const auto checked = std::find_if(ids.begin(), ids.end(), [&d](uint16_t a) { return d.checked(a); });
      const int k = checked == ids.end() ? 0 : static_cast<int>(checked - ids.begin());
      request.anchor_column = k % 3;
      request.anchor_row = k / 3;
      RememberedValues& r = editor_.shell.remembered();
      r.canvas_align_x = request.align_x;
      r.canvas_align_y = request.align_y;
      r.canvas_anchor_column = request.anchor_column;
      r.canvas_anchor_row = request.anchor_row;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  CanvasSizeRequest request;

 private:
  static std::array<uint16_t, res::kAnchorCount> anchors() {
    std::array<uint16_t, res::kAnchorCount> ids{};
    for (int k = 0; k < res::kAnchorCount; ++k) ids[static_cast<size_t>(k)] = static_cast<uint16_t>(res::kFirstAnchor + k);
    return ids;
  }
  static uint16_t anchor_id(int32_t column, int32_t row) {
    return static_cast<uint16_t>(res::kFirstAnchor + row * 3 + column);
  }
};

class CropDialog final : public EditDialog {
 public:
  explicit CropDialog(Editor& editor) : EditDialog(editor, res::kSkinScissor, kSkinModalBase) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    const RememberedValues& r = editor_.shell.remembered();
    d.set_text(res::kCropX, decimal(r.crop_x));
    d.set_text(res::kCropY, decimal(r.crop_y));
    d.set_text(res::kCropWidth, decimal(r.crop_width));
    d.set_text(res::kCropHeight, decimal(r.crop_height));
    d.set_focus(res::kCropX);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && clicked(notification)) {
      request = {parse_size_field(d.text(res::kCropX)), parse_size_field(d.text(res::kCropY)),
                 parse_size_field(d.text(res::kCropWidth)), parse_size_field(d.text(res::kCropHeight))};
      RememberedValues& r = editor_.shell.remembered();
      r.crop_x = request.x;
      r.crop_y = request.y;
      r.crop_width = request.width;
      r.crop_height = request.height;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  CropRequest request;
};

class TrimDialog final : public EditDialog {
 public:
  explicit TrimDialog(Editor& editor) : EditDialog(editor, res::kSkinEditDialogs[2], kSkinModalBase, kDotsIds) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    const RememberedValues& r = editor_.shell.remembered();
    for (size_t k = 0; k < kSideFlags.size(); ++k) {
      d.set_checked(res::kTrimSideBoxes[k], (static_cast<uint32_t>(r.trim_sides) & kSideFlags[k]) != 0);
    }
    show_colour(d, r.trim_colour);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == res::kBrowseButton && clicked(notification)) {
      if (!editor_.shell.platform) return;
      // The chooser speaks red in the lowest byte; the boxes and the request red in the third.
      const uint32_t c = typed_colour(d);
      const uint32_t initial = (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
      if (auto chosen = editor_.shell.platform->choose_colour(initial)) {
        show_colour(d, (*chosen & 0xFF) << 16 | (*chosen & 0xFF00) | (*chosen >> 16 & 0xFF));
      }
      return;
    }
    if (id == kSkinOkId && clicked(notification)) {
      uint32_t sides = 0;
      for (size_t k = 0; k < kSideFlags.size(); ++k) {
        if (d.checked(res::kTrimSideBoxes[k])) sides |= kSideFlags[k];
      }
      const uint32_t colour = held_colour(d);
      request = {static_cast<int32_t>(sides), static_cast<int32_t>(colour)};
      editor_.shell.remembered().trim_sides = request.sides;
      editor_.shell.remembered().trim_colour = colour;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  TrimRequest request;

 private:
  static constexpr std::array<uint32_t, 5> kSideFlags = {kTrimTop, kTrimBottom, kTrimLeft, kTrimRight,
                                                         kTrimEqualMargins};

  static void show_colour(platform::Dialog& d, uint32_t colour) {
    for (size_t k = 0; k < 3; ++k) {
      d.set_text(res::kTrimColourFields[k], decimal(static_cast<int32_t>(colour >> (16 - 8 * k) & 0xFF)));
    }
  }
  // The boxes as red << 16 | green << 8 | blue, each part held to 0 … 255.
  static uint32_t typed_colour(platform::Dialog& d) {
    uint32_t colour = 0;
    for (size_t k = 0; k < 3; ++k) {
      const int32_t part = std::clamp(parse_size_field(d.text(res::kTrimColourFields[k])), 0, 255);
      colour |= static_cast<uint32_t>(part) << (16 - 8 * k);
    }
    return colour;
  }
  // The same, writing held parts back into their boxes.
  static uint32_t held_colour(platform::Dialog& d) {
    for (uint16_t id : res::kTrimColourFields) held_field(d, id, 0, 255);
    return typed_colour(d);
  }
};

class RotationDialog final : public EditDialog {
 public:
  explicit RotationDialog(Editor& editor) : EditDialog(editor, res::kSkinRotation, kSkinModalBase) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    d.set_text(res::kAngleField, u"0");
    d.set_focus(res::kAngleField);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && clicked(notification)) {
      request.angle = held_field(d, res::kAngleField, 0, 360);
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  RotateRequest request;
};

class ConnectDialog final : public EditDialog {
 public:
  explicit ConnectDialog(Editor& editor) : EditDialog(editor, res::kSkinEditDialogs[3], kSkinModalBase, kDotsIds) {}

  void init(platform::Dialog& d) override {
    SkinnedDialog::init(d);
    select_one(d, kTargets, res::kConnectFile);
    d.set_focus(res::kConnectPathField);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if ((id == res::kConnectFile || id == res::kConnectFolder) && clicked(notification)) {
      select_one(d, kTargets, id);
      return;
    }
    if (id == res::kBrowseButton && clicked(notification)) {
      browse(d);
      return;
    }
    if (id == kSkinOkId && clicked(notification)) {
      request.target = d.checked(res::kConnectFolder) ? 1 : 0;
      const std::u16string path = d.text(res::kConnectPathField);
      std::fill(std::begin(request.path), std::end(request.path), u'\0');
      std::copy_n(path.begin(), std::min<size_t>(path.size(), kConnectPathLength - 1), request.path);
      request.sides = 0;
      for (size_t k = 0; k < res::kConnectSideBoxes.size(); ++k) {
        if (d.checked(res::kConnectSideBoxes[k])) request.sides |= 1 << k;
      }
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  ConnectRequest request;

 private:
  static constexpr std::array<uint16_t, 2> kTargets = {res::kConnectFile, res::kConnectFolder};

  // The open chooser picks the file; for a folder, the folder of the file picked in it.
  void browse(platform::Dialog& d) {
    if (!editor_.shell.platform) return;
    platform::OpenFileRequest r;
    r.filter = build_file_filter(false);
    r.initial_folder = directory_part(d.text(res::kConnectPathField));
    const auto chosen = editor_.shell.platform->choose_open_file(r);
    if (!chosen) return;
    d.set_text(res::kConnectPathField, d.checked(res::kConnectFolder) ? directory_part(*chosen) : *chosen);
  }
};

class DivideDialog final : public SizeDialog {
 public:
  explicit DivideDialog(Editor& editor) : SizeDialog(editor, res::kSkinEditDialogs[4], 0) {}

  void init(platform::Dialog& d) override {
    SizeDialog::init(d);
    d.set_text(res::kTileCountXField, u"0");
    d.set_text(res::kTileCountYField, u"0");
    d.set_checked(res::kDivideAlpha, edit_has_alpha(editor_));
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == kSkinOkId && clicked(notification)) {
      request.tile_width = held_field(d, res::kWidthField, 1, size_.width);
      request.tile_height = held_field(d, res::kHeightField, 1, size_.height);
      request.limit_x = held_field(d, res::kTileCountXField, 0, size_.width);
      request.limit_y = held_field(d, res::kTileCountYField, 0, size_.height);
      request.bits = d.checked(res::kDivideAlpha) ? 32 : 24;
      d.end(platform::kDialogOk);
      return;
    }
    SkinnedDialog::command(d, id, notification);
  }

  DivideRequest request;
};

// Runs `handler` on `t`; its request on OK.
template <typename Handler>
auto ask(Editor& editor, const platform::DialogTemplate& t) -> std::optional<decltype(Handler::request)> {
  Handler handler(editor);
  if (run_modal_dialog(editor.shell, t, handler) != platform::kDialogOk) return std::nullopt;
  return handler.request;
}

}  // namespace

std::optional<ImageSizeRequest> ask_image_size(Editor& editor) {
  return ask<ImageSizeDialog>(editor, res::image_size_dialog());
}
std::optional<CanvasSizeRequest> ask_canvas_size(Editor& editor) {
  return ask<CanvasSizeDialog>(editor, res::canvas_size_dialog());
}
std::optional<CropRequest> ask_crop(Editor& editor) { return ask<CropDialog>(editor, res::crop_dialog()); }
std::optional<TrimRequest> ask_trim(Editor& editor) { return ask<TrimDialog>(editor, res::trim_dialog()); }
std::optional<RotateRequest> ask_rotation(Editor& editor) {
  return ask<RotationDialog>(editor, res::rotation_dialog());
}
std::optional<ConnectRequest> ask_connect(Editor& editor) { return ask<ConnectDialog>(editor, res::connect_dialog()); }
std::optional<DivideRequest> ask_divide(Editor& editor) { return ask<DivideDialog>(editor, res::divide_dialog()); }

}  // namespace tesmo
