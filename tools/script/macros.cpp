// Macro definitions ("#macro" ... "#macro" with "#type") and the loading of macro modules.
#include <algorithm>

#include "base/file_io.h"
#include "tools/script/compiler.h"

namespace tesmo::script {
namespace {

std::u16string shown(std::string_view ansi) { return ansi_display(ansi); }

bool macro_begin(Compiler& c, std::u16string_view rest, int line) {
  std::u16string_view inner, after;
  switch (take_quoted(c, rest, kMacroNameMax, inner, after)) {
    case Quoted::Missing: return c.error_at(line, msg::kMacroNoName);
    case Quoted::NotQuoted: return c.error_at(line, msg::kMacroNotString);
    case Quoted::TooLong:
      return c.error_at(line, msg::kStringTooLong, {shown(ansi_prefix(to_ansi(c.source, inner), kMacroNameMax))});
    case Quoted::Ok: break;
  }
  if (!blank_or_comment(after)) return c.error_at(line, msg::kMacroTrailing);
  // The record's room is taken now, so that nothing else can be placed where it will be written.
  if (c.data.size() + kMacroRecordSize > kDataCapacity) return c.error_at(line, msg::kDataFull, {u"#macro"});
  c.macro.name = to_ansi(c.source, inner);
  c.macro.body_offset = static_cast<uint32_t>(c.code.size());
  c.macro.slot_positions.fill(0);
  c.macro_record_at = c.data.size();
  c.data.resize(c.data.size() + kMacroRecordSize);
  c.macro_slot_references = 0;
  c.macro_line = line;
  c.in_macro = true;
  return true;
}

bool macro_end(Compiler& c, std::u16string_view rest, int line) {
  if (!blank_or_comment(rest)) return c.error_at(line, msg::kMacroTrailing);
  if (c.macro_slot_references != static_cast<int>(c.macro.param_count)) {
    return c.error_at(line, msg::kMacroSlotCount,
                      {decimal(c.macro_slot_references), decimal(c.macro.param_count)});
  }
  c.macro.body_length = static_cast<uint32_t>(c.code.size() - c.macro.body_offset);
  macro_record_write(std::span(c.data).subspan(c.macro_record_at, kMacroRecordSize), c.macro);
  c.macro = MacroRecord{};  // the next definition declares its own kinds
  c.in_macro = false;
  c.macro_defined = true;
  return true;
}

// A record is used only when its body lies in the module's code and every parameter's slot can
// take a kind byte and a value inside that body.
bool macro_record_sound(const MacroRecord& m, size_t code_length) {
  if (m.body_offset > code_length || m.body_length > code_length - m.body_offset) return false;
  if (m.param_count > kMaxParams) return false;
  for (uint32_t i = 0; i < m.param_count; ++i) {
    uint32_t p = m.slot_positions[i];
    if (p < m.body_offset || p - m.body_offset + 5 > m.body_length) return false;
  }
  return true;
}

}  // namespace

bool macro_directive(Compiler& c, std::u16string_view rest, int line) {
  return c.in_macro ? macro_end(c, rest, line) : macro_begin(c, rest, line);
}

// "#type K1 K2 ...": the kind sets of the macro's parameters, decimal or "0x" hexadecimal.
bool type_directive(Compiler& c, std::u16string_view rest, int line) {
  c.macro.kinds.fill(0);
  uint32_t count = 0;
  for (std::u16string_view text = skip_blanks(rest); !text.empty() && !text.starts_with(u"//");) {
    size_t end = 0;
    while (end < text.size() && !is_blank(text[end])) ++end;
    if (count == kMaxParams) return c.error_at(line, msg::kTypeTooMany, {decimal(kMaxParams)});
    std::string word = to_ansi(c.source, text.substr(0, end));
    int base = word.size() > 1 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X') ? 16 : 10;
    c.macro.kinds[count++] = static_cast<uint8_t>(std::strtoul(word.c_str(), nullptr, base));
    text = skip_blanks(text.substr(end));
  }
  c.macro.param_count = count;
  return true;
}

bool macro_module_load(Compiler& c, const std::u16string& path) {
  auto bytes = read_file(path);
  if (!bytes) return c.error_at(0, msg::kMacroFileOpen, {path});
  const size_t size = bytes->size();
  auto header = module_header_read(*bytes);
  const uint64_t claimed = header ? uint64_t{kModuleHeaderSize} + header->length + header->data_length : UINT64_MAX;
  if (size == 0 || size > kMacroFileMax || claimed > size) {
    return c.error_at(0, msg::kMacroFileSize, {path, decimal(static_cast<int64_t>(size))});
  }
  const size_t count = header->data_length / kMacroRecordSize;
  if (count + c.instructions.macro_count() > kMacroCapacity) {
    return c.error_at(0, msg::kMacroFileCount, {path, decimal(count), decimal(kMacroCapacity)});
  }
  MacroModule module;
  auto code = std::span(*bytes).subspan(kModuleHeaderSize, header->length);
  module.code.assign(code.begin(), code.end());
  const size_t data_at = kModuleHeaderSize + header->length;
  for (size_t i = 0; i < count; ++i) {
    MacroRecord m = macro_record_read(std::span(*bytes).subspan(data_at + i * kMacroRecordSize, kMacroRecordSize));
    if (!macro_record_sound(m, module.code.size())) {
      return c.error_at(0, msg::kMacroFileDamaged, {path, shown(m.name)});
    }
    InstructionEntry e;
    e.name = m.name;
    std::copy(m.kinds.begin(), m.kinds.end(), e.kinds.begin());
    e.param_count = static_cast<int>(m.param_count);
    e.macro_index = static_cast<int>(c.macro_sources.size());
    c.macro_sources.emplace_back(c.macro_modules.size(), module.macros.size());
    c.instructions.add_macro(std::move(e));
    module.macros.push_back(std::move(m));
  }
  c.macro_modules.push_back(std::move(module));
  return true;
}

}  // namespace tesmo::script
