// Pack archives (".dat"). An independent archive is a 2048-byte header, the entry data at aligned
// offsets from 2048, zeros up to index_offset (a multiple of 2048), the index (16 bytes per entry)
// and optionally a time table (12 bytes per entry). A dependent archive is the entry data alone,
// starting at 0. All integers are little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesmo {

inline constexpr uint32_t kArchiveHeaderSize = 2048;
inline constexpr uint32_t kArchiveIndexAlignment = 2048;
inline constexpr uint32_t kArchiveDefaultAlignment = 2048;
inline constexpr uint32_t kArchiveIndexEntrySize = 16;
inline constexpr uint32_t kArchiveTimeEntrySize = 12;
inline constexpr size_t kArchiveIndexOffsetField = 8;
inline constexpr size_t kArchiveCountField = 12;
inline constexpr size_t kArchiveListTimeField = 16;
inline constexpr size_t kArchiveTimeSize = 16;  // the list time: eight 16-bit fields
inline constexpr uint32_t kArchiveMaxSize = 0xFFFFFFFF;
inline constexpr int32_t kLevelRaw = -1;   // raw bytes without a block header
inline constexpr int32_t kLevelLzss = 10;  // an LZSS block; 0–9 are deflate levels

// A last-write time in local time. Files store it as 16-bit fields; the time table leaves out the
// day of the week and the milliseconds.
struct PackTime {
  uint16_t year = 0, month = 0, day_of_week = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// Year, month, day, hour, minute and second equal (the up-to-date test's comparison).
bool same_second(const PackTime& a, const PackTime& b);

// The file's last-write time; nothing when it cannot be read or is not a regular file.
std::optional<PackTime> file_write_time(const std::u16string& path);

struct PackArchiveHeader {
  uint32_t index_offset = 0;
  uint32_t count = 0;
  PackTime list_time;
};

struct PackIndexEntry {
  uint32_t offset = 0;
  uint32_t size = 0;        // 0 for a dummy entry
  int32_t level = kLevelRaw;
  int32_t user_value = 0;
};

// The 2048-byte header (signature, zero reserved field, fields, zeros).
std::vector<uint8_t> archive_header_bytes(const PackArchiveHeader& header);
// The index table, followed by the time table when `times` is given (one per entry).
std::vector<uint8_t> archive_index_bytes(std::span<const PackIndexEntry> index,
                                         const std::vector<PackTime>* times);
// Reads the eight fields of a 16-byte time at `offset` (the 6-field form when `short_form`).
PackTime load_pack_time(std::span<const uint8_t> bytes, size_t offset, bool short_form);

// Reads independent archives from memory or from a file. Every offset and size is checked against
// the real size of the archive, whatever the header and index claim.
class ArchiveReader {
 public:
  // Header and index; nothing when the signature is missing or the index lies outside the data.
  // A count of 0xFFFFFFFF counts as 0.
  static std::optional<ArchiveReader> open_memory(std::span<const uint8_t> bytes);
  static std::optional<ArchiveReader> open_file(const std::u16string& path);

  const PackArchiveHeader& header() const { return header_; }
  const std::vector<PackIndexEntry>& index() const { return index_; }
  uint32_t count() const { return static_cast<uint32_t>(index_.size()); }

  // The stored bytes of entry `i`; nothing when `i` or the entry's extent is out of range.
  std::optional<std::vector<uint8_t>> entry_bytes(uint32_t i) const;
  // The entry's data: raw entries as stored, blocks expanded (LZSS blocks decoded). Nothing when
  // the stored bytes are out of range or the block is damaged.
  std::optional<std::vector<uint8_t>> entry_data(uint32_t i) const;

  // Loads the stored bytes of entries first … end − 1 as one run (the first entry's offset up to
  // the end of the last one) into a new buffer, replacing the previous run. A single entry already
  // in a cache slot is not reloaded. 1 when the range is empty or out of order, lies outside the
  // archive or cannot be read; the previous run is then gone.
  int load_range(uint32_t first, uint32_t end);
  // Keeps entry `i` in the first empty one of the eight cache slots. 0, or 1 when the slots are
  // full, `i` is out of range or its bytes cannot be read.
  int cache_entry(uint32_t i);
  // The stored bytes of entry `i`: its cache slot's data, or its place inside the loaded run. Empty
  // when neither holds the whole entry.
  std::span<const uint8_t> entry(uint32_t i) const;

  static constexpr size_t kCacheSlots = 8;

 private:
  struct CacheSlot {
    int64_t index = -1;  // −1: empty
    std::vector<uint8_t> data;
  };

  static std::optional<ArchiveReader> open(std::span<const uint8_t> head, uint64_t size,
                                           std::span<const uint8_t> memory, std::u16string path);
  std::span<const uint8_t> memory_;  // empty when reading from `path_`
  std::u16string path_;
  uint64_t size_ = 0;
  PackArchiveHeader header_;
  std::vector<PackIndexEntry> index_;
  std::vector<uint8_t> run_;  // the loaded run of entries
  int64_t run_first_ = -1;    // its first entry; −1 none
  uint64_t run_offset_ = 0;   // the archive offset of run_[0]
  std::array<CacheSlot, kCacheSlots> cache_;
};

// The reader's operations under the names the viewer's resource code uses. archive_open_memory
// reads the header and copies the index (nothing when the bytes are not an independent archive).
inline std::optional<ArchiveReader> archive_open_memory(std::span<const uint8_t> bytes) {
  return ArchiveReader::open_memory(bytes);
}
inline int archive_load_range(ArchiveReader& reader, uint32_t first, uint32_t end) {
  return reader.load_range(first, end);
}
inline std::span<const uint8_t> archive_entry(const ArchiveReader& reader, uint32_t i) { return reader.entry(i); }

}  // namespace tesmo
