// The geometry edits' dialog templates. Groups sit in two columns below the title band (14–176 and
// 184–347 on the 361-pixel backgrounds); each row is a label and a 24-pixel box, 30 pixels apart.
#include "resources/geometry_dialogs.h"

#include "resources/dialog_layout.h"
#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr int kEditW = 361, kEditH = 309;  // the edit dialogs' backgrounds (entries 24, 27, 33, 40, 44)
constexpr int kTop = kSkinTitleBand + 10;
constexpr int kLeftL = 14, kLeftR = 176, kRightL = 184, kRightR = 347;
constexpr int kRow = 30;

constexpr ControlTemplate group(std::u16string_view text, int l, int t, int r, int b) {
  return {kNoControlId, ControlKind::GroupBox, text, {l, t, r, b}};
}
// Row `row` of the group whose frame starts at (l, t): the label, then the box up to `r` − 12.
constexpr ControlTemplate row_label(std::u16string_view text, int l, int t, int row) {
  return {kNoControlId, ControlKind::Static, text, {l + 12, t + 26 + row * kRow, l + 56, t + 44 + row * kRow}};
}
constexpr ControlTemplate row_box(uint16_t id, int l, int t, int r, int row, ControlKind kind = ControlKind::Edit) {
  return {id, kind, u"", {l + 60, t + 22 + row * kRow, r - 12, t + 46 + row * kRow}};
}
constexpr ControlTemplate check(uint16_t id, std::u16string_view text, int l, int t, int r) {
  return {id, ControlKind::CheckBox, text, {l, t, r, t + 20}};
}
constexpr ControlTemplate dots(int l, int t) {
  return {kBrowseButton, ControlKind::OwnerDrawButton, u"...", {l, t, l + 25, t + kButtonH}};
}
constexpr ControlTemplate ok(int w, int h) { return {kOkButton, ControlKind::OwnerDrawButton, u"OK", ok_rect(w, h)}; }
constexpr ControlTemplate cancel(int w, int h) {
  return {kCancelButton, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(w, h)};
}
constexpr platform::DialogTemplate dialog(uint16_t id, std::u16string_view caption, int w, int h,
                                          std::span<const ControlTemplate> controls) {
  return {id, caption, w, h, controls, kOkButton, kCancelButton};
}

// The picture's size, read only, in the left column's first group: control k of its five.
constexpr ControlTemplate current_size(int k) {
  switch (k) {
    case 0: return group(u"現在のサイズ", kLeftL, kTop, kLeftR, kTop + 90);
    case 1: return row_label(u"幅", kLeftL, kTop, 0);
    case 2: return row_box(kCurrentWidthField, kLeftL, kTop, kLeftR, 0, ControlKind::Static);
    case 3: return row_label(u"高さ", kLeftL, kTop, 1);
    default: return row_box(kCurrentHeightField, kLeftL, kTop, kLeftR, 1, ControlKind::Static);
  }
}

constexpr int kLowerTop = kTop + 100;  // the second group of a column

constexpr ControlTemplate kImageSizeControls[] = {
    current_size(0), current_size(1), current_size(2), current_size(3), current_size(4),
    group(u"新しいサイズ", kRightL, kTop, kRightR, kTop + 122),
    row_label(u"幅", kRightL, kTop, 0),
    row_box(kWidthField, kRightL, kTop, kRightR, 0),
    row_label(u"高さ", kRightL, kTop, 1),
    row_box(kHeightField, kRightL, kTop, kRightR, 1),
    check(kImageKeepAspect, u"アスペクト比を固定する", kRightL + 12, kTop + 88, kRightR - 4),
    group(u"アルゴリズム", kLeftL, kTop + 132, kRightR, kTop + 192),
    {kResampleCombo, ControlKind::ComboBox, u"", {kLeftL + 12, kTop + 156, kRightR - 12, kTop + 180}},
    ok(kEditW, kEditH),
    cancel(kEditW, kEditH),
};
constexpr auto kImageSize = dialog(kImageSizeDialogId, u"画像解像度", kEditW, kEditH, kImageSizeControls);

// The 3 × 3 anchor grid, centred in its group: each radio button holds its mark and arrow.
constexpr int kAnchorW = 38, kAnchorStep = 40;
constexpr ControlTemplate anchor(int k, std::u16string_view arrow) {
  const int x = kRightL + 22 + (k % 3) * kAnchorStep, y = kTop + 154 + (k / 3) * 24;
  return {static_cast<uint16_t>(kFirstAnchor + k), ControlKind::RadioButton, arrow, {x, y, x + kAnchorW, y + 22}};
}

