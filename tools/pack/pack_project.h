// The file pack module's projects: 32 numbered sets of list file, archive file, export folder,
// identifier prefix and option bits, kept in "savedata/tool_vardo32.sav" (base/user_folders.h).
// The file is a signed 32-bit current project number and the 32 records; the older layout with
// 8-bit paths is still read and converted.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesmo {

inline constexpr int32_t kPackProjectCount = 32;
inline constexpr size_t kPackPrefixBytes = 64;  // the stored prefix field, terminator included

// Record and file sizes of the current layout and of the older one.
inline constexpr size_t kPackProjectRecordSize = 1640;
inline constexpr size_t kPackProjectFileSize = 4 + kPackProjectCount * kPackProjectRecordSize;  // 52484
inline constexpr size_t kPackProjectOldRecordSize = 860;
inline constexpr size_t kPackProjectOldFileSize = 4 + kPackProjectCount * kPackProjectOldRecordSize;  // 27524

// The option bits the dialog sets: Type (PackIndependent, PackTimeTable) and the five outputs.
inline constexpr int32_t kPackProjectDefaultOptions = 1;
inline constexpr char kPackProjectDefaultPrefix[] = "FID_";

struct PackProject {
  std::u16string list_path;     // the pack list
  std::u16string archive_path;  // the archive to write
  std::u16string export_dir;    // header texts and module; ends with a separator
  std::string prefix;           // CP932, at most kPackPrefixBytes − 1 bytes
  int32_t options = 0;

  bool operator==(const PackProject&) const = default;
};

struct PackProjectFile {
  int32_t current = 0;  // 0 … 31
  std::array<PackProject, kPackProjectCount> projects;

  bool operator==(const PackProjectFile&) const = default;
};

// Every project with the prefix "FID_" and options 1, the rest empty; current project 0.
PackProjectFile pack_project_defaults();

// The stored form: 52484 bytes, each field at its offset.
std::vector<uint8_t> pack_project_encode(const PackProjectFile& file);
// A 52484-byte file as stored, a 27524-byte file of the older layout (8-bit paths converted from
// CP932), anything else the defaults. A current number outside 0–31 becomes 0.
PackProjectFile pack_project_decode(std::span<const uint8_t> data);

// "tool_vardo32.sav" in the savedata folder of `program_folder` (base/user_folders.h).
std::u16string pack_project_path(const std::u16string& program_folder);
// The file at `path` decoded; the defaults when it is missing or unreadable.
PackProjectFile pack_project_load(const std::u16string& path);
// Replaces the file (missing folders created, a read-only file replaced); 0, or 1 with the old
// file left as it was.
int pack_project_save(const std::u16string& path, const PackProjectFile& file);

// The Type choice shown for stored options: 2 with both PackIndependent and PackTimeTable, 1 with
// PackIndependent alone, else 0; and the bits a choice stands for (0, 0x1, 0x3).
int pack_type_of_options(int32_t options);
int32_t pack_options_of_type(int type);

// `prefix` cut to what the stored field holds (kPackPrefixBytes − 1 bytes), never inside a
// two-byte character.
std::string pack_prefix_fit(std::string prefix);

}  // namespace tesmo
