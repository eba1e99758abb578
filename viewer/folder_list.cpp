// The folder list of the file steps: which files belong, their order and their lookup.
#include "viewer/folder_list.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "base/path.h"

namespace tesmo {
namespace {

// The extensions of the readers' table; ".rgb", ".rgba" and ".bw" are SGI's.
constexpr std::array<std::u16string_view, 18> kImageExtensions = {
    u".bmp", u".ico", u".cur", u".dds", u".fnt", u".jab", u".jpg",  u".jpeg", u".pcx",
    u".pic", u".png", u".psd", u".sgi", u".rgb", u".rgba", u".bw",  u".tga",  u".tif",
};

}  // namespace

uint32_t path_hash(std::u16string_view path) {
  uint32_t h = 0;  // unsigned arithmetic wraps exactly as the signed original does
  for (char16_t c : path) h = h * 37u + c;
  const int32_t s = static_cast<int32_t>(h);
  return s < 0 ? 0u - h : h;
}

bool has_image_extension(std::u16string_view path) {
  const std::u16string ext = extension_of(path);
  return std::find(kImageExtensions.begin(), kImageExtensions.end(), ext) != kImageExtensions.end();
}

std::vector<FolderEntry> folder_list_of(const std::u16string& path) {
  std::vector<FolderEntry> list = scan_image_folder(directory_part(path));
  if (find_folder_entry(list, path) < 0) list.push_back(make_folder_entry(path));
  return list;
}

FolderEntry make_folder_entry(const std::u16string& path) {
  return FolderEntry{path, name_part(path), path_hash(path), false};
}

std::vector<FolderEntry> scan_image_folder(const std::u16string& folder) {
  std::vector<FolderEntry> entries;
  std::error_code ec;
  std::filesystem::directory_iterator it(to_fs_path(folder), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code type_error;
    if (!it->is_regular_file(type_error)) continue;
    std::u16string name = from_fs_path(it->path().filename());
    if (!has_image_extension(name)) continue;
    entries.push_back(make_folder_entry(folder + name));
  }
  // Ordinal comparison of the code units; a stable sort keeps equal names in scan order.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

int32_t find_folder_entry(const std::vector<FolderEntry>& entries, std::u16string_view path) {
  const uint32_t h = path_hash(path);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].hash == h && entries[i].path == path) return static_cast<int32_t>(i);
  }
  return -1;
}

std::optional<std::u16string> first_file_in(const std::u16string& folder) {
  std::error_code ec;
  std::filesystem::directory_iterator it(to_fs_path(folder), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code type_error;
    const std::u16string path = from_fs_path(it->path());
    if (it->is_symlink(type_error) && it->is_directory(type_error)) continue;
    if (it->is_directory(type_error)) {
      if (auto found = first_file_in(path + u"/")) return found;
    } else if (it->is_regular_file(type_error)) {
      return path;
    }
  }
  return std::nullopt;
}

}  // namespace tesmo
