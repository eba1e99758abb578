// File copies, moves, deletes and the Mac-file cleaning.
#include "viewer/file_moves.h"

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kMacFolder = u"__MACOSX";
constexpr std::u16string_view kMacVolumeFile = u"2EDS_~!3";

bool mac_file_name(std::u16string_view name) { return name.starts_with(u'.') || name == kMacVolumeFile; }

}  // namespace

bool same_file(const std::u16string& a, const std::u16string& b) {
  std::error_code ec;
  return fs::equivalent(to_fs_path(a), to_fs_path(b), ec) && !ec;
}

int copy_file_replacing(const std::u16string& from, const std::u16string& to) {
  if (same_file(from, to)) return 1;
  std::optional<FileBytes> bytes = read_file_bytes(from);
  if (!bytes || file_replace(to, bytes->span()) != 0) return 1;
  // What the window system's copy keeps: the last-write time and the read-only state.
  std::error_code ec;
  const fs::path source = to_fs_path(from), target = to_fs_path(to);
  const fs::file_time_type written = fs::last_write_time(source, ec);
  if (!ec) fs::last_write_time(target, written, ec);
  const fs::file_status status = fs::status(source, ec);
  if (!ec) fs::permissions(target, status.permissions(), fs::perm_options::replace, ec);
  return 0;
}

int delete_file(const std::u16string& path) {
  clear_read_only(path);
  std::error_code ec;
  fs::remove(to_fs_path(path), ec);
  return file_exists(path) ? 1 : 0;
}

int move_file(const std::u16string& from, const std::u16string& to) {
  if (copy_file_replacing(from, to) != 0) return 1;
  delete_file(from);
  return 0;
}

int32_t delete_mac_files_in(const std::u16string& folder) {
  std::error_code ec;
  std::vector<fs::path> doomed;
  fs::recursive_directory_iterator it(to_fs_path(folder), fs::directory_options::skip_permission_denied, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    const std::u16string name = from_fs_path(p.filename());
    const bool linked = it->is_symlink(ec);
    const bool folder_entry = !linked && it->is_directory(ec);
    // A link named like a Mac folder goes as a link; what it points to is never touched.
    if ((folder_entry || linked) && name == kMacFolder) {
      doomed.push_back(p);
      it.disable_recursion_pending();
    } else if (!folder_entry && mac_file_name(name)) {
      doomed.push_back(p);
    }
  }
  int32_t removed = 0;
  for (const fs::path& p : doomed) {
    std::error_code remove_ec;
    if (fs::is_symlink(fs::symlink_status(p, remove_ec))) {
      removed += fs::remove(p, remove_ec) ? 1 : 0;
    } else if (fs::is_directory(p, remove_ec)) {
      removed += fs::remove_all(p, remove_ec) > 0 ? 1 : 0;
    } else {
      removed += delete_file(from_fs_path(p)) == 0 ? 1 : 0;
    }
  }
  return removed;
}

}  // namespace tesmo
