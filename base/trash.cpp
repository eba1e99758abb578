#include "base/trash.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "base/path.h"
#include "base/text.h"
#include "base/user_folders.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxNameTries = 10000;

// The Path line's value: the absolute path with every byte outside the unreserved set and '/'
// written as %XX.
std::string escaped_path(const std::string& path) {
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                       c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string deletion_date() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// The n-th candidate name: NAME, then "STEM 2.EXT", "STEM 3.EXT", …
std::string candidate(const fs::path& name, int n) {
  if (n == 1) return name.string();
  return name.stem().string() + " " + std::to_string(n) + name.extension().string();
}

// Reserves a name by creating its info file exclusively; returns the name, empty when none could be made.
std::string reserve_name(const fs::path& info, const fs::path& name, const std::string& record) {
  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string chosen = candidate(name, n);
    const fs::path file = info / (chosen + ".trashinfo");
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return {};
    }
    const bool written = ::write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
    ::close(fd);
    if (written) return chosen;
    fs::remove(file);
    return {};
  }
  return {};
}

// Renames `from` to `to`; across file systems a copy, then the original removed.
bool move_file(const fs::path& from, const fs::path& to) {
  std::error_code e;
  fs::rename(from, to, e);
  if (!e) return true;
  if (e != std::errc::cross_device_link) return false;
  if (!fs::copy_file(from, to, fs::copy_options::none, e) || e) {
    fs::remove(to, e);
    return false;
  }
  if (!fs::remove(from, e) || e) {
    fs::remove(to, e);
    return false;
  }
  return true;
}

}  // namespace

std::u16string user_trash_folder() {
  const std::u16string data = user_data_folder();
  return data.empty() ? data : data + u"/Trash";
}

bool move_to_trash_folder(const std::u16string& path, const std::u16string& trash) {
  const fs::path root = to_fs_path(trash);
  if (!root.is_absolute()) return false;
  std::error_code e;
  const fs::path source = fs::absolute(to_fs_path(path), e);
  if (e || !fs::is_regular_file(fs::symlink_status(source, e)) || e) return false;
  const fs::path files = root / "files", info = root / "info";
  if (!fs::exists(root, e)) {  // a new trash is the user's alone
    fs::create_directories(root, e);
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::replace, e);
  }
  fs::create_directories(files, e);
  fs::create_directories(info, e);
  if (!fs::is_directory(files, e) || !fs::is_directory(info, e)) return false;
  const std::string record =
      "[Trash Info]\nPath=" + escaped_path(source.string()) + "\nDeletionDate=" + deletion_date() + "\n";
  const std::string name = reserve_name(info, source.filename(), record);
  if (name.empty()) return false;
  if (move_file(source, files / name)) return true;
  fs::remove(info / (name + ".trashinfo"), e);
  return false;
}

}  // namespace tesmo
