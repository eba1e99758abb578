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

}  // namespace

const platform::DialogTemplate& zoom_dialog() { return kZoom; }

}  // namespace tesmo::resources
