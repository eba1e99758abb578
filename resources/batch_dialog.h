// The batch dialog (126 "バッチ処理"): the folder and extensions of the pictures, the list of steps
// to run and the list of operations they are taken from, opening and saving step lists.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

inline constexpr uint16_t kBatchDialogId = 126;
inline constexpr uint16_t kBatchFolderField = 1012;     // the pictures' folder
inline constexpr uint16_t kBatchExtensionField = 1013;  // "*.bmp;*.png"
inline constexpr uint16_t kBatchSubfolders = 1040;      // "サブ フォルダの画像も含める"
inline constexpr uint16_t kBatchSteps = 1032;           // "実行する処理", several may be selected
inline constexpr uint16_t kBatchOperations = 1033;      // "一覧", several may be selected
inline constexpr uint16_t kBatchBrowse = 1034;          // "..." for the folder
inline constexpr uint16_t kBatchAdd = 1035;             // "←": operations become steps
inline constexpr uint16_t kBatchRemove = 1036;          // "→": the selected steps go
inline constexpr uint16_t kBatchOpen = 1037;            // "開く" a step list
inline constexpr uint16_t kBatchSave = 1046;            // "保存" the step list
const platform::DialogTemplate& batch_dialog();

}  // namespace tesmo::resources
