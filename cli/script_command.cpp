// `tesmo compile`: the script compiler from the command line.
#include <cstdio>
#include <string>

#include "base/path.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "tools/script/script.h"

namespace tesmo::cli {

// The base folder defaults to the source's own folder; the compiler's error (with its line
// number) goes to stderr in the form of the debug output.
int cmd_compile(Args args) {
  static const char* const kOptions[] = {"--base"};
  const Command& usage = command_named("compile");
  ParsedArgs p = parse_args(args, kOptions);
  if (!p.ok || p.positional.size() != 2) return usage_error(usage);
  const std::u16string source = utf8_to_utf16(p.positional[0]);
  auto base = p.options.find("--base");
  const std::u16string base_dir = base != p.options.end() ? utf8_to_utf16(base->second) : directory_part(source);
  ScriptCompiler compiler;
  compiler.debug = stderr;
  return script_compile(compiler, base_dir, utf8_to_utf16(p.positional[1]), source) == 0 ? 0 : 1;
}

}  // namespace tesmo::cli
