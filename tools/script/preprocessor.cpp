// Preprocessor lines: "#define", "#include", "#macro", "#type" and the conditional sections
// "#ifdef" / "#ifndef" / "#else" / "#endif" (one level, no nesting).
#include <filesystem>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "base/zuk.h"
#include "tools/script/compiler.h"
#include "tools/script/expression.h"

namespace tesmo::script {

std::u16string_view skip_blanks(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  return text.substr(i);
}

bool blank_or_comment(std::u16string_view text) {
  text = skip_blanks(text);
  return text.empty() || text.starts_with(u"//");
}

Quoted take_quoted(const Compiler& c, std::u16string_view text, size_t limit, std::u16string_view& inner,
                   std::u16string_view& rest) {
  text = skip_blanks(text);
  if (text.empty()) return Quoted::Missing;
  if (text[0] != u'"') return Quoted::NotQuoted;
  size_t i = 1;
  while (i < text.size() && text[i] != u'"' && text[i] != u'\t') i += char_units(c.source, text, i);
  if (i >= text.size() || text[i] != u'"') return Quoted::NotQuoted;
  inner = text.substr(1, i - 1);
  rest = text.substr(i + 1);
  return to_ansi(c.source, inner).size() > limit ? Quoted::TooLong : Quoted::Ok;
}

namespace {

constexpr size_t kKeywordMax = 7;
constexpr size_t kKeywordShown = 15;
constexpr size_t kDefineNameField = 64;

// The word at the start of `text` (up to a blank or the end) and what follows it.
std::u16string_view take_word(std::u16string_view text, std::u16string_view& rest) {
  size_t end = 0;
  while (end < text.size() && !is_blank(text[end])) ++end;
  rest = text.substr(end);
  return text.substr(0, end);
}

// "#define NAME [VALUE]"; the value is one word evaluated as an expression, the rest ignored.
bool define_directive(Compiler& c, std::u16string_view rest, int line) {
  std::u16string_view after;
  std::string name = to_ansi(c.source, take_word(skip_blanks(rest), after));
  if (name.empty()) return c.error_at(line, msg::kDefineNoName);
  if (name.size() >= kDefineNameField) {
    return c.error_at(line, msg::kDefineTooLong, {ansi_display(ansi_prefix(name, kDefineNameMax))});
  }
  if (c.defines.find(name)) return c.error_at(line, msg::kDefineDuplicate, {ansi_display(name)});
  std::u16string_view ignored;
  std::u16string_view token = take_word(skip_blanks(after), ignored);
  DefineRecord record{name};
  if (!token.empty() && !token.starts_with(u"//")) {
    auto value = expression_eval(to_ansi(c.source, token), c.defines, line, c.diag);
    if (!value) return false;
    record.has_value = true;
    record.value = *value;
  }
  c.defines.append(std::move(record));
  return true;
}

std::u16string normal_path(const std::u16string& path) {
  return from_fs_path(to_fs_path(path).lexically_normal());
}

std::u16string with_extension(std::u16string path, std::u16string_view extension) {
  size_t dot = path.rfind(u'.');
  size_t slash = path.rfind(kPathSeparator);
  if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash)) path.resize(dot);
  return path + std::u16string(extension);
}

bool include_definitions(Compiler& c, const std::u16string& source, const std::u16string& module,
                         const std::vector<uint8_t>& bytes, uint32_t count, int line) {
  if (!c.definitions_included && !c.defines.empty()) return c.error_at(line, msg::kIncludeAfterDefines, {source});
  const size_t body = bytes.size() - kModuleHeaderSize;
  if (body == 0) return c.error_at(line, msg::kIncludeEmpty, {module});
  if (static_cast<uint64_t>(count) * kDefineRecordSize > body) return c.error_at(line, msg::kIncludeOpen, {module});
  for (uint32_t i = 0; i < count; ++i) {
    DefineRecord d = *define_record_read(bytes, kModuleHeaderSize + i * kDefineRecordSize);
    d.used = false;  // the flag tells what this compilation used
    c.defines.append(std::move(d));
  }
  c.definitions_included = true;
  return true;
}

