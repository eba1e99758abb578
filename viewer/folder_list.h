// The folder list: the image files of the shown file's folder, sorted by name, that the file steps
// walk through, and the marker state kept for each of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmo {

struct FolderEntry {
  std::u16string path;  // full path
  std::u16string name;  // the part after the last separator
  uint32_t hash = 0;    // path_hash(path)
  bool directory = false;
};

// Marker states: 0 none, 1 one star, 2 two stars.
struct MarkerEntry {
  int32_t state = 0;
};

// h := h × 37 + c over the UTF-16 units in wrapping 32-bit arithmetic, then its magnitude. Only a
// shortcut for lookups: equal hashes are always confirmed by comparing the paths.
uint32_t path_hash(std::u16string_view path);

// True when the extension (from the last dot, A–Z lower-cased) is one of the eighteen image
// extensions the readers know.
bool has_image_extension(std::u16string_view path);

// The image files directly inside `folder` (which ends with a separator), no subfolders, sorted by
// name in ordinal UTF-16 order (case-sensitive); equal names keep their scan order. Empty when the
// folder cannot be read.
std::vector<FolderEntry> scan_image_folder(const std::u16string& folder);

// The list the file steps walk for a shown `path`: its folder scanned, with `path` added at the end
// when the scan does not hold it.
std::vector<FolderEntry> folder_list_of(const std::u16string& path);

// One entry for `path`.
FolderEntry make_folder_entry(const std::u16string& path);

// The position of `path` in `entries` (hash, then exact comparison), or −1.
int32_t find_folder_entry(const std::vector<FolderEntry>& entries, std::u16string_view path);

// The first file found in `folder` and its subfolders, depth-first in listing order (any
// extension); nothing when it holds no file. Linked subfolders are not entered, so a link back to
// a parent cannot loop.
std::optional<std::u16string> first_file_in(const std::u16string& folder);

}  // namespace tesmo
