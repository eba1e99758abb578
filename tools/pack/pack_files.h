// File access of the packing run (private to tools/pack): sources read through a descriptor into
// the run's reused buffers, and the archive streamed into a temporary file that replaces the
// target only when it is complete.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/temporary_files.h"

namespace tesmo {

// A regular file opened for reading.
class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  enum class Open { Ok, Missing, NotRegular };
  // Missing: it cannot be opened; NotRegular: it is a folder or a device.
  Open open(const std::u16string& path);
  uint64_t size() const { return size_; }
  // Reads up to out.size() bytes from `offset`; the count read (short at the end of the file).
  size_t read_at(uint64_t offset, std::span<uint8_t> out) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// Up to `n` bytes at `offset` of a regular file (fewer when it is shorter); nothing when it cannot
// be opened or is not a regular file.
std::optional<std::vector<uint8_t>> read_file_range(const std::u16string& path, uint64_t offset, size_t n);

// The archive being written: a temporary file beside the target (missing folders are created),
// renamed over the target by commit(). Destroying it uncommitted removes the temporary file, so a
// failed run never leaves a partial archive and never destroys the previous one.
class ArchiveFile {
 public:
  ArchiveFile() = default;
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  bool create(const std::u16string& target);
  // Writes `data` at `offset`; skipped ranges read as zero bytes.
  bool write_at(uint64_t offset, std::span<const uint8_t> data);
  // Flushes, clears a read-only target and renames the file over it.
  bool commit();
  const std::u16string& target() const { return target16_; }

 private:
  int fd_ = -1;
  std::u16string target16_;
  std::string temp_;
  std::string target_;
  std::optional<ActiveTemporary> active_;  // released after the temporary is renamed or removed
};

}  // namespace tesmo
