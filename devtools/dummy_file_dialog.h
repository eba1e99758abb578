// The Dummy File Generator dialog (122, modeless, dialog slot 5): a zero-filled file of a chosen
// size, and numbered copies of a file (tools/dummy_file.h does the writing).
#pragma once

namespace tesmo {

class DevTools;

inline constexpr char16_t kDummyFileCaption[] = u"Dummy File Generator";
inline constexpr char16_t kDummyFileFailed[] = u"ダミー ファイルの生成に失敗しました。";
inline constexpr char16_t kDummyFileDone[] = u"ダミー ファイルを生成しました。";

// Opens the dialog (unit M Bytes, digits 4, numbers 0 to 0); command 40262 stays greyed while it is
// open. The size box is held to its unit's range as it is typed. O.K. writes the dummy file when a
// path is given, then the numbered copies when a source is given and digits is above 0, and
// reports "ダミー ファイルを生成しました。"; a file that cannot be written stops the run with
// "ダミー ファイルの生成に失敗しました。". Cancel closes. 0 when it opened; 1 when it is open
// already or cannot be made.
int open_dummy_file_generator(DevTools& tools);

}  // namespace tesmo
