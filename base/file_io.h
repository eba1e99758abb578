// Whole-file reading and the safe file replace every writer uses: the new content goes to a
// temporary file beside the target, which is then renamed over it, so a failed save never destroys
// the old file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/aligned_block.h"

namespace tesmo {

// The whole file, or nothing when it cannot be opened or read (folders included).
std::optional<std::vector<uint8_t>> read_file(const std::u16string& path);

// Up to `max_bytes` from the start of the file (a short file gives fewer); nothing when it cannot
// be opened.
std::optional<std::vector<uint8_t>> read_file_prefix(const std::u16string& path, size_t max_bytes);

// A file's bytes in a block that is neither cleared nor copied: a large picture file is read straight
// into huge pages (fresh 4 KiB pages and zero-filling cost more than the read itself).
class FileBytes {
 public:
  FileBytes() = default;
  const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(block_.data()); }
  size_t size() const { return size_; }
  std::span<const uint8_t> span() const { return {data(), size_}; }
  operator std::span<const uint8_t>() const { return span(); }

 private:
  friend std::optional<FileBytes> read_file_bytes(const std::u16string&, size_t);
  AlignedBlock block_;
  size_t size_ = 0;
};

// Up to `max_bytes` from the start of the file, as read_file_prefix, into a FileBytes block.
std::optional<FileBytes> read_file_bytes(const std::u16string& path, size_t max_bytes = SIZE_MAX);

// Writes `data` as the complete new content of `path`: creates missing folders, clears a read-only
// target, writes a temporary file in the same folder and renames it over the target. Returns 0 on
// success, 1 on failure; on failure the previous file is left exactly as it was.
int file_replace(const std::u16string& path, std::span<const uint8_t> data);

// Copies the file `from` over `to` the same safe way (missing folders created, a read-only target
// replaced, the old target kept when the copy fails). 0 on success, 1 on failure.
int file_copy_over(const std::u16string& from, const std::u16string& to);

// Deletes a file, clearing its read-only attribute first; true when no file is left at `path`.
bool file_delete(const std::u16string& path);
// Receives the next piece of a streamed file; false when it could not be written.
using FileSink = std::function<bool(std::span<const uint8_t>)>;
// As file_replace, for content too large to hold in memory: `produce` hands the content to the
// sink piece by piece and returns false to abandon the write. Returns 0 on success, 1 when the
// temporary file cannot be made, a piece cannot be written or `produce` gives up; the previous file
// is then left exactly as it was.
int file_replace_streamed(const std::u16string& path, const std::function<bool(const FileSink&)>& produce);

bool file_exists(const std::u16string& path);     // a regular file (not a folder) exists
bool is_directory(const std::u16string& path);
bool clear_read_only(const std::u16string& path);  // adds write permission for the owner
bool set_read_only(const std::u16string& path);    // removes all write permissions

}  // namespace tesmo
