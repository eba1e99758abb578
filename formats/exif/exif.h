// Exif blocks of JPEG files: the reader that turns the block into display rows (item, value and
// the file offset of each directory entry), and the writer that rewrites size tags in place.
//
// The block is the APP1 "Exif" segment right after the start marker, or right after a leading APP0
// segment. Every read stays inside that segment whatever its offsets claim: an entry or a value
// that lies outside is not read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tesmo {

// One display row. Texts are CP932 and fit the stored fields (127 and 511 bytes).
struct ExifRow {
  uint16_t tag = 0;         // 0 for header and blank rows
  std::string item;
  std::string value;
  int32_t offset = 0;       // file offset of the 12-byte directory entry; 0 for header and blank rows
  int32_t is_header = 0;
  int32_t orientation = 0;  // the value of tag 274 (1–8 when valid), else 0

  bool operator==(const ExifRow&) const = default;
};

// Appends the rows of the Exif block of the JPEG file at `path` (main, sub, interoperability and
// thumbnail sections). 0 on success; 1 when the file cannot be read, does not start with FF D8,
// has no Exif APP1 where expected, has a bad byte-order mark or magic number, or holds an entry
// type above 12. Rows appended before a failure stay.
int exif_read(const std::u16string& path, std::vector<ExifRow>& rows);
// The same over a file image in memory.
int exif_read_bytes(std::span<const uint8_t> file, std::vector<ExifRow>& rows);

// Replacement values for the writer: tag → new value.
struct ExifEdits {
  std::vector<std::pair<uint16_t, uint32_t>> values;
};

// Records `value` for `tag` (a later value for the same tag replaces the earlier one).
void exif_set_value(ExifEdits& edits, uint16_t tag, uint32_t value);

// Overwrites, in place, the value field of every main-section and sub-section entry whose tag has
// a recorded value: 2 bytes for SHORT entries, 4 otherwise, in the block's byte order. Nothing is
// added, moved or resized. 0 on success, 1 for the reader's failures.
int exif_update_bytes(const ExifEdits& edits, std::span<uint8_t> file);
// The same on the file at `path`, which is replaced as a whole (the old file stays on failure).
int exif_update(const ExifEdits& edits, const std::u16string& path);

}  // namespace tesmo
