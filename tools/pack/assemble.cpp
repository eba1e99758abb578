// Assembling an archive around the packed entries, and the up-to-date test that reads it back.
#include "base/bytes.h"
#include "base/file_io.h"
#include "base/zuk.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_run.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

constexpr uint64_t kShortestListTimeArchive = 16;  // 15 bytes or fewer hold no list time
constexpr size_t kSignatureAndFields = 16;         // signature, reserved, index_offset, count

uint64_t round_up(uint64_t value, uint64_t step) { return (value + step - 1) / step * step; }

// Header, index and time table of an independent archive whose entries are written.
bool write_index(Packer& p, ArchiveFile& file, const std::u16string& base_dir, bool time_table) {
  const PackEntry& last = p.entries.back();
  const size_t count = p.entries.size();
  uint64_t index_offset = round_up(uint64_t{last.offset} + last.size, kArchiveIndexAlignment);
  uint64_t end = index_offset + count * (kArchiveIndexEntrySize + (time_table ? kArchiveTimeEntrySize : 0));
  if (end > p.archive_limit) {
    p.add_error(format_message(msg::kArchiveTooLarge, {pack_source_path(base_dir, last.name), base_dir}));
    return false;
  }
  std::vector<PackIndexEntry> index;
  std::vector<PackTime> times;
  for (const PackEntry& e : p.entries) {
    index.push_back({e.offset, e.size, e.level, e.user_value});
    // The source's time now; a dummy, or a source gone meanwhile, gets zeros (never current).
    auto t = e.dummy ? std::nullopt : file_write_time(pack_source_path(base_dir, e.name));
    times.push_back(t.value_or(PackTime{}));
  }
  PackArchiveHeader header{static_cast<uint32_t>(index_offset), static_cast<uint32_t>(count), p.list_time};
  bool ok = file.write_at(0, archive_header_bytes(header)) &&
            file.write_at(index_offset, archive_index_bytes(index, time_table ? &times : nullptr));
  if (!ok) p.add_error(format_message(msg::kArchiveOpen, {file.target()}));
  return ok;
}

}  // namespace

namespace {

// Writes the whole archive beside its target and renames it over the target; false (messages
// added) when any step fails.
bool write_archive(Packer& packer, const std::u16string& archive_path, const std::u16string& base_dir,
                   uint32_t options) {
  const bool independent = options & PackIndependent;
  ArchiveFile file;  // dropped unless committed: a failed run leaves no partial archive
  bool ok = file.create(archive_path);
  if (ok && independent) ok = file.write_at(0, std::vector<uint8_t>(kArchiveHeaderSize, 0));
  if (!ok) {
    packer.add_error(format_message(msg::kArchiveOpen, {archive_path}));
    return false;
  }
  if (pack_entries(packer, base_dir, independent ? kArchiveHeaderSize : 0, file) != 0) return false;
  if (independent && !write_index(packer, file, base_dir, options & PackTimeTable)) return false;
  if (!file.commit()) {
    packer.add_error(format_message(msg::kArchiveOpen, {archive_path}));
    return false;
  }
  return true;
}

}  // namespace

int archive_assemble(Packer& packer, const std::u16string& archive_path, const std::u16string& base_dir,
                     uint32_t options) {
  if (options & PackNoArchive) return 0;
  if (write_archive(packer, archive_path, base_dir, options)) return 0;
  // The archive of an earlier run goes too: a build must never take it for this run's output.
  file_delete(archive_path);
  return 1;
}

bool archive_list_unchanged(const std::u16string& archive_path, const std::u16string& list_path) {
  auto list_time = file_write_time(list_path);
  if (!list_time) return true;
  SourceFile archive;
  if (archive.open(archive_path) != SourceFile::Open::Ok || archive.size() < kShortestListTimeArchive) {
    return false;
  }
  std::vector<uint8_t> stored(kArchiveTimeSize, 0);  // a short read leaves zeros
  archive.read_at(kArchiveListTimeField, stored);
  return same_second(load_pack_time(stored, 0, false), *list_time);
}

bool archive_files_current(const std::u16string& archive_path, const std::u16string& base_dir,
                           std::span<const PackEntry> entries) {
  SourceFile archive;
  if (archive.open(archive_path) != SourceFile::Open::Ok || archive.size() <= kSignatureAndFields) return false;
  std::vector<uint8_t> head(kSignatureAndFields);
  if (archive.read_at(0, head) != head.size() || !has_zuk_signature(head)) return false;
  const uint64_t count = load_u32le(head, kArchiveCountField);
  const uint64_t index_offset = load_u32le(head, kArchiveIndexOffsetField);
  if (count != entries.size()) return false;
  if (archive.size() != index_offset + count * (kArchiveIndexEntrySize + kArchiveTimeEntrySize)) return false;

  std::vector<uint8_t> table(static_cast<size_t>(count * kArchiveTimeEntrySize));
  if (archive.read_at(index_offset + count * kArchiveIndexEntrySize, table) != table.size()) return false;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].dummy) continue;
    auto now = file_write_time(pack_source_path(base_dir, entries[i].name));
    if (!now || !same_second(*now, load_pack_time(table, i * kArchiveTimeEntrySize, true))) return false;
  }
  return true;
}

bool archive_is_current(const std::u16string& archive_path, const std::u16string& list_path,
                        const std::u16string& base_dir, std::span<const PackEntry> entries) {
  return archive_list_unchanged(archive_path, list_path) && archive_files_current(archive_path, base_dir, entries);
}

}  // namespace tesmo
