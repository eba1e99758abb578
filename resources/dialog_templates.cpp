// The dialog templates.
#include "resources/dialog_templates.h"

#include <array>

#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr uint16_t kOk = 1097, kCancel = 1098;
constexpr int kButtonW = 88, kButtonH = 21;  // one state row of an 88 × 63 button picture

// 257 × 144, the size of the zoom dialog's background (entry 53).
constexpr int kZoomW = 257, kZoomH = 144;
constexpr std::array<ControlTemplate, 4> kZoomControls{{
    {kNoControlId, ControlKind::Static, u"拡大率 (1 ～ 1600 %)", {16, kSkinTitleBand + 14, 241, kSkinTitleBand + 32}},
    {kZoomField, ControlKind::Edit, u"", {16, kSkinTitleBand + 36, 241, kSkinTitleBand + 60}},
    {kOk, ControlKind::OwnerDrawButton, u"OK",
     {kZoomW - 16 - 2 * kButtonW - 8, kZoomH - 14 - kButtonH, kZoomW - 16 - kButtonW - 8, kZoomH - 14}},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル",
     {kZoomW - 16 - kButtonW, kZoomH - 14 - kButtonH, kZoomW - 16, kZoomH - 14}},
}};
constexpr platform::DialogTemplate kZoom{kZoomDialogId, u"拡大率を指定", kZoomW, kZoomH, kZoomControls, kOk, kCancel};

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
    {kOk, ControlKind::OwnerDrawButton, u"OK",
     {kSaveW - 16 - 2 * kButtonW - 8, kSaveH - 14 - kButtonH, kSaveW - 16 - kButtonW - 8, kSaveH - 14}},
    {kCancel, ControlKind::OwnerDrawButton, u"キャンセル",
     {kSaveW - 16 - kButtonW, kSaveH - 14 - kButtonH, kSaveW - 16, kSaveH - 14}},
}};
constexpr platform::DialogTemplate kSaveOptions{kSaveOptionsDialogId, u"画像フォーマット", kSaveW, kSaveH,
                                                kSaveControls, kOk, kCancel};

}  // namespace

const platform::DialogTemplate& zoom_dialog() { return kZoom; }
const platform::DialogTemplate& save_options_dialog() { return kSaveOptions; }

}  // namespace tesmo::resources
