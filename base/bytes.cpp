// Fixed-offset field access for the stored binary records.
#include "base/bytes.h"

namespace tesmo {

bool store_u32le(std::span<uint8_t> record, size_t offset, uint32_t value) {
  if (offset > record.size() || record.size() - offset < 4) return false;
  for (size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  return true;
}

uint32_t load_u32le(std::span<const uint8_t> record, size_t offset) {
  if (offset > record.size() || record.size() - offset < 4) return 0;
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
  return v;
}

bool store_u16_field(std::span<uint8_t> record, size_t offset, size_t field_bytes,
                     std::u16string_view text) {
  if (field_bytes < 2 || offset > record.size() || record.size() - offset < field_bytes) return false;
  size_t units = std::min(text.size(), field_bytes / 2 - 1);
  for (size_t i = 0; i < field_bytes / 2; ++i) {
    char16_t c = i < units ? text[i] : u'\0';
    record[offset + 2 * i] = static_cast<uint8_t>(c & 0xFF);
    record[offset + 2 * i + 1] = static_cast<uint8_t>(c >> 8);
  }
  return true;
}

std::u16string load_u16_field(std::span<const uint8_t> record, size_t offset, size_t field_bytes) {
  std::u16string out;
  if (offset > record.size()) return out;
  size_t end = offset + std::min(field_bytes, record.size() - offset);
  for (size_t p = offset; p + 1 < end; p += 2) {
    auto c = static_cast<char16_t>(record[p] | (record[p + 1] << 8));
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

}  // namespace tesmo
