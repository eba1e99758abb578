// The definition table and the stored definition record.
#include "tools/script/defines.h"

#include "base/bytes.h"
#include "base/zuk.h"

namespace tesmo::script {
namespace {
constexpr size_t kNameField = 64;
}

void DefineTable::append(DefineRecord record) {
  record.hash = name_hash(record.name);
  by_hash_.emplace(record.hash, records_.size());
  records_.push_back(std::move(record));
}

DefineRecord* DefineTable::find(std::string_view name) {
  auto [first, last] = by_hash_.equal_range(name_hash(name));
  DefineRecord* found = nullptr;
  // The earliest record wins when an included module repeats a name.
  for (auto it = first; it != last; ++it) {
    DefineRecord& r = records_[it->second];
    if (r.name == name && (!found || &r < found)) found = &r;
  }
  return found;
}

void define_record_write(std::vector<uint8_t>& out, const DefineRecord& record) {
  ByteWriter w(out);
  size_t n = record.name.size() < kNameField ? record.name.size() : kNameField - 1;
  w.bytes(record.name.data(), n);
  w.zeros(kNameField - n);
  w.u8(record.has_value ? 1 : 0);
  w.zeros(2);
  w.u8(record.used ? 1 : 0);
  w.u32le(static_cast<uint32_t>(record.value));
  w.u32le(record.hash);
}

std::optional<DefineRecord> define_record_read(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < kDefineRecordSize) return std::nullopt;
  ByteReader r(bytes.subspan(offset, kDefineRecordSize));
  DefineRecord d;
  auto name = r.view(kNameField);
  size_t n = 0;
  while (n < kNameField && name[n] != 0) ++n;
  d.name.assign(reinterpret_cast<const char*>(name.data()), n);
  d.has_value = r.u8() != 0;
  r.skip(2);
  d.used = r.u8() != 0;
  d.value = r.i32le();
  d.hash = name_hash(d.name);
  return d;
}

}  // namespace tesmo::script
