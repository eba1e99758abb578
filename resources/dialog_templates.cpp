// The dialog templates.
#include "resources/dialog_templates.h"

#include <array>

#include "resources/dialog_layout.h"
#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr uint16_t kOk = kOkButton, kCancel = kCancelButton;

// 257 × 144, the size of the zoom dialog's background (entry 53).
constexpr int kZoomW = 257, kZoomH = 144;
constexpr std::array<ControlTemplate, 4> kZoomControls{{
    {kNoControlId, ControlKind::Static, u"拡大率 (1 ～ 1600 %)", {16, kSkinTitleBand + 14, 241, kSkinTitleBand + 32}},
    {kZoomField, ControlKind::Edit, u"", {16, kSkinTitleBand + 36, 241, kSkinTitleBand + 60}},
    {kOk, ControlKind::OwnerDrawButton, u"OK", ok_rect(kZoomW, kZoomH)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kZoomW, kZoomH)},
}};
constexpr platform::DialogTemplate kZoom{kZoomDialogId, u"拡大率を指定", kZoomW, kZoomH, kZoomControls, kOk, kCancel};

// 361 × 200, the size of the New dialog's background (entry 5): the size on the left, the depth on
// the right.
constexpr int kNewW = 361, kNewH = 200;
constexpr int kNewTop = kSkinTitleBand + 16;
constexpr std::array<ControlTemplate, 10> kNewControls{{
    {kNoControlId, ControlKind::GroupBox, u"サイズ", {14, kNewTop, 168, kNewTop + 96}},
    {kNoControlId, ControlKind::Static, u"幅", {26, kNewTop + 26, 70, kNewTop + 44}},
    {kNewWidthField, ControlKind::Edit, u"", {74, kNewTop + 22, 156, kNewTop + 46}},
    {kNoControlId, ControlKind::Static, u"高さ", {26, kNewTop + 60, 70, kNewTop + 78}},
    {kNewHeightField, ControlKind::Edit, u"", {74, kNewTop + 56, 156, kNewTop + 80}},
    {kNoControlId, ControlKind::GroupBox, u"ビット深度", {180, kNewTop, 347, kNewTop + 96}},
    {kNewBits24, ControlKind::RadioButton, u"8:8:8 RGB (24 bit)", {192, kNewTop + 24, 340, kNewTop + 44}},
    {kNewBits32, ControlKind::RadioButton, u"8:8:8:8 ARGB (32 bit)", {192, kNewTop + 58, 340, kNewTop + 78}},
    {kOk, ControlKind::OwnerDrawButton, u"OK", ok_rect(kNewW, kNewH)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kNewW, kNewH)},
}};
constexpr platform::DialogTemplate kNew{kNewDialogId, u"新規作成", kNewW, kNewH, kNewControls, kOk, kCancel};

// 439 × 395, the size of the Key Assignment background (entry 60): the buttons' group above the
// wheel's, one label and combo box per row.
constexpr int kKeysW = 439, kKeysH = 395;
constexpr int kRowStep = 32;
constexpr int kButtonsTop = kSkinTitleBand + 12;
constexpr int kWheelTop = kButtonsTop + 3 * kRowStep + 40;

constexpr ControlTemplate key_label(int top, int row, std::u16string_view text) {
  return {kNoControlId, ControlKind::Static, text, {28, top + 26 + row * kRowStep, 178, top + 44 + row * kRowStep}};
}
constexpr ControlTemplate key_combo(int top, int row, uint16_t id) {
  return {id, ControlKind::ComboBox, u"", {182, top + 22 + row * kRowStep, 411, top + 46 + row * kRowStep}};
}

constexpr std::array<ControlTemplate, 18> kKeysControls{{
    {kNoControlId, ControlKind::GroupBox, u"マウスのボタン", {16, kButtonsTop, 423, kButtonsTop + 3 * kRowStep + 28}},
    key_label(kButtonsTop, 0, u"中ボタン"),
    key_combo(kButtonsTop, 0, kFirstActionCombo),
    key_label(kButtonsTop, 1, u"X1 ボタン"),
    key_combo(kButtonsTop, 1, kFirstActionCombo + 1),
    key_label(kButtonsTop, 2, u"X2 ボタン"),
    key_combo(kButtonsTop, 2, kFirstActionCombo + 2),
    {kNoControlId, ControlKind::GroupBox, u"マウスのホイール", {16, kWheelTop, 423, kWheelTop + 4 * kRowStep + 28}},
    key_label(kWheelTop, 0, u"奥へ回す"),
    key_combo(kWheelTop, 0, kFirstActionCombo + 3),
    key_label(kWheelTop, 1, u"手前へ回す"),
    key_combo(kWheelTop, 1, kFirstActionCombo + 4),
    key_label(kWheelTop, 2, u"Ctrl + 奥へ回す"),
    key_combo(kWheelTop, 2, kFirstActionCombo + 5),
    key_label(kWheelTop, 3, u"Ctrl + 手前へ回す"),
    key_combo(kWheelTop, 3, kFirstActionCombo + 6),
    {kOk, ControlKind::OwnerDrawButton, u"OK", ok_rect(kKeysW, kKeysH)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kKeysW, kKeysH)},
}};
static_assert(kWheelTop + 4 * kRowStep + 28 < kKeysH - 14 - kButtonH, "the wheel's group ends above the buttons");
constexpr platform::DialogTemplate kKeys{kKeyAssignmentDialogId, u"キー割り当て", kKeysW, kKeysH, kKeysControls, kOk,
                                         kCancel};