// "#include "path"": the compiled module of a source beside this one, from the "bin" tree.
bool include_directive(Compiler& c, std::u16string_view rest, int line) {
  std::u16string_view inner, after;
  switch (take_quoted(c, rest, kIncludePathMax, inner, after)) {
    case Quoted::Missing: return c.error_at(line, msg::kIncludeNoPath);
    case Quoted::NotQuoted: return c.error_at(line, msg::kNotString);
    case Quoted::TooLong:
      return c.error_at(line, msg::kStringTooLong,
                        {ansi_display(ansi_prefix(to_ansi(c.source, inner), kIncludePathMax))});
    case Quoted::Ok: break;
  }
  if (find_unit(c.source, inner, u'\\') != std::u16string_view::npos) return c.error_at(line, msg::kIncludeBackslash);
  if (!blank_or_comment(after)) return c.error_at(line, msg::kIncludeTrailing);
  const std::u16string relative = c.source_dir + display_text(c.source, inner);
  const std::u16string source = normal_path(c.base_dir + relative);
  const std::u16string module = normal_path(with_extension(c.base_dir + u"bin/" + relative, u".sce"));
  std::optional<std::vector<uint8_t>> bytes;
  if (file_exists(source)) bytes = read_file(module);
  std::optional<ScriptModuleHeader> header;
  if (bytes) header = module_header_read(*bytes);
  if (!header || header->kind == ModuleKind::Program) return c.error_at(line, msg::kIncludeMissing, {source});
  if (header->kind == ModuleKind::Macro) return macro_module_load(c, module);
  return include_definitions(c, source, module, *bytes, header->length, line);
}

// "#ifdef NAME" / "#ifndef NAME": only outside a section; skips unless the name is (not) defined.
bool if_directive(Compiler& c, std::u16string_view rest, int line, bool negated) {
  if (c.conditional != Conditional::None) {
    const auto& inside = negated ? msg::kIfndefInside : msg::kIfdefInside;
    return c.error_at(line, inside[static_cast<int>(c.conditional) - 1]);
  }
  std::u16string_view after;
  std::string name = to_ansi(c.source, take_word(skip_blanks(rest), after));
  if (name.empty()) return c.error_at(line, negated ? msg::kIfndefNoName : msg::kIfdefNoName);
  if (name.size() >= kDefineNameField) {
    return c.error_at(line, negated ? msg::kIfndefTooLong : msg::kIfdefTooLong,
                      {ansi_display(ansi_prefix(name, kDefineNameMax))});
  }
  c.conditional = negated ? Conditional::Ifndef : Conditional::Ifdef;
  c.conditional_line = line;
  c.skipping = (c.defines.find(name) != nullptr) == negated;
  return true;
}

bool ifdef_directive(Compiler& c, std::u16string_view rest, int line) { return if_directive(c, rest, line, false); }
bool ifndef_directive(Compiler& c, std::u16string_view rest, int line) { return if_directive(c, rest, line, true); }

// "#else" alone: inverts the skipping of the open section.
bool else_directive(Compiler& c, std::u16string_view rest, int line) {
  if (c.conditional == Conditional::Else) return c.error_at(line, msg::kElseInElse);
  if (c.conditional == Conditional::None) return c.error_at(line, msg::kElseUnpaired);
  if (!skip_blanks(rest).empty()) return c.error_at(line, msg::kElseTrailing);
  c.conditional = Conditional::Else;
  c.conditional_line = line;
  c.skipping = !c.skipping;
  return true;
}

// "#endif", optionally with a comment: closes the section.
bool endif_directive(Compiler& c, std::u16string_view rest, int line) {
  if (c.conditional == Conditional::None) return c.error_at(line, msg::kEndifUnpaired);
  if (!blank_or_comment(rest)) return c.error_at(line, msg::kEndifTrailing);
  c.conditional = Conditional::None;
  c.skipping = false;
  return true;
}

struct Directive {
  std::string_view keyword;
  bool (*run)(Compiler& c, std::u16string_view rest, int line);
  bool while_skipping;  // conditionals are read inside skipped sections
};

constexpr Directive kDirectives[] = {
    {"define", define_directive, false},  {"include", include_directive, false},
    {"macro", macro_directive, false},    {"type", type_directive, false},
    {"ifdef", ifdef_directive, true},     {"ifndef", ifndef_directive, true},
    {"else", else_directive, true},       {"endif", endif_directive, true},
};

const Directive* find_directive(std::string_view keyword) {
  const uint32_t hash = name_hash(keyword);
  for (const Directive& d : kDirectives) {
    if (name_hash(d.keyword) == hash && d.keyword == keyword) return &d;
  }
  return nullptr;
}

}  // namespace

Preprocessed preprocess_line(Compiler& c, std::u16string_view text, int line) {
  if (text.empty() || text[0] != u'#') return Preprocessed::NotPreprocessor;
  std::u16string_view rest;
  std::string keyword = to_ansi(c.source, take_word(text.substr(1), rest));
  const Directive* d = keyword.size() <= kKeywordMax ? find_directive(keyword) : nullptr;
  if (!d) {
    c.error_at(line, msg::kUnknownDirective, {ansi_display(ansi_prefix(keyword, kKeywordShown))});
    return Preprocessed::Error;
  }
  if (c.skipping && !d->while_skipping) return Preprocessed::Handled;
  return d->run(c, rest, line) ? Preprocessed::Handled : Preprocessed::Error;
}

}  // namespace tesmo::script
