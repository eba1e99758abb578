// Dialog templates of the file pack module (data only): the module itself (119, modeless, takes
// dropped files), its progress window and its result window.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

// "File Pack Module Vardo32" (119): a project number with its up-down, the list and archive
// files with browsers and editor buttons, the archive type, the export folder, outputs and prefix.
inline constexpr uint16_t kFilePackDialogId = 119;
inline constexpr uint16_t kPackNumberField = 1011;
inline constexpr uint16_t kPackNumberUpDown = 1080;
inline constexpr uint16_t kPackSaveButton = 1037;
inline constexpr uint16_t kPackListField = 1012;     // "in"
inline constexpr uint16_t kPackListBrowse = 1034;
inline constexpr uint16_t kPackArchiveField = 1013;  // "out"
inline constexpr uint16_t kPackArchiveBrowse = 1035;
inline constexpr uint16_t kPackOpenList = 1036;
inline constexpr uint16_t kPackOpenArchive = 1038;
inline constexpr uint16_t kPackTypeCombo = 1065;
inline constexpr uint16_t kPackExportField = 1015;   // "path"
inline constexpr uint16_t kPackExportBrowse = 1039;
inline constexpr uint16_t kPackPrefixField = 1014;
inline constexpr uint16_t kPackButton = 1;           // "Pack", also Enter
inline constexpr uint16_t kPackCloseId = 2;          // the close box and Esc
// The output check boxes "offset file", "size file", "id file", "def_id file", "for Script".
inline constexpr uint16_t kPackOutputChecks[5] = {1042, 1043, 1044, 1045, 1046};
const platform::DialogTemplate& file_pack_dialog();

// "Pack ..." (modal): the base folder, the current file, the bar and the percentage; polled by
// its timer.
inline constexpr uint16_t kPackProgressDialogId = 220;
inline constexpr uint16_t kPackProgressBaseText = 1048;
inline constexpr uint16_t kPackProgressFileText = 1046;
inline constexpr uint16_t kPackProgressBar = 1043;
inline constexpr uint16_t kPackProgressPercent = 1049;
const platform::DialogTemplate& pack_progress_dialog();

// "Vardo32 - Result" (modal): the run's messages, one line each, and Close.
inline constexpr uint16_t kPackResultDialogId = 221;
inline constexpr uint16_t kPackResultList = 1032;
inline constexpr uint16_t kPackResultClose = 1034;
const platform::DialogTemplate& pack_result_dialog();

}  // namespace tesmo::resources
