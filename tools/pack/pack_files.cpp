// Source reads and the streamed archive file.
#include "tools/pack/pack_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/file_io.h"
#include "base/path.h"
#include "base/temporary_files.h"

namespace tesmo {
namespace fs = std::filesystem;

SourceFile::~SourceFile() {
  if (fd_ >= 0) ::close(fd_);
}

SourceFile::Open SourceFile::open(const std::u16string& path) {
  // Non-blocking, so that a pipe or device named as a source cannot stall the run before the
  // regular-file test turns it away; regular files read the same either way.
  fd_ = ::open(to_fs_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return Open::Missing;
  struct stat st {};
  if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return Open::NotRegular;
  size_ = static_cast<uint64_t>(st.st_size);
  return Open::Ok;
}

size_t SourceFile::read_at(uint64_t offset, std::span<uint8_t> out) const {
  size_t done = 0;
  while (done < out.size()) {
    ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

std::optional<std::vector<uint8_t>> read_file_range(const std::u16string& path, uint64_t offset, size_t n) {
  SourceFile file;
  if (file.open(path) != SourceFile::Open::Ok) return std::nullopt;
  uint64_t available = offset < file.size() ? file.size() - offset : 0;
  std::vector<uint8_t> data(static_cast<size_t>(std::min<uint64_t>(n, available)));
  data.resize(file.read_at(offset, data));
  return data;
}

ArchiveFile::~ArchiveFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

bool ArchiveFile::create(const std::u16string& target) {
  fs::path path = to_fs_path(target);
  std::error_code ec;
  if (path.empty() || fs::is_directory(path, ec)) return false;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  target_ = path.string();
  target16_ = target;
  remove_stale_temporaries(path);
  temp_ = temporary_name_beside(path);
  active_.emplace(temp_);
  fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool ArchiveFile::write_at(uint64_t offset, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ArchiveFile::commit() {
  if (fd_ < 0) return false;
  bool ok = ::fsync(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (ok) {
    clear_read_only(from_fs_path(target_));
    ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
  }
  if (!ok) ::unlink(temp_.c_str());
  return ok;
}

}  // namespace tesmo
