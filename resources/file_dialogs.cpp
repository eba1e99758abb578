// The templates of the file commands and information dialogs.
#include "resources/file_dialogs.h"

#include <string_view>

#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;
using platform::Rect;

constexpr uint16_t kOk = 1097, kCancel = 1098;
constexpr uint16_t kPlainOk = 1, kPlainCancel = 2;  // dialogs without buttons: Enter and Esc close them
constexpr int kButtonW = 88, kButtonH = 21;  // one state row of an 88 × 63 button picture
constexpr int kDotsW = 25;                   // one state row of the 25 × 63 "..." picture

// OK (index 0) or Cancel (index 1) in the bottom right corner of a w × h background.
constexpr Rect corner_button(int w, int h, int index) {
  const int right = w - 16 - (1 - index) * (kButtonW + 8);
  return {right - kButtonW, h - 14 - kButtonH, right, h - 14};
}

constexpr ControlTemplate label(int x0, int x1, int y, std::u16string_view text) {
  return {kNoControlId, ControlKind::Static, text, {x0, y + 4, x1, y + 22}};
}
constexpr ControlTemplate edit(uint16_t id, int x0, int x1, int y, uint8_t flags = 0) {
  return {id, ControlKind::Edit, u"", {x0, y, x1, y + 24}, 0, flags};
}
constexpr ControlTemplate dots(uint16_t id, int x, int y) {
  return {id, ControlKind::OwnerDrawButton, u"...", {x, y + 1, x + kDotsW, y + 1 + kButtonH}};
}

