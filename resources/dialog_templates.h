// Dialog templates of the viewer (data only): id, caption, client size and controls by id. The
// skinned dialogs are laid out on their background pictures (resources/skin_pictures.h): controls
// stay below the title band, the OK (1097) and Cancel (1098) buttons are owner-drawn, one state
// row of the button picture high.
#pragma once

#include <cstdint>

#include "platform/dialog.h"
#include "resources/batch_dialog.h"
#include "resources/lossless_dialog.h"
#include "resources/geometry_dialogs.h"  // the geometry edits' dialogs
#include "resources/file_dialogs.h"  // Rename, File and Exif Information, About, Preferences
#include "resources/file_pack_dialogs.h"
#include "resources/falling_dialogs.h"
#include "resources/tool_dialogs.h"

namespace tesmo::resources {

// Arbitrary zoom (159): the zoom in percent, 1–1600.
inline constexpr uint16_t kZoomDialogId = 159;
inline constexpr uint16_t kZoomField = 1001;
const platform::DialogTemplate& zoom_dialog();

// New picture (148): width and height in pixels, 24 or 32 bits.
inline constexpr uint16_t kNewDialogId = 148;
inline constexpr uint16_t kNewWidthField = 1012;
inline constexpr uint16_t kNewHeightField = 1013;
inline constexpr uint16_t kNewBits24 = 1201;
inline constexpr uint16_t kNewBits32 = 1202;
const platform::DialogTemplate& new_dialog();

// Key Assignment (167): one combo box per mouse button and wheel slot, 1065–1071 in the order
// middle, X1, X2, wheel forward, wheel backward, Control + wheel forward, Control + wheel backward.
inline constexpr uint16_t kKeyAssignmentDialogId = 167;
inline constexpr uint16_t kFirstActionCombo = 1065;
inline constexpr int kActionComboCount = 7;
const platform::DialogTemplate& key_assignment_dialog();

// Image format (162): the save options of Save As and of the batch's save step.
inline constexpr uint16_t kSaveOptionsDialogId = 162;
inline constexpr uint16_t kSaveFormatCombo = 1065;    // group "画像フォーマット"
inline constexpr uint16_t kSaveBitsCombo = 1066;      // group "ビット深度"
inline constexpr uint16_t kSaveQualityField = 1012;   // group "圧縮", label "画質 (1 ～ 100)"
inline constexpr uint16_t kSaveCompressCheck = 1040;  // "圧縮する"
const platform::DialogTemplate& save_options_dialog();

// Effect parameters (125, modeless): four rows of label, track bar and value box, with a "+" link
// box between neighbouring rows. The caption is replaced by the effect's name.
inline constexpr uint16_t kEffectDialogId = 125;
inline constexpr uint16_t kEffectLabels[4] = {1048, 1046, 1049, 1050};
inline constexpr uint16_t kEffectSliders[4] = {1063, 1064, 1065, 1066};
inline constexpr uint16_t kEffectFields[4] = {1012, 1013, 1014, 1015};
inline constexpr uint16_t kEffectLinks[3] = {1040, 1041, 1042};
const platform::DialogTemplate& effect_dialog();

}  // namespace tesmo::resources
