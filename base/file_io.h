// Whole-file reading and the safe file replace every writer uses: the new content goes to a
// temporary file beside the target, which is then renamed over it, so a failed save never destroys
// the old file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesmo {

// The whole file, or nothing when it cannot be opened or read (folders included).
std::optional<std::vector<uint8_t>> read_file(const std::u16string& path);

// Up to `max_bytes` from the start of the file (a short file gives fewer); nothing when it cannot
// be opened.
std::optional<std::vector<uint8_t>> read_file_prefix(const std::u16string& path, size_t max_bytes);

// Writes `data` as the complete new content of `path`: creates missing folders, clears a read-only
// target, writes a temporary file in the same folder and renames it over the target. Returns 0 on
// success, 1 on failure; on failure the previous file is left exactly as it was.
int file_replace(const std::u16string& path, std::span<const uint8_t> data);

bool file_exists(const std::u16string& path);     // a regular file (not a folder) exists
bool is_directory(const std::u16string& path);
bool clear_read_only(const std::u16string& path);  // adds write permission for the owner
bool set_read_only(const std::u16string& path);    // removes all write permissions

}  // namespace tesmo
