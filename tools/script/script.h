// The script compiler: turns a line-oriented script source into a compiled script module (".sce")
// for the game's script engine. The folder, one phase per file:
//   source.h        the two source encodings (CP932, UTF-16 with FF FE) and the line structure
//   messages.h      every message text and the one error gate ("%5d: " line numbers)
//   defines.h       the definition table and its 76-byte record
//   expression.h    constant expressions of "#define" values and immediate parameters
//   preprocessor.cpp  "#define", "#include", "#ifdef"/"#ifndef"/"#else"/"#endif" (one level)
//   macros.cpp      "#macro"/"#type" definitions and the loading of macro modules
//   instructions.h  the instruction table: 64 built-ins as data, macros in entries 64–383
//   codegen.cpp     instruction, parameter and "msg" text lines, macro calls, labels
//   module.h        the module file: header, code, data area, string table, macro and define records
//   compile.cpp     the driver: read, compile line by line, resolve labels, write the module
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "tools/script/module.h"

namespace tesmo {

// One compiler: the first error's text (at most 1024 units, the line number in "%5d: " form
// where the message has one) and its 1-based line (0 without one). When `debug` is set, every
// error is also written there as "コンパイル エラー - %s\n%s\n" (source path, message; UTF-8).
struct ScriptCompiler {
  std::u16string error_text;
  int error_line = 0;
  std::FILE* debug = nullptr;
};

// Compiles `source_path`, which lies below `base_dir` (the root of includes and of the "bin/"
// module tree), into `output_path`. Returns 0, or 1 with the error kept in `compiler`; on
// failure the output file is left as it was.
int script_compile(ScriptCompiler& compiler, const std::u16string& base_dir, const std::u16string& output_path,
                   const std::u16string& source_path);

// The same compilation from source bytes already read: the module image in `image`. `source_dir`
// is the source's folder relative to `base_dir` (for includes); `time` goes into the header.
int script_compile_memory(ScriptCompiler& compiler, std::span<const uint8_t> source, const std::u16string& base_dir,
                          const std::u16string& source_dir, const script::ModuleTime& time,
                          std::vector<uint8_t>& image);

// The packing run's hook: compiles the definition header `source` into the module `module` with
// `base_dir` as base folder; 0, or 1 with the compiler's error text. Errors also go to stderr,
// which stands in for the debug output.
int script_compile_definitions(const std::u16string& source, const std::u16string& module,
                               const std::u16string& base_dir, std::u16string& error_text);

}  // namespace tesmo
