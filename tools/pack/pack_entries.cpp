// Packing the entries of a list into the archive: prepared on the pool's threads (read, cleaned,
// scrambled and blocked), written here in list order.
#include <algorithm>

#include "tools/pack/entry_pool.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_run.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

constexpr uint32_t kNotFound = 0xFFFFFFFF;

using Outcome = PreparedEntry::Outcome;

uint64_t padding_for(uint64_t position, uint32_t alignment) {
  uint64_t rest = position % alignment;
  return rest ? alignment - rest : 0;
}

// Writes prepared entries one after another; `position` is the next write position.
class EntryWriter {
 public:
  EntryWriter(Packer& packer, const std::u16string& base_dir, uint64_t position, ArchiveFile& archive)
      : p_(packer), base_(base_dir), position_(position), archive_(archive) {}

  // Fills the entry's offset, size and level and writes its data, or adds its message. False
  // when the run must stop at once.
  bool write(PackEntry& e, const PreparedEntry& prepared);

 private:
  bool dummy(PackEntry& e);
  bool data(PackEntry& e, const PreparedEntry& prepared);
  bool write_at_position(uint64_t padding, std::span<const uint8_t> data);
  bool too_large(const std::u16string& path) {
    p_.add_error(format_message(msg::kArchiveTooLarge, {path, base_}));
    return false;
  }
  void not_packed(PackEntry& e, std::u16string message) {
    e.offset = kNotFound;
    e.size = 0;
    p_.add_error(std::move(message));
  }

  Packer& p_;
  const std::u16string& base_;
  uint64_t position_;
  ArchiveFile& archive_;
};

bool EntryWriter::write(PackEntry& e, const PreparedEntry& prepared) {
  e.level = prepared.level;
  switch (prepared.outcome) {
    case Outcome::Dummy: return dummy(e);
    case Outcome::Data: return data(e, prepared);
    case Outcome::Missing:
      not_packed(e, format_message(msg::kSourceMissing, {prepared.path, base_}));
      return true;
    case Outcome::NoJabWriter:
      not_packed(e, format_message(msg::kJabMissing, {prepared.path}));
      return true;
    case Outcome::SourceTooLarge: return too_large(prepared.path);
    case Outcome::EncodeFailed:
      p_.add_error(format_message(msg::kEncodeFailed, {prepared.path}));
      return false;
  }
  return false;
}

// A dummy has no data: its offset is the aligned position, which the next entry starts from.
bool EntryWriter::dummy(PackEntry& e) {
  uint64_t offset = position_ + padding_for(position_, e.alignment);
  if (offset > p_.archive_limit) return too_large(pack_source_path(base_, e.name));
  e.offset = static_cast<uint32_t>(offset);
  e.size = 0;
  position_ = offset;
  return true;
}

bool EntryWriter::data(PackEntry& e, const PreparedEntry& prepared) {
  const std::span<const uint8_t> stored = prepared.stored();
  uint64_t padding = padding_for(position_, e.alignment);
  if (position_ + padding + stored.size() > p_.archive_limit) return too_large(prepared.path);
  if (!write_at_position(padding, stored)) return false;
  e.offset = static_cast<uint32_t>(position_ + padding);
  e.size = static_cast<uint32_t>(stored.size());
  position_ += padding + stored.size();
  return true;
}

bool EntryWriter::write_at_position(uint64_t padding, std::span<const uint8_t> data) {
  static const std::vector<uint8_t> zeros(64 * 1024, 0);
  uint64_t at = position_;
  bool ok = true;
  for (uint64_t left = padding; ok && left > 0;) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
    ok = archive_.write_at(at, std::span(zeros).first(n));
    at += n;
    left -= n;
  }
  if (ok) ok = archive_.write_at(at, data);
  if (!ok) p_.add_error(format_message(msg::kArchiveOpen, {archive_.target()}));
  return ok;
}

}  // namespace

unsigned pack_default_jobs() { return std::max(1u, std::thread::hardware_concurrency()); }

int pack_entries(Packer& packer, const std::u16string& base_dir, uint32_t start_position, ArchiveFile& archive) {
  const size_t errors_before = packer.errors.size();
  const size_t count = packer.entries.size();
  if (packer.progress.start) packer.progress.start(base_dir, count);
  PrepareShared shared{base_dir, packer.jab_writer, packer.delete_made_jab, packer.archive_limit, {}};
  EntryPool pool(packer.entries, shared, packer.jobs ? packer.jobs : pack_default_jobs());
  EntryWriter writer(packer, base_dir, start_position, archive);
  for (size_t i = 0; i < count; ++i) {
    PackEntry& e = packer.entries[i];
    if (packer.progress.entry) packer.progress.entry(e, i + 1, count);
    if (packer.cancelled && packer.cancelled()) return 1;
    const PreparedEntry* prepared = pool.take(i, packer.cancelled);
    if (!prepared || !writer.write(e, *prepared)) return 1;
    pool.release(i);
  }
  return packer.errors.size() > errors_before ? 1 : 0;
}

}  // namespace tesmo
