// Pack list lines for the files of a folder.
#include "tools/pack/pack_folder_lines.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

// Relative paths of the files, with '/' between folders.
template <class Iterator>
std::vector<std::u16string> relative_files(const fs::path& root) {
  std::vector<std::u16string> out;
  std::error_code ec;
  Iterator it(root, fs::directory_options::skip_permission_denied, ec);
  for (const Iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (!it->is_regular_file(type_ec)) continue;
    out.push_back(from_fs_path(it->path().lexically_relative(root)));
  }
  return out;
}

// The sort key: the path as the lists were made with, '\\' between folders. ('\\' sorts after
// digits and capitals where '/' sorts before them.)
std::u16string sort_key(std::u16string path) {
  std::replace(path.begin(), path.end(), kPathSeparator, u'\\');
  return path;
}

bool under_svn(const std::u16string& relative) { return relative.size() > 3 && relative.starts_with(u".svn"); }

}  // namespace

std::string pack_folder_lines(const std::u16string& folder, bool with_subfolders) {
  const fs::path root = to_fs_path(folder);
  std::vector<std::u16string> files = with_subfolders ? relative_files<fs::recursive_directory_iterator>(root)
                                                      : relative_files<fs::directory_iterator>(root);
  std::sort(files.begin(), files.end(),
            [](const std::u16string& a, const std::u16string& b) { return sort_key(a) < sort_key(b); });
  std::string text;
  for (const std::u16string& f : files) {
    if (under_svn(f)) continue;
    text += '"';
    text += utf16_to_cp932(f);
    text += "\",\r\n";
  }
  return text;
}

}  // namespace tesmo