constexpr ControlTemplate kCanvasSizeControls[] = {
    current_size(0), current_size(1), current_size(2), current_size(3), current_size(4),
    group(u"新しいサイズ", kRightL, kTop, kRightR, kTop + 122),
    row_label(u"幅", kRightL, kTop, 0),
    row_box(kWidthField, kRightL, kTop, kRightR, 0),
    row_label(u"高さ", kRightL, kTop, 1),
    row_box(kHeightField, kRightL, kTop, kRightR, 1),
    check(kCanvasKeepAspect, u"アスペクト比を固定する", kRightL + 12, kTop + 88, kRightR - 4),
    group(u"単位", kLeftL, kLowerTop, kLeftR, kLowerTop + 90),
    row_label(u"幅", kLeftL, kLowerTop, 0),
    row_box(kAlignXField, kLeftL, kLowerTop, kLeftR, 0),
    row_label(u"高さ", kLeftL, kLowerTop, 1),
    row_box(kAlignYField, kLeftL, kLowerTop, kLeftR, 1),
    group(u"基準位置", kRightL, kTop + 132, kRightR, kTop + 232),
    anchor(0, u"↖"), anchor(1, u"↑"), anchor(2, u"↗"),
    anchor(3, u"←"), anchor(4, u"・"), anchor(5, u"→"),
    anchor(6, u"↙"), anchor(7, u"↓"), anchor(8, u"↘"),
    ok(kEditW, kEditH),
    cancel(kEditW, kEditH),
};
static_assert(kTop + 232 < kEditH - 14 - kButtonH, "the anchor grid ends above the buttons");
constexpr auto kCanvasSize = dialog(kCanvasSizeDialogId, u"キャンバス サイズ", kEditW, kEditH, kCanvasSizeControls);

// 361 × 155, the crop dialog's background (entry 30): position and size side by side.
constexpr int kCropW = 361, kCropH = 155;
constexpr int kCropTop = kSkinTitleBand + 6;
constexpr ControlTemplate kCropControls[] = {
    group(u"位置", kLeftL, kCropTop, kLeftR, kCropTop + 84),
    row_label(u"X", kLeftL, kCropTop, 0),
    row_box(kCropX, kLeftL, kCropTop, kLeftR, 0),
    row_label(u"Y", kLeftL, kCropTop, 1),
    row_box(kCropY, kLeftL, kCropTop, kLeftR, 1),
    group(u"サイズ", kRightL, kCropTop, kRightR, kCropTop + 84),
    row_label(u"幅", kRightL, kCropTop, 0),
    row_box(kCropWidth, kRightL, kCropTop, kRightR, 0),
    row_label(u"高さ", kRightL, kCropTop, 1),
    row_box(kCropHeight, kRightL, kCropTop, kRightR, 1),
    ok(kCropW, kCropH),
    cancel(kCropW, kCropH),
};
static_assert(kCropTop + 84 < kCropH - 14 - kButtonH, "the groups end above the buttons");
constexpr auto kCrop = dialog(kCropDialogId, u"切り抜き", kCropW, kCropH, kCropControls);

constexpr ControlTemplate side_box(uint16_t id, std::u16string_view text, int row) {
  return check(id, text, kLeftL + 12, kTop + 24 + row * 26, kLeftR - 8);
}
constexpr ControlTemplate kTrimControls[] = {
    group(u"対象", kLeftL, kTop, kLeftR, kTop + 160),
    side_box(kTrimSideBoxes[0], u"上端", 0),
    side_box(kTrimSideBoxes[1], u"下端", 1),
    side_box(kTrimSideBoxes[2], u"左端", 2),
    side_box(kTrimSideBoxes[3], u"右端", 3),
    side_box(kTrimSideBoxes[4], u"均等", 4),
    group(u"余白の色", kRightL, kTop, kRightR, kTop + 150),
    row_label(u"赤", kRightL, kTop, 0),
    row_box(kTrimColourFields[0], kRightL, kTop, kRightR - 40, 0),
    row_label(u"緑", kRightL, kTop, 1),
    row_box(kTrimColourFields[1], kRightL, kTop, kRightR - 40, 1),
    row_label(u"青", kRightL, kTop, 2),
    row_box(kTrimColourFields[2], kRightL, kTop, kRightR - 40, 2),
    {kNoControlId, ControlKind::Static, u"(0 ～ 255)", {kRightL + 12, kTop + 118, kRightR - 48, kTop + 136}},
    dots(kRightR - 40, kTop + 114),
    ok(kEditW, kEditH),
    cancel(kEditW, kEditH),
};
constexpr auto kTrim = dialog(kTrimDialogId, u"トリミング", kEditW, kEditH, kTrimControls);

