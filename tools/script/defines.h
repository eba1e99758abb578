// The definition table: names from "#define" lines and included definitions modules, each with an
// optional 32-bit value. Its record is also the stored form of a definitions module.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tesmo::script {

inline constexpr size_t kDefineRecordSize = 76;
inline constexpr size_t kDefineNameMax = 63;  // the 64-byte name field keeps its zero terminator

struct DefineRecord {
  std::string name;  // CP932
  bool has_value = false;
  bool used = false;  // an expression of this compilation used the value
  int32_t value = 0;
  uint32_t hash = 0;
};

class DefineTable {
 public:
  // Appends a record without a duplicate check (included modules); fills the hash.
  void append(DefineRecord record);
  // The record named `name` (hash first, then the exact name), or null.
  DefineRecord* find(std::string_view name);
  bool empty() const { return records_.empty(); }
  const std::vector<DefineRecord>& records() const { return records_; }

 private:
  std::vector<DefineRecord> records_;
  std::unordered_multimap<uint32_t, size_t> by_hash_;
};

// The 76 bytes of one record: name (64, zero-filled), has_value, 2 zero bytes, used, value, hash.
void define_record_write(std::vector<uint8_t>& out, const DefineRecord& record);
// Reads the record at `offset`; the name ends at its first zero or after 64 bytes. The hash is
// recomputed from the name so that a damaged field cannot hide the name from lookups.
std::optional<DefineRecord> define_record_read(std::span<const uint8_t> bytes, size_t offset);

}  // namespace tesmo::script
