// The LST generator: a depth-first walk in name order, so that the same folder always gives the
// same list whatever order the file system enumerates it in.
#include "tools/lst_generator.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::u16string name;
  fs::path path;
  bool folder = false;
};

// The folder's entries sorted by name; linked folders are left out.
std::vector<Entry> sorted_entries(const fs::path& folder) {
  std::vector<Entry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    const bool folder_entry = it->is_directory(type_ec);
    if (folder_entry && it->is_symlink(type_ec)) continue;
    entries.push_back({from_fs_path(it->path().filename()), it->path(), folder_entry});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return entries;
}

void collect(const fs::path& folder, const std::u16string& relative, LstListing& out) {
  for (const Entry& e : sorted_entries(folder)) {
    const std::u16string name = relative + e.name;
    if (e.folder) {
      collect(e.path, name + u"/", out);
      continue;
    }
    out.text += '"';
    out.text += utf16_to_cp932(name);
    out.text += "\",\r\n";
    ++out.files;
  }
}

std::u16string with_separator(std::u16string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

}  // namespace

LstListing lst_listing(const std::u16string& folder) {
  LstListing listing;
  collect(to_fs_path(with_separator(folder)), u"", listing);
  return listing;
}

LstResult generate_lst(const std::u16string& folder, size_t* files) {
  const LstListing listing = lst_listing(folder);
  if (files) *files = listing.files;
  if (listing.files == 0) return LstResult::NoFiles;
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(listing.text.data()), listing.text.size());
  return file_replace(with_separator(folder) + kLstOutputName, bytes) == 0 ? LstResult::Written
                                                                          : LstResult::WriteFailed;
}

}  // namespace tesmo
