// Fuzz target: the script compiler on any source bytes (either encoding), compiled in memory: the
// preprocessor, constant expressions, instruction and message lines, macro definitions and labels.
// Includes look in a base folder that does not exist, so every input stays inside its own bytes.
#include <vector>

#include "tools/script/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> source(data, data + size);
  tesmo::ScriptCompiler compiler;
  std::vector<uint8_t> image;
  tesmo::script_compile_memory(compiler, source, u"/nonexistent-fuzz-base/", u"", tesmo::script::ModuleTime{}, image);
  return 0;
}
