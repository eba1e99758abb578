// File-system path helpers. Paths are UTF-16 and split at the native separator '/'; texts that only
// look like paths (pack list names, include paths) keep their own '\\' rules elsewhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tesmo {

constexpr char16_t kPathSeparator = u'/';
constexpr size_t kMaxPath = 260;  // the longest path the stored records can hold, in UTF-16 units

// The running executable's folder with a trailing separator; empty when it cannot be found.
std::u16string program_folder();

// The folder of the data the program ships beside its executables (the manual, the icons): the
// same place relative to the executable in the build tree and in an installed copy, "bin/../share/tesmo64/".
std::u16string shared_data_folder(std::u16string_view program_folder);

// `path` cut after its last separator (kept); empty when it has none.
std::u16string directory_part(std::u16string_view path);

// What follows the last separator (the whole path when it has none).
std::u16string name_part(std::u16string_view path);

// The extension of the name part from its last dot, dot included, with A–Z lower-cased;
// empty when the name has no dot.
std::u16string extension_of(std::u16string_view path);

// Conversion to and from the library's path type (UTF-8 on this system).
std::filesystem::path to_fs_path(std::u16string_view path);
std::u16string from_fs_path(const std::filesystem::path& path);

}  // namespace tesmo
