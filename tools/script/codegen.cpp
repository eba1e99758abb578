// Code generation: instruction lines, parameter lines, the text of "msg", macro calls and labels.
// This is the only code that writes instruction bytes: an opcode, then per parameter a kind byte
// and a 32-bit little-endian value.
#include <algorithm>

#include "base/zuk.h"
#include "tools/script/compiler.h"
#include "tools/script/expression.h"

namespace tesmo::script {
namespace {

// One parameter as it will be written, and what writing it records.
struct Parameter {
  uint8_t kind = 0;
  uint32_t value = 0;
  std::string label;  // kind 16: the referenced label
};

void put_u32(std::vector<uint8_t>& code, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) code[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void append_units(std::vector<uint8_t>& data, const Compiler& c, std::u16string_view text) {
  if (!c.source.utf16) {
    for (char16_t u : text) data.push_back(static_cast<uint8_t>(u));
    return;
  }
  for (char16_t u : text) {
    data.push_back(static_cast<uint8_t>(u));
    data.push_back(static_cast<uint8_t>(u >> 8));
  }
}

// Writes `p` at `at` (kind byte, then value); a label gets a reference to patch, a slot its
// position in the macro being defined.
void emit_parameter(Compiler& c, const Parameter& p, size_t at, int line) {
  c.code[at] = p.kind;
  put_u32(c.code, at + 1, p.value);
  if (p.kind == KindLabel) c.references.push_back({p.label, at + 1, line});
  if (p.kind == KindSlot) {
    c.macro.slot_positions[p.value] = static_cast<uint32_t>(at);
    ++c.macro_slot_references;
  }
}

// A new string of `bytes` (terminator included) in the data area and the string table.
bool add_string(Compiler& c, const std::vector<uint8_t>& bytes, std::u16string_view shown, int line, uint32_t& number) {
  if (c.data.size() + bytes.size() > kDataCapacity) return c.error_at(line, msg::kDataFull, {shown});
  if (c.strings.size() == kStringCapacity) return c.error_at(line, msg::kStringTableFull, {shown});
  number = static_cast<uint32_t>(c.strings.size());
  c.strings.push_back(static_cast<uint32_t>(c.data.size()));
  c.data.insert(c.data.end(), bytes.begin(), bytes.end());
  return true;
}

// "text": UTF-16 (kind 8) in a UTF-16 source where W is allowed, else 8-bit (kind 4). Macro calls
// share one string number per distinct text.
bool read_string(Compiler& c, std::u16string_view text, uint8_t kinds, bool pooled, int line, Parameter& p) {
  const std::u16string_view inner = text.substr(1, text.size() - 2);
  const bool wide = c.source.utf16 && (kinds & KindWideString);
  if (c.in_macro) return c.error_at(line, wide ? msg::kMacroWideString : msg::kMacroString, {display_text(c.source, text)});
  p.kind = wide ? KindWideString : KindString;
  std::vector<uint8_t> bytes;
  std::u16string wide_text;
  std::string ansi_text;
  if (wide) {
    wide_text.assign(inner);
    for (char16_t u : wide_text) bytes.insert(bytes.end(), {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
    bytes.insert(bytes.end(), {0, 0});
  } else {
    ansi_text = to_ansi(c.source, inner);
    bytes.assign(ansi_text.begin(), ansi_text.end());
    bytes.push_back(0);
  }
  if (pooled) {
    if (wide ? c.pool_wide.contains(wide_text) : c.pool_ansi.contains(ansi_text)) {
      p.value = wide ? c.pool_wide[wide_text] : c.pool_ansi[ansi_text];
      return true;
    }
  }
  if (!add_string(c, bytes, display_text(c.source, text), line, p.value)) return false;
  if (pooled) (wide ? c.pool_wide[wide_text] : c.pool_ansi[ansi_text]) = p.value;
  return true;
}

// The readers in order: macro slot, string, register, immediate, label; the first that accepts
// the text encodes it.
bool read_parameter(Compiler& c, std::u16string_view text, uint8_t kinds, bool pooled, int line, Parameter& p) {
  if (c.in_macro && text.starts_with(u"p")) {
    int slot = small_number(to_ansi(c.source, text.substr(1)));
    if (slot < 0) return c.error_at(line, msg::kSlotRange, {display_text(c.source, text)});
    p = {KindSlot, static_cast<uint32_t>(slot)};
    return true;
  }
  if ((kinds & (KindString | KindWideString)) && text.size() >= 2 && text.front() == u'"' && text.back() == u'"') {
    return read_string(c, text, kinds, pooled, line, p);
  }
  if ((kinds & KindRegister) && text.starts_with(u"r")) {
    int reg = small_number(to_ansi(c.source, text.substr(1)));
    if (reg < 0) return c.error_at(line, msg::kRegisterRange, {display_text(c.source, text)});
    p = {KindRegister, static_cast<uint32_t>(reg)};
    return true;
  }
  if (kinds & KindImmediate) {
    auto value = expression_eval(to_ansi(c.source, text), c.defines, line, c.diag);
    if (!value) return false;
    p = {KindImmediate, static_cast<uint32_t>(*value)};
    return true;
  }
  if (kinds & KindLabel) {
    std::string name = to_ansi(c.source, text);
    if (name.size() > kLabelNameMax) {
      return c.error_at(line, msg::kLabelTooLong, {ansi_display(ansi_prefix(name, kLabelNameMax))});
    }
    p = {KindLabel, 0, std::move(name)};
    return true;
  }
  return c.error_at(line, msg::kParameterKind, {display_text(c.source, text)});
}

// Splits at commas outside double quotes; spaces after a comma are skipped. Missing parameters
// are empty texts; a comma after the last one is an error.
bool split_parameters(Compiler& c, std::u16string_view text, int count, int line,
                      std::vector<std::u16string_view>& out) {
  size_t i = 0;
  for (int n = 0; n < count; ++n) {
    const size_t start = i;
    bool quoted = false;
    for (; i < text.size() && (quoted || text[i] != u','); i += char_units(c.source, text, i)) {
      if (text[i] == u'"') quoted = !quoted;
    }
    out.push_back(text.substr(start, i - start));
    if (i == text.size()) continue;
    if (n == count - 1) return c.error_at(line, msg::kParameterTrailing);
    ++i;
    while (i < text.size() && text[i] == u' ') ++i;
  }
  return true;
}

bool room_for(Compiler& c, size_t bytes, const InstructionEntry& e, int line) {
  if (c.code.size() + bytes <= kCodeCapacity) return true;
  return c.error_at(line, msg::kCodeFull, {ansi_display(e.name)});
}

// Appends the macro's body and writes each parameter over its slot in the copy.
bool expand_macro(Compiler& c, const InstructionEntry& e, const std::vector<Parameter>& params, int line) {
  const auto [module, record] = c.macro_sources[e.macro_index];
  const MacroRecord& m = c.macro_modules[module].macros[record];
  if (!room_for(c, m.body_length, e, line)) return false;
  const size_t base = c.code.size();
  const auto& body = c.macro_modules[module].code;
  c.code.insert(c.code.end(), body.begin() + m.body_offset, body.begin() + m.body_offset + m.body_length);
  for (size_t i = 0; i < params.size(); ++i) emit_parameter(c, params[i], base + m.slot_positions[i] - m.body_offset, line);
  return true;
}

bool parameter_line(Compiler& c, std::u16string_view text, int line) {
  const InstructionEntry& e = c.instructions[c.current];
  std::vector<std::u16string_view> texts;
  if (!split_parameters(c, text, e.param_count, line, texts)) return false;
  const bool macro = static_cast<size_t>(c.current) >= kBuiltinCount;
  std::vector<Parameter> params(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!read_parameter(c, texts[i], e.kinds[i], macro, line, params[i])) return false;
  }
  c.expect_parameters = false;
  if (macro) return expand_macro(c, e, params, line);
  for (const Parameter& p : params) {
    c.code.resize(c.code.size() + 5);  // the opcode's capacity check counted every parameter
    emit_parameter(c, p, c.code.size() - 5, line);
  }
  return true;
}

bool instruction_line(Compiler& c, std::u16string_view text, int line) {
  if (find_unit(c.source, text, u',') != std::u16string_view::npos) return c.error_at(line, msg::kInstructionComma);
  std::string name = to_ansi(c.source, text);
  if (name.size() > kInstructionNameMax) {
    return c.error_at(line, msg::kInstructionTooLong, {ansi_display(ansi_prefix(name, kInstructionNameMax))});
  }
  const int index = c.instructions.find(name);
  if (index < 0) return c.error_at(line, msg::kInstructionUnknown, {ansi_display(name)});
  const InstructionEntry& e = c.instructions[index];
  c.instruction_compiled = true;
  c.current = index;
  c.expect_parameters = e.param_count > 0;
  if (static_cast<size_t>(index) >= kBuiltinCount) {
    return e.param_count > 0 || expand_macro(c, e, {}, line);
  }
  // The whole instruction must fit, not only its opcode.
  if (!room_for(c, 1 + 5 * static_cast<size_t>(e.param_count), e, line)) return false;
  c.code.push_back(static_cast<uint8_t>(index));
  c.in_message = index == kOpcodeMsg;
  c.message_started = false;
  return true;
}

// One text line of "msg": the lines are joined by "@L" into one string that ends with "@P".
bool message_line(Compiler& c, std::u16string_view text, int line) {
  if (c.in_macro) return c.error_at(line, msg::kMacroText, {display_text(c.source, text)});
  if (!c.message_started) {
    Parameter p{KindText, static_cast<uint32_t>(c.strings.size())};
    if (c.strings.size() == kStringCapacity) return c.error_at(line, msg::kStringTableFull, {u"msg"});
    c.strings.push_back(static_cast<uint32_t>(c.data.size()));
    c.code.resize(c.code.size() + 5);
    emit_parameter(c, p, c.code.size() - 5, line);
    c.message_started = true;
    c.message_line = line;
    c.expect_parameters = false;
  }
  const bool last = ends_with_chars(c.source, text, u"@P");
  std::u16string stored(text);
  if (!last && ends_with_chars(c.source, text, u"@W")) stored[stored.size() - 1] = u'L';
  if (!last && !ends_with_chars(c.source, stored, u"@L")) stored += u"@L";
  if (last) stored.push_back(0);
  const size_t unit = c.source.utf16 ? 2 : 1;
  if (c.data.size() + stored.size() * unit > kDataCapacity) return c.error_at(line, msg::kDataFull, {u"msg"});
  append_units(c.data, c, stored);
  if (last) c.in_message = false;
  return true;
}

}  // namespace

int small_number(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;  // as C number reading
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  unsigned value = 0;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    int d = ch >= '0' && ch <= '9' ? ch - '0'
            : base == 16 && ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
            : base == 16 && ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
    if (d < 0) break;
    value = std::min(value * base + d, 16u);
  }
  // A negative number would index below the sixteen registers or slots.
  return value > 15 || (negative && value != 0) ? -1 : static_cast<int>(value);
}

bool label_line(Compiler& c, std::u16string_view text, int line) {
  std::string name = to_ansi(c.source, text.substr(0, text.size() - 1));
  if (name.size() > kLabelNameMax) {
    return c.error_at(line, msg::kLabelTooLong, {ansi_display(ansi_prefix(name, kLabelNameMax))});
  }
  if (name == "NA") return c.error_at(line, msg::kLabelReserved, {ansi_display(name)});
  const uint32_t hash = name_hash(name);
  auto [first, last] = c.label_index.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (c.labels[it->second].name == name) return c.error_at(line, msg::kLabelDuplicate, {ansi_display(name)});
  }
  c.label_index.emplace(hash, c.labels.size());
  c.labels.push_back({std::move(name), static_cast<uint32_t>(c.code.size())});
  return true;
}

bool code_line(Compiler& c, std::u16string_view text, int line) {
  if (c.in_message) return message_line(c, text, line);
  if (c.expect_parameters) return parameter_line(c, text, line);
  return instruction_line(c, text, line);
}

bool labels_resolve(Compiler& c) {
  for (const LabelReference& r : c.references) {
    if (r.name == "NA") continue;
    const Label* found = nullptr;
    auto [first, last] = c.label_index.equal_range(name_hash(r.name));
    for (auto it = first; it != last && !found; ++it) {
      if (c.labels[it->second].name == r.name) found = &c.labels[it->second];
    }
    if (!found) return c.error_at(r.line, msg::kLabelMissing, {ansi_display(r.name)});
    put_u32(c.code, r.position, found->offset);
  }
  return true;
}

}  // namespace tesmo::script
