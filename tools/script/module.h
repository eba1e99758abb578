// The compiled script module (".sce"): a 48-byte header, then for programs and macro modules the
// code, the data area and the string table, and for definitions modules the definition records.
// All fields little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/script/defines.h"

namespace tesmo::script {

enum class ModuleKind : uint32_t { Program = 0, Macro = 1, Definitions = 2 };

inline constexpr uint32_t kModuleKindBase = 0x10000000;  // the kind word is this plus the kind
inline constexpr size_t kModuleHeaderSize = 48;
inline constexpr size_t kMacroRecordSize = 128;
inline constexpr uint32_t kEncodingAnsi = 0;
inline constexpr uint32_t kEncodingUtf16 = 1;

// The source's last-write time in local time: year, month, day of week (0 Sunday), day, hour,
// minute, second, milliseconds.
using ModuleTime = std::array<uint16_t, 8>;

struct ScriptModuleHeader {
  ModuleKind kind = ModuleKind::Program;
  uint32_t length = 0;        // code length; for a definitions module the record count
  uint32_t data_length = 0;   // 0 for a definitions module
  uint32_t string_bytes = 0;  // 4 × strings; 0 for a definitions module
  uint32_t encoding = kEncodingAnsi;
  ModuleTime time{};
};

// A macro of a macro module: its body in the code and where each parameter slot's kind byte lies.
struct MacroRecord {
  std::string name;  // CP932, at most 31 bytes
  uint32_t body_offset = 0;
  uint32_t body_length = 0;
  uint32_t param_count = 0;
  std::array<uint32_t, 16> slot_positions{};
  std::array<uint8_t, 16> kinds{};
};

void module_header_write(std::vector<uint8_t>& out, const ScriptModuleHeader& header);
// The header of `bytes`: nothing unless it has 48 bytes, the signature and a kind of 0–2.
std::optional<ScriptModuleHeader> module_header_read(std::span<const uint8_t> bytes);

void macro_record_write(std::span<uint8_t> record, const MacroRecord& macro);  // 128 bytes
MacroRecord macro_record_read(std::span<const uint8_t> record);               // 128 bytes

// The whole file of a program or macro module, and of a definitions module.
std::vector<uint8_t> module_image(const ScriptModuleHeader& header, std::span<const uint8_t> code,
                                  std::span<const uint8_t> data, std::span<const uint32_t> strings);
std::vector<uint8_t> definitions_image(const ScriptModuleHeader& header, const std::vector<DefineRecord>& records);

// The last-write time of a file in local time; nothing when it cannot be read.
std::optional<ModuleTime> file_local_time(const std::u16string& path);

}  // namespace tesmo::script