// 257 × 144, the rotation dialog's background (entry 37): one box, as the zoom dialog.
constexpr int kRotationW = 257, kRotationH = 144;
constexpr ControlTemplate kRotationControls[] = {
    {kNoControlId, ControlKind::Static, u"角度 (0 ～ 360 度)", {16, kSkinTitleBand + 14, 241, kSkinTitleBand + 32}},
    {kAngleField, ControlKind::Edit, u"", {16, kSkinTitleBand + 36, 241, kSkinTitleBand + 60}},
    ok(kRotationW, kRotationH),
    cancel(kRotationW, kRotationH),
};
constexpr auto kRotation = dialog(kRotationDialogId, u"角度を指定", kRotationW, kRotationH, kRotationControls);

constexpr ControlTemplate connect_side(int k, std::u16string_view text) {
  const int x = kLeftL + 12 + k * 82;
  return check(kConnectSideBoxes[static_cast<size_t>(k)], text, x, kLowerTop + 26, x + 74);
}
constexpr ControlTemplate kConnectControls[] = {
    group(u"対象", kLeftL, kTop, kRightR, kTop + 90),
    {kConnectFile, ControlKind::RadioButton, u"ファイル", {kLeftL + 12, kTop + 24, kLeftL + 112, kTop + 44}},
    {kConnectFolder, ControlKind::RadioButton, u"フォルダ", {kLeftL + 120, kTop + 24, kLeftL + 220, kTop + 44}},
    {kConnectPathField, ControlKind::Edit, u"", {kLeftL + 12, kTop + 54, kRightR - 44, kTop + 78}},
    dots(kRightR - 37, kTop + 55),
    group(u"結合する位置", kLeftL, kLowerTop, kRightR, kLowerTop + 60),
    connect_side(0, u"上端"),
    connect_side(1, u"下端"),
    connect_side(2, u"左端"),
    connect_side(3, u"右端"),
    ok(kEditW, kEditH),
    cancel(kEditW, kEditH),
};
constexpr auto kConnect = dialog(kConnectDialogId, u"結合", kEditW, kEditH, kConnectControls);

constexpr ControlTemplate kDivideControls[] = {
    current_size(0), current_size(1), current_size(2), current_size(3), current_size(4),
    group(u"分割サイズ", kRightL, kTop, kRightR, kTop + 90),
    row_label(u"幅", kRightL, kTop, 0),
    row_box(kWidthField, kRightL, kTop, kRightR, 0),
    row_label(u"高さ", kRightL, kTop, 1),
    row_box(kHeightField, kRightL, kTop, kRightR, 1),
    group(u"分割数", kLeftL, kLowerTop, kLeftR, kLowerTop + 90),
    row_label(u"横", kLeftL, kLowerTop, 0),
    row_box(kTileCountXField, kLeftL, kLowerTop, kLeftR, 0),
    row_label(u"縦", kLeftL, kLowerTop, 1),
    row_box(kTileCountYField, kLeftL, kLowerTop, kLeftR, 1),
    {kNoControlId, ControlKind::Static, u"※ 0 で分割数を無視します。", {kRightL, kLowerTop + 8, kRightR, kLowerTop + 44}},
    check(kDivideAlpha, u"αチャンネルも出力する", kRightL, kLowerTop + 56, kRightR),
    ok(kEditW, kEditH),
    cancel(kEditW, kEditH),
};
constexpr auto kDivide = dialog(kDivideDialogId, u"分割", kEditW, kEditH, kDivideControls);

}  // namespace

const platform::DialogTemplate& image_size_dialog() { return kImageSize; }
const platform::DialogTemplate& canvas_size_dialog() { return kCanvasSize; }
const platform::DialogTemplate& crop_dialog() { return kCrop; }
const platform::DialogTemplate& trim_dialog() { return kTrim; }
const platform::DialogTemplate& rotation_dialog() { return kRotation; }
const platform::DialogTemplate& connect_dialog() { return kConnect; }
const platform::DialogTemplate& divide_dialog() { return kDivide; }

}  // namespace tesmo::resources
