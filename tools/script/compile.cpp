// The compile driver: reads the source once, feeds its lines to the preprocessor and the code
// generator, checks what is still open at the end, resolves labels and writes the module.
#include <filesystem>
#include <memory>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "tools/script/compiler.h"
#include "tools/script/script.h"

namespace tesmo {
namespace script {
namespace {

// In the first column (nothing skipped, and no spaces kept before it) and ending with ':'.
bool is_label(std::u16string_view text, bool indented) {
  return !indented && !text.empty() && !is_blank(text[0]) && text.back() == u':';
}

// One line after its leading blanks, in the order the language decides what a line is.
bool compile_line(Compiler& c, const SourceLine& l, int line) {
  const std::u16string_view t = l.text;
  if (c.block_comment) {
    if (t.starts_with(u"*/")) c.block_comment = false;
    return true;
  }
  if (t.empty()) return c.in_message && !c.skipping ? code_line(c, t, line) : true;
  if (t.starts_with(u"//")) return true;
  if (t.starts_with(u"/*")) {
    c.block_comment = true;
    return true;
  }
  Preprocessed p = preprocess_line(c, t, line);
  if (p != Preprocessed::NotPreprocessor) return p == Preprocessed::Handled;
  if (c.skipping) return true;
  if (is_label(t, l.indented)) return label_line(c, t, line);
  return code_line(c, t, line);
}

// What may not be open when the source ends, in the order it is reported.
bool check_end(Compiler& c, int last_line) {
  if (c.expect_parameters) return c.error_at(last_line, msg::kParametersMissing);
  if (c.in_message) return c.error_at(c.message_line, msg::kMessageUnclosed);
  if (c.conditional != Conditional::None) {
    return c.error_at(c.conditional_line, msg::kUnclosed[static_cast<int>(c.conditional) - 1]);
  }
  if (c.in_macro) return c.error_at(c.macro_line, msg::kMacroUnclosed);
  return true;
}

bool compile_lines(Compiler& c) {
  size_t pos = 0;
  int line = 0;
  for (;;) {
    SourceLine l;
    LineScan scan = line_scan(c.source, pos, c.in_message, l);
    if (scan == LineScan::End) break;
    ++line;
    if (scan == LineScan::NoLineEnd) return c.error_at(line, msg::kNoLineEnd);
    if (!compile_line(c, l, line)) return false;
  }
  return check_end(c, line) && (c.macro_defined || labels_resolve(c));
}

std::vector<uint8_t> build_image(const Compiler& c, const ModuleTime& time) {
  ScriptModuleHeader h;
  h.encoding = c.source.utf16 ? kEncodingUtf16 : kEncodingAnsi;
  h.time = time;
  if (!c.macro_defined && !c.instruction_compiled) {
    h.kind = ModuleKind::Definitions;
    h.length = static_cast<uint32_t>(c.defines.records().size());
    return definitions_image(h, c.defines.records());
  }
  h.kind = c.macro_defined ? ModuleKind::Macro : ModuleKind::Program;
  h.length = static_cast<uint32_t>(c.code.size());
  h.data_length = static_cast<uint32_t>(c.data.size());
  h.string_bytes = static_cast<uint32_t>(4 * c.strings.size());
  return module_image(h, c.code, c.data, c.strings);
}

std::u16string with_separator(std::u16string path) {
  if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

std::filesystem::path normal(const std::u16string& path) { return to_fs_path(path).lexically_normal(); }

// The folder `path` names, absolute (against the working folder), '..' resolved, without a trailing
// separator: a relative and an absolute spelling of one folder compare equal.
std::filesystem::path absolute_folder(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::absolute(path, error).lexically_normal();
  if (error) folder = path.lexically_normal();
  return folder.has_filename() || !folder.has_parent_path() ? folder : folder.parent_path();
}

// The source's folder below the base folder, '..' resolved; empty when it is the base itself.
std::u16string relative_folder(const std::u16string& base_dir, const std::u16string& source_path) {
  std::filesystem::path rel =
      absolute_folder(normal(source_path).parent_path()).lexically_relative(absolute_folder(to_fs_path(base_dir)));
  if (rel.empty() || rel == ".") return {};
  return with_separator(from_fs_path(rel));
}

// Every error also goes to the debug output, with the source it belongs to.
int report(ScriptCompiler& compiler, const std::u16string& source_path) {
  if (compiler.debug) {
    std::fprintf(compiler.debug, "コンパイル エラー - %s\n%s\n", utf16_to_utf8(source_path).c_str(),
                 utf16_to_utf8(compiler.error_text).c_str());
  }
  return 1;
}

int fail_without_line(ScriptCompiler& compiler, std::u16string_view message, const std::u16string& source_path) {
  compiler.error_text = std::u16string(message);
  compiler.error_line = 0;
  return report(compiler, source_path);
}

}  // namespace
}  // namespace script

using namespace script;

int script_compile_memory(ScriptCompiler& compiler, std::span<const uint8_t> source, const std::u16string& base_dir,
                          const std::u16string& source_dir, const ModuleTime& time, std::vector<uint8_t>& image) {
  if (!source_complete(source)) {
    compiler.error_text = std::u16string(msg::kSourceOpen);
    compiler.error_line = 0;
    return 1;
  }
  auto c = std::make_unique<Compiler>();
  c->source = source_decode(source);
  c->base_dir = with_separator(from_fs_path(normal(base_dir)));
  c->source_dir = source_dir;
  compiler.error_text.clear();
  compiler.error_line = 0;
  if (!compile_lines(*c)) {
    compiler.error_text = c->diag.text();
    compiler.error_line = c->diag.line();
    return 1;
  }
  image = build_image(*c, time);
  return 0;
}

int script_compile(ScriptCompiler& compiler, const std::u16string& base_dir, const std::u16string& output_path,
                   const std::u16string& source_path) {
  const std::u16string source = from_fs_path(normal(source_path));
  auto bytes = read_file(source);
  if (!bytes) return fail_without_line(compiler, msg::kSourceOpen, source);
  const ModuleTime time = file_local_time(source).value_or(ModuleTime{});
  std::vector<uint8_t> image;
  if (script_compile_memory(compiler, *bytes, base_dir, relative_folder(base_dir, source), time, image) != 0) {
    return report(compiler, source);
  }
  // The module is written whole into a temporary file and renamed over the old one.
  if (file_replace(output_path, image) != 0) return fail_without_line(compiler, msg::kWriteFailed, source);
  return 0;
}

int script_compile_definitions(const std::u16string& source, const std::u16string& module,
                               const std::u16string& base_dir, std::u16string& error_text) {
  ScriptCompiler compiler;
  compiler.debug = stderr;
  int result = script_compile(compiler, base_dir, module, source);
  error_text = compiler.error_text;
  return result;
}

}  // namespace tesmo
