// Copying, moving and deleting the files the viewer's file commands act on, and the cleaning of
// Mac-specific files from a folder tree. A copy is written like every other output of the system
// (a temporary file beside the target, renamed over it), so a failed copy never damages the target,
// and a move deletes its source only after the copy is complete.
#pragma once

#include <cstdint>
#include <string>

namespace tesmo {

// Copies `from` to `to`, replacing a file there and creating missing folders. The copy keeps the
// source's last-write time and permissions. 0 on success; 1 (the target as it was) on failure, and
// also when both name the same file.
int copy_file_replacing(const std::u16string& from, const std::u16string& to);

// Deletes a file, clearing its read-only attribute first. 0 when no file is left at `path`.
int delete_file(const std::u16string& path);

// Copies `from` to `to` and then deletes `from`. 1 when the copy fails: the source stays.
int move_file(const std::u16string& from, const std::u16string& to);

// True when both paths exist and name the same file (through links and ".." as well).
bool same_file(const std::u16string& a, const std::u16string& b);

// The Mac-specific files of `folder` and all its subfolders: files whose name starts with '.' or is
// exactly "2EDS_~!3", and folders named exactly "__MACOSX" with their whole content. Linked folders
// are not entered (a link is removed as an entry, never followed). Returns how many entries were
// removed.
int32_t delete_mac_files_in(const std::u16string& folder);

}  // namespace tesmo
