// Pack archive records, file times and the archive reader.
#include "tools/pack/archive.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "base/bytes.h"
#include "base/path.h"
#include "base/zuk.h"
#include "tools/pack/block.h"
#include "tools/pack/pack_files.h"

namespace tesmo {
namespace {

constexpr size_t kHeaderFieldsSize = kArchiveListTimeField + kArchiveTimeSize;  // what readers need

void put_time(ByteWriter& w, const PackTime& t, bool short_form) {
  w.u16le(t.year);
  w.u16le(t.month);
  if (!short_form) w.u16le(t.day_of_week);
  w.u16le(t.day);
  w.u16le(t.hour);
  w.u16le(t.minute);
  w.u16le(t.second);
  if (!short_form) w.u16le(t.milliseconds);
}

PackIndexEntry read_index_entry(ByteReader& r) {
  PackIndexEntry e;
  e.offset = r.u32le();
  e.size = r.u32le();
  e.level = r.i32le();
  e.user_value = r.i32le();
  return e;
}

}  // namespace

bool same_second(const PackTime& a, const PackTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

// The modification time as the file system keeps it (seconds and nanoseconds since the epoch),
// broken down in the local time zone: month 1–12, day of week 0 = Sunday, milliseconds from the
// nanoseconds, truncated.
std::optional<PackTime> file_write_time(const std::u16string& path) {
  struct stat st {};
  if (::stat(to_fs_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::tm tm{};
  if (!localtime_r(&st.st_mtim.tv_sec, &tm)) return std::nullopt;
  PackTime t;
  t.year = static_cast<uint16_t>(tm.tm_year + 1900);
  t.month = static_cast<uint16_t>(tm.tm_mon + 1);
  t.day_of_week = static_cast<uint16_t>(tm.tm_wday);
  t.day = static_cast<uint16_t>(tm.tm_mday);
  t.hour = static_cast<uint16_t>(tm.tm_hour);
  t.minute = static_cast<uint16_t>(tm.tm_min);
  t.second = static_cast<uint16_t>(tm.tm_sec);
  t.milliseconds = static_cast<uint16_t>(st.st_mtim.tv_nsec / 1000000);
  return t;
}

std::vector<uint8_t> archive_header_bytes(const PackArchiveHeader& header) {
  std::vector<uint8_t> fields;
  ByteWriter w(fields);
  w.u32le(0);  // reserved
  w.u32le(header.index_offset);
  w.u32le(header.count);
  put_time(w, header.list_time, false);
  std::vector<uint8_t> bytes(kArchiveHeaderSize, 0);
  std::copy(kZukSignature.begin(), kZukSignature.end(), bytes.begin());
  std::copy(fields.begin(), fields.end(), bytes.begin() + kZukSignature.size());
  return bytes;
}

std::vector<uint8_t> archive_index_bytes(std::span<const PackIndexEntry> index,
                                         const std::vector<PackTime>* times) {
  std::vector<uint8_t> bytes;
  ByteWriter w(bytes);
  for (const PackIndexEntry& e : index) {
    w.u32le(e.offset);
    w.u32le(e.size);
    w.u32le(static_cast<uint32_t>(e.level));
    w.u32le(static_cast<uint32_t>(e.user_value));
  }
  if (times) {
    for (const PackTime& t : *times) put_time(w, t, true);
  }
  return bytes;
}

PackTime load_pack_time(std::span<const uint8_t> bytes, size_t offset, bool short_form) {
  ByteReader r(bytes);
  r.seek(offset);
  PackTime t;
  t.year = r.u16le();
  t.month = r.u16le();
  if (!short_form) t.day_of_week = r.u16le();
  t.day = r.u16le();
  t.hour = r.u16le();
  t.minute = r.u16le();
  t.second = r.u16le();
  if (!short_form) t.milliseconds = r.u16le();
  return t;
}

std::optional<ArchiveReader> ArchiveReader::open_memory(std::span<const uint8_t> bytes) {
  return open(bytes, bytes.size(), bytes, {});
}

std::optional<ArchiveReader> ArchiveReader::open_file(const std::u16string& path) {
  SourceFile file;
  if (file.open(path) != SourceFile::Open::Ok) return std::nullopt;
  std::vector<uint8_t> head(kHeaderFieldsSize);
  head.resize(file.read_at(0, head));
  return open(head, file.size(), {}, path);
}

std::optional<ArchiveReader> ArchiveReader::open(std::span<const uint8_t> head, uint64_t size,
                                                 std::span<const uint8_t> memory, std::u16string path) {
  if (head.size() < kHeaderFieldsSize || !has_zuk_signature(head)) return std::nullopt;
  ArchiveReader reader;
  reader.memory_ = memory;
  reader.path_ = std::move(path);
  reader.size_ = size;
  reader.header_.index_offset = load_u32le(head, kArchiveIndexOffsetField);
  reader.header_.count = load_u32le(head, kArchiveCountField);
  reader.header_.list_time = load_pack_time(head, kArchiveListTimeField, false);
  uint32_t count = reader.header_.count == 0xFFFFFFFF ? 0 : reader.header_.count;
  uint64_t index_size = uint64_t{count} * kArchiveIndexEntrySize;
  if (reader.header_.index_offset + index_size > size) return std::nullopt;

  std::vector<uint8_t> from_file;
  std::span<const uint8_t> table;
  if (memory.empty()) {
    auto bytes = read_file_range(reader.path_, reader.header_.index_offset, static_cast<size_t>(index_size));
    if (!bytes || bytes->size() != index_size) return std::nullopt;
    from_file = std::move(*bytes);
    table = from_file;
  } else {
    table = memory.subspan(reader.header_.index_offset, static_cast<size_t>(index_size));
  }
  ByteReader r(table);
  reader.index_.resize(count);
  for (PackIndexEntry& e : reader.index_) e = read_index_entry(r);
  return reader;
}

std::optional<std::vector<uint8_t>> ArchiveReader::entry_bytes(uint32_t i) const {
  if (i >= index_.size()) return std::nullopt;
  const PackIndexEntry& e = index_[i];
  if (uint64_t{e.offset} + e.size > size_) return std::nullopt;
  if (memory_.empty()) {
    auto bytes = read_file_range(path_, e.offset, e.size);
    if (!bytes || bytes->size() != e.size) return std::nullopt;
    return bytes;
  }
  auto part = memory_.subspan(e.offset, e.size);
  return std::vector<uint8_t>(part.begin(), part.end());
}

std::optional<std::vector<uint8_t>> ArchiveReader::entry_data(uint32_t i) const {
  auto bytes = entry_bytes(i);
  if (!bytes || index_[i].level == kLevelRaw) return bytes;
  if (bytes->empty()) return std::vector<uint8_t>{};  // an LZSS entry of an empty file, or a dummy
  return block_decode(*bytes);
}

int ArchiveReader::load_range(uint32_t first, uint32_t end) {
  run_.clear();
  run_.shrink_to_fit();
  run_first_ = -1;
  if (first >= end || end > index_.size()) return 1;
  if (end - first == 1) {
    for (const CacheSlot& slot : cache_)
      if (slot.index == first) return 0;
  }
  uint64_t start = index_[first].offset;
  uint64_t stop = uint64_t{index_[end - 1].offset} + index_[end - 1].size;
  if (stop < start || stop > size_) return 1;
  size_t length = static_cast<size_t>(stop - start);
  if (memory_.empty()) {
    auto bytes = read_file_range(path_, start, length);
    if (!bytes || bytes->size() != length) return 1;
    run_ = std::move(*bytes);
  } else {
    auto part = memory_.subspan(static_cast<size_t>(start), length);
    run_.assign(part.begin(), part.end());
  }
  run_first_ = first;
  run_offset_ = start;
  return 0;
}

int ArchiveReader::cache_entry(uint32_t i) {
  for (CacheSlot& slot : cache_) {
    if (slot.index == i) return 0;
  }
  for (CacheSlot& slot : cache_) {
    if (slot.index != -1) continue;
    auto bytes = entry_bytes(i);
    if (!bytes) return 1;
    slot.index = i;
    slot.data = std::move(*bytes);
    return 0;
  }
  return 1;
}

std::span<const uint8_t> ArchiveReader::entry(uint32_t i) const {
  for (const CacheSlot& slot : cache_)
    if (slot.index == i) return slot.data;
  if (run_first_ < 0 || i >= index_.size()) return {};
  // Entries normally follow each other, but the index is only trusted as far as the run reaches.
  const PackIndexEntry& e = index_[i];
  if (e.offset < run_offset_ || uint64_t{e.offset} + e.size > run_offset_ + run_.size()) return {};
  return std::span<const uint8_t>(run_).subspan(static_cast<size_t>(e.offset - run_offset_), e.size);
}

}  // namespace tesmo
