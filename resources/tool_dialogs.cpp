// The development tools' dialog templates.
#include "resources/tool_dialogs.h"

#include <array>

namespace tesmo::resources {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kNoControlId;

constexpr uint16_t kOk = 1, kCancel = 2;

// 300 × 186: a label column on the left, the fields beside it, the four buttons along the bottom.
constexpr int kPathW = 300, kPathH = 186;
constexpr int kButtonTop = kPathH - 34, kButtonBottom = kPathH - 12;
constexpr std::array<ControlTemplate, 14> kPathControls{{
    {kNoControlId, ControlKind::Static, u"Type", {12, 16, 76, 34}},
    {kPathTypeCombo, ControlKind::ComboBox, u"", {80, 12, 288, 36}},
    {kNoControlId, ControlKind::Static, u"Range", {12, 52, 76, 70}},
    {kPathFromField, ControlKind::Edit, u"", {80, 48, 176, 72}},
    {kNoControlId, ControlKind::Static, u"-", {180, 52, 188, 70}},
    {kPathToField, ControlKind::Edit, u"", {192, 48, 288, 72}},
    {kNoControlId, ControlKind::Static, u"Scale", {12, 88, 76, 106}},
    {kPathScaleField, ControlKind::Edit, u"", {80, 84, 176, 108}},
    {kNoControlId, ControlKind::Static, u",", {180, 88, 188, 106}},
    {kPathScale2Field, ControlKind::Edit, u"", {192, 84, 288, 108}},
    {kPathLoadButton, ControlKind::Button, u"Load", {12, kButtonTop, 76, kButtonBottom}},
    {kPathSaveButton, ControlKind::Button, u"Save", {80, kButtonTop, 144, kButtonBottom}},
    {kOk, ControlKind::Button, u"OK", {156, kButtonTop, 220, kButtonBottom}},
    {kCancel, ControlKind::Button, u"Cancel", {224, kButtonTop, 288, kButtonBottom}},
}};
constexpr platform::DialogTemplate kPath{kPathDialogId, u"Path Generator", kPathW, kPathH, kPathControls, kOk, kCancel};

// 400 × 298: the dummy file's group above the copies' group, O.K. and Cancel at the bottom right.
constexpr int kDummyW = 400, kDummyH = 298;
constexpr int kFileTop = 8, kCopyTop = 118;
constexpr ControlTemplate label(int left, int top, int right, std::u16string_view text) {
  return {kNoControlId, ControlKind::Static, text, {left, top + 4, right, top + 22}};
}
constexpr ControlTemplate field(uint16_t id, int left, int top, int right) {
  return {id, ControlKind::Edit, u"", {left, top, right, top + 24}};
}
constexpr std::array<ControlTemplate, 23> kDummyControls{{
    {kNoControlId, ControlKind::GroupBox, u"Dummy File", {8, kFileTop, 392, kFileTop + 102}},
    label(20, kFileTop + 22, 76, u"File"),
    field(kDummyPathField, 80, kFileTop + 22, 340),
    {kDummyPathBrowse, ControlKind::Button, u"...", {346, kFileTop + 22, 380, kFileTop + 46}},
    label(20, kFileTop + 58, 76, u"Size"),
    field(kDummySizeField, 80, kFileTop + 58, 160),
    {kDummyUnitBytes, ControlKind::RadioButton, u"Bytes", {168, kFileTop + 60, 230, kFileTop + 80}},
    {kDummyUnitKiloBytes, ControlKind::RadioButton, u"K Bytes", {234, kFileTop + 60, 306, kFileTop + 80}},
    {kDummyUnitMegaBytes, ControlKind::RadioButton, u"M Bytes", {310, kFileTop + 60, 388, kFileTop + 80}},
    {kNoControlId, ControlKind::GroupBox, u"Copy", {8, kCopyTop, 392, kCopyTop + 134}},
    label(20, kCopyTop + 22, 76, u"Source"),
    field(kDummySourceField, 80, kCopyTop + 22, 340),
    {kDummySourceBrowse, ControlKind::Button, u"...", {346, kCopyTop + 22, 380, kCopyTop + 46}},
    label(20, kCopyTop + 56, 76, u"Prefix"),
    field(kDummyPrefixField, 80, kCopyTop + 56, 220),
    label(232, kCopyTop + 56, 286, u"Digits"),
    field(kDummyDigitsField, 290, kCopyTop + 56, 380),
    label(20, kCopyTop + 90, 76, u"Number"),
    field(kDummyFromField, 80, kCopyTop + 90, 170),
    label(176, kCopyTop + 90, 186, u"-"),
    field(kDummyToField, 190, kCopyTop + 90, 280),
    {kOk, ControlKind::Button, u"O.K.", {224, kDummyH - 34, 304, kDummyH - 12}},
    {kCancel, ControlKind::Button, u"Cancel", {310, kDummyH - 34, 390, kDummyH - 12}},
}};
static_assert(kCopyTop + 134 < kDummyH - 34, "the copy group ends above the buttons");
constexpr platform::DialogTemplate kDummy{kDummyDialogId, u"Dummy File Generator", kDummyW, kDummyH, kDummyControls,
                                          kOk, kCancel};

}  // namespace

const platform::DialogTemplate& path_generator_dialog() { return kPath; }
const platform::DialogTemplate& dummy_file_dialog() { return kDummy; }

}  // namespace tesmo::resources
