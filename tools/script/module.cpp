// Reading and writing the script module format.
#include "tools/script/module.h"

#include <ctime>

#include <sys/stat.h>

#include "base/bytes.h"
#include "base/path.h"
#include "base/zuk.h"

namespace tesmo::script {
namespace {
constexpr size_t kMacroNameField = 32;
}

void module_header_write(std::vector<uint8_t>& out, const ScriptModuleHeader& h) {
  ByteWriter w(out);
  w.bytes(kZukSignature.data(), kZukSignature.size());
  w.u32le(kModuleKindBase + static_cast<uint32_t>(h.kind));
  w.u32le(h.length);
  w.u32le(h.data_length);
  w.u32le(h.string_bytes);
  w.u32le(h.encoding);
  w.zeros(8);
  for (uint16_t field : h.time) w.u16le(field);
}

std::optional<ScriptModuleHeader> module_header_read(std::span<const uint8_t> bytes) {
  if (bytes.size() < kModuleHeaderSize || !has_zuk_signature(bytes)) return std::nullopt;
  ByteReader r(bytes.first(kModuleHeaderSize));
  r.skip(4);
  uint32_t kind = r.u32le() - kModuleKindBase;
  if (kind > static_cast<uint32_t>(ModuleKind::Definitions)) return std::nullopt;
  ScriptModuleHeader h;
  h.kind = static_cast<ModuleKind>(kind);
  h.length = r.u32le();
  h.data_length = r.u32le();
  h.string_bytes = r.u32le();
  h.encoding = r.u32le();
  r.skip(8);
  for (uint16_t& field : h.time) field = r.u16le();
  return h;
}

void macro_record_write(std::span<uint8_t> record, const MacroRecord& m) {
  std::vector<uint8_t> out;
  ByteWriter w(out);
  size_t n = std::min(m.name.size(), kMacroNameField - 1);
  w.bytes(m.name.data(), n);
  w.zeros(kMacroNameField - n);
  w.u32le(m.body_offset);
  w.u32le(m.body_length);
  w.u32le(0);
  w.u32le(m.param_count);
  for (uint32_t p : m.slot_positions) w.u32le(p);
  w.bytes(m.kinds.data(), m.kinds.size());
  std::copy(out.begin(), out.end(), record.begin());
}

MacroRecord macro_record_read(std::span<const uint8_t> record) {
  ByteReader r(record);
  MacroRecord m;
  auto name = r.view(kMacroNameField);
  size_t n = 0;
  while (n < name.size() && name[n] != 0) ++n;
  m.name.assign(reinterpret_cast<const char*>(name.data()), n);
  m.body_offset = r.u32le();
  m.body_length = r.u32le();
  r.skip(4);
  m.param_count = r.u32le();
  for (uint32_t& p : m.slot_positions) p = r.u32le();
  r.bytes(m.kinds.data(), m.kinds.size());
  return m;
}

std::vector<uint8_t> module_image(const ScriptModuleHeader& header, std::span<const uint8_t> code,
                                  std::span<const uint8_t> data, std::span<const uint32_t> strings) {
  std::vector<uint8_t> out;
  out.reserve(kModuleHeaderSize + code.size() + data.size() + 4 * strings.size());
  module_header_write(out, header);
  ByteWriter w(out);
  w.bytes(code.data(), code.size());
  w.bytes(data.data(), data.size());
  for (uint32_t offset : strings) w.u32le(offset);
  return out;
}

std::vector<uint8_t> definitions_image(const ScriptModuleHeader& header, const std::vector<DefineRecord>& records) {
  std::vector<uint8_t> out;
  out.reserve(kModuleHeaderSize + kDefineRecordSize * records.size());
  module_header_write(out, header);
  for (const DefineRecord& d : records) define_record_write(out, d);
  return out;
}

std::optional<ModuleTime> file_local_time(const std::u16string& path) {
  struct stat st {};
  if (::stat(to_fs_path(path).c_str(), &st) != 0) return std::nullopt;
  std::tm tm{};
  if (!localtime_r(&st.st_mtim.tv_sec, &tm)) return std::nullopt;
  return ModuleTime{static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
                    static_cast<uint16_t>(tm.tm_wday),        static_cast<uint16_t>(tm.tm_mday),
                    static_cast<uint16_t>(tm.tm_hour),        static_cast<uint16_t>(tm.tm_min),
                    static_cast<uint16_t>(tm.tm_sec),         static_cast<uint16_t>(st.st_mtim.tv_nsec / 1000000)};
}

}  // namespace tesmo::script
