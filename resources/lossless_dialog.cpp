// The lossless transform dialog's template, laid out on a 361 × 309 edit dialog background.
#include "resources/lossless_dialog.h"

#include "resources/dialog_layout.h"
#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr int kW = 361, kH = 309;
constexpr int kTop = kSkinTitleBand + 12;
constexpr int kRow = 24;

constexpr platform::Rect choice_rect(int k) { return {36, kTop + 22 + k * kRow, kW - 36, kTop + 40 + k * kRow}; }

constexpr std::array<ControlTemplate, 11> kControls{{
    {kNoControlId, ControlKind::GroupBox, u"変換の種類", {16, kTop, kW - 16, kTop + 30 + kLosslessChoiceCount * kRow}},
    {kLosslessFirstChoice + 0, ControlKind::RadioButton, u"回転 (左に 90 度)", choice_rect(0)},
    {kLosslessFirstChoice + 1, ControlKind::RadioButton, u"回転 (180 度)", choice_rect(1)},
    {kLosslessFirstChoice + 2, ControlKind::RadioButton, u"回転 (右に 90 度)", choice_rect(2)},
    {kLosslessFirstChoice + 3, ControlKind::RadioButton, u"左右に反転", choice_rect(3)},
    {kLosslessFirstChoice + 4, ControlKind::RadioButton, u"上下に反転", choice_rect(4)},
    {kLosslessFirstChoice + 5, ControlKind::RadioButton, u"回転 (左に 90 度) + 左右に反転", choice_rect(5)},
    {kLosslessFirstChoice + 6, ControlKind::RadioButton, u"回転 (右に 90 度) + 左右に反転", choice_rect(6)},
    {kNoControlId, ControlKind::Static, u"※ 画像ファイルは上書きされます。",
     {16, kH - 14 - kButtonH - 30, kW - 16, kH - 14 - kButtonH - 10}},
    {kOkButton, ControlKind::OwnerDrawButton, u"OK", ok_rect(kW, kH)},
    {kCancelButton, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kW, kH)},
}};
static_assert(kTop + 30 + kLosslessChoiceCount * kRow < kH - 14 - kButtonH - 30, "the choices end above the note");

constexpr platform::DialogTemplate kDialog{kLosslessDialogId, u"ロスレス回転", kW, kH, kControls, kOkButton,
                                           kCancelButton};

}  // namespace

const platform::DialogTemplate& lossless_dialog() { return kDialog; }

}  // namespace tesmo::resources
