// Pack list lines for the files of a folder: what a folder dropped on the file pack module puts on
// the clipboard, ready to paste into a list.
#pragma once

#include <string>

namespace tesmo {

// One line "\"<relative path>\",\r\n" (CP932, '/' between folders) per file of `folder`, and of
// its subfolders when `with_subfolders`. Files are ordered as their paths compare with '\\' as the
// separator (UTF-16 code units), the order the lists have always had; paths relative to the folder
// that begin with ".svn" are left out. Folders themselves make no line. Empty when the folder has
// no files or cannot be read.
std::string pack_folder_lines(const std::u16string& folder, bool with_subfolders);

}  // namespace tesmo
