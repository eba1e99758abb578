// Dialog templates of the file commands and the information dialogs (data only): Rename (149), File
// Information (147), Exif Information (146), About (153) and Preferences (137). Each is laid out on
// its background picture (resources/skin_pictures.h); the picture is stretched where the dialog is
// larger (the Exif list is taller than its background).
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

// Rename (149): the new name of the shown file.
inline constexpr uint16_t kRenameDialogId = 149;
inline constexpr uint16_t kRenameField = 1012;
const platform::DialogTemplate& rename_dialog();

// File Information (147): read-only fields, in the order of kFileInfoFields.
inline constexpr uint16_t kFileInfoDialogId = 147;
inline constexpr uint16_t kFileInfoName = 1012;
inline constexpr uint16_t kFileInfoFolder = 1013;
inline constexpr uint16_t kFileInfoIndex = 1014;
inline constexpr uint16_t kFileInfoFormat = 1015;
inline constexpr uint16_t kFileInfoDetail = 1016;
inline constexpr uint16_t kFileInfoCompression = 1017;
inline constexpr uint16_t kFileInfoSize = 1018;
inline constexpr uint16_t kFileInfoColours = 1019;
inline constexpr uint16_t kFileInfoFileSize = 1020;
inline constexpr uint16_t kFileInfoFileTime = 1029;
inline constexpr uint16_t kFileInfoLoadTime = 1051;
inline constexpr std::array<uint16_t, 11> kFileInfoFields = {
    kFileInfoName,   kFileInfoFolder,   kFileInfoIndex,    kFileInfoFormat,   kFileInfoDetail,   kFileInfoCompression,
    kFileInfoSize,   kFileInfoColours,  kFileInfoFileSize, kFileInfoFileTime, kFileInfoLoadTime,
};
const platform::DialogTemplate& file_info_dialog();

// Exif Information (146): one report list of the file's Exif items, in four columns: the row's
// icon, "項目", "情報" and "オフセット".
inline constexpr uint16_t kExifDialogId = 146;
inline constexpr uint16_t kExifList = 1004;
inline constexpr std::array<platform::ListColumn, 4> kExifColumns = {{
    {u"", 20}, {u"項目", 196}, {u"情報", 196}, {u"オフセット", 128},
}};
const platform::DialogTemplate& exif_dialog();

// About (153): three labels and their values.
inline constexpr uint16_t kAboutDialogId = 153;
const platform::DialogTemplate& about_dialog();

// Preferences (137): the fields of the settings record a user edits, with "..." buttons that choose
// a folder or a program.
inline constexpr uint16_t kPreferencesDialogId = 137;
inline constexpr uint16_t kPrefPluginFolder = 1012, kPrefPluginBrowse = 1034;
inline constexpr uint16_t kPrefWheelInterval = 1013;
inline constexpr uint16_t kPrefGridSpacing = 1014, kPrefGridDivisions = 1015;
inline constexpr uint16_t kPrefCameraModel = 1016, kPrefCameraBrowse = 1035;
inline constexpr uint16_t kPrefCameraPattern = 1018;
inline constexpr uint16_t kPrefImageEditor1 = 1029, kPrefImageEditor1Browse = 1037;
inline constexpr uint16_t kPrefImageEditor2 = 1051, kPrefImageEditor2Browse = 1046;
inline constexpr uint16_t kPrefBinaryEditor = 1050, kPrefBinaryEditorBrowse = 1038;
inline constexpr uint16_t kPrefTextEditor = 1020, kPrefTextEditorBrowse = 1039;
inline constexpr uint16_t kPrefShaderCompiler = 1021, kPrefShaderCompilerBrowse = 1040;
// Every "..." button, drawn with the dialog's "..." picture.
inline constexpr std::array<uint16_t, 7> kPrefBrowseButtons = {
    kPrefPluginBrowse,       kPrefCameraBrowse,       kPrefImageEditor1Browse,   kPrefImageEditor2Browse,
    kPrefBinaryEditorBrowse, kPrefTextEditorBrowse,   kPrefShaderCompilerBrowse,
};
const platform::DialogTemplate& preferences_dialog();

}  // namespace tesmo::resources