// Rename: 361 × 120 (entry 11), the name field under the title band.
constexpr int kRenameW = 361, kRenameH = 120;
constexpr std::array<ControlTemplate, 3> kRenameControls{{
    edit(kRenameField, 16, kRenameW - 16, kSkinTitleBand + 14),
    {kOk, ControlKind::OwnerDrawButton, u"OK", corner_button(kRenameW, kRenameH, 0)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", corner_button(kRenameW, kRenameH, 1)},
}};
constexpr platform::DialogTemplate kRename{kRenameDialogId, u"名前の変更", kRenameW, kRenameH, kRenameControls, kOk,
                                           kCancel};

// File Information: 420 × 372 (entry 14), one label and read-only field per row.
constexpr int kInfoW = 420, kInfoH = 372;
constexpr int kInfoTop = kSkinTitleBand + 8, kInfoRow = 30, kInfoSplit = 172;
constexpr std::array<std::u16string_view, 11> kInfoLabels = {
    u"ファイル名：", u"場所：", u"インデックス：", u"画像フォーマット：", u"画像フォーマットの詳細：", u"圧縮方法：",
    u"ピクセル数とビット深度：", u"使用している色の数：", u"ファイルのサイズ：", u"ファイルの日時：",
    u"ロードにかかった時間：",
};
constexpr std::array<ControlTemplate, 22> kInfoControls = [] {
  std::array<ControlTemplate, 22> c{};
  for (size_t i = 0; i < kInfoLabels.size(); ++i) {
    const int y = kInfoTop + static_cast<int>(i) * kInfoRow;
    c[2 * i] = label(12, kInfoSplit - 2, y, kInfoLabels[i]);
    c[2 * i + 1] = edit(kFileInfoFields[i], kInfoSplit, kInfoW - 12, y, platform::kReadOnly);
  }
  return c;
}();
static_assert(kInfoTop + 11 * kInfoRow <= kInfoH, "the rows fit the background");
constexpr platform::DialogTemplate kInfo{kFileInfoDialogId, u"ファイル情報", kInfoW, kInfoH, kInfoControls, kPlainOk,
                                         kPlainCancel};

// Exif Information: the report list under the title band, wide enough for its columns side by side
// and a scroll bar, 550 high; the 450 × 480 background (entry 15) is stretched to the client area.
constexpr int kExifListX = 9, kExifListY = kSkinTitleBand + 4, kExifListH = 550;
constexpr int kExifListFrame = 2, kExifScrollBar = 16;  // both sides' frame; the rows' scroll bar
constexpr int kExifListW = [] {
  int w = kExifListFrame + kExifScrollBar;
  for (const platform::ListColumn& c : kExifColumns) w += c.width;
  return w;
}();
constexpr int kExifW = kExifListX + kExifListW + kExifListX, kExifH = kExifListY + kExifListH + kExifListX;
constexpr std::array<ControlTemplate, 1> kExifControls{{
    {kExifList, ControlKind::ListView, u"", {kExifListX, kExifListY, kExifListX + kExifListW, kExifListY + kExifListH}},
}};
constexpr platform::DialogTemplate kExif{kExifDialogId, u"撮影情報", kExifW, kExifH, kExifControls, kPlainOk,
                                         kPlainCancel};

// About: 320 × 161 (entry 68), three labels and their values under the title band.
constexpr int kAboutW = 320, kAboutH = 161;
constexpr int kAboutTop = 56, kAboutRow = 26, kAboutSplit = 152;
constexpr std::array<ControlTemplate, 6> kAboutControls{{
    label(24, kAboutSplit, kAboutTop, u"model"),
    label(kAboutSplit, kAboutW - 16, kAboutTop, u": Tesmo64"),
    label(24, kAboutSplit, kAboutTop + kAboutRow, u"software version"),
    label(kAboutSplit, kAboutW - 16, kAboutTop + kAboutRow, u": V2.0.0"),
    label(24, kAboutSplit, kAboutTop + 2 * kAboutRow, u"language"),
    label(kAboutSplit, kAboutW - 16, kAboutTop + 2 * kAboutRow, u": Japanese"),
}};
constexpr platform::DialogTemplate kAbout{kAboutDialogId, u"Tesmo64", kAboutW, kAboutH, kAboutControls, kPlainOk,
                                          kPlainCancel};

// Preferences: 758 × 338 (entries 63–66). The left column holds the plug-in, mouse, grid and camera
// groups; the right column the external applications; OK and Cancel sit below the right column.
constexpr int kPrefW = 758, kPrefH = 338;
constexpr int kLeftL = 14, kLeftR = 370, kRightL = 384, kRightR = kPrefW - 14;
constexpr int kLabelW = 160, kRowH = 28;

constexpr ControlTemplate group(int l, int r, int top, int rows, std::u16string_view text) {
  return {kNoControlId, ControlKind::GroupBox, text, {l, top, r, top + 22 + rows * kRowH}};
}
// The y of row `row` inside a group starting at `top`.
constexpr int row_y(int top, int row) { return top + 18 + row * kRowH; }
// A row's field between its label and its right end (which leaves room for a "..." button or unit).
constexpr ControlTemplate field(uint16_t id, int l, int r, int top, int row, int right_room) {
  return edit(id, l + 10 + kLabelW, r - 10 - right_room, row_y(top, row));
}
constexpr ControlTemplate row_label(int l, int top, int row, std::u16string_view text) {
  return label(l + 10, l + 10 + kLabelW - 4, row_y(top, row), text);
}
constexpr ControlTemplate row_dots(uint16_t id, int r, int top, int row) {
  return dots(id, r - 10 - kDotsW, row_y(top, row));
}
constexpr ControlTemplate row_unit(int r, int top, int row, std::u16string_view text) {
  return label(r - 10 - 60, r - 10, row_y(top, row), text);
}

constexpr int kPluginTop = kSkinTitleBand + 8, kMouseTop = kPluginTop + 56, kGridTop = kMouseTop + 56,
              kCameraTop = kGridTop + 84, kAppsTop = kPluginTop;
constexpr int kDotsRoom = kDotsW + 6, kUnitRoom = 64;

constexpr std::array<ControlTemplate, 35> kPrefControls{{
    group(kLeftL, kLeftR, kPluginTop, 1, u"プラグイン"),
    row_label(kLeftL, kPluginTop, 0, u"場所 :"),
    field(kPrefPluginFolder, kLeftL, kLeftR, kPluginTop, 0, kDotsRoom),
    row_dots(kPrefPluginBrowse, kLeftR, kPluginTop, 0),
    group(kLeftL, kLeftR, kMouseTop, 1, u"マウス"),
    row_label(kLeftL, kMouseTop, 0, u"ホイールの入力間隔 :"),
    field(kPrefWheelInterval, kLeftL, kLeftR, kMouseTop, 0, kUnitRoom),
    row_unit(kLeftR, kMouseTop, 0, u"ミリ秒"),
    group(kLeftL, kLeftR, kGridTop, 2, u"グリッド"),
    row_label(kLeftL, kGridTop, 0, u"グリッド線 :"),
    field(kPrefGridSpacing, kLeftL, kLeftR, kGridTop, 0, kUnitRoom),
    row_unit(kLeftR, kGridTop, 0, u"ピクセル"),
    row_label(kLeftL, kGridTop, 1, u"分割数 :"),
    field(kPrefGridDivisions, kLeftL, kLeftR, kGridTop, 1, kUnitRoom),
    group(kLeftL, kLeftR, kCameraTop, 2, u"デジタル カメラ"),
    row_label(kLeftL, kCameraTop, 0, u"機種名 :"),
    field(kPrefCameraModel, kLeftL, kLeftR, kCameraTop, 0, kDotsRoom),
    row_dots(kPrefCameraBrowse, kLeftR, kCameraTop, 0),
    row_label(kLeftL, kCameraTop, 1, u"拡張子 :"),
    field(kPrefCameraPattern, kLeftL, kLeftR, kCameraTop, 1, kDotsRoom),
    group(kRightL, kRightR, kAppsTop, 5, u"外部アプリケーション"),
    row_label(kRightL, kAppsTop, 0, u"画像編集ツール :"),
    field(kPrefImageEditor1, kRightL, kRightR, kAppsTop, 0, kDotsRoom),
    row_dots(kPrefImageEditor1Browse, kRightR, kAppsTop, 0),
    field(kPrefImageEditor2, kRightL, kRightR, kAppsTop, 1, kDotsRoom),
    row_dots(kPrefImageEditor2Browse, kRightR, kAppsTop, 1),
    row_label(kRightL, kAppsTop, 2, u"バイナリー エディター :"),
    field(kPrefBinaryEditor, kRightL, kRightR, kAppsTop, 2, kDotsRoom),
    row_dots(kPrefBinaryEditorBrowse, kRightR, kAppsTop, 2),
    row_label(kRightL, kAppsTop, 3, u"テキスト エディター :"),
    field(kPrefTextEditor, kRightL, kRightR, kAppsTop, 3, kDotsRoom),
    row_dots(kPrefTextEditorBrowse, kRightR, kAppsTop, 3),
    row_label(kRightL, kAppsTop, 4, u"シェーダー コンパイラー :"),
    field(kPrefShaderCompiler, kRightL, kRightR, kAppsTop, 4, kDotsRoom),
    row_dots(kPrefShaderCompilerBrowse, kRightR, kAppsTop, 4),
}};
static_assert(kCameraTop + 22 + 2 * kRowH < kPrefH, "the camera group ends inside the dialog");
static_assert(kAppsTop + 22 + 5 * kRowH < kPrefH - 14 - kButtonH, "the applications end above the buttons");

constexpr std::array<ControlTemplate, 37> kPrefAll = [] {
  std::array<ControlTemplate, 37> c{};
  for (size_t i = 0; i < kPrefControls.size(); ++i) c[i] = kPrefControls[i];
  c[35] = {kOk, ControlKind::OwnerDrawButton, u"OK", corner_button(kPrefW, kPrefH, 0)};
  c[36] = {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", corner_button(kPrefW, kPrefH, 1)};
  return c;
}();
constexpr platform::DialogTemplate kPreferences{kPreferencesDialogId, u"環境設定", kPrefW, kPrefH, kPrefAll, kOk,
                                                kCancel};

}  // namespace

const platform::DialogTemplate& rename_dialog() { return kRename; }
const platform::DialogTemplate& file_info_dialog() { return kInfo; }
const platform::DialogTemplate& exif_dialog() { return kExif; }
const platform::DialogTemplate& about_dialog() { return kAbout; }
const platform::DialogTemplate& preferences_dialog() { return kPreferences; }

}  // namespace tesmo::resources
