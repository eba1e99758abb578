// The development tools menu: Dummy File Generator (40262), Falling Object Controller (40263), File
// Pack Module (40264), Path Generator (40640) and LST Generator (40648): the ids the command table
// has no row for come here.
#pragma once

#include <cstdint>

namespace tesmo {

class DevTools;

inline constexpr char16_t kLstFolderTitle[] = u"LST ファイルに登録するフォルダーを選択してください。";
inline constexpr char16_t kLstDone[] = u"LST ファイルを生成しました。";
inline constexpr char16_t kLstFailed[] = u"LST ファイルを生成できませんでした。";


// Runs development tool command `id`; other ids are ignored.
void tool_menu_command(DevTools& tools, uint16_t id);

// The LST generator: asks for a folder and writes the pack list of every file below it to
// "output.lst" there (tools/lst_generator.h). Reports "LST ファイルを生成しました。", or warns
// "LST ファイルを生成できませんでした。" when no file was found or the list cannot be written
// (caption "Tesmo64"). 0 written, 1 not written, 2 cancelled.
int lst_generator_command(DevTools& tools);

}  // namespace tesmo
