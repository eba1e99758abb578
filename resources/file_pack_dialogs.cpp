// The file pack module's dialog templates.
#include "resources/file_pack_dialogs.h"

#include <array>

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

// Rows inside the two groups: a label in the left column, the field, "..." and an editor button.
constexpr int kLabelL = 20, kFieldL = 60, kFieldR = 340, kDotsL = 344, kDotsR = 372, kSideL = 380, kSideR = 460;
constexpr platform::Rect label_at(int top) { return {kLabelL, top + 4, kFieldL - 4, top + 22}; }
constexpr platform::Rect field_at(int top, int right = kFieldR) { return {kFieldL, top, right, top + 22}; }
constexpr platform::Rect dots_at(int top) { return {kDotsL, top, kDotsR, top + 22}; }
constexpr platform::Rect side_at(int top) { return {kSideL, top, kSideR, top + 22}; }
constexpr platform::Rect check_at(int column, int top) { return {20 + column * 140, top, 150 + column * 140, top + 20}; }

constexpr int kPackW = 480, kPackH = 340;
constexpr int kFileTop = 42, kExportTop = 156;
constexpr int kInTop = kFileTop + 20, kOutTop = kInTop + 28, kTypeTop = kOutTop + 28;
constexpr int kPathTop = kExportTop + 20, kChecksTop = kPathTop + 30, kPrefixTop = kChecksTop + 52;

constexpr std::array<ControlTemplate, 27> kPackControls{{
    {kNoControlId, ControlKind::Static, u"project", {12, 14, 68, 30}},
    {kPackNumberField, ControlKind::Edit, u"0", {72, 10, 122, 32}},
    {kPackNumberUpDown, ControlKind::UpDown, u"", {122, 10, 140, 32}, kPackNumberField},
    {kPackSaveButton, ControlKind::Button, u"Save", {150, 10, 230, 32}},
    {kNoControlId, ControlKind::GroupBox, u"file", {8, kFileTop, kPackW - 8, kExportTop - 8}},
    {kNoControlId, ControlKind::Static, u"in", label_at(kInTop)},
    {kPackListField, ControlKind::Edit, u"", field_at(kInTop)},
    {kPackListBrowse, ControlKind::Button, u"...", dots_at(kInTop)},
    {kPackOpenList, ControlKind::Button, u"Open LST", side_at(kInTop)},
    {kNoControlId, ControlKind::Static, u"out", label_at(kOutTop)},
    {kPackArchiveField, ControlKind::Edit, u"", field_at(kOutTop)},
    {kPackArchiveBrowse, ControlKind::Button, u"...", dots_at(kOutTop)},
    {kPackOpenArchive, ControlKind::Button, u"Open DAT", side_at(kOutTop)},
    {kNoControlId, ControlKind::Static, u"Type", label_at(kTypeTop)},
    {kPackTypeCombo, ControlKind::ComboBox, u"", field_at(kTypeTop, 260)},
    {kNoControlId, ControlKind::GroupBox, u"export", {8, kExportTop, kPackW - 8, kPrefixTop + 36}},
    {kNoControlId, ControlKind::Static, u"path", label_at(kPathTop)},
    {kPackExportField, ControlKind::Edit, u"", field_at(kPathTop)},
    {kPackExportBrowse, ControlKind::Button, u"...", dots_at(kPathTop)},
    {kPackOutputChecks[0], ControlKind::CheckBox, u"offset file", check_at(0, kChecksTop)},
    {kPackOutputChecks[1], ControlKind::CheckBox, u"size file", check_at(1, kChecksTop)},
    {kPackOutputChecks[2], ControlKind::CheckBox, u"id file", check_at(2, kChecksTop)},
    {kPackOutputChecks[3], ControlKind::CheckBox, u"def_id file", check_at(0, kChecksTop + 24)},
    {kPackOutputChecks[4], ControlKind::CheckBox, u"for Script", check_at(1, kChecksTop + 24)},
    {kNoControlId, ControlKind::Static, u"prefix", label_at(kPrefixTop)},
    {kPackPrefixField, ControlKind::Edit, u"", field_at(kPrefixTop, 260)},
    {kPackButton, ControlKind::Button, u"Pack", {kPackW - 100, kPackH - 34, kPackW - 12, kPackH - 8}},
}};
static_assert(kPrefixTop + 36 < kPackH - 34, "the export group ends above Pack");
constexpr platform::DialogTemplate kPack{kFilePackDialogId, u"File Pack Module Vardo32", kPackW, kPackH, kPackControls,
                                         kPackButton, kPackCloseId, true};

constexpr int kProgressW = 360, kProgressH = 92;
constexpr std::array<ControlTemplate, 4> kProgressControls{{
    {kPackProgressBaseText, ControlKind::Static, u"", {12, 10, kProgressW - 12, 28}},
    {kPackProgressFileText, ControlKind::Static, u"", {12, 32, kProgressW - 12, 50}},
    {kPackProgressBar, ControlKind::ProgressBar, u"", {12, 58, 230, 78}},
    {kPackProgressPercent, ControlKind::Static, u"", {238, 58, kProgressW - 12, 78}},
}};
constexpr uint16_t kProgressTickMs = 15;  // about one frame: the texts follow the run closely
constexpr platform::DialogTemplate kProgress{kPackProgressDialogId, u"Pack ...", kProgressW, kProgressH,
                                             kProgressControls, 1, 2, false, kProgressTickMs};

constexpr int kResultW = 480, kResultH = 280;
constexpr std::array<ControlTemplate, 2> kResultControls{{
    {kPackResultList, ControlKind::ListBox, u"", {8, 8, kResultW - 8, kResultH - 44}},
    {kPackResultClose, ControlKind::Button, u"Close", {kResultW - 96, kResultH - 34, kResultW - 8, kResultH - 8}},
}};
constexpr platform::DialogTemplate kResult{kPackResultDialogId, u"Vardo32 - Result", kResultW, kResultH,
                                           kResultControls, kPackResultClose, kPackResultClose};

}  // namespace

const platform::DialogTemplate& file_pack_dialog() { return kPack; }
const platform::DialogTemplate& pack_progress_dialog() { return kProgress; }
const platform::DialogTemplate& pack_result_dialog() { return kResult; }

}  // namespace tesmo::resources
