// The batch dialog's template, laid out on its 721 × 560 background: folder and extensions on top,
// the step list on the left, the operation list on the right, "←" and "→" between them.
#include "resources/batch_dialog.h"

#include <array>

#include "resources/dialog_layout.h"
#include "resources/skin_pictures.h"

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kMultipleSelection;
using platform::kNoControlId;

constexpr int kW = 721, kH = 560;
constexpr int kTop = kSkinTitleBand + 12;
constexpr int kListTop = kTop + 124, kListBottom = kH - 14 - kButtonH - 40;
constexpr int kListW = 300;
constexpr int kMiddle = kW / 2;
constexpr int kArrowW = 44, kArrowH = 21;  // one state row of the 44 × 63 pictures
constexpr int kDotsW = 25;

constexpr std::array<ControlTemplate, 17> kControls{{
    {kNoControlId, ControlKind::Static, u"対象の画像のあるフォルダー", {16, kTop, 400, kTop + 18}},
    {kBatchFolderField, ControlKind::Edit, u"", {16, kTop + 20, kW - 16 - kDotsW - 6, kTop + 42}},
    {kBatchBrowse, ControlKind::OwnerDrawButton, u"...", {kW - 16 - kDotsW, kTop + 20, kW - 16, kTop + 41}},
    {kNoControlId, ControlKind::Static, u"拡張子 (; で区切る)", {16, kTop + 50, 200, kTop + 68}},
    {kBatchExtensionField, ControlKind::Edit, u"", {16, kTop + 70, 320, kTop + 92}},
    {kBatchSubfolders, ControlKind::CheckBox, u"サブ フォルダの画像も含める", {340, kTop + 70, kW - 16, kTop + 92}},
    {kNoControlId, ControlKind::Static, u"実行する処理", {16, kListTop - 20, 16 + kListW, kListTop - 2}},
    {kBatchSteps, ControlKind::ListBox, u"", {16, kListTop, 16 + kListW, kListBottom}, 0, kMultipleSelection},
    {kBatchAdd, ControlKind::OwnerDrawButton, u"←",
     {kMiddle - kArrowW / 2, kListTop + 60, kMiddle + kArrowW / 2, kListTop + 60 + kArrowH}},
    {kBatchRemove, ControlKind::OwnerDrawButton, u"→",
     {kMiddle - kArrowW / 2, kListTop + 100, kMiddle + kArrowW / 2, kListTop + 100 + kArrowH}},
    {kNoControlId, ControlKind::Static, u"一覧", {kW - 16 - kListW, kListTop - 20, kW - 16, kListTop - 2}},
    {kBatchOperations, ControlKind::ListBox, u"", {kW - 16 - kListW, kListTop, kW - 16, kListBottom}, 0,
     kMultipleSelection},
    {kBatchOpen, ControlKind::Button, u"開く", {16, kListBottom + 8, 96, kListBottom + 30}},
    {kBatchSave, ControlKind::Button, u"保存", {104, kListBottom + 8, 184, kListBottom + 30}},
    {kNoControlId, ControlKind::Static, u"※ 画像ファイルは上書きされます。",
     {16, kH - 14 - kButtonH, 400, kH - 14}},
    {kOkButton, ControlKind::OwnerDrawButton, u"OK", ok_rect(kW, kH)},
    {kCancelButton, ControlKind::OwnerDrawButton, u"キャンセル", cancel_rect(kW, kH)},
}};
static_assert(kListBottom + 30 < kH - 14 - kButtonH, "the open and save buttons sit above OK and Cancel");

constexpr platform::DialogTemplate kDialog{kBatchDialogId, u"バッチ処理", kW, kH, kControls, kOkButton, kCancelButton,
                                           true};

}  // namespace

const platform::DialogTemplate& batch_dialog() { return kDialog; }

}  // namespace tesmo::resources
