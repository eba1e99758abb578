// The built-in instructions as data: one row per opcode with the kinds of its parameters.
#include "tools/script/instructions.h"

#include <initializer_list>

#include "base/zuk.h"

namespace tesmo::script {
namespace {

constexpr uint8_t I = KindImmediate, R = KindRegister, S = KindString, W = KindWideString, L = KindLabel,
                  T = KindText;
constexpr uint8_t IR = I | R, SW = S | W, IRSW = I | R | S | W;

struct Builtin {
  uint8_t opcode;
  std::string_view name;
  std::initializer_list<uint8_t> kinds;
};

// Opcodes 0 and 61 hold no instruction.
const Builtin kBuiltins[] = {
    {1, "func", {I}},
    {2, "pushl", {L}},
    {3, "push", {IRSW}},
    {4, "push2", {IRSW, IRSW}},
    {5, "push3", {IRSW, IRSW, IRSW}},
    {6, "push4", {IRSW, IRSW, IRSW, IRSW}},
    {7, "pop", {R}},
    {8, "assert", {}},
    {9, "trace", {SW}},
    {10, "tracereg", {IR}},
    {11, "dlg", {SW}},
    {12, "dlgreg", {IR}},
    {13, "ret", {}},
    {14, "wait", {IR}},
    {15, "waits", {IR}},
    {16, "exit", {L}},
    {17, "jump", {L}},
    {18, "jumpe", {R, IR, L}},
    {19, "jumpne", {R, IR, L}},
    {20, "jumpl", {R, IR, L}},
    {21, "jumple", {R, IR, L}},
    {22, "jumpg", {R, IR, L}},
    {23, "jumpge", {R, IR, L}},
    {24, "tbljump", {R, L, L, L, L}},
    {25, "call", {L}},
    {26, "jumpee", {R, IR, R, IR, L}},
    {27, "jump_i_range", {IR, R, IR, L}},
    {28, "jump_o_range", {IR, R, IR, L}},
    {29, "jumpnene", {R, IR, R, IR, L}},
    {30, "jumpb", {R, IR, IR, L}},
    {31, "tag", {IR, IR}},
    {32, "tblcall", {R, L, L, L, L}},
    {33, "taskfind", {IR, R}},
    {34, "taskcreate", {IR, L, IR}},
    {35, "taskcreatef", {IR, S, IR, IR}},
    {36, "taskdelete", {IR}},
    {37, "taskstat", {IR, IR}},
    {38, "script", {S, IR}},
    {39, "scriptarg", {IR, IR, IR}},
    {40, "mov", {R, IR}},
    {41, "add", {R, IR}},
    {42, "sub", {R, IR}},
    {43, "mul", {R, IR}},
    {44, "div", {R, IR}},
    {45, "mod", {R, IR}},
    {46, "movadd", {R, IR, IR}},
    {47, "adds", {R, IR, IR}},
    {48, "subs", {R, IR, IR}},
    {49, "addmod", {R, IR, IR}},
    {50, "range", {R, IR, IR}},
    {51, "abs", {R, IR}},
    {52, "or", {R, IR}},
    {53, "and", {R, IR}},
    {54, "xor", {R, IR}},
    {55, "not", {R, IR}},
    {56, "shl", {R, IR}},
    {57, "shr", {R, IR}},
    {58, "rand", {R}},
    {59, "sin", {IR, R}},
    {60, "cos", {IR, R}},
    {62, "unit", {IR, IR, R}},
    {kOpcodeMsg, "msg", {T}},
};
static_assert(std::size(kBuiltins) == kBuiltinCount - 2, "every opcode but 0 and 61 is an instruction");

}  // namespace

InstructionTable::InstructionTable() {
  for (const Builtin& b : kBuiltins) {
    InstructionEntry& e = entries_[b.opcode];
    e.name = b.name;
    size_t i = 0;
    for (uint8_t k : b.kinds) e.kinds[i++] = k;
    e.param_count = static_cast<int>(b.kinds.size());
    e.hash = name_hash(b.name);
  }
}

int InstructionTable::find(std::string_view name) const {
  const uint32_t hash = name_hash(name);
  for (size_t i = 0; i < next_macro_; ++i) {
    if (entries_[i].hash == hash && !entries_[i].name.empty() && entries_[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

bool InstructionTable::add_macro(InstructionEntry entry) {
  if (next_macro_ == kInstructionCount) return false;
  entry.hash = name_hash(entry.name);
  entries_[next_macro_++] = std::move(entry);
  return true;
}

}  // namespace tesmo::script
