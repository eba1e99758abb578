// Private to formats/exif: finding the Exif block in a JPEG file image and walking its
// directories, bounded by the APP1 segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tesmo::exif {

// Directory entry value types; anything above kTypeDouble fails a read or an update.
enum EntryType : uint16_t {
  kTypeByte = 1,
  kTypeAscii = 2,
  kTypeShort = 3,
  kTypeLong = 4,
  kTypeRational = 5,
  kTypeSByte = 6,
  kTypeUndefined = 7,
  kTypeSShort = 8,
  kTypeSLong = 9,
  kTypeSRational = 10,
  kTypeFloat = 11,
  kTypeDouble = 12,
};

inline constexpr size_t kEntryBytes = 12;
inline constexpr size_t kValueField = 8;  // offset of the value (or value offset) in an entry

inline constexpr uint16_t kTagExifIfd = 34665;
inline constexpr uint16_t kTagInteropIfd = 40965;

// The TIFF structure inside the APP1 segment. Offsets are file offsets; `end` is one past the
// segment (or the file's end when the segment claims more than the file holds).
struct Block {
  std::span<const uint8_t> file;
  size_t tiff = 0;
  size_t end = 0;
  bool big_endian = false;

  // True when [at, at + n) lies inside the TIFF structure.
  bool inside(size_t at, size_t n) const { return at >= tiff && at <= end && end - at >= n; }
  // Fields in the block's byte order; 0 when not wholly inside.
  uint16_t u16(size_t at) const;
  uint32_t u32(size_t at) const;
  // The file offset of a value stored `relative` bytes after the TIFF header.
  size_t from_tiff(uint32_t relative) const { return tiff + relative; }
  // The main directory is taken 8 bytes after the TIFF header; the header's own offset field is
  // not read.
  size_t first_directory() const { return tiff + 8; }
};

// Finds the block: FF D8, then an optional APP0 segment, then FF E1 with "Exif" and a TIFF header
// ("II" or "MM", 42). Nothing when any of these is missing.
std::optional<Block> locate(std::span<const uint8_t> file);

struct Entry {
  size_t at = 0;  // file offset of the entry
  uint16_t tag = 0;
  uint16_t type = 0;
  uint32_t count = 0;
};

// The entries of the directory at file offset `ifd`, as far as they lie inside the block, and the
// offset of the next directory (0 when it is not inside). Empty when the count is not inside.
std::vector<Entry> read_directory(const Block& block, size_t ifd, uint32_t* next = nullptr);

}  // namespace tesmo::exif
