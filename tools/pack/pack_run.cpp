// The order of a packing run, and its windowless form.
#include "tools/pack/pack_run.h"

#include "base/path.h"
#include "base/text.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

// The header texts in the order they are written; a failing one ends the run, leaving the
// earlier ones in place.
constexpr struct {
  PackOption option;
  PackText kind;
} kTextOutputs[] = {
    {PackIdFile, PackText::Identifiers},
    {PackOffsetFile, PackText::Offsets},
    {PackSizeFile, PackText::Sizes},
    {PackDefineFile, PackText::Definitions},
};

int compile_definitions(Packer& p, const std::u16string& archive_path, const std::u16string& script_dir,
                        const std::u16string& text_dir) {
  std::u16string source = text_dir + pack_text_name(archive_path, PackText::Definitions);
  std::u16string module = source.substr(text_dir.size());
  module = script_dir + module.substr(0, module.size() - 4) + u".sce";
  if (!p.define_compiler) {
    p.add_error(format_message(msg::kCompilerMissing, {source}));
    return 1;
  }
  std::u16string error_text;
  if (p.define_compiler(source, module, text_dir, error_text) == 0) return 0;
  p.add_error(format_message(msg::kCompileFailed, {source}) + u"\n" + error_text);
  return 1;
}

// The list path with its extension (from the last dot of its name) replaced by ".dat".
std::u16string archive_path_for(const std::u16string& list_path) {
  std::u16string name = name_part(list_path);
  size_t dot = name.rfind(u'.');
  size_t keep = list_path.size() - name.size() + (dot == std::u16string::npos ? name.size() : dot);
  return list_path.substr(0, keep) + u".dat";
}

}  // namespace

int pack_run(Packer& packer, const std::u16string& archive_path, const std::u16string& list_path,
             const std::u16string& script_dir, const std::u16string& text_dir, uint32_t options,
             const std::string& prefix) {
  packer.prefix = prefix;
  const std::u16string base_dir = directory_part(list_path);
  // The list's time is compared before the list is read, as the archive recorded it.
  const bool list_unchanged = (options & PackSkipIfCurrent) && archive_list_unchanged(archive_path, list_path);
  if (pack_list_read(packer, list_path, options) != 0) return 1;
  if (packer.entries.empty()) return 0;
  if (list_unchanged && archive_files_current(archive_path, base_dir, packer.entries)) return 0;
  if (archive_assemble(packer, archive_path, base_dir, options) != 0) return 1;
  for (const auto& output : kTextOutputs) {
    if (!(options & output.option)) continue;
    if (pack_write_text(packer, text_dir + pack_text_name(archive_path, output.kind), output.kind) != 0) return 1;
  }
  if ((options & PackDefineFile) && (options & PackCompileDefine) &&
      compile_definitions(packer, archive_path, script_dir, text_dir) != 0) {
    return 1;
  }
  return packer.errors.empty() ? 0 : 1;
}

int pack_run_windowless(Packer& packer, const std::u16string& list_path, uint32_t options,
                        const std::u16string& prefix, std::FILE* out) {
  const std::u16string folder = directory_part(list_path);
  int result = pack_run(packer, archive_path_for(list_path), list_path, folder, folder, options,
                        utf16_to_cp932(prefix));
  for (const std::u16string& e : packer.errors) std::fprintf(out, "[error] %s.\n", utf16_to_utf8(e).c_str());
  std::fprintf(out, "pack: [%s], option=0x%08X, prefix=[%s] - %s.\n", utf16_to_utf8(list_path).c_str(), options,
               utf16_to_utf8(prefix).c_str(), result == 0 ? "complete" : "failed");
  return result;
}

}  // namespace tesmo