// 439 × 360, the size of the save options dialog's background (entry 8): three groups stacked
// under the title band, the buttons at the bottom right.
constexpr int kSaveW = 439, kSaveH = 360;
constexpr int kGroupL = 16, kGroupR = kSaveW - 16, kFieldL = 32, kFieldR = kSaveW - 32;
constexpr int kFormatTop = kSkinTitleBand + 14, kBitsTop = kFormatTop + 68, kCompressTop = kBitsTop + 68;
constexpr std::array<ControlTemplate, 10> kSaveControls{{
    {kNoControlId, ControlKind::GroupBox, u"画像フォーマット", {kGroupL, kFormatTop, kGroupR, kFormatTop + 56}},
    {kSaveFormatCombo, ControlKind::ComboBox, u"", {kFieldL, kFormatTop + 22, kFieldR, kFormatTop + 46}},
    {kNoControlId, ControlKind::GroupBox, u"ビット深度", {kGroupL, kBitsTop, kGroupR, kBitsTop + 56}},
    {kSaveBitsCombo, ControlKind::ComboBox, u"", {kFieldL, kBitsTop + 22, kFieldR, kBitsTop + 46}},
    {kNoControlId, ControlKind::GroupBox, u"圧縮", {kGroupL, kCompressTop, kGroupR, kCompressTop + 90}},
    {kNoControlId, ControlKind::Static, u"画質 (1 ～ 100)", {kFieldL, kCompressTop + 24, 180, kCompressTop + 42}},
    {kSaveQualityField, ControlKind::Edit, u"", {184, kCompressTop + 20, 264, kCompressTop + 44}},
    {kSaveCompressCheck, ControlKind::CheckBox, u"圧縮する", {kFieldL, kCompressTop + 56, kFieldR, kCompressTop + 78}},
    {kOk, ControlKind::OwnerDrawButton, u"OK", ok_rect(kSaveW, kSaveH)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kSaveW, kSaveH)},
}};
constexpr platform::DialogTemplate kSaveOptions{kSaveOptionsDialogId, u"画像フォーマット", kSaveW, kSaveH,
                                                kSaveControls, kOk, kCancel};

// 361 × 257, the size of the effect dialog's background (entry 50): one 44-pixel row per
// parameter, the link boxes to the right of the value boxes, straddling two rows.
constexpr int kEffectW = 361, kEffectH = 257;
constexpr int kEffectTop = kSkinTitleBand + 8, kEffectRow = 44;
constexpr ControlTemplate effect_label(int k) {
  return {kEffectLabels[k], ControlKind::Static, u"-", {16, kEffectTop + k * kEffectRow, 260, kEffectTop + k * kEffectRow + 18}};
}
constexpr ControlTemplate effect_slider(int k) {
  return {kEffectSliders[k], ControlKind::Slider, u"",
          {12, kEffectTop + k * kEffectRow + 18, 264, kEffectTop + k * kEffectRow + 40}};
}
constexpr ControlTemplate effect_field(int k) {
  return {kEffectFields[k], ControlKind::Edit, u"0",
          {268, kEffectTop + k * kEffectRow + 16, 320, kEffectTop + k * kEffectRow + 38}};
}
constexpr ControlTemplate effect_link(int k) {
  return {kEffectLinks[k], ControlKind::CheckBox, u"+",
          {322, kEffectTop + k * kEffectRow + 34, 357, kEffectTop + k * kEffectRow + 54}};
}
constexpr std::array<ControlTemplate, 17> kEffectControls{{
    effect_label(0), effect_slider(0), effect_field(0), effect_link(0),
    effect_label(1), effect_slider(1), effect_field(1), effect_link(1),
    effect_label(2), effect_slider(2), effect_field(2), effect_link(2),
    effect_label(3), effect_slider(3), effect_field(3),
    {kOk, ControlKind::OwnerDrawButton, u"OK", ok_rect(kEffectW, kEffectH)},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kEffectW, kEffectH)},
}};
static_assert(kEffectTop + 4 * kEffectRow < kEffectH - 14 - kButtonH, "the rows end above the buttons");
constexpr platform::DialogTemplate kEffect{kEffectDialogId, u"パラメーター", kEffectW, kEffectH, kEffectControls, kOk,
                                           kCancel};

}  // namespace

const platform::DialogTemplate& effect_dialog() { return kEffect; }
const platform::DialogTemplate& zoom_dialog() { return kZoom; }
const platform::DialogTemplate& new_dialog() { return kNew; }
const platform::DialogTemplate& key_assignment_dialog() { return kKeys; }
const platform::DialogTemplate& save_options_dialog() { return kSaveOptions; }

}  // namespace tesmo::resources
