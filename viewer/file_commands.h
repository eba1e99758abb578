// The commands that act on the shown file: delete (to the trash or for good), rename, copy or move
// to a folder, the properties sheet, and the cleaning of Mac-specific files from a folder tree.
// Results: 0 done, 1 failed or nothing to do, 2 cancelled by the user.
#pragma once

#include <string>

namespace tesmo {

class Viewer;

inline constexpr char16_t kDeleteFailed[] = u"ファイルが削除できませんでした。";
inline constexpr char16_t kTrashQuestion[] = u" をごみ箱に移動しますか？";  // after the file's name
inline constexpr char16_t kRenameTargetExists[] = u"指定されたファイルは既に存在します。\n別の名前を指定してください。";
inline constexpr char16_t kCopyOverwrite[] =
    u"コピー先のフォルダーには、既に同じファイルが存在します。\nファイルを上書きしますか？";
inline constexpr char16_t kMoveOverwrite[] =
    u"移動先のフォルダーには、既に同じファイルが存在します。\nファイルを上書きしますか？";
inline constexpr char16_t kMacFilesDeleted[] = u"Mac 固有ファイルを削除しました。";

// Deletes the shown file (`permanent`: for good, clearing its read-only attribute; otherwise to the
// user's trash after "NAME をごみ箱に移動しますか？" is answered Yes; No returns 2) and shows the next file of the folder in its place: the entry now at the shown position,
// or the new last one when the last was deleted, going on past files that do not open (wrapping
// with Loop). The only file of a folder leaves the empty window. A file that stays reports
// kDeleteFailed and keeps the view.
int delete_shown_file(Viewer& viewer, bool permanent);

// Renames the shown file within its folder through the Rename dialog (the name without its
// extension selected). Unsaved changes are saved first (No cancels). The same name does nothing; an
// existing name is refused with kRenameTargetExists. The file is copied to the new name and then
// deleted; the shown path, the folder-list entry and the title follow.
int rename_shown_file(Viewer& viewer);

// Copies the shown file into a chosen folder (asking before replacing a file there) and remembers
// the folder. Unsaved changes are saved first (No cancels).
int copy_to_folder(Viewer& viewer);
// The same, then deletes the shown file (only after a complete copy) and steps to the next file.
int move_to_folder(Viewer& viewer);

// The shell's properties sheet of the shown file.
int show_properties(Viewer& viewer);

// Removes the Mac-specific files from a chosen folder and its subfolders, remembers the folder and
// reports kMacFilesDeleted.
int delete_mac_files(Viewer& viewer);

}  // namespace tesmo
