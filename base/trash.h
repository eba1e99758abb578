// The user's trash, as file managers keep it: a trashed file goes to "files/NAME" of the trash
// folder and "info/NAME.trashinfo" records where it came from and when, so it can be restored.
#pragma once

#include <string>

namespace tesmo {

// The trash folder: $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash, else the account's home
// (from the password database) + "/.local/share/Trash"; empty when no absolute one is known.
std::u16string user_trash_folder();

// Moves `path` into `trash`, creating its folders when missing. A name already taken there gets
// " 2", " 3", … before its extension. A file on another file system is copied, then removed. False
// (the file stays where it was) on any failure, or when `trash` is not an absolute folder.
bool move_to_trash_folder(const std::u16string& path, const std::u16string& trash);

}  // namespace tesmo
