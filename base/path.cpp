// Path helpers: program folder, directory and name parts, extensions.
#include "base/path.h"

#include <unistd.h>

#include "base/text.h"

namespace tesmo {

std::u16string program_folder() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return directory_part(utf8_to_utf16(std::string_view(buffer, static_cast<size_t>(n))));
}

std::u16string shared_data_folder(std::u16string_view program_folder) {
  return std::u16string(program_folder) + u"../share/tesmo64/";
}

std::u16string directory_part(std::u16string_view path) {
  size_t cut = path.rfind(kPathSeparator);
  if (cut == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, cut + 1));
}

std::u16string name_part(std::u16string_view path) {
  size_t cut = path.rfind(kPathSeparator);
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

std::u16string extension_of(std::u16string_view path) {
  std::u16string name = name_part(path);
  size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos) return {};
  std::u16string ext = name.substr(dot);
  for (char16_t& c : ext) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return ext;
}

std::filesystem::path to_fs_path(std::u16string_view path) {
  return std::filesystem::path(utf16_to_utf8(path));
}

std::u16string from_fs_path(const std::filesystem::path& path) {
  return utf8_to_utf16(path.native());
}

}  // namespace tesmo
