// Save, Save As and the save options dialog (162 "画像フォーマット"): the user's side of writing the
// shown picture. A save merges the alpha view (surface 2) into the picture's alpha bytes, builds the
// SaveRequest and writes surface 1 through the surface table; normally on the background job while
// frames go on, synchronously for callers that need the result at once (the close question, the
// batch runner, the lossless transform).
//
// Results: 0 started or done, 1 failed, 2 cancelled by the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/save_settings.h"

namespace tesmo {

class Document;

enum SaveMode : int32_t { kSaveModeSave = 0, kSaveModeSaveAs = 1 };

inline constexpr char16_t kUnsavablePixelFormat[] =
    u"保存できないピクセル フォーマットです。\n別名で保存してください。";
inline constexpr char16_t kSaveFailed[] = u"セーブに失敗しました。";
inline constexpr char16_t kSaveAsTitle[] = u"別名で保存";
// Asked when the format's extension leads Save As to a file other than the one the chooser
// confirmed, and that file exists: "<name>" + this text.
inline constexpr char16_t kReplaceOtherFile[] = u" は既に存在します。\n上書きしますか？";

// Save: writes the shown picture back to its file. Without `settings` (the menu command) the shown
// picture's format with the pixel layout it was opened in, adapted to whether the alpha channel
// item is enabled, quality 100, no compression; a picture that cannot be written back that way gets
// the "use Save As" message and 1. With `settings` (the batch) those are used as they are.
int save_command(Document& doc, const SaveSettings* settings, bool synchronous);

// The batch's save step writing to `path` instead of the shown file, synchronously, with `settings`
// as they are; the picture counts as saved when it is written.
int save_command_to(Document& doc, const SaveSettings& settings, const std::u16string& path);

// Save As: the save-file chooser, the format from the typed extension, the save options dialog,
// then the save to the chosen path with the format's own extension.
int save_as_command(Document& doc, bool synchronous);

// The save options dialog: fills `settings` on OK (0); 1 on Cancel or when it cannot be shown.
int save_options_dialog(Document& doc, SaveSettings& settings);

// The save body on the current view state (settings, target path, mode): merge alpha, write
// surface 1, clear the merged alpha again. 0 or 1; records whether the shown file was written.
int save_job(Document& doc);

// The end of a save: "セーブに失敗しました。" for a failure; after a save of the shown file its
// modified mark goes (and the Save item is greyed).
void save_report(Document& doc, int result);


// Where Save As writes: `chosen` with the extension of its file name (from the name's last '.')
// replaced by the first extension of `format` (".bmp", ".jpg", ".tif", …); a name without '.' gets
// it appended. A dot in a folder name is never taken for the extension.
std::u16string save_target_path(const std::u16string& chosen, int32_t format);

// The quality field's number: leading blanks, an optional sign and decimal digits (0 when there are
// none), held to 1–100. `changed` tells whether the field must be written back.
int32_t quality_from_field(std::u16string_view text, bool& changed);

}  // namespace tesmo
