// Dialog templates of the development tools (data only). These dialogs are plain: the window
// system's own background and buttons, OK 1 and Cancel 2.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

// Path Generator (168, modeless): the table type, the range, two scales; Load and Save are shown
// disabled.
inline constexpr uint16_t kPathDialogId = 168;
inline constexpr uint16_t kPathTypeCombo = 1065;
inline constexpr uint16_t kPathFromField = 1012;
inline constexpr uint16_t kPathToField = 1013;
inline constexpr uint16_t kPathScaleField = 1014;
inline constexpr uint16_t kPathScale2Field = 1015;
inline constexpr uint16_t kPathLoadButton = 1034;
inline constexpr uint16_t kPathSaveButton = 1035;
const platform::DialogTemplate& path_generator_dialog();

// Dummy File Generator (122, modeless): a zero-filled file of a size in a unit, and numbered copies
// of a file.
inline constexpr uint16_t kDummyDialogId = 122;
inline constexpr uint16_t kDummyPathField = 1012;
inline constexpr uint16_t kDummyPathBrowse = 1034;
inline constexpr uint16_t kDummySizeField = 1013;
inline constexpr uint16_t kDummyUnitBytes = 1201;
inline constexpr uint16_t kDummyUnitKiloBytes = 1202;
inline constexpr uint16_t kDummyUnitMegaBytes = 1203;
inline constexpr uint16_t kDummySourceField = 1017;
inline constexpr uint16_t kDummySourceBrowse = 1035;
inline constexpr uint16_t kDummyPrefixField = 1018;
inline constexpr uint16_t kDummyDigitsField = 1014;
inline constexpr uint16_t kDummyFromField = 1015;
inline constexpr uint16_t kDummyToField = 1016;
const platform::DialogTemplate& dummy_file_dialog();

}  // namespace tesmo::resources
