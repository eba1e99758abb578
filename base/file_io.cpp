// Whole-file reads and the temporary-file-and-rename replace.
#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/path.h"
#include "base/temporary_files.h"
#include "base/text.h"

namespace tesmo {
namespace fs = std::filesystem;

namespace {

// Owns a POSIX file descriptor.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool write_all(int fd, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}


// Opens a regular file for reading; −1 for folders and anything that cannot be opened.
int open_regular(const std::u16string& path, size_t& size) {
  int fd = ::open(to_fs_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = static_cast<size_t>(st.st_size);
  return fd;
}

// Reads up to `n` bytes; the count read (less when the file shrank meanwhile), or −1 on an error.
ssize_t read_up_to(int fd, uint8_t* out, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::read(fd, out + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

std::optional<std::vector<uint8_t>> read_file_prefix(const std::u16string& path, size_t max_bytes) {
  size_t size = 0;
  Fd fd(open_regular(path, size));
  if (fd.get() < 0) return std::nullopt;
  std::vector<uint8_t> data(std::min(size, max_bytes));
  ssize_t got = read_up_to(fd.get(), data.data(), data.size());
  if (got < 0) return std::nullopt;
  data.resize(static_cast<size_t>(got));
  return data;
}

std::optional<FileBytes> read_file_bytes(const std::u16string& path, size_t max_bytes) {
  size_t size = 0;
  Fd fd(open_regular(path, size));
  if (fd.get() < 0) return std::nullopt;
  FileBytes bytes;
  size_t want = std::min(size, max_bytes);
  if (want > 0) {
    bytes.block_ = AlignedBlock::allocate(want);
    if (!bytes.block_) return std::nullopt;
    ssize_t got = read_up_to(fd.get(), reinterpret_cast<uint8_t*>(bytes.block_.data()), want);
    if (got < 0) return std::nullopt;
    bytes.size_ = static_cast<size_t>(got);
  }
  return bytes;
}

std::optional<std::vector<uint8_t>> read_file(const std::u16string& path) {
  return read_file_prefix(path, SIZE_MAX);
}

int file_replace(const std::u16string& path, std::span<const uint8_t> data) {
  return file_replace_streamed(path, [data](const FileSink& sink) { return sink(data); });
}

int file_replace_streamed(const std::u16string& path, const std::function<bool(const FileSink&)>& produce) {
  if (path.empty()) return 1;
  fs::path target = to_fs_path(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return 1;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  remove_stale_temporaries(target);
  const std::string temp = temporary_name_beside(target);
  const ActiveTemporary active(temp);
  Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.get() < 0) return 1;
  const int out = fd.get();
  bool ok = produce([out](std::span<const uint8_t> piece) { return write_all(out, piece); }) && ::fsync(out) == 0;
  ok = (::close(fd.release()) == 0) && ok;
  if (ok) {
    clear_read_only(path);  // the rename replaces the entry; the old mode must not carry over
    ok = ::rename(temp.c_str(), target.c_str()) == 0;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok ? 0 : 1;
}

int file_copy_over(const std::u16string& from, const std::u16string& to) {
  if (from.empty() || to.empty()) return 1;
  const fs::path source = to_fs_path(from);
  const fs::path target = to_fs_path(to);
  std::error_code ec;
  if (!fs::is_regular_file(source, ec) || fs::is_directory(target, ec)) return 1;
  if (fs::equivalent(source, target, ec)) return 0;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  remove_stale_temporaries(target);
  const std::string temp = temporary_name_beside(target);
  const ActiveTemporary active(temp);
  bool ok = fs::copy_file(source, temp, fs::copy_options::none, ec) && !ec;
  if (ok) {
    fs::permissions(temp, fs::perms::owner_write, fs::perm_options::add, ec);
    clear_read_only(to);
    ok = ::rename(temp.c_str(), target.c_str()) == 0;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok ? 0 : 1;
}

bool file_delete(const std::u16string& path) {
  const fs::path target = to_fs_path(path);
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(target, ec))) return true;
  if (fs::is_directory(fs::symlink_status(target, ec))) return false;
  clear_read_only(path);
  fs::remove(target, ec);
  return !fs::exists(fs::symlink_status(target, ec));
}

bool file_exists(const std::u16string& path) {
  std::error_code ec;
  return fs::is_regular_file(to_fs_path(path), ec);
}

bool is_directory(const std::u16string& path) {
  std::error_code ec;
  return fs::is_directory(to_fs_path(path), ec);
}

bool clear_read_only(const std::u16string& path) {
  std::error_code ec;
  fs::permissions(to_fs_path(path), fs::perms::owner_write, fs::perm_options::add, ec);
  return !ec;
}

bool set_read_only(const std::u16string& path) {
  std::error_code ec;
  fs::permissions(to_fs_path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, ec);
  return !ec;
}

}  // namespace tesmo
