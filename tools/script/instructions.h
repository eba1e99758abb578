// The instruction table: 64 built-in instructions (the entry index is the opcode) and up to 320
// macros from included macro modules in entries 64–383.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tesmo::script {

// Parameter kind bits; a parameter's allowed kinds are their OR. Kind 32 (a macro slot) and the
// message-text number are kind bytes of the code, never allowed kinds of a built-in.
enum ParamKind : uint8_t {
  KindImmediate = 1,
  KindRegister = 2,
  KindString = 4,      // 8-bit string
  KindWideString = 8,  // UTF-16 string
  KindLabel = 16,
  KindSlot = 32,
  KindText = 64,       // message text ("msg")
};

inline constexpr size_t kInstructionCount = 384;
inline constexpr size_t kBuiltinCount = 64;
inline constexpr size_t kMacroCapacity = kInstructionCount - kBuiltinCount;  // 320
inline constexpr size_t kMaxParams = 16;
inline constexpr size_t kInstructionNameMax = 30;  // char[32] with room to spare, as the source limits it
inline constexpr size_t kRegisterCount = 16;
inline constexpr uint8_t kOpcodeMsg = 63;

struct InstructionEntry {
  std::string name;  // empty: a free entry
  std::array<uint8_t, kMaxParams> kinds{};
  int param_count = 0;
  int macro_index = -1;  // entries 64–383: the macro's number in this compilation
  uint32_t hash = 0;
};

class InstructionTable {
 public:
  InstructionTable();  // the built-ins, hashes filled; entries 0 and 61 stay free
  // The entry named `name` (hash first, then the exact name), or -1.
  int find(std::string_view name) const;
  // Puts a macro into the next free entry from 64 on; false when all 320 are taken.
  bool add_macro(InstructionEntry entry);
  const InstructionEntry& operator[](size_t i) const { return entries_[i]; }
  size_t macro_count() const { return next_macro_ - kBuiltinCount; }

 private:
  std::array<InstructionEntry, kInstructionCount> entries_;
  size_t next_macro_ = kBuiltinCount;
};

}  // namespace tesmo::script
